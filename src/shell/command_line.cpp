#include "shell/command_line.h"

EditorCommandLine::EditorCommandLine() {
    parser_.setApplicationDescription(QStringLiteral(
        "Editor della lista canali, dei transponder e dei preferiti nelle immagini flash del "
        "ricevitore satellitare Rivo800."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("L'immagine da aprire: la finestra di apertura compare con il file già scelto."),
        QStringLiteral("[file]"));
}

// Qt's own options (-platform, -style, ...) are unknown to this parser before the
// application has removed them, so a failed parse says nothing here: only whether a help
// or version option was seen among the arguments counts.
bool EditorCommandLine::asksForText(const QStringList& args) {
    EditorCommandLine commandLine;
    commandLine.parser_.parse(args);
    return commandLine.parser_.isSet(QStringLiteral("help")) ||
           commandLine.parser_.isSet(QStringLiteral("version"));
}

void EditorCommandLine::showText(const QStringList& args) {
    parser_.parse(args);
    if (parser_.isSet(QStringLiteral("version"))) parser_.showVersion();
    parser_.showHelp(0);
}

bool EditorCommandLine::parse(const QStringList& args) {
    file_.clear();
    error_.clear();
    if (!parser_.parse(args)) {
        error_ = parser_.errorText();
        return false;
    }
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        error_ = QStringLiteral("Un solo file alla volta: %1 file indicati.").arg(files.size());
        return false;
    }
    if (!files.isEmpty()) file_ = files.first();
    return true;
}
