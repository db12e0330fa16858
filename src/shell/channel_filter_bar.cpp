// The filter bar's widgets and what they do: the choices filled from the page, the rows
// hidden and shown, and "Mostrati X di Y".
#include "shell/channel_filter_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>

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
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QTr("Filtro:")));
    textEdit = new QLineEdit;
    textEdit->setObjectName(QStringLiteral("filterEdit"));
    textEdit->setClearButtonEnabled(true);
    textEdit->setPlaceholderText(QTr("Nome, SID o frequenza (Ctrl+Maiusc+F)"));
    textEdit->setMinimumWidth(50);
    layout->addWidget(textEdit, 1);
    // Each choice as wide as a few words: the bar must fit the narrowest window (640
    // pixels) whatever the satellite, list and transponder texts; the open list shows
    // them whole.
    auto combo = [layout](const char* name, const QString& tip, int characters) {
        auto* box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(tip);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(characters);
        layout->addWidget(box);
        return box;
    };
    satelliteCombo = combo("filterSatelliteCombo", QTr("Satellite"), 5);
    stateCombo = combo("filterStateCombo", QTr("Stato"), 6);
    listCombo = combo("filterListCombo", QTr("Liste preferiti"), 6);
    transponderCombo = combo("filterTransponderCombo", QTr("Transponder"), 6);
    countLabel = new QLabel;
    countLabel->setObjectName(QStringLiteral("filterCountLabel"));
    // Beside the choices in a narrow window it may lose its end; it never widens the bar.
    countLabel->setMinimumWidth(40);
    layout->addWidget(countLabel);

    for (int s = 0; s < rivo::kChannelStateCount; ++s)
        stateCombo->addItem(QTr(rivo::ChannelStateName(static_cast<rivo::ChannelState>(s))), s);
    fillChoices();

    connect(textEdit, &QLineEdit::textChanged, this, [this] {
        if (!filling_) apply();
    });
    for (QComboBox* box : {satelliteCombo, stateCombo, listCombo, transponderCombo})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) apply();
        });
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
    Refill(satelliteCombo, {{QTr("Tutti"), rivo::kAnySatellite},
                            {QStringLiteral("A: %1").arg(QString::fromStdString(page_.satelliteA)), rivo::kSatelliteA},
                            {QStringLiteral("B: %1").arg(QString::fromStdString(page_.satelliteB)), rivo::kSatelliteB}});
    std::vector<std::pair<QString, int>> lists{{QTr("Tutti"), rivo::kAnyList}, {QTr("In nessuna lista"), rivo::kNoList}};
    for (int k = 1; k <= rivo::fav::Lists; ++k) {
        const QString name = k < page_.configGrid.rowCount() ? Text(page_.configGrid.cell(k, 1)) : QString();
        lists.emplace_back(name.isEmpty() ? QTr("In lista %1").arg(k) : QTr("In lista %1: %2").arg(k).arg(name), k);
    }
    Refill(listCombo, lists);
    std::vector<std::pair<QString, int>> transponders{{QTr("Tutti"), rivo::kAnyTransponder}};
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
    return row >= 1 && (static_cast<size_t>(row) >= hidden_.size() || !hidden_[static_cast<size_t>(row)]);
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
    for (QComboBox* box : {satelliteCombo, stateCombo, listCombo, transponderCombo}) box->setCurrentIndex(0);
    filling_ = false;
    apply();
}

void ChannelFilterBar::focusText() {
    textEdit->setFocus(Qt::ShortcutFocusReason);
    textEdit->selectAll();
}
