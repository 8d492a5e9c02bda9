#pragma once
// The program's only top-level window: the menu bar and the OpenGL view
// filling the whole client area.

#include <wx/frame.h>

#include <memory>

class CSurfaceView;
class CVisualAidDriver;

class CMainFrame : public wxFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // The view, created with the frame; null never, but check
    // view->IsUsable() before relying on OpenGL.
    CSurfaceView* view = nullptr;
    // The "表示" menu's aids: their items, keys and timer.
    std::unique_ptr<CVisualAidDriver> visualAids;

    // Full screen on or off; leaving restores the size the window had.
    void ToggleFullScreen();
    void LeaveFullScreen();
    // The menus again, in the language spoken now, with the same items ticked.
    void RebuildMenus();

private:
    void OnSetFocus(wxFocusEvent& event);
    void OnCharHook(wxKeyEvent& event);
};
