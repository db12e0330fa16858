// "Apri recenti" and the open dialog's start values, driven through the menus and the
// real open dialog: the order and cap of the list, a file that is gone, the parameters
// a file comes back with (at once, or in the pre-filled dialog with "Valori
// predefiniti"), a saved file taking its new name, and damaged settings.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "dialogs/open_dialog.h"
#include "shell/editor_settings.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/recent_files.h"
#include "shell/recent_files_controller.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// The menu's items as a user reads them, after it was opened.
QStringList ItemTexts(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator()
                      ? QStringLiteral("---")
                      : action->text() +
                            (action->isEnabled() ? QString() : QStringLiteral(" (off)")));
    return texts;
}

QAction* Item(QMenu* menu, const QString& text) {
    emit menu->aboutToShow();
    for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
}

RecentFile Entry(const QString& path, std::int32_t low) {
    RecentFile file;
    file.path = path;
    file.params.lnbLow = low;
    return file;
}

}  // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShellFolder> folder;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    Bytes image;

    void newWindow() {
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
    }
    QString statusText() const { return window->statusMessage->text(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        image = BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 12, 4));
    }
    void init() {
        EditorSettings().remove(QStringLiteral("recentFiles"));
        prompts.clear();
        newWindow();
    }
    void cleanup() {
        window.reset();
        QCOMPARE(prompts.unexpected, 0);
    }

    // Twelve files opened: the ten newest show, newest first, numbered for the keys,
    // with their folders as tips; a file that is gone is shown disabled.
    void newestTenShowAndAGoneFileIsDisabled() {
        QStringList paths;
        for (int i = 1; i <= 12; ++i)
            paths << folder->write("L" + std::to_string(i) + ".Bin", image);
        for (const QString& path : paths) QVERIFY(OpenThroughDialog(*window, path));
        // Opening the third again makes it the newest, not a second entry.
        QVERIFY(OpenAgain(*window, prompts, paths[2]));
        QVERIFY(QFile::remove(paths[11]));
        const QStringList expected{
            "&1 L3.Bin", "&2 L12.Bin (off)", "&3 L11.Bin", "&4 L10.Bin",
            "&5 L9.Bin", "&6 L8.Bin",        "&7 L7.Bin",  "&8 L6.Bin",
            "&9 L5.Bin", "&0 L4.Bin",        "---",        "Svuota l'elenco"};
        QCOMPARE(ItemTexts(window->recentFiles->recentMenu), expected);
        QCOMPARE(window->recentFiles->recentMenu->actions().first()->toolTip(), folder->root());
        // The same files in the second menu, without the clearing item.
        QCOMPARE(ItemTexts(window->recentFiles->recentWithParamsMenu).size(), 10);
        // "Svuota l'elenco" empties it.
        Item(window->recentFiles->recentMenu, QStringLiteral("Svuota l'elenco"))->trigger();
        QCOMPARE(ItemTexts(window->recentFiles->recentMenu),
                 (QStringList{"(nessun file) (off)", "---", "Svuota l'elenco (off)"}));
    }

    // The store keeps 50 files' parameters: the 50th stays, the 51st drops the oldest.
    void fiftyFilesAreKept() {
        RecentFiles list;
        for (int i = 1; i <= 50; ++i) list.remember(Entry(QStringLiteral("/a/F%1.Bin").arg(i), i));
        QCOMPARE(static_cast<int>(list.files().size()), 50);
        QCOMPARE(list.files().back().path, QStringLiteral("/a/F1.Bin"));
        list.remember(Entry(QStringLiteral("/a/F51.Bin"), 51));
        QCOMPARE(static_cast<int>(list.files().size()), 50);
        QCOMPARE(list.files().front().path, QStringLiteral("/a/F51.Bin"));
        QCOMPARE(list.files().back().path, QStringLiteral("/a/F2.Bin"));
        QVERIFY(!list.find(QStringLiteral("/a/F1.Bin")));
        // Another spelling of a path is the same entry.
        list.remember(Entry(QStringLiteral("/a/b/../F30.Bin"), 300));
        QCOMPARE(static_cast<int>(list.files().size()), 50);
        QCOMPARE(list.files().front().params.lnbLow, 300);
        QCOMPARE(list.lastFolder, QStringLiteral("/a"));
    }

    // A file comes back the next day with the parameters it was opened with: at once
    // from "Apri recenti", in the pre-filled dialog from the second menu.
    void parametersComeBack() {
        const QString first = folder->write("Ieri.Bin", image);
        const QString second = folder->write("Altro.Bin", image);
        QVERIFY(OpenThroughDialog(*window, first, [](OpenDialog& dialog) {
            dialog.lnbLowEdit->setText(QStringLiteral("9000"));
            dialog.lnbHighEdit->setText(QStringLiteral("10750"));
            dialog.satelliteACombo->setEditText(QStringLiteral("Eutelsat"));
            dialog.satelliteBCombo->setCurrentIndex(2);     // Thor
            dialog.symbolRateSetCombo->setCurrentIndex(2);  // Ridotto
        }));
        // The dialog starts with the first file's values: "Valori predefiniti" first.
        QVERIFY(OpenThroughDialog(*window, second, [](OpenDialog& dialog) {
            dialog.defaultsButton->click();
            dialog.lnbLowEdit->setText(QStringLiteral("9300"));
        }));

        newWindow();
        bool dialogShown = false;
        window->runOpenDialog = [&](OpenDialog&) { return dialogShown = true, false; };
        Item(window->recentFiles->recentMenu, QStringLiteral("&2 Ieri.Bin"))->trigger();
        QVERIFY(!dialogShown);
        QCOMPARE(window->pageCount(), 1);
        const ListPage& page = window->pageView(0)->page();
        QCOMPARE(page.lnbLow, 9000);
        QCOMPARE(page.lnbHigh, 10750);
        QCOMPARE(page.satelliteA, std::string("Eutelsat"));
        QCOMPARE(page.satelliteB, std::string("Thor"));
        const std::array<std::int32_t, 16> ridotto{27500, 22000, 1000, 0,   104, 105, 106, 107,
                                                   108,   109,   110,  111, 0,   113, 114, 115};
        QCOMPARE(page.symbolRates, ridotto);
        // Opened, it is the newest now.
        QCOMPARE(ItemTexts(window->recentFiles->recentMenu).first(), QStringLiteral("&1 Ieri.Bin"));

        // The second menu shows the dialog with the file and its values; "Valori
        // predefiniti" brings back the start values and keeps the file.
        struct Shown {
            QString file, low, high, a, b, set, rate2;
        } before, after;
        const auto read = [](OpenDialog& dialog) {
            return Shown{dialog.fileEdit->text(),
                         dialog.lnbLowEdit->text(),
                         dialog.lnbHighEdit->text(),
                         dialog.satelliteACombo->currentText(),
                         dialog.satelliteBCombo->currentText(),
                         dialog.symbolRateSetCombo->currentText(),
                         dialog.symbolRateTable->item(2, 1)->text()};
        };
        window->runOpenDialog = [&](OpenDialog& dialog) {
            before = read(dialog);
            dialog.defaultsButton->click();
            after = read(dialog);
            return false;
        };
        Item(window->recentFiles->recentWithParamsMenu, QStringLiteral("&2 Altro.Bin"))->trigger();
        QCOMPARE(before.file, second);
        QCOMPARE(before.low, QStringLiteral("9300"));
        QCOMPARE(before.set, QStringLiteral("Fixture"));
        Item(window->recentFiles->recentWithParamsMenu, QStringLiteral("&1 Ieri.Bin"))->trigger();
        QCOMPARE(before.file, first);
        QCOMPARE(before.low, QStringLiteral("9000"));
        QCOMPARE(before.high, QStringLiteral("10750"));
        QCOMPARE(before.a, QStringLiteral("Eutelsat"));
        QCOMPARE(before.b, QStringLiteral("Thor"));
        QCOMPARE(before.set, QStringLiteral("Ridotto"));
        QCOMPARE(before.rate2, QStringLiteral("1000"));
        QCOMPARE(after.file, first);
        QCOMPARE(after.low, QStringLiteral("9750"));
        QCOMPARE(after.high, QStringLiteral("10600"));
        QCOMPARE(after.a, QStringLiteral("HotBird"));
        QCOMPARE(after.b, QStringLiteral("Astra"));
        QCOMPARE(after.set, QStringLiteral("Fixture"));
        QCOMPARE(after.rate2, QStringLiteral("29900"));

        // "Apri": the last values used for any file, in the last folder; a file chosen
        // with "Sfoglia" brings its own.
        QString startFolder;
        window->runOpenDialog = [&](OpenDialog& dialog) {
            before = read(dialog);
            startFolder = dialog.startFolder;
            dialog.chooseFile = [&](QWidget*, const QString&) { return second; };
            dialog.browseButton->click();
            after = read(dialog);
            return false;
        };
        window->openAction->trigger();
        QCOMPARE(before.file, QString());
        QCOMPARE(before.low, QStringLiteral("9000"));
        QCOMPARE(before.a, QStringLiteral("Eutelsat"));
        QCOMPARE(startFolder, folder->root());
        QCOMPARE(after.file, second);
        QCOMPARE(after.low, QStringLiteral("9300"));
        QCOMPARE(after.a, QStringLiteral("HotBird"));
    }

    // A page saved under another name is the newest file, with the page's parameters.
    void savedFileTakesItsNewName() {
        const QString original = folder->write("Prima.Bin", image);
        const QString saved = folder->path("Dopo.Bin");
        QVERIFY(OpenThroughDialog(*window, original, [](OpenDialog& dialog) {
            dialog.lnbLowEdit->setText(QStringLiteral("9100"));
        }));
        window->chooseSaveFile = [&](const QString&) { return saved; };
        window->saveAction->setEnabled(true);
        window->saveFile();
        QCOMPARE(ItemTexts(window->recentFiles->recentMenu).mid(0, 2),
                 (QStringList{"&1 Dopo.Bin", "&2 Prima.Bin"}));
        const RecentFile* entry = window->recentFiles->readList().find(saved);
        QVERIFY(entry);
        QCOMPARE(entry->params.lnbLow, 9100);
        QCOMPARE(entry->symbolRateSet, QStringLiteral("Fixture"));
    }

    // A file removed after the menu was filled: choosing it says so and drops it.
    void goneFileChosenLeavesTheList() {
        const QString path = folder->write("Sparito.Bin", image);
        QVERIFY(OpenThroughDialog(*window, path));
        newWindow();
        QAction* item = Item(window->recentFiles->recentMenu, QStringLiteral("&1 Sparito.Bin"));
        QVERIFY(item && item->isEnabled());
        QVERIFY(QFile::remove(path));
        item->trigger();
        QCOMPARE(window->pageCount(), 0);
        QCOMPARE(statusText(),
                 QStringLiteral("Il file %1 non esiste più: tolto dai file recenti").arg(path));
        QCOMPARE(ItemTexts(window->recentFiles->recentMenu).first(),
                 QStringLiteral("(nessun file) (off)"));
    }

    // Damaged settings: what cannot be read is left out, said once in the status bar,
    // and the editor goes on.
    void damagedSettingsAreIgnored_data() {
        QTest::addColumn<QVariant>("entries");
        QTest::addColumn<QStringList>("shown");
        const QString good = QStringLiteral(
            R"({"path":"%1","lnbLow":9000,"lnbHigh":10600,"satelliteA":"A","satelliteB":"B","symbolRates":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]})");
        const QString none = QStringLiteral("(nessun file) (off)");
        QTest::newRow("not JSON") << QVariant(QStringLiteral("[{\"path\":")) << QStringList{none};
        QTest::newRow("not a list")
            << QVariant(QStringLiteral("{\"path\":\"x\"}")) << QStringList{none};
        QTest::newRow("a number") << QVariant(42) << QStringList{none};
        QTest::newRow("one entry of two damaged")
            << QVariant(QStringLiteral("[%1,%2]").arg(
                   good.arg(QStringLiteral("/tmp/Buono.Bin")),
                   QStringLiteral(R"({"path":"/tmp/Rotto.Bin","lnbLow":"x"})")))
            << QStringList{QStringLiteral("&1 Buono.Bin (off)")};
        QTest::newRow("fifteen rates")
            << QVariant(QStringLiteral("[%1]").arg(
                   good.arg(QStringLiteral("/tmp/Corto.Bin"))
                       .replace(QStringLiteral("[0,0,"), QStringLiteral("[0,"))))
            << QStringList{none};
        QTest::newRow("LNB beyond 32 bits")
            << QVariant(QStringLiteral("[%1]").arg(
                   good.arg(QStringLiteral("/tmp/Grande.Bin"))
                       .replace(QStringLiteral("9000"), QStringLiteral("4294967296"))))
            << QStringList{none};
    }
    void damagedSettingsAreIgnored() {
        QFETCH(QVariant, entries);
        QFETCH(QStringList, shown);
        EditorSettings().setValue(QStringLiteral("recentFiles/entries"), entries);
        newWindow();
        QCOMPARE(ItemTexts(window->recentFiles->recentWithParamsMenu), shown);
        QCOMPARE(
            statusText(),
            QStringLiteral(
                "L'elenco dei file recenti era danneggiato: le voci illeggibili sono state tolte"));
        // Written back without the damage: the next look says nothing.
        window->statusMessage->clear();
        QCOMPARE(ItemTexts(window->recentFiles->recentWithParamsMenu), shown);
        QCOMPARE(statusText(), QString());
        // And opening still works, and is remembered.
        const QString path = folder->write("Dopo il danno.Bin", image);
        QVERIFY(OpenThroughDialog(*window, path));
        QCOMPARE(ItemTexts(window->recentFiles->recentWithParamsMenu).first(),
                 QStringLiteral("&1 Dopo il danno.Bin"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new RecentFilesTest; });

#include "test_recent_files.moc"
