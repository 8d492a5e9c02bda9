#include "view/PixelCentres.h"

#include "view/Projection.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <system_error>
#include <thread>

namespace {

constexpr double kTolerance = kCornerTolerancePixels;

// The whole k whose centre k + 0.5 lies in [low, high] widened by the
// tolerance: first ... last (none when first > last).
void CentresBetween(double low, double high, double& first, double& last)
{
    first = std::ceil(low - kTolerance - 0.5);
    last = std::floor(high + kTolerance - 0.5);
}

// Whether p may lie in the triangle (a, b, c): inside, on an edge, or
// within the tolerance of one. A triangle without area is taken to be
// able to cover anything; the driver decides about those.
bool MayCover(const double a[2], const double b[2], const double c[2], const double p[2])
{
    const double area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    if (!(std::abs(area) > 1e-12)) {
        return true;
    }
    const double* corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        const double* u = corners[k];
        const double* v = corners[(k + 1) % 3];
        const double ex = v[0] - u[0];
        const double ey = v[1] - u[1];
        // Twice the signed area of (u, v, p), positive on the triangle's side.
        const double side = (area > 0.0 ? 1.0 : -1.0) * (ex * (p[1] - u[1]) - ey * (p[0] - u[0]));
        // Outside by more than the tolerance: side / |e| < -tolerance.
        if (side < 0.0 && side * side > kTolerance * kTolerance * (ex * ex + ey * ey)) {
            return false;
        }
    }
    return true;
}

// Single precision keeps the window coordinates to well within the
// tolerance up to here; faces reaching further (a figure scaled far beyond
// the window) are simply kept.
constexpr float kLargestCoordinate = 32768.0f;

bool Usable(float v)
{
    return std::abs(v) <= kLargestCoordinate;  // false for NaN and infinity too
}

// Which of the face's two triangles, as the renderer cuts it (see
// PutFaceTriangles), may cover a pixel centre: bit 0 the first, bit 1 the
// second. No centre in the face's bounding box means neither; a box with a
// few centres (as small faces have) is settled centre by centre; larger
// boxes keep both.
uint8_t TrianglesThatMayShow(const double c[4][2])
{
    const double xLow = std::min(std::min(c[0][0], c[1][0]), std::min(c[2][0], c[3][0]));
    const double xHigh = std::max(std::max(c[0][0], c[1][0]), std::max(c[2][0], c[3][0]));
    const double yLow = std::min(std::min(c[0][1], c[1][1]), std::min(c[2][1], c[3][1]));
    const double yHigh = std::max(std::max(c[0][1], c[1][1]), std::max(c[2][1], c[3][1]));
    double x0;
    double x1;
    double y0;
    double y1;
    CentresBetween(xLow, xHigh, x0, x1);
    CentresBetween(yLow, yHigh, y0, y1);
    if (x0 > x1 || y0 > y1) {
        return 0;
    }
    if ((x1 - x0 + 1.0) * (y1 - y0 + 1.0) > 4.0) {
        return 3;
    }
    uint8_t found = 0;
    for (double y = y0; y <= y1 && found != 3; ++y) {
        for (double x = x0; x <= x1 && found != 3; ++x) {
            const double centre[2] = {x + 0.5, y + 0.5};
            if ((found & 1) == 0 && MayCover(c[1], c[2], c[0], centre)) {
                found |= 1;
            }
            if ((found & 2) == 0 && MayCover(c[2], c[3], c[0], centre)) {
                found |= 2;
            }
        }
    }
    return found;
}

void MarkRange(const ProjectedMesh& mesh, const float* wx, const float* wy, uint8_t* showing,
               std::size_t begin, std::size_t end)
{
    for (std::size_t f = begin; f < end; ++f) {
        const Quad& q = mesh.faces[f];
        const std::size_t index[4] = {static_cast<std::size_t>(q.i0),
                                      static_cast<std::size_t>(q.i1),
                                      static_cast<std::size_t>(q.i2),
                                      static_cast<std::size_t>(q.i3)};
        bool usable = true;
        double corners[4][2];
        for (int k = 0; k < 4; ++k) {
            const float x = wx[index[k]];
            const float y = wy[index[k]];
            usable = usable && Usable(x) && Usable(y);
            corners[k][0] = x;
            corners[k][1] = y;
        }
        showing[f] = usable ? TrianglesThatMayShow(corners) : 3;
    }
}

template <typename Body>
void OnTwoThreads(std::size_t count, const Body& body)
{
    if (ProjectionThreadCount(count, count) < 2) {
        body(std::size_t{0}, count);
        return;
    }
    const std::size_t half = count / 2;
    std::thread second;
    try {
        second = std::thread(body, half, count);
    } catch (const std::system_error&) {
        body(std::size_t{0}, count);
        return;
    }
    body(std::size_t{0}, half);
    second.join();
}

}  // namespace

void MarkFacesThatCanShow(const ProjectedMesh& mesh, const WindowMapping& map,
                          std::vector<uint8_t>& showing)
{
    const std::size_t n = mesh.projX.size();
    // Every element is written before it is read.
    const std::unique_ptr<float[]> window(new float[2 * n]);
    float* wx = window.get();
    float* wy = window.get() + n;
    const double* m = map.m;
    OnTwoThreads(n, [&mesh, m, wx, wy](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const double x = mesh.projX[i];
            const double y = mesh.projY[i];
            const double z = mesh.projZ[i];
            wx[i] = static_cast<float>(m[0] * x + m[1] * y + m[2] * z + m[3]);
            wy[i] = static_cast<float>(m[4] * x + m[5] * y + m[6] * z + m[7]);
        }
    });
    showing.resize(mesh.faces.size());
    uint8_t* out = showing.data();
    OnTwoThreads(mesh.faces.size(), [&mesh, wx, wy, out](std::size_t begin, std::size_t end) {
        MarkRange(mesh, wx, wy, out, begin, end);
    });
}
