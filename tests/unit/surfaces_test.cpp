// The three generators and Regenerate: sizes, sample points, corner order,
// topology, and what happens with counts the four-dimensional bottle cannot
// use.

#include "app/SurfaceAppState.h"
#include "surfaces/Generators.h"
#include "surfaces/Pi.h"
#include "surfaces/Regenerate.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <map>
#include <queue>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr double kTol = 1e-9;
const double kSqrt3 = std::sqrt(3.0);

struct P4 {
    double x, y, z, w;
};

P4 Vertex(const SurfaceMesh& m, std::size_t i)
{
    return {m.x[i], m.y[i], m.z[i], m.w[i]};
}

void ExpectNear4(const P4& actual, const P4& expected, double tol, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tol) << what;
    EXPECT_NEAR(actual.y, expected.y, tol) << what;
    EXPECT_NEAR(actual.z, expected.z, tol) << what;
    EXPECT_NEAR(actual.w, expected.w, tol) << what;
}

// Vertex ids after merging coincident points (positions rounded to 1e-7).
std::vector<int> MergeCoincident(const SurfaceMesh& m, std::size_t* distinct)
{
    std::map<std::tuple<long long, long long, long long, long long>, int> ids;
    std::vector<int> merged(m.VertexCount());
    const auto key = [](double v) { return static_cast<long long>(std::llround(v * 1e7)); };
    for (std::size_t i = 0; i < m.VertexCount(); ++i) {
        const auto k = std::make_tuple(key(m.x[i]), key(m.y[i]), key(m.z[i]), key(m.w[i]));
        const auto found = ids.emplace(k, static_cast<int>(ids.size()));
        merged[i] = found.first->second;
    }
    *distinct = ids.size();
    return merged;
}

using Edge = std::pair<int, int>;

Edge Undirected(int a, int b)
{
    return a < b ? Edge{a, b} : Edge{b, a};
}

std::vector<int> Corners(const Quad& q)
{
    return {q.i0, q.i1, q.i2, q.i3};
}

std::map<Edge, int> EdgeUse(const SurfaceMesh& m, const std::vector<int>& ids)
{
    std::map<Edge, int> use;
    for (const Quad& q : m.faces) {
        const auto c = Corners(q);
        for (int k = 0; k < 4; ++k) {
            ++use[Undirected(ids[c[k]], ids[c[(k + 1) % 4]])];
        }
    }
    return use;
}

// Tries to orient every face so that each shared edge is walked in opposite
// directions by its two faces. Returns false when that is impossible: the
// surface is one-sided.
bool ConsistentlyOrientable(const SurfaceMesh& m)
{
    std::map<Edge, std::vector<std::pair<int, bool>>> faceOfEdge;  // face, walked forward
    for (std::size_t f = 0; f < m.FaceCount(); ++f) {
        const auto c = Corners(m.faces[f]);
        for (int k = 0; k < 4; ++k) {
            const int a = c[k];
            const int b = c[(k + 1) % 4];
            faceOfEdge[Undirected(a, b)].push_back({static_cast<int>(f), a < b});
        }
    }
    std::vector<int> flip(m.FaceCount(), -1);
    for (std::size_t start = 0; start < m.FaceCount(); ++start) {
        if (flip[start] != -1) {
            continue;
        }
        flip[start] = 0;
        std::queue<int> todo;
        todo.push(static_cast<int>(start));
        while (!todo.empty()) {
            const int f = todo.front();
            todo.pop();
            const auto c = Corners(m.faces[f]);
            for (int k = 0; k < 4; ++k) {
                const int a = c[k];
                const int b = c[(k + 1) % 4];
                const bool forward = (a < b) != (flip[f] == 1);
                for (const auto& [g, gForward] : faceOfEdge[Undirected(a, b)]) {
                    if (g == f) {
                        continue;
                    }
                    // Opposite walks are consistent: g's flip must make its
                    // direction differ from f's.
                    const int needed = (gForward == !forward) ? 0 : 1;
                    if (flip[g] == -1) {
                        flip[g] = needed;
                        todo.push(g);
                    } else if (flip[g] != needed) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

SurfaceMesh Generate(SurfaceKind kind, int32_t theta = 100, int32_t phi = 100, double h = 0.333)
{
    ResolutionSettings s;
    s.surfaceKind = kind;
    s.thetaCount = theta;
    s.phiCount = phi;
    s.holeRatio = h;
    SurfaceMesh mesh;
    EXPECT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
    return mesh;
}

bool SameMesh(const SurfaceMesh& a, const SurfaceMesh& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w && a.faces == b.faces;
}

}  // namespace

TEST(ApplicationState, StartsWithTheStripAndRevisionZero)
{
    // The settings start from the values app/Settings.h gives its structs,
    // which choose the strip.
    SurfaceAppState app;
    EXPECT_EQ(app.meshRevision, 0);
    EXPECT_EQ(app.barRevision, 0);
    EXPECT_EQ(app.mesh.VertexCount(), 0u);

    EXPECT_EQ(app.Regenerate(), RegenerateResult::Rebuilt);
    EXPECT_EQ(app.mesh.VertexCount(), 3600u);
    EXPECT_EQ(app.mesh.FaceCount(), 1794u);
    EXPECT_EQ(app.meshRevision, 0) << "regeneration itself never raises the revision";
}

TEST(Mobius, SizesSamplesAndJoints)
{
    const SurfaceMesh m = Generate(kMobiusStrip);
    ASSERT_EQ(m.x.size(), 3600u);
    ASSERT_EQ(m.y.size(), 3600u);
    ASSERT_EQ(m.z.size(), 3600u);
    ASSERT_EQ(m.w.size(), 3600u);
    ASSERT_EQ(m.faces.size(), 1794u);
    ASSERT_TRUE(m.IsConsistent());
    for (double w : m.w) {
        ASSERT_EQ(w, 0.0);
    }

    ExpectNear4(Vertex(m, 0), {-0.65, -1.35 * kSqrt3, 0, 0}, kTol, "vertex 0");
    ExpectNear4(Vertex(m, 300), {-1.35, -1.1258330249197703, 0, 0}, 1e-4, "vertex 300");
    ExpectNear4(Vertex(m, 1200), {1.7, kSqrt3, 10.0 / 3.0, 0}, kTol, "vertex 1200");
    ExpectNear4(Vertex(m, 1500), {0.3, kSqrt3, 10.0 / 3.0, 0}, kTol, "vertex 1500");
    ExpectNear4(Vertex(m, 1800), {0.65, -1.35 * kSqrt3, 2.0 / 3.0, 0}, kTol, "vertex 1800");

    const std::pair<int, int> joints[] = {{1800, 600}, {2099, 0},    {2100, 900},  {2399, 300},
                                          {2400, 1799}, {2699, 599}, {2700, 1499}, {2999, 299},
                                          {3000, 1199}, {3299, 1200}, {3300, 899}, {3599, 1500}};
    for (const auto& [a, b] : joints) {
        ExpectNear4(Vertex(m, a), Vertex(m, b), 1e-12, "joint");
    }
    // The third arc turns 119.6 degrees, not 120: its ends are where the
    // straight ribbons start.
    EXPECT_NEAR(m.x[1499], -0.2959, 1e-4);
    EXPECT_NEAR(m.y[1499], 1.7390, 1e-4);

    for (std::size_t i = 0; i < m.VertexCount(); ++i) {
        ASSERT_LT(std::fabs(m.x[i]), 2.5048);
        ASSERT_GE(m.y[i], -1.35 * kSqrt3 - kTol);
        ASSERT_LE(m.y[i], 4.0 / kSqrt3 + kTol);
        ASSERT_GE(m.z[i], -kTol);
        ASSERT_LE(m.z[i], 10.0 / 3.0 + kTol);
    }
}

TEST(Mobius, FaceCornerOrderPerRibbon)
{
    const SurfaceMesh m = Generate(kMobiusStrip);
    EXPECT_EQ(m.faces[0], (Quad{0, 1, 301, 300}));
    EXPECT_EQ(m.faces[298], (Quad{298, 299, 599, 598}));
    EXPECT_EQ(m.faces[299], (Quad{900, 901, 601, 600}));
    EXPECT_EQ(m.faces[598], (Quad{1500, 1501, 1201, 1200}));
    EXPECT_EQ(m.faces[897], (Quad{2100, 2101, 1801, 1800}));
    EXPECT_EQ(m.faces[1196], (Quad{2700, 2701, 2401, 2400}));
    EXPECT_EQ(m.faces[1793], (Quad{3598, 3599, 3299, 3298}));
}

TEST(Mobius, HasOneEdgeCurveAfterMergingTheJoints)
{
    const SurfaceMesh m = Generate(kMobiusStrip);
    std::size_t distinct = 0;
    const std::vector<int> ids = MergeCoincident(m, &distinct);
    EXPECT_EQ(distinct, 3588u);

    const auto use = EdgeUse(m, ids);
    std::map<int, std::vector<int>> boundary;
    std::size_t boundaryEdges = 0;
    for (const auto& [edge, count] : use) {
        ASSERT_LE(count, 2);
        if (count == 1) {
            ++boundaryEdges;
            boundary[edge.first].push_back(edge.second);
            boundary[edge.second].push_back(edge.first);
        }
    }
    EXPECT_EQ(boundaryEdges, 3588u);
    for (const auto& [vertex, neighbours] : boundary) {
        ASSERT_EQ(neighbours.size(), 2u) << "boundary vertex " << vertex;
    }
    // Walk the border from one vertex: a single closed curve visits all.
    const int start = boundary.begin()->first;
    int previous = start;
    int current = boundary[start][0];
    std::size_t steps = 1;
    while (current != start && steps <= boundaryEdges) {
        const auto& n = boundary[current];
        const int next = n[0] == previous ? n[1] : n[0];
        previous = current;
        current = next;
        ++steps;
    }
    EXPECT_EQ(current, start);
    EXPECT_EQ(steps, boundaryEdges) << "the border splits into more than one curve";
}

TEST(Bottle, SizesRingsAndFaces)
{
    const SurfaceMesh m = Generate(kBottleSurface);
    ASSERT_EQ(m.VertexCount(), 16600u);
    ASSERT_EQ(m.FaceCount(), 16500u);
    ASSERT_TRUE(m.IsConsistent());
    for (double w : m.w) {
        ASSERT_EQ(w, 0.0);
    }
    ExpectNear4(Vertex(m, 0), {2.25, 0, 5.4, 0}, kTol, "vertex 0");
    ExpectNear4(Vertex(m, 13900), {-0.75, 0, 5.4, 0}, kTol, "vertex 13900");
    for (int k = 0; k < 100; ++k) {
        ExpectNear4(Vertex(m, 14000 + k), Vertex(m, 13900 + k), 1e-12, "ring 140 on ring 139");
        ExpectNear4(Vertex(m, 16500 + k), Vertex(m, (150 - k) % 100), 1e-12,
                    "ring 165 on ring 0 mirrored");
    }
    EXPECT_EQ(m.faces[99], (Quad{99, 0, 100, 199}));
    EXPECT_EQ(m.faces[16499], (Quad{16499, 16400, 16500, 16599}));

    double minX = 1e9, maxX = -1e9, maxZ = -1e9, minZ = 1e9;
    for (std::size_t i = 0; i < m.VertexCount(); ++i) {
        minX = std::min(minX, m.x[i]);
        maxX = std::max(maxX, m.x[i]);
        minZ = std::min(minZ, m.z[i]);
        maxZ = std::max(maxZ, m.z[i]);
    }
    EXPECT_NEAR(minX, -3.937, 2e-3);
    EXPECT_NEAR(maxX, 3.287, 2e-3);
    EXPECT_NEAR(minZ, -4.218, 2e-3);
    EXPECT_NEAR(maxZ, 6.149, 2e-3);
}

TEST(FourDBottle, DefaultsSizesAndSamplePoints)
{
    const SurfaceMesh m = Generate(kFourDBottle);
    ASSERT_EQ(m.VertexCount(), 10000u);
    ASSERT_EQ(m.FaceCount(), 10000u);
    ASSERT_TRUE(m.IsConsistent());
    ExpectNear4(Vertex(m, 0), {6, 0, 0, 0}, kTol, "vertex 0");
    // Ring 0, a quarter round: radius e = 3.999 in x, tube radius d = 2.001 in z.
    ExpectNear4(Vertex(m, 25), {3.999, 0, 2.001, 0}, kTol, "vertex 25");
    // Half way round the circle the cross-section has turned a quarter: z -> w.
    ExpectNear4(Vertex(m, 50 * 100 + 25), {-3.999, 0, 0, 2.001}, kTol, "vertex 5025");
}

TEST(FourDBottle, SmallMeshHasTheMirroredClosingFaces)
{
    const SurfaceMesh m = Generate(kFourDBottle, 4, 6);
    ASSERT_EQ(m.VertexCount(), 24u);
    ASSERT_EQ(m.FaceCount(), 24u);
    EXPECT_EQ(m.faces[0], (Quad{0, 1, 7, 6}));
    EXPECT_EQ(m.faces[5], (Quad{5, 0, 6, 11}));
    EXPECT_EQ(m.faces[17], (Quad{17, 12, 18, 23}));
    const Quad closing[] = {{18, 19, 5, 0}, {19, 20, 4, 5}, {20, 21, 3, 4},
                            {21, 22, 2, 3}, {22, 23, 1, 2}, {23, 18, 0, 1}};
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(m.faces[18 + t], closing[t]) << "closing face " << t;
    }
}

TEST(FourDBottle, ClosingRingIsRingZeroMirrored)
{
    const int nTheta = 9, nPhi = 7;
    const double h = 0.4;
    const SurfaceMesh m = Generate(kFourDBottle, nTheta, nPhi, h);
    const double d = 3 * (1 - h), e = 3 * (1 + h), pi = kPi;
    for (int j = 0; j < nPhi; ++j) {
        // The ring at theta = pi, computed from the formulas directly.
        const double phi = j * 2 * pi / nPhi;
        const P4 wouldBe{(e + d * std::cos(phi)) * std::cos(2 * pi),
                         (e + d * std::cos(phi)) * std::sin(2 * pi),
                         d * std::sin(phi) * std::cos(pi), d * std::sin(phi) * std::sin(pi)};
        ExpectNear4(wouldBe, Vertex(m, (nPhi - j) % nPhi), 1e-12, "mirrored ring");
    }
}

TEST(FourDBottle, IsClosedAndOneSided)
{
    for (const auto& [theta, phi] : {std::pair{100, 100}, std::pair{7, 5}, std::pair{3, 4}}) {
        const SurfaceMesh m = Generate(kFourDBottle, theta, phi);
        std::vector<int> ids(m.VertexCount());
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ids[i] = static_cast<int>(i);
        }
        for (const auto& [edge, count] : EdgeUse(m, ids)) {
            ASSERT_EQ(count, 2) << theta << "x" << phi << " edge " << edge.first << "-"
                                << edge.second;
        }
        EXPECT_FALSE(ConsistentlyOrientable(m)) << theta << "x" << phi;
    }
    // The check itself can tell a two-sided surface: the same tube with the
    // closing faces joined straight (no mirror) is a torus.
    SurfaceMesh torus = Generate(kFourDBottle, 6, 5);
    for (int t = 0; t < 5; ++t) {
        torus.faces[25 + t] = {25 + t, 25 + (t + 1) % 5, (t + 1) % 5, t};
    }
    EXPECT_TRUE(ConsistentlyOrientable(torus));
}

TEST(FourDBottle, HoleRatioEdgeValues)
{
    const SurfaceMesh hole0 = Generate(kFourDBottle, 8, 6, 0.0);
    for (int i = 0; i < 8; ++i) {
        ExpectNear4(Vertex(hole0, i * 6 + 3), {0, 0, 0, 0}, 1e-12, "h = 0 meets the origin");
    }
    const SurfaceMesh hole1 = Generate(kFourDBottle, 8, 6, 1.0);
    for (std::size_t i = 0; i < hole1.VertexCount(); ++i) {
        ASSERT_NEAR(std::hypot(hole1.x[i], hole1.y[i]), 6.0, 1e-12);
        ASSERT_NEAR(hole1.z[i], 0.0, 1e-12);
    }
    // Outside [0, 1] the ratio is used unchanged.
    const SurfaceMesh wide = Generate(kFourDBottle, 4, 4, 1.5);
    EXPECT_NEAR(wide.x[0], 3 * 2.5 + 3 * -0.5, 1e-12);
    const SurfaceMesh single = Generate(kFourDBottle, 1, 8);
    ASSERT_EQ(single.FaceCount(), 8u);
    EXPECT_TRUE(single.IsConsistent());
}

TEST(Regenerate, SwitchingKindsLeavesNothingOfTheEarlierMesh)
{
    SurfaceMesh mesh = Generate(kFourDBottle, 200, 200);
    ResolutionSettings s;
    s.surfaceKind = kMobiusStrip;
    ASSERT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
    EXPECT_TRUE(SameMesh(mesh, Generate(kMobiusStrip)));
    EXPECT_EQ(mesh.FaceCount(), 1794u);

    s.surfaceKind = kBottleSurface;
    ASSERT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
    s.surfaceKind = kFourDBottle;
    s.thetaCount = s.phiCount = 10;
    ASSERT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
    EXPECT_EQ(mesh.x.size(), 100u);
    EXPECT_EQ(mesh.w.size(), 100u);
    EXPECT_EQ(mesh.faces.size(), 100u);
    EXPECT_TRUE(mesh.IsConsistent());

    // The counts and the ratio play no part in the fixed kinds.
    s.surfaceKind = kBottleSurface;
    s.thetaCount = 3;
    s.holeRatio = 0.9;
    ASSERT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
    EXPECT_TRUE(SameMesh(mesh, Generate(kBottleSurface)));
}

TEST(Regenerate, ZeroProductGivesTheEmptyMesh)
{
    for (const auto& [theta, phi] : {std::pair{100, 0}, std::pair{0, 0}, std::pair{0, 100}}) {
        SurfaceMesh mesh = Generate(kMobiusStrip);
        ResolutionSettings s;
        s.surfaceKind = kFourDBottle;
        s.thetaCount = theta;
        s.phiCount = phi;
        ASSERT_EQ(Regenerate(s, mesh), RegenerateResult::Rebuilt);
        EXPECT_TRUE(mesh.x.empty() && mesh.y.empty() && mesh.z.empty() && mesh.w.empty());
        EXPECT_TRUE(mesh.faces.empty());
        EXPECT_EQ(mesh.x.capacity(), 0u) << "an empty array gives its storage back";
    }
}

TEST(SurfaceKinds, EveryKindIsBuiltAndUsesTheCountsAsItsEntrySays)
{
    for (const SurfaceKindEntry& entry : kSurfaceKinds) {
        SCOPED_TRACE(std::string(entry.radioText));
        const SurfaceMesh start = Generate(entry.kind);
        EXPECT_GT(start.FaceCount(), 0u);
        EXPECT_EQ(!SameMesh(start, Generate(entry.kind, 7, 9, 0.5)), entry.usesCounts);
    }
}

TEST(Regenerate, RefusedInputLeavesTheMeshUnchanged)
{
    const SurfaceMesh before = Generate(kBottleSurface);
    struct Case {
        int32_t kind;
        int32_t theta, phi;
        RegenerateResult expected;
    };
    const Case cases[] = {
        {kSurfaceKindCount, 100, 100, RegenerateResult::UnknownKind},
        {-1, 100, 100, RegenerateResult::UnknownKind},
        {kFourDBottle, -1, 100, RegenerateResult::BadCounts},
        {kFourDBottle, 100, -5, RegenerateResult::BadCounts},
        {kFourDBottle, -100, -100, RegenerateResult::BadCounts},  // positive product
        {kFourDBottle, INT32_MIN, -1, RegenerateResult::BadCounts},
        {kFourDBottle, 65536, 65536, RegenerateResult::BadCounts},  // wraps to 0 in 32 bits
        {kFourDBottle, INT32_MAX, INT32_MAX, RegenerateResult::BadCounts},
        {kFourDBottle, 2001, 2000, RegenerateResult::BadCounts},
    };
    for (const Case& c : cases) {
        SurfaceMesh mesh = before;
        ResolutionSettings s;
        s.surfaceKind = static_cast<SurfaceKind>(c.kind);
        s.thetaCount = c.theta;
        s.phiCount = c.phi;
        EXPECT_EQ(Regenerate(s, mesh), c.expected) << c.theta << " x " << c.phi;
        EXPECT_TRUE(SameMesh(mesh, before)) << c.theta << " x " << c.phi;
    }
    EXPECT_TRUE(FourDBottleCountsAcceptable(2000, 2000));
    EXPECT_FALSE(FourDBottleCountsAcceptable(2000, 2001));
}

TEST(ResizeArray, KeepsLeadingValuesZeroFillsAndGivesLargeStorageBack)
{
    std::vector<double> a(1000, 7.0);
    ResizeArray(a, 1200);
    EXPECT_EQ(a[999], 7.0);
    EXPECT_EQ(a[1199], 0.0);
    ResizeArray(a, 10);
    ASSERT_EQ(a.size(), 10u);
    EXPECT_EQ(a[9], 7.0);
    EXPECT_LT(a.capacity(), 600u) << "a much smaller size gives the storage back";
    ResizeArray(a, 8);
    EXPECT_EQ(a[7], 7.0);
    ResizeArray(a, 0);
    EXPECT_EQ(a.capacity(), 0u);
}
