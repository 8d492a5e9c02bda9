#include "resources/AppIcon.h"

#include "surfaces/Pi.h"

#include <wx/bitmap.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSupersample = 4;  // samples per pixel along each axis

struct Vec3 {
    double x, y, z;
};

Vec3 Sub(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A point of the band, already turned so that its twist faces the viewer.
Vec3 BandPoint(double u, double v)
{
    const double radius = 1.0 + v * std::cos(u / 2.0);
    const Vec3 p{radius * std::cos(u), radius * std::sin(u), v * std::sin(u / 2.0)};
    // Tilt about the x axis so the ring is seen from above at an angle.
    const double tilt = -1.0;
    const double c = std::cos(tilt);
    const double s = std::sin(tilt);
    return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}

// Supersampled colour and depth buffers; triangles are drawn flat-shaded.
class Canvas {
public:
    explicit Canvas(int samples)
        : size_(samples),
          colour_(std::size_t(samples) * samples * 3, 0.0),
          depth_(std::size_t(samples) * samples, -1e30),
          covered_(std::size_t(samples) * samples, false)
    {
    }

    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, const double rgb[3])
    {
        const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (std::fabs(area) < 1e-12) {
            return;
        }
        const int x0 = std::max(0, int(std::floor(std::min({a.x, b.x, c.x}))));
        const int x1 = std::min(size_ - 1, int(std::ceil(std::max({a.x, b.x, c.x}))));
        const int y0 = std::max(0, int(std::floor(std::min({a.y, b.y, c.y}))));
        const int y1 = std::min(size_ - 1, int(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5;
                const double py = y + 0.5;
                const double wa = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
                const double wb = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
                const double wc = 1.0 - wa - wb;
                if (wa < 0 || wb < 0 || wc < 0) {
                    continue;
                }
                const double z = wa * a.z + wb * b.z + wc * c.z;
                const std::size_t i = std::size_t(y) * size_ + x;
                if (z <= depth_[i]) {
                    continue;
                }
                depth_[i] = z;
                covered_[i] = true;
                for (int k = 0; k < 3; ++k) {
                    colour_[i * 3 + k] = rgb[k];
                }
            }
        }
    }

    bool Covered(int x, int y) const { return covered_[std::size_t(y) * size_ + x]; }
    double Colour(int x, int y, int k) const { return colour_[(std::size_t(y) * size_ + x) * 3 + k]; }

private:
    int size_;
    std::vector<double> colour_;
    std::vector<double> depth_;
    std::vector<bool> covered_;
};

// Whether a point of the unit square lies inside the rounded background.
bool InsideRoundedSquare(double x, double y)
{
    const double r = 0.2;
    const double cx = std::clamp(x, r, 1.0 - r);
    const double cy = std::clamp(y, r, 1.0 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

}  // namespace

wxImage TarvoIconImage(int size)
{
    const int samples = size * kSupersample;
    Canvas canvas(samples);

    const int along = 120;
    const int across = 4;
    const double halfWidth = 0.42;
    const double extent = 1.0 + halfWidth;
    const double scale = samples * 0.44 / extent;
    const Vec3 light{-0.4, -0.5, 0.77};
    auto toCanvas = [&](const Vec3& p) {
        // Screen y grows downwards.
        return Vec3{samples / 2.0 + p.x * scale, samples / 2.0 - p.y * scale, p.z};
    };
    for (int i = 0; i < along; ++i) {
        const double u0 = 2.0 * kPi * i / along;
        const double u1 = 2.0 * kPi * (i + 1) / along;
        for (int j = 0; j < across; ++j) {
            const double v0 = -halfWidth + 2.0 * halfWidth * j / across;
            const double v1 = -halfWidth + 2.0 * halfWidth * (j + 1) / across;
            const Vec3 p00 = BandPoint(u0, v0);
            const Vec3 p10 = BandPoint(u1, v0);
            const Vec3 p11 = BandPoint(u1, v1);
            const Vec3 p01 = BandPoint(u0, v1);
            Vec3 n = Cross(Sub(p10, p00), Sub(p01, p00));
            const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (length > 0) {
                n = {n.x / length, n.y / length, n.z / length};
            }
            // Both sides lit alike: the band has only one.
            const double lit = std::fabs(n.x * light.x + n.y * light.y + n.z * light.z);
            const double shade = 0.3 + 0.7 * lit;
            const double rgb[3] = {0.92 * shade, 0.12 * shade, 0.12 * shade};
            canvas.Triangle(toCanvas(p00), toCanvas(p10), toCanvas(p11), rgb);
            canvas.Triangle(toCanvas(p00), toCanvas(p11), toCanvas(p01), rgb);
        }
    }

    const double background[3] = {0.11, 0.11, 0.15};
    wxImage image(size, size);
    image.InitAlpha();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double sum[3] = {0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const int cx = x * kSupersample + sx;
                    const int cy = y * kSupersample + sy;
                    if (!InsideRoundedSquare((cx + 0.5) / samples, (cy + 0.5) / samples)) {
                        continue;
                    }
                    ++inside;
                    for (int k = 0; k < 3; ++k) {
                        sum[k] += canvas.Covered(cx, cy) ? canvas.Colour(cx, cy, k) : background[k];
                    }
                }
            }
            unsigned char rgb[3] = {0, 0, 0};
            if (inside > 0) {
                for (int k = 0; k < 3; ++k) {
                    rgb[k] = static_cast<unsigned char>(std::lround(255.0 * sum[k] / inside));
                }
            }
            image.SetRGB(x, y, rgb[0], rgb[1], rgb[2]);
            image.SetAlpha(x, y, static_cast<unsigned char>(
                std::lround(255.0 * inside / (kSupersample * kSupersample))));
        }
    }
    return image;
}

wxIconBundle TarvoIconBundle()
{
    wxIconBundle bundle;
    for (int size : {16, 24, 32, 48, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(TarvoIconImage(size)));
        bundle.AddIcon(icon);
    }
    return bundle;
}
