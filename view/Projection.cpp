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

// A revision no ProjectedMesh has had before.
uint64_t NextDrawRevision()
{
    static std::atomic<uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

// Whether no two faces start on the same vertex, so that each vertex can
// carry the normal of the one face that starts on it. Every index is known
// to be in range.
bool FirstCornersDistinct(const std::vector<Quad>& faces, std::size_t vertexCount)
{
    if (faces.size() > vertexCount) {
        return false;
    }
    std::vector<uint8_t> claimed(vertexCount, 0);
    for (const Quad& q : faces) {
        uint8_t& mark = claimed[static_cast<std::size_t>(q.i0)];
        if (mark != 0) {
            return false;
        }
        mark = 1;
    }
    return true;
}

// Fills out's draw arrays from its projected vertices, faces and normals
// (all consistent): one vertex per mesh vertex where the first corners are
// distinct, else four corners per face.
void BuildDrawVertices(ProjectedMesh& out, unsigned threadCount)
{
    const std::size_t n = out.projX.size();
    const std::size_t faceCount = out.faces.size();
    const double* px = out.projX.data();
    const double* py = out.projY.data();
    const double* pz = out.projZ.data();
    const double* nx = out.faceNormalX.data();
    const double* ny = out.faceNormalY.data();
    const double* nz = out.faceNormalZ.data();
    const Quad* faces = out.faces.data();
    out.drawShared = FirstCornersDistinct(out.faces, n);
    if (out.drawShared) {
        ResizeArray(out.drawVertices, n);
        DrawVertex* v = out.drawVertices.data();
        RunSplit(n, threadCount, [=](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                v[i] = {0.0f, 0.0f, 1.0f, static_cast<float>(px[i]), static_cast<float>(py[i]),
                        static_cast<float>(pz[i])};
            }
        });
        // Each vertex is the first corner of at most one face: no two
        // threads write the same one.
        RunSplit(faceCount, threadCount, [=](std::size_t begin, std::size_t end) {
            for (std::size_t f = begin; f < end; ++f) {
                DrawVertex& first = v[static_cast<std::size_t>(faces[f].i0)];
                first.nx = static_cast<float>(nx[f]);
                first.ny = static_cast<float>(ny[f]);
                first.nz = static_cast<float>(nz[f]);
            }
        });
    } else {
        ResizeArray(out.drawVertices, 4 * faceCount);
        DrawVertex* corners = out.drawVertices.data();
        RunSplit(faceCount, threadCount, [=](std::size_t begin, std::size_t end) {
            for (std::size_t f = begin; f < end; ++f) {
                PutQuad(corners + 4 * f, faces[f], nx[f], ny[f], nz[f], px, py, pz);
            }
        });
    }
    out.drawVertexCount = out.drawVertices.size();
}

// The draw arrays where the face pass has written the draw vertex of every
// face's own vertex: the vertices no face starts on (past the last face)
// carry (0, 0, 1).
void FinishOwnDrawVertices(ProjectedMesh& out)
{
    const std::size_t n = out.projX.size();
    for (std::size_t i = out.faces.size(); i < n; ++i) {
        out.drawVertices[i] = {0.0f, 0.0f, 1.0f, static_cast<float>(out.projX[i]),
                               static_cast<float>(out.projY[i]), static_cast<float>(out.projZ[i])};
    }
    out.drawShared = true;
    out.drawVertexCount = n;
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
    const std::size_t n = mesh.VertexCount();
    const std::size_t faceCount = mesh.FaceCount();
    bool consistent = mesh.y.size() == n && mesh.z.size() == n && mesh.w.size() == n;
    bool ownStarts = false;

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

        // One pass copies the faces and computes the normals; it also checks
        // every index, so a face naming a vertex that does not exist is
        // caught before it is read.
        ResizeArray(out.faces, faceCount);
        ResizeArray(out.faceNormalX, faceCount);
        ResizeArray(out.faceNormalY, faceCount);
        ResizeArray(out.faceNormalZ, faceCount);
        // Where face f starts on vertex f (every grid here), the same pass
        // writes the draw vertices, one per vertex, with no second pass.
        const bool mayOwnStarts = faceCount <= n;
        if (mayOwnStarts) {
            ResizeArray(out.drawVertices, n);
        }
        const FacePass faces{out.projX.data(),      out.projY.data(),      out.projZ.data(),
                             n,                     mesh.faces.data(),     out.faces.data(),
                             out.faceNormalX.data(), out.faceNormalY.data(), out.faceNormalZ.data(),
                             mayOwnStarts ? out.drawVertices.data() : nullptr};
        std::atomic<bool> allInRange{true};
        std::atomic<bool> allOwn{mayOwnStarts};
        RunSplit(faceCount, threadCount,
                 [&faces, kernel, &allInRange, &allOwn](std::size_t begin, std::size_t end) {
                     bool own = true;
                     if (allInRange.load(std::memory_order_relaxed) &&
                         !ProjectFaces(faces, begin, end, kernel, &own)) {
                         allInRange.store(false, std::memory_order_relaxed);
                     }
                     if (!own) {
                         allOwn.store(false, std::memory_order_relaxed);
                     }
                 });
        consistent = allInRange.load();
        ownStarts = consistent && allOwn.load();
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
    }
    if (ownStarts) {
        FinishOwnDrawVertices(out);
    } else {
        BuildDrawVertices(out, threadCount);
    }
    out.drawRevision = NextDrawRevision();
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
