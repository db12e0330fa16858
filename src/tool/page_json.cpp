// Writing a page as the JSON of `dump`: layout, version, list names and the rows of the
// three tables with their colours.
#include "tool/page_json.h"

#include <ostream>

#include "channels/cp1252.h"

namespace rivo::tool {

namespace {

using Json = nlohmann::ordered_json;

// Read through the grid: a numbered column is not in the row.
Json RowJson(const Grid& grid, int row) {
    Json cells = Json::array();
    for (int c = 0; c < grid.columnCount(); ++c) cells.push_back(Cp1252ToUtf8(grid.cell(row, c)));
    Json out = Json::object();
    out["cells"] = std::move(cells);
    out["colour"] = ColourText(grid.colour(row));
    return out;
}

Json RowsJson(const Grid& grid) {
    Json rows = Json::array();
    for (int r = 1; r < grid.rowCount(); ++r) rows.push_back(RowJson(grid, r));
    return rows;
}

// An array of rows, one row per line; the closing bracket one place left of the rows.
void WriteRows(const Json& rows, std::ostream& out, const std::string& indent) {
    out << "[";
    for (std::size_t i = 0; i < rows.size(); ++i) out << (i ? ",\n" : "\n") << indent << rows[i].dump();
    if (!rows.empty()) out << "\n" << indent.substr(1);
    out << "]";
}

}  // namespace

std::string LayoutName(ListLayout layout) {
    switch (layout) {
        case ListLayout::None:
            return "None";
        case ListLayout::Single:
            return "Single";
        case ListLayout::Split:
            return "Split";
    }
    return "None";
}

std::string ColourText(std::uint32_t colour) {
    static const char* digits = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4) text += digits[(colour >> shift) & 0xF];
    return text;
}

Json PageJson(const ListPage& page, const std::vector<int>* channelRows) {
    Json out = Json::object();
    out["layout"] = LayoutName(page.layout);
    out["version"] = Cp1252ToUtf8(page.versionText);
    Json names = Json::array();
    for (int k = 1; k <= fav::Lists; ++k) names.push_back(Cp1252ToUtf8(page.configGrid.cell(k, 1)));
    out["list_names"] = std::move(names);
    if (channelRows) {
        Json rows = Json::array();
        for (const int r : *channelRows) rows.push_back(RowJson(page.channelGrid, r));
        out["channels"] = std::move(rows);
    } else {
        out["channels"] = RowsJson(page.channelGrid);
    }
    out["transponders"] = RowsJson(page.transponderGrid);
    Json lists = Json::array();
    for (const Grid& grid : page.favouriteGrids) lists.push_back(RowsJson(grid));
    out["favourites"] = std::move(lists);
    return out;
}

void WritePageJson(const ListPage& page, std::ostream& out, const std::vector<int>* channelRows) {
    const Json json = PageJson(page, channelRows);
    out << "{\"layout\": " << json["layout"].dump() << ",\n";
    out << " \"version\": " << json["version"].dump() << ",\n";
    out << " \"list_names\": " << json["list_names"].dump() << ",\n";
    out << " \"channels\": ";
    WriteRows(json["channels"], out, "  ");
    out << ",\n \"transponders\": ";
    WriteRows(json["transponders"], out, "  ");
    out << ",\n \"favourites\": [";
    const Json& lists = json["favourites"];
    for (std::size_t k = 0; k < lists.size(); ++k) {
        out << (k ? ",\n  " : "\n  ");
        WriteRows(lists[k], out, "   ");
    }
    out << "\n ]}\n";
}

}  // namespace rivo::tool
