#include "captioned_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QList>
#include <stdexcept>
#include <string>

namespace {

QString Plain(QString text) {
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

// The widget right of `label` in the grid that lays the label out, if any; the
// label's own widget when it is not in a grid (nothing to compare the buddy with).
QWidget* RightNeighbour(QLabel& label) {
    QWidget* parent = label.parentWidget();
    auto* grid = parent ? qobject_cast<QGridLayout*>(parent->layout()) : nullptr;
    if (!grid) return &label;
    const int index = grid->indexOf(&label);
    if (index < 0) return &label;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    QLayoutItem* item = grid->itemAtPosition(row, column + columnSpan);
    return item ? item->widget() : nullptr;
}

}  // namespace

QWidget* BoxCaptioned(const QWidget& within, const QString& caption) {
    QLabel* found = nullptr;
    for (QLabel* label : within.findChildren<QLabel*>()) {
        if (Plain(label->text()) != caption) continue;
        if (found) return nullptr;  // two captions alike: neither names a box
        found = label;
    }
    if (!found || !found->buddy()) return nullptr;
    QWidget* neighbour = RightNeighbour(*found);
    if (neighbour != found && neighbour != found->buddy()) return nullptr;
    return found->buddy();
}

QLineEdit* EditCaptioned(const QWidget& within, const QString& caption) {
    auto* edit = qobject_cast<QLineEdit*>(BoxCaptioned(within, caption));
    if (!edit) throw std::runtime_error("no edit box under the caption \"" + caption.toStdString() + "\"");
    return edit;
}

QCheckBox* CheckCaptioned(const QWidget& within, const QString& caption) {
    QCheckBox* found = nullptr;
    for (QCheckBox* box : within.findChildren<QCheckBox*>()) {
        if (Plain(box->text()) != caption) continue;
        if (found) throw std::runtime_error("two check boxes captioned \"" + caption.toStdString() + "\"");
        found = box;
    }
    if (!found) throw std::runtime_error("no check box captioned \"" + caption.toStdString() + "\"");
    return found;
}

QString ShownText(const QWidget* box) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(box)) return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(box)) return combo->currentText();
    return QString();
}

bool EnterText(QWidget* box, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->setText(text);
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        const int index = combo->findText(text);
        if (index < 0) return false;
        combo->setCurrentIndex(index);
        return true;
    }
    return false;
}
