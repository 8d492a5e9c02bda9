#include "app/SurfaceApp.h"

#include "app/AboutDlg.h"
#include "app/ColorDlg.h"
#include "app/ControlsHelpDlg.h"
#include "app/MainFrame.h"
#include "app/PictureFile.h"
#include "app/ResolutionDlg.h"
#include "app/Translations.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/msgdlg.h>

#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

CSurfaceApp& TheSurfaceApp()
{
    return *static_cast<CSurfaceApp*>(wxApp::GetInstance());
}

CSurfaceApp::CSurfaceApp()
{
    SetAppName(wxString::FromUTF8(kStrAppTitle));
    // Command routing ends here: the frame passes on what it does not handle.
    Bind(wxEVT_MENU, &CSurfaceApp::OnCommand, this);
}

bool CSurfaceApp::OnInit()
{
#ifdef __GLIBC__
    // Blocks of 256 kB and more get pages of their own, which go back to the
    // system when freed. By default the C library raises this threshold to
    // the largest block freed so far, after which a large figure's per-frame
    // arrays (megabytes each) come from the shared heap and the holes they
    // leave between longer-lived blocks stay resident.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    std::vector<std::string> arguments;
    for (const wxString& argument : argv.GetArguments()) {
        arguments.push_back(argument.utf8_string());
    }
    if (!UseStartLanguage(arguments)) {
        return false;
    }
    RegisterClipboardImageFormats();
    return InitInstance();
}

bool CSurfaceApp::InitInstance()
{
    // The mesh exists before any window does, so the first paint always finds
    // a complete one.
    Regenerate();

    CMainFrame* frame = nullptr;
    if (CSurfaceView::DisplaySupportsOpenGL()) {
        frame = new CMainFrame;
    }
    if (frame == nullptr || !frame->view->IsUsable()) {
        // Said on the terminal too, for a start from a shell or a script.
        std::fprintf(stderr, "%s\n", std::string(kStrNoOpenGL).c_str());
        wxMessageBox(wxString::FromUTF8(kStrNoOpenGL), wxString::FromUTF8(kStrAppTitle),
                     wxOK | wxICON_ERROR);
        if (frame != nullptr) {
            frame->Destroy();
        }
        return false;
    }
    SetTopWindow(frame);
    frame->Show(true);
    frame->Update();
    // Keys act on the view from the start.
    frame->view->SetFocus();
    return true;
}

CMainFrame* CSurfaceApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(GetTopWindow());
}

void CSurfaceApp::RequestRepaint()
{
    if (CMainFrame* frame = GetMainFrame()) {
        frame->Refresh(true);
        frame->view->Refresh(true);
    }
}

void CSurfaceApp::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_RESOLUTION:
        OnResolution();
        break;
    case ID_CHANGE_COLOR:
        OnChangeColor();
        break;
    case wxID_ABOUT:
        OnAbout();
        break;
    case ID_SAVE_PICTURE:
        OnSavePicture();
        break;
    case ID_COPY_PICTURE:
        OnCopyPicture();
        break;
    case ID_RESET_VIEW:
        OnResetView();
        break;
    case ID_FULL_SCREEN:
        OnFullScreen();
        break;
    case ID_COARSE_WHILE_DRAGGING:
        if (CMainFrame* frame = GetMainFrame()) {
            frame->view->coarseWhileDragging = event.IsChecked();
        }
        break;
    case ID_CONTROLS_HELP:
        OnControlsHelp();
        break;
    case wxID_EXIT:
        if (CMainFrame* frame = GetMainFrame()) {
            frame->Close(true);
        }
        break;
    default:
        event.Skip();
        break;
    }
}

RegenerateResult CSurfaceApp::ApplyResolution(const ResolutionSettings& settings)
{
    const ResolutionSettings previous = GetResolutionSettings();
    SetResolutionSettings(settings);
    const RegenerateResult result = Regenerate();
    if (result == RegenerateResult::OutOfMemory || result == RegenerateResult::BadCounts) {
        // The previous mesh is still on show: keep the settings that made it.
        SetResolutionSettings(previous);
    }
    ++meshRevision;
    return result;
}

void CSurfaceApp::OnResolution()
{
    CResolutionDlg dialog(GetMainFrame());
    dialog.SetSettings(GetResolutionSettings());
    if (dialog.ShowModal() == wxID_CANCEL) {
        return;
    }
    if (ApplyResolution(dialog.GetSettings()) == RegenerateResult::OutOfMemory) {
        wxMessageBox(wxString::FromUTF8(kStrOutOfMemory), wxString::FromUTF8(kStrAppTitle),
                     wxOK | wxICON_WARNING, GetMainFrame());
    }
    RequestRepaint();
}

void CSurfaceApp::OnChangeColor()
{
    CColorDlg dialog(GetMainFrame());
    dialog.SetSettings(GetDisplaySettings());
    if (dialog.ShowModal() == wxID_CANCEL) {
        return;
    }
    SetDisplaySettings(dialog.GetSettings());
    RequestRepaint();
}

void CSurfaceApp::OnAbout()
{
    CAboutDlg dialog(GetMainFrame());
    dialog.ShowModal();
}

namespace {

void ShowPictureMessage(const std::string& message, CMainFrame* frame)
{
    wxMessageBox(wxString::FromUTF8(message), wxString::FromUTF8(kStrAppTitle),
                 wxOK | wxICON_WARNING, frame);
}

}  // namespace

void CSurfaceApp::OnSavePicture()
{
    CMainFrame* frame = GetMainFrame();
    if (frame == nullptr) {
        return;
    }
    // Nothing to save from a view of no area; say so before asking for a name.
    const wxSize size = frame->view->GetClientSize();
    if (size.GetWidth() <= 0 || size.GetHeight() <= 0) {
        ShowPictureMessage(kStrPictureEmptyView, frame);
        return;
    }
    std::string path;
    int scale = 1;
    if (!AskPicturePath(frame, path, scale)) {
        return;
    }
    const std::string message = SaveViewPicture(*frame->view, path, scale);
    if (!message.empty()) {
        ShowPictureMessage(message, frame);
    }
}

void CSurfaceApp::OnCopyPicture()
{
    if (CMainFrame* frame = GetMainFrame()) {
        const std::string message = CopyViewPicture(*frame->view);
        if (!message.empty()) {
            ShowPictureMessage(message, frame);
        }
    }
}

void CSurfaceApp::OnResetView()
{
    if (CMainFrame* frame = GetMainFrame()) {
        frame->view->ResetView();
    }
}

void CSurfaceApp::OnFullScreen()
{
    if (CMainFrame* frame = GetMainFrame()) {
        frame->ToggleFullScreen();
    }
}

void CSurfaceApp::OnControlsHelp()
{
    CControlsHelpDlg dialog(GetMainFrame());
    dialog.ShowModal();
}
