// The filter bar's widgets and what they do: the choices filled from the page, the rows
// hidden and shown, and "Mostrati X di Y".
#include "shell/channel_filter_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "dialogs/qt_text.h"

namespace {

QString Text(const std::string& bytes) { return QString::fromStdString(rivo::Cp1252ToUtf8(bytes)); }

// Puts the items in a combo, keeping the chosen one by its data where it still exists.
void Refill(QComboBox* combo, const std::vector<std::pair<QString, int>>& items) {
    // Most commands change none of the choices: the combo is left alone then, so a
    // command does not pay for measuring 255 transponder items again.
    bool same = combo->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < combo->count(); ++i)
        same = combo->itemText(i) == items[static_cast<size_t>(i)].first &&
               combo->itemData(i).toInt() == items[static_cast<size_t>(i)].second;
    if (same) return;
    const QVariant chosen = combo->currentData();
    combo->clear();
    for (const auto& [text, value] : items) combo->addItem(text, value);
    const int index = combo->findData(chosen);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

}  // namespace

ChannelFilterBar::ChannelFilterBar(const rivo::ListPage& page, QTableView* table, QWidget* parent)
    : QWidget(parent), page_(page), table_(table) {
    setObjectName(QStringLiteral("filterBar"));
    // Two lines: the text with the count of shown rows, then the four choices sharing
    // the width. On one line the narrowest window (640 pixels) would cut the text box's
    // hint and the chosen items.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    auto* textLine = new QHBoxLayout;
    auto* choiceLine = new QHBoxLayout;
    layout->addLayout(textLine);
    layout->addLayout(choiceLine);
    textLine->addWidget(new QLabel(QTr("Filtro:")));
    textEdit = new QLineEdit;
    textEdit->setObjectName(QStringLiteral("filterEdit"));
    textEdit->setClearButtonEnabled(true);
    textEdit->setPlaceholderText(QTr("Nome, SID o frequenza (Ctrl+Maiusc+F)"));
    textEdit->setMinimumWidth(50);
    textLine->addWidget(textEdit, 1);
    // Each choice's first item says what it chooses ("Satellite: tutti"), so no label is
    // needed; a chosen item longer than its box shows whole in the open list.
    auto combo = [choiceLine](const char* name, const QString& tip) {
        auto* box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(tip);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        choiceLine->addWidget(box, 1);
        return box;
    };
    satelliteCombo = combo("filterSatelliteCombo", QTr("Satellite"));
    stateCombo = combo("filterStateCombo", QTr("Stato"));
    listCombo = combo("filterListCombo", QTr("Liste preferiti"));
    transponderCombo = combo("filterTransponderCombo", QTr("Transponder"));
    countLabel = new QLabel;
    countLabel->setObjectName(QStringLiteral("filterCountLabel"));
    textLine->addWidget(countLabel);

    for (int s = 0; s < rivo::kChannelStateCount; ++s)
        stateCombo->addItem(s == 0
                                ? QTr("Stato: tutti")
                                : QTr(rivo::ChannelStateName(static_cast<rivo::ChannelState>(s))),
                            s);
    fillChoices();

    connect(textEdit, &QLineEdit::textChanged, this, [this] {
        if (!filling_) apply();
    });
    for (QComboBox* box : {satelliteCombo, stateCombo, listCombo, transponderCombo})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) apply();
        });
    // Esc in the table clears an active filter as well; an edited cell keeps its own Esc.
    table_->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        clear();
        table_->setFocus(Qt::OtherFocusReason);
    });
    // A reset model shows every row again: start from there.
    connect(table_->model(), &QAbstractItemModel::modelReset, this, [this] {
        hidden_.clear();
        keysValid_ = false;
        apply();
    });
    apply();
}

void ChannelFilterBar::fillChoices() {
    filling_ = true;
    Refill(satelliteCombo, {{QTr("Satellite: tutti"), rivo::kAnySatellite},
                            {QStringLiteral("A: %1").arg(QString::fromStdString(page_.satelliteA)),
                             rivo::kSatelliteA},
                            {QStringLiteral("B: %1").arg(QString::fromStdString(page_.satelliteB)),
                             rivo::kSatelliteB}});
    std::vector<std::pair<QString, int>> lists{{QTr("Lista: tutte"), rivo::kAnyList},
                                               {QTr("In nessuna lista"), rivo::kNoList}};
    for (int k = 1; k <= rivo::fav::Lists; ++k) {
        const QString name =
            k < page_.configGrid.rowCount() ? Text(page_.configGrid.cell(k, 1)) : QString();
        lists.emplace_back(
            name.isEmpty() ? QTr("In lista %1").arg(k) : QTr("In lista %1: %2").arg(k).arg(name),
            k);
    }
    Refill(listCombo, lists);
    std::vector<std::pair<QString, int>> transponders{
        {QTr("Transponder: tutti"), rivo::kAnyTransponder}};
    const rivo::Grid& grid = page_.transponderGrid;
    for (int t = 1; t <= page_.transponderCount(); ++t) {
        if (grid.cell(t, rivo::tp::Frequency) == "0") continue;  // free row: no channel is on it
        transponders.emplace_back(QStringLiteral("%1: %2 %3 %4")
                                      .arg(t)
                                      .arg(Text(grid.cell(t, rivo::tp::Frequency)))
                                      .arg(Text(grid.cell(t, rivo::tp::Polarisation)))
                                      .arg(Text(grid.cell(t, rivo::tp::Satellite))),
                                  t);
    }
    Refill(transponderCombo, transponders);
    filling_ = false;
}

rivo::ChannelFilter ChannelFilterBar::filter() const {
    rivo::ChannelFilter f;
    f.text = textEdit->text().toStdString();
    f.satellite = satelliteCombo->currentData().toInt();
    f.state = static_cast<rivo::ChannelState>(stateCombo->currentData().toInt());
    f.list = listCombo->currentIndex() >= 0 ? listCombo->currentData().toInt() : rivo::kAnyList;
    f.transponder = transponderCombo->currentData().toInt();
    return f;
}

bool ChannelFilterBar::active() const { return !filter().empty(); }

bool ChannelFilterBar::rowShown(int row) const {
    return row >= 1 &&
           (static_cast<size_t>(row) >= hidden_.size() || !hidden_[static_cast<size_t>(row)]);
}

void ChannelFilterBar::apply() {
    const int count = page_.channelCount();
    const rivo::ChannelFilter f = filter();
    if (!keysValid_ && !f.text.empty()) {
        keys_ = rivo::ChannelNameKeys(page_);
        keysValid_ = true;
    }
    hidden_.resize(static_cast<size_t>(count) + 1, 0);
    std::vector<char> hide(static_cast<size_t>(count) + 1, 0);
    shown_ = count;
    if (!f.empty()) {
        const rivo::ChannelMatcher matcher(page_, f, keysValid_ ? &keys_ : nullptr);
        for (int r = 1; r <= count; ++r)
            if (!matcher.matches(r)) {
                hide[static_cast<size_t>(r)] = 1;
                --shown_;
            }
    }
    // Only the rows whose visibility changes are told to the table: typing one more
    // letter hides a few rows, not every row again.
    table_->setUpdatesEnabled(false);
    for (int r = 1; r <= count; ++r) {
        const size_t i = static_cast<size_t>(r);
        if (hide[i] != hidden_[i]) table_->setRowHidden(r - 1, hide[i] != 0);
    }
    table_->setUpdatesEnabled(true);
    hidden_ = std::move(hide);
    countLabel->setText(QTr("Mostrati %1 di %2").arg(shown_).arg(count));
    emit filterApplied();
}

void ChannelFilterBar::pageChanged() {
    keysValid_ = false;
    fillChoices();
    apply();
}

void ChannelFilterBar::clear() {
    filling_ = true;
    textEdit->clear();
    for (QComboBox* box : {satelliteCombo, stateCombo, listCombo, transponderCombo})
        box->setCurrentIndex(0);
    filling_ = false;
    apply();
}

bool ChannelFilterBar::eventFilter(QObject* watched, QEvent* event) {
    // A cell being edited has the keys itself and its Esc ends the edit; the table's
    // own keys have no use for Esc.
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && active()) {
            clear();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChannelFilterBar::focusText() {
    textEdit->setFocus(Qt::ShortcutFocusReason);
    textEdit->selectAll();
}
