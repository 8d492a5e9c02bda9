// How fast the view gets a large four-dimensional bottle on screen, on Mesa
// without a window: generation, re-projection with normals, the translucent
// order and whole 800 x 600 frames, each fast path measured beside its
// reference and beside a floor (the least any implementation must do).
// Ratios and the memory the largest mesh costs are printed at the end.
//
//   EGL_PLATFORM=surfaceless build-fast/bench/tarvo_bench

#include "bench/OffscreenStart.h"
#include "bench/VtkComparison.h"
#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "tests/gl/OffscreenGL.h"
#include "view/BufferObjects.h"
#include "view/DepthOrder.h"
#include "view/PixelCentres.h"
#include "view/Projection.h"
#include "view/Renderer.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kHoleRatio = 0.333;
const int kSides[] = {100, 316, 1000};  // 10 k, 100 k and 1 M faces

// The figure after a four-dimensional turn, as a Shift drag leaves it.
Orientation4D TurnedOrientation()
{
    Orientation4D o = IdentityOrientation();
    const Orientation4D xw = Rxw(0.5);
    const Orientation4D zw = Rzw(0.3);
    MultiplyMatrix4(xw.data(), o.data());
    MultiplyMatrix4(zw.data(), o.data());
    return o;
}

void PlaceCamera()
{
    LookAt(kStartEye, kStartCentre);
}

// One mesh at a time: the 1 M face bottle with its projection takes about
// 200 MB, so a size is built when first asked for and replaces the last.
struct Scene {
    int side = 0;
    SurfaceMesh mesh;
    ProjectedMesh projected;
    BarTube bar;
};

Scene& SceneOf(int side)
{
    static Scene scene;
    if (scene.side != side) {
        scene = Scene{};
        GenerateFourDBottle(side, side, kHoleRatio, scene.mesh);
        ProjectMesh(scene.mesh, TurnedOrientation(), scene.projected);
        const double axis[3] = {0.0, 0.0, 1.0};
        BuildBar(axis, scene.bar);
        scene.side = side;
    }
    return scene;
}

void SetFaceCounter(benchmark::State& state, int side)
{
    state.counters["faces"] = static_cast<double>(side) * side;
}

// ---- generation -----------------------------------------------------------

void BM_Generate(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    SurfaceMesh mesh;
    for (auto _ : state) {
        GenerateFourDBottle(side, side, kHoleRatio, mesh);
        benchmark::DoNotOptimize(mesh.x.data());
    }
    SetFaceCounter(state, side);
}

// ---- re-projection with normals -------------------------------------------

// The reference: the plain loops on one thread.
void BM_ProjectPlain(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    const Orientation4D o = TurnedOrientation();
    for (auto _ : state) {
        ProjectMeshThreaded(scene.mesh, o, scene.projected, 1, ProjectionKernel::Portable);
        benchmark::ClobberMemory();
    }
    SetFaceCounter(state, scene.side);
}

void BM_Project(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    const Orientation4D o = TurnedOrientation();
    for (auto _ : state) {
        ProjectMesh(scene.mesh, o, scene.projected);
        benchmark::ClobberMemory();
    }
    SetFaceCounter(state, scene.side);
}

// Streams the bytes a re-projection must read and write, with nothing
// computed: the four coordinate arrays and the faces in; the three
// coordinate arrays, the face copy, the normals and the draw arrays out.
// Split over threads exactly as ProjectMesh splits its work.
void BM_ProjectFloor(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    const SurfaceMesh& mesh = scene.mesh;
    ProjectedMesh& out = scene.projected;
    const std::size_t n = mesh.VertexCount();
    const std::size_t f = mesh.FaceCount();
    const unsigned threads = ProjectionThreadCount(n, f);
    const auto part = [&](unsigned k, std::size_t count) {
        const std::size_t begin = threads == 1 ? 0 : (k == 0 ? 0 : count / 2);
        const std::size_t end = threads == 1 ? count : (k == 0 ? count / 2 : count);
        return std::pair<std::size_t, std::size_t>(begin, end - begin);
    };
    const auto stream = [&](unsigned k) {
        const auto [v0, vn] = part(k, n);
        std::memcpy(out.projX.data() + v0, mesh.x.data() + v0, vn * sizeof(double));
        std::memcpy(out.projY.data() + v0, mesh.y.data() + v0, vn * sizeof(double));
        std::memcpy(out.projZ.data() + v0, mesh.z.data() + v0, vn * sizeof(double));
        // One shared draw vertex per mesh vertex, as the grids here get.
        double sum = 0.0;
        for (std::size_t i = v0; i < v0 + vn; ++i) {
            sum += mesh.w[i];
        }
        benchmark::DoNotOptimize(sum);
        const auto [f0, fn] = part(k, f);
        std::memcpy(out.faces.data() + f0, mesh.faces.data() + f0, fn * sizeof(Quad));
        std::memset(out.faceNormalX.data() + f0, 0, fn * sizeof(double));
        std::memset(out.faceNormalY.data() + f0, 0, fn * sizeof(double));
        std::memset(out.faceNormalZ.data() + f0, 0, fn * sizeof(double));
        std::memset(out.drawVertices.data() + v0, 0, vn * sizeof(DrawVertex));
    };
    for (auto _ : state) {
        if (threads > 1) {
            std::thread second(stream, 1u);
            stream(0);
            second.join();
        } else {
            stream(0);
        }
        benchmark::ClobberMemory();
    }
    // Leave the scene as the other benchmarks expect it.
    ProjectMesh(mesh, TurnedOrientation(), out);
    SetFaceCounter(state, scene.side);
}

// ---- translucent order ----------------------------------------------------

void CameraModelview(double m[16])
{
    glMatrixMode(GL_MODELVIEW);
    PlaceCamera();
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
}

using OrderFunction = void (*)(const ProjectedMesh&, const double[16], std::vector<int32_t>&);

void Orders(benchmark::State& state, OrderFunction build)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    double m[16];
    CameraModelview(m);
    std::vector<int32_t> order;
    for (auto _ : state) {
        build(scene.projected, m, order);
        benchmark::DoNotOptimize(order.data());
    }
    SetFaceCounter(state, scene.side);
}

void BM_OrderComparison(benchmark::State& state)
{
    Orders(state, BuildBackToFrontOrderByComparison);
}
void BM_OrderRadix(benchmark::State& state) { Orders(state, BuildBackToFrontOrder); }

// ---- triangles that can show ----------------------------------------------

// The per-frame search for the triangles that cover a pixel centre, under
// the camera's mapping to the 800 x 600 window.
void BM_TrianglesThatShow(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    double m[16];
    CameraModelview(m);
    // glOrtho(-1, 1, -r, r, -10, 10), as the view sets it.
    const double r = static_cast<double>(kHeight) / kWidth;
    const double projection[16] = {1, 0, 0, 0, 0, 1 / r, 0, 0, 0, 0, -0.1, 0, 0, 0, 0, 1};
    const int viewport[4] = {0, 0, kWidth, kHeight};
    const double depthRange[2] = {0.0, 1.0};
    WindowMapping mapping;
    WindowMappingOf(projection, m, viewport, depthRange, mapping);
    CentreSearch search;
    for (auto _ : state) {
        MarkFacesThatCanShow(scene.projected, mapping, true, search);
        benchmark::DoNotOptimize(search.showing.data());
    }
    const std::vector<uint8_t>& showing = search.showing;
    std::size_t triangles = 0;
    for (const uint8_t s : showing) {
        triangles += (s & 1) + (s >> 1);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    SetFaceCounter(state, scene.side);
}

// ---- whole frames ---------------------------------------------------------

// A small turn of the view, as one step of a left drag leaves it, along
// the very path bench/vtk_frames.py moves VTK's camera, so that both draw
// the same views: azimuth 0.4 degrees about the view's up and elevation
// 0.3 degrees, up for 20 steps and down for the next 20. The camera turns
// about the centre, the eye-space origin (see LookAt), so the scene turns
// the other way about the eye's axes.
void TurnLikeTheVtkCamera(int step)
{
    double previous[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, previous);
    glLoadIdentity();
    glRotated((step / 20) % 2 == 0 ? 0.3 : -0.3, 1.0, 0.0, 0.0);
    glRotated(-0.4, 0.0, 1.0, 0.0);
    glMultMatrixd(previous);
}

// The view after the given steps from the start camera. Each benchmark
// goes on from where its last run stopped, as VTK's repetitions do.
int& StepsTakenBy(int way, int translucent, int side)
{
    static std::map<int, int> steps;
    return steps[(way * 2 + translucent) * 100000 + side];
}

// The start camera turned by steps 0 to `steps`, where VTK's camera is
// after as many.
void PlaceCameraAfter(int steps)
{
    PlaceCamera();
    for (int i = 0; i <= steps; ++i) {
        TurnLikeTheVtkCamera(i);
    }
}

// The drawing each frame benchmark measures. Buffers (held until the next
// projection) are the program's way; client arrays are what a context
// without buffer objects gets; the immediate drawing is the reference.
enum class Way { Immediate, ClientArrays, Buffers };

DrawBuffers& BenchBuffers()
{
    static DrawBuffers buffers;
    return buffers;
}

// Draws the frame until the program's choice of path for it is made (the
// first frames of a mesh, size or mode are trials of both paths), so that
// what is timed afterwards is the path the program keeps; returns its name.
const char* SettleChoice(const DisplaySettings& display, const Scene& scene)
{
    DrawBuffers& buffers = BenchBuffers();
    buffers.facesKey = static_cast<uint64_t>(scene.side);
    do {
        DrawSurface(display, scene.projected, scene.bar, {}, &buffers);
        glFinish();
    } while (buffers.lastFrameTrial);
    return DrawPathName(buffers.lastPath);
}

void DrawFrameThe(Way way, const DisplaySettings& display, const Scene& scene)
{
    switch (way) {
    case Way::Immediate:
        DrawSurfaceImmediate(display, scene.projected, scene.bar);
        break;
    case Way::ClientArrays:
        DrawSurface(display, scene.projected, scene.bar);
        break;
    case Way::Buffers:
        DrawSurface(display, scene.projected, scene.bar, {}, &BenchBuffers());
        break;
    }
}

// Frames after a turn in three dimensions: the view turned a step before
// each.
void Frames(benchmark::State& state, Way way, int translucent)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    int& step = StepsTakenBy(static_cast<int>(way), translucent, scene.side);
    PlaceCameraAfter(step);
    DisplaySettings display;
    display.translucent = translucent;
    if (way == Way::Buffers) {
        state.SetLabel(SettleChoice(display, scene));
    }
    DrawFrameThe(way, display, scene);  // the buffers filled once, as after a projection
    glFinish();
    for (auto _ : state) {
        TurnLikeTheVtkCamera(++step);
        DrawFrameThe(way, display, scene);
        glFinish();
    }
    SetFaceCounter(state, scene.side);
}

void BM_FrameImmediateOpaque(benchmark::State& state) { Frames(state, Way::Immediate, 0); }
void BM_FrameArraysOpaque(benchmark::State& state) { Frames(state, Way::ClientArrays, 0); }
void BM_FrameOpaque(benchmark::State& state) { Frames(state, Way::Buffers, 0); }
void BM_FrameImmediateTranslucent(benchmark::State& state) { Frames(state, Way::Immediate, 1); }
void BM_FrameArraysTranslucent(benchmark::State& state) { Frames(state, Way::ClientArrays, 1); }
void BM_FrameTranslucent(benchmark::State& state) { Frames(state, Way::Buffers, 1); }

// Frames after a turn in four dimensions: each re-projects the mesh under a
// new orientation (normals and draw arrays included), hands the arrays to
// the buffers and draws.
void BM_FrameFourDTurnOpaque(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    PlaceCamera();
    DisplaySettings display;
    Orientation4D o = TurnedOrientation();
    const Orientation4D step = Rxw(0.01);
    state.SetLabel(SettleChoice(display, scene));
    for (auto _ : state) {
        MultiplyMatrix4(step.data(), o.data());
        ProjectMesh(scene.mesh, o, scene.projected);
        DrawFrameThe(Way::Buffers, display, scene);
        glFinish();
    }
    ProjectMesh(scene.mesh, TurnedOrientation(), scene.projected);
    SetFaceCounter(state, scene.side);
}

// The faces that can show, as triangles from the buffers with their indices
// made beforehand, in the renderer's calls and nothing else: clear, draw,
// wait for the rasteriser. The least the renderer must pay the driver for
// a frame; lights and material stay as the last frame left them.
void BM_FrameFloorOpaque(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    PlaceCamera();
    DisplaySettings display;
    DrawFrameThe(Way::Buffers, display, scene);  // materials, blending, buffers
    const BufferFunctions* gl = CurrentBufferFunctions();
    if (gl == nullptr || !BenchBuffers().Holds(scene.projected)) {
        state.SkipWithError("no buffer objects");
        return;
    }
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const int viewport[4] = {0, 0, kWidth, kHeight};
    const double depthRange[2] = {0.0, 1.0};
    WindowMapping mapping;
    WindowMappingOf(projection, modelview, viewport, depthRange, mapping);
    CentreSearch search;
    MarkFacesThatCanShow(scene.projected, mapping, true, search);
    const std::vector<uint8_t>& showing = search.showing;
    std::vector<uint32_t> indices;
    for (std::size_t f = 0; f < showing.size(); ++f) {
        uint32_t six[6];
        PutFaceTriangles(scene.projected, f, six);
        if ((showing[f] & 1) != 0) {
            indices.insert(indices.end(), six, six + 3);
        }
        if ((showing[f] & 2) != 0) {
            indices.insert(indices.end(), six + 3, six + 6);
        }
    }
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    gl->bindBuffer(GL_ARRAY_BUFFER, BenchBuffers().vertexBuffer);
    glNormalPointer(GL_FLOAT, sizeof(DrawVertex), nullptr);
    glVertexPointer(3, GL_FLOAT, sizeof(DrawVertex),
                    reinterpret_cast<const void*>(offsetof(DrawVertex, x)));
    gl->bindBuffer(GL_ARRAY_BUFFER, 0);
    glShadeModel(GL_FLAT);
    constexpr std::size_t kPerCall = 3 * 8192;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (std::size_t first = 0; first < indices.size(); first += kPerCall) {
            const std::size_t count = std::min(kPerCall, indices.size() - first);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                           indices.data() + first);
            glFlush();
        }
        glFinish();
    }
    glShadeModel(GL_SMOOTH);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    state.counters["triangles"] = static_cast<double>(indices.size() / 3);
    SetFaceCounter(state, scene.side);
}

void Register()
{
    struct Entry {
        const char* name;
        void (*function)(benchmark::State&);
    };
    const Entry entries[] = {
        {"Generate", BM_Generate},
        {"ProjectPlain", BM_ProjectPlain},
        {"Project", BM_Project},
        {"ProjectFloor", BM_ProjectFloor},
        {"OrderComparison", BM_OrderComparison},
        {"OrderRadix", BM_OrderRadix},
        {"TrianglesThatShow", BM_TrianglesThatShow},
        {"FrameImmediateOpaque", BM_FrameImmediateOpaque},
        {"FrameArraysOpaque", BM_FrameArraysOpaque},
        {"FrameOpaque", BM_FrameOpaque},
        {"FrameFloorOpaque", BM_FrameFloorOpaque},
        {"FrameFourDTurnOpaque", BM_FrameFourDTurnOpaque},
        {"FrameImmediateTranslucent", BM_FrameImmediateTranslucent},
        {"FrameArraysTranslucent", BM_FrameArraysTranslucent},
        {"FrameTranslucent", BM_FrameTranslucent},
    };
    // Grouped by size, so each mesh is built once.
    for (const int side : kSides) {
        for (const Entry& e : entries) {
            // Five repetitions each, summarised by their median: single
            // runs of the frames moved by a fifth from one run to the next
            // on this machine, enough to flip a ratio across its target.
            benchmark::RegisterBenchmark(e.name, e.function)
                ->Arg(side)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(std::strncmp(e.name, "Frame", 5) == 0 ? 1.0 : 0.3)
                ->Repetitions(5)
                ->UseRealTime();
        }
    }
}

// ---- summary --------------------------------------------------------------

// Keeps each benchmark's median real time per iteration (ms) by "name/side"
// (a single run's where there are no repetitions) while the
// console reporter prints as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string key = run.run_name.function_name + "/" + run.run_name.args;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    times[key] = run.GetAdjustedRealTime();
                }
            } else if (run.iterations != 0 && times.count(key) == 0) {
                times[key] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

double Time(const CollectingReporter& r, const std::string& name, int side)
{
    const auto it = r.times.find(name + "/" + std::to_string(side));
    return it == r.times.end() ? -1.0 : it->second;
}

// What the 1 M face bottle adds to the resident size, in MB (see
// MeasureMemory); -1 where not measured.
struct MemoryResult {
    double opaque = -1.0;
    double translucent = -1.0;
};

void PrintSummary(const CollectingReporter& r, const MemoryResult& memory)
{
    std::printf("\nSummary (real time per call in ms; ratios from the same run)\n");
    std::printf("%-9s %8s | %8s %8s %8s %6s | %8s %8s %6s | %8s %8s %8s %8s %8s | %8s %8s %8s\n",
                "faces", "generate", "proj ref", "project", "floor", "p/flr", "std::sort",
                "radix", "speedup", "imm opq", "arrays", "buffers", "floor", "4D turn",
                "imm trl", "arrays", "buffers");
    for (const int side : kSides) {
        const auto t = [&r, side](const char* name) { return Time(r, name, side); };
        const auto ratio = [](double a, double b) { return a > 0 && b > 0 ? a / b : -1.0; };
        std::printf("%-9d %8.2f | %8.2f %8.2f %8.2f %6.2f | %8.2f %8.2f %6.2f | %8.2f %8.2f "
                    "%8.2f %8.2f %8.2f | %8.2f %8.2f %8.2f\n",
                    side * side, t("Generate"), t("ProjectPlain"), t("Project"),
                    t("ProjectFloor"), ratio(t("Project"), t("ProjectFloor")),
                    t("OrderComparison"), t("OrderRadix"),
                    ratio(t("OrderComparison"), t("OrderRadix")), t("FrameImmediateOpaque"),
                    t("FrameArraysOpaque"), t("FrameOpaque"), t("FrameFloorOpaque"),
                    t("FrameFourDTurnOpaque"), t("FrameImmediateTranslucent"),
                    t("FrameArraysTranslucent"), t("FrameTranslucent"));
    }
    const int big = kSides[2];
    std::printf("\nTargets at %d faces:\n", big * big);
    const auto line = [](const char* what, double value, const char* goal, bool met) {
        std::printf("  %-46s %7.2f  (target %s)  %s\n", what, value, goal,
                    value < 0 ? "not measured" : (met ? "met" : "NOT met"));
    };
    const auto ratio = [&r, big](const char* a, const char* b) {
        const double ta = Time(r, a, big);
        const double tb = Time(r, b, big);
        return ta > 0 && tb > 0 ? ta / tb : -1.0;
    };
    const double p = ratio("Project", "ProjectFloor");
    const double s = ratio("OrderComparison", "OrderRadix");
    line("re-projection with normals / streaming floor", p, "<= 2", p <= 2.0);
    line("std::sort order / radix order (speed-up)", s, ">= 5", s >= 5.0);
    line("memory over the start strip, opaque (MB)", memory.opaque, "<= 200",
         memory.opaque <= 200.0);
    line("memory over the start strip, translucent (MB)", memory.translucent, "<= 200",
         memory.translucent <= 200.0);
}

// ---- beside VTK ------------------------------------------------------------

enum class Case { Opaque3d, Opaque4d, Translucent3d };

// ms a frame over about a second of one case's frames, going on from
// step (where the case's last slice at this size stopped), as VTK's slices
// do (see VtkSession): the first frame, which may fill the buffers anew,
// is not timed.
double TarvoSlice(Case c, Scene& scene, int& step, const char*& path)
{
    DisplaySettings display;
    display.translucent = c == Case::Translucent3d ? 1 : 0;
    // The 4D turn: the start camera, the mesh turned 0.01 further in x-w a frame.
    const auto turnFourD = [&scene](int s) {
        Orientation4D o = TurnedOrientation();
        const Orientation4D xw = Rxw(0.01 * (s + 1));
        MultiplyMatrix4(xw.data(), o.data());
        ProjectMesh(scene.mesh, o, scene.projected);
    };
    if (c == Case::Opaque4d) {
        PlaceCamera();
        turnFourD(step);
    } else {
        PlaceCameraAfter(step);
    }
    path = SettleChoice(display, scene);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    int frames = 0;
    double seconds = 0.0;
    while (frames < 3 || seconds < 1.0) {
        ++step;
        if (c == Case::Opaque4d) {
            turnFourD(step);
        } else {
            TurnLikeTheVtkCamera(step);
        }
        DrawFrameThe(Way::Buffers, display, scene);
        glFinish();
        ++frames;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    if (c == Case::Opaque4d) {
        ProjectMesh(scene.mesh, TurnedOrientation(), scene.projected);
    }
    return 1000.0 * seconds / frames;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

// The same bottle drawn by VTK in this run, beside Tarvo's frames (see
// VtkComparison.h), after Tarvo's benchmarks: five rounds at each size,
// each round a slice of every case by Tarvo and then by VTK; the medians
// go into the table. Prints each round's ratios.
void CompareWithVtk()
{
    constexpr int kRounds = 5;
    std::vector<TarvoTimes> tarvo;
    std::vector<VtkTimes> vtk;
    for (const int side : {kSides[1], kSides[2]}) {
        TarvoTimes t;
        t.faces = static_cast<long long>(side) * side;
        VtkTimes v;
        Scene& scene = SceneOf(side);
        const std::string path = "/tmp/tarvo-bench-" + std::to_string(side) + ".mesh";
        if (!WriteBenchMesh(scene.mesh, TurnedOrientation(), path)) {
            v.reason = "could not write " + path;
            tarvo.push_back(t);
            vtk.push_back(v);
            continue;
        }
        std::printf("Drawing the %d x %d bottle with VTK, in turns with Tarvo...\n", side, side);
        std::fflush(stdout);
        VtkSession session(path, kWidth, kHeight, 1.0);
        std::remove(path.c_str());  // the script has read it once it is ready
        v.version = session.Version();
        int steps[3] = {0, 0, 0};  // both sides start each size at the start view
        const char* paths[3] = {"", "", ""};
        std::vector<double> mine[3];
        std::vector<double> theirs[4];  // opaque3d, opaque4d, sorted3d, peeling3d
        const char* names[4] = {"opaque3d", "opaque4d", "sorted3d", "peeling3d"};
        for (int round = 0; round < kRounds; ++round) {
            for (int c = 0; c < 3; ++c) {
                mine[c].push_back(TarvoSlice(static_cast<Case>(c), scene, steps[c], paths[c]));
                if (session.Available()) {
                    theirs[c].push_back(session.Slice(names[c]));
                }
            }
            if (!session.Available()) {
                continue;  // Tarvo's figures alone
            }
            theirs[3].push_back(session.Slice(names[3]));
            std::printf("  round %d, VTK / Tarvo: opaque 3D %.2f, opaque 4D %.2f, translucent "
                        "%.2f (sorted) %.2f (peeling); Tarvo's paths %s, %s, %s\n",
                        round + 1, theirs[0].back() / mine[0].back(),
                        theirs[1].back() / mine[1].back(), theirs[2].back() / mine[2].back(),
                        theirs[3].back() / mine[2].back(), paths[0], paths[1], paths[2]);
            std::fflush(stdout);
        }
        t.opaque3d = Median(mine[0]);
        t.opaque4d = Median(mine[1]);
        t.translucent3d = Median(mine[2]);
        if (session.Available()) {
            v.opaque3d = Median(theirs[0]);
            v.opaque4d = Median(theirs[1]);
            v.sorted3d = Median(theirs[2]);
            v.peeling3d = Median(theirs[3]);
            // Under Mesa's no-op driver (GALLIUM_NOOP=1) nothing is
            // rasterised, so depth peeling, which works on the GPU, costs
            // nothing there and is no comparison: the processor's sort is.
            const bool sorted = std::getenv("GALLIUM_NOOP") != nullptr ||
                                v.sorted3d <= v.peeling3d;
            v.translucent3d = sorted ? v.sorted3d : v.peeling3d;
            v.translucentMethod = sorted ? "sorted" : "peeling";
            v.available = true;
        } else {
            v.reason = session.Reason();
        }
        tarvo.push_back(t);
        vtk.push_back(v);
    }
    PrintVtkComparison(tarvo, vtk);
}

// ---- memory ---------------------------------------------------------------

// Resident and peak resident size of this process, in MB of 10^6 bytes
// (the kernel counts kB of 1024 bytes).
void ResidentMB(double& current, double& peak)
{
    current = peak = -1.0;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        double kb = 0;
        if (key == "VmRSS:" && status >> kb) {
            current = kb * 1024.0 / 1e6;
        } else if (key == "VmHWM:" && status >> kb) {
            peak = kb * 1024.0 / 1e6;
        }
    }
}

template <typename T>
double BytesPerFace(const std::vector<T>& v, std::size_t faces)
{
    return static_cast<double>(v.capacity() * sizeof(T)) / static_cast<double>(faces);
}

// What the program holds for the 1 M face bottle beyond the start scene:
// both measured the way the view lives, one mesh and one projection that
// are regenerated and re-projected in place, and one opaque and one
// translucent frame drawn from them.
MemoryResult MeasureMemory()
{
    DisplaySettings opaque;
    DisplaySettings translucent;
    translucent.translucent = 1;
    PlaceCamera();
    SurfaceMesh mesh;
    ProjectedMesh projected;
    BarTube bar;
    const double axis[3] = {0.0, 0.0, 1.0};
    BuildBar(axis, bar);
    // As the view draws: from a buffer that holds the draw vertices, whose
    // copy in the projection then goes.
    DrawBuffers buffers;
    // The trial frames of each new situation first, as the view draws them
    // one after the other; the memory is the chosen path's.
    const auto draw = [&](const DisplaySettings& display) {
        do {
            DrawSurface(display, projected, bar, {}, &buffers);
            DropDrawCopyHeldBy(buffers, projected);
            glFinish();
        } while (buffers.lastFrameTrial);
    };

    GenerateMobius(mesh);
    ProjectMesh(mesh, IdentityOrientation(), projected);
    draw(opaque);
    draw(translucent);
    glFinish();
    double startNow;
    double startPeak;
    ResidentMB(startNow, startPeak);

    const int side = kSides[2];
    GenerateFourDBottle(side, side, kHoleRatio, mesh);
    ProjectMesh(mesh, TurnedOrientation(), projected);
    draw(opaque);
    const char* opaquePath = DrawPathName(buffers.lastPath);
    double opaqueNow;
    double opaquePeak;
    ResidentMB(opaqueNow, opaquePeak);
    draw(translucent);
    glFinish();
    double bigNow;
    double bigPeak;
    ResidentMB(bigNow, bigPeak);

    const std::size_t faces = mesh.FaceCount();
    std::printf("Memory (MB of 10^6 bytes), %d x %d bottle (%zu faces) less the start strip:\n",
                side, side, faces);
    // 10^6 faces: MB and bytes a face are the same number.
    std::printf("  resident after an opaque frame      %7.1f MB (peak so far %7.1f MB)\n",
                opaqueNow - startNow, opaquePeak - startPeak);
    std::printf("  (opaque on the %s path, translucent on the %s path)\n", opaquePath,
                DrawPathName(buffers.lastPath));
    std::printf("  resident after a translucent frame  %7.1f MB (peak so far %7.1f MB)\n",
                bigNow - startNow, bigPeak - startPeak);
    std::printf("  bytes per face: mesh x,y,z,w %.0f + faces %.0f; projX,Y,Z %.0f + faces %.0f "
                "+ normals %.0f + draw vertices left in the projection %.0f\n",
                4 * BytesPerFace(mesh.x, faces), BytesPerFace(mesh.faces, faces),
                3 * BytesPerFace(projected.projX, faces), BytesPerFace(projected.faces, faces),
                3 * BytesPerFace(projected.faceNormalX, faces),
                BytesPerFace(projected.drawVertices, faces));
    std::printf("  the buffer object holds %zu draw vertices of 24 bytes; each frame takes "
                "9 bytes a face for finding the triangles that show, translucent ones 4 for "
                "the order, and the radix words (16 bytes a face) stay between them\n\n",
                projected.drawVertexCount);
    buffers.Release();
    MemoryResult result;
    result.opaque = opaqueNow - startNow;
    result.translucent = bigNow - startNow;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    // The allocator setting the program makes at start (app/SurfaceApp.cpp),
    // so that the memory measured is the program's.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    OffscreenGL gl;
    if (!StartOffscreenView(gl, kWidth, kHeight)) {
        return 1;
    }
    std::printf("%s, %d x %d, %u hardware threads\n", gl.Description().c_str(), kWidth, kHeight,
                std::thread::hardware_concurrency());

    // --no_vtk leaves out the comparison with VTK (minutes at a million faces).
    bool compareWithVtk = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no_vtk") == 0) {
            compareWithVtk = false;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const MemoryResult memory = MeasureMemory();
    Register();
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, memory);
    if (compareWithVtk) {
        CompareWithVtk();
    }
    benchmark::Shutdown();
    return 0;
}
