// Reading a channel order back from a spreadsheet: our own channel CSV after a round
// through a spreadsheet program, or a plain reference list of lines
// NUMBER;NAME;NID-TID-SID as users keep them by hand.
//
// The file is taken as whatever a spreadsheet may have made of it: comma, semicolon or
// tab between fields (what the first lines use most consistently), UTF-8 with or
// without a byte-order mark or else Windows-1252, RFC 4180 quoting (fields may span
// lines), CRLF, LF or CR line ends. The columns are found by their header, in our
// Italian titles or in English; without a header only the plain reference list form
// is accepted. The apostrophe our export puts before a field that a spreadsheet would
// take as a formula is removed again.
//
// Anything else is refused with a message naming the line and what is wrong; the
// reader never throws for bad input. The file is read one record at a time and checked
// as it goes: an error stops at its line, and only the fields of the columns the import
// uses are kept, so any file costs about the memory of its rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/list_page.h"

namespace rivo {

// A physical line longer than this many bytes (line end not counted) is refused.
inline constexpr std::size_t kReferenceLineLimit = 64 * 1024;
// A file of more lines than this is refused.
inline constexpr std::size_t kReferenceLinesLimit = 100'000;
// A record of more fields than this is refused (our channel export has 21 columns).
inline constexpr std::size_t kReferenceFieldsLimit = 1'000;

// One row of the file, with the cells of the columns the file has. Values the file
// does not give are -1, 0 or empty as said.
struct ReferenceFileRow {
    int line = 0;              // the line the row starts on, 1-based
    std::int64_t number = -1;  // the number column, -1 when empty or absent
    std::string name;          // UTF-8
    std::int64_t sid = -1, tid = -1, nid = -1;
    std::string frequency;     // as written, "" when empty
    std::int64_t hertz = 0;    // the frequency in hertz, 0 when empty or "0"
    std::string polarisation;  // "H", "V" or ""
    std::string satellite;     // UTF-8
    int favourites = -1;       // the list bits (list 1 is bit 0), -1 when not given
};

struct ReferenceFile {
    // The columns the file has.
    bool hasNumber = false, hasName = false, hasSid = false, hasTid = false, hasNid = false;
    bool hasFrequency = false, hasPolarisation = false, hasSatellite = false, hasFavourites = false;
    bool plainList = false;  // a headerless NUMBER;NAME;NID-TID-SID list
    char separator = ',';
    bool windows1252 = false;  // the bytes were not UTF-8
    // The rows in the wanted order: the file's order, or by the number column when it
    // has one (ties, and rows with an empty number right after the row above, keep the
    // file's order). Rows whose cells are all empty are left out.
    std::vector<ReferenceFileRow> rows;
};

struct ReferenceFileResult {
    std::optional<ReferenceFile> file;
    std::string error;  // the message when file is empty
};

// Reads the bytes of a file. Never throws for bad input.
ReferenceFileResult ReadReferenceFile(std::string_view bytes);

// The field a spreadsheet could take as a formula (it starts with =, +, -, @, a tab or a
// carriage return) with an apostrophe before it; any other field as it is. A field of
// apostrophes before such a character gets one more, so that it reads back unchanged.
std::string GuardSpreadsheetField(const std::string& field);
// The reverse: of apostrophes before one of those characters, the first is dropped.
std::string UnguardSpreadsheetField(const std::string& field);

}  // namespace rivo
