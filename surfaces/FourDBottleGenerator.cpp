// The bottle placed in four dimensions: a tube around a circle in the x-y
// plane whose circular cross-section turns half a revolution in the z-w plane
// during one circuit, so the tube closes onto itself mirrored and never
// meets itself.

#include "surfaces/Generators.h"
#include "surfaces/Pi.h"

#include <cmath>

bool FourDBottleCountsAcceptable(int64_t thetaCount, int64_t phiCount)
{
    if (thetaCount < 0 || phiCount < 0) {
        return false;
    }
    // Each count fits in 32 bits, so the product of two 64-bit copies cannot
    // overflow.
    return thetaCount * phiCount <= kMaxFourDBottleFaces;
}

bool GenerateFourDBottle(int32_t thetaCount, int32_t phiCount, double holeRatio,
                         SurfaceMesh& mesh)
{
    if (!FourDBottleCountsAcceptable(thetaCount, phiCount)) {
        return false;
    }
    const int32_t nTheta = thetaCount;
    const int32_t nPhi = phiCount;
    const std::size_t n = static_cast<std::size_t>(nTheta) * static_cast<std::size_t>(nPhi);

    const double d = 3.0 * (1.0 - holeRatio);  // tube radius
    const double e = 3.0 * (1.0 + holeRatio);  // central radius

    mesh.ResizeVertices(n);
    mesh.ResizeFaces(n);
    if (n == 0) {
        return true;
    }

    for (int32_t i = 0; i < nTheta; ++i) {
        const double theta = i * kPi / nTheta;
        const double cos2Theta = std::cos(2.0 * theta);
        const double sin2Theta = std::sin(2.0 * theta);
        const double cosTheta = std::cos(theta);
        const double sinTheta = std::sin(theta);
        for (int32_t j = 0; j < nPhi; ++j) {
            const double phi = j * 2.0 * kPi / nPhi;
            const double cosPhi = std::cos(phi);
            const double sinPhi = std::sin(phi);
            const std::size_t v = static_cast<std::size_t>(i) * nPhi + j;
            mesh.x[v] = (e + d * cosPhi) * cos2Theta;
            mesh.y[v] = (e + d * cosPhi) * sin2Theta;
            mesh.z[v] = d * sinPhi * cosTheta;
            mesh.w[v] = d * sinPhi * sinTheta;
        }
    }

    const auto vertex = [nPhi](int32_t ring, int32_t position) { return ring * nPhi + position; };

    // Rings 0 ... nTheta - 2 joined to their next ring.
    for (int32_t r = 0; r + 1 < nTheta; ++r) {
        for (int32_t t = 0; t < nPhi; ++t) {
            const int32_t next = (t + 1) % nPhi;
            mesh.faces[static_cast<std::size_t>(vertex(r, t))] = {
                vertex(r, t), vertex(r, next), vertex(r + 1, next), vertex(r + 1, t)};
        }
    }

    // The last ring joined to ring 0 mirrored: the would-be ring at theta = pi
    // has ring 0's point at -phi in position j.
    const int32_t last = nTheta - 1;
    for (int32_t t = 0; t < nPhi; ++t) {
        mesh.faces[static_cast<std::size_t>(vertex(last, t))] = {
            vertex(last, t), vertex(last, (t + 1) % nPhi), vertex(0, nPhi - 1 - t),
            vertex(0, nPhi - 1 - ((t + nPhi - 1) % nPhi))};
    }
    return true;
}
