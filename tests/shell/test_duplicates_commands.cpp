// "Trova duplicati..." driven through its menu item and real dialog: a list holding each
// channel three times, the kept copy of one group changed with a click, a double-click
// showing a copy in the page, "Elimina i duplicati" as one undo step with its count on
// the status bar, and Annulla changing nothing.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "dialogs/duplicates_dialog.h"
#include "editing/duplicates.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// "Canale 1" .. "Canale 6", then the six again twice (rows 7-12 and 13-18); list 1
// names row 13, the third copy of channel 1, and list 2 names row 2 twice.
ChannelImageSpec ThriceSpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 6, 2);
    const std::vector<ChannelSpec> once = spec.channels;
    for (int copy = 0; copy < 2; ++copy)
        spec.channels.insert(spec.channels.end(), once.begin(), once.end());
    spec.favourites = {};
    spec.favourites[0] = {13};
    spec.favourites[1] = {2, 2};
    return spec;
}

// The copy item of channel row `row` in the dialog's tree, or nullptr.
QTreeWidgetItem* CopyItem(DuplicatesDialog& dialog, int row) {
    for (int g = 0; g < dialog.groupTree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = dialog.groupTree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i)
            if (group->child(i)->text(DuplicatesDialog::RowColumn) == QString::number(row))
                return group->child(i);
    }
    return nullptr;
}

std::vector<std::string> Names(const ListPage& page, int first, int last) {
    std::vector<std::string> out;
    for (int r = first; r <= last; ++r) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

}  // namespace

class DuplicatesCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Triplicata.Bin", BuildChannelImage(ThriceSpec()));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, path));
        view = window->pageView(0);
        QVERIFY(window->findDuplicatesAction->isEnabled());
        QVERIFY(window->editMenu->actions().contains(window->findDuplicatesAction));
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void removesTheCopiesAsOneUndoStep() {
        const Grid before = page().channelGrid;
        QString summary, heading;
        bool lockedShown = false;
        window->runDuplicatesDialog = [&](DuplicatesDialog& dialog) {
            // The level "exact" first: six groups of three.
            [&] {
                QCOMPARE(dialog.level(), DuplicateLevel::Exact);
                QCOMPARE(dialog.groupTree->topLevelItemCount(), 6);
                summary = dialog.summaryLabel->text();
                QVERIFY(dialog.removeButton->isEnabled());
                QVERIFY(!dialog.removeByNameCheck->isVisibleTo(&dialog));
                // The copy in list 1 is kept; channel 5 is locked.
                QCOMPARE(CopyItem(dialog, 13)->checkState(DuplicatesDialog::KeptColumn),
                         Qt::Checked);
                QCOMPARE(CopyItem(dialog, 1)->checkState(DuplicatesDialog::KeptColumn),
                         Qt::Unchecked);
                QCOMPARE(CopyItem(dialog, 13)->text(DuplicatesDialog::ListsColumn),
                         QStringLiteral("1"));
                lockedShown =
                    !CopyItem(dialog, 11)->text(DuplicatesDialog::LockedColumn).isEmpty() &&
                    CopyItem(dialog, 10)->text(DuplicatesDialog::LockedColumn).isEmpty();
                // A click keeps row 8 instead of row 2.
                QTreeWidgetItem* second = CopyItem(dialog, 8);
                second->setCheckState(DuplicatesDialog::KeptColumn, Qt::Checked);
                QCOMPARE(CopyItem(dialog, 2)->checkState(DuplicatesDialog::KeptColumn),
                         Qt::Unchecked);
                QCOMPARE(dialog.finding().groups[1].kept, 8);
                QCOMPARE(dialog.finding().groups[1].reason, KeepReason::Chosen);
                heading = second->parent()->text(0);
                // Unchecking the kept copy leaves it kept: a group always keeps one.
                second->setCheckState(DuplicatesDialog::KeptColumn, Qt::Unchecked);
                QCOMPARE(second->checkState(DuplicatesDialog::KeptColumn), Qt::Checked);
                // A double-click shows the copy in the page.
                emit dialog.groupTree->itemDoubleClicked(CopyItem(dialog, 16),
                                                         DuplicatesDialog::NameColumn);
                QCOMPARE(view->selectedChannelRows(), std::make_pair(16, 16));
                QCOMPARE(page().channelGrid == before, true);
            }();
            dialog.removeButton->click();
            return dialog.result();
        };
        window->findDuplicatesAction->trigger();
        QCOMPARE(summary, QStringLiteral("6 gruppi, 12 canali da eliminare"));
        QCOMPARE(heading, QStringLiteral("Canale 2: 3 copie, resta la riga 8 (scelto da te)"));
        QVERIFY(lockedShown);

        // The kept copies in their rows' order, the rest empty; list 1 follows row 13.
        QCOMPARE(Names(page(), 1, 7),
                 (std::vector<std::string>{"Canale 3", "Canale 4", "Canale 5", "Canale 6",
                                           "Canale 2", "Canale 1", ""}));
        QCOMPARE(page().favouriteGrids[0].cell(1, fav::Channel), std::string("6"));
        // Row 2's two entries name the kept row 8, now row 5, once.
        QCOMPARE(page().favouriteGrids[1].cell(1, fav::Channel), std::string("5"));
        QCOMPARE(page().favouriteGrids[1].cell(2, fav::Channel), std::string("0"));
        QCOMPARE(page().channelGrid.cell(5, ch::Favourites), std::string("2"));
        QCOMPARE(page().channelGrid.cell(6, ch::Favourites), std::string("1"));
        QVERIFY(page().modified);
        QVERIFY(window->saveAction->isEnabled());
        QCOMPARE(window->statusMessage->text(), QStringLiteral("Eliminati 12 canali doppi"));
        QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Elimina i duplicati"));

        window->undoAction->trigger();
        QVERIFY(page().channelGrid == before);
        QCOMPARE(page().favouriteGrids[0].cell(1, fav::Channel), std::string("13"));
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
        // Undo selects the copies that came back, each on its own row, and nothing in
        // between; redo selects as the command did, the first kept channel.
        QCOMPARE(view->selectedChannelSet(),
                 (std::vector<int>{1, 2, 7, 9, 10, 11, 12, 14, 15, 16, 17, 18}));
        window->redoAction->trigger();
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{1}));
    }

    void cleansUpRepeatedFavouritesAsOneUndoStep() {
        const Grid before = page().favouriteGrids[1];
        QString repeated;
        window->runDuplicatesDialog = [&](DuplicatesDialog& dialog) {
            repeated = dialog.repeatedList->item(0)->text();
            dialog.cleanUpButton->click();
            return dialog.result();
        };
        window->findDuplicatesAction->trigger();
        QCOMPARE(repeated, QStringLiteral("Lista 2: canale 2 Canale 2, 2 volte"));
        QCOMPARE(page().favouriteGrids[1].cell(1, fav::Channel), std::string("2"));
        QCOMPARE(page().favouriteGrids[1].cell(2, fav::Channel), std::string("0"));
        QCOMPARE(page().channelGrid.cell(2, ch::Name), std::string("Canale 2"));
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Tolta 1 voce ripetuta dai preferiti"));
        QCOMPARE(window->undoAction->text(),
                 QStringLiteral("&Annulla: Togli le voci ripetute dei preferiti"));
        window->undoAction->trigger();
        QVERIFY(page().favouriteGrids[1] == before);
        QVERIFY(!page().modified);
    }

    void cancelChangesNothing() {
        const Grid before = page().channelGrid;
        window->runDuplicatesDialog = [&](DuplicatesDialog& dialog) {
            CopyItem(dialog, 7)->setCheckState(DuplicatesDialog::KeptColumn, Qt::Checked);
            dialog.cancelButton->click();
            return dialog.result();
        };
        window->findDuplicatesAction->trigger();
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
    }

    void sameNameGroupsAreRemovedOnlyWhenAsked() {
        int buttonWithout = -1, buttonWith = -1;
        QString summaryWithout;
        window->runDuplicatesDialog = [&](DuplicatesDialog& dialog) {
            dialog.levelCombo->setCurrentIndex(static_cast<int>(DuplicateLevel::Name));
            summaryWithout = dialog.summaryLabel->text();
            buttonWithout = dialog.removeButton->isEnabled();
            dialog.removeByNameCheck->setChecked(true);
            buttonWith = dialog.removeButton->isEnabled();
            dialog.cancelButton->click();
            return dialog.result();
        };
        window->findDuplicatesAction->trigger();
        QCOMPARE(summaryWithout, QStringLiteral("6 gruppi, 0 canali da eliminare"));
        QCOMPARE(buttonWithout, 0);
        QCOMPARE(buttonWith, 1);
    }

    // "Attivo" and "Bloccato" each show their own status bit, and the lists are numbered
    // 1 to 8. Channel 5's copies: row 5 active and locked (as made), row 11 made
    // inactive and locked, row 17 active and unlocked; row 13 joins list 3 too.
    void copiesShowTheirOwnActiveAndLockedMarksAndListNumbers() {
        page().channelGrid.setCell(11, ch::Status, "01");
        page().channelGrid.setCell(17, ch::Status, "04");
        page().favouriteGrids[2].setCell(1, fav::Channel, "13");
        QStringList active, locked;
        QString lists13;
        window->runDuplicatesDialog = [&](DuplicatesDialog& dialog) {
            for (const int row : {5, 11, 17}) {
                active << CopyItem(dialog, row)->text(DuplicatesDialog::ActiveColumn);
                locked << CopyItem(dialog, row)->text(DuplicatesDialog::LockedColumn);
            }
            lists13 = CopyItem(dialog, 13)->text(DuplicatesDialog::ListsColumn);
            dialog.cancelButton->click();
            return dialog.result();
        };
        window->findDuplicatesAction->trigger();
        const QString mark = QStringLiteral("\u2713");
        QCOMPARE(active, (QStringList{mark, QString(), mark}));
        QCOMPARE(locked, (QStringList{mark, mark, QString()}));
        QCOMPARE(lists13, QStringLiteral("1, 3"));
    }
};

static const int kRegistered =
    RegisterTest([]() -> QObject* { return new DuplicatesCommandsTest; });

#include "test_duplicates_commands.moc"
