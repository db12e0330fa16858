// Writing a table of the page as CSV: the quoting of fields, the apostrophe before a field a
// spreadsheet would run as a formula, and the channel table's transponder columns.
#include "channels/csv_export.h"

#include <array>
#include <vector>

#include "channels/cp1252.h"
#include "channels/csv_import.h"

namespace rivo {

namespace {

// Quoted only when it must be: a field holding a comma, a quote or a line break.
void AppendField(std::string& out, const std::string& cell, CsvCells cells) {
    const std::string text = cells == CsvCells::Guarded ? GuardSpreadsheetField(cell) : cell;
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

void AppendLine(std::string& out, const std::vector<std::string>& fields, CsvCells cells) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        AppendField(out, fields[i], cells);
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

void AppendRows(std::string& out, const Grid& grid, CsvCells cells) {
    for (int r = 1; r < grid.rowCount(); ++r) AppendLine(out, ShownCells(grid, r), cells);
}

// Channel rows with their transponder's identity: the transponder row the channel names
// (1 .. the table's rows, not the "no transponder" 255), its cells as the transponder
// grid shows them.
void AppendChannelRows(std::string& out, const ListPage& page, CsvCells cells) {
    const Grid& channels = page.channelGrid;
    const Grid& transponders = page.transponderGrid;
    for (int r = 1; r < channels.rowCount(); ++r) {
        std::vector<std::string> fields = ShownCells(channels, r);
        const std::string& reference = channels.cell(r, ch::Transponder);
        int t = 0;
        if (!reference.empty() && reference.size() <= 5 &&
            reference.find_first_not_of("0123456789") == std::string::npos)
            t = std::stoi(reference);
        if (t >= 1 && t != 255 && t < transponders.rowCount()) {
            for (const int c : {tp::Frequency, tp::Polarisation, tp::Tid, tp::Nid, tp::Satellite})
                fields.push_back(Cp1252ToUtf8(transponders.cell(t, c)));
        } else {
            fields.resize(fields.size() + kChannelIdentityTitles.size());
        }
        AppendLine(out, fields, cells);
    }
}

}  // namespace

std::string ExportCsv(const ListPage& page, CsvTable table, CsvCells cells) {
    std::string out;
    switch (table) {
        case CsvTable::Channels: {
            std::vector<std::string> header = Titles(ChannelColumnTitles());
            header.insert(header.end(), kChannelIdentityTitles.begin(),
                          kChannelIdentityTitles.end());
            AppendLine(out, header, cells);
            AppendChannelRows(out, page, cells);
            break;
        }
        case CsvTable::Transponders:
            AppendLine(out, Titles(TransponderColumnTitles()), cells);
            AppendRows(out, page.transponderGrid, cells);
            break;
        case CsvTable::Favourites: {
            std::vector<std::string> header{"Lista"};
            for (const char* title : FavouriteColumnTitles()) header.emplace_back(title);
            AppendLine(out, header, cells);
            for (int k = 0; k < fav::Lists; ++k) {
                const Grid& grid = page.favouriteGrids[static_cast<std::size_t>(k)];
                for (int r = 1; r < grid.rowCount(); ++r) {
                    std::vector<std::string> fields{std::to_string(k + 1)};
                    for (auto& cell : ShownCells(grid, r)) fields.push_back(std::move(cell));
                    AppendLine(out, fields, cells);
                }
            }
            break;
        }
    }
    return out;
}

int CsvRowCount(const ListPage& page, CsvTable table) {
    switch (table) {
        case CsvTable::Channels:
            return page.channelGrid.rowCount() - 1;
        case CsvTable::Transponders:
            return page.transponderGrid.rowCount() - 1;
        case CsvTable::Favourites: {
            int rows = 0;
            for (const Grid& grid : page.favouriteGrids) rows += grid.rowCount() - 1;
            return rows;
        }
    }
    return 0;
}

}  // namespace rivo
