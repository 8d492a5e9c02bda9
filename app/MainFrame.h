#pragma once
// The program's only top-level window: the menu bar and the OpenGL view
// filling the whole client area.

#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>

class CSurfaceView;
class CVisualAidDriver;
class wxFullScreenEvent;
class wxPopupWindow;

class CMainFrame : public wxFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // The view, created with the frame; null never, but check
    // view->IsUsable() before relying on OpenGL.
    CSurfaceView* view = nullptr;
    // The "表示" menu's aids: their items, keys and timer.
    std::unique_ptr<CVisualAidDriver> visualAids;

    // Full screen on or off; leaving restores the size the window had. The
    // menu item's check mark says which was asked for last, and the window
    // follows it however late or out of turn the window manager answers.
    void ToggleFullScreen();
    void SetFullScreen(bool on);
    void LeaveFullScreen() { SetFullScreen(false); }
    bool FullScreenWanted() const { return fullScreenWanted; }
    // The note on how to leave full screen, shown for a few seconds on entering.
    bool FullScreenHintShown() const;

    static constexpr int kHintMilliseconds = 3000;
    // The menus again, in the language spoken now, with the same items ticked.
    void RebuildMenus();

private:
    void OnSetFocus(wxFocusEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnFullScreenChanged(wxFullScreenEvent& event);
    void OnSettleTick(wxTimerEvent& event);
    void OnHintTimer(wxTimerEvent& event);
    // Asks the toolkit for the wanted state where it reports the other one,
    // and shows the menu bar exactly when the window is not full screen.
    void FollowWantedState();
    void ShowHint();
    void HideHint();

    bool fullScreenWanted = false;
    // Watches the window manager's answers for a while after each change.
    wxTimer settleTimer;
    int settleTicksLeft = 0;
    wxTimer hintTimer;
    wxPopupWindow* hint = nullptr;
};
