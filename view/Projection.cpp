#include "view/Projection.h"

#include "interaction/Matrix4.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>
#include <thread>

namespace {

// Runs body(begin, end) over 0 ... count, in two halves on two threads when
// asked to. Without a second thread (none may be started) the caller does
// all of it.
template <typename Body>
void RunSplit(std::size_t count, unsigned threadCount, const Body& body)
{
    if (threadCount < 2 || count < 2) {
        body(std::size_t{0}, count);
        return;
    }
    const std::size_t middle = count / 2;
    std::thread second;
    try {
        second = std::thread([&body, middle, count] { body(middle, count); });
    } catch (const std::system_error&) {
        body(std::size_t{0}, count);
        return;
    }
    body(std::size_t{0}, middle);
    second.join();
}

constexpr double kLargest = std::numeric_limits<double>::max();

// The normal of a quad whose corners are known to be in range: the
// normalised cross product of its diagonals, or (0, 0, 1) where that has no
// direction. Shared by every caller so that all give the same bits.
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
    if (length > 0.0 && length <= kLargest) {
        nx = cx / length;
        ny = cy / length;
        nz = cz / length;
    } else {
        nx = 0.0;
        ny = 0.0;
        nz = 1.0;
    }
}

inline void PutCorner(DrawVertex& out, float nx, float ny, float nz, double x, double y, double z)
{
    out.nx = nx;
    out.ny = ny;
    out.nz = nz;
    out.x = static_cast<float>(x);
    out.y = static_cast<float>(y);
    out.z = static_cast<float>(z);
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
    PutCorner(out[0], fx, fy, fz, px[q.i0], py[q.i0], pz[q.i0]);
    PutCorner(out[1], fx, fy, fz, px[q.i1], py[q.i1], pz[q.i1]);
    PutCorner(out[2], fx, fy, fz, px[q.i2], py[q.i2], pz[q.i2]);
    PutCorner(out[3], fx, fy, fz, px[q.i3], py[q.i3], pz[q.i3]);
}

void ClearDrawArrays(ProjectedMesh& out)
{
    ResizeArray(out.drawVertices, 0);
    ResizeArray(out.drawSlot, 0);
}

}  // namespace

unsigned ProjectionThreadCount(std::size_t vertexCount, std::size_t faceCount)
{
    if (std::max(vertexCount, faceCount) < kParallelProjectionMinimum) {
        return 1;
    }
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

void ProjectMesh(const SurfaceMesh& mesh, const Orientation4D& orientation, ProjectedMesh& out)
{
    ProjectMeshThreaded(mesh, orientation, out,
                        ProjectionThreadCount(mesh.VertexCount(), mesh.FaceCount()));
}

void ProjectMeshThreaded(const SurfaceMesh& mesh, const Orientation4D& orientation,
                         ProjectedMesh& out, unsigned threadCount)
{
    out.drawArraysCurrent = false;
    if (!mesh.IsConsistent()) {
        // Unequal coordinate arrays or a face index past them: reading any
        // of it could run off an array, so show nothing instead.
        ResizeArray(out.projX, 0);
        ResizeArray(out.projY, 0);
        ResizeArray(out.projZ, 0);
        ResizeArray(out.faces, 0);
        ResizeArray(out.faceNormalX, 0);
        ResizeArray(out.faceNormalY, 0);
        ResizeArray(out.faceNormalZ, 0);
        ClearDrawArrays(out);
        out.drawArraysCurrent = true;
        return;
    }

    const std::size_t n = mesh.VertexCount();
    ResizeArray(out.projX, n);
    ResizeArray(out.projY, n);
    ResizeArray(out.projZ, n);

    // Local copies: the compiler cannot otherwise rule out that the output
    // arrays overlap the matrix, and would reload it every vertex.
    const double o0 = orientation[0], o1 = orientation[1], o2 = orientation[2];
    const double o4 = orientation[4], o5 = orientation[5], o6 = orientation[6];
    const double o8 = orientation[8], o9 = orientation[9], o10 = orientation[10];
    const double o12 = orientation[12], o13 = orientation[13], o14 = orientation[14];

    const double* xs = mesh.x.data();
    const double* ys = mesh.y.data();
    const double* zs = mesh.z.data();
    const double* ws = mesh.w.data();
    double* px = out.projX.data();
    double* py = out.projY.data();
    double* pz = out.projZ.data();
    RunSplit(n, threadCount, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const double x = xs[i];
            const double y = ys[i];
            const double z = zs[i];
            const double w = ws[i];
            px[i] = x * o0 + y * o4 + z * o8 + w * o12;
            py[i] = x * o1 + y * o5 + z * o9 + w * o13;
            pz[i] = x * o2 + y * o6 + z * o10 + w * o14;
        }
    });

    // A consistent mesh names only vertices that exist, so every face gets
    // its normal and its quad, and quad f is face f. One pass does the copy,
    // the normal and the quad while the corners are at hand.
    const std::size_t faceCount = mesh.FaceCount();
    ResizeArray(out.faces, faceCount);
    ResizeArray(out.faceNormalX, faceCount);
    ResizeArray(out.faceNormalY, faceCount);
    ResizeArray(out.faceNormalZ, faceCount);
    ResizeArray(out.drawVertices, 4 * faceCount);
    ResizeArray(out.drawSlot, 0);
    const Quad* in = mesh.faces.data();
    Quad* copy = out.faces.data();
    double* nxs = out.faceNormalX.data();
    double* nys = out.faceNormalY.data();
    double* nzs = out.faceNormalZ.data();
    DrawVertex* corners = out.drawVertices.data();
    RunSplit(faceCount, threadCount, [=](std::size_t begin, std::size_t end) {
        for (std::size_t f = begin; f < end; ++f) {
            const Quad q = in[f];
            copy[f] = q;
            double nx;
            double ny;
            double nz;
            QuadNormal(px, py, pz, static_cast<std::size_t>(q.i0), static_cast<std::size_t>(q.i1),
                       static_cast<std::size_t>(q.i2), static_cast<std::size_t>(q.i3), nx, ny,
                       nz);
            nxs[f] = nx;
            nys[f] = ny;
            nzs[f] = nz;
            PutQuad(corners + 4 * f, q, nx, ny, nz, px, py, pz);
        }
    });
    out.drawArraysCurrent = true;
}

void BuildDrawArrays(ProjectedMesh& mesh)
{
    mesh.drawArraysCurrent = false;
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t vertexCount =
        std::min({mesh.projX.size(), mesh.projY.size(), mesh.projZ.size()});
    const std::size_t normalCount =
        std::min({mesh.faceNormalX.size(), mesh.faceNormalY.size(), mesh.faceNormalZ.size()});
    const auto inRange = [vertexCount](int32_t index) {
        return index >= 0 && static_cast<std::size_t>(index) < vertexCount;
    };

    std::vector<int32_t> slots(faceCount, -1);
    std::size_t drawable = 0;
    for (std::size_t f = 0; f < faceCount; ++f) {
        const Quad& q = mesh.faces[f];
        if (f < normalCount && inRange(q.i0) && inRange(q.i1) && inRange(q.i2) &&
            inRange(q.i3)) {
            slots[f] = static_cast<int32_t>(drawable++);
        }
    }

    ResizeArray(mesh.drawVertices, 4 * drawable);
    if (drawable == faceCount) {
        ResizeArray(mesh.drawSlot, 0);
    } else {
        mesh.drawSlot.swap(slots);
    }
    const int32_t* slot = mesh.drawSlot.empty() ? nullptr : mesh.drawSlot.data();
    const Quad* faces = mesh.faces.data();
    const double* px = mesh.projX.data();
    const double* py = mesh.projY.data();
    const double* pz = mesh.projZ.data();
    const double* nxs = mesh.faceNormalX.data();
    const double* nys = mesh.faceNormalY.data();
    const double* nzs = mesh.faceNormalZ.data();
    DrawVertex* corners = mesh.drawVertices.data();
    RunSplit(faceCount, ProjectionThreadCount(vertexCount, faceCount),
             [=](std::size_t begin, std::size_t end) {
                 for (std::size_t f = begin; f < end; ++f) {
                     const int32_t s = slot ? slot[f] : static_cast<int32_t>(f);
                     if (s < 0) {
                         continue;
                     }
                     PutQuad(corners + 4 * static_cast<std::size_t>(s), faces[f], nxs[f],
                             nys[f], nzs[f], px, py, pz);
                 }
             });
    mesh.drawArraysCurrent = true;
}

namespace {

constexpr int kBarSides = 30;
constexpr double kBarStep = 0.20943951023931953;  // 2 pi / 30
constexpr double kBarRadius = 0.2;
constexpr double kBarLength = 10.0;

}  // namespace

void BuildBar(const double barAxis[3], BarTube& out)
{
    double p[3];
    double q[3];
    PerpendicularBasis(barAxis, p, q);

    double offset[3] = {kBarLength * barAxis[0], kBarLength * barAxis[1],
                        kBarLength * barAxis[2]};
    if (!std::isfinite(offset[0]) || !std::isfinite(offset[1]) || !std::isfinite(offset[2])) {
        offset[0] = offset[1] = offset[2] = 0.0;
    }

    ResizeArray(out.barX, 2 * kBarSides);
    ResizeArray(out.barY, 2 * kBarSides);
    ResizeArray(out.barZ, 2 * kBarSides);
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < kBarSides; ++j) {
            const double theta = j * kBarStep;
            const double u = kBarRadius * std::cos(theta);
            const double v = kBarRadius * std::sin(theta);
            const std::size_t index = static_cast<std::size_t>(kBarSides * k + j);
            out.barX[index] = k * offset[0] + u * p[0] + v * q[0];
            out.barY[index] = k * offset[1] + u * p[1] + v * q[1];
            out.barZ[index] = k * offset[2] + u * p[2] + v * q[2];
        }
    }

    // Counter-clockwise seen from outside, so with the right-handed frame
    // every normal points away from the axis.
    ResizeArray(out.barFaces, kBarSides);
    for (int j = 0; j < kBarSides; ++j) {
        const int next = (j + 1) % kBarSides;
        out.barFaces[static_cast<std::size_t>(j)] = {j, next, next + kBarSides, j + kBarSides};
    }

    ComputeFaceNormals(out.barX, out.barY, out.barZ, out.barFaces, out.barNormalX,
                       out.barNormalY, out.barNormalZ);
}

void ComputeFaceNormals(const std::vector<double>& vx, const std::vector<double>& vy,
                        const std::vector<double>& vz, const std::vector<Quad>& quads,
                        std::vector<double>& nx, std::vector<double>& ny,
                        std::vector<double>& nz)
{
    ComputeFaceNormalsThreaded(vx, vy, vz, quads, nx, ny, nz,
                               ProjectionThreadCount(vx.size(), quads.size()));
}

void ComputeFaceNormalsThreaded(const std::vector<double>& vx, const std::vector<double>& vy,
                                const std::vector<double>& vz, const std::vector<Quad>& quads,
                                std::vector<double>& nx, std::vector<double>& ny,
                                std::vector<double>& nz, unsigned threadCount)
{
    const std::size_t count = quads.size();
    ResizeArray(nx, count);
    ResizeArray(ny, count);
    ResizeArray(nz, count);

    // An index is usable only if all three arrays reach it. Negative indices
    // turn into huge unsigned values and fail the same test.
    const std::size_t vertexCount = std::min({vx.size(), vy.size(), vz.size()});
    const double* px = vx.data();
    const double* py = vy.data();
    const double* pz = vz.data();
    const Quad* q = quads.data();
    double* outX = nx.data();
    double* outY = ny.data();
    double* outZ = nz.data();

    RunSplit(count, threadCount, [=](std::size_t begin, std::size_t end) {
        for (std::size_t f = begin; f < end; ++f) {
            const std::size_t i0 = static_cast<std::size_t>(q[f].i0);
            const std::size_t i1 = static_cast<std::size_t>(q[f].i1);
            const std::size_t i2 = static_cast<std::size_t>(q[f].i2);
            const std::size_t i3 = static_cast<std::size_t>(q[f].i3);
            if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount ||
                i3 >= vertexCount) {
                outX[f] = 0.0;
                outY[f] = 0.0;
                outZ[f] = 1.0;
                continue;
            }
            QuadNormal(px, py, pz, i0, i1, i2, i3, outX[f], outY[f], outZ[f]);
        }
    });
}
