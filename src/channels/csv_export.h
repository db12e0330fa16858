// One table of a page as a spreadsheet file: UTF-8 CSV with RFC 4180 quoting and CRLF
// line ends. The header row holds the grid's column titles and every cell goes out
// exactly as the editor shows it (names decoded from Windows-1252). The favourites
// table is the eight lists one after the other, each row led by its list number in a
// "Lista" column (1 .. 8).
#pragma once

#include <string>

#include "channels/list_page.h"

namespace rivo {

enum class CsvTable { Channels, Transponders, Favourites };

std::string ExportCsv(const ListPage& page, CsvTable table);

// The data rows ExportCsv writes for table (the header row not counted).
int CsvRowCount(const ListPage& page, CsvTable table);

}  // namespace rivo
