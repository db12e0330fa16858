// Which language the programs speak, and where its catalogue comes from.
//
// Italian is the language of the sources and needs no catalogue. Any other language
// is a gettext catalogue ("rivo800.mo") under a locale folder, as the package installs
// it: <folder>/<code>/LC_MESSAGES/rivo800.mo.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rivo {

enum class Language { Italian, English };

// "it" or "en" (as given to --lang and kept in the editor's settings); nothing else.
std::optional<Language> ParseLanguageCode(std::string_view code);
const char* LanguageCode(Language language);

// The language the environment asks for. The variables are read as gettext reads them
// (LANGUAGE, a list, then the first set of LC_ALL, LC_MESSAGES, LANG), but the choice
// does not depend on which locales the machine has generated: Italian for "it", for
// nothing set and for the "C"/"POSIX" locale (so scripts see no change), English for
// any other language.
using EnvironmentLookup = const char* (*)(const char* name);
Language LanguageFromEnvironment(EnvironmentLookup lookup);
Language LanguageFromEnvironment();

// The locale folders to look in, in order: the one given by RIVO800_LOCALEDIR, the one
// beside an installed program (<bin>/../share/locale) and the one the build tree puts
// next to the programs (<bin>/locale).
std::vector<std::string> CatalogueFolders(const std::string& executablePath);

// Makes `language` the one every Tr() answers in. Italian always succeeds. For another
// language the first folder holding its catalogue is used; when none has it, or it is
// damaged, the texts stay Italian and the reason is returned in `error` (in Italian, the
// language the texts stay in: each damaged file with where it is and what is wrong).
// `found` (optional) tells whether some folder held a catalogue, damaged or not.
bool UseLanguage(Language language, const std::vector<std::string>& folders, std::string* error,
                 bool* found = nullptr);

// Loads a catalogue from a file directly (the tests, and a catalogue next to the sources).
bool UseCatalogueFile(Language language, const std::string& path, std::string* error);

Language CurrentLanguage();

}  // namespace rivo
