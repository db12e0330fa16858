#include "channels/csv_export.h"

#include <array>
#include <vector>

#include "channels/cp1252.h"

namespace rivo {

namespace {

// Quoted only when it must be: a field holding a comma, a quote or a line break.
void AppendField(std::string& out, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        AppendField(out, fields[i]);
    }
    out += "\r\n";
}

template <std::size_t N>
std::vector<std::string> Titles(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

// Read through the grid: a numbered column is not in the row.
std::vector<std::string> ShownCells(const Grid& grid, int row) {
    std::vector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(grid.columnCount()) + 1);
    for (int c = 0; c < grid.columnCount(); ++c) cells.push_back(Cp1252ToUtf8(grid.cell(row, c)));
    return cells;
}

void AppendRows(std::string& out, const Grid& grid) {
    for (int r = 1; r < grid.rowCount(); ++r) AppendLine(out, ShownCells(grid, r));
}

}  // namespace

std::string ExportCsv(const ListPage& page, CsvTable table) {
    std::string out;
    switch (table) {
        case CsvTable::Channels:
            AppendLine(out, Titles(ChannelColumnTitles()));
            AppendRows(out, page.channelGrid);
            break;
        case CsvTable::Transponders:
            AppendLine(out, Titles(TransponderColumnTitles()));
            AppendRows(out, page.transponderGrid);
            break;
        case CsvTable::Favourites: {
            std::vector<std::string> header{"Lista"};
            for (const char* title : FavouriteColumnTitles()) header.emplace_back(title);
            AppendLine(out, header);
            for (int k = 0; k < fav::Lists; ++k) {
                const Grid& grid = page.favouriteGrids[static_cast<std::size_t>(k)];
                for (int r = 1; r < grid.rowCount(); ++r) {
                    std::vector<std::string> fields{std::to_string(k + 1)};
                    for (auto& cell : ShownCells(grid, r)) fields.push_back(std::move(cell));
                    AppendLine(out, fields);
                }
            }
            break;
        }
    }
    return out;
}

int CsvRowCount(const ListPage& page, CsvTable table) {
    switch (table) {
        case CsvTable::Channels: return page.channelGrid.rowCount() - 1;
        case CsvTable::Transponders: return page.transponderGrid.rowCount() - 1;
        case CsvTable::Favourites: {
            int rows = 0;
            for (const Grid& grid : page.favouriteGrids) rows += grid.rowCount() - 1;
            return rows;
        }
    }
    return 0;
}

}  // namespace rivo
