// The real view in a real frame on an X server: first paint, projection
// extents after resizes, the camera, and re-projection on a new mesh.

#include "UiTestSupport.h"

#include <wx/menu.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Applies a column-major matrix to a point (w = 1).
std::array<double, 3> Apply(const std::array<double, 16>& m, double x, double y, double z)
{
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

}  // namespace

TEST_F(FrameTest, FirstPaintBuildsBarAndProjection)
{
    EXPECT_EQ(view->projectedRevision, 0);
    EXPECT_EQ(view->barBuiltRevision, 0);
    EXPECT_EQ(view->projection.projX.size(), 3600u);
    EXPECT_EQ(view->projection.faces.size(), 1794u);
    EXPECT_EQ(view->projection.faceNormalZ.size(), 1794u);
    EXPECT_EQ(view->bar.barX.size(), 60u);
    EXPECT_EQ(view->bar.barFaces.size(), 30u);
    EXPECT_TRUE(view->DepthBits() == 32 || view->DepthBits() == 24);
    EXPECT_EQ(frame->GetTitle(), "Tarvo");
    EXPECT_EQ(frame->GetMenuBar()->GetMenuCount(), 4u);
}

TEST_F(FrameTest, CameraLooksFromAboveTheFrontAtTheOrigin)
{
    const auto mv = Matrix(GL_MODELVIEW_MATRIX);
    const auto eye = Apply(mv, 0, -6, 6);
    EXPECT_NEAR(eye[0], 0.0, 1e-6);
    EXPECT_NEAR(eye[1], 0.0, 1e-6);
    EXPECT_NEAR(eye[2], 1.0, 1e-6);
    const auto origin = Apply(mv, 0, 0, 0);
    EXPECT_NEAR(std::hypot(origin[0], origin[1], origin[2]), 0.0, 1e-6);
}

TEST_F(FrameTest, ProjectionFollowsTheAspectRatio)
{
    struct Case {
        int width, height;
        double vertical;
    };
    for (const Case c : {Case{400, 200, 0.5}, Case{300, 600, 2.0}, Case{300, 300, 1.0}}) {
        frame->SetClientSize(c.width, c.height);
        ASSERT_TRUE(PumpUntil([&] { return view->GetClientSize() == wxSize(c.width, c.height); }));
        Pump(30);
        const auto p = Matrix(GL_PROJECTION_MATRIX);
        EXPECT_NEAR(p[0], 1.0, 1e-12) << "horizontal extent stays -1 ... 1";
        EXPECT_NEAR(p[5], 1.0 / c.vertical, 1e-12) << c.width << "x" << c.height;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.height);
    }
}

TEST_F(FrameTest, ResizeLeavesProjectionCurrentAndDrawingUsesTheModelview)
{
    const auto modelviewBefore = Matrix(GL_MODELVIEW_MATRIX);
    wxSizeEvent size(wxSize(400, 300), view->GetId());
    size.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(size);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);

    // A plain drag still turns the modelview, not the projection.
    const auto projectionBefore = Matrix(GL_PROJECTION_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_MOTION, 150, 100, true, false);
    Mouse(wxEVT_LEFT_UP, 150, 100, false, false);
    Pump(30);
    ExpectMatrixNear(Matrix(GL_PROJECTION_MATRIX), projectionBefore, 0.0);
    EXPECT_GT(std::fabs(Matrix(GL_MODELVIEW_MATRIX)[0] - modelviewBefore[0]), 0.001);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW) << "the paint selects the modelview itself";
}

TEST_F(FrameTest, NewMeshRevisionIsProjectedAtTheNextPaint)
{
    CSurfaceApp& app = TheSurfaceApp();
    ResolutionSettings s;
    s.surfaceKind = kFourDBottle;
    s.thetaCount = 40;
    s.phiCount = 30;
    ASSERT_EQ(app.ApplyResolution(s), RegenerateResult::Rebuilt);
    EXPECT_EQ(app.meshRevision, 1);
    app.RequestRepaint();
    ASSERT_TRUE(PumpUntil([&] { return view->projectedRevision == 1; }));
    EXPECT_EQ(view->projection.projX.size(), 1200u);
    EXPECT_EQ(view->barBuiltRevision, 0) << "the bar is not rebuilt for a new mesh";

    // Refused counts keep the shown mesh and the settings that made it.
    ResolutionSettings bad = s;
    bad.thetaCount = -3;
    EXPECT_EQ(app.ApplyResolution(bad), RegenerateResult::BadCounts);
    EXPECT_EQ(app.thetaCount, 40);
    EXPECT_EQ(app.mesh.VertexCount(), 1200u);
}

// Guards the German-locale run of the dialog tests: it only means something
// if the toolkit really switched the process to a decimal comma.
TEST(LocaleTest, ToolkitTookTheLocaleOfTheEnvironment)
{
    const char* requested = std::getenv("LC_ALL");
    if (requested == nullptr || std::string(requested).rfind("de_DE", 0) != 0) {
        GTEST_SKIP() << "not the German-locale run";
    }
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
}
