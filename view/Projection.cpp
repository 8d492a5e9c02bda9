#include "view/Projection.h"

#include "interaction/Matrix4.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

void ProjectMesh(const SurfaceMesh& mesh, const Orientation4D& orientation, ProjectedMesh& out)
{
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
    for (std::size_t i = 0; i < n; ++i) {
        const double x = xs[i];
        const double y = ys[i];
        const double z = zs[i];
        const double w = ws[i];
        px[i] = x * o0 + y * o4 + z * o8 + w * o12;
        py[i] = x * o1 + y * o5 + z * o9 + w * o13;
        pz[i] = x * o2 + y * o6 + z * o10 + w * o14;
    }

    ResizeArray(out.faces, mesh.FaceCount());
    std::copy(mesh.faces.begin(), mesh.faces.end(), out.faces.begin());

    ComputeFaceNormals(out.projX, out.projY, out.projZ, out.faces, out.faceNormalX,
                       out.faceNormalY, out.faceNormalZ);
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
    constexpr double kLargest = std::numeric_limits<double>::max();

    for (std::size_t f = 0; f < count; ++f) {
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
            outX[f] = cx / length;
            outY[f] = cy / length;
            outZ[f] = cz / length;
        } else {
            outX[f] = 0.0;
            outY[f] = 0.0;
            outZ[f] = 1.0;
        }
    }
}
