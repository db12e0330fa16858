// One page of the main window: the tables of one opened image.
//
// Inner tabs on the left: "Canali" (channel table), "Transponder" (transponder table),
// "Preferiti" (list names, version, and the eight favourites lists side by side).
// The views show the page's grids through GridModels; the page owns its ListPage.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/undo_history.h"
#include "shell/file_identity.h"
#include "shell/grid_model.h"

class QHeaderView;
class QLabel;
class QLineEdit;
class QToolButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QGroupBox;

class QPushButton;
class ChannelFilterBar;

class PageView : public QWidget {
    Q_OBJECT
public:
    // prompts must outlive the page.
    PageView(std::unique_ptr<rivo::ListPage> page, rivo::UserPrompts& prompts,
             QWidget* parent = nullptr);
    ~PageView() override;

    rivo::ListPage& page() { return *page_; }
    const rivo::ListPage& page() const { return *page_; }
    // The page's undo history: one step per command that changed the page.
    rivo::UndoHistory& history() { return history_; }
    // The page's file as this page last read or saved it: a save over a file that
    // changed since asks first.
    FileIdentity fileIdentity;

    // The tab caption: the file name without its folder ("Nuova lista" without a name).
    QString caption() const;

    // Tells every view that the grids changed (after an editing command).
    void refresh();

    // Channel table: the current row (grid row, 0 when there is none), the selected block
    // (first and last grid rows; the current row alone when nothing is selected), and
    // making a row current (selected alone and scrolled into view).
    int currentChannelRow() const;
    // With the filter bar, only rows it shows count as selected.
    std::pair<int, int> selectedChannelRows() const;
    // The selected rows the filter shows, ascending (Ctrl+click and Shift+click select
    // any set); the current row alone when nothing is selected.
    std::vector<int> selectedChannelSet() const;
    // Whether that set is one block of consecutive rows: what the commands that work
    // on a block (insert, move, drag, paste, go to, sort of a selection) need.
    bool channelSelectionIsOneBlock() const;
    // The filter bar over the channel table (always shown).
    ChannelFilterBar* filterBar = nullptr;
    void setCurrentChannelRow(int row);
    // Selects rows first..last of a table, the first one current and scrolled into view;
    // a block starting past the last row leaves nothing selected and no current row.
    // After a command the selection follows the channels it moved, not row numbers.
    void selectChannelRows(int first, int last);
    void selectTransponderRows(int first, int last);
    // Selects the rows (ascending) in as many blocks as they make, the first one current
    // and scrolled into view; no rows clear the selection.
    void selectChannelSet(const std::vector<int>& rows);
    void selectTransponderSet(const std::vector<int>& rows);
    int currentTransponderRow() const;
    // The current slot (1..128) of favourites list k (0..7), 0 when none.
    int currentFavouriteRow(int list) const;
    void setCurrentFavouriteRow(int list, int row);

    // The find bar above the channel table: opening it selects its text and gives it
    // the focus; closing it gives the focus back to the table.
    void openFindBar();
    void closeFindBar();
    bool findBarOpen() const;
    // Selects the next (or previous) channel whose name holds the find text, from the
    // current row on; includeCurrent lets the current row itself match first (typing
    // more letters keeps the match that still fits). Returns the row found, 0 for none;
    // no match turns the text red.
    int findChannel(bool forward, bool includeCurrent = false);

    // The handlers of the page's own controls.
    void afterEdit(int column, int row);
    void selectFavouriteList(int list);

    // Over the page: its file changed on disk since this page read or saved it; offers
    // "Ricarica" (read it again) or "Ignora" (keep the page, and take the file as known).
    QWidget* changedOnDiskBar = nullptr;
    QPushButton* reloadButton = nullptr;
    QPushButton* ignoreChangeButton = nullptr;
    void showChangedOnDisk();
    bool changedOnDiskShown() const;
    QTabWidget* tabs = nullptr;     // inner tabs: 0 "Canali", 1 "Transponder", 2 "Preferiti"
    QWidget* channelTab = nullptr;  // the find bar over the channel table
    QWidget* findBar = nullptr;
    QLineEdit* findEdit = nullptr;
    QToolButton* findPreviousButton = nullptr;
    QToolButton* findNextButton = nullptr;
    QToolButton* findCloseButton = nullptr;
    QTableView* channelTable = nullptr;
    QTableView* transponderTable = nullptr;
    std::array<QTableView*, rivo::fav::Lists> favouriteTables{};
    QTableView* configTable = nullptr;
    QGroupBox* configBox = nullptr;
    QLabel* versionLabel = nullptr;
    QLabel* selectedListLabel = nullptr;
    QScrollArea* scrollBox = nullptr;
    QHeaderView* headerStrip = nullptr;

    GridModel* channelModel() const { return channelModel_; }
    GridModel* transponderModel() const { return transponderModel_; }
    GridModel* favouriteModel(int list) const {
        return favouriteModels_[static_cast<size_t>(list)];
    }
    GridModel* configModel() const { return configModel_; }

signals:
    void innerTabChanged(QTabWidget* inner);
    // The page's modified flag was set by an edit made on the page itself.
    void modifiedByEdit();
    void channelDoubleClicked();
    void transponderDoubleClicked();
    void channelContextMenu(const QPoint& globalPos);
    // The selected channel rows, or the rows the filter shows, changed.
    void channelSelectionChanged();
    // "Ricarica" on the changed-on-disk bar.
    void reloadRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // rowDragging: rows are moved by dragging them (the model's RowMover does it).
    QTableView* makeGridView(GridModel* model, bool editable, bool rowDragging = false);

    void setFindFailed(bool failed);

public:
    // The name column of a table takes the width the other columns leave, never less
    // than its own narrowest width (set by the user's widths when they are restored).
    void fitNameColumn(QTableView* view);
    void setNameColumnWidth(QTableView* view, int width);
    // A table's name column (-1 for none) and that column's narrowest width.
    static int nameColumnOf(const QTableView* view);
    static int nameWidthOf(const QTableView* view);

private:
    std::unique_ptr<rivo::ListPage> page_;
    rivo::UndoHistory history_;
    rivo::UserPrompts& prompts_;
    GridModel* channelModel_ = nullptr;
    GridModel* transponderModel_ = nullptr;
    std::array<GridModel*, rivo::fav::Lists> favouriteModels_{};
    GridModel* configModel_ = nullptr;
};
