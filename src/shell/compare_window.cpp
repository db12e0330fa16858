// The compare window's widgets: the tabs of the classes with their counts, the tables, and
// the buttons that take back, recomputed after every edit of either list.
#include "shell/compare_window.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "channels/cp1252.h"
#include "dialogs/qt_text.h"
#include "shell/page_view.h"

namespace {

using rivo::ChangeClass;
using rivo::ChannelDifference;

QString Name(const rivo::ListPage& page, int row) {
    return QString::fromStdString(rivo::Cp1252ToUtf8(page.channelGrid.cell(row, rivo::ch::Name)));
}

}  // namespace

// One class's channels: row in the older list, row in the newer one, name, SID,
// frequency and polarisation, and what changed.
class ComparisonModel final : public QAbstractTableModel {
public:
    enum Column { OldRow, NewRow, ChannelName, Sid, Frequency, Changes, ColumnCount };

    ComparisonModel(ChangeClass shown, QObject* parent)
        : QAbstractTableModel(parent), shown_(shown) {}

    void setRows(std::vector<ChannelDifference> rows, const rivo::ListPage* oldPage,
                 const rivo::ListPage* newPage) {
        beginResetModel();
        rows_ = std::move(rows);
        oldPage_ = oldPage;
        newPage_ = newPage;
        endResetModel();
    }
    const ChannelDifference& difference(int row) const { return rows_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
            case OldRow:
                return QTr("Riga prima");
            case NewRow:
                return QTr("Riga ora");
            case ChannelName:
                return QTr("Nome");
            case Sid:
                return QTr("SID");
            case Frequency:
                return QTr("Frequenza/Pol.");
            case Changes:
                return QTr("Cambiamenti");
            default:
                return {};
        }
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || !oldPage_ || !newPage_) return {};
        const ChannelDifference& d = difference(index.row());
        // The newer list's cells, or the older one's for a removed channel.
        const bool fromNew = d.newRow != 0 && d.newRow <= newPage_->channelCount();
        const rivo::ListPage& page = fromNew ? *newPage_ : *oldPage_;
        const int row = fromNew ? d.newRow : d.oldRow;
        if (row < 1 || row > page.channelCount()) return {};
        switch (index.column()) {
            case OldRow:
                return d.oldRow == 0 ? QString() : QString::number(d.oldRow);
            case NewRow:
                return d.newRow == 0 ? QString() : QString::number(d.newRow);
            case ChannelName:
                return Name(page, row);
            case Sid:
                return QString::fromStdString(page.channelGrid.cell(row, rivo::ch::Sid));
            case Frequency:
                return frequency(page, row);
            case Changes:
                return changes(d);
            default:
                return {};
        }
    }

private:
    static QString frequency(const rivo::ListPage& page, int row) {
        bool ok = false;
        const int t =
            QString::fromStdString(page.channelGrid.cell(row, rivo::ch::Transponder)).toInt(&ok);
        if (!ok || t < 1 || t > page.transponderCount() || t == 255) return {};
        return QString::fromStdString(page.transponderGrid.cell(t, rivo::tp::Frequency) + " " +
                                      page.transponderGrid.cell(t, rivo::tp::Polarisation));
    }

    QString changes(const ChannelDifference& d) const {
        QStringList parts;
        if (d.has(ChangeClass::Renamed) && d.oldRow >= 1 && d.oldRow <= oldPage_->channelCount())
            parts << (d.caseOnlyRename ? QTr("prima \"%1\" (solo maiuscole o spazi)")
                                       : QTr("prima \"%1\""))
                         .arg(Name(*oldPage_, d.oldRow));
        if (d.has(ChangeClass::Retuned))
            parts << QString::fromStdString(rivo::TuningFieldsText(d.fields));
        if (d.has(ChangeClass::FavouritesChanged)) {
            auto lists = [](std::uint8_t set) {
                QStringList numbers;
                for (int k = 0; k < rivo::fav::Lists; ++k)
                    if ((set >> k) & 1) numbers << QString::number(k + 1);
                return numbers.isEmpty() ? QTr("nessuna") : numbers.join(QStringLiteral(", "));
            };
            parts << QTr("liste prima: %1; ora: %2").arg(lists(d.oldLists), lists(d.newLists));
        }
        if (d.uncertain) parts << QTr("riconosciuto solo dal nome");
        return parts.join(QStringLiteral("; "));
    }

    ChangeClass shown_;
    std::vector<ChannelDifference> rows_;
    const rivo::ListPage* oldPage_ = nullptr;
    const rivo::ListPage* newPage_ = nullptr;
};

CompareWindow::CompareWindow(PageView* newView, PageView* oldView, Commands commands,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      newView_(newView),
      oldView_(oldView),
      oldFromView_(true),
      commands_(std::move(commands)) {
    build(oldView ? oldView->caption() : QString());
}

CompareWindow::CompareWindow(PageView* newView, std::unique_ptr<rivo::ListPage> oldPage,
                             const QString& oldName, Commands commands, QWidget* parent)
    : QWidget(parent, Qt::Window),
      newView_(newView),
      ownOldPage_(std::move(oldPage)),
      commands_(std::move(commands)) {
    build(oldName);
}

CompareWindow::~CompareWindow() = default;

PageView* CompareWindow::newView() const { return listClosed_ ? nullptr : newView_.data(); }

const rivo::ListPage* CompareWindow::oldPage() const {
    if (listClosed_) return nullptr;
    if (oldFromView_) return oldView_ ? &oldView_->page() : nullptr;
    return ownOldPage_.get();
}

void CompareWindow::build(const QString& oldName) {
    setObjectName(QStringLiteral("compareWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(
        QTr("Confronto: %1 → %2").arg(oldName, newView_ ? newView_->caption() : QString()));
    auto* layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setWordWrap(true);
    layout->addWidget(summary);
    tabs = new QTabWidget(this);
    for (size_t i = 0; i < rivo::kAllChangeClasses.size(); ++i) {
        const ChangeClass c = rivo::kAllChangeClasses[i];
        auto* table = new QTableView(tabs);
        table->setObjectName(
            QStringLiteral("compareTable_%1").arg(QString::fromLatin1(rivo::ChangeClassWord(c))));
        auto* model = new ComparisonModel(c, table);
        table->setModel(model);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->verticalHeader()->hide();
        table->horizontalHeader()->setStretchLastSection(true);
        connect(table, &QTableView::doubleClicked, this, [this, model](const QModelIndex& index) {
            const ChannelDifference& d = model->difference(index.row());
            if (d.newRow != 0 && commands_.selectChannel) commands_.selectChannel(d.newRow);
        });
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { updateButtons(); });
        tables[i] = table;
        models_[i] = model;
        tabs->addTab(table, QString());
    }
    layout->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    takeRemovedButton = new QPushButton(QTr(rivo::kTakeRemovedStep), this);
    takeNamesButton = new QPushButton(QTr(rivo::kTakeNamesStep), this);
    takeFavouritesButton = new QPushButton(QTr(rivo::kTakeFavouritesStep), this);
    refreshButton = new QPushButton(QTr("Aggiorna"), this);
    for (QPushButton* b : {takeRemovedButton, takeNamesButton, takeFavouritesButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(refreshButton);
    layout->addLayout(buttons);
    connect(takeRemovedButton, &QPushButton::clicked, this, [this] { take(ChangeClass::Removed); });
    connect(takeNamesButton, &QPushButton::clicked, this, [this] { take(ChangeClass::Renamed); });
    connect(takeFavouritesButton, &QPushButton::clicked, this,
            [this] { take(ChangeClass::FavouritesChanged); });
    connect(refreshButton, &QPushButton::clicked, this, &CompareWindow::recompute);
    connect(tabs, &QTabWidget::currentChanged, this, [this] { updateButtons(); });
    watch(newView_);
    if (oldFromView_) watch(oldView_);
    resize(760, 420);
    recompute();
    // Opened on the first class that has channels: an empty "Nuovi" tab first would
    // look as if nothing had changed.
    for (size_t i = 0; i < rivo::kAllChangeClasses.size(); ++i)
        if (comparison_.count(rivo::kAllChangeClasses[i]) > 0) {
            tabs->setCurrentIndex(static_cast<int>(i));
            break;
        }
}

void CompareWindow::watch(PageView* view) {
    // A list closed while the window is open: its tables must not show it any more.
    // The page's tables are gone by the time it says so, so it counts as closed at once.
    if (view)
        connect(view, &QObject::destroyed, this, [this] {
            listClosed_ = true;
            recompute();
        });
}

void CompareWindow::pageReplaced(PageView* old, PageView* fresh) {
    if (!old || !fresh || listClosed_) return;
    const bool isNew = old == newView_;
    const bool isOld = oldFromView_ && old == oldView_;
    if (!isNew && !isOld) return;
    disconnect(old, &QObject::destroyed, this, nullptr);
    if (isNew) newView_ = fresh;
    if (isOld) oldView_ = fresh;
    watch(fresh);
    recompute();
}

void CompareWindow::pageEdited(PageView* view) {
    if (view && !listClosed_ && (view == newView_ || (oldFromView_ && view == oldView_)))
        recompute();
}

void CompareWindow::recompute() {
    const rivo::ListPage* before = oldPage();
    if (!newView() || !before) {
        comparison_ = {};
        for (ComparisonModel* model : models_) model->setRows({}, nullptr, nullptr);
        // The counts go with the tables: a tab never counts rows its table lacks.
        for (size_t i = 0; i < rivo::kAllChangeClasses.size(); ++i)
            tabs->setTabText(static_cast<int>(i),
                             QTr(rivo::ChangeClassCaption(rivo::kAllChangeClasses[i])));
        summary->setText(
            QTr("Una delle due liste è stata chiusa: il confronto non si può più aggiornare."));
        updateButtons();
        return;
    }
    comparison_ = rivo::CompareLists(*before, newView()->page());
    for (size_t i = 0; i < rivo::kAllChangeClasses.size(); ++i) {
        const ChangeClass c = rivo::kAllChangeClasses[i];
        models_[i]->setRows(comparison_.ofClass(c), before, &newView()->page());
        tabs->setTabText(static_cast<int>(i), QStringLiteral("%1 (%2)")
                                                  .arg(QTr(rivo::ChangeClassCaption(c)))
                                                  .arg(comparison_.count(c)));
    }
    summary->setText(QTrN("%1 canale invariato.", "%1 canali invariati.", comparison_.unchanged)
                         .arg(comparison_.unchanged));
    updateButtons();
}

std::vector<ChannelDifference> CompareWindow::chosen(ChangeClass c) const {
    const auto i = static_cast<size_t>(
        std::find(rivo::kAllChangeClasses.begin(), rivo::kAllChangeClasses.end(), c) -
        rivo::kAllChangeClasses.begin());
    std::vector<ChannelDifference> out;
    QModelIndexList rows = tables[i]->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows) out.push_back(models_[i]->difference(index.row()));
    return out;
}

void CompareWindow::updateButtons() {
    const bool live = newView() && oldPage();
    takeRemovedButton->setEnabled(live && !chosen(ChangeClass::Removed).empty());
    takeNamesButton->setEnabled(live && !chosen(ChangeClass::Renamed).empty());
    takeFavouritesButton->setEnabled(live && !chosen(ChangeClass::FavouritesChanged).empty());
    refreshButton->setEnabled(live);
}

void CompareWindow::take(ChangeClass c) {
    const std::vector<ChannelDifference> rows = chosen(c);
    if (rows.empty() || !newView() || !oldPage() || !commands_.takeBack) return;
    commands_.takeBack(c, rows);
    // The main window reports the change through pageEdited; a take that changed
    // nothing leaves the comparison as it was.
}
