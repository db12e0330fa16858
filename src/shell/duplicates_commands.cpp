// "Trova duplicati..." of the "Modifica" menu: the dialog of the copies of a channel,
// then removing them (or the repeated favourites entries) as one undo step.
#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

#include "dialogs/duplicates_dialog.h"
#include "dialogs/qt_text.h"
#include "editing/duplicates.h"
#include "editing/row_selection.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

void MainWindow::createDuplicateCommands() {
    findDuplicatesAction = new QAction(QTr(rivo::kDuplicatesCaption), this);
    findDuplicatesAction->setObjectName(QStringLiteral("findDuplicatesAction"));
    findDuplicatesAction->setStatusTip(
        QTr("Trova i canali presenti più volte ed elimina le copie"));
    // The menu's own text, with its mnemonic; the dialog keeps the plain caption.
    findDuplicatesAction->setText(QTr("Trova &duplicati..."));
    editMenu->addAction(findDuplicatesAction);
    connect(findDuplicatesAction, &QAction::triggered, this, &MainWindow::findDuplicates);
    runDuplicatesDialog = [](DuplicatesDialog& dialog) { return dialog.exec(); };
}

void MainWindow::findDuplicates() {
    PageView* view = activePage();
    if (!view) return;
    DuplicatesDialog dialog(view->page(), this);
    // A double-clicked copy is shown in the channel table behind the dialog.
    dialog.showRow = [view](int row) {
        view->tabs->setCurrentIndex(0);
        view->selectChannelRows(row, row);
    };
    const int outcome = runDuplicatesDialog(dialog);
    if (outcome == DuplicatesDialog::RemoveCopies) {
        const std::vector<rivo::DuplicateGroup> groups = dialog.groupsToRemove();
        int removed = 0;
        rivo::EditResult result;
        runOnPage(*view, rivo::kDuplicatesStep, [&](PageView& v) {
            result = rivo::RemoveDuplicates(v.page(), groups, &removed);
            if (!result.changed) return;
            // Undo brings the removed copies back to their rows, and selects them; redo
            // selects as the command does, the first kept channel.
            rivo::UndoHistory::TouchedRows afterUndo, afterRedo;
            std::vector<int> copies;
            for (const rivo::DuplicateGroup& group : groups)
                for (const int row : group.rows)
                    if (row != group.kept) copies.push_back(row);
            afterUndo.channels = rivo::NormalisedRows(v.page(), copies);
            afterRedo.channels =
                result.focusRow > 0 ? std::vector<int>{result.focusRow} : std::vector<int>{};
            recordStepRows(afterUndo, afterRedo);
        });
        if (!result.changed) return;
        tellStatus(QString::fromStdString(rivo::DuplicatesRemovedText(removed)));
        if (result.focusRow > 0) view->selectChannelRows(result.focusRow, result.focusRow);
    } else if (outcome == DuplicatesDialog::CleanUpFavourites) {
        int removed = 0;
        runOnPage(*view, rivo::kRepeatedStep,
                  [&](PageView& v) { rivo::RemoveRepeatedFavourites(v.page(), &removed); });
        tellStatus(QString::fromStdString(rivo::RepeatedEntriesRemovedText(removed)));
    }
}
