// rivo800-editor: the desktop editor of Rivo800 receiver images.
//
// Usage: rivo800-editor [--lang it|en] [file]. With a file the open dialog appears at
// start-up with that file already chosen. --help and --version print on the terminal and
// need no display.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <string>

#include "image/temp_cleanup.h"
#include "shell/command_line.h"
#include "shell/language_choice.h"
#include "shell/main_window.h"
#include "shell/qt_translation.h"
#include "shell/window_texts.h"
#include "text/translate.h"

namespace {
// The language of this run: --lang, else the one chosen in the "Lingua" menu, else the
// environment's. It is set before any text is made, the help's included: a text made
// earlier would stay Italian.
void UseChosenLanguage(const QStringList& arguments, const char* executable) {
    const rivo::Language language =
        ChooseLanguage(EditorCommandLine::languageAsked(arguments), SavedLanguage(),
                       rivo::LanguageFromEnvironment());
    std::string error;
    if (!rivo::UseLanguage(language, rivo::CatalogueFolders(executable ? executable : ""),
                           &error)) {
        const std::string warning =
            rivo::Fmt(rivo::Tr("rivo800-editor: testi in inglese non disponibili, il programma "
                               "resta in italiano (%1)"),
                      error);
        std::fprintf(stderr, "%s\n", warning.c_str());
    }
}

// Qt's own texts (standard buttons, the file chooser) in Italian when the editor speaks
// Italian; Qt's built-in texts are English already.
std::unique_ptr<QTranslator> QtOwnTexts() {
    return rivo::CurrentLanguage() == rivo::Language::Italian ? LoadQtItalian() : nullptr;
}
}  // namespace

int main(int argc, char* argv[]) {
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) rawArguments << QString::fromLocal8Bit(argv[i]);
    UseChosenLanguage(rawArguments, argc > 0 ? argv[0] : nullptr);
    if (EditorCommandLine::asksForText(rawArguments)) {
        // The program's name on the version line is the executable's.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(RIVO_VERSION));
        const auto qtTexts = QtOwnTexts();
        if (qtTexts) QCoreApplication::installTranslator(qtTexts.get());
        EditorCommandLine().showText(QCoreApplication::arguments());
    }

    rivo::RemoveTempFilesOnSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(RIVO_VERSION));
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rivo800.editor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("rivo800-editor")));
    const auto qtTexts = QtOwnTexts();
    if (qtTexts) QApplication::installTranslator(qtTexts.get());
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
