// The "表示" menu's moving aids in the real frame: the auto-turn by the
// clock through the Shift drag's turn, its one timer and Space; the
// marker's travel, its keys, and a new figure under it.

#include "UiTestSupport.h"

#include "app/VisualAidMenu.h"
#include "interaction/DragMath.h"
#include "resources/ResourceIds.h"

#include <wx/menu.h>

namespace {

class VisualAidsTest : public FrameTest {
protected:
    void Key(int code, int unicode = WXK_NONE)
    {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.m_uniChar = unicode;
        event.SetEventObject(view);
        frame->GetEventHandler()->ProcessEvent(event);
    }
    bool Checked(int id) { return frame->GetMenuBar()->IsChecked(id); }
};

TEST_F(VisualAidsTest, AutoTurnByTheClockEqualsTheShiftDragTurnOfTheSameAngle)
{
    CVisualAidDriver& aids = *frame->visualAids;
    EXPECT_FALSE(aids.TimerRunning()) << "no timer while nothing moves";
    const auto start = std::chrono::steady_clock::now();
    Key(WXK_SPACE);
    EXPECT_TRUE(Checked(ID_AUTO_TURN));
    EXPECT_TRUE(aids.TimerRunning());
    Pump(600);
    Key(WXK_SPACE);
    const double interval =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(aids.TimerRunning());
    EXPECT_FALSE(Checked(ID_AUTO_TURN));

    const double seconds = aids.TurnedSeconds();
    EXPECT_GT(seconds, 0.3);
    EXPECT_LE(seconds, interval);
    Orientation4D expected = IdentityOrientation();
    TurnOrientationFourDBy(expected, view->barAxis, -0.4 * seconds);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(view->orientation[i], expected[i], 1e-12) << "element " << i;
    }
    const Orientation4D stopped = view->orientation;
    Pump(100);
    EXPECT_EQ(view->orientation, stopped) << "the turn went on after Space";
}

TEST_F(VisualAidsTest, MarkerTravelsStepsWithBracketsRestartsOnANewFigureAndGoesWithEsc)
{
    frame->visualAids->Set(ID_MARKER, true);
    EXPECT_TRUE(Checked(ID_MARKER));
    Pump(600);
    const double travelled = view->aidScene.MarkerCircuits();
    EXPECT_GT(travelled, 0.03);  // 0.6 s of 6 s a circuit, less what the start takes
    EXPECT_LT(travelled, 0.12);
    frame->visualAids->Set(ID_AUTO_TURN, false);  // the marker keeps the timer
    EXPECT_TRUE(frame->visualAids->TimerRunning());

    const double before = view->aidScene.MarkerCircuits();
    Key(']', ']');
    Key(']', ']');
    Key('[', '[');
    EXPECT_NEAR(view->aidScene.MarkerCircuits() - before, 0.01, 1e-3);

    // A new figure, empty at first: nothing to travel, nothing fails.
    CSurfaceApp& app = TheSurfaceApp();
    ResolutionSettings settings;
    settings.surfaceKind = kFourDBottle;
    settings.thetaCount = 0;
    settings.phiCount = 0;
    app.ApplyResolution(settings);
    app.RequestRepaint();
    Pump(200);
    EXPECT_FALSE(view->aidScene.MarkerTravels());
    settings.thetaCount = settings.phiCount = 50;
    const auto changed = std::chrono::steady_clock::now();
    app.ApplyResolution(settings);
    app.RequestRepaint();
    Pump(150);
    EXPECT_TRUE(view->aidScene.MarkerTravels());
    const double since =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - changed).count();
    EXPECT_LE(view->aidScene.MarkerCircuits(), since / 6.0 + 1e-9)
        << "did not start again on the new figure";

    Key(WXK_ESCAPE);
    EXPECT_FALSE(view->visualAids.marker);
    EXPECT_FALSE(Checked(ID_MARKER));
    EXPECT_FALSE(frame->visualAids->TimerRunning());
}

}  // namespace
