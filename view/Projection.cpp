#include "view/Projection.h"

#include "interaction/Matrix4.h"
#include "view/ProjectionKernels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>
#include <thread>

namespace {

// Elements handed to a thread at a time: a multiple of four, so that the
// wide kernels start every piece on one of their step boundaries, and small
// enough that a thread held up by other work on its core leaves the rest to
// the other thread instead of keeping it waiting at the end.
constexpr std::size_t kPiece = 16384;

// Runs body(begin, end) over pieces of 0 ... count, on two threads when
// asked to, each taking the next piece as it finishes one. Without a
// second thread (none may be started) the caller does all of it.
template <typename Body>
void RunSplit(std::size_t count, unsigned threadCount, const Body& body)
{
    if (threadCount < 2 || count <= kPiece) {
        body(std::size_t{0}, count);
        return;
    }
    std::atomic<std::size_t> next{0};
    const auto work = [&body, &next, count] {
        for (;;) {
            const std::size_t begin = next.fetch_add(kPiece, std::memory_order_relaxed);
            if (begin >= count) {
                return;
            }
            body(begin, std::min(count, begin + kPiece));
        }
    };
    std::thread second;
    try {
        second = std::thread(work);
    } catch (const std::system_error&) {
        work();
        return;
    }
    work();
    second.join();
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
                         ProjectedMesh& out, unsigned threadCount, ProjectionKernel kernel)
{
    out.drawArraysCurrent = false;
    const std::size_t n = mesh.VertexCount();
    const std::size_t faceCount = mesh.FaceCount();
    bool consistent = mesh.y.size() == n && mesh.z.size() == n && mesh.w.size() == n;

    if (consistent) {
        ResizeArray(out.projX, n);
        ResizeArray(out.projY, n);
        ResizeArray(out.projZ, n);
        VertexPass vertices{mesh.x.data(), mesh.y.data(), mesh.z.data(), mesh.w.data(),
                            out.projX.data(), out.projY.data(), out.projZ.data(), {}};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                vertices.m[3 * row + column] =
                    orientation[static_cast<std::size_t>(4 * row + column)];
            }
        }
        RunSplit(n, threadCount, [&vertices, kernel](std::size_t begin, std::size_t end) {
            ProjectVertices(vertices, begin, end, kernel);
        });

        // One pass copies the faces, computes the normals and fills the draw
        // arrays while the corners are at hand; it also checks every index,
        // so a face naming a vertex that does not exist is caught before it
        // is read. Every face of a consistent mesh is drawable: quad f is
        // face f.
        ResizeArray(out.faces, faceCount);
        ResizeArray(out.faceNormalX, faceCount);
        ResizeArray(out.faceNormalY, faceCount);
        ResizeArray(out.faceNormalZ, faceCount);
        ResizeArray(out.drawVertices, 4 * faceCount);
        ResizeArray(out.drawSlot, 0);
        const FacePass faces{out.projX.data(), out.projY.data(), out.projZ.data(), n,
                             mesh.faces.data(), out.faces.data(), out.faceNormalX.data(),
                             out.faceNormalY.data(), out.faceNormalZ.data(),
                             out.drawVertices.data()};
        std::atomic<bool> allInRange{true};
        RunSplit(faceCount, threadCount,
                 [&faces, kernel, &allInRange](std::size_t begin, std::size_t end) {
                     if (allInRange.load(std::memory_order_relaxed) &&
                         !ProjectFaces(faces, begin, end, kernel)) {
                         allInRange.store(false, std::memory_order_relaxed);
                     }
                 });
        consistent = allInRange.load();
    }

    if (!consistent) {
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
    }
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
