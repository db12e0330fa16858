// The editor's command line: `rivo800-editor [file]`, with --help and --version.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// Qt translates the option descriptions when they are added: build this after the
// translator is installed.
class EditorCommandLine {
public:
    EditorCommandLine();

    // True when args (program name first, Qt's own options possibly still among them)
    // ask for --help or --version: the answer is text on the terminal, so neither a
    // window nor a display is needed for it.
    static bool asksForText(const QStringList& args);
    // Prints the help or version text that args ask for, and ends the program (status 0).
    [[noreturn]] void showText(const QStringList& args);

    // Reads the arguments that remain once Qt has taken its own options. False, with
    // errorText(), for an unknown option or more than one file.
    bool parse(const QStringList& args);
    QString file() const { return file_; }  // empty when none was given
    QString errorText() const { return error_; }

    // Once the application exists, process(app) lets Qt answer what it answers itself:
    // --help-all, and its own messages for wrong options.
    QCommandLineParser& parser() { return parser_; }

private:
    QCommandLineParser parser_;
    QString file_;
    QString error_;
};
