#include "view/Projection.h"

#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "surfaces/Pi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {


SurfaceMesh FourDBottle(double holeRatio = 0.333)
{
    SurfaceMesh mesh;
    EXPECT_TRUE(GenerateFourDBottle(60, 40, holeRatio, mesh));
    return mesh;
}

void ExpectAllEmpty(const ProjectedMesh& p)
{
    EXPECT_TRUE(p.projX.empty() && p.projY.empty() && p.projZ.empty());
    EXPECT_TRUE(p.faces.empty());
    EXPECT_TRUE(p.faceNormalX.empty() && p.faceNormalY.empty() && p.faceNormalZ.empty());
    EXPECT_EQ(p.projX.capacity() + p.faces.capacity() + p.faceNormalZ.capacity(), 0u);
}

// Every normal is a unit vector or the stand-in (0, 0, 1); returns how many
// are the stand-in.
int CheckNormals(const std::vector<double>& nx, const std::vector<double>& ny,
                 const std::vector<double>& nz)
{
    int standIns = 0;
    for (std::size_t f = 0; f < nx.size(); ++f) {
        EXPECT_TRUE(std::isfinite(nx[f]) && std::isfinite(ny[f]) && std::isfinite(nz[f]));
        if (nx[f] == 0.0 && ny[f] == 0.0 && nz[f] == 1.0) {
            ++standIns;
            continue;
        }
        EXPECT_NEAR(std::sqrt(nx[f] * nx[f] + ny[f] * ny[f] + nz[f] * nz[f]), 1.0, 1e-12)
            << "face " << f;
    }
    return standIns;
}

Orientation4D RandomOrientation(unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    Orientation4D o = IdentityOrientation();
    for (int t = 0; t < 20; ++t) {
        MultiplyMatrix4(Rxw(angle(rng)).data(), o.data());
        MultiplyMatrix4(Ryw(angle(rng)).data(), o.data());
        MultiplyMatrix4(Rzw(angle(rng)).data(), o.data());
    }
    return o;
}

TEST(ProjectMesh, IdentityKeepsXYZExactlyAndCopiesFaces)
{
    const SurfaceMesh mesh = FourDBottle();
    ProjectedMesh out;
    ProjectMesh(mesh, IdentityOrientation(), out);
    ASSERT_EQ(out.projX.size(), mesh.x.size());
    EXPECT_EQ(out.projX, mesh.x);
    EXPECT_EQ(out.projY, mesh.y);
    EXPECT_EQ(out.projZ, mesh.z);
    EXPECT_EQ(out.faces, mesh.faces);
    EXPECT_EQ(out.faceNormalX.size(), mesh.faces.size());
}

TEST(ProjectMesh, QuarterTurnInXWShowsMinusW)
{
    const SurfaceMesh mesh = FourDBottle();
    Orientation4D o = IdentityOrientation();
    o[0] = 0.0;
    o[15] = 0.0;
    o[3] = 1.0;
    o[12] = -1.0;
    // The fourth column is dropped with the fourth coordinate; poison it.
    o[7] = o[11] = o[15] = std::nan("");
    ProjectedMesh out;
    ProjectMesh(mesh, o, out);
    bool anyW = false;
    for (std::size_t i = 0; i < mesh.x.size(); ++i) {
        EXPECT_EQ(out.projX[i], -mesh.w[i]);
        EXPECT_EQ(out.projY[i], mesh.y[i]);
        EXPECT_EQ(out.projZ[i], mesh.z[i]);
        anyW = anyW || mesh.w[i] != 0.0;
    }
    EXPECT_TRUE(anyW);
    CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ);

    // The same turn built from the plane rotation agrees up to rounding.
    ProjectedMesh turned;
    ProjectMesh(mesh, Rxw(kPi / 2), turned);
    for (std::size_t i = 0; i < mesh.x.size(); ++i) EXPECT_NEAR(turned.projX[i], -mesh.w[i], 1e-12);
}

TEST(ProjectMesh, NormalsOfEverySurfaceAreUnitOrStandIn)
{
    SurfaceMesh mobius, bottle;
    GenerateMobius(mobius);
    GenerateBottle(bottle);
    const SurfaceMesh fourD = FourDBottle();
    const SurfaceMesh collapsed = FourDBottle(1.0);
    SurfaceMesh exactBottle = bottle;
    for (std::size_t k = 0; k < 100; ++k) {
        exactBottle.x[14000 + k] = bottle.x[13900 + k];
        exactBottle.y[14000 + k] = bottle.y[13900 + k];
        exactBottle.z[14000 + k] = bottle.z[13900 + k];
    }

    for (const Orientation4D& o : {IdentityOrientation(), RandomOrientation(1)}) {
        ProjectedMesh out;
        ProjectMesh(mobius, o, out);
        EXPECT_EQ(CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ), 0);

        ProjectMesh(fourD, o, out);
        EXPECT_EQ(CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ), 0);

        // Rings 139 and 140 of the bottle coincide up to rounding, so faces
        // 13900 ... 13999 have next to no area; whatever normal the rounding
        // gives them must still be a unit vector.
        ProjectMesh(bottle, o, out);
        CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ);
        // Made to coincide exactly, the diagonals are exactly opposite.
        ProjectMesh(exactBottle, o, out);
        CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ);
        for (std::size_t f = 13900; f < 14000; ++f) {
            EXPECT_EQ(out.faceNormalX[f], 0.0);
            EXPECT_EQ(out.faceNormalY[f], 0.0);
            EXPECT_EQ(out.faceNormalZ[f], 1.0);
        }

        // A hole ratio of 1 collapses every ring to a point.
        ProjectMesh(collapsed, o, out);
        EXPECT_EQ(CheckNormals(out.faceNormalX, out.faceNormalY, out.faceNormalZ),
                  static_cast<int>(collapsed.faces.size()));
    }
}

TEST(ProjectMesh, EmptyOrInconsistentMeshEmptiesEverything)
{
    const SurfaceMesh good = FourDBottle();
    std::vector<SurfaceMesh> bad(4, good);
    bad[0] = SurfaceMesh();                        // empty
    bad[1].w.pop_back();                           // arrays of unequal length
    bad[1].w.shrink_to_fit();
    bad[2].faces.back().i2 = static_cast<int32_t>(good.x.size());  // one past the end
    bad[3].faces.front().i0 = -1;
    for (const SurfaceMesh& mesh : bad) {
        ProjectedMesh out;
        ProjectMesh(good, IdentityOrientation(), out);
        ASSERT_FALSE(out.projX.empty());
        ProjectMesh(mesh, IdentityOrientation(), out);
        ExpectAllEmpty(out);
    }
}

TEST(ComputeFaceNormals, SignFollowsCornerOrderAndBadIndicesAreNotRead)
{
    // Unit square in the y-z plane; exact capacity so that a stray read
    // past either end is caught by the address sanitizer.
    const std::vector<double> vx = {0, 0, 0, 0};
    const std::vector<double> vy = {0, 1, 1, 0};
    const std::vector<double> vz = {0, 0, 1, 1};
    const std::vector<double> shortZ = {0, 0, 1};
    const std::vector<Quad> quads = {{0, 1, 2, 3}, {3, 2, 1, 0}, {0, 1, 2, 4}, {-1, 1, 2, 3}};
    std::vector<double> nx, ny, nz;
    ComputeFaceNormals(vx, vy, vz, quads, nx, ny, nz);
    ASSERT_EQ(nx.size(), 4u);
    EXPECT_EQ(nx[0], 1.0);
    EXPECT_EQ(nx[1], -1.0);
    for (std::size_t f = 2; f < 4; ++f) {
        EXPECT_EQ(nx[f], 0.0);
        EXPECT_EQ(ny[f], 0.0);
        EXPECT_EQ(nz[f], 1.0);
    }
    // Vertex 3 exists in x and y but not in this z array.
    ComputeFaceNormals(vx, vy, shortZ, {quads[0]}, nx, ny, nz);
    EXPECT_EQ(nz[0], 1.0);
    ComputeFaceNormals(vx, vy, vz, {}, nx, ny, nz);
    EXPECT_TRUE(nx.empty() && ny.empty() && nz.empty());
}

TEST(BuildBar, InitialAxisFrameAndFaces)
{
    const double axis[3] = {0, 0, 1};
    BarTube bar;
    BuildBar(axis, bar);
    ASSERT_EQ(bar.barX.size(), 60u);
    ASSERT_EQ(bar.barFaces.size(), 30u);
    for (int j = 0; j < 30; ++j) {
        const double theta = 2 * kPi * j / 30;
        EXPECT_NEAR(bar.barX[j], 0.2 * std::cos(theta), 1e-15);
        EXPECT_NEAR(bar.barY[j], 0.2 * std::sin(theta), 1e-15);
        EXPECT_EQ(bar.barZ[j], 0.0);
        EXPECT_EQ(bar.barX[30 + j], bar.barX[j]);
        EXPECT_EQ(bar.barY[30 + j], bar.barY[j]);
        EXPECT_EQ(bar.barZ[30 + j], 10.0);
    }
    EXPECT_EQ(bar.barFaces[0], (Quad{0, 1, 31, 30}));
    EXPECT_EQ(bar.barFaces[29], (Quad{29, 0, 30, 59}));
    const double six = 6.0 * kPi / 180.0;
    EXPECT_NEAR(bar.barNormalX[0], std::cos(six), 1e-12);
    EXPECT_NEAR(bar.barNormalY[0], std::sin(six), 1e-12);
    EXPECT_NEAR(bar.barNormalZ[0], 0.0, 1e-12);
}

TEST(BuildBar, AxisAlongX)
{
    const double axis[3] = {1, 0, 0};
    double p[3], q[3];
    PerpendicularBasis(axis, p, q);
    EXPECT_NEAR(p[0], 0, 1e-15);
    EXPECT_NEAR(p[1], 1, 1e-15);
    EXPECT_NEAR(p[2], 0, 1e-15);
    EXPECT_NEAR(q[0], 0, 1e-15);
    EXPECT_NEAR(q[1], 0, 1e-15);
    EXPECT_NEAR(q[2], 1, 1e-15);
    BarTube bar;
    BuildBar(axis, bar);
    // Position 0 lies along p, at radius 0.2.
    EXPECT_NEAR(bar.barX[0], 0.0, 1e-15);
    EXPECT_NEAR(bar.barY[0], 0.2, 1e-15);
    EXPECT_NEAR(bar.barX[30], 10.0, 1e-15);
}

TEST(BuildBar, NormalsPointAwayFromAxisForRandomAxes)
{
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> coord(-3.0, 3.0);
    for (int t = 0; t < 50; ++t) {
        const double a[3] = {coord(rng), coord(rng), coord(rng)};
        const double len = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        BarTube bar;
        BuildBar(a, bar);
        EXPECT_NEAR(bar.barZ[30] - bar.barZ[0], 10.0 * a[2], 1e-12);
        for (std::size_t f = 0; f < 30; ++f) {
            const Quad& q = bar.barFaces[f];
            double c[3] = {0, 0, 0};
            for (int32_t i : {q.i0, q.i1, q.i2, q.i3}) {
                c[0] += bar.barX[i] / 4;
                c[1] += bar.barY[i] / 4;
                c[2] += bar.barZ[i] / 4;
            }
            const double along = (c[0] * a[0] + c[1] * a[1] + c[2] * a[2]) / len;
            const double radial[3] = {c[0] - along * a[0] / len, c[1] - along * a[1] / len,
                                      c[2] - along * a[2] / len};
            const double n[3] = {bar.barNormalX[f], bar.barNormalY[f], bar.barNormalZ[f]};
            EXPECT_GT(n[0] * radial[0] + n[1] * radial[1] + n[2] * radial[2], 0.19);
            EXPECT_NEAR((n[0] * a[0] + n[1] * a[1] + n[2] * a[2]) / len, 0.0, 1e-12);
        }
    }
}

TEST(BuildBar, ZeroOrNaNAxisStaysFinite)
{
    for (double value : {0.0, std::nan("")}) {
        const double axis[3] = {value, 0, 0};
        BarTube bar;
        BuildBar(axis, bar);
        ASSERT_EQ(bar.barX.size(), 60u);
        for (std::size_t i = 0; i < 60; ++i) {
            EXPECT_TRUE(std::isfinite(bar.barX[i]) && std::isfinite(bar.barY[i]) &&
                        std::isfinite(bar.barZ[i]));
        }
        EXPECT_EQ(CheckNormals(bar.barNormalX, bar.barNormalY, bar.barNormalZ), 30);
    }
}

}  // namespace
