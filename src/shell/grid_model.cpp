#include "shell/grid_model.h"

#include <QColor>

#include "channels/cp1252.h"

namespace {
QColor RowColour(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
// The colour of title cells and of a fixed column.
const QColor kFixedColour(0xF0, 0xF0, 0xF0);
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
        if (role == Qt::DisplayRole && section >= 0 && section < shownRows_)
            return section + 1;
        return {};
    }
    if (section < 0 || section >= grid_->columnCount() || grid_->rowCount() == 0) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(rivo::Cp1252ToUtf8(grid_->cell(0, section)));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[static_cast<size_t>(section)].alignment |
                                   Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (columns_[static_cast<size_t>(index.column())].editable) result |= Qt::ItemIsEditable;
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
