// Build-time tool: writes the program's icon as PNG files in the layout of a
// freedesktop icon theme, <dir>/<N>x<N>/apps/tarvo.png, from the same drawing
// the running program uses, so the installed icons cannot drift from it.
//
//   tarvo_icon_pngs <dir> <size>...

#include "resources/AppIcon.h"

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <dir> <size>...\n", argv[0]);
        return 2;
    }
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        std::fprintf(stderr, "cannot initialise the toolkit's base library\n");
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);

    const wxString dir = wxString::FromUTF8(argv[1]);
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 1 || size > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", argv[i]);
            return 2;
        }
        const wxString sub = wxString::Format("%ldx%ld", size, size);
        const wxFileName file(dir + "/" + sub + "/apps", "tarvo.png");
        if (!wxFileName::Mkdir(file.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)) {
            std::fprintf(stderr, "cannot create %s\n", file.GetPath().utf8_str().data());
            return 1;
        }
        const wxImage image = TarvoIconImage(static_cast<int>(size));
        if (!image.IsOk() || !image.SaveFile(file.GetFullPath(), wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "cannot write %s\n", file.GetFullPath().utf8_str().data());
            return 1;
        }
    }
    return 0;
}
