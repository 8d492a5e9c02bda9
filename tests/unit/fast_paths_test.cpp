// The linear-time depth order against the comparison sort, and the projection
// split over two threads against one thread, bit for bit.

#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "view/DepthOrder.h"
#include "view/Projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// Fails unless order is a permutation that lists the keys exactly as the
// comparison sort lists them: position by position the same key value
// (equal keys may come from different faces).
void ExpectSameKeySequence(const std::vector<double>& keys, const std::string& what)
{
    SCOPED_TRACE(what);
    std::vector<int32_t> radix;
    RadixSortOrder(keys, radix);
    std::vector<int32_t> reference(keys.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        reference[i] = static_cast<int32_t>(i);
    }
    std::sort(reference.begin(), reference.end(),
              [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });

    ASSERT_EQ(radix.size(), keys.size());
    std::vector<int32_t> seen(radix);
    std::sort(seen.begin(), seen.end());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i], static_cast<int32_t>(i)) << "not a permutation";
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // == so that 0.0 and -0.0, which the comparison sort cannot tell
        // apart, count as the same key.
        ASSERT_TRUE(keys[radix[i]] == keys[reference[i]])
            << "position " << i << ": " << keys[radix[i]] << " vs " << keys[reference[i]];
        if (i > 0 && keys[radix[i - 1]] == keys[radix[i]]) {
            ASSERT_LT(radix[i - 1], radix[i]) << "equal keys keep face order";
        }
    }
}

TEST(RadixDepthOrder, AgreesWithTheComparisonSortOnEveryKindOfKey)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> depth(-5.0, 5.0);

    std::vector<double> plain(100000);
    for (double& k : plain) {
        k = depth(random);
    }
    ExpectSameKeySequence(plain, "uniform depths");

    // Few distinct values: long runs of duplicates in every bucket.
    std::vector<double> duplicates(50000);
    std::uniform_int_distribution<int> pick(0, 6);
    const double values[7] = {-2.5, -1.0, -0.0, 0.0, 1e-300, 3.25, -1e-300};
    for (double& k : duplicates) {
        k = values[pick(random)];
    }
    ExpectSameKeySequence(duplicates, "duplicates, both zeros and tiny values");

    // A range so narrow that scaling it to the sort key's levels would
    // overflow: only subnormal keys.
    std::vector<double> subnormal(2000);
    const double tiny = std::numeric_limits<double>::denorm_min();
    for (std::size_t i = 0; i < subnormal.size(); ++i) {
        subnormal[i] = tiny * static_cast<double>(random() % 7);
    }
    ExpectSameKeySequence(subnormal, "subnormal keys only");

    // Every exponent and sign: the order must follow the numbers, not the
    // raw bit patterns.
    std::vector<double> wide;
    const double specials[] = {0.0,
                               -0.0,
                               std::numeric_limits<double>::max(),
                               -std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::min(),
                               -std::numeric_limits<double>::min(),
                               1.0,
                               -1.0,
                               std::nextafter(1.0, 2.0),
                               std::nextafter(-1.0, -2.0)};
    for (double s : specials) {
        wide.push_back(s);
    }
    std::uniform_int_distribution<uint64_t> bits;
    while (wide.size() < 20000) {
        const uint64_t b = bits(random);
        double k;
        std::memcpy(&k, &b, sizeof k);
        if (!std::isnan(k)) {
            wide.push_back(k);
        }
    }
    ExpectSameKeySequence(wide, "random bit patterns, huge and tiny");

    // Only the low bits differ: the passes over the high digits are skipped.
    std::vector<double> close(3000);
    for (std::size_t i = 0; i < close.size(); ++i) {
        close[i] = 1.0 + static_cast<double>((i * 7919) % 1000) * 1e-15;
    }
    ExpectSameKeySequence(close, "keys differing in the last bits");

    ExpectSameKeySequence({}, "no keys");
    ExpectSameKeySequence({-0.0}, "one key");
}

TEST(RadixDepthOrder, MeshOrderEqualsTheStableComparisonOrder)
{
    // A figure with many equal depths (the bottle's rings are symmetric),
    // plus faces whose first corner is missing or NaN.
    SurfaceMesh surface;
    ASSERT_TRUE(GenerateFourDBottle(60, 40, 0.333, surface));
    ProjectedMesh mesh;
    ProjectMesh(surface, IdentityOrientation(), mesh);
    mesh.faces[5].i0 = -3;
    mesh.faces[6].i0 = static_cast<int32_t>(mesh.projX.size());
    mesh.projZ[static_cast<std::size_t>(mesh.faces[7].i0)] =
        std::numeric_limits<double>::quiet_NaN();

    const double views[2][16] = {
        {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
        {0.6, 0.0, -0.8, 0, 0.0, 1.0, 0.0, 0, 0.8, 0.0, 0.6, 0, 0.1, 0.2, 0.3, 1}};
    for (const auto& view : views) {
        std::vector<int32_t> radix;
        std::vector<int32_t> stable;
        std::vector<int32_t> unstable;
        BuildBackToFrontOrder(mesh, view, radix);
        BuildBackToFrontOrderStable(mesh, view, stable);
        BuildBackToFrontOrderByComparison(mesh, view, unstable);
        EXPECT_EQ(radix, stable);
        std::vector<double> keys;
        ComputeDepthKeys(mesh, view, keys);
        ASSERT_EQ(unstable.size(), keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            ASSERT_EQ(keys[radix[i]], keys[unstable[i]]) << i;
        }
        EXPECT_EQ(keys[5], 0.0);
        EXPECT_EQ(keys[6], 0.0);
        EXPECT_EQ(keys[7], 0.0);
    }
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

TEST(ThreadedProjection, TwoThreadsGiveTheBitsOfOne)
{
    // Odd counts, so that the last piece is short, and large enough that
    // ProjectMesh itself chooses two threads on a two-core machine.
    SurfaceMesh surface;
    ASSERT_TRUE(GenerateFourDBottle(251, 203, 0.4, surface));
    ASSERT_GE(surface.FaceCount(), kParallelProjectionMinimum);
    Orientation4D turned = IdentityOrientation();
    const Orientation4D xw = Rxw(0.3);
    const Orientation4D yw = Ryw(-1.2);
    const Orientation4D zw = Rzw(2.1);
    MultiplyMatrix4(xw.data(), turned.data());
    MultiplyMatrix4(yw.data(), turned.data());
    MultiplyMatrix4(zw.data(), turned.data());

    ProjectedMesh one;
    ProjectedMesh two;
    ProjectedMesh chosen;
    ProjectMeshThreaded(surface, turned, one, 1);
    ProjectMeshThreaded(surface, turned, two, 2);
    ProjectMesh(surface, turned, chosen);
    for (const ProjectedMesh* other : {&two, &chosen}) {
        EXPECT_TRUE(SameBits(one.projX, other->projX));
        EXPECT_TRUE(SameBits(one.projY, other->projY));
        EXPECT_TRUE(SameBits(one.projZ, other->projZ));
        EXPECT_TRUE(SameBits(one.faceNormalX, other->faceNormalX));
        EXPECT_TRUE(SameBits(one.faceNormalY, other->faceNormalY));
        EXPECT_TRUE(SameBits(one.faceNormalZ, other->faceNormalZ));
        EXPECT_TRUE(one.faces == other->faces);
        ASSERT_EQ(one.drawVertices.size(), other->drawVertices.size());
        EXPECT_EQ(std::memcmp(one.drawVertices.data(), other->drawVertices.data(),
                              one.drawVertices.size() * sizeof(DrawVertex)),
                  0);
        EXPECT_EQ(one.drawShared, other->drawShared);
    }

    // The normals of the fused projection pass are those ComputeFaceNormals
    // gives for the projected vertices, on one thread or two.
    std::vector<double> nx, ny, nz, tx, ty, tz;
    ComputeFaceNormalsThreaded(one.projX, one.projY, one.projZ, one.faces, nx, ny, nz, 1);
    ComputeFaceNormalsThreaded(one.projX, one.projY, one.projZ, one.faces, tx, ty, tz, 2);
    EXPECT_TRUE(SameBits(nx, one.faceNormalX) && SameBits(ny, one.faceNormalY) &&
                SameBits(nz, one.faceNormalZ));
    EXPECT_TRUE(SameBits(nx, tx) && SameBits(ny, ty) && SameBits(nz, tz));
}

// Every surface kind, odd face counts (so the four-wide loop leaves a
// tail), scattered corner indices, and quads whose normal has no direction:
// collapsed, NaN, infinite, overflowing and underflowing.
std::vector<SurfaceMesh> KernelTestMeshes()
{
    std::vector<SurfaceMesh> meshes(5);
    GenerateMobius(meshes[0]);
    GenerateBottle(meshes[1]);
    EXPECT_TRUE(GenerateFourDBottle(37, 29, 0.7, meshes[2]));

    std::mt19937 random(77);
    std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
    SurfaceMesh& scattered = meshes[3];
    scattered.ResizeVertices(1000);
    for (std::size_t i = 0; i < 1000; ++i) {
        scattered.x[i] = coordinate(random);
        scattered.y[i] = coordinate(random);
        scattered.z[i] = coordinate(random);
        scattered.w[i] = coordinate(random);
    }
    std::uniform_int_distribution<int32_t> vertex(0, 999);
    scattered.ResizeFaces(1003);
    for (Quad& q : scattered.faces) {
        q = {vertex(random), vertex(random), vertex(random), vertex(random)};
    }

    SurfaceMesh& odd = meshes[4];
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double points[][4] = {{0, 0, 0, 0},       {1, 0, 0, 0},       {1, 1, 0, 0},
                                {0, 1, 0, 0},       {nan, 0, 0, 0},     {inf, 1, 0, 0},
                                {1e200, 0, 0, 0},   {0, 1e200, 0, 0},   {1e-200, 0, 0, 0},
                                {0, 1e-200, 0, 0},  {0, 0, -inf, 1},    {2, 3, 5, 7}};
    for (const auto& p : points) {
        odd.x.push_back(p[0]);
        odd.y.push_back(p[1]);
        odd.z.push_back(p[2]);
        odd.w.push_back(p[3]);
    }
    odd.faces = {{0, 1, 2, 3}, {0, 0, 0, 0}, {4, 1, 2, 3},  {0, 5, 2, 3},  {0, 6, 2, 7},
                 {0, 8, 2, 9}, {0, 1, 2, 10}, {3, 2, 1, 0}, {11, 0, 1, 2}, {0, 2, 1, 3},
                 {9, 8, 7, 6}};
    return meshes;
}

Orientation4D TurnedBy(double a, double b, double c)
{
    Orientation4D o = IdentityOrientation();
    const Orientation4D xw = Rxw(a);
    const Orientation4D yw = Ryw(b);
    const Orientation4D zw = Rzw(c);
    MultiplyMatrix4(xw.data(), o.data());
    MultiplyMatrix4(yw.data(), o.data());
    MultiplyMatrix4(zw.data(), o.data());
    return o;
}

void ExpectSameProjection(const ProjectedMesh& a, const ProjectedMesh& b)
{
    EXPECT_TRUE(SameBits(a.projX, b.projX));
    EXPECT_TRUE(SameBits(a.projY, b.projY));
    EXPECT_TRUE(SameBits(a.projZ, b.projZ));
    EXPECT_TRUE(SameBits(a.faceNormalX, b.faceNormalX));
    EXPECT_TRUE(SameBits(a.faceNormalY, b.faceNormalY));
    EXPECT_TRUE(SameBits(a.faceNormalZ, b.faceNormalZ));
    EXPECT_TRUE(a.faces == b.faces);
    ASSERT_EQ(a.drawVertices.size(), b.drawVertices.size());
    EXPECT_TRUE(a.drawVertices.empty() ||
                std::memcmp(a.drawVertices.data(), b.drawVertices.data(),
                            a.drawVertices.size() * sizeof(DrawVertex)) == 0);
    EXPECT_EQ(a.drawShared, b.drawShared);
    EXPECT_EQ(a.drawVertexCount, b.drawVertexCount);
}

TEST(WideProjection, GivesThePortableLoopsBitsOnEveryMesh)
{
    if (BestProjectionKernel() != ProjectionKernel::Wide) {
        GTEST_SKIP() << "this processor has no AVX2; only the portable loops run";
    }
    const Orientation4D orientations[] = {IdentityOrientation(), TurnedBy(0.3, -1.2, 2.1),
                                          TurnedBy(3.0, 0.01, -0.7)};
    int meshIndex = 0;
    for (const SurfaceMesh& mesh : KernelTestMeshes()) {
        for (const Orientation4D& o : orientations) {
            for (unsigned threads : {1u, 2u}) {
                SCOPED_TRACE("mesh " + std::to_string(meshIndex) + ", " +
                             std::to_string(threads) + " thread(s)");
                ProjectedMesh portable;
                ProjectedMesh wide;
                ProjectMeshThreaded(mesh, o, portable, threads, ProjectionKernel::Portable);
                ProjectMeshThreaded(mesh, o, wide, threads, ProjectionKernel::Wide);
                ASSERT_EQ(wide.faces.size(), mesh.faces.size());
                ExpectSameProjection(portable, wide);
            }
        }
        ++meshIndex;
    }

    // The stand-in normal and the single-precision corners of the odd quads,
    // checked once by value so that both loops are not merely equally wrong.
    ProjectedMesh odd;
    ProjectMeshThreaded(KernelTestMeshes()[4], IdentityOrientation(), odd, 1,
                        ProjectionKernel::Wide);
    EXPECT_EQ(odd.faceNormalZ[0], 1.0);  // the unit square, counter-clockwise
    EXPECT_EQ(odd.faceNormalZ[7], -1.0);  // the same square, clockwise
    for (std::size_t f : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(odd.faceNormalX[f], 0.0);
        EXPECT_EQ(odd.faceNormalY[f], 0.0);
        EXPECT_EQ(odd.faceNormalZ[f], 1.0);
    }
    // Face 8, corner 0: vertex 11.
    const DrawVertex& corner = odd.drawVertices[odd.drawShared ? 11 : 4 * 8];
    EXPECT_EQ(corner.x, 2.0f);
    EXPECT_EQ(corner.y, 3.0f);
    EXPECT_EQ(corner.z, 5.0f);
}

// What the draw vertices must hold with one vertex a mesh vertex: the
// position, and the normal of the face starting there ((0, 0, 1) where none
// does), in single precision.
void ExpectSharedDrawVertices(const ProjectedMesh& p)
{
    ASSERT_TRUE(p.drawShared);
    ASSERT_EQ(p.drawVertices.size(), p.projX.size());
    std::vector<DrawVertex> expected(p.projX.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i] = {0.0f, 0.0f, 1.0f, static_cast<float>(p.projX[i]),
                       static_cast<float>(p.projY[i]), static_cast<float>(p.projZ[i])};
    }
    for (std::size_t f = 0; f < p.faces.size(); ++f) {
        DrawVertex& v = expected[static_cast<std::size_t>(p.faces[f].i0)];
        v.nx = static_cast<float>(p.faceNormalX[f]);
        v.ny = static_cast<float>(p.faceNormalY[f]);
        v.nz = static_cast<float>(p.faceNormalZ[f]);
    }
    EXPECT_EQ(std::memcmp(expected.data(), p.drawVertices.data(),
                          expected.size() * sizeof(DrawVertex)),
              0);
}

TEST(WideProjection, DrawVerticesWrittenByTheFacePassMatchTheFacesAndVertices)
{
    // Face f on vertex f throughout (written by the face pass itself); the
    // same grid with fewer faces than vertices; and with the faces in
    // reverse order, so that each starts elsewhere but no two on one vertex.
    SurfaceMesh grid;
    ASSERT_TRUE(GenerateFourDBottle(251, 203, 0.4, grid));
    SurfaceMesh fewer = grid;
    fewer.faces.resize(fewer.faces.size() - 1001);
    SurfaceMesh reversed = grid;
    std::reverse(reversed.faces.begin(), reversed.faces.end());
    const Orientation4D o = TurnedBy(0.3, -1.2, 2.1);
    for (ProjectionKernel kernel : {ProjectionKernel::Portable, BestProjectionKernel()}) {
        for (unsigned threads : {1u, 2u}) {
            for (const SurfaceMesh* mesh : {&grid, &fewer, &reversed}) {
                SCOPED_TRACE(std::to_string(mesh->faces.size()) + " faces, " +
                             std::to_string(threads) + " thread(s)");
                ProjectedMesh out;
                ProjectMeshThreaded(*mesh, o, out, threads, kernel);
                ExpectSharedDrawVertices(out);
                EXPECT_EQ(out.drawVertexCount, out.projX.size());
                // Again into the same arrays, now the other mesh's: nothing of
                // the last projection's draw vertices may stay.
                ProjectMeshThreaded(mesh == &grid ? reversed : grid, o, out, threads, kernel);
                ExpectSharedDrawVertices(out);
            }
        }
    }
}

TEST(WideProjection, AFaceNamingAMissingVertexEmptiesEverythingWhereverItIs)
{
    // Enough faces for three pieces when two threads share the work.
    SurfaceMesh good;
    ASSERT_TRUE(GenerateFourDBottle(203, 181, 0.333, good));  // 36743 faces
    const int32_t n = static_cast<int32_t>(good.VertexCount());
    const std::size_t last = good.FaceCount() - 1;
    struct Fault {
        std::size_t face;
        int corner;
        int32_t index;
    };
    // The first face, inside a group of four, the first and last faces of
    // the second piece, the tail after the last group; past the end,
    // negative, extreme.
    const Fault faults[] = {{0, 0, n},         {9, 2, -1},          {16384, 3, n},
                            {32767, 1, n + 1000}, {last, 1, INT32_MAX}, {last - 1, 0, INT32_MIN}};
    for (ProjectionKernel kernel : {ProjectionKernel::Portable, BestProjectionKernel()}) {
        for (unsigned threads : {1u, 2u}) {
            for (const Fault& fault : faults) {
                SCOPED_TRACE("face " + std::to_string(fault.face) + ", index " +
                             std::to_string(fault.index) + ", " + std::to_string(threads) +
                             " thread(s)");
                SurfaceMesh bad = good;
                int32_t* corners = &bad.faces[fault.face].i0;
                corners[fault.corner] = fault.index;
                ProjectedMesh out;
                ProjectMeshThreaded(good, IdentityOrientation(), out, threads, kernel);
                ASSERT_FALSE(out.drawVertices.empty());
                ProjectMeshThreaded(bad, IdentityOrientation(), out, threads, kernel);
                EXPECT_TRUE(out.projX.empty() && out.projY.empty() && out.projZ.empty());
                EXPECT_TRUE(out.faces.empty() && out.faceNormalX.empty() &&
                            out.faceNormalY.empty() && out.faceNormalZ.empty());
                EXPECT_TRUE(out.drawVertices.empty() && out.drawVertexCount == 0);
            }
        }
    }
}

TEST(ThreadedProjection, ThreadCountFollowsTheMeshSize)
{
    EXPECT_EQ(ProjectionThreadCount(0, 0), 1u);
    EXPECT_EQ(ProjectionThreadCount(kParallelProjectionMinimum - 1, 100), 1u);
    const unsigned large = ProjectionThreadCount(kParallelProjectionMinimum, 10);
    EXPECT_EQ(large, std::thread::hardware_concurrency() >= 2 ? 2u : 1u);
    EXPECT_EQ(ProjectionThreadCount(10, kParallelProjectionMinimum), large);
}

}  // namespace
