#include "view/PixelCentres.h"

#include "view/Projection.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <system_error>
#include <thread>

namespace {

constexpr double kTolerance = kCornerTolerancePixels;

// floor and ceil for the window's range (see kLargestCoordinate), without
// the library calls the baseline instruction set makes of std::floor.
int FloorOf(double v)
{
    const int i = static_cast<int>(v);
    return v < i ? i - 1 : i;
}

int CeilOf(double v)
{
    const int i = static_cast<int>(v);
    return v > i ? i + 1 : i;
}

// The whole k whose centre k + 0.5 lies in [low, high] widened by the
// tolerance: first ... last (none when first > last).
void CentresBetween(double low, double high, int& first, int& last)
{
    first = CeilOf(low - kTolerance - 0.5);
    last = FloorOf(high + kTolerance - 0.5);
}

// An edge from u to u + (ex, ey) and the tolerance in its own measure.
struct Edge {
    double ux, uy, ex, ey;
    double slack;  // (tolerance x length)^2

    Edge(const double u[2], const double v[2])
        : ux(u[0]), uy(u[1]), ex(v[0] - u[0]), ey(v[1] - u[1]),
          slack(kTolerance * kTolerance * (ex * ex + ey * ey))
    {
    }
    // Twice the signed area of (u, v, p): positive left of the edge.
    double Side(double px, double py) const { return ex * (py - uy) - ey * (px - ux); }
};

// Whether a point on `side` of an edge (sign: the triangle's turning
// direction) lies inside it or within the tolerance of it.
bool Within(double side, double sign, const Edge& edge)
{
    const double inward = sign * side;
    return inward >= 0.0 || inward * inward <= edge.slack;
}

// The sign of the triangle's turning, or 0 for a triangle without area,
// which is taken to be able to cover anything (the driver decides).
double Turning(const Edge& first, const double c[2])
{
    const double area = first.Side(c[0], c[1]);
    return area > 1e-12 ? 1.0 : (area < -1e-12 ? -1.0 : 0.0);
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
    int x0;
    int x1;
    int y0;
    int y1;
    CentresBetween(xLow, xHigh, x0, x1);
    CentresBetween(yLow, yHigh, y0, y1);
    if (x0 > x1 || y0 > y1) {
        return 0;
    }
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4) {
        return 3;
    }
    // The first triangle is (c1, c2, c0), the second (c2, c3, c0); they
    // share the diagonal from c2 to c0.
    const Edge e12(c[1], c[2]);
    const Edge e20(c[2], c[0]);
    const Edge e01(c[0], c[1]);
    const Edge e23(c[2], c[3]);
    const Edge e30(c[3], c[0]);
    const double s1 = Turning(e12, c[0]);
    const double s2 = Turning(e23, c[0]);
    uint8_t found = (s1 == 0.0 ? 1 : 0) | (s2 == 0.0 ? 2 : 0);
    for (int y = y0; y <= y1 && found != 3; ++y) {
        for (int x = x0; x <= x1 && found != 3; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double diagonal = e20.Side(px, py);
            if ((found & 1) == 0 && Within(e12.Side(px, py), s1, e12) &&
                Within(diagonal, s1, e20) && Within(e01.Side(px, py), s1, e01)) {
                found |= 1;
            }
            // The diagonal runs the other way round the second triangle.
            if ((found & 2) == 0 && Within(e23.Side(px, py), s2, e23) &&
                Within(e30.Side(px, py), s2, e30) && Within(-diagonal, s2, e20)) {
                found |= 2;
            }
        }
    }
    return found;
}

// window: x and y of vertex i at 2 i and 2 i + 1.
void MarkRange(const ProjectedMesh& mesh, const float* window, uint8_t* showing,
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
            const float x = window[2 * index[k]];
            const float y = window[2 * index[k] + 1];
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
                          std::vector<uint8_t>& showing, std::vector<float>& window)
{
    const std::size_t n = mesh.projX.size();
    ResizeArray(window, 2 * n);
    float* xy = window.data();
    const double* m = map.m;
    OnTwoThreads(n, [&mesh, m, xy](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const double x = mesh.projX[i];
            const double y = mesh.projY[i];
            const double z = mesh.projZ[i];
            xy[2 * i] = static_cast<float>(m[0] * x + m[1] * y + m[2] * z + m[3]);
            xy[2 * i + 1] = static_cast<float>(m[4] * x + m[5] * y + m[6] * z + m[7]);
        }
    });
    ResizeArray(showing, mesh.faces.size());
    uint8_t* out = showing.data();
    OnTwoThreads(mesh.faces.size(), [&mesh, xy, out](std::size_t begin, std::size_t end) {
        MarkRange(mesh, xy, out, begin, end);
    });
}
