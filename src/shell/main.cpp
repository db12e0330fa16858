// rivo800-editor: the desktop editor of Rivo800 receiver images.
//
// Usage: rivo800-editor [FILE]. With FILE the open dialog appears at start-up with that
// file already chosen.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include "shell/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rivo800 Edit - Beta1"));
    // Desktops without an icon theme of their own still find the common action icons.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    TSDIAppForm window;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.setInitialFile(QFileInfo(arguments.at(1)).absoluteFilePath());
    window.show();
    if (arguments.size() > 1)
        QTimer::singleShot(0, &window, &TSDIAppForm::FileOpen1Execute);
    return app.exec();
}
