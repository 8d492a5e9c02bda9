// The five drags on the real view, with synthesised mouse events.

#include "UiTestSupport.h"

#include "interaction/Matrix4.h"
#include "view/Projection.h"
#include "resources/ResourceIds.h"
#include "surfaces/Pi.h"

#include <cmath>

namespace {


// OpenGL's rotation by `degrees` about a unit axis, column-major.
std::array<double, 16> GLRotation(double degrees, double x, double y, double z)
{
    const double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a), t = 1 - c;
    return {t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
            t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
            0,                 0,                 0,                 1};
}

std::array<double, 16> GLScale(double s)
{
    return {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1};
}

std::array<double, 16> GLTranslation(double x, double y)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, 0, 1};
}

}  // namespace

TEST_F(FrameTest, PlainDragTurnsAboutTheScreenAxes)
{
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    EXPECT_TRUE(view->HasCapture());
    Mouse(wxEVT_MOTION, 200, 100, true, false);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLRotation(40, 0, 1, 0), before));

    // Down 50 px: 20 degrees about the screen's horizontal axis, on top.
    const auto middle = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_MOTION, 200, 150, true, false);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLRotation(20, 1, 0, 0), middle));
    Mouse(wxEVT_LEFT_UP, 200, 150, false, false);
    EXPECT_FALSE(view->HasCapture());

    // Without a button nothing turns.
    const auto after = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_MOTION, 300, 300, false, false);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), after, 0.0);
}

TEST_F(FrameTest, ShiftDragTurnsInTheZWPlaneOfTheStartBar)
{
    const auto modelview = Matrix(GL_MODELVIEW_MATRIX);
    const std::vector<double> x0 = view->projection.projX;
    const std::vector<double> y0 = view->projection.projY;

    // The start strip lies in w = 0, so a z-w turn shows as its z shrinking.
    CSurfaceApp& app = TheSurfaceApp();
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
    Mouse(wxEVT_MOTION, 200, 100, true, false, false, true);
    EXPECT_EQ(view->projectedRevision, app.meshRevision + 1) << "projection marked stale";
    Mouse(wxEVT_LEFT_UP, 200, 100, false, false);

    const Orientation4D expected = Rzw(-1.0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(view->orientation[i], expected[i], 1e-12) << i;
    }
    ASSERT_TRUE(PumpUntil([&] { return view->projectedRevision == app.meshRevision; }));
    ASSERT_EQ(view->projection.projX.size(), x0.size());
    double zChange = 0.0;
    for (std::size_t i = 0; i < x0.size(); ++i) {
        ASSERT_EQ(view->projection.projX[i], x0[i]);
        ASSERT_EQ(view->projection.projY[i], y0[i]);
        zChange = std::max(zChange, std::fabs(view->projection.projZ[i] - app.mesh.z[i]));
    }
    // w = 0 on the strip: z shrinks by cos 1.
    EXPECT_GT(zChange, 0.1);
    EXPECT_NEAR(view->projection.projZ[1200], app.mesh.z[1200] * std::cos(1.0), 1e-12);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), modelview, 0.0);
}

TEST_F(FrameTest, VerticalShiftDragChangesNothingButMarksTheProjection)
{
    const Orientation4D before = view->orientation;
    const int32_t revision = view->projectedRevision;
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
    Mouse(wxEVT_MOTION, 100, 180, true, false, false, true);
    EXPECT_EQ(view->projectedRevision, revision + 1);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(view->orientation[i], before[i], 0.0);
    }
    Mouse(wxEVT_LEFT_UP, 100, 180, false, false);
}

TEST_F(FrameTest, ControlDragTurnsOnlyTheBar)
{
    const auto modelview = Matrix(GL_MODELVIEW_MATRIX);
    const int32_t barRevision = view->barBuiltRevision;
    for (const bool shift : {false, true}) {
        const double axisBefore[3] = {view->barAxis[0], view->barAxis[1], view->barAxis[2]};
        const Orientation4D orientation = view->orientation;
        Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, true, shift);
        Mouse(wxEVT_MOTION, 160, 130, true, false, true, shift);
        Mouse(wxEVT_LEFT_UP, 160, 130, false, false);
        EXPECT_GT(std::fabs(view->barAxis[0] - axisBefore[0]) +
                      std::fabs(view->barAxis[1] - axisBefore[1]),
                  0.1)
            << "shift " << shift;
        EXPECT_NEAR(std::hypot(view->barAxis[0], view->barAxis[1], view->barAxis[2]), 1.0, 1e-6);
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), modelview, 0.0);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(view->orientation[i], orientation[i]) << "Ctrl wins over Shift";
        }
    }
    EXPECT_EQ(view->barBuiltRevision, barRevision + 2);
    ASSERT_TRUE(PumpUntil([&] { return view->barBuiltRevision == TheSurfaceApp().barRevision; }));
    // The rebuilt bar runs along the turned axis.
    EXPECT_NEAR(view->bar.barX[30] - view->bar.barX[0], 10 * view->barAxis[0], 1e-9);
}

TEST_F(FrameTest, RightDragScalesAndNeverBelowATenth)
{
    ASSERT_EQ(view->GetClientSize().GetWidth(), 400);
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_RIGHT_DOWN, 200, 200, false, true);
    Mouse(wxEVT_MOTION, 210, 190, false, true);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLScale(1.1), before));

    const auto middle = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_MOTION, -90, 190, false, true);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLScale(0.1), middle));
    Mouse(wxEVT_RIGHT_UP, -90, 190, false, false);
    EXPECT_FALSE(view->HasCapture());
}

TEST_F(FrameTest, BothButtonsMoveAndReleasingOneReturnsToItsDrag)
{
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_RIGHT_DOWN, 100, 100, true, true);
    Mouse(wxEVT_MOTION, 140, 80, true, true);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLTranslation(0.2, 0.1), before));

    Mouse(wxEVT_RIGHT_UP, 140, 80, true, false);
    EXPECT_TRUE(view->HasCapture()) << "the capture stays while the left button is held";
    const auto moved = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_MOTION, 190, 80, true, false);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLRotation(20, 0, 1, 0), moved));
    Mouse(wxEVT_LEFT_UP, 190, 80, false, false);
    EXPECT_FALSE(view->HasCapture());
}

TEST_F(FrameTest, LostCaptureEndsTheDrag)
{
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    ASSERT_TRUE(view->HasCapture());
    wxMouseCaptureLostEvent lost(view->GetId());
    lost.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ(view->leftButtonDown, 0);
    EXPECT_EQ(view->rightButtonDown, 0);

    const auto after = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_MOTION, 250, 250, false, false);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), after, 0.0);
    if (view->HasCapture()) {
        view->ReleaseMouse();
    }
}

namespace {

// Everything that decides the picture besides the settings.
struct ViewState {
    std::array<double, 16> modelview;
    Orientation4D orientation;
    std::array<double, 3> bar;
    bool operator==(const ViewState& o) const
    {
        return modelview == o.modelview && orientation == o.orientation && bar == o.bar;
    }
};

}  // namespace

TEST_F(FrameTest, HomeAfterEveryKindOfDragEqualsAFreshStart)
{
    const auto start = ScreenPixels();
    const auto startModelview = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_MOTION, 170, 130, true, false);
    Mouse(wxEVT_MOTION, 230, 130, true, false, false, true);  // 4D
    Mouse(wxEVT_MOTION, 260, 90, true, false, true, false);   // bar
    Mouse(wxEVT_RIGHT_DOWN, 260, 90, true, true);
    Mouse(wxEVT_MOTION, 280, 70, true, true);                  // move
    Mouse(wxEVT_RIGHT_UP, 280, 70, true, false);
    ASSERT_NE(ScreenPixels(), start);

    // Home in the middle of the drag: the drag ends and the next motion does nothing.
    ASSERT_TRUE(view->HasCapture());
    Command(ID_RESET_VIEW);
    EXPECT_FALSE(view->HasCapture());
    Mouse(wxEVT_MOTION, 350, 200, true, false);
    Mouse(wxEVT_LEFT_UP, 350, 200, false, false);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), startModelview);
    EXPECT_EQ(view->orientation, IdentityOrientation());
    EXPECT_EQ(ScreenPixels(), start);
}

TEST_F(FrameTest, KeyPressEqualsATenPixelDrag)
{
    const auto state = [this] {
        return ViewState{Matrix(GL_MODELVIEW_MATRIX), view->orientation,
                         {view->barAxis[0], view->barAxis[1], view->barAxis[2]}};
    };
    const auto drag = [this](bool left, bool right, bool ctrl, bool shift, int dx, int dy) {
        Mouse(left ? wxEVT_LEFT_DOWN : wxEVT_RIGHT_DOWN, 100, 100, left, right, ctrl, shift);
        if (left && right) {
            Mouse(wxEVT_RIGHT_DOWN, 100, 100, true, true);
        }
        Mouse(wxEVT_MOTION, 100 + dx, 100 + dy, left, right, ctrl, shift);
        Mouse(wxEVT_LEFT_UP, 100 + dx, 100 + dy, false, false);
        Mouse(wxEVT_RIGHT_UP, 100 + dx, 100 + dy, false, false);
    };
    struct Case {
        int key;
        bool ctrl, shift, alt;
        bool left, right;
        int dx, dy;
    };
    const Case cases[] = {
        {WXK_RIGHT, false, false, false, true, false, 10, 0},
        {WXK_UP, false, false, false, true, false, 0, -10},
        {WXK_LEFT, false, true, false, true, false, -10, 0},   // 4D
        {WXK_DOWN, true, true, false, true, false, 0, 10},     // bar
        {WXK_LEFT, false, false, true, true, true, -10, 0},    // move
        {'+', false, false, false, false, true, 0, -10},
        {WXK_NUMPAD_SUBTRACT, false, false, false, false, true, 0, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key));
        view->ResetView();
        Key(c.key, c.ctrl, c.shift, c.alt);
        Key(c.key, c.ctrl, c.shift, c.alt);  // a repeat is one more step
        const ViewState byKey = state();
        const auto keyPicture = view->RenderPicture(1).rgb;
        view->ResetView();
        EXPECT_FALSE(state() == byKey) << "the key changed something";
        drag(c.left, c.right, c.ctrl, c.shift, c.dx, c.dy);
        drag(c.left, c.right, c.ctrl, c.shift, c.dx, c.dy);
        EXPECT_TRUE(state() == byKey);
        EXPECT_EQ(view->RenderPicture(1).rgb, keyPicture);
    }

    // A view of no area takes no keys.
    view->SetSize(0, 0);
    const ViewState before = state();
    Key(WXK_RIGHT);
    Key('+');
    Key(WXK_LEFT, false, true);
    EXPECT_TRUE(state() == before);
}

TEST_F(FrameTest, WheelNotchScalesLikeATenPixelDragAndDownUndoesIt)
{
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    Wheel(60);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), before) << "half a notch does nothing yet";
    Wheel(60);
    const auto notch = Matrix(GL_MODELVIEW_MATRIX);
    ExpectMatrixNear(notch, GLProduct(GLScale(1.05), before));
    // At the view's centre the notch is the plain scale step, bit for bit.
    glLoadMatrixd(before.data());
    ASSERT_TRUE(view->ScaleBy(*DragScaleFactor(10, 0, 400)));
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), notch);
    glLoadMatrixd(notch.data());
    Wheel(-240);
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLScale(1 / 1.05), before));
}

// Off the centre the wheel zooms about the point under the pointer: what is
// there stays there, and the rest moves away from it (or towards it).
TEST_F(FrameTest, WheelZoomsAboutThePointUnderThePointer)
{
    // (300, 80) of the 400 x 300 view: eye x 0.5, y (300 - 160) / 400.
    const double eyeX = 0.5;
    const double eyeY = 0.35;
    for (const int rotation : {120, -120, 360}) {
        const auto before = Matrix(GL_MODELVIEW_MATRIX);
        Wheel(rotation, 300, 80);
        const auto after = Matrix(GL_MODELVIEW_MATRIX);
        const double factor = after[0] / before[0];
        // OpenGL keeps the matrix in single precision.
        EXPECT_NEAR(factor, rotation > 0 ? std::pow(1.05, rotation / 120) : 1 / 1.05, 1e-6);
        // The figure's origin, at eye (before[12], before[13]), moves along
        // the line from the pointer by the factor.
        EXPECT_NEAR(after[12], eyeX + factor * (before[12] - eyeX), 1e-6) << rotation;
        EXPECT_NEAR(after[13], eyeY + factor * (before[13] - eyeY), 1e-6) << rotation;
        EXPECT_NEAR(after[14], factor * before[14], 1e-6);
    }
}

TEST_F(FrameTest, TurnBeforeThePaintNeverHidesANewMeshOrBar)
{
    // A new mesh raises meshRevision; a Shift drag before the paint raises the
    // view's copy level with it. The paint must still project the new mesh.
    CSurfaceApp& app = TheSurfaceApp();
    ResolutionSettings bottle;
    bottle.surfaceKind = kBottleSurface;
    ASSERT_EQ(app.ApplyResolution(bottle), RegenerateResult::Rebuilt);
    ASSERT_NE(app.mesh.VertexCount(), view->projection.projX.size());
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
    Mouse(wxEVT_MOTION, 130, 100, true, false, false, true);
    ASSERT_EQ(view->projectedRevision, app.meshRevision) << "the case this test is about";

    // The same for the bar: a bar turn that brings its revision level.
    ++app.barRevision;
    Mouse(wxEVT_MOTION, 160, 130, true, false, true, false);
    ASSERT_EQ(view->barBuiltRevision, app.barRevision);
    Mouse(wxEVT_LEFT_UP, 160, 130, false, false);
    view->Refresh(false);
    PumpUntil([&] { return view->projection.projX.size() == app.mesh.VertexCount(); }, 3000);
    Pump(50);
    EXPECT_EQ(view->projection.projX.size(), app.mesh.VertexCount());
    EXPECT_EQ(view->projection.faces.size(), app.mesh.faces.size());
    EXPECT_NEAR(view->bar.barX[30] - view->bar.barX[0], 10 * view->barAxis[0], 1e-9);
    EXPECT_GT(std::fabs(view->barAxis[0]), 0.1);
    app.barRevision = 0;
}

// A drag on a figure whose exact picture is slow shows the coarse stand-in
// (unless the menu item is off), re-projecting only it; the release brings
// the exact picture back at once, of the orientation the drag left.
TEST_F(FrameTest, SlowFigureDragsAsAStandInAndRestsExact)
{
    CSurfaceApp& app = TheSurfaceApp();
    ResolutionSettings big;
    big.surfaceKind = kFourDBottle;
    big.thetaCount = 300;
    big.phiCount = 300;
    ASSERT_EQ(app.ApplyResolution(big), RegenerateResult::Rebuilt);
    const PaintWatch paints(view);
    const auto paint = [&] {
        const int before = paints.paints;
        view->Refresh(false);
        return PumpUntil([&] { return paints.paints > before; }, 5000);
    };
    ASSERT_TRUE(paint());
    for (const bool coarse : {true, false}) {
        SCOPED_TRACE(coarse);
        view->coarseWhileDragging = coarse;
        view->lastExactFrameMs = 100.0;  // as on a slow machine
        Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
        Mouse(wxEVT_MOTION, 140, 100, true, false, false, true);
        ASSERT_TRUE(paint());
        EXPECT_EQ(view->lastFrameExact, !coarse);
        EXPECT_EQ(view->lastFrameFaces, coarse ? view->standIn.projection.faces.size() : 90000u);
        Mouse(wxEVT_LEFT_UP, 140, 100, false, false, false, true);
        ASSERT_TRUE(PumpUntil([&] { return view->lastFrameExact; }, 5000));
        EXPECT_EQ(view->lastFrameFaces, 90000u);
        ProjectedMesh expected;
        ProjectMesh(app.mesh, view->orientation, expected);
        EXPECT_TRUE(expected.projX == view->projection.projX);
    }
    EXPECT_LT(view->standIn.projection.faces.size(), 50000u);
}

TEST_F(FrameTest, ScalingStopsBeforeSinglePrecisionLosesTheFigure)
{
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    const auto scaleNow = [&] { return ModelviewScale(Matrix(GL_MODELVIEW_MATRIX).data()); };
    const double start = scaleNow();
    for (const double step : {0.1, 10.0}) {
        // 100 far-left right drags ask for 0.1 each; ScaleBy is asked for 10.
        for (int i = 0; i < 100; ++i) {
            if (step < 1.0) {
                Mouse(wxEVT_RIGHT_DOWN, 380, 100, false, true);
                Mouse(wxEVT_MOTION, 20, 100, false, true);
                Mouse(wxEVT_RIGHT_UP, 20, 100, false, false);
            } else {
                view->ScaleBy(step);
            }
        }
        const double reached = std::log10(scaleNow() / start);
        EXPECT_NEAR(std::fabs(reached), 14.5, 0.51) << step;
        for (double v : Matrix(GL_MODELVIEW_MATRIX)) {
            ASSERT_TRUE(std::isfinite(v));
        }
        for (long i = std::lround(std::fabs(reached)); i > 0; --i) {
            EXPECT_TRUE(view->ScaleBy(1.0 / step)) << "scaling back is never refused";
        }
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), before, 1e-3);
    }
    EXPECT_FALSE(view->ScaleBy(std::nan("")));
    EXPECT_FALSE(view->ScaleBy(HUGE_VAL));
}

TEST_F(FrameTest, RealDragsAddUpToThePointersTravelInBurstsAndSlowPaints)
{
    // 90 px to the right, both buttons: a move by 0.45; left alone: a turn by
    // 36 degrees about the screen's vertical axis. Both add up exactly
    // however the motion is split. Each drag starts on a row of its own, so
    // that no press makes a double click with the one before.
    int row = 60;
    for (const int paintMs : {0, 250}) {
        PaintWatch slow(view, paintMs);
        const double pause = paintMs == 0 ? 0.0 : 0.008;  // a burst, or 125 events a second
        SCOPED_TRACE(paintMs);
        const auto before = Matrix(GL_MODELVIEW_MATRIX);
        ASSERT_TRUE(RealDrag({1, 3}, wxPoint(100, row += 40), wxPoint(3, 0), 30, pause));
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLTranslation(0.45, 0), before));

        const auto moved = Matrix(GL_MODELVIEW_MATRIX);
        ASSERT_TRUE(RealDrag({1}, wxPoint(100, row += 40), wxPoint(3, 0), 30, pause));
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(GLRotation(36, 0, 1, 0), moved));
    }
}
