// A table view's model over one grid of a page. The grid stays the only copy of the
// cells: the model reads and writes through to it, and only converts names between
// their Windows-1252 bytes and text.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "channels/list_page.h"

struct GridColumn {
    int width = 50;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool name = false;      // cells are Windows-1252 bytes
    bool editable = false;  // typed in place
    bool fixed = false;     // drawn like a title cell (the row numbers of a fixed column)
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
    rivo::Grid* grid_;
    std::vector<GridColumn> columns_;
    int shownRows_ = 0;
};
