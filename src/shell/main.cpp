// rivo800-editor: the desktop editor of Rivo800 receiver images.
//
// Usage: rivo800-editor [file]. With a file the open dialog appears at start-up with that
// file already chosen. --help and --version print on the terminal and need no display.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include "image/temp_cleanup.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/qt_translation.h"
#include "shell/window_texts.h"

int main(int argc, char* argv[]) {
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) rawArguments << QString::fromLocal8Bit(argv[i]);
    if (EditorCommandLine::asksForText(rawArguments)) {
        // The program's name on the version line is the executable's.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(RIVO_VERSION));
        const auto italian = LoadQtItalian();
        if (italian) QCoreApplication::installTranslator(italian.get());
        EditorCommandLine().showText(QCoreApplication::arguments());
    }

    rivo::RemoveTempFilesOnSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(RIVO_VERSION));
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rivo800.editor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("rivo800-editor")));
    const auto italian = LoadQtItalian();
    if (italian) QApplication::installTranslator(italian.get());
    EditorCommandLine commandLine;
    commandLine.parser().process(app);  // its messages start with the executable's name
    if (!commandLine.parse(QApplication::arguments())) {
        qCritical("%s", qPrintable(commandLine.errorText()));
        return 1;
    }
    QApplication::setApplicationName(QString::fromUtf8(window_text::kApplicationTitle));

    MainWindow window;
    window.restoreSettings();
    if (!commandLine.file().isEmpty()) window.setInitialFile(QFileInfo(commandLine.file()).absoluteFilePath());
    window.show();
    if (!commandLine.file().isEmpty()) QTimer::singleShot(0, &window, &MainWindow::openFile);
    return app.exec();
}
