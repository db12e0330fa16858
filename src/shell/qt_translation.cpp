// Loading Qt's own Italian catalogue for the texts Qt draws itself.
#include "shell/qt_translation.h"

#include <QLibraryInfo>

QString QtTranslationsDir() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

std::unique_ptr<QTranslator> LoadQtItalian(const QString& dir) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_it"), dir)) return nullptr;
    return translator;
}
