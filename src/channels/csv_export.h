// One table of a page as a spreadsheet file: UTF-8 CSV with RFC 4180 quoting and CRLF
// line ends. The header row holds the grid's column titles and every cell goes out
// exactly as the editor shows it (names decoded from Windows-1252). The favourites
// table is the eight lists one after the other, each row led by its list number in a
// "Lista" column (1 .. 8).
//
// The channel table carries its transponder's identity at the end of each row
// ("Frequenza", "Polarizzazione", "TID", "NID", "Satellite", empty for a channel
// without one), so that a file can be matched against another image's channels.
//
// A field that a spreadsheet would take as a formula (one starting with =, +, -, @, a
// tab or a carriage return) goes out with an apostrophe before it unless the raw cells
// are asked for; reading a file back drops that apostrophe again.
#pragma once

#include <array>
#include <string>

#include "channels/list_page.h"

namespace rivo {

enum class CsvTable { Channels, Transponders, Favourites };

enum class CsvCells { Guarded, Raw };

std::string ExportCsv(const ListPage& page, CsvTable table, CsvCells cells = CsvCells::Guarded);

// The titles of the identity columns after the channel grid's own.
inline constexpr std::array<const char*, 5> kChannelIdentityTitles{"Frequenza", "Polarizzazione", "TID", "NID",
                                                                   "Satellite"};

// The data rows ExportCsv writes for table (the header row not counted).
int CsvRowCount(const ListPage& page, CsvTable table);

}  // namespace rivo
