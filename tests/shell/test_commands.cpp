// Each editing command driven once through its real tool button (or key, menu item,
// double-click), with the answers given through the prompts: the page changes, the
// views show it, and the modified flag, the Save button and the "*" follow.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "captioned_controls.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/row_number_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "editing/transponders.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

std::string Name(const ListPage& page, int row) { return page.channelGrid.cell(row, ch::Name); }

QString ShownName(PageView& view, int row) {
    return view.channelModel()->data(view.channelModel()->index(row - 1, ch::Name)).toString();
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }

    void expectModified() {
        QVERIFY(page().modified);
        QVERIFY(window->saveAction->isEnabled());
        QVERIFY(window->pageTabs->tabText(0).endsWith(QStringLiteral(" *")));
    }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Lista.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1200, 30)));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, path));
        view = window->pageView(0);
        QVERIFY(!page().modified);
    }

    void cleanup() {
        ChannelDialog::setExecHook(nullptr);
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void deleteByButtonKeyAndMenu() {
        const std::string fifth = Name(page(), 5);
        SelectChannels(*view, 3, 4);
        prompts.answers = {Answer::Yes};  // close the gap
        window->deleteChannelsAction->trigger();
        QCOMPARE(prompts.asked.back().title, std::string("Cancellazione canale"));
        QCOMPARE(Name(page(), 3), fifth);
        QCOMPARE(ShownName(*view, 3), QString::fromStdString(fifth));
        expectModified();
        // The Delete key, answering No: the row stays, empty and grey.
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        SelectChannels(*view, 1, 1);
        view->channelTable->setFocus();
        prompts.answers = {Answer::No};
        QTest::keyClick(view->channelTable, Qt::Key_Delete);
        QCOMPARE(prompts.asked.size(), size_t(2));
        QCOMPARE(Name(page(), 1), std::string());
        QCOMPARE(page().channelGrid.colour(1), kColourGrey);
        // "&Elimina" asks the same question; Annulla changes nothing.
        const Grid before = page().channelGrid;
        SelectChannels(*view, 6, 6);
        prompts.answers = {Answer::Cancel};
        window->menuDeleteAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(3));
        QVERIFY(page().channelGrid == before);
    }

    void insertEmptyChannel() {
        const std::string tenth = Name(page(), 10);
        SelectChannels(*view, 10, 10);
        window->insertChannelAction->trigger();  // the last row is free: no question
        QVERIFY(prompts.asked.empty());
        QCOMPARE(Name(page(), 11), tenth);
        QCOMPARE(Name(page(), 10), std::string());
        QCOMPARE(ShownName(*view, 11), QString::fromStdString(tenth));
        expectModified();
    }

    void goToChannel() {
        QStringList captions;
        window->runRowNumberDialog = [&](RowNumberDialog& dialog) {
            captions << dialog.windowTitle() << dialog.numberGroup->title() << dialog.numberEdit->text()
                     << QString::number(dialog.limit);
            dialog.numberEdit->setText(QStringLiteral("0"));
            dialog.okButton->click();  // refused, the dialog stays
            if (dialog.result() == QDialog::Accepted) return true;
            dialog.numberEdit->setText(QStringLiteral("40"));
            dialog.okButton->click();
            return dialog.result() == QDialog::Accepted;
        };
        SelectChannels(*view, 7, 7);
        window->goToChannelAction->trigger();
        QCOMPARE(captions, QStringList({"Vai al canale...", "Canale da visualizzare", "7",
                                        QString::number(page().channelCount() + 1)}));
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string("Inserire un canale corretto"));
        QCOMPARE(view->currentChannelRow(), 40);
        QCOMPARE(view->selectedChannelRows(), std::make_pair(40, 40));
        QVERIFY(!page().modified);
    }

    void moveChannels() {
        const std::string first = Name(page(), 1), second = Name(page(), 2), third = Name(page(), 3);
        QString caption;
        window->runRowNumberDialog = [&](RowNumberDialog& dialog) {
            caption = dialog.windowTitle() + "|" + dialog.numberGroup->title();
            dialog.numberEdit->setText(QStringLiteral("10"));
            dialog.okButton->click();
            return dialog.result() == QDialog::Accepted;
        };
        SelectChannels(*view, 1, 2);
        window->moveChannelsAction->trigger();
        QCOMPARE(caption, QStringLiteral("Spostamento canali...|Sposta i selezionati a..."));
        QCOMPARE(Name(page(), 10), first);
        QCOMPARE(Name(page(), 11), second);
        QCOMPARE(Name(page(), 1), third);
        QCOMPARE(page().channelGrid.cell(10, ch::Num), std::string("10"));
        expectModified();
        // Annulla leaves everything, also after a row other than the block's was typed
        // (the dialog starts on the current row, where a move would change nothing).
        window->runRowNumberDialog = [](RowNumberDialog& dialog) {
            dialog.numberEdit->setText(QStringLiteral("30"));
            dialog.cancelButton->click();
            return dialog.result() == QDialog::Accepted;
        };
        const Grid before = page().channelGrid;
        window->menuMoveAction->trigger();
        QVERIFY(page().channelGrid == before);
        QCOMPARE(view->selectedChannelRows(), std::make_pair(10, 11));
        QCOMPARE(view->currentChannelRow(), 10);
    }

    // Annulla or Esc in the channel number dialog, after a row other than the current
    // one was typed, leaves the rows, the selection and the undo history as they were,
    // for both commands that ask for a number.
    void numberDialogAnnullaChangesNothing_data() {
        QTest::addColumn<bool>("move");    // "Sposta"; otherwise "Vai al canale"
        QTest::addColumn<bool>("escape");  // the Esc key; otherwise the "Annulla" button
        QTest::newRow("go to, Annulla") << false << false;
        QTest::newRow("go to, Esc") << false << true;
        QTest::newRow("move, Annulla") << true << false;
        QTest::newRow("move, Esc") << true << true;
    }
    void numberDialogAnnullaChangesNothing() {
        QFETCH(bool, move);
        QFETCH(bool, escape);
        SelectChannels(*view, 3, 4);
        const Grid before = page().channelGrid;
        QString offered;
        window->runRowNumberDialog = [&](RowNumberDialog& dialog) {
            offered = dialog.numberEdit->text();
            dialog.numberEdit->setText(QStringLiteral("20"));
            if (escape) {
                dialog.show();
                QTest::keyClick(dialog.numberEdit, Qt::Key_Escape);
            } else {
                dialog.cancelButton->click();
            }
            return dialog.result() == QDialog::Accepted;
        };
        (move ? window->moveChannelsAction : window->goToChannelAction)->trigger();
        QCOMPARE(offered, QStringLiteral("3"));
        QVERIFY(page().channelGrid == before);
        QCOMPARE(view->selectedChannelRows(), std::make_pair(3, 4));
        QCOMPARE(view->currentChannelRow(), 3);
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
        QVERIFY(prompts.asked.empty());
    }

    void favouritesUpAndDown() {
        view->tabs->setCurrentIndex(2);
        QVERIFY(window->favouriteUpAction->isEnabled());
        const Grid& list = page().favouriteGrids[0];
        const std::string one = list.cell(1, fav::Channel), two = list.cell(2, fav::Channel);
        QVERIFY(one != "0" && two != "0");
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(view->favouriteTables[0], &in);
        view->setCurrentFavouriteRow(0, 2);
        window->favouriteUpAction->trigger();
        QCOMPARE(list.cell(1, fav::Channel), two);
        QCOMPARE(list.cell(2, fav::Channel), one);
        QCOMPARE(list.cell(1, fav::Pos), std::string("1"));
        QCOMPARE(view->currentFavouriteRow(0), 1);  // the focus follows the entry
        window->favouriteUpAction->trigger();             // already first: refused
        QCOMPARE(prompts.asked.back().text, std::string("Non è possibile spostare ulteriormente il canale"));
        window->favouriteDownAction->trigger();
        QCOMPARE(list.cell(1, fav::Channel), one);
        QCOMPARE(list.cell(2, fav::Channel), two);
        QCOMPARE(view->currentFavouriteRow(0), 2);
        QCOMPARE(view->favouriteModel(0)->data(view->favouriteModel(0)->index(1, fav::Channel)).toString(),
                 QString::fromStdString(two));
    }

    void copyAndPaste() {
        // Room for the copied channels' transponders: a paste needs free rows even when
        // the channels come from the same page.
        for (int t = 0; t < 2; ++t) ClearTransponderRow(page(), page().transponderCount() - t);
        const std::string first = Name(page(), 1), second = Name(page(), 2);
        SelectChannels(*view, 1, 2);
        window->copyChannelsAction->trigger();
        QVERIFY(window->pasteChannelsAction->isEnabled());
        QVERIFY(!page().modified);
        SelectChannels(*view, 20, 20);
        prompts.answers = {Answer::No};  // overwrite
        window->pasteChannelsAction->trigger();
        QCOMPARE(prompts.asked[0].title, std::string("Informazione"));
        QCOMPARE(Name(page(), 20), first);
        QCOMPARE(Name(page(), 21), second);
        QCOMPARE(ShownName(*view, 21), QString::fromStdString(second));
        expectModified();
    }

    void transponderCommands() {
        view->tabs->setCurrentIndex(1);
        int inUse = 0;
        for (int row = 1; row <= page().transponderCount() && !inUse; ++row)
            if (page().transponderGrid.colour(row) == kColourInUse) inUse = row;
        QVERIFY(inUse > 0);
        view->transponderTable->setCurrentIndex(view->transponderModel()->index(inUse - 1, 0));
        prompts.answers = {Answer::No};
        window->deleteTransponderAction->trigger();
        QCOMPARE(prompts.asked.back().title, std::string("Cancellazione canale"));
        QCOMPARE(page().transponderGrid.cell(inUse, tp::Frequency), std::string("0"));
        QCOMPARE(page().transponderGrid.colour(inUse), kColourGrey);
        expectModified();

        window->optimiseTranspondersAction->trigger();  // merging asks nothing
        QCOMPARE(prompts.asked.size(), size_t(1));

        int shown = 0;
        for (int row = 1; row <= page().transponderCount() && !shown; ++row)
            if (page().transponderGrid.colour(row) == kColourInUse &&
                page().transponderGrid.cell(row, tp::Satellite) == "HotBird")
                shown = row;
        QVERIFY(shown > 0);
        prompts.answers = {Answer::Yes};
        window->swapSatellitesAction->trigger();
        QCOMPARE(prompts.asked.back().text, std::string("Settare i trasponder di HotBird su Astra (e viceversa)?"));
        QCOMPARE(page().satelliteA, std::string("Astra"));
        QCOMPARE(view->transponderModel()->data(view->transponderModel()->index(shown - 1, tp::Satellite)).toString(),
                 QStringLiteral("Astra"));
    }

    void transponderDialogByDoubleClick() {
        view->tabs->setCurrentIndex(1);
        int row = 0;
        for (int r = 1; r <= page().transponderCount() && !row; ++r)
            if (page().transponderGrid.colour(r) == kColourInUse) row = r;
        QVERIFY(row > 0);
        TransponderDialog::setExecHook([](TransponderDialog& dialog) {
            dialog.frequencyBox()->setText(QStringLiteral("12345"));
            dialog.okButton()->click();
        });
        const QRect cell = view->transponderTable->visualRect(view->transponderModel()->index(row - 1, 1));
        QTest::mouseClick(view->transponderTable->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->transponderTable->viewport(), Qt::LeftButton, {}, cell.center());
        TransponderDialog::setExecHook(nullptr);
        QCOMPARE(page().transponderGrid.cell(row, tp::Frequency), std::string("12345"));
        QCOMPARE(view->transponderModel()->data(view->transponderModel()->index(row - 1, tp::Frequency)).toString(),
                 QStringLiteral("12345"));
        expectModified();
    }

    // Return or Enter on a row opens its dialog once, as a double click does.
    void enterOpensTheRowsDialog() {
        int channelDialogs = 0, transponderDialogs = 0;
        ChannelDialog::setExecHook([&](ChannelDialog& dialog) {
            ++channelDialogs;
            dialog.cancelButton()->click();
        });
        TransponderDialog::setExecHook([&](TransponderDialog& dialog) {
            ++transponderDialogs;
            dialog.cancelButton()->click();
        });
        view->setCurrentChannelRow(2);
        view->channelTable->setFocus();
        QTest::keyClick(view->channelTable, Qt::Key_Return);
        QCOMPARE(channelDialogs, 1);
        QTest::keyClick(view->channelTable, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(channelDialogs, 2);
        view->tabs->setCurrentIndex(1);
        view->transponderTable->setCurrentIndex(view->transponderModel()->index(0, 0));
        view->transponderTable->setFocus();
        QTest::keyClick(view->transponderTable, Qt::Key_Return);
        QCOMPARE(transponderDialogs, 1);
        QCOMPARE(channelDialogs, 2);
        const QRect cell = view->transponderTable->visualRect(view->transponderModel()->index(0, 1));
        QTest::mouseClick(view->transponderTable->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->transponderTable->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(transponderDialogs, 2);
        ChannelDialog::setExecHook(nullptr);
        TransponderDialog::setExecHook(nullptr);
        QVERIFY(!page().modified);
    }

    void channelPropertiesByDoubleClickAndMenu() {
        int row = 0;
        for (int r = 1; r <= page().channelCount() && !row; ++r)
            if (page().channelGrid.colour(r) == kColourChannel) row = r;
        QVERIFY(row > 0);
        ChannelDialog::setExecHook([](ChannelDialog& dialog) {
            EditCaptioned(dialog, "Nome")->setText(QStringLiteral("Nuovo è"));
            dialog.okButton()->click();
        });
        view->channelTable->scrollTo(view->channelModel()->index(row - 1, 1));
        const QRect cell = view->channelTable->visualRect(view->channelModel()->index(row - 1, 1));
        QTest::mouseClick(view->channelTable->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->channelTable->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(Name(page(), row), std::string("Nuovo \xE8"));
        QCOMPARE(ShownName(*view, row), QStringLiteral("Nuovo è"));
        expectModified();

        ChannelDialog::setExecHook([](ChannelDialog& dialog) {
            EditCaptioned(dialog, "SID")->setText(QStringLiteral("777"));
            dialog.okButton()->click();
        });
        SelectChannels(*view, 30, 32);
        window->channelPropertiesAction->trigger();
        for (int r = 30; r <= 32; ++r) QCOMPARE(page().channelGrid.cell(r, ch::Sid), std::string("777"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new CommandsTest; });

#include "test_commands.moc"
