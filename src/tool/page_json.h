// The page as the tool prints it: the dump JSON (the CSV of export is the core's
// ExportCsv). Cells go out exactly as the editor shows them, names decoded from
// Windows-1252 to UTF-8.
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
// channelRows (optional): only these channel rows, in this order (dump --where); each
// keeps its "Num.".
nlohmann::ordered_json PageJson(const ListPage& page, const std::vector<int>* channelRows = nullptr);
// The dump text: valid JSON with one grid row per line.
void WritePageJson(const ListPage& page, std::ostream& out, const std::vector<int>* channelRows = nullptr);

}  // namespace rivo::tool
