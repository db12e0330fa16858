// The page: the working copy of one opened image's channel list.
//
// Every table is a grid of cell texts with a background colour per row, row 0 holding
// the column titles. Editing works on cell texts and colours only; saving encodes the
// cells back into records. The editor's table views are models over these grids, so
// there is exactly one copy of the list in memory.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "image/kvx_image.h"

namespace rivo {

// Row colours, 0xRRGGBB.
inline constexpr std::uint32_t kColourChannel = 0xFFE266;      // 255,226,102
inline constexpr std::uint32_t kColourRadio = 0x6F91FF;        // 111,145,255 (no video)
inline constexpr std::uint32_t kColourNoAudioVideo = 0xCCFFCC; // 204,255,204
inline constexpr std::uint32_t kColourGrey = 0xC0C0C0;         // 192,192,192: free / inactive
inline constexpr std::uint32_t kColourInUse = 0x99FF99;        // 153,255,153: transponder in use
inline constexpr std::uint32_t kColourNone = 0xFFFFFF;         // title row and unfilled rows

struct GridRow {
    std::vector<std::string> cells;
    std::uint32_t colour = kColourNone;
    bool operator==(const GridRow& other) const = default;
};

// A table of cell texts. Row 0 is the title row; data rows are 1 .. rowCount()-1.
// Access outside the grid is a programming error and is checked (std::out_of_range).
//
// Copies of a grid share their rows. The rows sit in blocks of about kBlockRows; a
// copy shares the blocks, and a write replaces only the row it changes (and the block
// holding it) in the grid written to. Copying a grid thus costs a pointer per block,
// and a grid kept as an earlier state holds only the rows that were replaced since.
// Moving rows (exchange, rotate, remove) moves row pointers, never cell texts; a
// rotation splits the blocks at its ends and moves whole blocks, so moving one row
// past thousands of others replaces a few blocks, not every block in between.
//
// A grid may have a numbered column: in every data row that column reads as the row's
// own position ("1", "2", ...) and is not stored in the row. Rows that only change
// position then stay the same rows, shared with earlier states of the grid. Writes to
// that column of a data row change nothing; the title row keeps its stored text.
//
// A grid may also have a decimal column: a text in it that is a plain decimal number
// ("0", "17", no sign, no leading zero, up to kMaxDecimal) is kept in one array of
// numbers beside the rows, not in the row, and copies of the grid share that array
// until one of them writes to it. Renumbering entries (a favourites list whose
// channels changed rows) then rewrites that array, a few hundred bytes, and leaves
// every row shared. Other texts in that column stay in the row. cell() and cells()
// read both alike; a row read directly holds an empty text where the number is in the
// array, and the writable row() first brings the number back into the row. Moving
// rows moves the array's numbers with them at a cost that grows with the row count:
// meant for small grids.
class Grid {
public:
    static constexpr int kBlockRows = 64;
    // No block holds more. Where a rotation or removal leaves a block smaller than half
    // of kBlockRows, it joins its neighbour, or the two share their rows evenly when
    // together they would hold more than this.
    static constexpr int kMaxBlockRows = 2 * kBlockRows;
    // The largest number a decimal column keeps beside its rows.
    static constexpr int kMaxDecimal = 99999;

    Grid() = default;
    // numberedColumn: the column that reads as each data row's position; -1 for none.
    // decimalColumn: the column whose decimal numbers are kept beside the rows; -1 for
    // none (and none when it is the numbered column).
    Grid(int columns, int rows, int numberedColumn = -1, int decimalColumn = -1);

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columns_; }
    int numberedColumn() const { return numberedColumn_; }
    int decimalColumn() const { return decimalColumn_; }

    const std::string& cell(int row, int column) const;
    // Every cell of row as cell() reads it, the numbered one included.
    std::vector<std::string> cells(int row) const;
    // Writing the text a cell already holds leaves the row shared.
    void setCell(int row, int column, std::string text);
    std::uint32_t colour(int row) const;
    void setColour(int row, std::uint32_t colour);

    // The writable row makes it this grid's own (copies of the grid keep the old one):
    // read through a const grid where nothing is written. A data row's numbered cell
    // is empty here: the number is read with cell(). The const row's decimal cell is
    // empty where the number is kept beside the rows; the writable row holds it.
    GridRow& row(int row);
    const GridRow& row(int row) const;
    // Row to becomes the same row as row from (shared until either is written).
    void copyRow(int from, int to);
    // Row row becomes content (given the grid's column count), a new row of its own:
    // cheaper than writing every cell of row(row), which first copies a shared row.
    // Content holds the texts as cell() reads them (a decimal number included).
    void setRow(int row, GridRow content);
    // Whether row reads the same cells (as cell() reads them) and colour as other's
    // row otherRow; shared rows compare without reading their cells.
    bool sameRow(int row, const Grid& other, int otherRow) const;

    // Resizes to rows (title row included); new rows have empty cells.
    void setRowCount(int rows);
    // Removes one row; the rows below move up. The row count drops by one.
    void removeRow(int row);
    // Appends one row with empty cells and the given colour.
    void appendRow(std::uint32_t colour = kColourNone);
    void exchangeRows(int a, int b);
    // As std::rotate over rows first .. last-1: row middle comes to stand at first.
    void rotateRows(int first, int middle, int last);
    // Rows first, first+1, ... become the rows order[0], order[1], ... were: order is a
    // permutation of first .. first+order.size()-1. Rows move whole and stay shared.
    void permuteRows(int first, const std::vector<int>& order);

    // The rows for reading, in order: size(), [i], begin(), end().
    class Rows {
    public:
        class iterator {
        public:
            iterator(const Grid* grid, int row) : grid_(grid), row_(row) {}
            const GridRow& operator*() const { return *grid_->at(row_); }
            iterator& operator++() { ++row_; return *this; }
            bool operator==(const iterator& other) const = default;
        private:
            const Grid* grid_;
            int row_;
        };
        explicit Rows(const Grid* grid) : grid_(grid) {}
        std::size_t size() const { return static_cast<std::size_t>(grid_->rowCount()); }
        const GridRow& operator[](std::size_t row) const { return grid_->row(static_cast<int>(row)); }
        iterator begin() const { return {grid_, 0}; }
        iterator end() const { return {grid_, grid_->rowCount()}; }
    private:
        const Grid* grid_;
    };
    Rows rows() const { return Rows(this); }

    // Equal cells (as cell() reads them) and colours; rows and blocks shared with other
    // compare without reading their cells.
    bool operator==(const Grid& other) const;

    // Heap bytes this grid holds that other does not share with it: its block table,
    // the blocks other lacks and the rows among them that other lacks (cell texts
    // estimated by their capacity), and its decimal numbers unless other shares them.
    // Costs a look at each block pointer and at the rows
    // of the blocks that differ, not at every cell.
    std::size_t bytesNotSharedWith(const Grid* other) const;

private:
    using RowPtr = std::shared_ptr<GridRow>;
    struct Block {
        std::vector<RowPtr> rows;
    };
    using BlockPtr = std::shared_ptr<Block>;

    void check(int row, int column) const;
    // The block holding row (0 <= row < rowCount_).
    std::size_t blockOf(int row) const;
    const RowPtr& at(int row) const {
        const std::size_t b = blockOf(row);
        return blocks_[b]->rows[static_cast<std::size_t>(row - (*starts_)[b])];
    }
    int blockSize(std::size_t b) const { return static_cast<int>(blocks_[b]->rows.size()); }
    Block& ownBlock(std::size_t b);
    std::vector<int>& ownStarts();
    // Puts row as row index (the count must already include it).
    void place(int index, RowPtr row);
    void push(RowPtr row);
    void popBack();
    RowPtr emptyRow(std::uint32_t colour) const;
    // Makes a block start at row (0 <= row <= rowCount_); returns that block's index
    // (the block count when row is rowCount_).
    std::size_t splitAt(int row);
    // Block starts from block b on, from the sizes.
    void restart(std::size_t b);
    // Joins or evens out blocks b-1 and b where either is small; no-op at the ends.
    void tidySeam(std::size_t b);
    bool sameCells(const GridRow& mine, int row, const GridRow& theirs, const Grid& other, int otherRow) const;
    // The number row's decimal cell keeps beside the rows; -1 where the row holds it.
    int decimal(int row) const { return decimals_ ? (*decimals_)[static_cast<std::size_t>(row)] : -1; }
    std::vector<int>& ownDecimals();
    void setDecimal(int row, int value);
    // The text cell() reads, given row's stored row.
    const std::string& shownCell(const GridRow& stored, int row, int column) const;
    // The writable row without bringing its decimal number back into it.
    GridRow& ownRow(int row);

    int columns_ = 0;
    int rowCount_ = 0;
    int numberedColumn_ = -1;
    int decimalColumn_ = -1;
    // (*decimals_)[row]: the number row's decimal cell reads, or -1 where the row holds
    // the text; one entry per row; null without a decimal column.
    std::shared_ptr<std::vector<int>> decimals_;
    std::vector<BlockPtr> blocks_;
    // (*starts_)[b]: the first row of block b; shared between copies like the blocks.
    std::shared_ptr<std::vector<int>> starts_ = std::make_shared<std::vector<int>>();
};

// How the channel table is stored in the image.
enum class ListLayout { None, Single, Split };

// Column indexes of the channel grid.
namespace ch {
inline constexpr int Num = 0, Name = 1, Transponder = 2, Sid = 3, VPid = 4, APid = 5,
                     VEcm = 6, AEcm = 7, Pcr = 8, Status = 9, Favourites = 10, Count = 11;
}
// Column indexes of the transponder grid.
namespace tp {
inline constexpr int Num = 0, Frequency = 1, Tid = 2, Nid = 3, Channels = 4, SymbolRate = 5,
                     Fec = 6, Polarisation = 7, Tone = 8, Satellite = 9, Count = 10;
}
// Column indexes of a favourites grid.
namespace fav {
inline constexpr int Pos = 0, Name = 1, Channel = 2, Count = 3;
inline constexpr int Slots = 128;
inline constexpr int Lists = 8;
}  // namespace fav

// Column titles, exactly as the grids show them.
const std::array<const char*, ch::Count>& ChannelColumnTitles();
const std::array<const char*, tp::Count>& TransponderColumnTitles();
const std::array<const char*, fav::Count>& FavouriteColumnTitles();
const std::array<const char*, 2>& ConfigColumnTitles();

// One opened image and its tables.
struct ListPage {
    ListPage();

    // The channel grid's "Num." and each favourites grid's "Pos." column are numbered
    // columns: the row's position, not stored. Each favourites grid's "Canale" is a
    // decimal column: renumbering its entries leaves its rows shared.
    Grid channelGrid;                             // 11 columns, 1 + channels rows
    Grid transponderGrid;                         // 10 columns, 1 + transponders rows
    std::array<Grid, fav::Lists> favouriteGrids;  // 3 columns, 129 rows each
    Grid configGrid;                              // 2 columns, 9 rows: list number and list name

    // Index 0..7 of the favourites grid that last had the focus; -1 before any.
    int selectedFavourite = -1;
    std::string versionText = "Versione: ";

    std::shared_ptr<KvxImage> image;
    // Distinguishes opened images for the channel copy buffer; never reused.
    std::uint64_t imageId = 0;
    std::string fileName;  // as opened; the tab caption is its last path component

    std::int32_t lnbLow = 9750;
    std::int32_t lnbHigh = 10600;
    ListLayout layout = ListLayout::None;
    std::array<std::int32_t, 16> symbolRates{};
    std::string satelliteA = "HotBird";
    std::string satelliteB = "Astra";
    bool modified = false;

    int channelCount() const { return channelGrid.rowCount() - 1; }
    int transponderCount() const { return transponderGrid.rowCount() - 1; }
};

// A new identity for an opened image (process-wide counter, never reused).
std::uint64_t NewImageId();

// The caption of a page's tab: the file name without its folder, or "Nuova lista".
std::string PageCaption(const std::string& fileName);

}  // namespace rivo
