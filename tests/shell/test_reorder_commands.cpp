// "Ordina..." and "Applica ordine da riferimento..." driven through their menu items and
// real dialogs: the page changes (or not, on Annulla), the sorted block or the
// unmatched rows end up selected, the status bar reports, and each is one undo step.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "dialogs/reorder_dialogs.h"
#include "editing/reorder.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

std::vector<std::string> Names(const ListPage& page, int first, int last) {
    std::vector<std::string> out;
    for (int r = first; r <= last; ++r) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

// Twelve channels "Canale 1" .. "Canale 12" (SID n) of which 3 is "Èlite" and 5 "alfa".
ChannelImageSpec CurrentSpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 12, 4);
    spec.channels[2].name = "\xC8lite";
    spec.channels[4].name = "alfa";
    return spec;
}

void ClickOk(QDialogButtonBox* buttons) { buttons->button(QDialogButtonBox::Ok)->click(); }

}  // namespace

class ReorderCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path, reversedPath, allReversedPath, singlePath;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }

    std::pair<int, int> selection() const { return view->selectedChannelRows(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Lista.Bin", BuildChannelImage(CurrentSpec()));
        // The reference: the same channels in reverse order, without channel 12, with
        // a channel of its own at the end.
        ChannelImageSpec reversed = CurrentSpec();
        reversed.channels.pop_back();
        std::reverse(reversed.channels.begin(), reversed.channels.end());
        ChannelSpec extra;
        extra.name = "Nuovo";
        extra.sid = 999;
        reversed.channels.push_back(extra);
        reversed.favourites = {};
        reversedPath = folder->write("Vecchia.Bin", BuildChannelImage(reversed));
        // All twelve, reversed: every channel is found.
        ChannelImageSpec allReversed = CurrentSpec();
        std::reverse(allReversed.channels.begin(), allReversed.channels.end());
        allReversed.favourites = {};
        allReversedPath = folder->write("Rovesciata.Bin", BuildChannelImage(allReversed));
        singlePath = folder->write(
            "Single.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 12, 4)));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, path));
        view = window->pageView(0);
        QVERIFY(window->sortAction->isEnabled());
        QVERIFY(window->referenceOrderAction->isEnabled());
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void sortSelectionByName() {
        SelectChannels(*view, 1, 6);
        bool offeredSelection = false;
        window->runSortDialog = [&](SortDialog& dialog) {
            offeredSelection = dialog.selectionRadio->isChecked();
            dialog.keyCombo->setCurrentIndex(dialog.keyCombo->findText(QStringLiteral("Nome")));
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        const Grid before = page().channelGrid;
        window->sortAction->trigger();
        QVERIFY(offeredSelection);
        QCOMPARE(Names(page(), 1, 7),
                 (std::vector<std::string>{"alfa", "Canale 1", "Canale 2", "Canale 4", "Canale 6",
                                           "\xC8lite", "Canale 7"}));
        QVERIFY(page().modified);
        QVERIFY(window->saveAction->isEnabled());
        QCOMPARE(selection(), std::make_pair(1, 6));
        // One undo step takes it all back.
        QVERIFY(window->undoAction->isEnabled());
        window->undoAction->trigger();
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
        // The rows whose channel changed; "Canale 4" stayed in row 4.
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{1, 2, 3, 5, 6}));
        SelectChannels(*view, 9, 9);
        window->redoAction->trigger();
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{1, 2, 3, 5, 6}));
    }

    void sortWholeListByFrequency() {
        SelectChannels(*view, 4, 4);
        window->runSortDialog = [](SortDialog& dialog) {
            if (!dialog.wholeListRadio->isChecked())
                return false;  // one row: the whole list is offered
            dialog.keyCombo->setCurrentIndex(
                dialog.keyCombo->findText(QStringLiteral("Frequenza")));
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        const int count = page().channelCount();
        window->sortAction->trigger();
        // Channel n stands on transponder 1 + (n - 1) % 4, and the four transponders'
        // frequencies rise with their number; a transponder's channels keep SID order.
        QCOMPARE(Names(page(), 1, 12),
                 (std::vector<std::string>{"Canale 1", "alfa", "Canale 9", "Canale 2", "Canale 6",
                                           "Canale 10", "\xC8lite", "Canale 7", "Canale 11",
                                           "Canale 4", "Canale 8", "Canale 12"}));
        std::vector<std::string> transponders, sids;
        for (int r = 1; r <= 12; ++r) {
            transponders.push_back(page().channelGrid.cell(r, ch::Transponder));
            sids.push_back(page().channelGrid.cell(r, ch::Sid));
        }
        QCOMPARE(transponders, (std::vector<std::string>{"1", "1", "1", "2", "2", "2", "3", "3",
                                                         "3", "4", "4", "4"}));
        QCOMPARE(sids, (std::vector<std::string>{"1", "5", "9", "2", "6", "10", "3", "7", "11", "4",
                                                 "8", "12"}));
        // The empty rows, which name no transponder, stay after the channels.
        QCOMPARE(Names(page(), 13, count),
                 std::vector<std::string>(static_cast<size_t>(count - 12)));
        QCOMPARE(page().channelCount(), count);
        QCOMPARE(selection(), std::make_pair(1, count));
    }

    void applyReference() {
        QStringList shown;
        int pathWidth = 0;
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            shown << dialog.lnbLowEdit->text() << dialog.lnbHighEdit->text()
                  << dialog.satelliteAEdit->text();
            dialog.show();
            pathWidth = dialog.fileEdit->width();
            dialog.fileEdit->setText(reversedPath);
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        int currentRows = -1, referenceRows = -1;
        QString passes;
        QString takes;
        int rowHeight = 0, nameWidth = 0, numberWidth = 0;
        bool scrollsSideways = true;
        window->runReferencePreviewDialog = [&](ReferencePreviewDialog& preview) {
            passes = preview.passLabel->text();
            takes = preview.takesLabel->text();
            currentRows = preview.currentTable->rowCount();
            referenceRows = preview.referenceTable->rowCount();
            preview.show();
            rowHeight = preview.currentTable->rowHeight(0);
            nameWidth = preview.currentTable->columnWidth(1);
            numberWidth = preview.currentTable->columnWidth(0);
            scrollsSideways =
                preview.currentTable->horizontalScrollBar()->isVisible() ||
                preview.currentTable->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
            ClickOk(preview.buttons);
            return preview.result() == QDialog::Accepted;
        };
        const Grid before = page().channelGrid;
        window->referenceOrderAction->trigger();
        QCOMPARE(shown, QStringList({"9750", "10600", "HotBird"}));
        QVERIFY2(pathWidth >= 300, qPrintable(QString::number(pathWidth)));
        QCOMPARE(takes, QStringLiteral("Dal riferimento verrà preso solo l'ordine."));
        // Compact rows, the name column the widest, nothing to scroll sideways.
        QVERIFY2(rowHeight > 0 && rowHeight <= window->fontMetrics().height() + 6,
                 qPrintable(QString::number(rowHeight)));
        QVERIFY2(nameWidth > 2 * numberWidth,
                 qPrintable(QStringLiteral("%1 %2").arg(nameWidth).arg(numberWidth)));
        QVERIFY(!scrollsSideways);
        QVERIFY(passes.contains(QStringLiteral("Passo 1")));
        QVERIFY(passes.contains(QStringLiteral("11 canali trovati")));
        QCOMPARE(currentRows, 1);    // "Canale 12"
        QCOMPARE(referenceRows, 1);  // "Nuovo"
        std::vector<std::string> expected;
        for (int r = 11; r >= 1; --r) expected.push_back(before.cell(r, ch::Name));
        expected.push_back("Canale 12");
        QCOMPARE(Names(page(), 1, 12), expected);
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("11 canali ordinati secondo il riferimento, 1 non trovato"));
        QCOMPARE(selection(), std::make_pair(12, page().channelCount()));
        QVERIFY(page().modified);
        window->undoAction->trigger();
        QVERIFY(page().channelGrid == before);
    }

    // Every channel found in the reference: nothing is left to show at the end, so the
    // selection and the view stay where they were instead of jumping to the empty rows.
    void applyReferenceFindingEveryChannel() {
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            dialog.fileEdit->setText(allReversedPath);
            dialog.namesCheck->setChecked(true);
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        QString takes;
        window->runReferencePreviewDialog = [&](ReferencePreviewDialog& preview) {
            takes = preview.takesLabel->text();
            ClickOk(preview.buttons);
            return preview.result() == QDialog::Accepted;
        };
        SelectChannels(*view, 3, 4);
        const int top = view->channelTable->rowAt(0);
        window->referenceOrderAction->trigger();
        QCOMPARE(takes, QStringLiteral("Dal riferimento verranno presi l'ordine e i nomi."));
        QCOMPARE(Names(page(), 1, 2), (std::vector<std::string>{"Canale 12", "Canale 11"}));
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("12 canali ordinati secondo il riferimento, 0 non trovati"));
        QCOMPARE(selection(), std::make_pair(3, 4));
        QCOMPARE(view->channelTable->rowAt(0), top);
    }

    // Annulla in any dialog of the two commands leaves the rows, the modified flag, the
    // selection and the undo history alone. Each dialog is first set to what would
    // change the order, so that an ignored Annulla shows.
    void cancelledDialogChangesNothing_data() {
        QTest::addColumn<QString>("cancelled");  // the dialog whose Annulla is pressed
        QTest::newRow("sort") << "sort";
        QTest::newRow("reference") << "reference";
        QTest::newRow("reference preview") << "preview";
    }
    void cancelledDialogChangesNothing() {
        QFETCH(QString, cancelled);
        const auto cancel = [](QDialog& dialog, QDialogButtonBox* buttons) {
            buttons->button(QDialogButtonBox::Cancel)->click();
            return dialog.result() == QDialog::Accepted;
        };
        QStringList shown;
        window->runSortDialog = [&](SortDialog& dialog) {
            shown << "sort";
            dialog.keyCombo->setCurrentIndex(dialog.keyCombo->findText(QStringLiteral("Nome")));
            return cancel(dialog, dialog.buttons);
        };
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            shown << "reference";
            dialog.fileEdit->setText(reversedPath);
            if (cancelled == "reference") return cancel(dialog, dialog.buttons);
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        window->runReferencePreviewDialog = [&](ReferencePreviewDialog& preview) {
            shown << "preview";
            return cancel(preview, preview.buttons);
        };
        SelectChannels(*view, 1, 6);  // "alfa" (row 5) would come first by name
        const Grid before = page().channelGrid;
        (cancelled == "sort" ? window->sortAction : window->referenceOrderAction)->trigger();
        QCOMPARE(shown.last(), cancelled);
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
        QCOMPARE(selection(), std::make_pair(1, 6));
    }

    void referenceDialogRefusesBadValues() {
        bool stayedOpen = false;
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            ClickOk(dialog.buttons);  // no file
            const bool first = dialog.result() != QDialog::Accepted;
            dialog.fileEdit->setText(reversedPath);
            dialog.satelliteBEdit->setText(dialog.satelliteAEdit->text());
            ClickOk(dialog.buttons);  // equal satellite names
            stayedOpen = first && dialog.result() != QDialog::Accepted;
            return false;
        };
        window->referenceOrderAction->trigger();
        QVERIFY(stayedOpen);
        QCOMPARE(prompts.asked.size(), size_t(2));
        QCOMPARE(prompts.asked[0].text, std::string(kReferenceValuesError));
        QVERIFY(!page().modified);
    }

    void takingFavouritesFromASingleImageIsRefused() {
        bool offered = false;
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            offered = dialog.favouritesCheck->isEnabled();
            dialog.fileEdit->setText(singlePath);
            dialog.favouritesCheck->setChecked(true);
            ClickOk(dialog.buttons);
            return dialog.result() == QDialog::Accepted;
        };
        bool previewed = false;
        window->runReferencePreviewDialog = [&](ReferencePreviewDialog&) {
            return previewed = true;
        };
        const Grid before = page().channelGrid;
        window->referenceOrderAction->trigger();
        QVERIFY(offered);
        QVERIFY(!previewed);
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string(kTakeFavouritesRefused));
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
    }

    void singlePageOffersNoFavourites() {
        QVERIFY(OpenThroughDialog(*window, singlePath));
        bool offered = true;
        window->runReferenceDialog = [&](ReferenceDialog& dialog) {
            offered = dialog.favouritesCheck->isEnabled();
            return false;
        };
        window->referenceOrderAction->trigger();
        QVERIFY(!offered);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new ReorderCommandsTest; });

#include "test_reorder_commands.moc"
