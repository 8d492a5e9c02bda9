#pragma once
// From four dimensions to what the renderer draws: the mesh turned by the
// orientation with its fourth coordinate dropped, one unit normal per face,
// and the bar tube along the bar axis.

#include "interaction/Orientation4D.h"
#include "surfaces/SurfaceMesh.h"
#include "view/ProjectionKernels.h"
#include "view/ViewCaches.h"

#include <cstddef>
#include <vector>

// Rewrites all seven arrays of out: each vertex (x, y, z, w) becomes the first
// three components of the row vector times orientation (the fourth column of
// the orientation is never read), the faces are copied in order, and the face
// normals are recomputed; the draw arrays are rebuilt from them (see
// ProjectedMesh). A mesh that
// fails SurfaceMesh::IsConsistent cannot be read safely; it leaves all seven
// arrays (and the draw arrays) empty, so nothing is drawn.
// Large meshes are split over two threads (see ProjectionThreadCount).
void ProjectMesh(const SurfaceMesh& mesh, const Orientation4D& orientation, ProjectedMesh& out);

// ProjectMesh on threadCount threads (0 and 1 mean the calling thread only;
// more than 2 are not used) with the given inner loops. Every value is
// computed by the same arithmetic whichever thread and kernel take it, so
// the results equal one portable thread's bit for bit.
void ProjectMeshThreaded(const SurfaceMesh& mesh, const Orientation4D& orientation,
                         ProjectedMesh& out, unsigned threadCount,
                         ProjectionKernel kernel = BestProjectionKernel());

// How many threads ProjectMesh uses: 2 when the machine has two cores and
// the vertices or the faces number at least kParallelProjectionMinimum,
// where the work outweighs starting a thread; else 1.
constexpr std::size_t kParallelProjectionMinimum = 50000;
unsigned ProjectionThreadCount(std::size_t vertexCount, std::size_t faceCount);

// Rewrites all seven arrays of out with a 30-sided tube of radius 0.2 and no
// caps, from a ring around the origin to the same ring moved by 10 x barAxis
// (the axis is not normalised). A zero axis gives a flat ring; a non-finite
// one is treated as zero.
void BuildBar(const double barAxis[3], BarTube& out);

// One normal per quad: the normalised cross product of the diagonals
// P[i2] - P[i0] and P[i3] - P[i1]. A quad whose diagonals are parallel or
// zero, or whose cross product is not finite, or that names a vertex outside
// the coordinate arrays, gets (0, 0, 1): harmless to light, never NaN.
void ComputeFaceNormals(const std::vector<double>& vx, const std::vector<double>& vy,
                        const std::vector<double>& vz, const std::vector<Quad>& quads,
                        std::vector<double>& nx, std::vector<double>& ny,
                        std::vector<double>& nz);

// The same on threadCount threads, equal bit for bit.
void ComputeFaceNormalsThreaded(const std::vector<double>& vx, const std::vector<double>& vy,
                                const std::vector<double>& vz, const std::vector<Quad>& quads,
                                std::vector<double>& nx, std::vector<double>& ny,
                                std::vector<double>& nz, unsigned threadCount);
