// The bottle surface in ordinary space: a tube swept along arcs in the x-z
// plane (sections A, B, C) that narrows, bends under itself and climbs back
// through its own wall, then a collar of horizontal rings (section D) that
// turns outwards and closes onto the first ring.

#include "surfaces/Generators.h"
#include "surfaces/Pi.h"

#include <cmath>

namespace {

constexpr int kRings = 166;
constexpr int kRingPoints = 100;

}  // namespace

void GenerateBottle(SurfaceMesh& mesh)
{
    mesh.ResizeVertices(static_cast<std::size_t>(kRings) * kRingPoints);
    for (double& w : mesh.w) {
        w = 0.0;
    }

    const auto set = [&mesh](int ring, int k, double x, double y, double z) {
        const std::size_t i = static_cast<std::size_t>(kRingPoints) * ring + k;
        mesh.x[i] = x;
        mesh.y[i] = y;
        mesh.z[i] = z;
    };

    // Section A, rings 0-19: arc of radius 2 about (-2, ., 1.8).
    for (int j = 0; j < 20; ++j) {
        const double alpha = j * kPi / 80.0;
        const double rho = 0.625 + 0.125 * std::cos(j * kPi / 20.0);
        for (int k = 0; k < kRingPoints; ++k) {
            const double beta = k * kPi / 50.0;
            const double u = rho * std::cos(beta);
            const double v = rho * std::sin(beta);
            set(j, k, (u + 2.0) * std::cos(alpha) - 2.0, v, 1.8 - (u + 2.0) * std::sin(alpha));
        }
    }

    // Section B, rings 20-119: arc of radius 2(sqrt2 - 1) about (0, ., -0.2).
    const double R = 2.0 * (std::sqrt(2.0) - 1.0);
    for (int q = 0; q < 100; ++q) {
        const double gamma = (0.25 + 0.015 * q) * kPi;
        const double delta = gamma - kPi / 2.0;
        const double rho = 0.375 + 0.125 * std::cos(q * kPi / 100.0);
        for (int k = 0; k < kRingPoints; ++k) {
            const double beta = k * kPi / 50.0;
            const double u = rho * std::cos(beta);
            const double v = rho * std::sin(beta);
            set(20 + q, k, u * std::cos(delta) - R * std::sin(gamma), v,
                u * std::sin(delta) - 2.0 + R * std::cos(gamma) + 1.8);
        }
    }

    // Section C, rings 120-139: section A's arc mirrored in x = 0, walked
    // backwards; the negated u makes its rings run the other way round.
    for (int m = 120; m < 140; ++m) {
        const int s = 139 - m;
        const double alpha = s * kPi / 80.0;
        for (int k = 0; k < kRingPoints; ++k) {
            const double beta = k * kPi / 50.0;
            const double u = -0.25 * std::cos(beta);
            const double v = 0.25 * std::sin(beta);
            set(m, k, (u - 2.0) * std::cos(alpha) + 2.0, v, (u - 2.0) * std::sin(alpha) + 1.8);
        }
    }

    // Section D, rings 140-165: the collar, horizontal rings on the z axis.
    for (int l = 0; l < 26; ++l) {
        const double epsilon = 0.04 * l * kPi;
        const double rho = 0.5 - 0.25 * std::cos(epsilon);
        const double z = 1.8 + 0.25 * std::sin(epsilon);
        for (int k = 0; k < kRingPoints; ++k) {
            const double beta = k * kPi / 50.0;
            set(140 + l, k, -rho * std::cos(beta), rho * std::sin(beta), z);
        }
    }

    for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
        mesh.x[i] *= 3.0;
        mesh.y[i] *= 3.0;
        mesh.z[i] *= 3.0;
    }

    // No face joins ring 165 back to ring 0.
    mesh.ResizeFaces(static_cast<std::size_t>(kRings - 1) * kRingPoints);
    for (int m = 0; m < kRings - 1; ++m) {
        const int lower = kRingPoints * m;
        const int upper = lower + kRingPoints;
        for (int k = 0; k < kRingPoints; ++k) {
            const int next = (k + 1) % kRingPoints;
            mesh.faces[static_cast<std::size_t>(lower + k)] = {lower + k, lower + next,
                                                                upper + next, upper + k};
        }
    }
}
