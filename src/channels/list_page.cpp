#include "channels/list_page.h"

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

const std::string& Grid::cell(int row, int column) const {
    check(row, column);
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void Grid::setCell(int row, int column, std::string text) {
    check(row, column);
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)] = std::move(text);
}

std::uint32_t Grid::colour(int row) const {
    check(row, 0);
    return rows_[static_cast<size_t>(row)].colour;
}

void Grid::setColour(int row, std::uint32_t colour) {
    check(row, 0);
    rows_[static_cast<size_t>(row)].colour = colour;
}

GridRow& Grid::row(int row) {
    check(row, 0);
    return rows_[static_cast<size_t>(row)];
}

const GridRow& Grid::row(int row) const {
    check(row, 0);
    return rows_[static_cast<size_t>(row)];
}

void Grid::setRowCount(int rows) {
    if (rows < 0) rows = 0;
    const size_t old = rows_.size();
    rows_.resize(static_cast<size_t>(rows));
    for (size_t i = old; i < rows_.size(); ++i) rows_[i].cells.assign(static_cast<size_t>(columns_), {});
}

void Grid::removeRow(int row) {
    check(row, 0);
    rows_.erase(rows_.begin() + row);
}

void Grid::appendRow(std::uint32_t colour) {
    GridRow r;
    r.cells.assign(static_cast<size_t>(columns_), {});
    r.colour = colour;
    rows_.push_back(std::move(r));
}

void Grid::exchangeRows(int a, int b) {
    check(a, 0);
    check(b, 0);
    std::swap(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]);
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
void setTitles(Grid& grid, const std::array<const char*, N>& titles) {
    for (size_t c = 0; c < N; ++c) grid.setCell(0, static_cast<int>(c), titles[c]);
}
}  // namespace

ListPage::ListPage()
    : ChannelGrid(ch::Count, 1), TransponderGrid(tp::Count, 1), ConfigGrid(2, 9) {
    setTitles(ChannelGrid, ChannelColumnTitles());
    setTitles(TransponderGrid, TransponderColumnTitles());
    setTitles(ConfigGrid, ConfigColumnTitles());
    // A new favourites grid holds the slot numbers, no names and channel "0".
    for (auto& grid : FavouriteGrids) {
        grid = Grid(fav::Count, fav::Slots + 1);
        setTitles(grid, FavouriteColumnTitles());
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
