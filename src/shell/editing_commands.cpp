// What the editing commands do on the active page: copy, paste, delete, move, go to,
// insert, the transponder and favourites commands and the properties dialogs, each run
// as one undo step; moving rows by dragging; undo and redo; find, export and about.
// Which action runs which command, and when it is enabled, is in commands.cpp.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "dialogs/about_box.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/qt_text.h"
#include "dialogs/row_number_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "editing/channel_edit.h"
#include "editing/row_selection.h"
#include "editing/transponders.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {
using window_text::kApplicationTitle;
using window_text::kAttention;

// The names of the undo steps, after the commands.
constexpr const char* kStepDelete = rivo::TrNoop("Cancellazione canali");
constexpr const char* kStepInsert = rivo::TrNoop("Inserimento canale");
constexpr const char* kStepMove = rivo::TrNoop("Spostamento canali");
constexpr const char* kStepPaste = rivo::TrNoop("Incolla");
constexpr const char* kStepFavourite = rivo::TrNoop("Sposta preferito");
constexpr const char* kStepChannel = rivo::TrNoop("Proprietà canale");
constexpr const char* kStepTransponder = rivo::TrNoop("Modifica transponder");
constexpr const char* kStepDeleteTransponder = rivo::TrNoop("Elimina transponder");
constexpr const char* kStepOptimise = rivo::TrNoop("Ottimizza transponder");
constexpr const char* kStepSwap = rivo::TrNoop("Inverti satelliti");
// Commands that never change the page: nothing to record.
constexpr const char* kStepNone = nullptr;
constexpr const char* kNothingToMerge = rivo::TrNoop("Nessun transponder doppio da unire");
}  // namespace

// ---------------------------------------------------------------------------------------
// Editing commands

void MainWindow::runOnActivePage(const char* undoName,
                                 const std::function<void(PageView&)>& command) {
    if (PageView* view = activePage()) runOnPage(*view, undoName, command);
}

void MainWindow::runOnPage(PageView& view, const char* undoName,
                           const std::function<void(PageView&)>& command) {
    commandStarting();
    try {
        command(view);
    } catch (const std::exception& failure) {
        progress().hide();
        progress().status("");
        prompts().tell(failure.what(), kApplicationTitle, rivo::Icon::Error);
    }
    // Whatever the command changed, even when it stopped half-way, can be taken back.
    // The step keeps its name in the language of this session: the menus show it.
    if (undoName) {
        const char* name = rivo::Tr(undoName);
        if (stepSelection_)
            view.history().commit(view.page(), name, stepSelection_->first, stepSelection_->second);
        else
            view.history().commit(view.page(), name);
    }
    stepSelection_.reset();
    pageChanged(&view);
}

void MainWindow::selectAfterStep(int first, int last, int target) {
    rivo::UndoHistory::TouchedRows before, after;
    before.channels = rivo::RowsOf(first, last);
    after.channels = rivo::RowsOf(target, target + (last - first));
    recordStepRows(before, after);
}

void MainWindow::recordStepRows(const rivo::UndoHistory::TouchedRows& afterUndo,
                                const rivo::UndoHistory::TouchedRows& afterRedo) {
    stepSelection_ = std::pair{afterUndo, afterRedo};
}

void MainWindow::enableDragMoves(PageView* view) {
    RowMover channels;
    // A block dropped lower than it fits (onto the last row, say) goes as far down as it
    // fits: its last channel in the last row.
    auto fitted = [view](int first, int last, int target) {
        return std::min(target, rivo::MoveLimit(view->page(), first, last) - 1);
    };
    channels.allowed = [view, fitted](int first, int last, int target) {
        const rivo::ListPage& page = view->page();
        // Rows picked in separate blocks are no block to drag.
        return first >= 1 && first <= last && last <= page.channelCount() && target >= 1 &&
               fitted(first, last, target) >= 1 && view->channelSelectionIsOneBlock();
    };
    channels.move = [this, view, fitted](int first, int last, int dropped) {
        const int target = fitted(first, last, dropped);
        runOnPage(*view, kStepMove, [this, first, last, target](PageView& v) {
            if (rivo::MoveChannels(v.page(), first, last, target, progress()).changed) {
                v.selectChannelRows(target, target + (last - first));
                selectAfterStep(first, last, target);
            }
        });
    };
    // A drop that does nothing says why: rows picked apart are no block to move.
    channels.refused = [this, view](int, int, int) {
        if (!view->channelSelectionIsOneBlock())
            tellStatus(QTr("Solo per un blocco di righe consecutive"));
    };
    view->channelModel()->setRowMover(std::move(channels));
    for (int k = 0; k < rivo::fav::Lists; ++k) {
        RowMover entries;
        // One entry at a time, as the up and down buttons move them.
        entries.allowed = [view, k](int first, int last, int target) {
            return first == last && rivo::FavouriteMoveAllowed(view->page(), k, first, target);
        };
        entries.move = [this, view, k](int first, int, int target) {
            runOnPage(*view, kStepFavourite, [k, first, target](PageView& v) {
                const rivo::EditResult result = rivo::MoveFavourite(v.page(), k, first, target);
                if (result.focusRow > 0) v.setCurrentFavouriteRow(k, result.focusRow);
            });
        };
        view->favouriteModel(k)->setRowMover(std::move(entries));
    }
}

int MainWindow::askChannelNumber(const char* caption, const char* group, int limit, int initial) {
    RowNumberDialog dialog(prompts(), this);
    dialog.setWindowTitle(QTr(caption));
    dialog.numberGroup->setTitle(QTr(group));
    dialog.limit = limit;
    dialog.numberEdit->setText(QString::number(initial));
    dialog.numberEdit->selectAll();
    if (!runRowNumberDialog(dialog)) return 0;
    return dialog.value();
}

void MainWindow::copyChannels() {
    runOnActivePage(kStepNone, [this](PageView& view) {
        // Any set of rows, copied in row order.
        rivo::CopyChannelSet(view.page(), view.selectedChannelSet(), channelClipboard);
        if (clipboardHoldsChannels()) pasteChannelsAction->setEnabled(true);
    });
}

void MainWindow::pasteChannels() {
    runOnActivePage(kStepPaste, [this](PageView& view) {
        const int row = view.currentChannelRow();
        rivo::PastedRows placed;
        if (!rivo::PasteChannels(view.page(), row, channelClipboard, prompts(), progress(),
                                 &placed))
            return;
        view.selectChannelRows(placed.first, placed.last);
        // Undoing an insertion leaves the channels that moved down back where they were:
        // the row the block went in names the place. Overwritten channels come back on
        // the pasted rows.
        rivo::UndoHistory::TouchedRows afterUndo, afterRedo;
        afterUndo.channels = placed.inserted ? std::vector<int>{placed.first}
                                             : rivo::RowsOf(placed.first, placed.last);
        afterRedo.channels = rivo::RowsOf(placed.first, placed.last);
        recordStepRows(afterUndo, afterRedo);
    });
}

void MainWindow::deleteChannels() {
    runOnActivePage(kStepDelete, [this](PageView& view) {
        const std::vector<int> rows = view.selectedChannelSet();
        if (rows.empty()) return;
        const int first = rows.front();
        // The deleted rows' first place is selected: the channels now there were not
        // chosen, so a second Delete takes one row, not a block of them. Undo brings the
        // deleted channels back to their rows and selects exactly those; redo selects as
        // the command did.
        if (rivo::DeleteSelectedChannelSet(view.page(), rows, prompts(), progress()).changed) {
            view.selectChannelRows(first, first);
            rivo::UndoHistory::TouchedRows afterUndo, afterRedo;
            afterUndo.channels = rows;
            afterRedo.channels = std::vector<int>{first};
            recordStepRows(afterUndo, afterRedo);
        }
    });
}

void MainWindow::moveChannels() {
    runOnActivePage(kStepMove, [this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        if (first < 1) return;
        const int target =
            askChannelNumber(rivo::kMoveCaption, rivo::kMoveGroup,
                             rivo::MoveLimit(view.page(), first, last), view.currentChannelRow());
        if (target < 1) return;
        if (rivo::MoveChannels(view.page(), first, last, target, progress()).changed) {
            view.selectChannelRows(target, target + (last - first));
            selectAfterStep(first, last, target);
        }
    });
}

void MainWindow::goToChannel() {
    runOnActivePage(kStepNone, [this](PageView& view) {
        const int target = askChannelNumber(rivo::kGoToCaption, rivo::kGoToGroup,
                                            rivo::GoToLimit(view.page()), view.currentChannelRow());
        if (target < 1) return;
        const rivo::EditResult result = rivo::GoToChannel(view.page(), target);
        if (result.focusRow > 0) {
            view.setCurrentChannelRow(result.focusRow);
            view.channelTable->setFocus();
        }
    });
}

void MainWindow::insertChannel() {
    runOnActivePage(kStepInsert, [this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        if (rivo::InsertEmptyChannel(view.page(), row, prompts()).changed) {
            // The channels below only moved: the row of the new empty channel is what
            // the command touched, before and after.
            rivo::UndoHistory::TouchedRows touched;
            touched.channels = std::vector<int>{row};
            recordStepRows(touched, touched);
        }
    });
}

void MainWindow::swapSatellites() {
    runOnActivePage(kStepSwap,
                    [this](PageView& view) { rivo::SwapSatellites(view.page(), prompts()); });
}

void MainWindow::deleteTransponder() {
    runOnActivePage(kStepDeleteTransponder, [this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        rivo::DeleteTransponder(view.page(), row, prompts(), progress());
    });
}

void MainWindow::optimiseTransponders() {
    runOnActivePage(kStepOptimise, [this](PageView& view) {
        // The status bar says what the command did, merged or not, rather than leaving
        // the user to wonder whether it ran.
        int merged = 0;
        if (!rivo::OptimiseTransponderList(view.page(), progress(), &merged))
            tellStatus(QTr(kNothingToMerge));
        else
            tellStatus(QTrN("%1 transponder doppio unito", "%1 transponder doppi uniti", merged)
                           .arg(merged));
    });
}

namespace {
// The up and down buttons: the current entry of the selected favourites list moves one
// slot with `move`, and the entry stays current in its new slot.
using FavouriteStep = rivo::EditResult (*)(rivo::ListPage&, int list, int slot, rivo::UserPrompts&);
void MoveCurrentFavourite(PageView& view, FavouriteStep move, rivo::UserPrompts& prompts) {
    const int list = view.page().selectedFavourite;
    const rivo::EditResult result =
        move(view.page(), list, view.currentFavouriteRow(list), prompts);
    if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
}
}  // namespace

void MainWindow::moveFavouriteUp() {
    runOnActivePage(kStepFavourite, [this](PageView& view) {
        MoveCurrentFavourite(view, rivo::MoveFavouriteUp, prompts());
    });
}

void MainWindow::moveFavouriteDown() {
    runOnActivePage(kStepFavourite, [this](PageView& view) {
        MoveCurrentFavourite(view, rivo::MoveFavouriteDown, prompts());
    });
}

void MainWindow::editChannelProperties() {
    runOnActivePage(kStepChannel, [this](PageView& view) {
        const std::vector<int> rows = view.selectedChannelSet();
        if (rows.empty()) return;
        ::RunChannelPropertiesDialog(this, view.page(), rows, &prompts());
    });
}

void MainWindow::editChannel() {
    runOnActivePage(kStepChannel, [this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        ::RunChannelDialog(this, *channelDialog, view.page(), row, &prompts());
    });
}

void MainWindow::editTransponder() {
    runOnActivePage(kStepTransponder, [this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        RunTransponderDialog(this, view.page(), row, &prompts());
    });
}

// ---------------------------------------------------------------------------------------
// Undo, redo, find, export, about

namespace {
// After undo or redo the rows the step changed are selected, so the user sees what came
// back or went again.
void SelectStepRows(PageView& view, const rivo::UndoHistory::StepRows& rows) {
    if (!rows.channels.empty()) view.selectChannelSet(rows.channels);
    if (!rows.transponders.empty()) view.selectTransponderSet(rows.transponders);
}
}  // namespace

void MainWindow::undo() { takeHistoryStep(false); }

void MainWindow::redo() { takeHistoryStep(true); }

void MainWindow::takeHistoryStep(bool redo) {
    PageView* view = activePage();
    if (!view) return;
    rivo::UndoHistory& history = view->history();
    // The rows of the step about to be taken, asked for while it is still the next one.
    const rivo::UndoHistory::StepRows rows = redo ? history.redoRows() : history.undoRows();
    const std::string name = redo ? history.redoName() : history.undoName();
    if (!(redo ? history.redo(view->page()) : history.undo(view->page()))) return;
    pageChanged(view);
    SelectStepRows(*view, rows);
    tellStatus(
        (redo ? QTr("Ripetuto: %1") : QTr("Annullato: %1")).arg(QString::fromStdString(name)));
}

void MainWindow::find() {
    if (PageView* view = activePage()) view->openFindBar();
}

void MainWindow::showAbout() {
    AboutBox box(this);
    if (runAboutBox) runAboutBox(box);
}

void MainWindow::exportCsv() {
    PageView* view = activePage();
    if (!view) return;
    // The tables the page shows; the one on screen is offered first.
    QStringList names{QTr("Canali"), QTr("Transponder")};
    std::vector<rivo::CsvTable> tables{rivo::CsvTable::Channels, rivo::CsvTable::Transponders};
    if (view->tabs->isTabVisible(2)) {
        names << QTr("Preferiti");
        tables.push_back(rivo::CsvTable::Favourites);
    }
    const int current =
        std::clamp(view->tabs->currentIndex(), 0, static_cast<int>(names.size()) - 1);
    const int chosen = chooseExportTable ? chooseExportTable(names, current) : -1;
    if (chosen < 0 || chosen >= static_cast<int>(tables.size())) return;
    const QFileInfo source(QFile::decodeName(QByteArray::fromStdString(view->page().fileName)));
    const QString suggested = source.absolutePath() + QStringLiteral("/") +
                              source.completeBaseName() + QStringLiteral(" - ") + names[chosen] +
                              QStringLiteral(".csv");
    const QString path = chooseExportFile ? chooseExportFile(suggested) : QString();
    if (path.isEmpty()) return;
    commandStarting();
    const std::string csv = rivo::ExportCsv(view->page(), tables[static_cast<size_t>(chosen)]);
    const std::string error = rivo::WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                        rivo::Bytes(csv.begin(), csv.end()));
    if (!error.empty()) {
        statusMessage->clear();
        prompts().tell(error, rivo::Tr(kAttention), rivo::Icon::Error);
        return;
    }
    const int rows = rivo::CsvRowCount(view->page(), tables[static_cast<size_t>(chosen)]);
    tellStatus(QTrN("Esportata %1 riga in %2", "Esportate %1 righe in %2", rows)
                   .arg(rows)
                   .arg(QDir::toNativeSeparators(path)));
}
