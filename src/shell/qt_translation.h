// Qt's own Italian texts: the file chooser, the standard buttons and the other texts that
// Qt draws itself, so that they speak the language of the rest of the program.
#pragma once

#include <QString>
#include <QTranslator>
#include <memory>

// The folder where Qt keeps its translations.
QString QtTranslationsDir();

// Loads Qt's Italian catalogue (qtbase_it.qm) from dir. nullptr when the catalogue is
// missing or unreadable: the program then runs with Qt's English texts. The caller
// installs the translator.
std::unique_ptr<QTranslator> LoadQtItalian(const QString& dir = QtTranslationsDir());
