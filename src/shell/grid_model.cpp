// The table model over one grid of a page: cell texts, row colours and titles read from
// the grid, and edits written through to it.
#include "shell/grid_model.h"

#include <QColor>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include "channels/cp1252.h"
#include "dialogs/qt_text.h"

namespace {
QColor RowColour(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
// The colour of title cells and of a fixed column.
const QColor kFixedColour(0xF0, 0xF0, 0xF0);
// A dragged block of rows: the model it came from, its first and last grid row.
const QString kRowsMimeType = QStringLiteral("application/x-rivo800-grid-rows");
}  // namespace

GridModel::GridModel(rivo::Grid* grid, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), columns_(std::move(columns)) {
    columns_.resize(static_cast<size_t>(grid_->columnCount()));
    shownRows_ = std::max(0, grid_->rowCount() - 1);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.model() != this) return {};
    const int row = index.row() + 1;
    if (row >= grid_->rowCount()) return {};
    const GridColumn& column = columns_[static_cast<size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            const std::string& text = grid_->cell(row, index.column());
            return column.name ? QString::fromStdString(rivo::Cp1252ToUtf8(text))
                               : QString::fromStdString(text);
        }
        case Qt::BackgroundRole:
            return column.fixed ? kFixedColour : RowColour(grid_->colour(row));
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < shownRows_) return section + 1;
        return {};
    }
    if (section < 0 || section >= grid_->columnCount() || grid_->rowCount() == 0) return {};
    // The titles are the list's data (the CSV export writes them as they are); only the
    // header shows them in the user's language.
    if (role == Qt::DisplayRole) {
        const std::string title = rivo::Cp1252ToUtf8(grid_->cell(0, section));
        return QTr(title.c_str());
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[static_cast<size_t>(section)].alignment |
                                   Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (columns_[static_cast<size_t>(index.column())].editable) result |= Qt::ItemIsEditable;
    if (mover_.move) result |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return result;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.model() != this) return false;
    const GridColumn& column = columns_[static_cast<size_t>(index.column())];
    if (!column.editable) return false;
    const QString text = value.toString();
    std::string cell;
    if (column.name) {
        auto bytes = rivo::Utf8ToCp1252(text.toStdString());
        if (!bytes) return false;
        cell = std::move(*bytes);
    } else {
        cell = text.toStdString();
    }
    const int row = index.row() + 1;
    if (grid_->cell(row, index.column()) == cell) return true;  // nothing typed
    grid_->setCell(row, index.column(), std::move(cell));
    emit dataChanged(index, index);
    emit cellEdited(row, index.column());
    return true;
}

void GridModel::refresh() {
    const int rows = std::max(0, grid_->rowCount() - 1);
    if (rows != shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
        return;
    }
    if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void GridModel::refreshRows(int first, int last) {
    if (std::max(0, grid_->rowCount() - 1) != shownRows_) {
        refresh();
        return;
    }
    first = std::max(first, 1);
    last = std::min(last, shownRows_);
    if (first > last) return;
    emit dataChanged(index(first - 1, 0), index(last - 1, columnCount() - 1));
}

void GridModel::setRowMover(RowMover mover) { mover_ = std::move(mover); }

QStringList GridModel::mimeTypes() const { return {kRowsMimeType}; }

QMimeData* GridModel::mimeData(const QModelIndexList& indexes) const {
    int first = 0;
    int last = 0;
    for (const QModelIndex& index : indexes) {
        if (!index.isValid() || index.model() != this) continue;
        const int row = index.row() + 1;
        if (first == 0 || row < first) first = row;
        last = std::max(last, row);
    }
    if (first == 0) return nullptr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint64(reinterpret_cast<quintptr>(this)) << qint32(first) << qint32(last);
    auto* data = new QMimeData;
    data->setData(kRowsMimeType, bytes);
    return data;
}

bool GridModel::dropBlock(const QMimeData* data, Qt::DropAction action, int row,
                          const QModelIndex& parent, int& first, int& last, int& target) const {
    if (!mover_.move || !mover_.allowed || !data || action != Qt::MoveAction ||
        !data->hasFormat(kRowsMimeType))
        return false;
    QByteArray bytes = data->data(kRowsMimeType);
    QDataStream in(&bytes, QIODevice::ReadOnly);
    quint64 source = 0;
    qint32 from = 0;
    qint32 to = 0;
    in >> source >> from >> to;
    if (in.status() != QDataStream::Ok || source != quint64(reinterpret_cast<quintptr>(this)))
        return false;
    first = from;
    last = to;
    if (first < 1 || first > last || last > shownRows_) return false;
    // On a row: the block starts there. Between rows (or below the last shown one): the
    // block comes right after the row above the drop; taken out from above it, the rows
    // in between move up by the block's length.
    if (parent.isValid() && parent.model() == this) {
        target = parent.row() + 1;
    } else if (row >= 0) {
        const int above = row;  // grid row over the gap
        if (first > above)
            target = above + 1;
        else if (last <= above)
            target = above - (last - first);
        else
            target = first;  // into the block itself: it stays
    } else {
        return false;
    }
    return true;
}

bool GridModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                const QModelIndex& parent) const {
    int first = 0, last = 0, target = 0;
    return dropBlock(data, action, row, parent, first, last, target) &&
           mover_.allowed(first, last, target);
}

bool GridModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                             const QModelIndex& parent) {
    int first = 0, last = 0, target = 0;
    if (!dropBlock(data, action, row, parent, first, last, target)) return false;
    if (!mover_.allowed(first, last, target)) {
        if (mover_.refused) mover_.refused(first, last, target);
        return false;
    }
    mover_.move(first, last, target);
    return true;
}

Qt::DropActions GridModel::supportedDropActions() const {
    return mover_.move ? Qt::MoveAction : Qt::IgnoreAction;
}

Qt::DropActions GridModel::supportedDragActions() const {
    return mover_.move ? Qt::MoveAction : Qt::IgnoreAction;
}
