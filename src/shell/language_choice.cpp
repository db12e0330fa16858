// The editor's language from the command line, the saved choice or the environment, and
// saving the choice of the "Lingua" menu.
#include "shell/language_choice.h"

#include <QString>

#include "shell/editor_settings.h"

std::optional<rivo::Language> SavedLanguage() {
    const QSettings settings = EditorSettings();
    const QString code = settings.value(QLatin1String(kLanguageKey)).toString();
    return rivo::ParseLanguageCode(code.toStdString());
}

void SaveLanguage(rivo::Language language) {
    QSettings settings = EditorSettings();
    settings.setValue(QLatin1String(kLanguageKey),
                      QString::fromLatin1(rivo::LanguageCode(language)));
}

rivo::Language ChooseLanguage(std::optional<rivo::Language> commandLine,
                              std::optional<rivo::Language> saved, rivo::Language environment) {
    if (commandLine) return *commandLine;
    if (saved) return *saved;
    return environment;
}
