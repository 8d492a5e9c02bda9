// Whether a shape of the four-dimensional bottle costs more than its face
// count: thin (few rings of many points) and wide (many rings of few points)
// bottles beside the square one of the same face count, each drawn offscreen
// at 800 x 600 as the program draws it, with the steps of a frame timed on
// their own. Every shape the resolution dialog accepts must draw within 2x
// of the square mesh; the summary says "NOT met" where one does not.
//
//   EGL_PLATFORM=surfaceless build-fast/bench/tarvo_shape_bench [--faces N] [--rounds R]

#include "bench/OffscreenStart.h"
#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "tests/gl/OffscreenGL.h"
#include "view/DepthOrder.h"
#include "view/PixelCentres.h"
#include "view/Projection.h"
#include "view/Renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kHoleRatio = 0.333;
constexpr double kMostRatio = 2.0;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Orientation4D TurnedOrientation()
{
    Orientation4D o = IdentityOrientation();
    const Orientation4D xw = Rxw(0.5);
    const Orientation4D zw = Rzw(0.3);
    MultiplyMatrix4(xw.data(), o.data());
    MultiplyMatrix4(zw.data(), o.data());
    return o;
}

// A small turn of the view a frame, as draw_bench's frames take.
void TurnView(int step)
{
    double previous[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, previous);
    glLoadIdentity();
    glRotated((step / 20) % 2 == 0 ? 0.3 : -0.3, 1.0, 0.0, 0.0);
    glRotated(-0.4, 0.0, 1.0, 0.0);
    glMultMatrixd(previous);
}

struct Shape {
    int theta;  // rings
    int phi;    // points a ring
};

// What one shape costs, ms (medians over the rounds' slices).
struct Times {
    double generate = 0.0;
    double project = 0.0;
    double search = 0.0;   // the triangles that can show, cover included
    double order = 0.0;    // the translucent order
    double opaque = 0.0;   // a frame after a 3D turn
    double fourD = 0.0;    // a frame after a 4D turn, re-projection included
    double translucent = 0.0;
    double triangles = 0.0;  // left to draw by the search, opaque
};

double Median(std::vector<double> v)
{
    if (v.empty()) {
        return -1.0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// ms a call of body, over at least `seconds` and three calls.
double Slice(const std::function<void(int)>& body, double seconds)
{
    body(0);  // fills caches and buffers, as the frame before would have
    const Clock::time_point start = Clock::now();
    int calls = 0;
    double ms = 0.0;
    while (calls < 3 || ms < 1000.0 * seconds) {
        body(++calls);
        ms = MsSince(start);
    }
    return ms / calls;
}

struct Scene {
    SurfaceMesh mesh;
    ProjectedMesh projected;
    BarTube bar;
    DrawBuffers buffers;
};

void CameraModelview(double m[16])
{
    glMatrixMode(GL_MODELVIEW);
    LookAt(kStartEye, kStartCentre);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
}

// One round of every measurement of a shape.
Times MeasureShape(const Shape& s, Scene& scene, double seconds)
{
    Times t;
    Clock::time_point start = Clock::now();
    GenerateFourDBottle(s.theta, s.phi, kHoleRatio, scene.mesh);
    t.generate = MsSince(start);
    const Orientation4D turned = TurnedOrientation();
    t.project = Slice([&](int) { ProjectMesh(scene.mesh, turned, scene.projected); }, seconds);

    double modelview[16];
    CameraModelview(modelview);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const int viewport[4] = {0, 0, kWidth, kHeight};
    const double depthRange[2] = {0.0, 1.0};
    WindowMapping mapping;
    WindowMappingOf(projection, modelview, viewport, depthRange, mapping);
    CentreSearch search;
    t.search = Slice([&](int) { MarkFacesThatCanShow(scene.projected, mapping, true, search); },
                     seconds);
    std::size_t triangles = 0;
    for (const uint8_t v : search.showing) {
        triangles += (v & 1) + (v >> 1);
    }
    t.triangles = static_cast<double>(triangles);
    std::vector<int32_t> order;
    t.order = Slice([&](int) { BuildBackToFrontOrder(scene.projected, modelview, order); },
                    seconds);

    DisplaySettings opaque;
    DisplaySettings translucent;
    translucent.translucent = 1;
    const auto frames = [&](const DisplaySettings& display) {
        CameraModelview(modelview);
        return Slice(
            [&](int step) {
                TurnView(step);
                DrawSurface(display, scene.projected, scene.bar, {}, &scene.buffers);
                glFinish();
            },
            seconds);
    };
    t.opaque = frames(opaque);
    t.translucent = frames(translucent);
    CameraModelview(modelview);
    Orientation4D o = turned;
    const Orientation4D step = Rxw(0.01);
    t.fourD = Slice(
        [&](int) {
            MultiplyMatrix4(step.data(), o.data());
            ProjectMesh(scene.mesh, o, scene.projected);
            DrawSurface(opaque, scene.projected, scene.bar, {}, &scene.buffers);
            glFinish();
        },
        seconds);
    scene.buffers.Release();
    return t;
}

// The shapes of one face count: the square first (the yardstick), then
// ever thinner and ever wider, down to two rings and two points a ring.
std::vector<Shape> ShapesOf(long long faces)
{
    const int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(faces))));
    std::vector<Shape> shapes = {{side, side}};
    for (const int few : {2, 10, 100}) {
        const int many = static_cast<int>(faces / few);
        shapes.push_back({few, many});
        shapes.push_back({many, few});
    }
    return shapes;
}

void PrintRow(const Shape& s, const Times& t, const Times& square)
{
    const auto ratio = [](double a, double b) { return b > 0.0 ? a / b : -1.0; };
    const double worst = std::max({ratio(t.opaque, square.opaque), ratio(t.fourD, square.fourD),
                                   ratio(t.translucent, square.translucent)});
    std::printf("%9d x %-9d %7.1f %7.1f %7.1f %7.1f %9.0f | %7.1f %7.1f %7.1f | %5.2f %5.2f %5.2f  "
                "%s\n",
                s.theta, s.phi, t.generate, t.project, t.search, t.order, t.triangles, t.opaque,
                t.fourD, t.translucent, ratio(t.opaque, square.opaque),
                ratio(t.fourD, square.fourD), ratio(t.translucent, square.translucent),
                worst <= kMostRatio ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv)
{
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);  // as the program sets it
    std::vector<long long> counts = {1000000, 4000000};
    int rounds = 3;
    double seconds = 1.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--faces") == 0) {
            counts = {std::atoll(argv[i + 1])};
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        } else {
            std::fprintf(stderr, "usage: %s [--faces N] [--rounds R] [--seconds S]\n", argv[0]);
            return 2;
        }
    }
    OffscreenGL gl;
    if (!StartOffscreenView(gl, kWidth, kHeight)) {
        return 1;
    }
    std::printf("%s, %d x %d, %u hardware threads; ms, medians of %d rounds in turns\n",
                gl.Description().c_str(), kWidth, kHeight, std::thread::hardware_concurrency(),
                rounds);

    Scene scene;
    const double axis[3] = {0.0, 0.0, 1.0};
    BuildBar(axis, scene.bar);
    bool allMet = true;
    for (const long long faces : counts) {
        const std::vector<Shape> shapes = ShapesOf(faces);
        // Rounds in turns, shape after shape, so that the machine's slow
        // minutes fall on every shape alike.
        std::vector<std::vector<Times>> rounds_(shapes.size());
        for (int r = 0; r < rounds; ++r) {
            for (std::size_t k = 0; k < shapes.size(); ++k) {
                rounds_[k].push_back(MeasureShape(shapes[k], scene, seconds));
                std::fprintf(stderr, "  round %d, %d x %d: opaque %.1f ms\n", r + 1,
                             shapes[k].theta, shapes[k].phi, rounds_[k].back().opaque);
            }
        }
        std::vector<Times> median(shapes.size());
        for (std::size_t k = 0; k < shapes.size(); ++k) {
            const auto of = [&](double Times::*field) {
                std::vector<double> v;
                for (const Times& t : rounds_[k]) {
                    v.push_back(t.*field);
                }
                return Median(v);
            };
            Times& m = median[k];
            m.generate = of(&Times::generate);
            m.project = of(&Times::project);
            m.search = of(&Times::search);
            m.order = of(&Times::order);
            m.opaque = of(&Times::opaque);
            m.fourD = of(&Times::fourD);
            m.translucent = of(&Times::translucent);
            m.triangles = of(&Times::triangles);
        }
        std::printf("\n%lld faces (target: every frame within %.0fx of the square's)\n", faces,
                    kMostRatio);
        std::printf("%21s %7s %7s %7s %7s %9s | %7s %7s %7s | %17s\n", "rings x points",
                    "generate", "project", "search", "order", "triangles", "opaque", "4D turn",
                    "transl", "ratio to square");
        for (std::size_t k = 0; k < shapes.size(); ++k) {
            PrintRow(shapes[k], median[k], median[0]);
            const auto over = [&](double a, double b) { return b > 0.0 && a > kMostRatio * b; };
            allMet = allMet && !over(median[k].opaque, median[0].opaque) &&
                     !over(median[k].fourD, median[0].fourD) &&
                     !over(median[k].translucent, median[0].translucent);
        }
        // The rounds' spread of the ratios, so that a ratio near the target
        // can be told from noise.
        std::printf("rounds' ratios to the square (opaque / 4D turn / translucent), min-max:\n");
        for (std::size_t k = 1; k < shapes.size(); ++k) {
            double low[3] = {1e9, 1e9, 1e9};
            double high[3] = {0.0, 0.0, 0.0};
            for (int r = 0; r < rounds; ++r) {
                const Times& t = rounds_[k][static_cast<std::size_t>(r)];
                const Times& q = rounds_[0][static_cast<std::size_t>(r)];
                const double v[3] = {t.opaque / q.opaque, t.fourD / q.fourD,
                                     t.translucent / q.translucent};
                for (int c = 0; c < 3; ++c) {
                    low[c] = std::min(low[c], v[c]);
                    high[c] = std::max(high[c], v[c]);
                }
            }
            std::printf("%9d x %-9d %.2f-%.2f / %.2f-%.2f / %.2f-%.2f\n", shapes[k].theta,
                        shapes[k].phi, low[0], high[0], low[1], high[1], low[2], high[2]);
        }
        std::fflush(stdout);
    }
    std::printf("\nEvery shape within %.0fx of the square: %s\n", kMostRatio,
                allMet ? "met" : "NOT met");
    return 0;
}
