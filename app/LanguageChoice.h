#pragma once
// Which language the program speaks, chosen without the toolkit: from the
// desktop's locale settings and the command line. Japanese is the program's
// own language; a language with a catalogue built in is taken as it is, and
// any other gets English, the common second language.

#include <functional>
#include <string>
#include <vector>

inline constexpr char kJapanese[] = "ja";
inline constexpr char kEnglish[] = "en";

// The language a locale name stands for: "de_DE.UTF-8" gives "de",
// "pt_BR" gives "pt". An empty name, "C", "POSIX" and their variants
// ("C.UTF-8") name no language and give "".
std::string LanguageOfLocaleName(const std::string& name);

// The language the environment asks for on Linux: the first of LANGUAGE
// (its first entry), LC_ALL, LC_MESSAGES and LANG that is set and not
// empty decides. `get` reads a variable; nullptr for one not set.
std::string LanguageOfEnvironment(const std::function<const char*(const char*)>& get);

// The language spoken for a desktop language: Japanese where it is Japanese
// or none is set, the language itself where `available` (the languages of
// the built-in catalogues) has it, English otherwise.
std::string SpokenLanguage(const std::string& desktop, const std::vector<std::string>& available);

// The command line's --lang=ja or --lang=en. Returns false for a --lang
// with any other value (or none); `chosen` is left empty when no --lang is
// given. Other arguments are not the business of this function.
bool LanguageOption(const std::vector<std::string>& arguments, std::string& chosen);
