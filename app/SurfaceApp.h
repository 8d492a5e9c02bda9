#pragma once
// The application object: the one home of the settings, the mesh and the
// revision counters, and the end of command routing, where the three menu
// commands are handled.

#include "app/SurfaceAppState.h"

#include <wx/app.h>

class CMainFrame;
class wxCommandEvent;

class CSurfaceApp : public wxApp, public SurfaceAppState {
public:
    CSurfaceApp();

    // Start-up: builds the default surface, then the main window, shown and
    // painted at once. Returns false (and the program exits with a non-zero
    // status) when no OpenGL window can be made.
    bool InitInstance();
    bool OnInit() override;

    // "解像度(&R)...": runs the resolution dialog on a copy of the settings;
    // on anything but Cancel stores them, regenerates, raises meshRevision
    // and repaints.
    void OnResolution();
    // "色の変更(&C)...": runs the colour dialog; on anything but Cancel stores
    // the display settings and repaints.
    void OnChangeColor();
    // "Tarvo のﾊﾞｰｼﾞｮﾝ情報(&A)...".
    void OnAbout();
    // "画像を保存(&S)...": asks for a file and a size, saves, and says so
    // when it could not.
    void OnSavePicture();
    // "画像をｺﾋﾟｰ(&C)": the view's picture to the clipboard.
    void OnCopyPicture();
    // "初期状態に戻す(&R)": the view as at start-up.
    void OnResetView();
    // "全画面表示(&F)": full screen on or off.
    void OnFullScreen();
    // "操作方法(&K)...": the table of gestures and keys.
    void OnControlsHelp();

    CMainFrame* GetMainFrame() const;

    // Stores accepted resolution settings and rebuilds the mesh. Returns what
    // the rebuild did; on a failure the previous mesh stays and the settings
    // are restored, so what is shown always matches what is stored.
    RegenerateResult ApplyResolution(const ResolutionSettings& settings);

    // Asks the main window to repaint, which reaches the view.
    void RequestRepaint();

private:
    void OnCommand(wxCommandEvent& event);
};

// The one application object, wherever the code runs inside the program or
// its window tests.
CSurfaceApp& TheSurfaceApp();
