// What undo and redo select, command by command: exactly the rows the command touched
// (after undo, the rows where the channels that came back stand; after redo, the rows
// the command changed or where its channels landed), never the range between them.
// A wider selection would let the next Delete take rows the user never chose.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <memory>
#include <vector>

#include "dialogs/rename_dialog.h"
#include "shell/channel_filter_bar.h"
#include "shell/compare_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

using Rows = std::vector<int>;

// "Canale 1" .. "Canale 40" in rows 1 .. 40 of a two-module list.
ChannelImageSpec FortySpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 40, 6);
    spec.favourites = {};
    return spec;
}

}  // namespace

class UndoSelectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path, renamedPath, doubledPath;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }
    QTableView* table() { return view->channelTable; }

    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        table()->scrollTo(table()->model()->index(row - 1, 1));
        const QRect rect = table()->visualRect(table()->model()->index(row - 1, 1));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    Rows selected() const { return view->selectedChannelSet(); }
    void undo() { window->undoAction->trigger(); }
    void redo() { window->redoAction->trigger(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Quaranta.Bin", BuildChannelImage(FortySpec()));
        ChannelImageSpec renamed = FortySpec();
        renamed.channels[1].name = "Due";
        renamed.channels[3].name = "Quattro";
        renamedPath = folder->write("Rinominati.Bin", BuildChannelImage(renamed));
        ChannelImageSpec doubled = FortySpec();
        doubled.transponders[3] = doubled.transponders[0];
        doubled.transponders[5] = doubled.transponders[1];
        doubledPath = folder->write("Doppi.Bin", BuildChannelImage(doubled));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, path));
        view = window->pageView(0);
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void deleteOfOneBlock() {
        SelectChannels(*view, 3, 5);
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(selected(), (Rows{3}));
        undo();
        QCOMPARE(selected(), (Rows{3, 4, 5}));
        QCOMPARE(page().channelGrid.cell(3, ch::Name), std::string("Canale 3"));
        redo();
        QCOMPARE(selected(), (Rows{3}));
    }

    void deleteOfSeveralBlocksAndTheQuestionAfterIt() {
        click(11);
        click(24, Qt::ControlModifier);
        click(25, Qt::ControlModifier);
        click(33, Qt::ControlModifier);
        QCOMPARE(selected(), (Rows{11, 24, 25, 33}));
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(page().channelGrid.cell(11, ch::Name), std::string("Canale 12"));
        undo();
        QCOMPARE(selected(), (Rows{11, 24, 25, 33}));
        // The next Delete asks about those four rows and no others.
        prompts.clear();
        prompts.answers = {Answer::Cancel};
        window->deleteChannelsAction->trigger();
        QCOMPARE(prompts.asked.size(), std::size_t{1});
        QVERIFY2(prompts.asked[0].text.find("verranno cancellati 4 canali") != std::string::npos,
                 prompts.asked[0].text.c_str());
        redo();
        QCOMPARE(selected(), (Rows{11}));
    }

    // Filter, Ctrl+A, Delete, clear the filter, undo: the shown rows that were deleted
    // come back selected, not every row from the first of them down.
    void filteredSelectAllDeleted() {
        view->filterBar->textEdit->setText(QStringLiteral("canale 1"));
        table()->setFocus();
        table()->selectAll();
        QCOMPARE(selected(), (Rows{1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        view->filterBar->textEdit->clear();
        undo();
        QCOMPARE(selected(), (Rows{1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
        redo();
        QCOMPARE(selected(), (Rows{1}));
    }

    // A block of rows asks the question of one block with the count on a line of its own.
    void deleteQuestionOfABlockNamesTheCount() {
        SelectChannels(*view, 6, 40);
        prompts.answers = {Answer::Cancel};
        window->deleteChannelsAction->trigger();
        QCOMPARE(prompts.asked.size(), std::size_t{1});
        QCOMPARE(
            prompts.asked[0].text,
            std::string(
                "Vuoi spostare i canali successivi verso l'altro?\n"
                "* Si: verrà cancellato il canale selezionato ed successivi verrano spostati in "
                "alto\n"
                "* No: Verrà cancellato il canale selezionato ed il suo posto rimarra inattivo\n"
                "* Annulla: il canale non verrà cancellato\n"
                "(35 canali selezionati)"));
        QVERIFY(!page().modified);
    }

    void insertion() {
        SelectChannels(*view, 7, 7);
        window->insertChannelAction->trigger();
        QCOMPARE(page().channelGrid.cell(8, ch::Name), std::string("Canale 7"));
        undo();
        QCOMPARE(selected(), (Rows{7}));
        redo();
        QCOMPARE(selected(), (Rows{7}));
    }

    void pasteOverwritingAndInserting() {
        SelectChannels(*view, 2, 4);
        window->copyChannelsAction->trigger();
        SelectChannels(*view, 20, 20);
        prompts.answers = {Answer::No};  // overwrite
        window->pasteChannelsAction->trigger();
        QCOMPARE(page().channelGrid.cell(22, ch::Name), std::string("Canale 4"));
        QCOMPARE(selected(), (Rows{20, 21, 22}));
        undo();
        QCOMPARE(selected(), (Rows{20, 21, 22}));
        redo();
        QCOMPARE(selected(), (Rows{20, 21, 22}));
        undo();
        SelectChannels(*view, 30, 30);
        prompts.answers = {Answer::Yes};  // insert
        window->pasteChannelsAction->trigger();
        QCOMPARE(page().channelGrid.cell(33, ch::Name), std::string("Canale 30"));
        undo();
        // The channels that moved down are back; the place the block went in is selected.
        QCOMPARE(selected(), (Rows{30}));
        redo();
        QCOMPARE(selected(), (Rows{30, 31, 32}));
    }

    // "Rinomina" of scattered names: undo selects those names' rows.
    void renameOfScatteredRows() {
        window->runRenameDialog = [&](RenameDialog& dialog) {
            dialog.allRadio->setChecked(true);
            dialog.findEdit->setText(QStringLiteral("Canale 3"));
            dialog.replaceEdit->setText(QStringLiteral("Tre"));
            return dialog.buttons->button(QDialogButtonBox::Ok)->isEnabled();
        };
        window->renameAction->trigger();
        QCOMPARE(page().channelGrid.cell(31, ch::Name), std::string("Tre1"));
        SelectChannels(*view, 1, 1);
        undo();
        QCOMPARE(selected(), (Rows{3, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}));
        SelectChannels(*view, 1, 1);
        redo();
        QCOMPARE(selected(), (Rows{3, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}));
    }

    // "Riprendi i nomi" of rows 2 and 4 selects rows 2 and 4, not 2 to 4.
    void takingNamesBack() {
        QVERIFY(OpenThroughDialog(*window, renamedPath));
        PageView* renamed = window->activePage();
        QVERIFY(renamed != view);
        window->chooseCompareSource = [](const QStringList&) { return 0; };
        window->chooseCompareFile = [] { return QString(); };
        window->compareAction->trigger();
        CompareWindow* compare = window->compareWindow();
        QVERIFY(compare);
        constexpr int kRenamedTab = 3;
        compare->tabs->setCurrentIndex(kRenamedTab);
        compare->tables[kRenamedTab]->selectAll();
        QVERIFY(compare->takeNamesButton->isEnabled());
        compare->takeNamesButton->click();
        QCOMPARE(renamed->page().channelGrid.cell(2, ch::Name), std::string("Canale 2"));
        QCOMPARE(renamed->page().channelGrid.cell(4, ch::Name), std::string("Canale 4"));
        QCOMPARE(window->activePage(), renamed);
        undo();
        QCOMPARE(renamed->selectedChannelSet(), (Rows{2, 4}));
        redo();
        QCOMPARE(renamed->selectedChannelSet(), (Rows{2, 4}));
    }

    // "Ottimizza" says how many rows it merged, and what a command said stays with its
    // page: another page shown, the message goes.
    void optimiseTellsTheMergedCountOnItsPage() {
        QVERIFY(OpenThroughDialog(*window, doubledPath));
        PageView* doubled = window->activePage();
        QVERIFY(doubled != view);
        doubled->tabs->setCurrentIndex(1);
        window->optimiseTranspondersAction->trigger();
        QVERIFY(doubled->page().modified);
        QCOMPARE(window->statusMessage->text(), QStringLiteral("2 transponder doppi uniti"));
        QCOMPARE(doubled->page().transponderGrid.cell(4, tp::Frequency), std::string("0"));
        window->pageTabs->setCurrentIndex(0);
        QCOMPARE(window->statusMessage->text(), QString());
        window->pageTabs->setCurrentIndex(1);
        window->undoAction->trigger();
        QCOMPARE(window->statusMessage->text(), QStringLiteral("Annullato: Ottimizza transponder"));
        window->pageTabs->setCurrentIndex(0);
        QCOMPARE(window->statusMessage->text(), QString());
    }

    // Thirty channels pasted over the last rows: what fits is pasted, and the rest is
    // told rather than dropped in silence.
    void pastePastTheEndSaysWhatWasLeftOut() {
        SelectChannels(*view, 1, 30);
        window->copyChannelsAction->trigger();
        const int last = page().channelCount();
        SelectChannels(*view, last - 8, last - 8);
        prompts.answers = {Answer::No};
        window->pasteChannelsAction->trigger();
        QCOMPARE(prompts.asked.size(), std::size_t{2});
        QCOMPARE(prompts.asked[1].text,
                 std::string("21 canali non sono stati incollati: oltre l'ultima riga"));
        QCOMPARE(page().channelGrid.cell(last, ch::Name), std::string("Canale 9"));
        QCOMPARE(selected(), (Rows{last - 8, last - 7, last - 6, last - 5, last - 4, last - 3,
                                   last - 2, last - 1, last}));
    }

    // A drop in the empty space below a filtered table puts the block right after the
    // last row the filter shows.
    void dropBelowAFilteredTable() {
        view->filterBar->textEdit->setText(QStringLiteral("canale 4"));
        SelectChannels(*view, 4, 4);
        QCOMPARE(selected(), (Rows{4}));
        QMimeData* data = view->channelModel()->mimeData({view->channelModel()->index(3, 0)});
        QVERIFY(data);
        const QRect lastShown = table()->visualRect(table()->model()->index(39, ch::Name));
        QVERIFY(lastShown.bottom() + 20 < table()->viewport()->height());
        const QPoint below(lastShown.center().x(), lastShown.bottom() + 12);
        QDragEnterEvent enter(below, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(below, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(QPointF(below), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        delete data;
        QCOMPARE(page().channelGrid.cell(39, ch::Name), std::string("Canale 40"));
        QCOMPARE(page().channelGrid.cell(40, ch::Name), std::string("Canale 4"));
        QCOMPARE(page().channelGrid.cell(4, ch::Name), std::string("Canale 5"));
    }

    // Rows picked apart are no block: the drop moves nothing and says why.
    void dropOfRowsPickedApartSaysWhy() {
        click(2);
        click(5, Qt::ControlModifier);
        const Grid before = page().channelGrid;
        std::unique_ptr<QMimeData> data(view->channelModel()->mimeData(
            {view->channelModel()->index(1, 0), view->channelModel()->index(4, 0)}));
        QVERIFY(data);
        QVERIFY(!view->channelModel()->dropMimeData(data.get(), Qt::MoveAction, -1, -1,
                                                    view->channelModel()->index(9, 0)));
        QVERIFY(page().channelGrid == before);
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Solo per un blocco di righe consecutive"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new UndoSelectionTest; });

#include "test_undo_selection.moc"
