// Start-up: the editor's command line (a file to open, --help, --version) and Qt's own
// Italian texts in the dialogs Qt draws itself.
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/qt_translation.h"
#include "test_registry.h"
#include "text/language.h"

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error");
        auto row = [](const char* name, QStringList arguments, bool ok, const QString& file,
                      const QString& error) {
            arguments.prepend(QStringLiteral("rivo800-editor"));
            QTest::newRow(name) << arguments << ok << file << error;
        };
        row("no file", {}, true, "", "");
        row("absolute file", {"/data/Rivo.Bin"}, true, "/data/Rivo.Bin", "");
        row("relative file", {"canali.Rcu"}, true, "canali.Rcu", "");
        row("spaces and accents", {"Lista è nuova.Dat"}, true, "Lista è nuova.Dat", "");
        row("dash after --", {"--", "-vecchio.Bin"}, true, "-vecchio.Bin", "");
        row("two files", {"a.Bin", "b.Bin"}, false, "",
            "Un solo file alla volta: 2 file indicati.");
        row("unknown option", {"--bogus", "a.Bin"}, false, "", "bogus");
        row("unknown short option", {"-x"}, false, "", "'x'");
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFETCH(QString, file);
        QFETCH(QString, error);
        EditorCommandLine commandLine;
        QCOMPARE(commandLine.parse(arguments), ok);
        QCOMPARE(commandLine.file(), file);
        if (ok) {
            QVERIFY(commandLine.errorText().isEmpty());
        } else {
            QVERIFY2(commandLine.errorText().contains(error), qPrintable(commandLine.errorText()));
        }
    }

    void parsingAgainForgetsTheLastFile() {
        EditorCommandLine commandLine;
        QVERIFY(commandLine.parse({"rivo800-editor", "a.Bin"}));
        QVERIFY(!commandLine.parse({"rivo800-editor", "a.Bin", "b.Bin"}));
        QCOMPARE(commandLine.file(), QString());
        QVERIFY(commandLine.parse({"rivo800-editor"}));
        QCOMPARE(commandLine.file(), QString());
        QVERIFY(commandLine.errorText().isEmpty());
    }

    // Before the application exists, Qt's own options are still among the arguments.
    void asksForText_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("text");
        auto row = [](const char* name, QStringList arguments, bool text) {
            arguments.prepend(QStringLiteral("rivo800-editor"));
            QTest::newRow(name) << arguments << text;
        };
        row("nothing", {}, false);
        row("a file", {"a.Bin"}, false);
        row("Qt option and file", {"-platform", "offscreen", "a.Bin"}, false);
        row("--help", {"--help"}, true);
        row("-h", {"-h"}, true);
        row("--version", {"--version"}, true);
        row("-v", {"-v"}, true);
        row("after a file", {"a.Bin", "--version"}, true);
        row("after Qt options", {"-platform", "offscreen", "-style", "fusion", "--help"}, true);
        row("a file named --version", {"--", "--version"}, false);
        row("--help-all needs the application", {"--help-all"}, false);
    }
    void asksForText() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, text);
        QCOMPARE(EditorCommandLine::asksForText(arguments), text);
    }

    void helpListsTheArguments() {
        EditorCommandLine commandLine;
        const QString help = commandLine.parser().helpText();
        for (const char* word : {"[file]", "--help", "--version", "--help-all", "Rivo800"})
            QVERIFY2(help.contains(QLatin1String(word)), word);
    }

    // The help's own lines, the parser's included, in the language of the run: never
    // Qt's English in an Italian help, nor Qt's words in either.
    void helpSpeaksTheProgramsLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Italian") << false
                                 << QStringList{
                                        "Uso: ",
                                        "Opzioni:",
                                        "Argomenti:",
                                        "Mostra questo aiuto sulle opzioni della riga di comando.",
                                        "Mostra l'aiuto con anche le opzioni proprie di Qt.",
                                        "Mostra la versione del programma."};
        QTest::newRow("English") << true
                                 << QStringList{"Usage: ",
                                                "Options:",
                                                "Arguments:",
                                                "Show this help on the command-line options.",
                                                "Show the help with Qt's own options too.",
                                                "Show the program's version."};
    }
    void helpSpeaksTheProgramsLanguage() {
        QFETCH(bool, english);
        QFETCH(QStringList, lines);
        const auto italianAgain =
            qScopeGuard([] { rivo::UseLanguage(rivo::Language::Italian, {}, nullptr); });
        if (english) {
            std::string error;
            QVERIFY2(rivo::UseLanguage(rivo::Language::English, {RIVO_CATALOGUE_DIR}, &error),
                     error.c_str());
        }
        EditorCommandLine commandLine;
        const QString help = commandLine.parser().helpText();
        for (const QString& line : lines)
            QVERIFY2(help.contains(line), qPrintable(line + QStringLiteral("\n") + help));
        QVERIFY2(!help.contains(QStringLiteral("Displays")), qPrintable(help));
    }

    void noCatalogueNoTranslator() {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        QVERIFY(LoadQtItalian(empty.path()) == nullptr);
        // A file of that name that is not a catalogue is refused too.
        QFile bogus(empty.filePath(QStringLiteral("qtbase_it.qm")));
        QVERIFY(bogus.open(QIODevice::WriteOnly));
        bogus.write("not a catalogue");
        bogus.close();
        QVERIFY(LoadQtItalian(empty.path()) == nullptr);
    }

    // The texts that Qt draws itself: standard buttons, and the file chooser the save
    // command shows.
    void qtTextsAreItalian() {
        const QString dir = QtTranslationsDir();
        if (!QFile::exists(dir + QStringLiteral("/qtbase_it.qm")))
            QSKIP(
                qPrintable(QStringLiteral("No Qt Italian catalogue (%1/qtbase_it.qm): install the "
                                          "Debian package qt6-translations-l10n to run this test")
                               .arg(dir)));
        const auto italian = LoadQtItalian();
        QVERIFY(italian != nullptr);
        QVERIFY(QCoreApplication::installTranslator(italian.get()));

        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                 QDialogButtonBox::Save | QDialogButtonBox::Close |
                                 QDialogButtonBox::Yes | QDialogButtonBox::No);
        const QList<QPair<QDialogButtonBox::StandardButton, QString>> expected = {
            {QDialogButtonBox::Cancel, QStringLiteral("Annulla")},
            {QDialogButtonBox::Save, QStringLiteral("Salva")},
            {QDialogButtonBox::Close, QStringLiteral("Chiudi")},
            {QDialogButtonBox::Yes, QStringLiteral("Sì")},
            {QDialogButtonBox::No, QStringLiteral("No")},
        };
        for (const auto& [button, text] : expected)
            QCOMPARE(buttons.button(button)->text().remove(QLatin1Char('&')), text);

        QFileDialog chooser;
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        MainWindow::configureSaveDialog(chooser);
        auto* label = chooser.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
        QVERIFY(label != nullptr);
        QCOMPARE(label->text().remove(QLatin1Char('&')), QStringLiteral("Nome del file:"));
        auto* box = chooser.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QVERIFY(box != nullptr);
        QStringList boxTexts;
        for (QAbstractButton* button : box->buttons())
            boxTexts << button->text().remove(QLatin1Char('&'));
        boxTexts.sort();
        QCOMPARE(boxTexts, QStringList({QStringLiteral("Annulla"), QStringLiteral("Salva")}));

        QVERIFY(QCoreApplication::removeTranslator(italian.get()));
        // Gone with the translator: the texts above came from the catalogue, and the
        // other tests see Qt's texts as before.
        QDialogButtonBox english(QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new StartupTest; });

#include "test_startup.moc"
