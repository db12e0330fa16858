// The page as the tool prints it: the dump JSON and the CSV tables of export. Cells go
// out exactly as the editor shows them, names decoded from Windows-1252 to UTF-8.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "channels/list_page.h"

namespace rivo::tool {

std::string LayoutName(ListLayout layout);
std::string ColourText(std::uint32_t colour);  // "#RRGGBB", upper-case

// {"layout", "version", "list_names", "channels", "transponders", "favourites"}, in this order.
nlohmann::ordered_json PageJson(const ListPage& page);
// The dump text: valid JSON with one grid row per line.
void WritePageJson(const ListPage& page, std::ostream& out);

enum class ExportTable { Channels, Transponders, Favourites };
// The table as CSV (RFC 4180 quoting, CRLF line ends, UTF-8): the column titles, then
// the rows. Favourites: "Lista" (1-8) before the favourites grid's columns, list 1 first.
std::string TableCsv(const ListPage& page, ExportTable table);

}  // namespace rivo::tool
