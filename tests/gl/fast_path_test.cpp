// The surface drawn from the prebuilt vertex arrays must give exactly the
// pixels of the one-face-at-a-time drawing, in every mode the colour dialog
// offers and after the turns the mouse makes.

#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "surfaces/SideReversingLoop.h"
#include "view/FourDColours.h"
#include "view/MarkerTrack.h"
#include "tests/gl/OffscreenGL.h"
#include "view/Projection.h"
#include "view/Renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

// Where the first differing pixel lies, for the failure message.
std::string FirstDifference(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size()) {
        return "images of different sizes";
    }
    std::size_t differing = 0;
    std::size_t first = a.rgba.size();
    for (std::size_t i = 0; i < a.rgba.size(); ++i) {
        if (a.rgba[i] != b.rgba[i]) {
            ++differing;
            first = std::min(first, i);
        }
    }
    if (differing == 0) {
        return "identical";
    }
    const std::size_t pixel = first / 4;
    return std::to_string(differing) + " bytes differ, first at pixel (" +
           std::to_string(pixel % static_cast<std::size_t>(a.width)) + ", " +
           std::to_string(pixel / static_cast<std::size_t>(a.width)) + ")";
}

// Counts of pixels that are not the background, so a scene that draws
// nothing cannot pass by accident.
std::size_t Covered(const Image& image, bool whiteBackground)
{
    const Rgba background =
        whiteBackground ? Rgba{255, 255, 255, 0} : Rgba{0, 0, 0, 0};
    return image.CountIf([&](const Rgba& p) {
        return p.r != background.r || p.g != background.g || p.b != background.b;
    });
}

class FastPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl_.Create(kWidth, kHeight))
            << "no offscreen OpenGL context: " << gl_.Error();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        InitGL();
        ASSERT_TRUE(ApplyOrthoProjection(kWidth, kHeight));
        const double eye[3] = {0.0, -6.0, 6.0};
        const double centre[3] = {0.0, 0.0, 0.0};
        LookAt(eye, centre);
        BuildBar(barAxis_, bar_);
    }

    // A mouse turn in three dimensions: what a left drag leaves in the
    // modelview.
    static void TurnModelview(double degrees, double x, double y, double z)
    {
        double previous[16];
        glMatrixMode(GL_MODELVIEW);
        glGetDoublev(GL_MODELVIEW_MATRIX, previous);
        glLoadIdentity();
        glRotated(degrees, x, y, z);
        glMultMatrixd(previous);
    }

    // Both drawings of the same frame; fails the test unless they are equal
    // byte for byte and the frame shows the surface.
    void ExpectSameFrame(const DisplaySettings& display, const ProjectedMesh& mesh,
                         const std::string& what, const AidDrawing& aids = {})
    {
        SCOPED_TRACE(what + " translucent=" + std::to_string(display.translucent) +
                     " white=" + std::to_string(display.whiteBackground) +
                     " noBars=" + std::to_string(display.noBars) +
                     " colour=" + std::to_string(display.colorIndex));
        DrawSurfaceImmediate(display, mesh, bar_, aids);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const Image reference = gl_.ReadPixels();
        DrawSurface(display, mesh, bar_, aids);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const Image fast = gl_.ReadPixels();
        EXPECT_GT(Covered(reference, display.whiteBackground != 0), 1000u);
        EXPECT_TRUE(fast.rgba == reference.rgba) << FirstDifference(fast, reference);
    }

    void ExpectSameFramesInEveryMode(const ProjectedMesh& mesh, const std::string& what)
    {
        ASSERT_TRUE(mesh.drawArraysCurrent);
        int colour = 0;
        for (int translucent : {0, 1}) {
            for (int white : {0, 1}) {
                for (int noBars : {0, 1}) {
                    DisplaySettings display;
                    display.translucent = translucent;
                    display.whiteBackground = white;
                    display.noBars = noBars;
                    display.colorIndex = colour++ % 7;
                    ExpectSameFrame(display, mesh, what);
                }
            }
        }
    }

    OffscreenGL gl_;
    BarTube bar_;
    double barAxis_[3] = {0.0, 0.0, 1.0};
};

TEST_F(FastPathTest, EverySurfaceKindMatchesTheImmediateDrawingInEveryMode)
{
    struct Kind {
        const char* name;
        SurfaceMesh mesh;
    };
    std::vector<Kind> kinds(4);
    kinds[0].name = "Moebius strip";
    GenerateMobius(kinds[0].mesh);
    kinds[1].name = "bottle";
    GenerateBottle(kinds[1].mesh);
    kinds[2].name = "4D bottle 100x100";
    ASSERT_TRUE(GenerateFourDBottle(100, 100, 0.333, kinds[2].mesh));
    // Large enough for the projection to take two threads.
    kinds[3].name = "4D bottle 300x250";
    ASSERT_TRUE(GenerateFourDBottle(300, 250, 0.5, kinds[3].mesh));

    // A four-dimensional turn as a Shift drag leaves it.
    Orientation4D turned = IdentityOrientation();
    const Orientation4D xw = Rxw(0.7);
    const Orientation4D zw = Rzw(-0.4);
    MultiplyMatrix4(xw.data(), turned.data());
    MultiplyMatrix4(zw.data(), turned.data());

    for (Kind& kind : kinds) {
        ProjectedMesh mesh;
        ProjectMesh(kind.mesh, IdentityOrientation(), mesh);
        ExpectSameFramesInEveryMode(mesh, std::string(kind.name) + ", start");
        ProjectMesh(kind.mesh, turned, mesh);
        TurnModelview(35.0, 0.3, 1.0, 0.2);
        ExpectSameFramesInEveryMode(mesh, std::string(kind.name) + ", after 4D and 3D turns");
    }
}

// The same with the visual aids on: back colour, w colours (over the back
// colour) and the marker, opaque and translucent.
TEST_F(FastPathTest, VisualAidsMatchTheImmediateDrawing)
{
    SurfaceMesh surface;
    ASSERT_TRUE(GenerateFourDBottle(60, 40, 0.333, surface));
    ResolutionSettings settings;
    settings.surfaceKind = kFourDBottle;
    settings.thetaCount = 60;
    settings.phiCount = 40;
    Orientation4D turned = IdentityOrientation();
    const Orientation4D zw = Rzw(0.8);
    MultiplyMatrix4(zw.data(), turned.data());
    ProjectedMesh mesh;
    ProjectMesh(surface, turned, mesh);
    TurnModelview(-25.0, 1.0, 0.2, 0.0);

    FaceColours colours;
    ComputeFourDColours(surface, turned, mesh, colours);
    MarkerTrack track;
    track.Build(FindSideReversingLoop(settings, surface), mesh);
    MarkerShape marker;
    BuildMarkerShape(track.FrameAt(0.3), 2.0, 0.1, marker);

    AidDrawing back;
    back.backColour = true;
    AidDrawing all = back;
    all.faceColours = &colours;
    all.marker = &marker;
    for (const int translucent : {0, 1}) {
        DisplaySettings display;
        display.translucent = translucent;
        display.colorIndex = 4;
        ExpectSameFrame(display, mesh, "back colour", back);
        ExpectSameFrame(display, mesh, "w colours and marker", all);
    }
}

TEST_F(FastPathTest, HandMadeMeshWithBadFacesMatchesOnceItsArraysAreBuilt)
{
    SurfaceMesh surface;
    GenerateBottle(surface);
    ProjectedMesh mesh;
    ProjectMesh(surface, IdentityOrientation(), mesh);

    // Edited by hand: the arrays no longer describe the faces until rebuilt.
    const int32_t n = static_cast<int32_t>(mesh.projX.size());
    mesh.projX.push_back(0.5);  // vertex n has no y or z
    mesh.faces[10].i2 = n;
    mesh.faces[2000].i0 = -1;
    mesh.faces[3000].i3 = std::numeric_limits<int32_t>::max();
    mesh.faces.push_back({0, 1, 101, 100});  // has no normal
    mesh.drawArraysCurrent = false;
    DisplaySettings display;
    display.translucent = 1;
    ExpectSameFrame(display, mesh, "stale arrays ignored");

    BuildDrawArrays(mesh);
    ASSERT_EQ(mesh.drawSlot.size(), mesh.faces.size());
    EXPECT_EQ(mesh.drawVertices.size(), 4 * (mesh.faces.size() - 4));
    EXPECT_EQ(mesh.drawSlot[10], -1);
    EXPECT_EQ(mesh.drawSlot[11], 10);
    ExpectSameFramesInEveryMode(mesh, "bad faces skipped");
}

TEST_F(FastPathTest, BuildDrawArraysReproducesWhatProjectMeshBuilt)
{
    SurfaceMesh surface;
    ASSERT_TRUE(GenerateFourDBottle(40, 30, 0.333, surface));
    Orientation4D turned = IdentityOrientation();
    const Orientation4D yw = Ryw(1.1);
    MultiplyMatrix4(yw.data(), turned.data());
    ProjectedMesh projected;
    ProjectMesh(surface, turned, projected);
    ProjectedMesh rebuilt = projected;
    rebuilt.drawVertices.assign(3, DrawVertex{});
    BuildDrawArrays(rebuilt);
    ASSERT_EQ(rebuilt.drawVertices.size(), 4 * surface.faces.size());
    EXPECT_TRUE(rebuilt.drawSlot.empty());
    for (std::size_t f = 0; f < surface.faces.size(); ++f) {
        const Quad& q = surface.faces[f];
        const int32_t corners[4] = {q.i0, q.i1, q.i2, q.i3};
        for (int c = 0; c < 4; ++c) {
            const DrawVertex& a = projected.drawVertices[4 * f + c];
            const DrawVertex& b = rebuilt.drawVertices[4 * f + c];
            ASSERT_EQ(a.x, static_cast<float>(projected.projX[corners[c]])) << f;
            ASSERT_EQ(a.z, static_cast<float>(projected.projZ[corners[c]])) << f;
            ASSERT_EQ(a.ny, static_cast<float>(projected.faceNormalY[f])) << f;
            ASSERT_TRUE(a.nx == b.nx && a.ny == b.ny && a.nz == b.nz && a.x == b.x &&
                        a.y == b.y && a.z == b.z)
                << "face " << f << " corner " << c;
        }
    }
}

}  // namespace
