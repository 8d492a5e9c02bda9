#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

const double kInvSqrt2 = 1.0 / std::sqrt(2.0);

void ExpectVec(const double got[3], double x, double y, double z, double tol = 1e-15)
{
    EXPECT_NEAR(got[0], x, tol);
    EXPECT_NEAR(got[1], y, tol);
    EXPECT_NEAR(got[2], z, tol);
}

// OpenGL reading: the array holds columns, the point is a column vector.
void ApplyColumnMajor(const double m[16], const double p[3], double out[3])
{
    for (int r = 0; r < 3; ++r) {
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    }
}

// Row-major reading: the point is a row vector on the left.
void ApplyRowMajor(const double m[16], const double p[4], double out[4])
{
    for (int c = 0; c < 4; ++c) {
        out[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + p[3] * m[12 + c];
    }
}

void ExpectIdentity(const double m[16], double tol)
{
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(m[k], (k % 5 == 0) ? 1.0 : 0.0, tol) << "element " << k;
    }
}

TEST(PerpendicularBasis, AxisCasesFromTheFallbackAndTheCamera)
{
    double u[3], v[3];
    const double up[3] = {0, 0, 5};
    PerpendicularBasis(up, u, v);
    ExpectVec(u, 1, 0, 0);
    ExpectVec(v, 0, 1, 0);

    const double down[3] = {0, 0, -1};
    PerpendicularBasis(down, u, v);
    ExpectVec(u, -1, 0, 0);
    ExpectVec(v, 0, 1, 0);

    const double eye[3] = {0, -6, 6};
    PerpendicularBasis(eye, u, v);
    ExpectVec(u, 1, 0, 0);
    ExpectVec(v, 0, kInvSqrt2, kInvSqrt2);
}

TEST(PerpendicularBasis, ZeroOrNonFiniteDirectionGivesTheStandardPair)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double dirs[][3] = {{0, 0, 0}, {nan, 1, 0}, {inf, 0, 0}, {-0.0, 0, -0.0}};
    for (const auto& dir : dirs) {
        double u[3] = {7, 7, 7}, v[3] = {7, 7, 7};
        PerpendicularBasis(dir, u, v);
        ExpectVec(u, 1, 0, 0, 0.0);
        ExpectVec(v, 0, 1, 0, 0.0);
    }
}

TEST(PerpendicularBasis, RightHandedOrthonormalForAnyLength)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int t = 0; t < 500; ++t) {
        // Extreme scales make the squared length under- or overflow.
        const double scale = std::ldexp(1.0, exponent(rng) * 3);
        const double dir[3] = {coord(rng) * scale, coord(rng) * scale, coord(rng) * scale};
        double u[3], v[3];
        PerpendicularBasis(dir, u, v);
        const double len = std::hypot(dir[0], std::hypot(dir[1], dir[2]));
        const double d[3] = {dir[0] / len, dir[1] / len, dir[2] / len};
        EXPECT_NEAR(u[0] * v[0] + u[1] * v[1] + u[2] * v[2], 0.0, 1e-12);
        EXPECT_NEAR(u[0] * d[0] + u[1] * d[1] + u[2] * d[2], 0.0, 1e-12);
        EXPECT_NEAR(v[0] * d[0] + v[1] * d[1] + v[2] * d[2], 0.0, 1e-12);
        EXPECT_NEAR(std::hypot(u[0], std::hypot(u[1], u[2])), 1.0, 1e-12);
        EXPECT_NEAR(std::hypot(v[0], std::hypot(v[1], v[2])), 1.0, 1e-12);
        // u x v = d
        EXPECT_NEAR(u[1] * v[2] - u[2] * v[1], d[0], 1e-12);
        EXPECT_NEAR(u[2] * v[0] - u[0] * v[2], d[1], 1e-12);
        EXPECT_NEAR(u[0] * v[1] - u[1] * v[0], d[2], 1e-12);
    }
}

TEST(MultiplyMatrix4, IdentityOnEitherSideAndRowVectorOrder)
{
    const Orientation4D id = IdentityOrientation();
    double a[16], b[16];
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(-2.0, 2.0);
    for (int k = 0; k < 16; ++k) {
        a[k] = coord(rng);
        b[k] = coord(rng);
    }

    double m[16];
    std::copy(id.begin(), id.end(), m);
    MultiplyMatrix4(a, m);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(m[k], a[k]);

    std::copy(a, a + 16, m);
    MultiplyMatrix4(id.data(), m);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(m[k], a[k]);

    // M <- M x A: a row vector goes through the old M first, then A.
    std::copy(b, b + 16, m);
    MultiplyMatrix4(a, m);
    const double p[4] = {0.3, -1.2, 2.5, 0.7};
    double viaB[4], viaBA[4], direct[4];
    ApplyRowMajor(b, p, viaB);
    ApplyRowMajor(a, viaB, viaBA);
    ApplyRowMajor(m, p, direct);
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(direct[c], viaBA[c], 1e-12);
}

TEST(InvertMatrix4, SingularOrNaNLeavesDestinationUntouched)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double zero[16] = {};
    double rankThree[16] = {1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 2, 1};
    double withNaN[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, nan, 0, 0, 0, 0, 1};
    for (const double* src : {zero, rankThree, withNaN}) {
        double dst[16];
        for (int k = 0; k < 16; ++k) dst[k] = 100.0 + k;
        EXPECT_FALSE(InvertMatrix4(src, dst));
        for (int k = 0; k < 16; ++k) EXPECT_EQ(dst[k], 100.0 + k);
    }
}

TEST(InvertMatrix4, ProductWithSourceIsIdentityOnBothSides)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coord(-1.0, 1.0);
    for (int t = 0; t < 200; ++t) {
        double src[16];
        for (int k = 0; k < 16; ++k) src[k] = coord(rng) + ((k % 5 == 0) ? 3.0 : 0.0);
        double inv[16];
        ASSERT_TRUE(InvertMatrix4(src, inv));

        double m[16];
        std::copy(src, src + 16, m);
        MultiplyMatrix4(inv, m);
        ExpectIdentity(m, 1e-12);
        std::copy(inv, inv + 16, m);
        MultiplyMatrix4(src, m);
        ExpectIdentity(m, 1e-12);

        // In place.
        std::copy(src, src + 16, m);
        ASSERT_TRUE(InvertMatrix4(m, m));
        for (int k = 0; k < 16; ++k) EXPECT_EQ(m[k], inv[k]);
    }
}

TEST(LookAt, CameraCarriesEyeToUnitZAndCentreToOrigin)
{
    const double* eye = kStartEye;
    const double* centre = kStartCentre;
    double mv[16];
    ComputeLookAtMatrix(eye, centre, mv);
    double out[3];
    ApplyColumnMajor(mv, eye, out);
    ExpectVec(out, 0, 0, 1);
    ApplyColumnMajor(mv, centre, out);
    ExpectVec(out, 0, 0, 0);
    // Model x runs to the right and (0, 1, 1) up the screen, both shrunk by 6 sqrt 2.
    const double g = 6.0 * std::sqrt(2.0);
    const double right[3] = {1, 0, 0};
    ApplyColumnMajor(mv, right, out);
    ExpectVec(out, 1 / g, 0, 0);
    const double up[3] = {0, 1, 1};
    ApplyColumnMajor(mv, up, out);
    ExpectVec(out, 0, std::sqrt(2.0) / g, 0);

    // An off-origin centre still lands on the eye-space origin.
    const double centre2[3] = {1, 2, -3};
    ComputeLookAtMatrix(eye, centre2, mv);
    ApplyColumnMajor(mv, centre2, out);
    ExpectVec(out, 0, 0, 0);
}

TEST(LookAt, EyeOnCentreGivesIdentity)
{
    const double p[3] = {1, 2, 3};
    double mv[16];
    for (double& e : mv) e = 42.0;
    ComputeLookAtMatrix(p, p, mv);
    ExpectIdentity(mv, 0.0);
}

TEST(PlaneRotations, TurnFirstAxisTowardsFourth)
{
    const double angle = 0.4;
    const double p[4] = {1, 0, 0, 0};
    const Orientation4D rotations[3] = {Rxw(angle), Ryw(angle), Rzw(angle)};
    for (int a = 0; a < 3; ++a) {
        double in[4] = {0, 0, 0, 0};
        in[a] = p[0];
        double out[4];
        ApplyRowMajor(rotations[a].data(), in, out);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(out[c], c == a ? std::cos(angle) : 0.0, 1e-15);
        EXPECT_NEAR(out[3], std::sin(angle), 1e-15);
    }
}

TEST(PlaneRotations, OrientationStaysOrthogonalAfterManyTurns)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> angle(-0.3, 0.3);
    Orientation4D o = IdentityOrientation();
    for (int t = 0; t < 10000; ++t) {
        MultiplyMatrix4(Rxw(angle(rng)).data(), o.data());
        MultiplyMatrix4(Ryw(angle(rng)).data(), o.data());
        MultiplyMatrix4(Rzw(angle(rng)).data(), o.data());
    }
    // O x O^T = I
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double dot = 0.0;
            for (int k = 0; k < 4; ++k) dot += o[4 * i + k] * o[4 * j + k];
            EXPECT_NEAR(dot, i == j ? 1.0 : 0.0, 1e-9);
        }
    }
}

}  // namespace
