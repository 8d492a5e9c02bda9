// The "表示" menu's moving aids in the real frame: the auto-turn by the
// clock through the Shift drag's turn, its one timer and Space; the
// marker's travel, its keys, and a new figure under it.

#include "UiTestSupport.h"

#include "app/VisualAidMenu.h"
#include "interaction/DragMath.h"
#include "resources/ResourceIds.h"

#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/weakref.h>

#include <functional>
#include <memory>

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

// Esc with both full screen and the marker on: the first leaves full
// screen, the marker stays until a second.
TEST_F(VisualAidsTest, EscLeavesFullScreenBeforeItRemovesTheMarker)
{
    frame->visualAids->Set(ID_MARKER, true);
    frame->SetFullScreen(true);
    EXPECT_TRUE(Checked(ID_FULL_SCREEN));
    Key(WXK_ESCAPE);
    EXPECT_FALSE(frame->FullScreenWanted());
    EXPECT_FALSE(Checked(ID_FULL_SCREEN));
    EXPECT_TRUE(view->visualAids.marker) << "one Esc did both";
    Key(WXK_ESCAPE);
    EXPECT_FALSE(view->visualAids.marker);
    ASSERT_TRUE(PumpUntil([&] { return !frame->IsFullScreen(); }));
}

// Pixels of an RGB picture that pass a test.
long CountPixels(const std::vector<unsigned char>& rgb,
                 const std::function<bool(int, int, int)>& test)
{
    long count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        count += test(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
    return count;
}

bool Reddish(int r, int g, int b) { return r > 60 && g < 30 && b < 30; }
bool Magenta(int r, int g, int b) { return r > 240 && g < 20 && b > 240; }

// While a slow figure is dragged, the coarse stand-in shows the aids the
// exact picture shows: every face in its w colour (none in the plain red)
// and the marker.
TEST_F(VisualAidsTest, TheStandInShowsTheSameAidsAsTheExactPicture)
{
    ResolutionSettings big;
    big.surfaceKind = kFourDBottle;
    big.thetaCount = 300;
    big.phiCount = 300;
    ASSERT_EQ(TheSurfaceApp().ApplyResolution(big), RegenerateResult::Rebuilt);
    frame->visualAids->Set(ID_FOURD_COLOURS, true);
    frame->visualAids->Set(ID_MARKER, true);
    ASSERT_TRUE(PumpUntil([&] { return view->aidScene.MarkerTravels(); }));
    // Along to where the marker is in sight (at the start it is below the rim).
    auto exact = ScreenPixels();
    for (int i = 0; i < 40 && CountPixels(exact, Magenta) <= 100; ++i) {
        view->aidScene.MoveMarker(0.05);
        view->Refresh(false);
        exact = ScreenPixels();
    }
    EXPECT_LT(CountPixels(exact, Reddish), 50);
    ASSERT_GT(CountPixels(exact, Magenta), 100);

    view->lastExactFrameMs = 100.0;  // as on a slow machine
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
    Mouse(wxEVT_MOTION, 130, 100, true, false, false, true);
    // The marker goes on travelling by the clock meanwhile (far on a slow,
    // sanitized build) and the drag turned the figure: step it back into sight.
    auto coarse = ScreenPixels();
    for (int i = 0; i < 40 && CountPixels(coarse, Magenta) <= 20; ++i) {
        view->aidScene.MoveMarker(0.05);
        view->lastExactFrameMs = 100.0;
        view->Refresh(false);
        coarse = ScreenPixels();
    }
    EXPECT_FALSE(view->lastFrameExact) << "the case this test is about";
    EXPECT_LT(CountPixels(coarse, Reddish), 50) << "the stand-in lost the w colours";
    EXPECT_GT(CountPixels(coarse, Magenta), 20) << "the stand-in lost the marker";
    Mouse(wxEVT_LEFT_UP, 130, 100, false, false, false, true);
    frame->visualAids->Set(ID_MARKER, false);
}

// Frames far slower than the timer's tick, as at millions of faces: the
// auto-turn waits for the program to catch up, so closing the window (done
// when the event loop runs out of work) still ends it within a frame or so.
// Run in a real event loop: the tests' own pumping goes idle by itself.
TEST_F(VisualAidsTest, SlowFramesWithAutoTurnDoNotKeepTheCloseWaiting)
{
    auto paints = std::make_shared<int>(0);
    view->Bind(wxEVT_PAINT, [paints](wxPaintEvent& event) {
        ++*paints;
        wxMilliSleep(150);
        event.Skip();
    });
    frame->visualAids->Set(ID_AUTO_TURN, true);
    wxWeakRef<CMainFrame> alive(frame);
    wxGUIEventLoop loop;
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (alive) {
            alive->Close(true);
        }
    });
    wxTimer stop;
    stop.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { loop.Exit(); });
    closer.StartOnce(800);
    stop.StartOnce(3000);
    loop.Run();
    EXPECT_GT(*paints, 2) << "the auto-turn did not turn";
    EXPECT_FALSE(alive) << "2.2 s after closing, with frames of 150 ms, the window is still there";
    if (alive) {
        frame->visualAids->Set(ID_AUTO_TURN, false);  // lets the teardown's pumping end
    } else {
        frame = nullptr;
    }
}

}  // namespace
