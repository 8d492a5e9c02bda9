#include "app/LanguageMenu.h"

#include "app/DialogBuilder.h"
#include "app/LanguageChoice.h"
#include "app/MainFrame.h"
#include "app/Translations.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <wx/menu.h>

#include <map>

namespace {

struct LanguageItem {
    int id;
    const char* language;
    const Text& text;
};

const LanguageItem kLanguageItems[] = {
    {ID_LANGUAGE_JAPANESE, kJapanese, kStrLanguageJapanese},
    {ID_LANGUAGE_ENGLISH, kEnglish, kStrLanguageEnglish},
};

void RememberChecks(const wxMenu& menu, std::map<int, bool>& checked)
{
    for (const wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSubMenu()) {
            RememberChecks(*item->GetSubMenu(), checked);
        } else if (item->IsCheckable()) {
            checked[item->GetId()] = item->IsChecked();
        }
    }
}

void RestoreChecks(wxMenu& menu, const std::map<int, bool>& checked)
{
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSubMenu()) {
            RestoreChecks(*item->GetSubMenu(), checked);
        } else if (item->IsCheckable() && item->GetKind() != wxITEM_RADIO) {
            // The language items tick the language spoken by themselves.
            const auto found = checked.find(item->GetId());
            if (found != checked.end()) {
                item->Check(found->second);
            }
        }
    }
}

}  // namespace

void AppendLanguageMenu(wxMenu* menu)
{
    auto* languages = new wxMenu;
    for (const LanguageItem& item : kLanguageItems) {
        languages->AppendRadioItem(item.id, wxString::FromUTF8(std::string(item.text)));
        if (CurrentLanguage() == item.language) {
            languages->Check(item.id, true);
        }
    }
    menu->AppendSeparator();
    menu->AppendSubMenu(languages, wxString::FromUTF8(std::string(kStrMenuLanguage)));
}

void BindLanguageMenu(CMainFrame* frame)
{
    for (const LanguageItem& item : kLanguageItems) {
        const std::string language = item.language;
        frame->Bind(wxEVT_MENU, [frame, language](wxCommandEvent&) {
            // Not while the menu that sent the event is still being handled:
            // the switch replaces it.
            frame->CallAfter([frame, language] { SwitchLanguage(*frame, language); });
        }, item.id);
    }
}

bool SwitchLanguage(CMainFrame& frame, const std::string& language)
{
    if (!UseLanguage(language)) {
        return false;
    }
    frame.RebuildMenus();
    RetranslateOpenDialogs();
    return true;
}

void MoveMenusKeepingChecks(wxMenuBar& bar, wxMenuBar& fresh)
{
    std::map<int, bool> checked;
    for (std::size_t i = 0; i < bar.GetMenuCount(); ++i) {
        RememberChecks(*bar.GetMenu(i), checked);
    }
    const std::size_t count = fresh.GetMenuCount();
    for (std::size_t i = 0; i < count; ++i) {
        const wxString title = fresh.GetMenuLabel(0);
        wxMenu* menu = fresh.Remove(0);
        RestoreChecks(*menu, checked);
        if (i < bar.GetMenuCount()) {
            delete bar.Replace(i, menu, title);
        } else {
            bar.Append(menu, title);
        }
    }
    while (bar.GetMenuCount() > count) {
        delete bar.Remove(bar.GetMenuCount() - 1);
    }
}
