// A table view's model over one grid of a page. The grid stays the only copy of the
// cells: the model reads and writes through to it, and only converts names between
// their Windows-1252 bytes and text.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "channels/list_page.h"

struct GridColumn {
    int width = 50;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool name = false;      // cells are Windows-1252 bytes
    bool editable = false;  // typed in place
    bool fixed = false;     // drawn like a title cell (the row numbers of a fixed column)
};

// Moving a block of rows by dragging it within its own table. Rows are grid rows
// (1-based): the block first .. last comes to start at target. allowed says whether a
// drop there does anything; move does it (as the table's own move command would).
struct RowMover {
    std::function<bool(int first, int last, int target)> allowed;
    std::function<void(int first, int last, int target)> move;
    // Told of a drop that allowed refused, to say why (may be empty).
    std::function<void(int first, int last, int target)> refused;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // grid must outlive the model. Grid row 0 (the titles) is the header; model row i is
    // grid row i + 1.
    GridModel(rivo::Grid* grid, std::vector<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Editable cells: the text must be writable in Windows-1252, otherwise it is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Dragging rows within this table: set on the tables whose rows can be reordered.
    // The rows travel as the model's own MIME type and are only accepted by the model
    // they came from; a drop on a row makes that row the target.
    void setRowMover(RowMover mover);
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    const std::vector<GridColumn>& columns() const { return columns_; }
    rivo::Grid* grid() const { return grid_; }

    // Tells the views that the grid changed underneath (after an editing command).
    void refresh();
    // The same for grid rows first..last only.
    void refreshRows(int first, int last);

signals:
    // A cell's text was changed by typing: grid row and column.
    void cellEdited(int row, int column);

private:
    // The dragged block (grid rows) and the target row of a drop; false when the data
    // is not a block of this model or the drop has no row.
    bool dropBlock(const QMimeData* data, Qt::DropAction action, int row, const QModelIndex& parent,
                   int& first, int& last, int& target) const;

    rivo::Grid* grid_;
    RowMover mover_;
    std::vector<GridColumn> columns_;
    int shownRows_ = 0;
};
