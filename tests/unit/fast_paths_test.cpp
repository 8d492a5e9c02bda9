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
    // Odd counts, so that the halves differ in length, and large enough that
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
        EXPECT_TRUE(other->drawArraysCurrent);
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

TEST(ThreadedProjection, ThreadCountFollowsTheMeshSize)
{
    EXPECT_EQ(ProjectionThreadCount(0, 0), 1u);
    EXPECT_EQ(ProjectionThreadCount(kParallelProjectionMinimum - 1, 100), 1u);
    const unsigned large = ProjectionThreadCount(kParallelProjectionMinimum, 10);
    EXPECT_EQ(large, std::thread::hardware_concurrency() >= 2 ? 2u : 1u);
    EXPECT_EQ(ProjectionThreadCount(10, kParallelProjectionMinimum), large);
}

}  // namespace
