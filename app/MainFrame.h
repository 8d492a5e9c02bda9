#pragma once
// The program's only top-level window: the menu bar and the OpenGL view
// filling the whole client area.

#include <wx/frame.h>

class CSurfaceView;

class CMainFrame : public wxFrame {
public:
    CMainFrame();

    // The view, created with the frame; null never, but check
    // view->IsUsable() before relying on OpenGL.
    CSurfaceView* view = nullptr;

    // Full screen on or off; leaving restores the size the window had.
    void ToggleFullScreen();
    void LeaveFullScreen();

private:
    void OnSetFocus(wxFocusEvent& event);
    void OnCharHook(wxKeyEvent& event);
};
