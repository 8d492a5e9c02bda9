#pragma once
// The "表示" menu's four check items that help to see one-sidedness, their
// keys, and the program's one timer, which moves the auto-turn and the
// marker and runs only while one of them is on.

#include <wx/event.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdint>

class CMainFrame;
class wxMenu;

// Appends a separator and the four items, all unchecked.
void AppendVisualAidItems(wxMenu* menu);

class CVisualAidDriver : public wxEvtHandler {
public:
    // Handles the items' commands and the keys Space, [, ] and Esc for the
    // frame and its view.
    explicit CVisualAidDriver(CMainFrame* frame);
    ~CVisualAidDriver() override;

    // Switches an item as choosing it does (the menu's check follows).
    void Set(int id, bool on);
    bool TimerRunning() const { return timer.IsRunning(); }
    // Seconds of auto-turn applied so far: the turn is 0.4 radians each.
    double TurnedSeconds() const { return turnedSeconds; }

    static constexpr double kTurnRadiansPerSecond = 0.4;
    static constexpr double kSecondsPerCircuit = 6.0;
    static constexpr int kTickMilliseconds = 15;

private:
    using Clock = std::chrono::steady_clock;

    void OnMenu(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnIconize(wxIconizeEvent& event);
    void OnShow(wxShowEvent& event);
    void OnIdle(wxIdleEvent& event);

    // Runs the timer exactly while something moves and the frame can be
    // seen; a restart measures time from now, so a pause turns nothing.
    void UpdateTimer();
    bool Visible() const;
    void Repaint();

    CMainFrame* frame;
    wxTimer timer;
    Clock::time_point lastTick;
    uint64_t framesAtRepaint = 0;  // the view's frame count when the last repaint was asked
    bool repaintQueued = false;
    // The event loop ran out of work since the last repaint was asked: input,
    // menus and closing windows have had their turn.
    bool idleSinceRepaint = true;
    Clock::time_point queuedAt;
    double turnedSeconds = 0.0;
    uint64_t markerStartsAtTick = 0;
};
