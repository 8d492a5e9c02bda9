#pragma once
// Which faces can make a fragment. OpenGL makes a fragment where a triangle
// covers a pixel's centre and nowhere else, so a triangle that covers no
// centre adds nothing to the picture: not a colour, not a depth. At a million faces on an 800 x 600
// view most faces are such slivers; leaving them out draws the very same
// pixels with a fraction of the rasteriser's work. Knows no OpenGL: the
// caller hands in the mapping to window coordinates.

#include "view/ViewCaches.h"

#include <cstdint>
#include <vector>

// Window coordinates of a projected point (x, y, z):
// wx = m[0] x + m[1] y + m[2] z + m[3], wy = m[4] x + m[5] y + m[6] z + m[7],
// in pixels with pixel (i, j)'s centre at (i + 0.5, j + 0.5). Only affine
// mappings (an orthographic projection) can be written so.
struct WindowMapping {
    double m[8];
};

// How far a corner may land from where the mapping puts it once the driver
// has computed it in single precision and snapped it to its sub-pixel grid
// (1/256 pixel and coarser on the drivers at hand): faces are kept unless
// they miss every centre by more than this.
constexpr double kCornerTolerancePixels = 1.0 / 64.0;

// showing[f] says which of face f's two triangles (as PutFaceTriangles cuts
// it) may cover a pixel centre: bit 0 the first, bit 1 the second; 0 when
// neither can. Faces with a corner that is not finite, or far outside any
// window, where mapped keep both. Every
// index must be in range (as ProjectMesh leaves them). Splits the work over
// two threads for large meshes.
// window is room for the window coordinates, kept by the caller from frame
// to frame: a fresh allocation of that size costs a page fault every few
// thousand vertices.
void MarkFacesThatCanShow(const ProjectedMesh& mesh, const WindowMapping& mapping,
                          std::vector<uint8_t>& showing, std::vector<float>& window);
