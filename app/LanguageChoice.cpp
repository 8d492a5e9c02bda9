#include "app/LanguageChoice.h"

#include <algorithm>

std::string LanguageOfLocaleName(const std::string& name)
{
    // language[_territory][.codeset][@modifier]
    const std::string language = name.substr(0, name.find_first_of("_.@"));
    if (language == "C" || language == "POSIX") {
        return std::string();
    }
    return language;
}

std::string LanguageOfEnvironment(const std::function<const char*(const char*)>& get)
{
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = get(variable);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        std::string name(value);
        if (std::string(variable) == "LANGUAGE") {
            // A list of preferences, "fr:en": the first one counts.
            name = name.substr(0, name.find(':'));
            if (name.empty()) {
                continue;
            }
        }
        return LanguageOfLocaleName(name);
    }
    return std::string();
}

std::string SpokenLanguage(const std::string& desktop, const std::vector<std::string>& available)
{
    if (desktop.empty() || desktop == kJapanese) {
        return kJapanese;
    }
    if (std::find(available.begin(), available.end(), desktop) != available.end()) {
        return desktop;
    }
    return kEnglish;
}

bool LanguageOption(const std::vector<std::string>& arguments, std::string& chosen)
{
    const std::string option = "--lang";
    chosen.clear();
    for (const std::string& argument : arguments) {
        if (argument.compare(0, option.size(), option) != 0) {
            continue;
        }
        const std::string value =
            argument.size() > option.size() && argument[option.size()] == '='
                ? argument.substr(option.size() + 1)
                : std::string();
        if (argument.size() > option.size() && argument[option.size()] != '=') {
            continue;  // another option that merely starts alike
        }
        if (value != kJapanese && value != kEnglish) {
            return false;
        }
        chosen = value;
    }
    return true;
}
