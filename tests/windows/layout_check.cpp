// The Windows program's dialogs, built by the same code, checked under Wine
// for texts that do not fit: every dialog in every language, with the
// toolkit's own measures (tests/ui/DialogTextFit.h). Prints each fault and
// exits with 1 when there is one. Run at two screen densities by
// tests/windows/wine.sh.

#include "app/AboutDlg.h"
#include "app/ColorDlg.h"
#include "app/ControlsHelpDlg.h"
#include "app/LanguageChoice.h"
#include "app/ResolutionDlg.h"
#include "app/Translations.h"
#include "DialogTextFit.h"

#include <wx/app.h>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

class CLayoutCheckApp : public wxApp {
public:
    bool OnInit() override { return true; }

    int OnRun() override
    {
        const std::pair<const char*, std::function<CTemplateDialog*()>> dialogs[] = {
            {"about", [] { return new CAboutDlg; }},
            {"resolution", [] { return new CResolutionDlg; }},
            {"colour", [] { return new CColorDlg; }},
            {"controls help", [] { return new CControlsHelpDlg; }},
        };
        int faults = 0;
        for (const char* language : {kJapanese, kEnglish}) {
            UseLanguage(language);
            for (const auto& [name, make] : dialogs) {
                CTemplateDialog* dialog = make();
                dialog->OnInitDialog();
                dialog->Show(true);
                dialog->Update();
                const wxSize client = dialog->GetClientSize();
                std::printf("%s, %s dialog: %d x %d pixels at %d dpi\n", language, name, client.x,
                            client.y, dialog->GetDPI().x);
                for (const std::string& problem : TextFitProblems(*dialog)) {
                    std::printf("  FAULT %s\n", problem.c_str());
                    ++faults;
                }
                dialog->Destroy();
            }
        }
        std::printf("%d faults\n", faults);
        std::fflush(stdout);
        return faults == 0 ? 0 : 1;
    }
};

}  // namespace

wxIMPLEMENT_APP_CONSOLE(CLayoutCheckApp);
