#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "tests/gl/OffscreenGL.h"
#include "view/Picture.h"
#include "view/Projection.h"
#include "view/Renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <set>
#include <string>
#include <vector>

// Allocation failure on demand: while gFailAllocations is set, every
// throwing operator new in this process throws, so the renderer's fallback
// for its per-frame temporaries can be exercised. The whole unaligned family
// is replaced, so that whatever one of them allocates, the matching delete
// releases (the sanitizers check the pairing).
namespace {
std::atomic<bool> gFailAllocations{false};

void* Allocate(std::size_t size)
{
    if (gFailAllocations.load(std::memory_order_relaxed)) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}
// The compiler pairs free with malloc only; here it does pair with the
// malloc in the operators above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

struct WindowPoint {
    double x;
    double y;
};

struct Quadrilateral {
    double corners[4][3];
    double normal[3];
};

// A mesh of separate quads, each with its own four vertices.
// The same quads as a surface projected as the view projects it: draw
// arrays included, normals computed from the corners.
ProjectedMesh ProjectedOf(const std::vector<Quadrilateral>& quads)
{
    SurfaceMesh surface;
    for (const Quadrilateral& q : quads) {
        const auto base = static_cast<int32_t>(surface.x.size());
        for (const auto& c : q.corners) {
            surface.x.push_back(c[0]);
            surface.y.push_back(c[1]);
            surface.z.push_back(c[2]);
            surface.w.push_back(0.0);
        }
        surface.faces.push_back({base, base + 1, base + 2, base + 3});
    }
    ProjectedMesh mesh;
    ProjectMesh(surface, IdentityOrientation(), mesh);
    return mesh;
}

ProjectedMesh MeshOf(const std::vector<Quadrilateral>& quads)
{
    ProjectedMesh mesh;
    for (const Quadrilateral& q : quads) {
        const auto base = static_cast<int32_t>(mesh.projX.size());
        for (const auto& c : q.corners) {
            mesh.projX.push_back(c[0]);
            mesh.projY.push_back(c[1]);
            mesh.projZ.push_back(c[2]);
        }
        mesh.faces.push_back({base, base + 1, base + 2, base + 3});
        mesh.faceNormalX.push_back(q.normal[0]);
        mesh.faceNormalY.push_back(q.normal[1]);
        mesh.faceNormalZ.push_back(q.normal[2]);
    }
    return mesh;
}

// Axis-aligned rectangle in the plane at depth z, counter-clockwise as seen
// from +z (front facing under the identity modelview).
Quadrilateral Rect(double x0, double x1, double y0, double y1, double z,
                   std::array<double, 3> normal = {0.0, 0.0, 1.0})
{
    return {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}},
            {normal[0], normal[1], normal[2]}};
}

std::string Describe(const Rgba& p)
{
    return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) +
           ", " + std::to_string(p.a) + ")";
}

bool NearRgb(const Rgba& p, const double expected[3], double tolerance)
{
    return std::abs(p.r - expected[0]) <= tolerance && std::abs(p.g - expected[1]) <= tolerance &&
           std::abs(p.b - expected[2]) <= tolerance;
}

// What a translucent layer leaves over what lay under it: src + under / 2,
// where src is the layer's own contribution (its pixel over black).
void OverBlack(const Rgba& layerOverBlack, const Rgba& under, double out[3])
{
    out[0] = layerOverBlack.r + 0.5 * under.r;
    out[1] = layerOverBlack.g + 0.5 * under.g;
    out[2] = layerOverBlack.b + 0.5 * under.b;
}

// The fixed-function lighting equation for the lights this program sets up,
// evaluated independently of OpenGL: a front-facing surface with unit normal
// n under the identity modelview, non-local viewer, no attenuation.
void ExpectedLitColour(const float diffuse[4], const double n[3], double out[3])
{
    const double positions[3][3] = {{1.09f, 1.0f, 1.0f}, {1.0f, 1.09f, 1.0f}, {1.0f, 1.0f, 1.09f}};
    const double colours[3][3] = {{0.5, 0.0, 0.0}, {0.5, 0.5, 0.0}, {0.0, 0.5, 1.0}};
    const double modelAmbient = 0.2;  // OpenGL's default light-model ambient
    const double specular = 1.0;
    const double shininess = 64.0;
    for (int c = 0; c < 3; ++c) {
        out[c] = modelAmbient * diffuse[c];
    }
    for (int i = 0; i < 3; ++i) {
        const double* p = positions[i];
        const double lengthL = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        const double l[3] = {p[0] / lengthL, p[1] / lengthL, p[2] / lengthL};
        const double h0[3] = {l[0], l[1], l[2] + 1.0};
        const double lengthH = std::sqrt(h0[0] * h0[0] + h0[1] * h0[1] + h0[2] * h0[2]);
        const double nDotL = n[0] * l[0] + n[1] * l[1] + n[2] * l[2];
        const double nDotH = (n[0] * h0[0] + n[1] * h0[1] + n[2] * h0[2]) / lengthH;
        if (nDotL <= 0.0) {
            continue;
        }
        const double highlight = nDotH > 0.0 ? std::pow(nDotH, shininess) : 0.0;
        for (int c = 0; c < 3; ++c) {
            out[c] += nDotL * colours[i][c] * diffuse[c] + highlight * colours[i][c] * specular;
        }
    }
    for (int c = 0; c < 3; ++c) {
        out[c] = std::min(1.0, out[c]) * 255.0;
    }
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl_.Create(kWidth, kHeight))
            << "no offscreen OpenGL context: " << gl_.Error();
        InitGL();
        ASSERT_TRUE(ApplyOrthoProjection(kWidth, kHeight));
    }

    // The scene every run starts with: the Moebius strip under the identity
    // orientation, the bar along z, the camera at (0, -6, 6).
    void LoadStartScene()
    {
        const double eye[3] = {0.0, -6.0, 6.0};
        const double centre[3] = {0.0, 0.0, 0.0};
        LookAt(eye, centre);
        SurfaceMesh surface;
        GenerateMobius(surface);
        ProjectMesh(surface, IdentityOrientation(), mesh_);
        BuildBar(barAxis_, bar_);
    }

    // Identity modelview and hand-made geometry.
    void LoadFlatScene()
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    Image Render(const DisplaySettings& display)
    {
        return Render(display, mesh_);
    }

    Image Render(const DisplaySettings& display, const ProjectedMesh& mesh,
                 const AidDrawing& aids = {})
    {
        Draw(display, mesh, aids);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return gl_.ReadPixels();
    }

    // Meshes made by hand carry normals of their own choosing and no draw
    // arrays, which only ProjectMesh makes: the reference drawing draws
    // them (fast_path_test holds DrawSurface equal to it).
    void Draw(const DisplaySettings& display, const ProjectedMesh& mesh,
              const AidDrawing& aids = {})
    {
        if (mesh.drawRevision != 0) {
            DrawSurface(display, mesh, bar_, aids);
        } else {
            DrawSurfaceImmediate(display, mesh, bar_, aids);
        }
    }

    // Window coordinates of a model point under the current matrices.
    WindowPoint Project(const double p[3]) const
    {
        double mv[16];
        double pr[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, viewport);
        double eye[4];
        for (int r = 0; r < 4; ++r) {
            eye[r] = mv[r] * p[0] + mv[4 + r] * p[1] + mv[8 + r] * p[2] + mv[12 + r];
        }
        double clip[4];
        for (int r = 0; r < 4; ++r) {
            clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
        }
        return {viewport[0] + (clip[0] / clip[3] + 1.0) * 0.5 * viewport[2],
                viewport[1] + (clip[1] / clip[3] + 1.0) * 0.5 * viewport[3]};
    }

    WindowPoint BarStart() const
    {
        const double origin[3] = {0.0, 0.0, 0.0};
        return Project(origin);
    }
    WindowPoint BarEnd() const
    {
        const double end[3] = {10.0 * barAxis_[0], 10.0 * barAxis_[1], 10.0 * barAxis_[2]};
        return Project(end);
    }

    static double DistanceToSegment(WindowPoint p, WindowPoint a, WindowPoint b)
    {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double lengthSquared = dx * dx + dy * dy;
        double t = lengthSquared > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
    }

    // Whether pixel (x, y) lies where the bar tube projects, found from the
    // tube's own vertices: within their largest distance from the axis.
    bool InBarShadow(int x, int y) const
    {
        if (barHalfWidth_ < 0.0) {
            const WindowPoint a = BarStart();
            const WindowPoint b = BarEnd();
            for (std::size_t i = 0; i < bar_.barX.size(); ++i) {
                const double v[3] = {bar_.barX[i], bar_.barY[i], bar_.barZ[i]};
                barHalfWidth_ = std::max(barHalfWidth_, DistanceToSegment(Project(v), a, b));
            }
            barStartCache_ = a;
            barEndCache_ = b;
        }
        const WindowPoint centre = {x + 0.5, y + 0.5};
        return DistanceToSegment(centre, barStartCache_, barEndCache_) <= barHalfWidth_ + 1.5;
    }

    static int Column(double x) { return static_cast<int>(std::floor((x + 1.0) * 0.5 * kWidth)); }
    static int Row(double y)
    {
        const double r = static_cast<double>(kHeight) / kWidth;
        return static_cast<int>(std::floor((y / r + 1.0) * 0.5 * kHeight));
    }

    OffscreenGL gl_;
    ProjectedMesh mesh_;
    BarTube bar_;
    double barAxis_[3] = {0.0, 0.0, 1.0};
    mutable double barHalfWidth_ = -1.0;
    mutable WindowPoint barStartCache_{};
    mutable WindowPoint barEndCache_{};
};

TEST_F(RendererTest, StartSceneShowsALitRedStripOnBlack)
{
    LoadStartScene();
    const Image image = Render(DisplaySettings{});

    EXPECT_EQ(image.At(2, 2), Rgba{}) << "background must be the clear colour (0, 0, 0, 0)";
    EXPECT_EQ(image.At(kWidth - 3, kHeight - 3), Rgba{});

    const std::size_t red = CountClass(image, ColourClass::Red);
    EXPECT_GT(red, static_cast<std::size_t>(kWidth * kHeight / 50));
    EXPECT_EQ(CountClass(image, ColourClass::Blue), 0u);

    // Flat faces at many angles to the lights: many shades, not one flat fill.
    std::set<int> shades;
    std::size_t strayColours = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba p = image.At(x, y);
            const ColourClass c = Classify(p);
            if (c == ColourClass::Red) {
                shades.insert(p.r);
            } else if (c != ColourClass::Black && !InBarShadow(x, y)) {
                ++strayColours;
            }
        }
    }
    EXPECT_GT(shades.size(), 40u);
    EXPECT_EQ(strayColours, 0u) << "only the bar may be other than red or black";
}

TEST_F(RendererTest, BarIsDrawnWhereItProjectsAndHiddenByNoBars)
{
    LoadStartScene();
    DisplaySettings withBar;
    DisplaySettings withoutBar;
    withoutBar.noBars = 1;
    const Image barImage = Render(withBar);
    const Image plainImage = Render(withoutBar);

    std::size_t changedInside = 0;
    std::size_t changedOutside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (barImage.At(x, y) != plainImage.At(x, y)) {
                ++(InBarShadow(x, y) ? changedInside : changedOutside);
            }
        }
    }
    EXPECT_EQ(changedOutside, 0u) << "the bar changed pixels away from where it projects";
    EXPECT_GT(changedInside, 300u);

    EXPECT_EQ(CountClass(plainImage, ColourClass::Grey), 0u);
    EXPECT_EQ(CountClass(plainImage, ColourClass::Other), 0u);

    // Along the bar's axis, wherever the strip leaves the background free, the
    // bar shows in grey.
    const WindowPoint a = BarStart();
    const WindowPoint b = BarEnd();
    int freeSamples = 0;
    for (int i = 0; i <= 200; ++i) {
        const double t = i / 200.0;
        const int x = static_cast<int>(std::floor(a.x + t * (b.x - a.x)));
        const int y = static_cast<int>(std::floor(a.y + t * (b.y - a.y)));
        if (!barImage.Contains(x, y) || Classify(plainImage.At(x, y)) != ColourClass::Black) {
            continue;
        }
        ++freeSamples;
        EXPECT_EQ(Classify(barImage.At(x, y)), ColourClass::Grey)
            << "at (" << x << ", " << y << "): " << Describe(barImage.At(x, y));
    }
    EXPECT_GT(freeSamples, 40);
}

TEST_F(RendererTest, WhiteBackgroundChangesOnlyTheClearColour)
{
    LoadStartScene();
    // Opaque, so that the figure's pixels do not depend on what lies behind.
    DisplaySettings black;
    DisplaySettings white;
    white.whiteBackground = 1;
    const Image blackImage = Render(black);
    const Image whiteImage = Render(white);

    std::size_t background = 0;
    std::size_t figure = 0;
    std::size_t mismatches = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba onBlack = blackImage.At(x, y);
            const Rgba onWhite = whiteImage.At(x, y);
            // Everything drawn carries the material's alpha; only the cleared
            // background has alpha 0.
            if (onBlack.a == 0) {
                ++background;
                mismatches += onBlack != Rgba{} || onWhite != Rgba{255, 255, 255, 0};
            } else {
                ++figure;
                mismatches += onBlack != onWhite;
            }
        }
    }
    EXPECT_GT(background, 0u);
    EXPECT_GT(figure, 1000u);
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(RendererTest, ColourTableAndLightsFollowTheLightingEquation)
{
    LoadFlatScene();
    struct Case {
        int32_t index;
        float diffuse[4];
    };
    const Case cases[] = {
        {0, {1.0f, 0.0f, 0.0f, 0.5f}},     {1, {1.0f, 0.75f, 0.0f, 0.5f}},
        {2, {0.0f, 0.5f, 0.2f, 0.5f}},     {3, {0.46f, 0.48f, 0.5f, 0.5f}},
        {4, {0.5f, 0.7f, 1.0f, 0.5f}},     {5, {0.9f, 0.875f, 0.85f, 0.5f}},
        {6, {0.1f, 0.11f, 0.105f, 0.5f}},  {7, {0.0f, 0.0f, 0.0f, 0.5f}},
        {-1, {0.0f, 0.0f, 0.0f, 0.5f}},    {std::numeric_limits<int32_t>::min(), {0, 0, 0, 0.5f}},
    };
    // Facing the viewer, tilted, and along the blue light's half vector, where
    // its highlight is brightest.
    const double h[3] = {0.56, 0.56, 1.6105};
    const double hLength = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
    const double normals[3][3] = {
        {0.0, 0.0, 1.0}, {0.6, 0.0, 0.8}, {h[0] / hLength, h[1] / hLength, h[2] / hLength}};

    for (const Case& c : cases) {
        for (const auto& n : normals) {
            SCOPED_TRACE("colour index " + std::to_string(c.index) + ", normal (" +
                         std::to_string(n[0]) + ", " + std::to_string(n[1]) + ", " +
                         std::to_string(n[2]) + ")");
            DisplaySettings display;
            display.colorIndex = c.index;
            display.noBars = 1;
            const Image image =
                Render(display, MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.0, {n[0], n[1], n[2]})}));
            const Rgba p = image.At(kWidth / 2, kHeight / 2);
            double expected[3];
            ExpectedLitColour(c.diffuse, n, expected);
            EXPECT_TRUE(NearRgb(p, expected, 2.0))
                << Describe(p) << " expected about (" << expected[0] << ", " << expected[1]
                << ", " << expected[2] << ")";
            EXPECT_NEAR(p.a, 127.5, 1.0) << "surface alpha";
        }
    }

    // Outside the table the surface is black apart from highlights.
    DisplaySettings unknown;
    unknown.colorIndex = 7;
    unknown.noBars = 1;
    const Rgba dark = Render(unknown, MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.0)}))
                          .At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(Classify(dark), ColourClass::Black) << Describe(dark);
}

TEST_F(RendererTest, BothSidesAreLitAndScaledNormalsAreRenormalised)
{
    LoadFlatScene();
    DisplaySettings display;
    display.noBars = 1;
    const Rgba front = Render(display, MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.0)}))
                           .At(kWidth / 2, kHeight / 2);

    // Clockwise as seen by the viewer, so the back side shows; its normal
    // points away, and two-sided lighting turns it round.
    Quadrilateral back = Rect(-0.5, 0.5, -0.5, 0.5, 0.0, {0.0, 0.0, -1.0});
    std::swap(back.corners[1], back.corners[3]);
    const Rgba backSide = Render(display, MeshOf({back})).At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(backSide, front);

    // The camera shrinks the model; lighting must not shrink with it.
    glScaled(0.1, 0.1, 0.1);
    const Rgba scaled = Render(display, MeshOf({Rect(-5.0, 5.0, -5.0, 5.0, 0.0)}))
                            .At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(scaled, front);
}

// The back colour: a front-facing and a back-facing quad side by side, each
// lit head-on. Only the back-facing one changes, to the red's partner; a
// colour of the face's own takes the place of both.
TEST_F(RendererTest, BackColourShowsOnBackFacingPixelsOnly)
{
    LoadFlatScene();
    DisplaySettings display;
    display.noBars = 1;
    Quadrilateral back = Rect(0.1, 0.6, -0.3, 0.3, 0.0, {0.0, 0.0, -1.0});
    std::swap(back.corners[1], back.corners[3]);
    const ProjectedMesh mesh = MeshOf({Rect(-0.6, -0.1, -0.3, 0.3, 0.0), back});
    const int frontX = Column(-0.35);
    const int backX = Column(0.35);
    const int y = kHeight / 2;
    const Image plain = Render(display, mesh);

    AidDrawing aids;
    aids.backColour = true;
    const Image image = Render(display, mesh, aids);
    const double n[3] = {0.0, 0.0, 1.0};
    const float skyBlue[4] = {0.337f, 0.706f, 0.914f, 0.5f};
    double expected[3];
    ExpectedLitColour(skyBlue, n, expected);
    EXPECT_EQ(image.At(frontX, y), plain.At(frontX, y));
    EXPECT_NE(image.At(backX, y), plain.At(backX, y));
    EXPECT_TRUE(NearRgb(image.At(backX, y), expected, 2.0)) << Describe(image.At(backX, y));
    EXPECT_EQ(image.At(2, 2), Rgba{});

    FaceColours colours;
    const float green[4] = {0.0f, 0.5f, 0.2f, 0.5f};
    for (int face = 0; face < 2; ++face) {
        colours.perFace.insert(colours.perFace.end(), green, green + 4);
    }
    aids.faceColours = &colours;
    const Image own = Render(display, mesh, aids);
    ExpectedLitColour(green, n, expected);
    for (const int x : {frontX, backX}) {
        EXPECT_TRUE(NearRgb(own.At(x, y), expected, 2.0)) << Describe(own.At(x, y));
    }
    // Without the aids the next frame is the plain one again.
    EXPECT_TRUE(Render(display, mesh).rgba == plain.rgba);
}

TEST_F(RendererTest, TranslucentFacesBlendBackToFrontUnderTheCurrentModelview)
{
    LoadFlatScene();
    // Two overlapping quads, one nearer the viewer, lit differently. They
    // overlap for -0.2 < x < 0.2.
    const Quadrilateral nearQuad = Rect(-0.6, 0.2, -0.3, 0.3, 0.5, {0.0, 0.0, 1.0});
    const Quadrilateral farQuad = Rect(-0.2, 0.6, -0.3, 0.3, -0.5, {0.6, 0.0, 0.8});
    const int row = Row(0.0);
    const int nearColumn = Column(-0.4);
    const int farColumn = Column(0.4);
    const int bothColumn = Column(0.0);

    DisplaySettings display;
    display.translucent = 1;
    display.noBars = 1;

    for (bool nearStoredFirst : {true, false}) {
        SCOPED_TRACE(nearStoredFirst ? "near face stored first" : "far face stored first");
        const ProjectedMesh mesh =
            nearStoredFirst ? MeshOf({nearQuad, farQuad}) : MeshOf({farQuad, nearQuad});

        LoadFlatScene();
        Image image = Render(display, mesh);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        Rgba nearOnly = image.At(nearColumn, row);
        Rgba farOnly = image.At(farColumn, row);
        double expected[3];
        OverBlack(nearOnly, farOnly, expected);
        EXPECT_TRUE(NearRgb(image.At(bothColumn, row), expected, 2.0))
            << Describe(image.At(bothColumn, row)) << " is not the near face over the far one";
        ASSERT_GT(farOnly.r, 40) << "the far face must contribute visibly for this check";

        // Half a turn about the x axis puts the other quad in front. The
        // order is taken from the modelview at the time of drawing.
        glRotated(180.0, 1.0, 0.0, 0.0);
        image = Render(display, mesh);
        nearOnly = image.At(farColumn, row);  // the quad at z = -0.5, now in front
        farOnly = image.At(nearColumn, row);
        OverBlack(nearOnly, farOnly, expected);
        EXPECT_TRUE(NearRgb(image.At(bothColumn, row), expected, 2.0))
            << Describe(image.At(bothColumn, row)) << " after the turn";
    }

    // Opaque drawing switches blending off again and is unaffected by order.
    LoadFlatScene();
    display.translucent = 0;
    const Image opaque = Render(display, MeshOf({farQuad, nearQuad}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(opaque.At(bothColumn, row), opaque.At(nearColumn, row));
}

TEST_F(RendererTest, TranslucentDrawingFallsBackToStoredOrderWithoutMemory)
{
    LoadFlatScene();
    const Quadrilateral nearQuad = Rect(-0.6, 0.2, -0.3, 0.3, 0.5, {0.0, 0.0, 1.0});
    const Quadrilateral farQuad = Rect(-0.2, 0.6, -0.3, 0.3, -0.5, {0.6, 0.0, 0.8});
    // Near face first: drawn unsorted, it hides the far one by depth.
    const ProjectedMesh mesh = ProjectedOf({nearQuad, farQuad});
    DisplaySettings display;
    display.translucent = 1;
    display.noBars = 1;
    const int row = Row(0.0);

    // Once with memory, which also lets the driver build everything it needs
    // for this state before allocations start to fail.
    const Image sorted = Render(display, mesh);
    ASSERT_NE(sorted.At(Column(0.0), row), sorted.At(Column(-0.4), row));

    gFailAllocations = true;
    bool threw = false;
    try {
        DrawSurface(display, mesh, bar_);
    } catch (...) {
        threw = true;
    }
    gFailAllocations = false;
    EXPECT_FALSE(threw);
    const Image unsorted = gl_.ReadPixels();
    EXPECT_EQ(unsorted.At(Column(0.0), row), unsorted.At(Column(-0.4), row))
        << "stored order: the near face was drawn first and hides the far one";
    EXPECT_EQ(unsorted.At(Column(0.4), row), sorted.At(Column(0.4), row));
    EXPECT_EQ(unsorted.At(Column(-0.4), row), sorted.At(Column(-0.4), row));
}

TEST_F(RendererTest, TranslucentBarBlendsOverFacesBehindAndIsHiddenByFacesInFront)
{
    LoadFlatScene();
    barAxis_[0] = 0.0;
    barAxis_[1] = 0.06;  // a tube from the origin up to y = 0.6, radius 0.2
    barAxis_[2] = 0.0;
    BuildBar(barAxis_, bar_);
    const ProjectedMesh mesh = MeshOf({Rect(-0.8, 0.8, 0.1, 0.25, -0.5),    // behind the bar
                                       Rect(-0.8, 0.8, 0.35, 0.5, 0.5)});  // in front of it
    const int barColumn = Column(0.0);
    const int sideColumn = Column(0.5);
    const int behindRow = Row(0.175);
    const int frontRow = Row(0.425);
    const int barOnlyRow = Row(0.3);

    DisplaySettings display;
    display.translucent = 1;
    const Image image = Render(display, mesh);
    const Rgba barOnly = image.At(barColumn, barOnlyRow);
    const Rgba behindOnly = image.At(sideColumn, behindRow);
    const Rgba frontOnly = image.At(sideColumn, frontRow);
    ASSERT_EQ(Classify(barOnly), ColourClass::Grey) << Describe(barOnly);

    double mix[3];
    OverBlack(barOnly, behindOnly, mix);
    const Rgba barOverFace = image.At(barColumn, behindRow);
    EXPECT_TRUE(NearRgb(barOverFace, mix, 2.0))
        << Describe(barOverFace) << " should mix the bar " << Describe(barOnly)
        << " with the face behind it " << Describe(behindOnly);
    EXPECT_EQ(image.At(barColumn, frontRow), frontOnly)
        << "a translucent face in front hides the bar drawn after it";

    // Opaque: the bar simply covers the face behind it.
    display.translucent = 0;
    const Image opaque = Render(display, mesh);
    EXPECT_EQ(opaque.At(barColumn, behindRow), opaque.At(barColumn, barOnlyRow));
    EXPECT_EQ(opaque.At(barColumn, frontRow), opaque.At(sideColumn, frontRow));
}

TEST_F(RendererTest, EmptyMeshDrawsOnlyTheBar)
{
    LoadStartScene();
    const ProjectedMesh empty;
    for (int translucent : {0, 1}) {
        SCOPED_TRACE(translucent);
        DisplaySettings display;
        display.translucent = translucent;
        const Image image = Render(display, empty);
        std::size_t barPixels = 0;
        std::size_t strayPixels = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (image.At(x, y) != Rgba{}) {
                    ++(InBarShadow(x, y) ? barPixels : strayPixels);
                }
            }
        }
        EXPECT_GT(barPixels, 500u);
        EXPECT_EQ(strayPixels, 0u);

        display.noBars = 1;
        const Image nothing = Render(display, empty);
        EXPECT_EQ(nothing.CountIf([](const Rgba& p) { return p != Rgba{}; }), 0u);
    }
}

TEST_F(RendererTest, FacesReferringBeyondTheArraysAreSkipped)
{
    LoadFlatScene();
    const ProjectedMesh valid = MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.0)});
    const Quadrilateral cover = Rect(-0.9, 0.9, -0.7, 0.7, 0.0);
    std::vector<Quadrilateral> quads(6, cover);
    quads[0] = Rect(-0.5, 0.5, -0.5, 0.5, 0.0);
    for (std::size_t k = 1; k < quads.size(); ++k) {
        for (auto& corner : quads[k].corners) {
            corner[2] = 0.1 * static_cast<double>(k);  // each in front of the valid face
        }
    }
    ProjectedMesh broken = MeshOf(quads);
    const int32_t n = static_cast<int32_t>(broken.projX.size());
    broken.projX.push_back(0.9);  // vertex n has no z
    broken.projY.push_back(0.9);
    broken.faces[1].i2 = n + 1;                                // beyond every array
    broken.faces[2].i0 = -4;                                   // negative
    broken.faces[3].i3 = std::numeric_limits<int32_t>::max();  // far beyond
    broken.faces[4].i1 = n;                                    // the incomplete vertex
    broken.faceNormalX.pop_back();                             // face 5 has no normal

    BarTube brokenBar;
    const double axis[3] = {0.0, 0.05, 0.0};
    BuildBar(axis, brokenBar);
    BarTube intactPart = brokenBar;
    brokenBar.barFaces[0].i1 = 60;
    brokenBar.barFaces[1].i0 = -1;
    brokenBar.barFaces.push_back({0, 1, 31, 30});  // no normal for it
    intactPart.barFaces.erase(intactPart.barFaces.begin(), intactPart.barFaces.begin() + 2);
    intactPart.barNormalX.erase(intactPart.barNormalX.begin(), intactPart.barNormalX.begin() + 2);
    intactPart.barNormalY.erase(intactPart.barNormalY.begin(), intactPart.barNormalY.begin() + 2);
    intactPart.barNormalZ.erase(intactPart.barNormalZ.begin(), intactPart.barNormalZ.begin() + 2);

    for (int translucent : {0, 1}) {
        SCOPED_TRACE(translucent);
        DisplaySettings display;
        display.translucent = translucent;
        bar_ = intactPart;
        const Image expected = Render(display, valid);
        bar_ = brokenBar;
        const Image actual = Render(display, broken);
        EXPECT_TRUE(actual.rgba == expected.rgba)
            << "faces with bad indices or missing normals must leave no trace";
    }
}

TEST_F(RendererTest, OrthographicProjectionFollowsTheAspectRatio)
{
    struct Case {
        int width;
        int height;
        double verticalExtent;
    };
    for (const Case& c : {Case{800, 400, 0.5}, Case{400, 800, 2.0}, Case{300, 300, 1.0}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        glMatrixMode(GL_MODELVIEW);
        EXPECT_TRUE(ApplyOrthoProjection(c.width, c.height));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_PROJECTION);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.height);

        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        // The corners of the visible box, mapped to -1 ... 1.
        EXPECT_NEAR(m[0] * 1.0 + m[12], 1.0, 1e-6) << "x = 1 is the right edge";
        EXPECT_NEAR(m[0] * -1.0 + m[12], -1.0, 1e-6) << "x = -1 is the left edge";
        EXPECT_NEAR(m[5] * c.verticalExtent + m[13], 1.0, 1e-6) << "top edge";
        EXPECT_NEAR(m[5] * -c.verticalExtent + m[13], -1.0, 1e-6) << "bottom edge";
        EXPECT_NEAR(m[10] * -10.0 + m[14], 1.0, 1e-6) << "far plane at eye z = -10";
        EXPECT_NEAR(m[10] * 10.0 + m[14], -1.0, 1e-6) << "near plane at eye z = 10";
    }

    // A minimised window has no aspect ratio: nothing may change.
    ASSERT_TRUE(ApplyOrthoProjection(800, 400));
    double before[16];
    glGetDoublev(GL_PROJECTION_MATRIX, before);
    glMatrixMode(GL_MODELVIEW);
    for (const auto& size : {std::pair<int, int>{0, 300}, {300, 0}, {0, 0}, {-5, 100}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        EXPECT_FALSE(ApplyOrthoProjection(size.first, size.second));
        double after[16];
        glGetDoublev(GL_PROJECTION_MATRIX, after);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(after[i], before[i]) << "element " << i;
        }
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 800);
        EXPECT_EQ(viewport[3], 400);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(RendererTest, LookAtReplacesTheModelviewWithTheCamera)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslated(3.0, 4.0, 5.0);
    glRotated(33.0, 1.0, 2.0, 3.0);
    glMatrixMode(GL_PROJECTION);

    const double eye[3] = {0.0, -6.0, 6.0};
    const double centre[3] = {0.0, 0.0, 0.0};
    LookAt(eye, centre);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    const auto apply = [&m](const double p[3], double out[3]) {
        for (int r = 0; r < 3; ++r) {
            out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
        }
    };
    const double g = 6.0 * std::sqrt(2.0);
    const double points[4][3] = {{0, -6, 6}, {0, 0, 0}, {1, 0, 0}, {0, 1, 1}};
    const double images[4][3] = {{0, 0, 1}, {0, 0, 0}, {1 / g, 0, 0}, {0, std::sqrt(2.0) / g, 0}};
    for (int k = 0; k < 4; ++k) {
        double out[3];
        apply(points[k], out);
        for (int r = 0; r < 3; ++r) {
            EXPECT_NEAR(out[r], images[k][r], 1e-6) << "point " << k << " component " << r;
        }
    }
}

TEST_F(RendererTest, InitGLSetsTheFixedState)
{
    for (GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2,
                              GL_NORMALIZE}) {
        EXPECT_TRUE(glIsEnabled(capability)) << "capability 0x" << std::hex << capability;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    GLfloat twoSided = 0.0f;
    glGetFloatv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
    EXPECT_EQ(twoSided, 1.0f);

    // A face drawn behind another must stay hidden in opaque mode.
    LoadFlatScene();
    DisplaySettings display;
    display.noBars = 1;
    const Image image =
        Render(display, MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.5),
                                Rect(-0.5, 0.5, -0.5, 0.5, -0.5, {0.6, 0.0, 0.8})}));
    const Image single = Render(display, MeshOf({Rect(-0.5, 0.5, -0.5, 0.5, 0.5)}));
    EXPECT_EQ(image.At(kWidth / 2, kHeight / 2), single.At(kWidth / 2, kHeight / 2));

    // DrawSurface leaves the modelview selected, whatever was selected before.
    glMatrixMode(GL_PROJECTION);
    DrawSurface(display, ProjectedMesh{}, bar_);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace

TEST_F(RendererTest, OffscreenPictureIsDrawnTopRowFirstAndRefusedBeyondTheLargestSize)
{
    const int largest = LargestOffscreenSize();
    ASSERT_GT(largest, 1000);
    bool drawn = false;
    const PictureResult refused =
        RenderOffscreenPicture(largest + 1, 8, 24, [&drawn] { drawn = true; });
    EXPECT_FALSE(drawn);
    EXPECT_NE(refused.error.find(std::to_string(largest)), std::string::npos) << refused.error;

    // White above, black below: the first row read must be the white one.
    GLint before = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &before);
    const PictureResult picture = RenderOffscreenPicture(64, 48, 24, [] {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 24, 64, 24);
        glClearColor(1, 1, 1, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    });
    ASSERT_TRUE(picture.Ok()) << picture.error;
    ASSERT_EQ(picture.rgb.size(), 64u * 48u * 3u);
    EXPECT_EQ(picture.rgb.front(), 255);
    EXPECT_EQ(picture.rgb.back(), 0);
    GLint after = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &after);
    EXPECT_EQ(after, before) << "the context's own framebuffer is bound again";
}
