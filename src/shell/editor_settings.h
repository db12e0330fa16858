// Where the editor keeps what it remembers between sessions (the window's geometry, the
// tables' column widths, the language). The window tests move it to a test location.
#pragma once

#include <QSettings>

inline QSettings EditorSettings() {
    return QSettings(QStringLiteral("Rivo800"), QStringLiteral("Rivo800 Editor"));
}
