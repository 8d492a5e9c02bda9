#include "app/MainFrame.h"

#include "app/LanguageMenu.h"
#include "app/VisualAidMenu.h"
#include "resources/AppIcon.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/menu.h>

namespace {

wxMenu* CreateFileMenu()
{
    auto* file = new wxMenu;
    file->Append(ID_SAVE_PICTURE, wxString::FromUTF8(kStrMenuSavePicture));
    file->Append(ID_COPY_PICTURE, wxString::FromUTF8(kStrMenuCopyPicture));
    file->AppendSeparator();
    file->Append(wxID_EXIT, wxString::FromUTF8(kStrMenuExit));
    return file;
}

wxMenu* CreateSettingsMenu()
{
    auto* settings = new wxMenu;
    settings->Append(ID_RESOLUTION, wxString::FromUTF8(kStrMenuResolution));
    settings->Append(ID_CHANGE_COLOR, wxString::FromUTF8(kStrMenuChangeColor));
    return settings;
}

// How the figure is shown; items that change the picture without changing
// the settings belong here.
wxMenu* CreateViewMenu()
{
    auto* view = new wxMenu;
    view->Append(ID_RESET_VIEW, wxString::FromUTF8(kStrMenuResetView));
    view->Append(ID_FULL_SCREEN, wxString::FromUTF8(kStrMenuFullScreen));
    view->AppendCheckItem(ID_COARSE_WHILE_DRAGGING, wxString::FromUTF8(kStrMenuCoarseWhileDragging),
                          wxString::FromUTF8(kStrHelpCoarseWhileDragging));
    view->Check(ID_COARSE_WHILE_DRAGGING, true);
    AppendVisualAidItems(view);
    AppendLanguageMenu(view);
    return view;
}

wxMenu* CreateHelpMenu()
{
    auto* help = new wxMenu;
    help->Append(ID_CONTROLS_HELP, wxString::FromUTF8(kStrMenuControls));
    help->Append(wxID_ABOUT, wxString::FromUTF8(kStrMenuAbout));
    return help;
}

wxMenuBar* CreateMainMenu()
{
    auto* bar = new wxMenuBar;
    bar->Append(CreateFileMenu(), wxString::FromUTF8(kStrMenuFile));
    bar->Append(CreateSettingsMenu(), wxString::FromUTF8(kStrMenuSettings));
    bar->Append(CreateViewMenu(), wxString::FromUTF8(kStrMenuView));
    bar->Append(CreateHelpMenu(), wxString::FromUTF8(kStrMenuHelp));
    return bar;
}

}  // namespace

CMainFrame::CMainFrame()
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(kStrAppTitle), wxDefaultPosition, wxSize(640, 520))
{
#ifdef __WXGTK__
    // Under a window manager the toolkit would hold back the first show until
    // the manager reports its frame size, and then show the window with a
    // placeholder allocation 2 pixels wide: the menu bar, which needs about
    // 190, makes GTK print a critical warning at every start. Shown at once,
    // the window gets its real size; the manager's frame goes around the
    // client area instead of being taken out of it.
    m_deferShow = false;
#endif
    SetIcons(TarvoIconBundle());
    SetMenuBar(CreateMainMenu());
    // A frame with a single child sizes it to the whole client area, now and
    // after every resize.
    view = new CSurfaceView(this, ID_SURFACE_VIEW);
    Bind(wxEVT_SET_FOCUS, &CMainFrame::OnSetFocus, this);
    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
    visualAids = std::make_unique<CVisualAidDriver>(this);
    BindLanguageMenu(this);
}

void CMainFrame::RebuildMenus()
{
    // The same menus in the language spoken now, in the same menu bar.
    wxMenuBar* fresh = CreateMainMenu();
    MoveMenusKeepingChecks(*GetMenuBar(), *fresh);
    delete fresh;
}

void CMainFrame::ToggleFullScreen()
{
    if (IsFullScreen()) {
        LeaveFullScreen();
        return;
    }
    // The toolkit keeps the windowed size and restores it on leaving, also
    // after the full-screen window was resized.
    ShowFullScreen(true);
    view->SetFocus();
}

void CMainFrame::LeaveFullScreen()
{
    ShowFullScreen(false);
    view->SetFocus();
}

void CMainFrame::OnCharHook(wxKeyEvent& event)
{
    // Esc leaves full screen; everywhere else it goes its usual way.
    if (event.GetKeyCode() == WXK_ESCAPE && IsFullScreen()) {
        LeaveFullScreen();
        return;
    }
    event.Skip();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnSetFocus(wxFocusEvent&)
{
    view->SetFocus();
}
