// The editor's language: chosen once at start-up, before any text is made, and kept in
// the settings by the "Lingua" menu for the next start.
#pragma once

#include <optional>

#include "text/language.h"

// The settings key of the language chosen in the menu ("it" or "en").
inline constexpr const char* kLanguageKey = "language";

// The language kept in the settings; nothing when none was chosen, or the value is not
// one of ours (a settings file edited by hand).
std::optional<rivo::Language> SavedLanguage();
void SaveLanguage(rivo::Language language);

// The language to start in: the command line's --lang first, then the one chosen in the
// menu, then the environment's.
rivo::Language ChooseLanguage(std::optional<rivo::Language> commandLine,
                              std::optional<rivo::Language> saved, rivo::Language environment);
