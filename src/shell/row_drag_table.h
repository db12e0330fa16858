// A table whose rows are moved by dragging them within it (the channel table and the
// favourites lists). The model decides where a drop is allowed and what it does, and a
// drop always lands on the row under the pointer: also on a row of the dragged block
// itself, which moves the block by less than its length (the stock view would refuse a
// drop onto the selection). A drop in the empty space below the last shown row puts the
// block after that row.
#pragma once

#include <QTableView>

class RowDragTable final : public QTableView {
public:
    RowDragTable();

protected:
    // Rows of this table's own kind: where they may land is for the moves to say.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QModelIndex rowAt(const QPointF& position) const;
    // Below the last shown row: the model row the drop stands before (one past that
    // row); -1 elsewhere.
    int gapBelowShownRows(const QPointF& position) const;
};
