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
    if (model()->canDropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, rowAt(event->position()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void RowDragTable::dropEvent(QDropEvent* event) {
    const QModelIndex on = rowAt(event->position());
    if (on.isValid() && model()->dropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, on)) {
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
