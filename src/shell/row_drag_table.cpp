// The table whose rows are dragged within it: the drop always lands on the row under the
// pointer, and the model decides what it does.
#include "shell/row_drag_table.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

RowDragTable::RowDragTable() {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDragDropOverwriteMode(true);
    setDefaultDropAction(Qt::MoveAction);
}

void RowDragTable::dragEnterEvent(QDragEnterEvent* event) {
    const QStringList types = model() ? model()->mimeTypes() : QStringList();
    if (!types.isEmpty() && event->mimeData()->hasFormat(types.first()) &&
        (event->possibleActions() & Qt::MoveAction)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        setState(DraggingState);
    } else {
        event->ignore();
    }
}

void RowDragTable::dragMoveEvent(QDragMoveEvent* event) {
    QTableView::dragMoveEvent(event);  // scrolling near the edges, the indicator
    const QModelIndex on = rowAt(event->position());
    const int below = on.isValid() ? -1 : gapBelowShownRows(event->position());
    if (model()->canDropMimeData(event->mimeData(), Qt::MoveAction, below, -1, on)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void RowDragTable::dropEvent(QDropEvent* event) {
    const QModelIndex on = rowAt(event->position());
    const int below = on.isValid() ? -1 : gapBelowShownRows(event->position());
    if ((on.isValid() || below >= 0) &&
        model()->dropMimeData(event->mimeData(), Qt::MoveAction, below, -1, on)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

QModelIndex RowDragTable::rowAt(const QPointF& position) const {
    return indexAt(position.toPoint());
}

int RowDragTable::gapBelowShownRows(const QPointF& position) const {
    // The empty space under the last row the table shows (a filter may hide the rows
    // after it): the drop goes right after that row.
    for (int row = model()->rowCount() - 1; row >= 0; --row) {
        if (isRowHidden(row)) continue;
        return position.y() > rowViewportPosition(row) + rowHeight(row) ? row + 1 : -1;
    }
    return -1;
}
