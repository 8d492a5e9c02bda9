#pragma once
// Everything the view draws with: the OpenGL state that never changes, the
// orthographic projection that follows the window size, and one frame of the
// surface with its bar. All of it acts on whatever OpenGL context is current.

#include "app/Settings.h"
#include "view/DrawBuffers.h"
#include "view/ViewCaches.h"
#include "view/VisualAids.h"

// Sets the depth test, the three directional lights and two-sided lighting.
// Call it once per context while the modelview is still the identity: the
// light directions are taken under the modelview current at this moment, and
// stay fixed relative to the viewer afterwards.
void InitGL();

// Sets the viewport to the whole window and an orthographic projection whose
// horizontal extent is always -1 ... 1 and whose vertical extent follows the
// aspect ratio. Leaves GL_PROJECTION as the current matrix mode.
// A width or height of 0 or less (a minimised window) has no aspect ratio: the
// previous viewport and projection stay, nothing is touched, and the result is
// false.
bool ApplyOrthoProjection(int width, int height);

// Clears and draws one frame: the surface in the colour chosen by display,
// optionally translucent with its faces sorted back to front under the
// current modelview, then the bar unless display.noBars is on. If the
// translucent order cannot be allocated, the faces are drawn in stored
// order. Leaves GL_MODELVIEW as the current matrix mode.
//
// The faces come from the mesh's draw arrays as ProjectMesh made them, a few
// draw calls for the whole surface; a mesh put together by hand without them
// shows no faces (DrawSurfaceImmediate draws any). With buffers, the arrays
// are drawn from buffer objects that hold them until the next projection
// (see DrawBuffers), on the path buffers->choice picks by timing the first
// frames of each situation both ways (see FramePlan.h); without, from client
// memory on the culled path. Every way the pixels equal
// DrawSurfaceImmediate's.
//
// The visual aids: the back of the faces in the partner of the chosen
// colour, or every face in a colour of its own (lit as usual), and an unlit
// marker drawn opaque after the faces and before the bar. Colours whose
// arrays do not fit the mesh are not used.
void DrawSurface(const DisplaySettings& display, const ProjectedMesh& mesh, const BarTube& bar,
                 const AidDrawing& aids = {}, DrawBuffers* buffers = nullptr);

// The same frame drawn one face at a time, each face its own glBegin/glEnd
// pair, in the order of a comparison sort: the reference DrawSurface is
// checked and measured against. Faces or bar faces that refer to vertices or
// normals beyond the arrays are skipped. Faces of equal depth are drawn in face
// order, as DrawSurface draws them; where such faces overlap, the blend
// depends on which comes first, and an unstable sort would make the two
// drawings differ there.
void DrawSurfaceImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                          const BarTube& bar);
void DrawSurfaceImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                          const BarTube& bar, const AidDrawing& aids);
