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

#include "image/kvx_file.h"

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
class Grid {
public:
    Grid() = default;
    Grid(int columns, int rows);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const { return columns_; }

    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string text);
    std::uint32_t colour(int row) const;
    void setColour(int row, std::uint32_t colour);

    GridRow& row(int row);
    const GridRow& row(int row) const;

    // Resizes to rows (title row included); new rows have empty cells.
    void setRowCount(int rows);
    // Removes one row; the rows below move up. The row count drops by one.
    void removeRow(int row);
    // Appends one row with empty cells and the given colour.
    void appendRow(std::uint32_t colour = kColourNone);
    void exchangeRows(int a, int b);

    std::vector<GridRow>& rows() { return rows_; }
    const std::vector<GridRow>& rows() const { return rows_; }

    bool operator==(const Grid& other) const = default;

private:
    void check(int row, int column) const;
    int columns_ = 0;
    std::vector<GridRow> rows_;
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

    Grid ChannelGrid;      // 11 columns, 1 + channels rows
    Grid TransponderGrid;  // 10 columns, 1 + transponders rows
    std::array<Grid, fav::Lists> FavouriteGrids;  // 3 columns, 129 rows each
    Grid ConfigGrid;       // 2 columns, 9 rows: list number and list name

    // Index 0..7 of the favourites grid that last had the focus; -1 before any.
    int SelectedFavourite = -1;
    std::string VersionText = "Versione: ";

    std::shared_ptr<TKVXFile> Image;
    // Distinguishes opened images for the channel copy buffer; never reused.
    std::uint64_t ImageId = 0;
    std::string FileName;  // as opened; the tab caption is its last path component

    std::int32_t LnbLow = 9750;
    std::int32_t LnbHigh = 10600;
    ListLayout Layout = ListLayout::None;
    std::array<std::int32_t, 16> SymbolRates{};
    std::string SatelliteA = "HotBird";
    std::string SatelliteB = "Astra";
    bool Modified = false;

    int channelCount() const { return ChannelGrid.rowCount() - 1; }
    int transponderCount() const { return TransponderGrid.rowCount() - 1; }
};

// A new identity for an opened image (process-wide counter, never reused).
std::uint64_t NewImageId();

// The caption of a page's tab: the file name without its folder, or "Nuova lista".
std::string PageCaption(const std::string& fileName);

}  // namespace rivo
