// Runs the window tests inside a real application object on a real X server.
// The application's start-up hook is not run: each test creates the windows
// it needs and pumps the event loop itself.

#include "app/SurfaceApp.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new CSurfaceApp);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start the window toolkit (is DISPLAY set?)\n");
        return 1;
    }
    // Take the environment's locale, as a toolkit may do behind our back:
    // under a German one the numbers of the dialogs must not change form.
    std::setlocale(LC_ALL, "");
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
