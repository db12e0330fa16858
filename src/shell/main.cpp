// rivo800-editor: the desktop editor of Rivo800 receiver images.
//
// Usage: rivo800-editor [FILE]. With FILE the open dialog appears at start-up with that
// file already chosen.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "shell/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rivo800 Edit - Beta1"));

    TSDIAppForm window;
    window.restoreSettings();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.setInitialFile(QFileInfo(arguments.at(1)).absoluteFilePath());
    window.show();
    if (arguments.size() > 1)
        QTimer::singleShot(0, &window, &TSDIAppForm::FileOpen1Execute);
    return app.exec();
}
