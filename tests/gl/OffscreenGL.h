#pragma once
// A desktop OpenGL (compatibility profile) context on Mesa without any window
// system: EGL on the surfaceless platform, drawing into a framebuffer object
// of fixed size. Tests and benchmarks render into it and read the pixels back.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;
};

inline bool operator==(const Rgba& p, const Rgba& q)
{
    return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
}
inline bool operator!=(const Rgba& p, const Rgba& q) { return !(p == q); }

// Pixels as read back: row 0 is the bottom row, as in OpenGL window
// coordinates.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // 4 bytes a pixel, rows bottom to top

    Rgba At(int x, int y) const;
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::size_t CountIf(const std::function<bool(const Rgba&)>& predicate) const;
};

// Rough colour classes for checks that should not depend on exact shading.
enum class ColourClass { Black, White, Red, Green, Blue, Grey, Other };

// Black and White: every channel within 8 of 0 or 255. Red, Green, Blue: that
// channel exceeds both others by more than 32. Grey: the channels differ by at
// most 32. Alpha is ignored.
ColourClass Classify(const Rgba& pixel);
const char* ColourClassName(ColourClass colourClass);

std::size_t CountClass(const Image& image, ColourClass colourClass);

class OffscreenGL {
public:
    OffscreenGL() = default;
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    // Makes a context current on this thread with a width x height RGBA8
    // framebuffer and a depth buffer (32 bits where offered, else 24), and
    // sets the viewport to cover it. Returns false and describes the failure
    // in Error() if any step fails.
    bool Create(int width, int height);

    const std::string& Error() const { return error_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int DepthBits() const { return depthBits_; }
    // "vendor / renderer / version" of the current context.
    std::string Description() const;

    // Finishes drawing and reads the whole framebuffer.
    Image ReadPixels() const;

private:
    bool Fail(const std::string& message);

    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    unsigned framebuffer_ = 0;
    unsigned colourBuffer_ = 0;
    unsigned depthBuffer_ = 0;
    int width_ = 0;
    int height_ = 0;
    int depthBits_ = 0;
    std::string error_;
};
