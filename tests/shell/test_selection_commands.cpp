// The filter bar, selections of separate rows and "Rinomina..." in the window: typing
// in the filter hides rows (their "Num." stays), Escape brings them back, a Ctrl+click
// selection is deleted in one undo step, the commands that need one block are disabled
// with a tooltip saying so, and Ctrl+A on a filtered table acts on the shown rows only.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "dialogs/rename_dialog.h"
#include "shell/channel_filter_bar.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"
#include "text/language.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

std::vector<std::string> Names(const ListPage& page, const std::vector<int>& rows) {
    std::vector<std::string> out;
    for (const int r : rows) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

// Twelve channels "Canale 1" .. "Canale 12"; 4 and 9 end in " HD".
ChannelImageSpec SelectionSpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 12, 4);
    spec.channels[3].name = "Canale 4 HD";
    spec.channels[8].name = "Canale 9 HD";
    spec.listNames[1] = "Radio HD";  // a full eight-character name
    return spec;
}

}  // namespace

class SelectionCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }
    QTableView* table() { return view->channelTable; }

    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect rect = table()->visualRect(table()->model()->index(row - 1, 1));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    std::vector<int> shownRows() {
        std::vector<int> rows;
        for (int r = 1; r <= page().channelCount(); ++r)
            if (!table()->isRowHidden(r - 1)) rows.push_back(r);
        return rows;
    }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Lista.Bin", BuildChannelImage(SelectionSpec()));
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

    void typingInTheFilterHidesRowsAndEscapeClearsIt() {
        const int count = page().channelCount();
        window->filterAction->trigger();
        QLineEdit* edit = view->filterBar->textEdit;
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClicks(edit, QStringLiteral("CANALE 1"));
        QCOMPARE(shownRows(), (std::vector<int>{1, 10, 11, 12}));
        QCOMPARE(view->filterBar->countLabel->text(),
                 QStringLiteral("Mostrati 4 di %1").arg(count));
        // A shown row keeps its own number.
        QCOMPARE(table()->model()->index(9, ch::Num).data().toString(), QStringLiteral("10"));
        // One more letter narrows it; accents and case are ignored, a SID matches too.
        QTest::keyClicks(edit, QStringLiteral("1"));
        QCOMPARE(shownRows(), (std::vector<int>{11}));
        // Find (Ctrl+F) passes over the rows the filter hides.
        view->openFindBar();
        view->findEdit->setText(QStringLiteral("canale"));
        QCOMPARE(view->currentChannelRow(), 11);
        view->closeFindBar();
        // Escape in the filter bar clears it.
        window->filterAction->trigger();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(static_cast<int>(shownRows().size()), count);
        QCOMPARE(view->filterBar->countLabel->text(),
                 QStringLiteral("Mostrati %1 di %1").arg(count));
    }

    // The list choice offers all eight lists; "In lista 8" shows the channels of list 8.
    void filterByTheLastList() {
        page().channelGrid.setCell(6, ch::Favourites, "128");
        page().channelGrid.setCell(9, ch::Favourites, "130");
        view->filterBar->pageChanged();
        QComboBox* lists = view->filterBar->listCombo;
        const int last = lists->findText(QStringLiteral("In lista 8"));
        QCOMPARE(last, lists->count() - 1);
        lists->setCurrentIndex(last);
        view->filterBar->apply();
        QCOMPARE(shownRows(), (std::vector<int>{6, 9}));
    }

    // Esc with the keys in the table clears an active filter, whichever condition is
    // set; with no filter it changes nothing.
    void escapeInTheTableClearsTheFilter() {
        const int count = page().channelCount();
        QTest::keyClicks(view->filterBar->textEdit, QStringLiteral("CANALE 1"));
        QCOMPARE(shownRows(), (std::vector<int>{1, 10, 11, 12}));
        table()->setFocus();
        QTRY_VERIFY(table()->hasFocus());
        QTest::keyClick(table(), Qt::Key_Escape);
        QCOMPARE(view->filterBar->textEdit->text(), QString());
        QCOMPARE(static_cast<int>(shownRows().size()), count);
        QCOMPARE(view->filterBar->countLabel->text(),
                 QStringLiteral("Mostrati %1 di %1").arg(count));

        view->filterBar->listCombo->setCurrentIndex(view->filterBar->listCombo->findData(2));
        QVERIFY(view->filterBar->active());
        QVERIFY(static_cast<int>(shownRows().size()) < count);
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key_Escape);
        QVERIFY(!view->filterBar->active());
        QCOMPARE(view->filterBar->listCombo->currentIndex(), 0);
        QCOMPARE(static_cast<int>(shownRows().size()), count);

        SelectChannels(*view, 3, 5);
        QTest::keyClick(table(), Qt::Key_Escape);
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{3, 4, 5}));
    }

    // Each choice names what it chooses in its first item, and at the window's first
    // size every item of each choice and the text box's hint show whole.
    void filterChoicesNameThemselvesAndShowWhole_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("firstItems");
        QTest::addColumn<QString>("listItem");
        QTest::newRow("Italian") << false
                                 << QStringList{"Satellite: tutti", "Stato: tutti", "Lista: tutte",
                                                "Transponder: tutti"}
                                 << QStringLiteral("In lista 2: Radio HD");
        QTest::newRow("English") << true
                                 << QStringList{"Satellite: all", "State: all", "List: all",
                                                "Transponder: all"}
                                 << QStringLiteral("In list 2: Radio HD");
    }
    void filterChoicesNameThemselvesAndShowWhole() {
        QFETCH(bool, english);
        QFETCH(QStringList, firstItems);
        QFETCH(QString, listItem);
        const auto italianAgain = qScopeGuard([] { UseLanguage(Language::Italian, {}, nullptr); });
        if (english) {
            std::string error;
            QVERIFY2(UseLanguage(Language::English, {RIVO_CATALOGUE_DIR}, &error), error.c_str());
            window = std::make_unique<MainWindow>();
            PrepareWindow(*window, prompts, *folder);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QVERIFY(OpenThroughDialog(*window, path));
            view = window->pageView(0);
        }
        window->resize(MainWindow().size());  // the size a first start opens at
        QApplication::processEvents();
        ChannelFilterBar* bar = view->filterBar;
        const QList<QComboBox*> combos{bar->satelliteCombo, bar->stateCombo, bar->listCombo,
                                       bar->transponderCombo};
        for (int i = 0; i < combos.size(); ++i) QCOMPARE(combos[i]->itemText(0), firstItems[i]);
        QCOMPARE(bar->listCombo->itemText(bar->listCombo->findData(2)), listItem);
        for (QComboBox* combo : combos) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = false;
            const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                               QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i) {
                const int needed = combo->fontMetrics().horizontalAdvance(combo->itemText(i));
                QVERIFY2(needed <= field.width(), qPrintable(QStringLiteral("%1: %2 > %3")
                                                                 .arg(combo->itemText(i))
                                                                 .arg(needed)
                                                                 .arg(field.width())));
            }
        }
        QLineEdit* edit = bar->textEdit;
        // The hint, its margins and the clear button's room.
        const int hint = edit->fontMetrics().horizontalAdvance(edit->placeholderText()) + 40;
        QVERIFY2(hint <= edit->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(hint).arg(edit->width())));
    }

    // The bar fits the narrowest window the editor allows.
    void filterBarFitsTheNarrowestWindow() {
        window->resize(640, 400);
        QApplication::processEvents();
        QCOMPARE(window->width(), 640);
        QVERIFY2(view->filterBar->minimumSizeHint().width() <= view->channelTable->width(),
                 qPrintable(QString::number(view->filterBar->minimumSizeHint().width())));
    }

    void ctrlClickSelectionIsDeletedInOneUndoStep() {
        const std::vector<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        const auto before = Names(page(), all);
        click(2);
        click(5, Qt::ControlModifier);
        click(8, Qt::ControlModifier);
        click(9, Qt::ControlModifier);
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{2, 5, 8, 9}));
        const std::size_t steps = view->history().undoCount();
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(prompts.asked.size(), std::size_t{1});
        QVERIFY2(prompts.asked[0].text.find("4 canali") != std::string::npos,
                 prompts.asked[0].text.c_str());
        QCOMPARE(Names(page(), {1, 2, 3, 4, 5, 6}),
                 (std::vector<std::string>{"Canale 1", "Canale 3", "Canale 4 HD", "Canale 6",
                                           "Canale 7", "Canale 10"}));
        QCOMPARE(view->history().undoCount(), steps + 1);
        window->undoAction->trigger();
        QCOMPARE(Names(page(), all), before);
        QCOMPARE(view->history().undoCount(), steps);
    }

    void commandsThatNeedOneBlockAreDisabledForSeparateRows() {
        click(3);
        window->copyChannelsAction->trigger();  // the clipboard holds channels: paste could run
        QVERIFY(window->pasteChannelsAction->isEnabled());
        const QString moveTip = window->moveChannelsAction->toolTip();
        click(6, Qt::ControlModifier);
        QVERIFY(!view->channelSelectionIsOneBlock());
        for (QAction* action :
             {window->insertChannelAction, window->moveChannelsAction, window->pasteChannelsAction,
              window->goToChannelAction, window->sortAction}) {
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
            QVERIFY2(action->toolTip().contains(
                         QStringLiteral("Solo per un blocco di righe consecutive")),
                     qPrintable(action->toolTip()));
        }
        // The commands on any set stay.
        for (QAction* action :
             {window->deleteChannelsAction, window->copyChannelsAction, window->renameAction})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        QVERIFY(window->addToListMenu->isEnabled());
        // Dragging the rows is refused as well.
        QVERIFY(!view->channelModel()->canDropMimeData(
            view->channelModel()->mimeData({table()->model()->index(2, 0)}), Qt::MoveAction, 9, 0,
            {}));
        // Shift+click makes one block again: everything comes back, with its own tooltip.
        click(3);
        click(6, Qt::ShiftModifier);
        QVERIFY(view->channelSelectionIsOneBlock());
        for (QAction* action :
             {window->insertChannelAction, window->moveChannelsAction, window->pasteChannelsAction,
              window->goToChannelAction, window->sortAction})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        QCOMPARE(window->moveChannelsAction->toolTip(), moveTip);
    }

    void selectAllOnAFilteredTableAddsOnlyTheShownRowsToAList() {
        QTest::keyClicks(view->filterBar->textEdit, QStringLiteral(" hd"));
        QCOMPARE(shownRows(), (std::vector<int>{4, 9}));
        table()->setFocus();
        table()->selectAll();
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{4, 9}));
        const std::size_t steps = view->history().undoCount();
        QAction* list5 = window->addToListMenu->actions().at(4);
        list5->trigger();
        const Grid& list = page().favouriteGrids[4];
        std::vector<std::string> entries;
        for (int s = 1; s <= fav::Slots && list.cell(s, fav::Channel) != "0"; ++s)
            entries.push_back(list.cell(s, fav::Channel));
        QCOMPARE(entries, (std::vector<std::string>{"4", "9"}));
        QCOMPARE(view->history().undoCount(), steps + 1);
    }

    void renameWithPreviewAppliesAsOneStep() {
        bool shown = false;
        window->runRenameDialog = [&](RenameDialog& dialog) {
            shown = true;
            dialog.findEdit->setText(QStringLiteral(" HD$"));
            dialog.regexBox->setChecked(true);
            dialog.allRadio->setChecked(true);
            // Two names change; the preview lists them old and new.
            const int rows = dialog.previewTable->rowCount();
            if (rows != 2) return false;
            if (dialog.previewTable->item(0, 1)->text() != QStringLiteral("Canale 4 HD"))
                return false;
            if (dialog.previewTable->item(0, 2)->text() != QStringLiteral("Canale 4")) return false;
            return dialog.buttons->button(QDialogButtonBox::Ok)->isEnabled();
        };
        const std::size_t steps = view->history().undoCount();
        QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(shown);
        QCOMPARE(Names(page(), {4, 9}), (std::vector<std::string>{"Canale 4", "Canale 9"}));
        QCOMPARE(view->history().undoCount(), steps + 1);
        window->undoAction->trigger();
        QCOMPARE(Names(page(), {4, 9}), (std::vector<std::string>{"Canale 4 HD", "Canale 9 HD"}));
        // The two renamed rows are selected, not the block between them.
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{4, 9}));
        window->redoAction->trigger();
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{4, 9}));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new SelectionCommandsTest; });

#include "test_selection_commands.moc"
