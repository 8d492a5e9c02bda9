#pragma once
// The program's language on the toolkit's side: the catalogues built into
// the program, loaded through the toolkit's translations, and the one place
// that knows which language is spoken now.

#include <string>
#include <vector>

// The languages of the built-in catalogues, without Japanese (the texts'
// own language, which needs none).
std::vector<std::string> CatalogueLanguages();

// The desktop's language: on Windows the user's interface language, elsewhere
// the locale variables (app/LanguageChoice.h). "" when none is set.
std::string DesktopLanguage();

// Speaks `language` ("ja", "en", ...) from now on: every text of the table
// turned into a string afterwards is in it. Returns false, leaving Japanese,
// for a language without a catalogue.
bool UseLanguage(const std::string& language);
// At start: the language the command line's --lang names, else the one the
// desktop's language gives (app/LanguageChoice.h). Returns false, after
// saying so on stderr, for a --lang the program does not know.
bool UseStartLanguage(const std::vector<std::string>& arguments);

// "ja" until UseLanguage chose another.
const std::string& CurrentLanguage();
