#include "channels/csv_export.h"

#include <array>
#include <vector>

#include "channels/cp1252.h"

namespace rivo {

namespace {

// Quoted only when it must be: a field holding a comma, a quote or a line break.
void appendField(std::string& out, const std::string& text) {
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

void appendLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

template <std::size_t N>
std::vector<std::string> titles(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

std::vector<std::string> shownCells(const GridRow& row) {
    std::vector<std::string> cells;
    cells.reserve(row.cells.size() + 1);
    for (const auto& cell : row.cells) cells.push_back(Cp1252ToUtf8(cell));
    return cells;
}

void appendRows(std::string& out, const Grid& grid) {
    for (int r = 1; r < grid.rowCount(); ++r) appendLine(out, shownCells(grid.row(r)));
}

}  // namespace

std::string ExportCsv(const ListPage& page, CsvTable table) {
    std::string out;
    switch (table) {
        case CsvTable::Channels:
            appendLine(out, titles(ChannelColumnTitles()));
            appendRows(out, page.channelGrid);
            break;
        case CsvTable::Transponders:
            appendLine(out, titles(TransponderColumnTitles()));
            appendRows(out, page.transponderGrid);
            break;
        case CsvTable::Favourites: {
            std::vector<std::string> header{"Lista"};
            for (const char* title : FavouriteColumnTitles()) header.emplace_back(title);
            appendLine(out, header);
            for (int k = 0; k < fav::Lists; ++k) {
                const Grid& grid = page.favouriteGrids[static_cast<std::size_t>(k)];
                for (int r = 1; r < grid.rowCount(); ++r) {
                    std::vector<std::string> fields{std::to_string(k + 1)};
                    for (auto& cell : shownCells(grid.row(r))) fields.push_back(std::move(cell));
                    appendLine(out, fields);
                }
            }
            break;
        }
    }
    return out;
}

}  // namespace rivo
