// Reading the editor's command line: the language option, the file, and the texts of --help
// and --version.
#include "shell/command_line.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

#include "dialogs/qt_text.h"

namespace {

// The parser writes a few texts of its own: the help and version options and the
// headings of the help. They are said as the rest of the help is, in either language,
// instead of in Qt's English.
class ParserTexts final : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QCommandLineParser") != 0 || !sourceText) return {};
        const QLatin1String text(sourceText);
        if (text == QLatin1String("Displays help on commandline options."))
            return QTr("Mostra questo aiuto sulle opzioni della riga di comando.");
        if (text == QLatin1String("Displays help including Qt specific options."))
            return QTr("Mostra l'aiuto con anche le opzioni proprie di Qt.");
        if (text == QLatin1String("Displays version information."))
            return QTr("Mostra la versione del programma.");
        if (text == QLatin1String("Usage: %1")) return QTr("Uso: %1");
        if (text == QLatin1String("Options:")) return QTr("Opzioni:");
        if (text == QLatin1String("Arguments:")) return QTr("Argomenti:");
        return {};
    }
    bool isEmpty() const override { return false; }
};

// Installed once in each application, after Qt's own catalogue so that it is asked
// first. Before an application exists only the options are read, never shown.
void UseParserTexts() {
    static ParserTexts texts;
    static QPointer<QCoreApplication> installedIn;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || installedIn == app) return;
    QCoreApplication::installTranslator(&texts);
    installedIn = app;
}

}  // namespace

EditorCommandLine::EditorCommandLine()
    : languageOption_(
          QStringLiteral("lang"),
          QTr("La lingua del programma: it (italiano) o en (inglese). Senza, quella scelta "
              "dal menu Lingua o, se mai scelta, quella dell'ambiente (LANGUAGE, LC_ALL, "
              "LC_MESSAGES, LANG)."),
          QTr("lingua")) {
    UseParserTexts();
    parser_.setApplicationDescription(
        QTr("Editor della lista canali, dei transponder e dei preferiti nelle immagini flash del "
            "ricevitore satellitare Rivo800."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addOption(languageOption_);
    parser_.addPositionalArgument(
        QStringLiteral("file"),
        QTr("L'immagine da aprire: la finestra di apertura compare con il file già scelto."),
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

// As asksForText, the parse may fail on Qt's options; only --lang's value counts.
std::optional<rivo::Language> EditorCommandLine::languageAsked(const QStringList& args) {
    EditorCommandLine commandLine;
    commandLine.parser_.parse(args);
    if (!commandLine.parser_.isSet(commandLine.languageOption_)) return std::nullopt;
    return rivo::ParseLanguageCode(
        commandLine.parser_.value(commandLine.languageOption_).toStdString());
}

void EditorCommandLine::showText(const QStringList& args) {
    parser_.parse(args);
    if (parser_.isSet(QStringLiteral("version"))) parser_.showVersion();
    parser_.showHelp(0);
}

bool EditorCommandLine::parse(const QStringList& args) {
    file_.clear();
    language_.reset();
    error_.clear();
    if (!parser_.parse(args)) {
        error_ = parser_.errorText();
        return false;
    }
    if (parser_.isSet(languageOption_)) {
        const QString code = parser_.value(languageOption_);
        language_ = rivo::ParseLanguageCode(code.toStdString());
        if (!language_) {
            error_ =
                QTr("Lingua sconosciuta per --lang: \"%1\" (si può scegliere it o en).").arg(code);
            return false;
        }
    }
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        error_ = QTrN("Un solo file alla volta: %1 file indicati.",
                      "Un solo file alla volta: %1 file indicati.", files.size())
                     .arg(files.size());
        return false;
    }
    if (!files.isEmpty()) file_ = files.first();
    return true;
}
