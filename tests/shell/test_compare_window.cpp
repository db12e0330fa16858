// The compare window opened from the "File" menu: on two open pages and on the page's
// backup; its tabs with their counts, the double-click that selects a channel in the
// page, "Riprendi i rimossi" as one undo step, and the tabs following the edit and its
// undo.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "editing/compare.h"
#include "shell/compare_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"
#include "text/language.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

std::vector<std::string> Names(const ListPage& page, int first, int last) {
    std::vector<std::string> out;
    for (int r = first; r <= last; ++r) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

// The list before: "Canale 1" .. "Canale 12", in no favourites list (the fixture's
// lists name channels by row, which the rows removed below would shift).
ChannelImageSpec BeforeSpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 12, 4);
    spec.favourites = {};
    return spec;
}

// After: "Nuovo" first, "Canale 2" renamed "Due", "Canale 4" and "Canale 8" gone.
ChannelImageSpec AfterSpec() {
    ChannelImageSpec spec = BeforeSpec();
    spec.channels[1].name = "Due";
    spec.channels.erase(spec.channels.begin() + 7);
    spec.channels.erase(spec.channels.begin() + 3);
    ChannelSpec added;
    added.name = "Nuovo";
    added.sid = 999;
    spec.channels.insert(spec.channels.begin(), added);
    return spec;
}

QStringList TabTexts(const CompareWindow& compare) {
    QStringList texts;
    for (int i = 0; i < compare.tabs->count(); ++i) texts << compare.tabs->tabText(i);
    return texts;
}

constexpr int kRemovedTab = 1;
constexpr int kRenamedTab = 3;
constexpr int kFavouritesTab = 5;

}  // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString beforePath, afterPath;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        beforePath = folder->write("Prima.Bin", BuildChannelImage(BeforeSpec()));
        afterPath = folder->write("Dopo.Bin", BuildChannelImage(AfterSpec()));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
        QFile::remove(afterPath + QStringLiteral(".bak"));
    }

    void comparesTwoOpenPagesAndTakesRemovedBackInOneUndoStep() {
        QVERIFY(OpenThroughDialog(*window, beforePath));
        QVERIFY(OpenThroughDialog(*window, afterPath));
        PageView* after = window->activePage();
        QCOMPARE(after, window->pageView(1));
        QVERIFY(window->fileMenu->actions().contains(window->compareAction));
        QVERIFY(window->fileMenu->actions().contains(window->compareBackupAction));
        QVERIFY(window->compareAction->isEnabled());
        QVERIFY(!window->compareBackupAction->isEnabled());  // no Dopo.Bin.bak

        QStringList offered;
        window->chooseCompareSource = [&](const QStringList& choices) {
            offered = choices;
            return 0;
        };
        window->chooseCompareFile = [] { return QString(); };
        window->compareAction->trigger();
        QCOMPARE(offered, (QStringList{QStringLiteral("Prima.Bin"), QStringLiteral("Un file...")}));
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        QVERIFY(compare->isVisible());
        QCOMPARE(compare->windowModality(), Qt::NonModal);
        QCOMPARE(compare->newView(), after);
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        // Inserting "Nuovo" at the top moves nothing else.
        QCOMPARE(TabTexts(*compare),
                 (QStringList{QStringLiteral("Nuovi (1)"), QStringLiteral("Rimossi (2)"),
                              QStringLiteral("Spostati (0)"), QStringLiteral("Rinominati (1)"),
                              QStringLiteral("Sintonia cambiata (0)"),
                              QStringLiteral("Preferiti cambiati (0)")}));
        QTableView* removed = compare->tables[kRemovedTab];
        QCOMPARE(removed->model()->rowCount(), 2);
        QCOMPARE(removed->model()->index(0, 0).data().toString(), QStringLiteral("4"));
        QCOMPARE(removed->model()->index(1, 2).data().toString(), QStringLiteral("Canale 8"));
        QCOMPARE(removed->model()->index(1, 1).data().toString(),
                 QString());  // not in the newer list
        QCOMPARE(compare->tables[kRenamedTab]->model()->index(0, 5).data().toString(),
                 QStringLiteral("prima \"Canale 2\""));

        // Double-click on the renamed channel selects it in the page.
        compare->tabs->setCurrentIndex(kRenamedTab);
        QTableView* renamed = compare->tables[kRenamedTab];
        QTest::qWait(0);  // the tab's table laid out
        const QRect cell = renamed->visualRect(renamed->model()->index(0, 2));
        QVERIFY(!cell.isEmpty());
        QSignalSpy doubleClicks(renamed, &QTableView::doubleClicked);
        QTest::mouseClick(renamed->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(renamed->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(doubleClicks.count(), 1);
        QCOMPARE(after->selectedChannelRows(), std::make_pair(3, 3));

        // Nothing chosen, nothing to take back.
        compare->tabs->setCurrentIndex(kRemovedTab);
        QVERIFY(!compare->takeRemovedButton->isEnabled());
        removed->selectAll();
        QVERIFY(compare->takeRemovedButton->isEnabled());
        const Grid channelsBefore = after->page().channelGrid;
        const Grid transpondersBefore = after->page().transponderGrid;
        QTest::mouseClick(compare->takeRemovedButton, Qt::LeftButton);
        QVERIFY(prompts.asked.empty());  // the paste asks nothing: the rows at the end are empty
        QCOMPARE(Names(after->page(), 1, 14),
                 (std::vector<std::string>{"Nuovo", "Canale 1", "Due", "Canale 3", "Canale 5",
                                           "Canale 6", "Canale 7", "Canale 9", "Canale 10",
                                           "Canale 11", "Canale 12", "Canale 4", "Canale 8", ""}));
        QCOMPARE(after->selectedChannelRows(), std::make_pair(12, 13));
        QVERIFY(after->page().modified);
        // The window followed the edit.
        QCOMPARE(compare->tabs->tabText(kRemovedTab), QStringLiteral("Rimossi (0)"));
        QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Riprendi i rimossi"));

        // Ctrl+Z, pressed in the compare window, takes the whole step back, and the
        // window follows again.
        compare->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(compare));
        QTest::keyClick(compare, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(after->page().channelGrid == channelsBefore);
        QVERIFY(after->page().transponderGrid == transpondersBefore);
        QVERIFY(!after->page().modified);
        QCOMPARE(compare->tabs->tabText(kRemovedTab), QStringLiteral("Rimossi (2)"));

        // Closing the older page leaves the window without a list to compare with.
        window->pageTabs->setCurrentIndex(0);
        prompts.answers = {Answer::Yes};  // "Vuoi chiudere il file Prima.Bin?"
        window->closePageAction->trigger();
        QCOMPARE(window->pageCount(), 1);
        QVERIFY(!compare->refreshButton->isEnabled());
        QCOMPARE(compare->tables[kRemovedTab]->model()->rowCount(), 0);
    }

    // A page read again from its file ("Ripristina la versione salvata", or "Ricarica"
    // on the changed-on-disk bar) is the same list: the window compares with the fresh
    // page, whichever of the two it is, and its counts are those of its tables.
    void followsAPageReadAgain_data() {
        QTest::addColumn<bool>("newerPage");
        QTest::addColumn<bool>("reloadButton");
        QTest::newRow("newer, revert") << true << false;
        QTest::newRow("newer, Ricarica") << true << true;
        QTest::newRow("older, revert") << false << false;
        QTest::newRow("older, Ricarica") << false << true;
    }
    void followsAPageReadAgain() {
        QFETCH(bool, newerPage);
        QFETCH(bool, reloadButton);
        const QString before = folder->write("Prima2.Bin", BuildChannelImage(BeforeSpec()));
        const QString after = folder->write("Dopo2.Bin", BuildChannelImage(AfterSpec()));
        QVERIFY(OpenThroughDialog(*window, before));
        QVERIFY(OpenThroughDialog(*window, after));
        window->chooseCompareSource = [](const QStringList&) { return 0; };
        window->compareAction->trigger();
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        QCOMPARE(compare->tabs->tabText(kRemovedTab), QStringLiteral("Rimossi (2)"));

        // The file now holds the other list: the fresh page shows that no channel was
        // removed or renamed any more.
        const int index = newerPage ? 1 : 0;
        QVERIFY(QFile::remove(newerPage ? after : before));
        folder->write(newerPage ? "Dopo2.Bin" : "Prima2.Bin",
                      BuildChannelImage(newerPage ? BeforeSpec() : AfterSpec()));
        window->pageTabs->setCurrentIndex(index);
        if (reloadButton)
            window->pageView(index)->reloadButton->click();
        else
            window->revertAction->trigger();
        QCOMPARE(window->pageCount(), 2);
        PageView* fresh = window->pageView(index);
        QCOMPARE(window->compareWindow(), compare);
        QCOMPARE(compare->newView(), window->pageView(1));
        QVERIFY(compare->oldPage() == &window->pageView(0)->page());
        QVERIFY(compare->refreshButton->isEnabled());
        QVERIFY(!compare->summary->text().contains(QStringLiteral("chiusa")));
        QCOMPARE(fresh->page().channelGrid.cell(2, ch::Name),
                 std::string(newerPage ? "Canale 2" : "Canale 1"));
        QCOMPARE(TabTexts(*compare),
                 (QStringList{QStringLiteral("Nuovi (0)"), QStringLiteral("Rimossi (0)"),
                              QStringLiteral("Spostati (0)"), QStringLiteral("Rinominati (0)"),
                              QStringLiteral("Sintonia cambiata (0)"),
                              QStringLiteral("Preferiti cambiati (0)")}));
        for (QTableView* table : compare->tables) QCOMPARE(table->model()->rowCount(), 0);

        // An edit of the fresh page is followed too.
        window->pageTabs->setCurrentIndex(1);
        SelectChannels(*window->pageView(1), 1, 1);
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(compare->tabs->tabText(kRemovedTab), QStringLiteral("Rimossi (1)"));
        QCOMPARE(compare->tables[kRemovedTab]->model()->rowCount(), 1);

        // A list really closed: the counts go with the tables.
        window->pageTabs->setCurrentIndex(0);
        prompts.answers = {Answer::Yes};
        window->closePageAction->trigger();
        QCOMPARE(window->pageCount(), 1);
        QVERIFY(!compare->refreshButton->isEnabled());
        QCOMPARE(TabTexts(*compare),
                 (QStringList{QStringLiteral("Nuovi"), QStringLiteral("Rimossi"),
                              QStringLiteral("Spostati"), QStringLiteral("Rinominati"),
                              QStringLiteral("Sintonia cambiata"),
                              QStringLiteral("Preferiti cambiati")}));
        for (QTableView* table : compare->tables) QCOMPARE(table->model()->rowCount(), 0);
        prompts.asked.clear();
    }

    // The window opens in front of the main window, with the keys, on the screen:
    // where the screen has no room beside the main window, as far right as it fits.
    void opensInFrontAndWhollyOnTheScreen() {
        window->move(0, 100);
        QTRY_COMPARE(window->frameGeometry().top(), 100);
        QVERIFY(OpenThroughDialog(*window, afterPath));
        window->chooseCompareSource = [](const QStringList& choices) {
            return int(choices.size()) - 1;
        };
        window->chooseCompareFile = [&] { return beforePath; };
        window->compareAction->trigger();
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        QTRY_VERIFY(compare->isActiveWindow());
        const QRect available = compare->screen()->availableGeometry();
        const QRect frame = compare->frameGeometry();
        QVERIFY(available.contains(frame));
        QVERIFY(window->frameGeometry().right() + frame.width() >
                available.right());  // no room beside
        QCOMPARE(frame.right(), available.right());
        QCOMPARE(frame.top(), 100);
    }

    // The chooser of "Confronta con..." is wide enough for its title beside the title
    // bar's buttons (140 pixels), so that the title is not cut.
    void chooserShowsItsTitleWhole() {
        QVERIFY(OpenThroughDialog(*window, beforePath));
        QVERIFY(OpenThroughDialog(*window, afterPath));
        QString title;
        QStringList items;
        int width = 0;
        int needed = 0;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            title = dialog->windowTitle();
            items = dialog->comboBoxItems();
            width = dialog->width();
            QFont bold = dialog->font();
            bold.setBold(true);
            needed = QFontMetrics(bold).horizontalAdvance(title) + 140;
            dialog->reject();
        });
        window->compareAction->trigger();
        QCOMPARE(title, QStringLiteral("Confronta con..."));
        QCOMPARE(items, (QStringList{QStringLiteral("Prima.Bin"), QStringLiteral("Un file...")}));
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
        QVERIFY(!window->compareWindow());  // Annulla compares nothing
    }

    // The window opens on the first class that has channels, not on an empty "Nuovi".
    void opensOnTheFirstClassWithChannels() {
        ChannelImageSpec longer = AfterSpec();
        ChannelSpec extra;
        extra.name = "In piu";
        extra.sid = 777;
        longer.channels.push_back(extra);
        const QString longerPath = folder->write("Piu.Bin", BuildChannelImage(longer));
        QVERIFY(OpenThroughDialog(*window, afterPath));
        window->chooseCompareSource = [](const QStringList& choices) {
            return int(choices.size()) - 1;
        };
        window->chooseCompareFile = [&] { return longerPath; };
        window->compareAction->trigger();
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        QCOMPARE(compare->comparison().count(ChangeClass::New), 0);
        QCOMPARE(compare->comparison().count(ChangeClass::Removed), 1);
        QCOMPARE(compare->tabs->currentIndex(), kRemovedTab);
    }

    void comparesWithTheBackupWhenThereIsOne() {
        QVERIFY(OpenThroughDialog(*window, afterPath));
        QVERIFY(!window->compareBackupAction->isEnabled());
        QVERIFY(QFile::copy(beforePath, afterPath + QStringLiteral(".bak")));
        // The menu looks again when a page is shown.
        window->showChannelsAction->trigger();
        window->activePageChanged(0);
        QVERIFY(window->compareBackupAction->isEnabled());
        window->compareBackupAction->trigger();
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        QVERIFY(compare->windowTitle().contains(QStringLiteral("Dopo.Bin.bak")));
        QCOMPARE(compare->comparison().count(ChangeClass::Removed), 2);
        QCOMPARE(compare->comparison().count(ChangeClass::Renamed), 1);

        // "Riprendi i nomi" on the renamed channel, and undo.
        compare->tabs->setCurrentIndex(kRenamedTab);
        compare->tables[kRenamedTab]->selectAll();
        QTest::mouseClick(compare->takeNamesButton, Qt::LeftButton);
        PageView* view = window->activePage();
        QCOMPARE(view->page().channelGrid.cell(3, ch::Name), std::string("Canale 2"));
        QCOMPARE(compare->comparison().count(ChangeClass::Renamed), 0);
        window->undoAction->trigger();
        QCOMPARE(view->page().channelGrid.cell(3, ch::Name), std::string("Due"));
        QCOMPARE(compare->comparison().count(ChangeClass::Renamed), 1);
    }

    // Each "Riprendi" is one undo step named after its button, in either language.
    void takeBackStepsAreNamedInTheEditMenu() {
        // Before: channel 1 in list 1; after (as AfterSpec) in none: one favourites change.
        ChannelImageSpec listed = BeforeSpec();
        listed.favourites[0] = {1};
        const QString listedPath = folder->write("PrimaInLista.Bin", BuildChannelImage(listed));
        struct Language {
            rivo::Language language;
            QString removed, names, favourites;
        };
        const Language languages[] = {
            {rivo::Language::Italian, QStringLiteral("&Annulla: Riprendi i rimossi"),
             QStringLiteral("&Annulla: Riprendi i nomi"),
             QStringLiteral("&Annulla: Riprendi i preferiti")},
            {rivo::Language::English, QStringLiteral("&Undo: Take back the removed"),
             QStringLiteral("&Undo: Take back the names"),
             QStringLiteral("&Undo: Take back the favourites")},
        };
        struct BackToItalian {
            ~BackToItalian() { UseLanguage(rivo::Language::Italian, {}, nullptr); }
        } backToItalian;
        for (const Language& l : languages) {
            std::string error;
            QVERIFY2(UseLanguage(l.language, {RIVO_CATALOGUE_DIR}, &error), error.c_str());
            window = std::make_unique<MainWindow>();
            PrepareWindow(*window, prompts, *folder);
            QVERIFY(OpenThroughDialog(*window, listedPath));
            QVERIFY(OpenThroughDialog(*window, afterPath));
            window->chooseCompareSource = [](const QStringList&) { return 0; };
            window->compareAction->trigger();
            CompareWindow* compare = window->compareWindow();
            QVERIFY(compare);
            const struct {
                int tab;
                QPushButton* button;
                QString undoText;
            } takes[] = {{kRemovedTab, compare->takeRemovedButton, l.removed},
                         {kRenamedTab, compare->takeNamesButton, l.names},
                         {kFavouritesTab, compare->takeFavouritesButton, l.favourites}};
            for (const auto& take : takes) {
                compare->tabs->setCurrentIndex(take.tab);
                QCOMPARE(compare->tables[take.tab]->model()->rowCount() > 0, true);
                compare->tables[take.tab]->selectAll();
                QVERIFY(take.button->isEnabled());
                take.button->click();
                QCOMPARE(window->undoAction->text(), take.undoText);
                window->undoAction->trigger();
            }
            QVERIFY(!window->activePage()->page().modified);
        }
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new CompareWindowTest; });

#include "test_compare_window.moc"
