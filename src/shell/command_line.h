// The editor's command line: `rivo800-editor [--lang it|en] [file]`, with --help and
// --version.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

#include "text/language.h"

// Qt translates the option descriptions when they are added, and the editor's own
// texts follow the language chosen at start-up: build this after both.
class EditorCommandLine {
public:
    EditorCommandLine();

    // True when args (program name first, Qt's own options possibly still among them)
    // ask for --help or --version: the answer is text on the terminal, so neither a
    // window nor a display is needed for it.
    static bool asksForText(const QStringList& args);
    // The language that --lang asks for among args, read before the application exists
    // (Qt's own options may still be there): nothing when it is absent or not one of
    // ours; parse() then reports the wrong value.
    static std::optional<rivo::Language> languageAsked(const QStringList& args);
    // Prints the help or version text that args ask for, and ends the program (status 0).
    [[noreturn]] void showText(const QStringList& args);

    // Reads the arguments that remain once Qt has taken its own options. False, with
    // errorText(), for an unknown option, a language other than it or en, or more than
    // one file.
    bool parse(const QStringList& args);
    QString file() const { return file_; }  // empty when none was given
    std::optional<rivo::Language> language() const { return language_; }  // from --lang
    QString errorText() const { return error_; }

    // Once the application exists, process(app) lets Qt answer what it answers itself:
    // --help-all, and its own messages for wrong options.
    QCommandLineParser& parser() { return parser_; }

private:
    QCommandLineParser parser_;
    QCommandLineOption languageOption_;
    QString file_;
    std::optional<rivo::Language> language_;
    QString error_;
};
