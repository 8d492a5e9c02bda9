#include "app/VisualAidMenu.h"

#include "app/MainFrame.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/menu.h>

namespace {

// A repaint asked for but not painted within this time is taken as lost
// (a window that stopped painting), so the motion does not stall for good.
constexpr double kLostRepaintSeconds = 0.5;

// The item's switch in the view's plain values.
bool* AidSwitch(VisualAids& aids, int id)
{
    switch (id) {
    case ID_BACK_COLOUR:
        return &aids.backColour;
    case ID_FOURD_COLOURS:
        return &aids.fourDColours;
    case ID_AUTO_TURN:
        return &aids.autoTurn;
    case ID_MARKER:
        return &aids.marker;
    default:
        return nullptr;
    }
}

}  // namespace

void AppendVisualAidItems(wxMenu* menu)
{
    menu->AppendSeparator();
    menu->AppendCheckItem(ID_BACK_COLOUR, wxString::FromUTF8(kStrMenuBackColour),
                          wxString::FromUTF8(kStrHelpBackColour));
    menu->AppendCheckItem(ID_FOURD_COLOURS, wxString::FromUTF8(kStrMenuFourDColours),
                          wxString::FromUTF8(kStrHelpFourDColours));
    menu->AppendCheckItem(ID_AUTO_TURN, wxString::FromUTF8(kStrMenuAutoTurn),
                          wxString::FromUTF8(kStrHelpAutoTurn));
    menu->AppendCheckItem(ID_MARKER, wxString::FromUTF8(kStrMenuMarker),
                          wxString::FromUTF8(kStrHelpMarker));
}

CVisualAidDriver::CVisualAidDriver(CMainFrame* owner) : frame(owner), timer(this)
{
    frame->Bind(wxEVT_MENU, &CVisualAidDriver::OnMenu, this, ID_BACK_COLOUR, ID_MARKER);
    frame->Bind(wxEVT_CHAR_HOOK, &CVisualAidDriver::OnCharHook, this);
    frame->Bind(wxEVT_ICONIZE, &CVisualAidDriver::OnIconize, this);
    frame->Bind(wxEVT_SHOW, &CVisualAidDriver::OnShow, this);
    frame->Bind(wxEVT_IDLE, &CVisualAidDriver::OnIdle, this);
    Bind(wxEVT_TIMER, &CVisualAidDriver::OnTimer, this);
}

CVisualAidDriver::~CVisualAidDriver()
{
    timer.Stop();
}

void CVisualAidDriver::Set(int id, bool on)
{
    bool* item = AidSwitch(frame->view->visualAids, id);
    if (item == nullptr) {
        return;
    }
    const bool was = *item;
    *item = on;
    if (wxMenuBar* bar = frame->GetMenuBar()) {
        if (bar->FindItem(id) != nullptr) {
            bar->Check(id, on);
        }
    }
    if (id == ID_MARKER && on && !was) {
        frame->view->aidScene.RestartMarker();
    }
    UpdateTimer();
    Repaint();
}

void CVisualAidDriver::OnMenu(wxCommandEvent& event)
{
    Set(event.GetId(), event.IsChecked());
}

void CVisualAidDriver::OnCharHook(wxKeyEvent& event)
{
    const VisualAids& aids = frame->view->visualAids;
    const bool plain = !event.HasAnyModifiers();
    const int key = event.GetKeyCode();
    if (plain && key == WXK_SPACE) {
        Set(ID_AUTO_TURN, !aids.autoTurn);
        return;
    }
    // With full screen on, Esc leaves it first (the frame's own key).
    if (aids.marker && plain && key == WXK_ESCAPE && !frame->FullScreenWanted()) {
        Set(ID_MARKER, false);
        return;
    }
    const int step = event.GetUnicodeKey() == '[' ? -1 : event.GetUnicodeKey() == ']' ? 1 : 0;
    if (aids.marker && step != 0) {
        frame->view->aidScene.MoveMarker(step * 0.01);
        Repaint();
        return;
    }
    event.Skip();
}

bool CVisualAidDriver::Visible() const
{
    return frame->IsShown() && !frame->IsIconized();
}

void CVisualAidDriver::UpdateTimer()
{
    const VisualAids& aids = frame->view->visualAids;
    // The marker's track is built at the next paint, so the timer runs
    // while the marker is shown, whether or not it can travel yet.
    const bool moving = aids.autoTurn || aids.marker;
    if (moving && Visible()) {
        if (!timer.IsRunning()) {
            lastTick = Clock::now();
            repaintQueued = false;
            timer.Start(kTickMilliseconds);
        }
    } else if (timer.IsRunning()) {
        timer.Stop();
    }
}

void CVisualAidDriver::Repaint()
{
    framesAtRepaint = frame->view->FramesShown();
    repaintQueued = true;
    idleSinceRepaint = false;
    queuedAt = Clock::now();
    frame->view->Refresh(false);
}

void CVisualAidDriver::OnTimer(wxTimerEvent&)
{
    CSurfaceView* view = frame->view;
    const Clock::time_point now = Clock::now();
    const bool shown = view->FramesShown() != framesAtRepaint ||
                       std::chrono::duration<double>(now - queuedAt).count() >= kLostRepaintSeconds;
    if (repaintQueued && (!shown || !idleSinceRepaint)) {
        // The last step is not on screen yet, or the program has not caught
        // up with what came meanwhile: a slow frame must not keep input,
        // menus and closing windows waiting behind the next one. The time is
        // not lost; the next step skips to the present.
        return;
    }
    repaintQueued = false;
    if (!Visible()) {
        UpdateTimer();
        return;
    }
    const double seconds = std::chrono::duration<double>(now - lastTick).count();
    lastTick = now;
    if (view->visualAids.autoTurn) {
        // As a Shift drag to the right turns: TurnFourD(-dx * 0.01).
        view->TurnFourD(-kTurnRadiansPerSecond * seconds);
        turnedSeconds += seconds;
    }
    const bool markerMoves = view->visualAids.marker && view->aidScene.MarkerTravels();
    // A marker that started again since the last tick (a new figure) moves
    // from the next tick on: this tick's time began before its start.
    const bool startedSince = view->aidScene.MarkerStarts() != markerStartsAtTick;
    markerStartsAtTick = view->aidScene.MarkerStarts();
    if (markerMoves && !startedSince) {
        view->aidScene.MoveMarker(seconds / kSecondsPerCircuit);
    }
    UpdateTimer();
    if (view->visualAids.autoTurn || markerMoves) {
        Repaint();
    }
}

void CVisualAidDriver::OnIconize(wxIconizeEvent& event)
{
    event.Skip();
    UpdateTimer();
}

void CVisualAidDriver::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    idleSinceRepaint = true;
}

void CVisualAidDriver::OnShow(wxShowEvent& event)
{
    event.Skip();
    UpdateTimer();
}
