// Painting a cell of the page's tables: the row's colour or the selection's, the text on one
// line cut with "…", its laid-out text kept for the next paint.
#include "shell/cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {
constexpr qsizetype kMostTexts = 8192;
}  // namespace

const QStaticText& CellDelegate::laidOut(const QString& text, const QFont& font) const {
    if (font != font_ || texts_.size() >= kMostTexts) {
        texts_.clear();
        font_ = font;
    }
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
        laid.prepare(QTransform(), font);
        found = texts_.insert(text, laid);
    }
    return *found;
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const bool selected = (cell.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group = (cell.state & QStyle::State_Enabled) == 0 ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) != 0 ? QPalette::Normal
                                                                                  : QPalette::Inactive;
    painter->save();
    if (selected)
        painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    else if (cell.backgroundBrush.style() != Qt::NoBrush)
        painter->fillRect(cell.rect, cell.backgroundBrush);

    if (!cell.text.isEmpty()) {
        // The style's text margin, so that texts stand where the style puts them.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect box = cell.rect.adjusted(margin, 0, -margin, 0);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setClipRect(box, Qt::IntersectClip);
        const QStaticText* text = &laidOut(cell.text, cell.font);
        QStaticText elided;
        if (text->size().width() > box.width()) {
            elided.setText(cell.fontMetrics.elidedText(cell.text, cell.textElideMode, box.width()));
            elided.setTextFormat(Qt::PlainText);
            elided.prepare(QTransform(), cell.font);
            text = &elided;
        }
        const QSizeF size = text->size();
        qreal x = box.left();
        if (cell.displayAlignment & Qt::AlignHCenter) x += (box.width() - size.width()) / 2;
        else if (cell.displayAlignment & Qt::AlignRight) x = box.right() + 1 - size.width();
        const qreal y = box.top() + (box.height() - size.height()) / 2;
        painter->drawStaticText(QPointF(x, y), *text);
    }
    painter->restore();

    if ((cell.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
