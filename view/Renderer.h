#pragma once
// Everything the view draws with: the OpenGL state that never changes, the
// orthographic projection that follows the window size, and one frame of the
// surface with its bar. All of it acts on whatever OpenGL context is current.

#include "app/Settings.h"
#include "view/ViewCaches.h"

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
// current modelview, then the bar unless display.noBars is on.
// Faces or bar faces that refer to vertices or normals beyond the arrays are
// skipped. If the translucent order cannot be allocated, the faces are drawn
// in stored order. Leaves GL_MODELVIEW as the current matrix mode.
void DrawSurface(const DisplaySettings& display, const ProjectedMesh& mesh, const BarTube& bar);
