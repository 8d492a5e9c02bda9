#include "app/MainFrame.h"

#include "app/LanguageMenu.h"
#include "app/VisualAidMenu.h"
#include "resources/AppIcon.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/popupwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

// How often and how long the window manager's answers are watched after a
// change of full screen: its answers to a burst of requests may come late
// and in any number.
constexpr int kSettleTickMilliseconds = 100;
constexpr int kSettleTicks = 20;
constexpr int kSettleTimerId = 1;
constexpr int kHintTimerId = 2;

#ifdef __WXGTK__
// The menu bar is shown and hidden by the frame itself: the toolkit's own
// record of what it hid is lost when a late answer of the window manager
// arrives between two requests, and the menu bar then never comes back.
constexpr long kFullScreenStyle = wxFULLSCREEN_ALL & ~wxFULLSCREEN_NOMENUBAR;
#else
constexpr long kFullScreenStyle = wxFULLSCREEN_ALL;
#endif

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
    view->AppendCheckItem(ID_FULL_SCREEN, wxString::FromUTF8(kStrMenuFullScreen));
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
    Bind(wxEVT_FULLSCREEN, &CMainFrame::OnFullScreenChanged, this);
    settleTimer.SetOwner(this, kSettleTimerId);
    hintTimer.SetOwner(this, kHintTimerId);
    Bind(wxEVT_TIMER, &CMainFrame::OnSettleTick, this, kSettleTimerId);
    Bind(wxEVT_TIMER, &CMainFrame::OnHintTimer, this, kHintTimerId);
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
    SetFullScreen(!fullScreenWanted);
}

void CMainFrame::SetFullScreen(bool on)
{
    fullScreenWanted = on;
    if (wxMenuBar* bar = GetMenuBar()) {
        bar->Check(ID_FULL_SCREEN, on);
    }
    settleTicksLeft = kSettleTicks;
    if (!settleTimer.IsRunning()) {
        settleTimer.Start(kSettleTickMilliseconds);
    }
    FollowWantedState();
    if (on) {
        ShowHint();
    } else {
        HideHint();
    }
    view->SetFocus();
}

void CMainFrame::FollowWantedState()
{
    if (IsFullScreen() != fullScreenWanted) {
        // The toolkit keeps the windowed size and restores it on leaving,
        // also after the full-screen window was resized.
        ShowFullScreen(fullScreenWanted, kFullScreenStyle);
    }
#ifdef __WXGTK__
    wxMenuBar* bar = GetMenuBar();
    if (bar != nullptr && bar->IsShown() == fullScreenWanted) {
        bar->Show(!fullScreenWanted);
        SendSizeEvent();
    }
#endif
}

void CMainFrame::OnFullScreenChanged(wxFullScreenEvent& event)
{
    event.Skip();
    // An answer: watch again for as long as after a request.
    settleTicksLeft = kSettleTicks;
    if (!settleTimer.IsRunning()) {
        settleTimer.Start(kSettleTickMilliseconds);
    }
}

void CMainFrame::OnSettleTick(wxTimerEvent&)
{
    FollowWantedState();
    if (hint != nullptr && hint->IsShown()) {
        hint->Raise();  // above the window that just became full screen
    }
    if (--settleTicksLeft <= 0) {
        settleTimer.Stop();
    }
}

void CMainFrame::ShowHint()
{
    if (hint == nullptr) {
        hint = new wxPopupWindow(this, wxBORDER_NONE);
        hint->SetBackgroundColour(wxColour(40, 40, 40));
        auto* text = new wxStaticText(hint, wxID_ANY, wxString::FromUTF8(kStrFullScreenHint));
        text->SetForegroundColour(*wxWHITE);
        text->SetFont(text->GetFont().Scaled(1.5f));
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(text, 0, wxALL, text->GetCharHeight() / 2 + 4);
        hint->SetSizerAndFit(sizer);
    }
    // Centred near the top of the screen the frame is on.
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetGeometry();
    const wxSize size = hint->GetSize();
    hint->Move(screen.x + (screen.width - size.x) / 2, screen.y + screen.height / 8);
    hint->Show();
    hint->Raise();
    hintTimer.StartOnce(kHintMilliseconds);
}

void CMainFrame::HideHint()
{
    hintTimer.Stop();
    if (hint != nullptr) {
        hint->Hide();
    }
}

bool CMainFrame::FullScreenHintShown() const
{
    return hint != nullptr && hint->IsShown();
}

void CMainFrame::OnHintTimer(wxTimerEvent&)
{
    HideHint();
}

void CMainFrame::OnCharHook(wxKeyEvent& event)
{
    // Esc leaves full screen before it does anything else (the marker's
    // Esc waits for the window); everywhere else it goes its usual way.
    if (event.GetKeyCode() == WXK_ESCAPE && fullScreenWanted) {
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
