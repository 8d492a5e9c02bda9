#include "view/DepthOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

// Eye-space depth of the face's first corner as the painter's order needs it,
// or 0 where the corner has no usable position.
double ExpectedKey(const ProjectedMesh& mesh, const double m[16], int32_t face)
{
    const int32_t i = mesh.faces[face].i0;
    const int64_t n = static_cast<int64_t>(
        std::min({mesh.projX.size(), mesh.projY.size(), mesh.projZ.size()}));
    if (i < 0 || i >= n) {
        return 0.0;
    }
    const double key = m[2] * mesh.projX[i] + m[6] * mesh.projY[i] + m[10] * mesh.projZ[i];
    return std::isnan(key) ? 0.0 : key;
}

void ExpectBackToFront(const ProjectedMesh& mesh, const double m[16],
                       const std::vector<int32_t>& order)
{
    const std::size_t faceCount = mesh.faces.size();
    ASSERT_EQ(order.size(), faceCount);
    std::vector<int32_t> sorted(order);
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < faceCount; ++i) {
        ASSERT_EQ(sorted[i], static_cast<int32_t>(i)) << "not a permutation of 0 ... F - 1";
    }
    for (std::size_t i = 1; i < faceCount; ++i) {
        ASSERT_LE(ExpectedKey(mesh, m, order[i - 1]), ExpectedKey(mesh, m, order[i]))
            << "faces at positions " << i - 1 << " and " << i << " are out of depth order";
    }
}

ProjectedMesh RandomMesh(std::mt19937& random, int vertexCount, int faceCount)
{
    std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
    std::uniform_int_distribution<int32_t> corner(0, vertexCount - 1);
    ProjectedMesh mesh;
    for (int i = 0; i < vertexCount; ++i) {
        mesh.projX.push_back(coordinate(random));
        mesh.projY.push_back(coordinate(random));
        mesh.projZ.push_back(coordinate(random));
    }
    for (int f = 0; f < faceCount; ++f) {
        mesh.faces.push_back({corner(random), corner(random), corner(random), corner(random)});
    }
    return mesh;
}

// A rotation about a random axis with a uniform scale and a translation, in
// OpenGL column order: the kind of matrix the mouse leaves in the modelview.
void RandomModelview(std::mt19937& random, double m[16])
{
    std::normal_distribution<double> gaussian;
    double axis[3] = {gaussian(random), gaussian(random), gaussian(random)};
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    for (double& a : axis) {
        a /= length;
    }
    const double angle = std::uniform_real_distribution<double>(0.0, 6.28)(random);
    const double scale = std::uniform_real_distribution<double>(0.1, 3.0)(random);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    const double& x = axis[0];
    const double& y = axis[1];
    const double& z = axis[2];
    const double rows[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                               {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                               {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row) {
            m[4 * col + row] = scale * rows[row][col];
        }
        m[4 * col + 3] = 0.0;
    }
    m[12] = gaussian(random);
    m[13] = gaussian(random);
    m[14] = gaussian(random);
    m[15] = 1.0;
}

TEST(DepthOrderTest, RandomMeshesComeOutAsPermutationsInDepthOrder)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const ProjectedMesh mesh = RandomMesh(random, 300, 2000);
        double m[16];
        RandomModelview(random, m);
        std::vector<int32_t> order = {7, 7, 7};  // leftovers must not survive
        BuildBackToFrontOrder(mesh, m, order);
        ExpectBackToFront(mesh, m, order);
    }
}

TEST(DepthOrderTest, WorkArraysGoWhenReleasedAndComeBackForTheNextSort)
{
    std::mt19937 random(7);
    const ProjectedMesh mesh = RandomMesh(random, 300, 2000);
    double m[16];
    RandomModelview(random, m);
    std::vector<int32_t> first;
    BuildBackToFrontOrder(mesh, m, first);
    EXPECT_GE(OrderWorkspaceBytes(), 2 * 2000 * sizeof(uint64_t));
    ReleaseOrderWorkspace();
    EXPECT_EQ(OrderWorkspaceBytes(), 0u);
    std::vector<int32_t> again;
    BuildBackToFrontOrder(mesh, m, again);
    EXPECT_EQ(again, first);
    ReleaseOrderWorkspace();
}

TEST(DepthOrderTest, OrderFollowsTheViewDirectionAndIgnoresTranslation)
{
    // Three faces whose first corners lie at z = -1, 0, 2, stored near to far.
    ProjectedMesh mesh;
    mesh.projX = {0.0, 0.0, 0.0};
    mesh.projY = {0.0, 0.0, 0.0};
    mesh.projZ = {2.0, 0.0, -1.0};
    mesh.faces = {{0, 1, 2, 0}, {1, 2, 0, 1}, {2, 0, 1, 2}};

    double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<int32_t> order;
    BuildBackToFrontOrder(mesh, identity, order);
    EXPECT_EQ(order, (std::vector<int32_t>{2, 1, 0}));

    // Moved far away: every key shifts alike, the order does not change.
    double moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, -7, -100, 1};
    BuildBackToFrontOrder(mesh, moved, order);
    EXPECT_EQ(order, (std::vector<int32_t>{2, 1, 0}));

    // Turned half round about the y axis: the far face is now the near one.
    double turned[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    BuildBackToFrontOrder(mesh, turned, order);
    EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 2}));
}

TEST(DepthOrderTest, EmptyMeshAndEqualDepthsAreHandled)
{
    double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ProjectedMesh empty;
    std::vector<int32_t> order = {3, 1};
    BuildBackToFrontOrder(empty, identity, order);
    EXPECT_TRUE(order.empty());

    // Many faces sharing one first corner: any order, but every face once.
    ProjectedMesh flat;
    flat.projX = {1.0, 2.0};
    flat.projY = {1.0, 2.0};
    flat.projZ = {0.5, 0.5};
    flat.faces.assign(100, Quad{0, 1, 1, 0});
    for (int f = 0; f < 100; f += 3) {
        flat.faces[f].i0 = 1;
    }
    BuildBackToFrontOrder(flat, identity, order);
    ExpectBackToFront(flat, identity, order);
}

TEST(DepthOrderTest, UnusableFirstCornersSortAsDepthZeroWithoutBeingRead)
{
    std::mt19937 random(99);
    ProjectedMesh mesh = RandomMesh(random, 50, 400);
    // Corners beyond the arrays: below 0, exactly N, far beyond.
    mesh.faces[3].i0 = -1;
    mesh.faces[10].i0 = 50;
    mesh.faces[11].i0 = std::numeric_limits<int32_t>::max();
    mesh.faces[12].i0 = std::numeric_limits<int32_t>::min();
    // A corner whose position is not a number.
    mesh.projZ[mesh.faces[20].i0] = std::numeric_limits<double>::quiet_NaN();
    // Arrays of unequal length: the shortest one bounds every corner.
    mesh.faces[30].i0 = 49;
    mesh.projY.resize(49);

    double m[16];
    RandomModelview(random, m);
    std::vector<int32_t> order;
    BuildBackToFrontOrder(mesh, m, order);
    ExpectBackToFront(mesh, m, order);
}

}  // namespace
