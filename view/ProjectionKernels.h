#pragma once
// The inner loops of the projection, in two builds: a portable one and, on
// x86-64 processors with AVX2, a wide one that handles four vertices or four
// faces per step. Both compute
// every value with the same IEEE operations in the same order, so their
// results are equal bit for bit; the wide one is only faster.

#include "surfaces/SurfaceMesh.h"
#include "view/ViewCaches.h"

#include <cmath>
#include <cstddef>
#include <limits>

enum class ProjectionKernel {
    Portable,
    Wide,  // falls back to Portable where the processor lacks AVX2
};

// Wide when this processor can run it, else Portable.
ProjectionKernel BestProjectionKernel();

// Vertices begin ... end - 1: (px, py, pz)[i] = the first three components of
// (x, y, z, w)[i] times the orientation, whose first three columns are given
// row by row in m (m[3 * row + column]).
struct VertexPass {
    const double* x;
    const double* y;
    const double* z;
    const double* w;
    double* px;
    double* py;
    double* pz;
    double m[12];
};
void ProjectVertices(const VertexPass& pass, std::size_t begin, std::size_t end,
                     ProjectionKernel kernel);

// Faces begin ... end - 1: copies each face and computes its normal from
// the projected corners. With draw set, a face that starts on the vertex of
// its own index (face f on vertex f, as every grid here is built) also
// writes that vertex's draw vertex whole: the face normal and the position,
// in single precision. Only face f writes draw[f], so threads never share
// one; where a face starts elsewhere, *ownStart (when draw is set) becomes
// false and that face writes no draw vertex.
// Returns false as soon as a face names a vertex outside 0 ... vertexCount - 1
// (nothing of that face is read); the outputs are then partly written.
struct FacePass {
    const double* px;
    const double* py;
    const double* pz;
    std::size_t vertexCount;
    const Quad* in;
    Quad* copy;
    double* nx;
    double* ny;
    double* nz;
    DrawVertex* draw = nullptr;
};
bool ProjectFaces(const FacePass& pass, std::size_t begin, std::size_t end,
                  ProjectionKernel kernel, bool* ownStart = nullptr);

// The normal of a quad whose corners are known to be in range: the
// normalised cross product of its diagonals, or (0, 0, 1) where that has no
// direction. Every caller goes through this (or its four-wide twin, which
// performs the same operations), so all give the same bits.
inline void QuadNormal(const double* px, const double* py, const double* pz, std::size_t i0,
                       std::size_t i1, std::size_t i2, std::size_t i3, double& nx, double& ny,
                       double& nz)
{
    const double ax = px[i2] - px[i0];
    const double ay = py[i2] - py[i0];
    const double az = pz[i2] - pz[i0];
    const double bx = px[i3] - px[i1];
    const double by = py[i3] - py[i1];
    const double bz = pz[i3] - pz[i1];
    const double cx = ay * bz - az * by;
    const double cy = az * bx - ax * bz;
    const double cz = ax * by - ay * bx;
    const double length = std::sqrt(cx * cx + cy * cy + cz * cz);
    // Written so that a NaN length fails too.
    if (length > 0.0 && length <= std::numeric_limits<double>::max()) {
        nx = cx / length;
        ny = cy / length;
        nz = cz / length;
    } else {
        nx = 0.0;
        ny = 0.0;
        nz = 1.0;
    }
}

// The four corners of one quad in corner order, each with the face normal,
// converted to single precision the way OpenGL converts glVertex3d and
// glNormal3d arguments.
inline void PutQuad(DrawVertex* out, const Quad& q, double nx, double ny, double nz,
                    const double* px, const double* py, const double* pz)
{
    const float fx = static_cast<float>(nx);
    const float fy = static_cast<float>(ny);
    const float fz = static_cast<float>(nz);
    const int32_t corner[4] = {q.i0, q.i1, q.i2, q.i3};
    for (int c = 0; c < 4; ++c) {
        const std::size_t i = static_cast<std::size_t>(corner[c]);
        out[c].nx = fx;
        out[c].ny = fy;
        out[c].nz = fz;
        out[c].x = static_cast<float>(px[i]);
        out[c].y = static_cast<float>(py[i]);
        out[c].z = static_cast<float>(pz[i]);
    }
}
