// How a cell of the page's tables is painted: its row's colour, or the selection's, and
// its text on one line, cut with "…" when the column is too narrow.
//
// The style's own item painting lays every cell's text out anew, several times, on each
// repaint; on a large list that was most of the time a command took to show its result.
// This delegate paints the same picture from texts laid out once and kept.
#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;
    // Cell texts repeat (pids, "65535", colours of state): a few thousand cover a page.
    mutable QHash<QString, QStaticText> texts_;
    mutable QFont font_;
};
