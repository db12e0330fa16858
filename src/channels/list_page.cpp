// The grids of a page and the page itself. A grid keeps its rows in shared blocks so
// that undo steps and copies share the rows a change left alone; the row operations
// (set, exchange, rotate, permute, remove) and the sharing they rest on are one
// design, which is why this file stays whole past 500 lines.
#include "channels/list_page.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>

#include "text/translate.h"

namespace rivo {

namespace {

// The texts of numbered cells: one process-wide table of "0", "1", "2", ... whose
// entries never move, so cell() can hand out a reference to them as to a stored text.
// It grows a chunk at a time on first use; a chunk, once published, is never changed
// or freed, so grids may be read from several threads.
class NumberTexts {
public:
    static constexpr int kChunk = 4096;
    static constexpr int kChunks = 1 << 15;  // rows up to 134,217,727

    const std::string& text(int row) {
        const auto c = static_cast<std::size_t>(row / kChunk);
        if (c >= chunks_.size()) throw std::length_error("row number beyond the table of numbers");
        const std::string* chunk = chunks_[c].load(std::memory_order_acquire);
        if (!chunk) chunk = fill(c);
        return chunk[row % kChunk];
    }

private:
    const std::string* fill(std::size_t c) {
        const std::lock_guard<std::mutex> lock(growing_);
        if (const std::string* chunk = chunks_[c].load(std::memory_order_acquire)) return chunk;
        auto texts = std::make_unique<std::string[]>(kChunk);
        for (int i = 0; i < kChunk; ++i)
            texts[static_cast<std::size_t>(i)] = std::to_string(static_cast<int>(c) * kChunk + i);
        owned_.push_back(std::move(texts));
        chunks_[c].store(owned_.back().get(), std::memory_order_release);
        return owned_.back().get();
    }

    std::array<std::atomic<const std::string*>, kChunks> chunks_{};
    std::mutex growing_;
    std::vector<std::unique_ptr<std::string[]>> owned_;
};

const std::string& NumberText(int row) {
    static NumberTexts texts;
    return texts.text(row);
}

// The number a decimal column keeps beside its rows for text, or -1 where the text must
// stay in the row: only the texts NumberText gives back exactly.
int DecimalValue(const std::string& text) {
    if (text.empty() || text.size() > 5 || (text[0] == '0' && text.size() > 1)) return -1;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= Grid::kMaxDecimal ? value : -1;
}

}  // namespace

Grid::Grid(int columns, int rows, int numberedColumn, int decimalColumn)
    : columns_(columns),
      numberedColumn_(numberedColumn >= 0 && numberedColumn < columns ? numberedColumn : -1) {
    if (decimalColumn >= 0 && decimalColumn < columns && decimalColumn != numberedColumn_) {
        decimalColumn_ = decimalColumn;
        decimals_ = std::make_shared<std::vector<int>>();
    }
    setRowCount(rows);
}

std::vector<int>& Grid::ownDecimals() {
    // Copies of a grid share its numbers until one of them writes.
    if (decimals_.use_count() > 1) decimals_ = std::make_shared<std::vector<int>>(*decimals_);
    return *decimals_;
}

void Grid::setDecimal(int row, int value) {
    if (decimal(row) != value) ownDecimals()[static_cast<std::size_t>(row)] = value;
}

const std::string& Grid::shownCell(const GridRow& stored, int row, int column) const {
    if (row > 0 && column == numberedColumn_) return NumberText(row);
    if (column == decimalColumn_)
        if (const int value = decimal(row); value >= 0) return NumberText(value);
    return stored.cells[static_cast<std::size_t>(column)];
}

void Grid::check(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns_)
        throw std::out_of_range("grid cell " + std::to_string(row) + "," + std::to_string(column) +
                                " outside " + std::to_string(rowCount()) + "x" +
                                std::to_string(columns_));
}

std::size_t Grid::blockOf(int row) const {
    // Most grids keep their blocks as they were filled, kBlockRows rows each: try that
    // block first.
    std::size_t b = std::min(static_cast<std::size_t>(row / kBlockRows), blocks_.size() - 1);
    const std::vector<int>& starts = *starts_;
    if (starts[b] <= row && (b + 1 == blocks_.size() || row < starts[b + 1])) return b;
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), row) -
                                    starts.begin()) -
           1;
}

std::vector<int>& Grid::ownStarts() {
    // Copies of a grid share its block starts until rows move between blocks.
    if (starts_.use_count() > 1) starts_ = std::make_shared<std::vector<int>>(*starts_);
    return *starts_;
}

Grid::Block& Grid::ownBlock(std::size_t b) {
    BlockPtr& block = blocks_[b];
    // Another grid (an earlier state) still holds this block: write to a copy of it.
    if (block.use_count() > 1) block = std::make_shared<Block>(*block);
    return *block;
}

void Grid::place(int index, RowPtr row) {
    const std::size_t b = blockOf(index);
    const auto offset = static_cast<std::size_t>(index - (*starts_)[b]);
    if (blocks_[b]->rows[offset] == row) return;
    ownBlock(b).rows[offset] = std::move(row);
}

void Grid::push(RowPtr row) {
    if (blocks_.empty() || blockSize(blocks_.size() - 1) >= kBlockRows) {
        blocks_.push_back(std::make_shared<Block>());
        blocks_.back()->rows.reserve(kBlockRows);
        ownStarts().push_back(rowCount_);
    }
    ownBlock(blocks_.size() - 1).rows.push_back(std::move(row));
    if (decimals_) ownDecimals().push_back(-1);
    ++rowCount_;
}

void Grid::popBack() {
    --rowCount_;
    if (decimals_) ownDecimals().pop_back();
    if (blockSize(blocks_.size() - 1) == 1) {
        blocks_.pop_back();
        ownStarts().pop_back();
        return;
    }
    ownBlock(blocks_.size() - 1).rows.pop_back();
}

Grid::RowPtr Grid::emptyRow(std::uint32_t colour) const {
    auto row = std::make_shared<GridRow>();
    row->cells.assign(static_cast<size_t>(columns_), {});
    row->colour = colour;
    return row;
}

std::size_t Grid::splitAt(int row) {
    if (row >= rowCount_) return blocks_.size();
    const std::size_t b = blockOf(row);
    const auto offset = static_cast<std::ptrdiff_t>(row - (*starts_)[b]);
    if (offset == 0) return b;
    const auto& rows = blocks_[b]->rows;
    auto right = std::make_shared<Block>();
    right->rows.assign(rows.begin() + offset, rows.end());
    if (blocks_[b].use_count() > 1) {
        auto left = std::make_shared<Block>();
        left->rows.assign(rows.begin(), rows.begin() + offset);
        blocks_[b] = std::move(left);
    } else {
        blocks_[b]->rows.resize(static_cast<std::size_t>(offset));
    }
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(right));
    std::vector<int>& starts = ownStarts();
    starts.insert(starts.begin() + static_cast<std::ptrdiff_t>(b) + 1, row);
    return b + 1;
}

void Grid::restart(std::size_t b) {
    std::vector<int>& starts = ownStarts();
    for (; b < blocks_.size(); ++b) starts[b] = b == 0 ? 0 : starts[b - 1] + blockSize(b - 1);
}

void Grid::tidySeam(std::size_t b) {
    if (b == 0 || b >= blocks_.size()) return;
    const int left = blockSize(b - 1);
    const int right = blockSize(b);
    if (std::min(left, right) >= kBlockRows / 2) return;
    const auto& leftRows = blocks_[b - 1]->rows;
    const auto& rightRows = blocks_[b]->rows;
    if (left + right <= kMaxBlockRows) {
        auto joined = std::make_shared<Block>();
        joined->rows.reserve(static_cast<std::size_t>(left + right));
        joined->rows.insert(joined->rows.end(), leftRows.begin(), leftRows.end());
        joined->rows.insert(joined->rows.end(), rightRows.begin(), rightRows.end());
        blocks_[b - 1] = std::move(joined);
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        std::vector<int>& starts = ownStarts();
        starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(b));
        return;
    }
    // Too many rows for one block: two of about half each.
    std::vector<RowPtr> all;
    all.reserve(static_cast<std::size_t>(left + right));
    all.insert(all.end(), leftRows.begin(), leftRows.end());
    all.insert(all.end(), rightRows.begin(), rightRows.end());
    const auto half = static_cast<std::ptrdiff_t>(all.size() / 2);
    auto first = std::make_shared<Block>();
    auto second = std::make_shared<Block>();
    first->rows.assign(all.begin(), all.begin() + half);
    second->rows.assign(all.begin() + half, all.end());
    blocks_[b - 1] = std::move(first);
    blocks_[b] = std::move(second);
    std::vector<int>& starts = ownStarts();
    starts[b] = starts[b - 1] + static_cast<int>(half);
}

const std::string& Grid::cell(int row, int column) const {
    check(row, column);
    return shownCell(*at(row), row, column);
}

std::vector<std::string> Grid::cells(int row) const {
    check(row, 0);
    std::vector<std::string> texts = at(row)->cells;
    if (numberedColumn_ >= 0 && row > 0)
        texts[static_cast<size_t>(numberedColumn_)] = NumberText(row);
    if (const int value = decimal(row); value >= 0)
        texts[static_cast<size_t>(decimalColumn_)] = NumberText(value);
    return texts;
}

void Grid::setCell(int row, int column, std::string text) {
    check(row, column);
    // The number follows from the position; there is nothing to store.
    if (column == numberedColumn_ && row > 0) return;
    if (column == decimalColumn_) {
        if (const int value = DecimalValue(text); value >= 0) {
            // Beside the rows: the row stays shared (emptied once, if it held the text).
            if (!at(row)->cells[static_cast<size_t>(column)].empty())
                ownRow(row).cells[static_cast<size_t>(column)].clear();
            setDecimal(row, value);
            return;
        }
        setDecimal(row, -1);
    }
    if (at(row)->cells[static_cast<size_t>(column)] == text) return;
    ownRow(row).cells[static_cast<size_t>(column)] = std::move(text);
}

std::uint32_t Grid::colour(int row) const {
    check(row, 0);
    return at(row)->colour;
}

void Grid::setColour(int row, std::uint32_t colour) {
    check(row, 0);
    if (at(row)->colour == colour) return;
    ownRow(row).colour = colour;
}

GridRow& Grid::row(int row) {
    GridRow& slot = ownRow(row);
    // The caller may read or write the row's every cell: the number comes back into it.
    if (const int value = decimal(row); value >= 0) {
        slot.cells[static_cast<size_t>(decimalColumn_)] = NumberText(value);
        setDecimal(row, -1);
    }
    return slot;
}

GridRow& Grid::ownRow(int row) {
    check(row, 0);
    const std::size_t b = blockOf(row);
    Block& block = ownBlock(b);
    RowPtr& slot = block.rows[static_cast<size_t>(row - (*starts_)[b])];
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
    if (decimals_) setDecimal(to, decimal(from));
}

void Grid::setRow(int row, GridRow content) {
    check(row, 0);
    content.cells.resize(static_cast<size_t>(columns_));
    if (numberedColumn_ >= 0 && row > 0)
        content.cells[static_cast<size_t>(numberedColumn_)].clear();
    if (decimalColumn_ >= 0) {
        std::string& text = content.cells[static_cast<size_t>(decimalColumn_)];
        const int value = DecimalValue(text);
        if (value >= 0) text.clear();
        setDecimal(row, value);
    }
    place(row, std::make_shared<GridRow>(std::move(content)));
}

bool Grid::sameRow(int row, const Grid& other, int otherRow) const {
    check(row, 0);
    other.check(otherRow, 0);
    const RowPtr& mine = at(row);
    const RowPtr& theirs = other.at(otherRow);
    // One stored row reads alike in both places when the texts kept outside it do.
    if (mine == theirs && numberedColumn_ == other.numberedColumn_ &&
        (numberedColumn_ < 0 || row == otherRow) && decimalColumn_ == other.decimalColumn_ &&
        decimal(row) == other.decimal(otherRow))
        return true;
    return sameCells(*mine, row, *theirs, other, otherRow);
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
    const std::size_t b = blockOf(row);
    if (blockSize(b) == 1) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        std::vector<int>& starts = ownStarts();
        starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
        auto& rows = ownBlock(b).rows;
        rows.erase(rows.begin() + (row - (*starts_)[b]));
    }
    if (decimals_) {
        std::vector<int>& numbers = ownDecimals();
        numbers.erase(numbers.begin() + row);
    }
    --rowCount_;
    restart(b);
    tidySeam(b + 1);
    tidySeam(b);
}

void Grid::appendRow(std::uint32_t colour) { push(emptyRow(colour)); }

void Grid::exchangeRows(int a, int b) {
    check(a, 0);
    check(b, 0);
    RowPtr first = at(a);
    place(a, at(b));
    place(b, std::move(first));
    if (decimals_) {
        const int number = decimal(a);
        setDecimal(a, decimal(b));
        setDecimal(b, number);
    }
}

void Grid::rotateRows(int first, int middle, int last) {
    if (first == middle || middle == last) return;
    check(first, 0);
    check(last - 1, 0);
    if (!(first < middle && middle < last))
        throw std::out_of_range("grid rotation outside its rows");
    if (decimals_) {
        const auto begin = decimals_->begin();
        // Rows that all read their number from the row (or all the same number) leave
        // the shared numbers as they are.
        if (std::any_of(begin + first, begin + last, [&](int n) {
                return n != (*decimals_)[static_cast<std::size_t>(first)];
            })) {
            std::vector<int>& numbers = ownDecimals();
            std::rotate(numbers.begin() + first, numbers.begin() + middle, numbers.begin() + last);
        }
    }
    // Blocks start at first, middle and last; the rotation then moves whole blocks.
    // Splitting at a later row never moves the blocks before it. Room for the three
    // splits, exactly: a block table grown by doubling would keep the spare half.
    blocks_.reserve(blocks_.size() + 3);
    ownStarts().reserve(starts_->size() + 3);
    const std::size_t from = splitAt(first);
    const std::size_t mid = splitAt(middle);
    const std::size_t to = splitAt(last);
    const auto begin = blocks_.begin();
    std::rotate(begin + static_cast<std::ptrdiff_t>(from), begin + static_cast<std::ptrdiff_t>(mid),
                begin + static_cast<std::ptrdiff_t>(to));
    restart(from);
    // The three seams, the later first so that a join does not move the earlier ones.
    tidySeam(to);
    tidySeam(from + (to - mid));
    tidySeam(from);
}

void Grid::permuteRows(int first, const std::vector<int>& order) {
    if (order.empty()) return;
    const int last = first + static_cast<int>(order.size());
    check(first, 0);
    check(last - 1, 0);
    std::vector<RowPtr> moved;
    moved.reserve(order.size());
    std::vector<int> numbers;
    if (decimals_) numbers.reserve(order.size());
    std::vector<bool> taken(order.size(), false);
    for (const int from : order) {
        if (from < first || from >= last || taken[static_cast<size_t>(from - first)])
            throw std::out_of_range("grid permutation is not one of its rows");
        taken[static_cast<size_t>(from - first)] = true;
        moved.push_back(at(from));
        if (decimals_) numbers.push_back(decimal(from));
    }
    for (int r = first; r < last; ++r) place(r, std::move(moved[static_cast<size_t>(r - first)]));
    if (decimals_)
        for (int r = first; r < last; ++r) setDecimal(r, numbers[static_cast<size_t>(r - first)]);
}

bool Grid::sameCells(const GridRow& mine, int row, const GridRow& theirs, const Grid& other,
                     int otherRow) const {
    if (mine.colour != theirs.colour || mine.cells.size() != theirs.cells.size()) return false;
    for (std::size_t c = 0; c < mine.cells.size(); ++c) {
        const int column = static_cast<int>(c);
        if (shownCell(mine, row, column) != other.shownCell(theirs, otherRow, column)) return false;
    }
    return true;
}

bool Grid::operator==(const Grid& other) const {
    if (columns_ != other.columns_ || rowCount_ != other.rowCount_) return false;
    // Shared rows read alike only where the texts kept outside them do too.
    const bool sameOutside = numberedColumn_ == other.numberedColumn_ &&
                             decimalColumn_ == other.decimalColumn_ &&
                             (decimals_ == other.decimals_ ||
                              (decimals_ && other.decimals_ && *decimals_ == *other.decimals_));
    std::size_t a = 0;
    std::size_t b = 0;
    for (int r = 0; r < rowCount_;) {
        while ((*starts_)[a] + blockSize(a) <= r) ++a;
        while ((*other.starts_)[b] + other.blockSize(b) <= r) ++b;
        const Block& mine = *blocks_[a];
        const Block& theirs = *other.blocks_[b];
        const int here = r - (*starts_)[a];
        const int there = r - (*other.starts_)[b];
        const int run = std::min(blockSize(a) - here, other.blockSize(b) - there);
        // The same block at the same place: the same rows to its end.
        if (&mine == &theirs && here == there && sameOutside) {
            r += run;
            continue;
        }
        for (int i = 0; i < run; ++i) {
            const RowPtr& x = mine.rows[static_cast<std::size_t>(here + i)];
            const RowPtr& y = theirs.rows[static_cast<std::size_t>(there + i)];
            if (x != y || !sameOutside)
                if (!sameCells(*x, r + i, *y, other, r + i)) return false;
        }
        r += run;
    }
    return true;
}

namespace {
std::size_t RowBytes(const GridRow& row) {
    // The row, its control block (allocated together) and its cell vector.
    std::size_t bytes =
        sizeof(GridRow) + 2 * sizeof(void*) + row.cells.capacity() * sizeof(std::string);
    for (const auto& cell : row.cells)
        if (cell.capacity() > 15) bytes += cell.capacity() + 1;  // beyond the small-string buffer
    return bytes;
}
}  // namespace

namespace {
// A set of addresses, open addressing in a power-of-two table: the memory count asks
// about every row of the changed part of a grid, and sorting them cost more than the
// command that changed them.
class AddressSet {
public:
    explicit AddressSet(std::size_t expected) {
        std::size_t size = 16;
        while (size < expected * 2) size *= 2;
        slots_.assign(size, nullptr);
    }
    // Adds address; false when it was already there.
    bool insert(const void* address) {
        for (std::size_t i = slotOf(address);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == address) return false;
            if (!slots_[i]) {
                slots_[i] = address;
                return true;
            }
        }
    }
    bool contains(const void* address) const {
        for (std::size_t i = slotOf(address);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == address) return true;
            if (!slots_[i]) return false;
        }
    }

private:
    std::size_t slotOf(const void* address) const {
        const auto bits = reinterpret_cast<std::uintptr_t>(address) >> 4;
        return static_cast<std::size_t>(bits * 0x9E3779B97F4A7C15ull >> 20) & (slots_.size() - 1);
    }
    std::vector<const void*> slots_;
};
}  // namespace

std::size_t Grid::bytesNotSharedWith(const Grid* other) const {
    std::size_t bytes = blocks_.capacity() * sizeof(BlockPtr);
    // The block starts, unless shared: they change only when rows move between blocks.
    if (!other || other->starts_ != starts_)
        bytes += sizeof(std::vector<int>) + 2 * sizeof(void*) + starts_->capacity() * sizeof(int);
    if (decimals_ && (!other || other->decimals_ != decimals_))
        bytes += sizeof(std::vector<int>) + 2 * sizeof(void*) + decimals_->capacity() * sizeof(int);
    // Blocks are shared whole or not at all, wherever they stand in either grid.
    AddressSet mineBlocks(blocks_.size());
    for (const auto& block : blocks_) mineBlocks.insert(block.get());
    AddressSet theirBlocks(other ? other->blocks_.size() : 0);
    // Rows that other holds in the blocks this grid lacks: a row moved into another
    // block is shared, not new.
    std::vector<const Block*> theirsChanged;
    if (other)
        for (const auto& block : other->blocks_) {
            theirBlocks.insert(block.get());
            if (!mineBlocks.contains(block.get())) theirsChanged.push_back(block.get());
        }
    // A row only one pointer holds is this grid's own without a look-up; only the rest,
    // few after an edit, need the sets.
    std::vector<const GridRow*> held;
    for (const auto& block : blocks_) {
        if (theirBlocks.contains(block.get())) continue;
        bytes += sizeof(Block) + 2 * sizeof(void*) + block->rows.capacity() * sizeof(RowPtr);
        for (const RowPtr& row : block->rows) {
            if (row.use_count() == 1)
                bytes += RowBytes(*row);
            else
                held.push_back(row.get());
        }
    }
    if (held.empty()) return bytes;
    std::size_t theirRows = 0;
    for (const Block* block : theirsChanged) theirRows += block->rows.size();
    AddressSet shared(theirRows);
    for (const Block* block : theirsChanged)
        for (const auto& row : block->rows) shared.insert(row.get());
    AddressSet counted(held.size());  // a row held by several rows of this grid counts once
    for (const GridRow* row : held)
        if (!shared.contains(row) && counted.insert(row)) bytes += RowBytes(*row);
    return bytes;
}

// The column titles are the grids' row 0 and the CSV header, so they stay in Italian
// there; they are marked for the catalogue only, and the editor translates them where
// it shows them as table headers (and messages naming a column pass them through Tr).
const std::array<const char*, ch::Count>& ChannelColumnTitles() {
    static const std::array<const char*, ch::Count> titles{
        TrNoop("Num."), TrNoop("Nome canale"), TrNoop("Trasponder"), TrNoop("SID"),
        TrNoop("VPid"), TrNoop("APid"),        TrNoop("VECM"),       TrNoop("AECM"),
        TrNoop("PCR"),  TrNoop("Status"),      TrNoop("Preferenza")};
    return titles;
}

const std::array<const char*, tp::Count>& TransponderColumnTitles() {
    static const std::array<const char*, tp::Count> titles{
        TrNoop("Num."),   TrNoop("Frequenza"), TrNoop("TID"), TrNoop("NID"),
        TrNoop("Canali"), TrNoop("SR"),        TrNoop("FEC"), TrNoop("Polariz."),
        TrNoop("22 kHz"), TrNoop("Satellite")};
    return titles;
}

const std::array<const char*, fav::Count>& FavouriteColumnTitles() {
    static const std::array<const char*, fav::Count> titles{TrNoop("Pos."), TrNoop("Nome canale"),
                                                            TrNoop("Canale")};
    return titles;
}

const std::array<const char*, 2>& ConfigColumnTitles() {
    static const std::array<const char*, 2> titles{TrNoop("Lista"), TrNoop("Nome")};
    return titles;
}

namespace {
template <size_t N>
void SetTitles(Grid& grid, const std::array<const char*, N>& titles) {
    for (size_t c = 0; c < N; ++c) grid.setCell(0, static_cast<int>(c), titles[c]);
}
}  // namespace

ListPage::ListPage()
    : channelGrid(ch::Count, 1, ch::Num), transponderGrid(tp::Count, 1), configGrid(2, 9) {
    SetTitles(channelGrid, ChannelColumnTitles());
    SetTitles(transponderGrid, TransponderColumnTitles());
    SetTitles(configGrid, ConfigColumnTitles());
    // A new favourites grid holds the slot numbers, no names and channel "0".
    for (auto& grid : favouriteGrids) {
        grid = Grid(fav::Count, fav::Slots + 1, fav::Pos, fav::Channel);
        SetTitles(grid, FavouriteColumnTitles());
        for (int s = 1; s <= fav::Slots; ++s) grid.setCell(s, fav::Channel, "0");
    }
}

std::uint64_t NewImageId() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1);
}

std::string PageCaption(const std::string& fileName) {
    if (fileName.empty()) return Tr("Nuova lista");
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

}  // namespace rivo
