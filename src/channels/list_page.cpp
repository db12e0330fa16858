#include "channels/list_page.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace rivo {

Grid::Grid(int columns, int rows) : columns_(columns) { setRowCount(rows); }

void Grid::check(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns_)
        throw std::out_of_range("grid cell " + std::to_string(row) + "," + std::to_string(column) +
                                " outside " + std::to_string(rowCount()) + "x" +
                                std::to_string(columns_));
}

Grid::Block& Grid::ownBlock(int row) {
    BlockPtr& block = blocks_[static_cast<size_t>(row / kBlockRows)];
    // Another grid (an earlier state) still holds this block: write to a copy of it.
    if (block.use_count() > 1) block = std::make_shared<Block>(*block);
    return *block;
}

void Grid::place(int index, RowPtr row) {
    if (at(index) == row) return;
    ownBlock(index).rows[static_cast<size_t>(index % kBlockRows)] = std::move(row);
}

void Grid::push(RowPtr row) {
    if (rowCount_ % kBlockRows == 0) {
        blocks_.push_back(std::make_shared<Block>());
        blocks_.back()->rows.reserve(kBlockRows);
    }
    ownBlock(rowCount_).rows.push_back(std::move(row));
    ++rowCount_;
}

void Grid::popBack() {
    --rowCount_;
    if (rowCount_ % kBlockRows == 0) {
        blocks_.pop_back();
        return;
    }
    ownBlock(rowCount_).rows.pop_back();
}

Grid::RowPtr Grid::emptyRow(std::uint32_t colour) const {
    auto row = std::make_shared<GridRow>();
    row->cells.assign(static_cast<size_t>(columns_), {});
    row->colour = colour;
    return row;
}

const std::string& Grid::cell(int row, int column) const {
    check(row, column);
    return at(row)->cells[static_cast<size_t>(column)];
}

void Grid::setCell(int row, int column, std::string text) {
    check(row, column);
    if (at(row)->cells[static_cast<size_t>(column)] == text) return;
    this->row(row).cells[static_cast<size_t>(column)] = std::move(text);
}

std::uint32_t Grid::colour(int row) const {
    check(row, 0);
    return at(row)->colour;
}

void Grid::setColour(int row, std::uint32_t colour) {
    check(row, 0);
    if (at(row)->colour == colour) return;
    this->row(row).colour = colour;
}

GridRow& Grid::row(int row) {
    check(row, 0);
    Block& block = ownBlock(row);
    RowPtr& slot = block.rows[static_cast<size_t>(row % kBlockRows)];
    // Shared with another grid or with another row of this one: make it this row's own.
    if (slot.use_count() > 1) slot = std::make_shared<GridRow>(*slot);
    return *slot;
}

const GridRow& Grid::row(int row) const {
    check(row, 0);
    return *at(row);
}

void Grid::copyRow(int from, int to) {
    check(from, 0);
    check(to, 0);
    place(to, at(from));
}

void Grid::setRow(int row, GridRow content) {
    check(row, 0);
    content.cells.resize(static_cast<size_t>(columns_));
    place(row, std::make_shared<GridRow>(std::move(content)));
}

void Grid::setRowCount(int rows) {
    if (rows < 0) rows = 0;
    while (rowCount_ > rows) popBack();
    if (rowCount_ == rows) return;
    // The new rows share one empty row until they are written.
    const RowPtr empty = emptyRow(kColourNone);
    while (rowCount_ < rows) push(empty);
}

void Grid::removeRow(int row) {
    check(row, 0);
    for (int r = row; r + 1 < rowCount_; ++r) place(r, at(r + 1));
    popBack();
}

void Grid::appendRow(std::uint32_t colour) { push(emptyRow(colour)); }

void Grid::exchangeRows(int a, int b) {
    check(a, 0);
    check(b, 0);
    RowPtr first = at(a);
    place(a, at(b));
    place(b, std::move(first));
}

void Grid::rotateRows(int first, int middle, int last) {
    if (first == middle || middle == last) return;
    check(first, 0);
    check(last - 1, 0);
    if (!(first < middle && middle < last)) throw std::out_of_range("grid rotation outside its rows");
    std::vector<RowPtr> moved;
    moved.reserve(static_cast<size_t>(last - first));
    for (int r = middle; r < last; ++r) moved.push_back(at(r));
    for (int r = first; r < middle; ++r) moved.push_back(at(r));
    for (int r = first; r < last; ++r) place(r, std::move(moved[static_cast<size_t>(r - first)]));
}

void Grid::permuteRows(int first, const std::vector<int>& order) {
    if (order.empty()) return;
    const int last = first + static_cast<int>(order.size());
    check(first, 0);
    check(last - 1, 0);
    std::vector<RowPtr> moved;
    moved.reserve(order.size());
    std::vector<bool> taken(order.size(), false);
    for (const int from : order) {
        if (from < first || from >= last || taken[static_cast<size_t>(from - first)])
            throw std::out_of_range("grid permutation is not one of its rows");
        taken[static_cast<size_t>(from - first)] = true;
        moved.push_back(at(from));
    }
    for (int r = first; r < last; ++r) place(r, std::move(moved[static_cast<size_t>(r - first)]));
}

bool Grid::operator==(const Grid& other) const {
    if (columns_ != other.columns_ || rowCount_ != other.rowCount_) return false;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        if (blocks_[b] == other.blocks_[b]) continue;
        const auto& mine = blocks_[b]->rows;
        const auto& theirs = other.blocks_[b]->rows;
        for (size_t r = 0; r < mine.size(); ++r)
            if (mine[r] != theirs[r] && !(*mine[r] == *theirs[r])) return false;
    }
    return true;
}

namespace {
std::size_t RowBytes(const GridRow& row) {
    // The row, its control block (allocated together) and its cell vector.
    std::size_t bytes = sizeof(GridRow) + 2 * sizeof(void*) + row.cells.capacity() * sizeof(std::string);
    for (const auto& cell : row.cells)
        if (cell.capacity() > 15) bytes += cell.capacity() + 1;  // beyond the small-string buffer
    return bytes;
}
}  // namespace

namespace {
// A set of row addresses, open addressing in a power-of-two table: the memory count
// asks about every row of the changed part of a grid, and sorting them cost more than
// the command that changed them.
class RowSet {
public:
    explicit RowSet(std::size_t expected) {
        std::size_t size = 16;
        while (size < expected * 2) size *= 2;
        slots_.assign(size, nullptr);
    }
    // Adds row; false when it was already there.
    bool insert(const GridRow* row) {
        for (std::size_t i = slotOf(row);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == row) return false;
            if (!slots_[i]) {
                slots_[i] = row;
                return true;
            }
        }
    }
    bool contains(const GridRow* row) const {
        for (std::size_t i = slotOf(row);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == row) return true;
            if (!slots_[i]) return false;
        }
    }

private:
    std::size_t slotOf(const GridRow* row) const {
        const auto bits = reinterpret_cast<std::uintptr_t>(row) >> 4;
        return static_cast<std::size_t>(bits * 0x9E3779B97F4A7C15ull >> 20) & (slots_.size() - 1);
    }
    std::vector<const GridRow*> slots_;
};
}  // namespace

std::size_t Grid::bytesNotSharedWith(const Grid* other) const {
    std::size_t bytes = blocks_.capacity() * sizeof(BlockPtr);
    // Rows that other holds in the blocks that differ: a row moved within the changed
    // part of the grid is shared, not new.
    std::vector<const Block*> theirsChanged;
    // A row that only one block holds is in none of other's blocks (its blocks here
    // are not other's) and appears once here: it is this grid's own without a look-up.
    // A row other holds at the same place is shared. Only the rest, few after an edit,
    // need the sets.
    std::vector<const GridRow*> held;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const Block* theirs = other && b < other->blocks_.size() ? other->blocks_[b].get() : nullptr;
        const Block& mine = *blocks_[b];
        if (theirs == &mine) continue;
        if (theirs) theirsChanged.push_back(theirs);
        bytes += sizeof(Block) + 2 * sizeof(void*) + mine.rows.capacity() * sizeof(RowPtr);
        for (size_t r = 0; r < mine.rows.size(); ++r) {
            const RowPtr& row = mine.rows[r];
            if (row.use_count() == 1) bytes += RowBytes(*row);
            else if (!theirs || r >= theirs->rows.size() || theirs->rows[r] != row) held.push_back(row.get());
        }
    }
    if (other)
        for (size_t b = blocks_.size(); b < other->blocks_.size(); ++b) theirsChanged.push_back(other->blocks_[b].get());
    if (held.empty()) return bytes;
    RowSet shared(theirsChanged.size() * kBlockRows);
    for (const Block* block : theirsChanged)
        for (const auto& row : block->rows) shared.insert(row.get());
    RowSet counted(held.size());  // a row held by several rows of this grid counts once
    for (const GridRow* row : held)
        if (!shared.contains(row) && counted.insert(row)) bytes += RowBytes(*row);
    return bytes;
}

const std::array<const char*, ch::Count>& ChannelColumnTitles() {
    static const std::array<const char*, ch::Count> titles{
        "Num.", "Nome canale", "Trasponder", "SID", "VPid", "APid",
        "VECM", "AECM",        "PCR",        "Status", "Preferenza"};
    return titles;
}

const std::array<const char*, tp::Count>& TransponderColumnTitles() {
    static const std::array<const char*, tp::Count> titles{
        "Num.", "Frequenza", "TID", "NID", "Canali", "SR", "FEC", "Polariz.", "22 kHz", "Satellite"};
    return titles;
}

const std::array<const char*, fav::Count>& FavouriteColumnTitles() {
    static const std::array<const char*, fav::Count> titles{"Pos.", "Nome canale", "Canale"};
    return titles;
}

const std::array<const char*, 2>& ConfigColumnTitles() {
    static const std::array<const char*, 2> titles{"Lista", "Nome"};
    return titles;
}

namespace {
template <size_t N>
void SetTitles(Grid& grid, const std::array<const char*, N>& titles) {
    for (size_t c = 0; c < N; ++c) grid.setCell(0, static_cast<int>(c), titles[c]);
}
}  // namespace

ListPage::ListPage()
    : channelGrid(ch::Count, 1), transponderGrid(tp::Count, 1), configGrid(2, 9) {
    SetTitles(channelGrid, ChannelColumnTitles());
    SetTitles(transponderGrid, TransponderColumnTitles());
    SetTitles(configGrid, ConfigColumnTitles());
    // A new favourites grid holds the slot numbers, no names and channel "0".
    for (auto& grid : favouriteGrids) {
        grid = Grid(fav::Count, fav::Slots + 1);
        SetTitles(grid, FavouriteColumnTitles());
        for (int s = 1; s <= fav::Slots; ++s) {
            grid.setCell(s, fav::Pos, std::to_string(s));
            grid.setCell(s, fav::Channel, "0");
        }
    }
}

std::uint64_t NewImageId() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1);
}

std::string PageCaption(const std::string& fileName) {
    if (fileName.empty()) return "Nuova lista";
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

}  // namespace rivo
