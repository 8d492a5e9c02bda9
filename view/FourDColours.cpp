#include "view/FourDColours.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Viridis at eleven evenly spaced points; between them the map is linear,
// which stays within a step of the full table's lightness.
constexpr int kStops = 11;
const unsigned char kViridis[kStops][3] = {
    {0x44, 0x01, 0x54}, {0x48, 0x24, 0x75}, {0x41, 0x44, 0x87}, {0x35, 0x5f, 0x8d},
    {0x2a, 0x78, 0x8e}, {0x21, 0x91, 0x8c}, {0x22, 0xa8, 0x84}, {0x44, 0xbf, 0x70},
    {0x7a, 0xd1, 0x51}, {0xbd, 0xdf, 0x26}, {0xfd, 0xe7, 0x25},
};
constexpr float kSurfaceAlpha = 0.5f;

}  // namespace

void FourDColourAt(double t, float rgb[3])
{
    if (!(t >= 0.0)) {
        t = std::isnan(t) ? 0.5 : 0.0;
    }
    t = std::min(t, 1.0);
    const double position = t * (kStops - 1);
    const int low = std::min(static_cast<int>(position), kStops - 2);
    const double f = position - low;
    for (int c = 0; c < 3; ++c) {
        const double a = kViridis[low][c] / 255.0;
        const double b = kViridis[low + 1][c] / 255.0;
        rgb[c] = static_cast<float>(a + (b - a) * f);
    }
}

std::vector<double> FaceMeanW(const SurfaceMesh& mesh, const Orientation4D& orientation)
{
    const std::size_t n = mesh.VertexCount();
    std::vector<double> w(n);
    if (!mesh.IsConsistent()) {
        return std::vector<double>(mesh.FaceCount(), 0.0);
    }
    for (std::size_t i = 0; i < n; ++i) {
        w[i] = mesh.x[i] * orientation[3] + mesh.y[i] * orientation[7] +
               mesh.z[i] * orientation[11] + mesh.w[i] * orientation[15];
    }
    std::vector<double> mean(mesh.FaceCount());
    for (std::size_t f = 0; f < mean.size(); ++f) {
        const Quad& q = mesh.faces[f];
        mean[f] = 0.25 * (w[static_cast<std::size_t>(q.i0)] + w[static_cast<std::size_t>(q.i1)] +
                          w[static_cast<std::size_t>(q.i2)] + w[static_cast<std::size_t>(q.i3)]);
    }
    return mean;
}

void ComputeFourDColours(const SurfaceMesh& mesh, const Orientation4D& orientation,
                         const ProjectedMesh& projected, FaceColours& out)
{
    const std::vector<double> mean = FaceMeanW(mesh, orientation);
    const std::size_t faceCount = projected.faces.size() == mean.size() ? mean.size() : 0;
    double low = 0.0;
    double high = 0.0;
    if (faceCount != 0) {
        const auto range = std::minmax_element(mean.begin(), mean.end());
        low = *range.first;
        high = *range.second;
    }
    // A range that rounding alone makes (w = 0 turned a little) is no range.
    const double span = high - low;
    const bool flat = !(span > 1e-9 * std::max(1.0, std::max(std::abs(low), std::abs(high))));

    ResizeArray(out.perFace, 4 * faceCount);
    for (std::size_t f = 0; f < faceCount; ++f) {
        float* rgba = out.perFace.data() + 4 * f;
        FourDColourAt(flat ? 0.5 : (mean[f] - low) / span, rgba);
        rgba[3] = kSurfaceAlpha;
    }

    // A shared draw vertex shows the colour of the face that starts on it;
    // four corners a face show the face's colour each.
    const std::size_t drawCount = faceCount == 0 ? 0 : projected.drawVertexCount;
    ResizeArray(out.perCorner, 4 * drawCount);
    for (std::size_t f = 0; f < faceCount; ++f) {
        const float* rgba = out.perFace.data() + 4 * f;
        if (projected.drawShared) {
            const auto first = static_cast<std::size_t>(projected.faces[f].i0);
            if (first < drawCount) {
                std::copy_n(rgba, 4, out.perCorner.data() + 4 * first);
            }
        } else if (4 * f + 3 < drawCount) {
            for (std::size_t c = 0; c < 4; ++c) {
                std::copy_n(rgba, 4, out.perCorner.data() + 16 * f + 4 * c);
            }
        }
    }
}
