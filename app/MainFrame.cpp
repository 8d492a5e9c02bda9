#include "app/MainFrame.h"

#include "app/VisualAidMenu.h"
#include "resources/AppIcon.h"
#include "resources/ResourceIds.h"
#include "resources/AppMessages.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/menu.h>

namespace {

wxMenuBar* CreateMainMenu()
{
    auto* file = new wxMenu;
    file->Append(wxID_EXIT, wxString::FromUTF8(kStrMenuExit));

    auto* settings = new wxMenu;
    settings->Append(ID_RESOLUTION, wxString::FromUTF8(kStrMenuResolution));
    settings->Append(ID_CHANGE_COLOR, wxString::FromUTF8(kStrMenuChangeColor));

    auto* display = new wxMenu;
    AppendVisualAidItems(display);

    auto* help = new wxMenu;
    help->Append(wxID_ABOUT, wxString::FromUTF8(kStrMenuAbout));

    auto* bar = new wxMenuBar;
    bar->Append(file, wxString::FromUTF8(kStrMenuFile));
    bar->Append(settings, wxString::FromUTF8(kStrMenuSettings));
    bar->Append(display, wxString::FromUTF8(kStrMenuView));
    bar->Append(help, wxString::FromUTF8(kStrMenuHelp));
    return bar;
}

}  // namespace

CMainFrame::CMainFrame()
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(kStrAppTitle), wxDefaultPosition, wxSize(640, 520))
{
    SetIcons(TarvoIconBundle());
    SetMenuBar(CreateMainMenu());
    // A frame with a single child sizes it to the whole client area, now and
    // after every resize.
    view = new CSurfaceView(this, ID_SURFACE_VIEW);
    Bind(wxEVT_SET_FOCUS, &CMainFrame::OnSetFocus, this);
    visualAids = std::make_unique<CVisualAidDriver>(this);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnSetFocus(wxFocusEvent&)
{
    view->SetFocus();
}
