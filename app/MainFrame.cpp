#include "app/MainFrame.h"

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

    auto* help = new wxMenu;
    help->Append(wxID_ABOUT, wxString::FromUTF8(kStrMenuAbout));

    auto* bar = new wxMenuBar;
    bar->Append(file, wxString::FromUTF8(kStrMenuFile));
    bar->Append(settings, wxString::FromUTF8(kStrMenuSettings));
    bar->Append(help, wxString::FromUTF8(kStrMenuHelp));
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
}

void CMainFrame::OnSetFocus(wxFocusEvent&)
{
    view->SetFocus();
}
