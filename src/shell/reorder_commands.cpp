// The reordering commands of the "Modifica" menu: sorting a block of channels, and
// putting the list into the order of a reference list.
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <utility>

#include "channels/page_io.h"
#include "dialogs/qt_text.h"
#include "dialogs/reorder_dialogs.h"
#include "editing/reorder.h"
#include "editing/reorder_dialog_logic.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {

using window_text::kAttention;

// Selects channel rows first .. last (1-based), first becoming the current row.
void SelectChannelBlock(PageView& view, int first, int last) {
    QAbstractItemModel* model = view.channelTable->model();
    if (first < 1 || last < first || last > model->rowCount()) return;
    const QModelIndex top = model->index(first - 1, 0);
    const QItemSelection block(top, model->index(last - 1, model->columnCount() - 1));
    QItemSelectionModel* selection = view.channelTable->selectionModel();
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    selection->select(block, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.channelTable->scrollTo(top);
}

}  // namespace

void MainWindow::createReorderCommands() {
    sortAction = new QAction(QTr(rivo::kSortCaption), this);
    sortAction->setObjectName(QStringLiteral("sortAction"));
    sortAction->setStatusTip(QTr("Ordina i canali per nome, SID o frequenza"));
    referenceOrderAction = new QAction(QTr(rivo::kReferenceCaption), this);
    referenceOrderAction->setObjectName(QStringLiteral("referenceOrderAction"));
    referenceOrderAction->setStatusTip(QTr("Riporta la lista nell'ordine di un'altra lista"));
    // The menu's own texts, with their mnemonics; the dialogs keep the plain captions.
    sortAction->setText(QTr("&Ordina..."));
    referenceOrderAction->setText(QTr("A&pplica ordine da riferimento..."));
    editMenu->addSeparator();
    editMenu->addAction(sortAction);
    editMenu->addAction(referenceOrderAction);
    connect(sortAction, &QAction::triggered, this, &MainWindow::sortChannels);
    connect(referenceOrderAction, &QAction::triggered, this, &MainWindow::applyReferenceOrder);
    runSortDialog = [](SortDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    runReferenceDialog = [](ReferenceDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    runReferencePreviewDialog = [](ReferencePreviewDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void MainWindow::sortChannels() {
    PageView* view = activePage();
    if (!view || view->page().channelCount() < 1) return;
    const auto [selectedFirst, selectedLast] = view->selectedChannelRows();
    SortDialog dialog(selectedFirst >= 1 && selectedLast > selectedFirst, this);
    if (!runSortDialog(dialog)) return;
    const rivo::SortDialogValues values = dialog.values();
    // Plain variables, not a structured binding: the command below captures them, which
    // clang before version 16 refuses for bindings.
    const std::pair<int, int> rows = rivo::SortDialogRows(view->page(), values, selectedFirst, selectedLast);
    const int first = rows.first;
    const int last = rows.second;
    bool sorted = false;
    runOnPage(*view, rivo::kSortStep, [&](PageView& v) {
        sorted = rivo::SortChannels(v.page(), first, last, values.key).changed;
    });
    // The sorted block stays selected, so the user sees what moved.
    if (sorted) SelectChannelBlock(*view, first, last);
}

void MainWindow::applyReferenceOrder() {
    PageView* view = activePage();
    if (!view) return;
    rivo::ListPage& page = view->page();
    ReferenceDialog dialog(rivo::ReferenceDialogStart(page), page.layout == rivo::ListLayout::Split, prompts(), this);
    if (!runReferenceDialog(dialog)) return;
    const rivo::ReferenceDialogValues values = dialog.values();
    const auto params = rivo::ReferenceOpenParams(page, values);
    if (!params) return;  // the dialog's Ok refuses these

    rivo::OpenResult opened = rivo::OpenPage(*params, progress());
    progress().hide();
    if (opened.status != rivo::OpenResult::Status::Ok || !opened.page) {
        prompts().tell(opened.message, rivo::Tr(kAttention), rivo::Icon::Error);
        return;
    }
    const rivo::ListPage& reference = *opened.page;
    rivo::ReferenceOptions options;
    options.takeFavourites = values.takeFavourites;
    options.takeNames = values.takeNames;
    if (options.takeFavourites && !rivo::CanTakeFavourites(page, reference)) {
        prompts().tell(rivo::Tr(rivo::kTakeFavouritesRefused), rivo::Tr(rivo::kTakeFavouritesTitle),
                       rivo::Icon::Warning);
        return;
    }
    const rivo::ReferenceMatch match = rivo::MatchReference(page, reference);
    ReferencePreviewDialog preview(rivo::MakeReferencePreview(page, reference, match, options), this);
    if (!runReferencePreviewDialog(preview)) return;

    rivo::EditResult result;
    runOnPage(*view, rivo::kReferenceStep, [&](PageView& v) {
        result = rivo::ApplyReference(v.page(), reference, match, options);
    });
    if (!result.changed) return;
    tellStatus(QString::fromStdString(rivo::ReferenceStatusText(match)));
    // The channels the reference did not know stand together at the end; when it knew
    // them all, the selection and the view stay where they were.
    if (result.focusRow > 0 && !match.unmatchedCurrent.empty())
        SelectChannelBlock(*view, result.focusRow, page.channelCount());
}
