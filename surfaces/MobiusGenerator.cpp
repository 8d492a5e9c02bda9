// The strip is assembled from six ribbons, each between two sampled edge
// curves: three arcs around the corners of a triangle and three straight
// pieces joining them. The ribbons meet at duplicated points; no face crosses
// from one ribbon to the next.

#include "surfaces/Generators.h"
#include "surfaces/Pi.h"

#include <cmath>

namespace {

constexpr int kSamples = 300;
constexpr int kCurves = 12;
constexpr int kFacesPerRibbon = kSamples - 1;

struct Point2 {
    double x;
    double y;
};

// ((299 - s) * from + s * to) / 299, separately for x and y.
Point2 Blend(Point2 from, Point2 to, int s)
{
    const double weight = 1.0 / 299.0;
    return {(static_cast<double>(299 - s) * from.x + s * to.x) * weight,
            (static_cast<double>(299 - s) * from.y + s * to.y) * weight};
}

}  // namespace

void GenerateMobius(SurfaceMesh& mesh)
{
    mesh.ResizeVertices(static_cast<std::size_t>(kSamples) * kCurves);
    for (double& w : mesh.w) {
        w = 0.0;
    }

    const double sqrt3 = std::sqrt(3.0);
    const double R = 2.0 / sqrt3;  // radius of the three arcs
    const double q = 1.0 / sqrt3;  // arc-centre offset
    const double g = 0.35 * sqrt3; // half-width component of the slanted ribbons

    const auto set = [&mesh](int curve, int s, double x, double y, double z) {
        const std::size_t i = static_cast<std::size_t>(kSamples) * curve + s;
        mesh.x[i] = x;
        mesh.y[i] = y;
        mesh.z[i] = z;
    };
    const auto at = [&mesh](int curve, int s) {
        const std::size_t i = static_cast<std::size_t>(kSamples) * curve + s;
        return Point2{mesh.x[i], mesh.y[i]};
    };

    // Curves 0 to 5: the three arcs, two edge curves each.
    for (int s = 0; s < kSamples; ++s) {
        const double t = s * (kPi / 299.0);
        const double u = (2.0 / 3.0) * t;
        const double a = (s * (1.0 / 450.0) + 1.0 / 6.0) * kPi;
        const double sinU = std::sin(u);
        const double cosU = std::cos(u);
        const double cosT = std::cos(t);
        set(0, s, 0.35 - (R * sinU + 1.0), -R * cosU - g - q, 1.0 - cosT);
        set(1, s, -R * sinU - 1.0 - 0.35, g - R * cosU - q, 1.0 - cosT);
        set(2, s, R * sinU + 1.0 - 0.35, -R * cosU - g - q, 5.0 / 3.0 - cosT);
        set(3, s, R * sinU + 1.35, g - R * cosU - q, 5.0 / 3.0 - cosT);
        const double cosA = std::cos(a);
        const double sinA = std::sin(a);
        set(4, s, R * cosA + 0.7, (sinA + 1.0) * R, cosT + 7.0 / 3.0);
        set(5, s, R * cosA - 0.7, (sinA + 1.0) * R, cosT + 7.0 / 3.0);
    }

    // The straight ribbons start and end exactly at the stored arc ends, so
    // the band stays closed although the third arc turns by 119.6 degrees.
    const Point2 end0 = at(0, 299);
    const Point2 end1 = at(1, 299);
    const Point2 end2 = at(2, 299);
    const Point2 end3 = at(3, 299);
    const Point2 end4 = at(4, 299);
    const Point2 end5 = at(5, 299);
    const Point2 start4 = at(4, 0);
    const Point2 start5 = at(5, 0);

    // Curves 6 to 11: the straight ribbons.
    for (int s = 0; s < kSamples; ++s) {
        const double t = s * (kPi / 299.0);
        const double cosT = std::cos(t);
        const double lowZ = (cosT + 1.0) * (1.0 / 3.0);
        set(6, s, (0.65 * (299 - s) - 0.65 * s) * (1.0 / 299.0), -1.35 * sqrt3, lowZ);
        set(7, s, (1.35 * (299 - s) - 1.35 * s) * (1.0 / 299.0), -0.65 * sqrt3, lowZ);

        const double midZ = 5.0 / 3.0 - cosT * (1.0 / 3.0);
        const Point2 p8 = Blend(end5, end1, s);
        const Point2 p9 = Blend(end4, end0, s);
        set(8, s, p8.x, p8.y, midZ);
        set(9, s, p9.x, p9.y, midZ);

        const double highZ = 3.0 - cosT * (1.0 / 3.0);
        const Point2 p10 = Blend(end3, start4, s);
        const Point2 p11 = Blend(end2, start5, s);
        set(10, s, p10.x, p10.y, highZ);
        set(11, s, p11.x, p11.y, highZ);
    }

    // Ribbon 0 starts each face on its even curve, ribbons 1 to 5 on their
    // odd curve; this fixes the sign of each face normal.
    mesh.ResizeFaces(static_cast<std::size_t>(kFacesPerRibbon) * 6);
    for (int ribbon = 0; ribbon < 6; ++ribbon) {
        const int even = kSamples * 2 * ribbon;
        const int odd = even + kSamples;
        for (int s = 0; s < kFacesPerRibbon; ++s) {
            Quad& face = mesh.faces[static_cast<std::size_t>(kFacesPerRibbon) * ribbon + s];
            if (ribbon == 0) {
                face = {even + s, even + s + 1, odd + s + 1, odd + s};
            } else {
                face = {odd + s, odd + s + 1, even + s + 1, even + s};
            }
        }
    }
}
