#include "interaction/Matrix4.h"

#include <algorithm>
#include <cmath>

void MultiplyMatrix4(const double A[16], double M[16])
{
    double product[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += M[4 * i + k] * A[4 * k + j];
            }
            product[4 * i + j] = sum;
        }
    }
    std::copy(product, product + 16, M);
}

namespace {

// Cofactor of element (row, col): the signed determinant of the 3 x 3 matrix
// left when that row and column are struck out.
double Cofactor(const double m[16], int row, int col)
{
    int r[3];
    int c[3];
    for (int i = 0, n = 0; i < 4; ++i) {
        if (i != row) {
            r[n++] = i;
        }
    }
    for (int i = 0, n = 0; i < 4; ++i) {
        if (i != col) {
            c[n++] = i;
        }
    }
    const auto at = [m](int i, int j) { return m[4 * i + j]; };
    const double minor =
        at(r[0], c[0]) * (at(r[1], c[1]) * at(r[2], c[2]) - at(r[1], c[2]) * at(r[2], c[1])) -
        at(r[0], c[1]) * (at(r[1], c[0]) * at(r[2], c[2]) - at(r[1], c[2]) * at(r[2], c[0])) +
        at(r[0], c[2]) * (at(r[1], c[0]) * at(r[2], c[1]) - at(r[1], c[1]) * at(r[2], c[0]));
    return ((row + col) % 2 == 0) ? minor : -minor;
}

}  // namespace

bool InvertMatrix4(const double src[16], double dst[16])
{
    double cofactor[16];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            cofactor[4 * row + col] = Cofactor(src, row, col);
        }
    }
    // Expansion down the first column (elements 0, 4, 8, 12).
    const double det = src[0] * cofactor[0] + src[4] * cofactor[4] + src[8] * cofactor[8] +
                       src[12] * cofactor[12];
    if (det == 0.0 || !std::isfinite(det)) {
        return false;
    }
    // The adjugate is the transposed cofactor matrix. Build it aside: a result
    // that overflows must not be reported as an inverse, and dst may be src.
    double inverse[16];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const double value = cofactor[4 * col + row] / det;
            if (!std::isfinite(value)) {
                return false;
            }
            inverse[4 * row + col] = value;
        }
    }
    std::copy(inverse, inverse + 16, dst);
    return true;
}

namespace {

// Lengths whose squares stay normal doubles and whose sums of three squares
// stay finite: 2^-500 and 2^500.
constexpr double kTiny = 0x1p-500;
constexpr double kHuge = 0x1p+500;

}  // namespace

void PerpendicularBasis(const double dir[3], double u[3], double v[3])
{
    double a = dir[0];
    double b = dir[1];
    double c = dir[2];
    double n = std::sqrt(a * a + b * b + c * c);
    if (!(n >= kTiny && n <= kHuge)) {
        // Either there is no direction at all, or the squares under- or
        // overflowed (subnormal squares keep only a few bits). In the second
        // case a rescaled copy has the same direction and a sound length.
        const double largest = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
        if (!(largest > 0.0) || !std::isfinite(largest)) {
            u[0] = 1.0;
            u[1] = 0.0;
            u[2] = 0.0;
            v[0] = 0.0;
            v[1] = 1.0;
            v[2] = 0.0;
            return;
        }
        a /= largest;
        b /= largest;
        c /= largest;
        n = std::sqrt(a * a + b * b + c * c);
    }
    const double d[3] = {a / n, b / n, c / n};

    // z x d; when d lies on the z axis that vanishes and y x d is used.
    double w[3] = {-d[1], d[0], 0.0};
    double m = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    // Not only exactly 0: so close to the z axis that m is computed from
    // subnormal squares, dividing by it would not give a unit vector. y x d
    // is then about as long as d.
    if (m < kTiny) {
        w[0] = d[2];
        w[1] = 0.0;
        w[2] = -d[0];
        m = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    }
    u[0] = w[0] / m;
    u[1] = w[1] / m;
    u[2] = w[2] / m;

    v[0] = d[1] * u[2] - d[2] * u[1];
    v[1] = d[2] * u[0] - d[0] * u[2];
    v[2] = d[0] * u[1] - d[1] * u[0];
}

void ComputeLookAtMatrix(const double eye[3], const double centre[3], double modelview[16])
{
    const double D[3] = {eye[0] - centre[0], eye[1] - centre[1], eye[2] - centre[2]};
    const double g = std::sqrt(D[0] * D[0] + D[1] * D[1] + D[2] * D[2]);
    double u[3];
    double v[3];
    PerpendicularBasis(D, u, v);

    // As an OpenGL matrix this carries eye coordinates to model coordinates:
    // its columns are the scaled frame and the centre. The camera is its
    // inverse.
    const double cameraToModel[16] = {
        g * u[0], g * u[1], g * u[2], 0.0,
        g * v[0], g * v[1], g * v[2], 0.0,
        D[0],     D[1],     D[2],     0.0,
        centre[0], centre[1], centre[2], 1.0,
    };
    if (!InvertMatrix4(cameraToModel, modelview)) {
        const Orientation4D identity = IdentityOrientation();
        std::copy(identity.begin(), identity.end(), modelview);
    }
}

namespace {

Orientation4D PlaneRotation(int axis, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    Orientation4D r = IdentityOrientation();
    r[4 * axis + axis] = c;
    r[4 * axis + 3] = s;
    r[12 + axis] = -s;
    r[15] = c;
    return r;
}

}  // namespace

Orientation4D Rxw(double angle) { return PlaneRotation(0, angle); }
Orientation4D Ryw(double angle) { return PlaneRotation(1, angle); }
Orientation4D Rzw(double angle) { return PlaneRotation(2, angle); }
