#include "view/PixelCentres.h"

#include "interaction/Matrix4.h"
#include "view/CoverDepths.h"
#include "view/Projection.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// What the search knows of the cover, or nothing (cover null).
struct CoverCheck {
    const float* cover = nullptr;
    const float* second = nullptr;  // the other thread's, or null
    double originX = 0.0;
    double originY = 0.0;
    int width = 0;
    int height = 0;

    // Whether a fragment no nearer than `nearest` at the centre of pixel
    // (x, y) lies surely behind the cover there.
    bool Hides(int x, int y, double nearest) const
    {
        const int i = x - static_cast<int>(originX);
        const int j = y - static_cast<int>(originY);
        if (i < 0 || j < 0 || i >= width || j >= height) {
            return false;
        }
        const std::size_t at =
            static_cast<std::size_t>(j) * static_cast<std::size_t>(width) + static_cast<std::size_t>(i);
        const float depth = second != nullptr ? std::min(cover[at], second[at]) : cover[at];
        return nearest - 0.5 * kDepthMargin > depth;
    }
};

// The nearest each of the face's triangles' fragments can be, or -infinity
// where its depth changes too fast across it to be trusted.
void Nearest(const double c[4][2], const double z[4], double nearest[2])
{
    const double x[4] = {c[0][0], c[1][0], c[2][0], c[3][0]};
    const double y[4] = {c[0][1], c[1][1], c[2][1], c[3][1]};
    const FaceShape shape = ShapeOfFace(x, y, z);
    const double infinity = std::numeric_limits<double>::infinity();
    nearest[0] = shape.triangle[0].gentle ? std::min(std::min(z[1], z[2]), z[0]) : -infinity;
    nearest[1] = shape.triangle[1].gentle ? std::min(std::min(z[2], z[3]), z[0]) : -infinity;
}

// Larger faces (more than a few centres in their box) keep both triangles
// unless every centre of the box lies behind the cover.
uint8_t LargeFace(const double c[4][2], const double z[4], int x0, int x1, int y0, int y1,
                  const CoverCheck& check)
{
    constexpr int kMostCentres = 64;
    if (check.cover == nullptr || (x1 - x0 + 1) * (y1 - y0 + 1) > kMostCentres) {
        return 3;
    }
    double both[2];
    Nearest(c, z, both);
    const double nearest = std::min(both[0], both[1]);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (!check.Hides(x, y, nearest)) {
                return 3;
            }
        }
    }
    return 0;
}

// How many lines of centres (rows, or columns where the triangle is wider
// than tall) a triangle of a larger face is scanned along, and how many
// centres it may try in all, before it is kept untried: faces a few pixels
// across are common where the grid is far finer one way than the other,
// and most of their triangles cover no centre or only hidden ones; longer
// triangles (the slivers of a bottle of very few rings) cover centres all
// the same, and trying them would cost more than drawing them.
constexpr int kMostScanLines = 16;
constexpr int kMostScanCentres = 256;

enum class Scan { None, Shows, Untried };

// Whether the triangle (p, q, r) may make a fragment that shows, centre by
// centre along the lines of its bounding box: each line's centres within
// the tolerance of all three edges are found from the edges' equations and
// then tried exactly as the centres of small faces are.
Scan ScanTriangle(const double p[2], const double q[2], const double r[2], double nearest,
                  const CoverCheck& check)
{
    const Edge edges[3] = {Edge(p, q), Edge(q, r), Edge(r, p)};
    const double sign = Turning(edges[0], r);
    if (sign == 0.0) {
        return Scan::Shows;  // no area: the driver decides
    }
    int x0;
    int x1;
    int y0;
    int y1;
    CentresBetween(std::min(std::min(p[0], q[0]), r[0]), std::max(std::max(p[0], q[0]), r[0]), x0,
                   x1);
    CentresBetween(std::min(std::min(p[1], q[1]), r[1]), std::max(std::max(p[1], q[1]), r[1]), y0,
                   y1);
    if (x0 > x1 || y0 > y1) {
        return Scan::None;
    }
    const bool alongRows = y1 - y0 <= x1 - x0;
    const int first = alongRows ? y0 : x0;
    const int last = alongRows ? y1 : x1;
    const int low = alongRows ? x0 : y0;
    const int high = alongRows ? x1 : y1;
    if (last - first + 1 > kMostScanLines) {
        return Scan::Untried;
    }
    // Well inside the tolerance's own margin over the driver's snapping:
    // guards the line's bounds against their rounding, and each centre
    // found is then tried exactly.
    constexpr double kSlack = 1.0 / 1024.0;
    int tried = 0;
    for (int line = first; line <= last; ++line) {
        const double at = line + 0.5;
        // Along the line, edge k's inward distance (times its length) is
        // a t + b for the centre's other coordinate t.
        double from = low + 0.5;
        double to = high + 0.5;
        bool empty = false;
        for (const Edge& e : edges) {
            const double reach = std::sqrt(e.slack);
            const double a = alongRows ? -sign * e.ey : sign * e.ex;
            const double b = alongRows ? sign * (e.ex * (at - e.uy) + e.ey * e.ux) + reach
                                       : sign * (-e.ex * e.uy - e.ey * (at - e.ux)) + reach;
            if (a > 0.0) {
                from = std::max(from, -b / a);
            } else if (a < 0.0) {
                to = std::min(to, -b / a);
            } else if (b < 0.0) {
                empty = true;
            }
        }
        if (empty || !(from <= to + 2.0 * kSlack)) {
            continue;
        }
        const int begin = std::max(low, CeilOf(from - 0.5 - kSlack));
        const int end = std::min(high, FloorOf(to - 0.5 + kSlack));
        for (int k = begin; k <= end; ++k) {
            if (++tried > kMostScanCentres) {
                return Scan::Untried;
            }
            const int x = alongRows ? k : line;
            const int y = alongRows ? line : k;
            const double px = x + 0.5;
            const double py = y + 0.5;
            if (Within(edges[0].Side(px, py), sign, edges[0]) &&
                Within(edges[1].Side(px, py), sign, edges[1]) &&
                Within(edges[2].Side(px, py), sign, edges[2]) && !check.Hides(x, y, nearest)) {
                return Scan::Shows;
            }
        }
    }
    return Scan::None;
}

// Faces with more than a few centres in their box: each triangle scanned
// where it spans few lines of centres, the others kept unless every centre
// of the face's box lies behind the cover.
uint8_t ScannedFace(const double c[4][2], const double z[4], int x0, int x1, int y0, int y1,
                    const CoverCheck& check)
{
    const double infinity = std::numeric_limits<double>::infinity();
    double nearest[2] = {-infinity, -infinity};
    if (check.cover != nullptr) {
        Nearest(c, z, nearest);
    }
    // The first triangle is (c1, c2, c0), the second (c2, c3, c0).
    const Scan first = ScanTriangle(c[1], c[2], c[0], nearest[0], check);
    const Scan second = ScanTriangle(c[2], c[3], c[0], nearest[1], check);
    uint8_t found = (first == Scan::Shows ? 1 : 0) | (second == Scan::Shows ? 2 : 0);
    if (first == Scan::Untried || second == Scan::Untried) {
        const uint8_t untried =
            (first == Scan::Untried ? 1 : 0) | (second == Scan::Untried ? 2 : 0);
        found |= LargeFace(c, z, x0, x1, y0, y1, check) & untried;
    }
    return found;
}

// Which of the face's two triangles, as the renderer cuts it (see
// PutFaceTriangles), may make a fragment that shows: bit 0 the first, bit 1
// the second. No centre in the face's bounding box means neither; a box with
// a few centres (as small faces have) is settled centre by centre; larger
// boxes are scanned line by line (see ScanTriangle). depth and index: the corners' depths (see
// kDepthSteps), read only where the cover has a say.
uint8_t TrianglesThatMayShow(const double c[4][2], const uint16_t* depth,
                             const std::size_t index[4], const CoverCheck& check)
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
    double z[4] = {0.0, 0.0, 0.0, 0.0};
    if (check.cover != nullptr) {
        for (int k = 0; k < 4; ++k) {
            z[k] = depth[index[k]] / kDepthSteps;
        }
    }
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4) {
        return ScannedFace(c, z, x0, x1, y0, y1, check);
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
    double nearest[2] = {0.0, 0.0};
    if (check.cover != nullptr) {
        Nearest(c, z, nearest);
    }
    uint8_t found = (s1 == 0.0 ? 1 : 0) | (s2 == 0.0 ? 2 : 0);
    for (int y = y0; y <= y1 && found != 3; ++y) {
        for (int x = x0; x <= x1 && found != 3; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double diagonal = e20.Side(px, py);
            if ((found & 1) == 0 && Within(e12.Side(px, py), s1, e12) &&
                Within(diagonal, s1, e20) && Within(e01.Side(px, py), s1, e01) &&
                !check.Hides(x, y, nearest[0])) {
                found |= 1;
            }
            // The diagonal runs the other way round the second triangle.
            if ((found & 2) == 0 && Within(e23.Side(px, py), s2, e23) &&
                Within(e30.Side(px, py), s2, e30) && Within(-diagonal, s2, e20) &&
                !check.Hides(x, y, nearest[1])) {
                found |= 2;
            }
        }
    }
    return found;
}

// window: x and y of vertex i at 2 i and 2 i + 1.
void MarkRange(const ProjectedMesh& mesh, const float* window, const uint16_t* depth,
               const CoverCheck& check, uint8_t* showing, std::size_t begin, std::size_t end)
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
        showing[f] = usable ? TrianglesThatMayShow(corners, depth, index, check) : 3;
    }
}

// Runs body(begin, end) over [0, count), in two halves on two threads when
// the work (count by default) is large enough to pay for the second.
template <typename Body>
void OnTwoThreads(std::size_t count, const Body& body, std::size_t work = 0)
{
    work = work == 0 ? count : work;
    if (count < 2 || ProjectionThreadCount(work, work) < 2) {
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

bool WindowMappingOf(const double projection[16], const double modelview[16],
                     const int viewport[4], const double depthRange[2], WindowMapping& out)
{
    // a = projection x modelview, as OpenGL applies them.
    double a[16];
    std::copy(modelview, modelview + 16, a);
    MultiplyMatrix4(projection, a);
    if (a[3] != 0.0 || a[7] != 0.0 || a[11] != 0.0 || a[15] != 1.0) {
        return false;
    }
    const double sx = 0.5 * viewport[2];
    const double sy = 0.5 * viewport[3];
    const double sz = 0.5 * (depthRange[1] - depthRange[0]);
    const double m[12] = {sx * a[0], sx * a[4], sx * a[8], sx * (a[12] + 1.0) + viewport[0],
                          sy * a[1], sy * a[5], sy * a[9], sy * (a[13] + 1.0) + viewport[1],
                          sz * a[2], sz * a[6], sz * a[10], sz * (a[14] + 1.0) + depthRange[0]};
    std::copy(m, m + 12, out.m);
    out.originX = viewport[0];
    out.originY = viewport[1];
    out.width = viewport[2];
    out.height = viewport[3];
    return true;
}

namespace {

// Whole steps of kDepthSteps, rounded down; 0 for what is not a number.
uint16_t DepthSteps(double z)
{
    const double steps = z * kDepthSteps;
    if (!(steps >= 0.0)) {
        return 0;
    }
    return steps >= kDepthSteps - 1.0 ? static_cast<uint16_t>(kDepthSteps - 1.0)
                                      : static_cast<uint16_t>(steps);
}

// Leaving out covered faces pays where the faces are many for the pixels:
// the cover costs a pass over every pixel.
bool CoverPays(const ProjectedMesh& mesh, const WindowMapping& map)
{
    const double pixels = static_cast<double>(map.width) * map.height;
    return map.width > 0 && map.height > 0 && 8.0 * mesh.faces.size() >= pixels;
}

}  // namespace

void PrepareCentreSearch(const ProjectedMesh& mesh, const WindowMapping& map,
                         bool leaveOutCovered, CentreSearch& search)
{
    const std::size_t n = mesh.projX.size();
    ResizeArray(search.window, 2 * n);
    ResizeArray(search.depth, n);
    ResizeArray(search.showing, mesh.faces.size());
    float* xy = search.window.data();
    uint16_t* depth = search.depth.data();
    const double* m = map.m;
    OnTwoThreads(n, [&mesh, m, xy, depth](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const double x = mesh.projX[i];
            const double y = mesh.projY[i];
            const double z = mesh.projZ[i];
            xy[2 * i] = static_cast<float>(m[0] * x + m[1] * y + m[2] * z + m[3]);
            xy[2 * i + 1] = static_cast<float>(m[4] * x + m[5] * y + m[6] * z + m[7]);
            depth[i] = DepthSteps(m[8] * x + m[9] * y + m[10] * z + m[11]);
        }
    });

    search.viewport = {map.originX, map.originY, map.width, map.height};
    search.covered = 0;
    if (!leaveOutCovered || !CoverPays(mesh, map)) {
        ResizeArray(search.cover[0], 0);
        ResizeArray(search.cover[1], 0);
        return;
    }
    const WindowPoints points{xy, depth, map.originX, map.originY, map.width, map.height};
    if (search.gridRevision != mesh.drawRevision) {
        search.rowLength = GridRowLength(mesh);
        search.gridRevision = mesh.drawRevision;
    }
    // Split between blocks, in faces from where a block begins.
    const std::size_t faces = mesh.faces.size();
    const std::size_t rowLength = search.rowLength;
    const std::size_t unit = rowLength == 0 ? 1 : kStripFaces * rowLength;
    std::vector<float>* cover = search.cover;
    bool halves = false;
    OnTwoThreads((faces + unit - 1) / unit, [&](std::size_t begin, std::size_t end) {
        if (begin != 0) {
            halves = true;
        }
        FillCoverDepths(mesh, points, rowLength, begin * unit, std::min(end * unit, faces),
                        cover[begin == 0 ? 0 : 1]);
    }, faces);
    search.covered = halves ? 2 : 1;
}

void MarkFaces(const ProjectedMesh& mesh, CentreSearch& search, std::size_t begin,
               std::size_t end)
{
    const CentreSearch::Viewport& v = search.viewport;
    CoverCheck check;
    if (search.covered != 0) {
        check = {search.cover[0].data(), search.covered == 2 ? search.cover[1].data() : nullptr,
                 v.originX, v.originY, v.width, v.height};
    }
    MarkRange(mesh, search.window.data(), search.depth.data(), check, search.showing.data(),
              begin, end);
}

void MarkAllFaces(const ProjectedMesh& mesh, CentreSearch& search)
{
    OnTwoThreads(mesh.faces.size(), [&mesh, &search](std::size_t begin, std::size_t end) {
        MarkFaces(mesh, search, begin, end);
    });
}

void MarkFacesThatCanShow(const ProjectedMesh& mesh, const WindowMapping& map,
                          bool leaveOutCovered, CentreSearch& search)
{
    PrepareCentreSearch(mesh, map, leaveOutCovered, search);
    MarkAllFaces(mesh, search);
}

FacesMarkedAhead::FacesMarkedAhead(const ProjectedMesh& mesh, CentreSearch& search)
    : faces_(mesh.faces.size())
{
    const auto markAll = [this, &mesh, &search]() {
        for (std::size_t begin = 0; begin < faces_; begin += kChunk) {
            const std::size_t end = std::min(faces_, begin + kChunk);
            MarkFaces(mesh, search, begin, end);
            const std::lock_guard<std::mutex> lock(mutex_);
            marked_ = end;
            ready_.notify_one();
        }
    };
    if (ProjectionThreadCount(faces_, faces_) >= 2) {
        try {
            thread_ = std::thread(markAll);
            return;
        } catch (const std::system_error&) {
        }
    }
    markAll();
}

FacesMarkedAhead::~FacesMarkedAhead()
{
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FacesMarkedAhead::WaitFor(std::size_t end)
{
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this, end]() { return marked_ >= std::min(end, faces_); });
}
