// The editor's language: the "Lingua" menu that keeps the choice for the next start,
// the order in which --lang, that choice and the environment count, and --lang itself.
// The tests run in Italian, with no catalogue loaded.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <optional>

#include "shell/command_line.h"
#include "shell/editor_settings.h"
#include "shell/language_choice.h"
#include "shell/main_window.h"
#include "test_registry.h"

using rivo::Language;
using OptionalLanguage = std::optional<Language>;
Q_DECLARE_METATYPE(OptionalLanguage)

namespace {
constexpr const char* kNextStartMessage =
    "La lingua scelta sarà usata al prossimo avvio del programma.";

void ForgetLanguage() {
    QSettings settings = EditorSettings();
    settings.remove(QLatin1String(kLanguageKey));
}

QString SavedCode() { return EditorSettings().value(QLatin1String(kLanguageKey)).toString(); }
}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetLanguage(); }
    void cleanup() { ForgetLanguage(); }

    // The choice goes to the tests' own settings, never to the user's.
    void settingsStayInTheTestLocation() {
        QVERIFY(QStandardPaths::isTestModeEnabled());
        const QString testConfig =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY2(EditorSettings().fileName().startsWith(testConfig + QLatin1Char('/')),
                 qPrintable(EditorSettings().fileName()));
    }

    void menuOffersBothLanguages() {
        MainWindow window;
        QVERIFY(window.languageMenu);
        QCOMPARE(window.languageMenu->title(), QStringLiteral("&Lingua"));
        QCOMPARE(window.languageMenu->objectName(), QStringLiteral("languageMenu"));
        // Right before the help menu.
        const QList<QAction*> menus = window.menuBar()->actions();
        const qsizetype at = menus.indexOf(window.languageMenu->menuAction());
        QVERIFY(at >= 0 && at + 1 < menus.size());
        QCOMPARE(menus[at + 1], window.helpMenu->menuAction());
        QCOMPARE(window.languageMenu->actions(),
                 QList<QAction*>({window.italianLanguageAction, window.englishLanguageAction}));
        QCOMPARE(window.italianLanguageAction->text(), QStringLiteral("&Italiano"));
        QCOMPARE(window.englishLanguageAction->text(), QStringLiteral("&English"));
        QCOMPARE(window.italianLanguageAction->objectName(),
                 QStringLiteral("italianLanguageAction"));
        QCOMPARE(window.englishLanguageAction->objectName(),
                 QStringLiteral("englishLanguageAction"));
        for (QAction* action : {window.italianLanguageAction, window.englishLanguageAction}) {
            QVERIFY(action->isCheckable());
            QVERIFY(action->isEnabled());
            QVERIFY(action->actionGroup() && action->actionGroup()->isExclusive());
        }
        QCOMPARE(window.italianLanguageAction->actionGroup(),
                 window.englishLanguageAction->actionGroup());
        // The language of this run is the one checked.
        QVERIFY(window.italianLanguageAction->isChecked());
        QVERIFY(!window.englishLanguageAction->isChecked());
    }

    // The other language is kept for the next start and the user is told when it comes;
    // this run's texts stay as they are.
    void choosingTheOtherLanguageKeepsItAndTells() {
        MainWindow window;
        ScriptedPrompts prompts;
        window.setPrompts(&prompts);
        const QString menuTitle = window.languageMenu->title();
        window.englishLanguageAction->trigger();
        QCOMPARE(SavedCode(), QStringLiteral("en"));
        QCOMPARE(SavedLanguage(), OptionalLanguage(Language::English));
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string(kNextStartMessage));
        QCOMPARE(prompts.asked[0].title, std::string("Lingua"));
        QVERIFY(prompts.asked[0].icon == rivo::Icon::Information);
        QVERIFY(prompts.asked[0].buttons == rivo::Buttons::Ok);
        QVERIFY(window.englishLanguageAction->isChecked());
        QVERIFY(!window.italianLanguageAction->isChecked());
        QCOMPARE(window.languageMenu->title(), menuTitle);
        QCOMPARE(rivo::CurrentLanguage(), Language::Italian);

        // A window of a later start finds the choice; taking back the present language
        // keeps it too, with nothing to announce: the next start is as this one.
        MainWindow later;
        QVERIFY(later.italianLanguageAction->isChecked());  // this run still speaks Italian
        prompts.clear();
        window.italianLanguageAction->trigger();
        QCOMPARE(SavedCode(), QStringLiteral("it"));
        QCOMPARE(SavedLanguage(), OptionalLanguage(Language::Italian));
        QVERIFY(prompts.asked.empty());
        QVERIFY(window.italianLanguageAction->isChecked());
        QVERIFY(!window.englishLanguageAction->isChecked());
    }

    void savedLanguage_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<OptionalLanguage>("expected");
        QTest::newRow("none") << QVariant() << OptionalLanguage();
        QTest::newRow("it") << QVariant(QStringLiteral("it"))
                            << OptionalLanguage(Language::Italian);
        QTest::newRow("en") << QVariant(QStringLiteral("en"))
                            << OptionalLanguage(Language::English);
        QTest::newRow("unknown code") << QVariant(QStringLiteral("fr")) << OptionalLanguage();
        QTest::newRow("upper case") << QVariant(QStringLiteral("EN")) << OptionalLanguage();
        QTest::newRow("empty") << QVariant(QString()) << OptionalLanguage();
    }
    void savedLanguage() {
        QFETCH(QVariant, stored);
        QFETCH(OptionalLanguage, expected);
        if (stored.isValid()) {
            QSettings settings = EditorSettings();
            settings.setValue(QLatin1String(kLanguageKey), stored);
        }
        QCOMPARE(SavedLanguage(), expected);
    }

    // --lang first, then the menu's choice, then the environment.
    void chooseLanguage_data() {
        QTest::addColumn<OptionalLanguage>("commandLine");
        QTest::addColumn<OptionalLanguage>("saved");
        QTest::addColumn<Language>("environment");
        QTest::addColumn<Language>("expected");
        const OptionalLanguage none;
        const OptionalLanguage it = Language::Italian;
        const OptionalLanguage en = Language::English;
        QTest::newRow("environment only, en")
            << none << none << Language::English << Language::English;
        QTest::newRow("environment only, it")
            << none << none << Language::Italian << Language::Italian;
        QTest::newRow("saved over environment")
            << none << en << Language::Italian << Language::English;
        QTest::newRow("saved it over environment en")
            << none << it << Language::English << Language::Italian;
        QTest::newRow("--lang over saved") << it << en << Language::English << Language::Italian;
        QTest::newRow("--lang en over all") << en << it << Language::Italian << Language::English;
        QTest::newRow("--lang, nothing saved")
            << en << none << Language::Italian << Language::English;
    }
    void chooseLanguage() {
        QFETCH(OptionalLanguage, commandLine);
        QFETCH(OptionalLanguage, saved);
        QFETCH(Language, environment);
        QFETCH(Language, expected);
        QCOMPARE(ChooseLanguage(commandLine, saved, environment), expected);
    }

    void languageOption_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<OptionalLanguage>("language");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error");
        auto row = [](const char* name, QStringList arguments, bool ok, OptionalLanguage language,
                      const QString& file, const QString& error) {
            arguments.prepend(QStringLiteral("rivo800-editor"));
            QTest::newRow(name) << arguments << ok << language << file << error;
        };
        const OptionalLanguage none;
        row("no --lang", {"a.Bin"}, true, none, "a.Bin", "");
        row("it", {"--lang", "it"}, true, Language::Italian, "", "");
        row("en", {"--lang", "en"}, true, Language::English, "", "");
        row("en with =", {"--lang=en", "a.Bin"}, true, Language::English, "a.Bin", "");
        row("after the file", {"a.Bin", "--lang", "it"}, true, Language::Italian, "a.Bin", "");
        row("the last one counts", {"--lang", "it", "--lang", "en"}, true, Language::English, "",
            "");
        row("unknown language", {"--lang", "fr"}, false, none, "",
            "Lingua sconosciuta per --lang: \"fr\" (si può scegliere it o en).");
        row("a locale is no code", {"--lang=en_GB"}, false, none, "", "\"en_GB\"");
        row("upper case", {"--lang", "IT"}, false, none, "", "\"IT\"");
        row("empty", {"--lang="}, false, none, "", "\"\"");
        row("no value", {"--lang"}, false, none, "", "lang");
    }
    void languageOption() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFETCH(OptionalLanguage, language);
        QFETCH(QString, file);
        QFETCH(QString, error);
        EditorCommandLine commandLine;
        QCOMPARE(commandLine.parse(arguments), ok);
        QCOMPARE(commandLine.language(), language);
        QCOMPARE(commandLine.file(), file);
        if (ok)
            QVERIFY(commandLine.errorText().isEmpty());
        else
            QVERIFY2(commandLine.errorText().contains(error), qPrintable(commandLine.errorText()));
    }

    void parsingAgainForgetsTheLastLanguage() {
        EditorCommandLine commandLine;
        QVERIFY(commandLine.parse({"rivo800-editor", "--lang", "en"}));
        QVERIFY(commandLine.parse({"rivo800-editor"}));
        QCOMPARE(commandLine.language(), OptionalLanguage());
    }

    // Read before the application exists, with Qt's own options still there; a wrong
    // value chooses nothing (the full parse reports it).
    void languageAsked_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<OptionalLanguage>("language");
        auto row = [](const char* name, QStringList arguments, OptionalLanguage language) {
            arguments.prepend(QStringLiteral("rivo800-editor"));
            QTest::newRow(name) << arguments << language;
        };
        row("nothing", {}, OptionalLanguage());
        row("a file", {"a.Bin"}, OptionalLanguage());
        row("en", {"--lang", "en", "a.Bin"}, Language::English);
        row("it with =", {"--lang=it"}, Language::Italian);
        row("after Qt options", {"-platform", "offscreen", "--lang", "en"}, Language::English);
        row("with --help", {"--help", "--lang=en"}, Language::English);
        row("unknown", {"--lang", "de"}, OptionalLanguage());
        row("a file named --lang", {"--", "--lang", "en"}, OptionalLanguage());
    }
    void languageAsked() {
        QFETCH(QStringList, arguments);
        QFETCH(OptionalLanguage, language);
        QCOMPARE(EditorCommandLine::languageAsked(arguments), language);
    }

    void helpNamesTheOption() {
        EditorCommandLine commandLine;
        const QString help = commandLine.parser().helpText();
        for (const char* word : {"--lang <lingua>", "it (italiano)", "en (inglese)", "Lingua"})
            QVERIFY2(help.contains(QString::fromUtf8(word)), word);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new LanguageTest; });

#include "test_language.moc"
