#include "app/Translations.h"

#include "app/LanguageChoice.h"
#include "resources/EmbeddedCatalogues.h"
#include "resources/Strings.h"

#include <wx/arrstr.h>
#include <wx/translation.h>

#include <cstdio>
#include <cstdlib>

#ifdef __WXMSW__
#include <windows.h>
#endif

namespace {

// The catalogues' domain, as the installed .mo files are named.
constexpr char kDomain[] = "tarvo";

const EmbeddedCatalogue* FindCatalogue(const wxString& language)
{
    for (std::size_t i = 0; i < kEmbeddedCatalogueCount; ++i) {
        if (language == kEmbeddedCatalogues[i].language) {
            return &kEmbeddedCatalogues[i];
        }
    }
    return nullptr;
}

// Reads the catalogues from the program's own memory, so that no file
// needs to be found at run time, on Windows or Linux.
class CEmbeddedCatalogueLoader : public wxTranslationsLoader {
public:
    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString& language) override
    {
        const EmbeddedCatalogue* catalogue = domain == kDomain ? FindCatalogue(language) : nullptr;
        if (catalogue == nullptr) {
            return nullptr;
        }
        const auto data = wxScopedCharBuffer::CreateNonOwned(
            reinterpret_cast<const char*>(catalogue->data), catalogue->size);
        return wxMsgCatalog::CreateFromData(data, domain);
    }

    wxArrayString GetAvailableTranslations(const wxString& domain) const override
    {
        wxArrayString languages;
        if (domain == kDomain) {
            for (const std::string& language : CatalogueLanguages()) {
                languages.push_back(wxString::FromUTF8(language));
            }
        }
        return languages;
    }
};

std::string& Current()
{
    static std::string language = kJapanese;
    return language;
}

std::string TranslateThroughToolkit(const char* id)
{
    const wxTranslations* translations = wxTranslations::Get();
    const wxString* text = translations == nullptr
        ? nullptr
        : translations->GetTranslatedString(wxString::FromUTF8(id), kDomain);
    return text != nullptr ? text->utf8_string() : std::string(id);
}

}  // namespace

std::vector<std::string> CatalogueLanguages()
{
    std::vector<std::string> languages;
    for (std::size_t i = 0; i < kEmbeddedCatalogueCount; ++i) {
        languages.push_back(kEmbeddedCatalogues[i].language);
    }
    return languages;
}

std::string DesktopLanguage()
{
#ifdef __WXMSW__
    // Windows keeps the language of its menus and dialogs apart from the
    // formats of numbers and dates: the former counts here.
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? kJapanese : kEnglish;
#else
    return LanguageOfEnvironment([](const char* name) { return std::getenv(name); });
#endif
}

bool UseLanguage(const std::string& language)
{
    if (language == kJapanese) {
        wxTranslations::Set(nullptr);
        SetTextTranslator(nullptr);
        Current() = kJapanese;
        return true;
    }
    if (FindCatalogue(wxString::FromUTF8(language)) == nullptr) {
        return false;
    }
    auto* translations = new wxTranslations;
    translations->SetLoader(new CEmbeddedCatalogueLoader);
    translations->SetLanguage(wxString::FromUTF8(language));
    // The message ids are Japanese: asked for Japanese, nothing is loaded.
    translations->AddCatalog(kDomain, wxLANGUAGE_JAPANESE);
    wxTranslations::Set(translations);
    SetTextTranslator(TranslateThroughToolkit);
    Current() = language;
    return true;
}

bool UseStartLanguage(const std::vector<std::string>& arguments)
{
    UseLanguage(SpokenLanguage(DesktopLanguage(), CatalogueLanguages()));
    std::string chosen;
    if (!LanguageOption(arguments, chosen)) {
        std::fprintf(stderr, "%s\n", std::string(kStrBadLanguageOption).c_str());
        return false;
    }
    return chosen.empty() || UseLanguage(chosen);
}

const std::string& CurrentLanguage()
{
    return Current();
}
