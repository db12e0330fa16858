#include "channels/csv_import.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "channels/cp1252.h"
#include "text/translate.h"

namespace rivo {

namespace {

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A decimal whole number of at most 18 digits, or nullopt.
std::optional<std::int64_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// "11747", "11747,5" or "11747.5" (megahertz) in hertz, or nullopt.
std::optional<std::int64_t> MegahertzText(const std::string& text) {
    const auto dot = text.find_first_of(",.");
    const std::string whole = text.substr(0, dot);
    const auto mhz = WholeNumber(whole);
    if (!mhz || *mhz > 1'000'000) return std::nullopt;
    std::int64_t hertz = *mhz * 1'000'000;
    if (dot != std::string::npos) {
        const std::string fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.size() > 6 || !WholeNumber(fraction)) return std::nullopt;
        std::int64_t scale = 100'000;
        for (const char c : fraction) {
            hertz += (c - '0') * scale;
            scale /= 10;
        }
    }
    return hertz;
}

// The columns we know, by their lower-case titles.
enum class Column { Ignored, Number, Name, Sid, Tid, Nid, Frequency, Polarisation, Satellite, Favourites, List };

struct KnownTitle {
    const char* title;
    Column column;
};

constexpr std::array<KnownTitle, 16> kTitles{{
    {"num.", Column::Number},
    {"number", Column::Number},
    {"nome canale", Column::Name},
    {"name", Column::Name},
    {"sid", Column::Sid},
    {"tid", Column::Tid},
    {"nid", Column::Nid},
    {"frequenza", Column::Frequency},
    {"frequency", Column::Frequency},
    {"polarizzazione", Column::Polarisation},
    {"polariz.", Column::Polarisation},
    {"polarisation", Column::Polarisation},
    {"polarization", Column::Polarisation},
    {"satellite", Column::Satellite},
    {"preferenza", Column::Favourites},
    {"favourites", Column::Favourites},
}};

// The column a header title names, and for list1 .. list8 the list (0 .. 7).
std::pair<Column, int> TitleColumn(const std::string& field) {
    const std::string title = Lower(Trim(field));
    for (const auto& known : kTitles)
        if (title == known.title) return {known.column, 0};
    if (title.size() == 5 && title.rfind("list", 0) == 0 && title[4] >= '1' && title[4] <= '8')
        return {Column::List, title[4] - '1'};
    return {Column::Ignored, 0};
}

struct Record {
    int line = 0;
    std::vector<std::string> fields;
};

// The characters a field may start with that a spreadsheet reads as a formula.
bool FormulaStart(char c) { return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r'; }

// RFC 4180 records of text (UTF-8, no byte-order mark). Lenient where a spreadsheet
// program is: a quote inside an unquoted field, or text after a closing quote, is kept
// as it is. Only a quote left open at the end is an error.
bool SplitRecords(const std::string& text, char separator, std::vector<Record>& records, std::string& error) {
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        Record record;
        record.line = line;
        std::string field;
        bool quoted = false;      // inside quotes
        bool atFieldStart = true;
        for (;;) {
            if (i >= n) {
                if (quoted) {
                    error = Fmt(Tr("Riga %1: le virgolette aperte qui non vengono mai chiuse."), record.line);
                    return false;
                }
                record.fields.push_back(std::move(field));
                break;
            }
            const char c = text[i];
            if (quoted) {
                if (c == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                    } else {
                        quoted = false;
                        ++i;
                    }
                    continue;
                }
                if (c == '\n' || (c == '\r' && !(i + 1 < n && text[i + 1] == '\n'))) ++line;
                field += c;
                ++i;
                continue;
            }
            if (c == '"' && atFieldStart) {
                quoted = true;
                atFieldStart = false;
                ++i;
                continue;
            }
            if (c == separator) {
                record.fields.push_back(std::move(field));
                field.clear();
                atFieldStart = true;
                ++i;
                continue;
            }
            if (c == '\r' || c == '\n') {
                i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                ++line;
                record.fields.push_back(std::move(field));
                break;
            }
            atFieldStart = false;
            field += c;
            ++i;
        }
        records.push_back(std::move(record));
    }
    return true;
}

// The separators outside quotes on one line.
int CountOutsideQuotes(std::string_view line, char separator) {
    int count = 0;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == separator && !quoted) ++count;
    }
    return count;
}

// The separator the first lines use: the one found on the first line that the most of
// the first five non-empty lines use as often; ties go to semicolon, then tab, then
// comma. A file with none of them is one column.
char DetectSeparator(const std::string& text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < 5) {
        auto end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty()) return ',';
    char best = ',';
    int bestLines = 0, bestCount = 0;
    for (const char separator : {';', '\t', ','}) {
        const int first = CountOutsideQuotes(lines[0], separator);
        if (first == 0) continue;
        int agreeing = 0;
        for (const auto line : lines)
            if (CountOutsideQuotes(line, separator) == first) ++agreeing;
        if (agreeing > bestLines || (agreeing == bestLines && first > bestCount)) {
            best = separator;
            bestLines = agreeing;
            bestCount = first;
        }
    }
    return best;
}

bool AllEmpty(const Record& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

// "NID-TID-SID": three whole numbers joined by hyphens.
bool ReadTriple(const std::string& text, std::int64_t& nid, std::int64_t& tid, std::int64_t& sid) {
    const auto a = text.find('-');
    const auto b = a == std::string::npos ? a : text.find('-', a + 1);
    if (b == std::string::npos) return false;
    const auto n = WholeNumber(Trim(text.substr(0, a)));
    const auto t = WholeNumber(Trim(text.substr(a + 1, b - a - 1)));
    const auto s = WholeNumber(Trim(text.substr(b + 1)));
    if (!n || !t || !s) return false;
    nid = *n;
    tid = *t;
    sid = *s;
    return true;
}

bool PlainListRecord(const Record& record) {
    if (record.fields.size() != 3) return false;
    std::int64_t n, t, s;
    return WholeNumber(Trim(record.fields[0])).has_value() && ReadTriple(Trim(record.fields[2]), n, t, s);
}

// A formula start after any number of apostrophes ("=1", "'=1", "''=1"): the fields
// the guard marks. A field that already starts with apostrophes before a formula start
// gets one more too, or reading it back would take its own apostrophe for the guard's.
bool GuardedForm(const std::string& field) {
    const std::size_t first = field.find_first_not_of('\'');
    return first != std::string::npos && FormulaStart(field[first]);
}

}  // namespace

std::string GuardSpreadsheetField(const std::string& field) {
    if (GuardedForm(field)) return "'" + field;
    return field;
}

std::string UnguardSpreadsheetField(const std::string& field) {
    if (!field.empty() && field[0] == '\'' && GuardedForm(field)) return field.substr(1);
    return field;
}

ReferenceFileResult ReadReferenceFile(std::string_view bytes) {
    ReferenceFileResult result;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        result.file.reset();
        return result;
    };
    ReferenceFile file;
    bool bom = false;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        bom = true;
    }

    // The physical lines: their number, their length, and no control bytes but the
    // tab and the line ends (what makes a binary file).
    {
        std::size_t lines = 0, start = 0;
        while (start < bytes.size()) {
            auto end = bytes.find_first_of("\r\n", start);
            if (end == std::string_view::npos) end = bytes.size();
            ++lines;
            if (lines > kReferenceLinesLimit)
                return fail(Fmt(Tr("Riga %1: il file ha più di %2 righe, troppe per una lista di canali."), lines,
                                kReferenceLinesLimit));
            if (end - start > kReferenceLineLimit)
                return fail(Fmt(Tr("Riga %1: la riga è lunga %2 byte, oltre il limite di %3."), lines, end - start,
                                kReferenceLineLimit));
            for (std::size_t i = start; i < end; ++i) {
                const auto c = static_cast<unsigned char>(bytes[i]);
                if ((c < 0x20 && c != '\t') || c == 0x7F)
                    return fail(Fmt(Tr("Riga %1: il file contiene dati binari (il byte %2), non è un file di testo."),
                                    lines, static_cast<int>(c)));
            }
            // CR LF is one line end; a lone CR or LF is one too.
            start = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
        }
    }

    std::string text;
    if (bom || IsUtf8(bytes)) {
        if (!IsUtf8(bytes)) return fail(Tr("Il file dichiara la codifica UTF-8 ma non lo è."));
        text.assign(bytes);
    } else {
        text = Cp1252ToUtf8(std::string(bytes));
        file.windows1252 = true;
    }

    file.separator = DetectSeparator(text);
    std::vector<Record> records;
    std::string error;
    if (!SplitRecords(text, file.separator, records, error)) return fail(error);
    records.erase(std::remove_if(records.begin(), records.end(), AllEmpty), records.end());
    if (records.empty()) return fail(Tr("Il file non contiene righe."));

    // The header, when the first row names at least one column we know.
    std::vector<std::pair<Column, int>> columns;
    bool header = false;
    for (const auto& field : records.front().fields) {
        columns.push_back(TitleColumn(field));
        if (columns.back().first != Column::Ignored) header = true;
    }

    if (!header) {
        if (!PlainListRecord(records.front()))
            return fail(Fmt(Tr("Riga %1: nessuna colonna utilizzabile: serve un'intestazione con il nome o il SID "
                               "del canale, oppure righe nella forma NUMERO;NOME;NID-TID-SID."),
                            records.front().line));
        file.plainList = file.hasNumber = file.hasName = file.hasSid = file.hasTid = file.hasNid = true;
        for (const Record& record : records) {
            ReferenceFileRow row;
            row.line = record.line;
            if (!PlainListRecord(record))
                return fail(Fmt(Tr("Riga %1: la riga non è nella forma NUMERO;NOME;NID-TID-SID."), record.line));
            row.number = *WholeNumber(Trim(record.fields[0]));
            row.name = UnguardSpreadsheetField(record.fields[1]);
            ReadTriple(Trim(record.fields[2]), row.nid, row.tid, row.sid);
            file.rows.push_back(std::move(row));
        }
    } else {
        for (const auto& [column, list] : columns) {
            switch (column) {
                case Column::Number: file.hasNumber = true; break;
                case Column::Name: file.hasName = true; break;
                case Column::Sid: file.hasSid = true; break;
                case Column::Tid: file.hasTid = true; break;
                case Column::Nid: file.hasNid = true; break;
                case Column::Frequency: file.hasFrequency = true; break;
                case Column::Polarisation: file.hasPolarisation = true; break;
                case Column::Satellite: file.hasSatellite = true; break;
                case Column::Favourites:
                case Column::List: file.hasFavourites = true; break;
                case Column::Ignored: break;
            }
        }
        if (!file.hasName && !file.hasSid)
            return fail(Fmt(Tr("Riga %1: nessuna colonna utilizzabile: l'intestazione non ha né il nome né il SID "
                               "del canale."),
                            records.front().line));
        const bool byLists = std::any_of(columns.begin(), columns.end(),
                                         [](const auto& c) { return c.first == Column::List; });
        for (std::size_t k = 1; k < records.size(); ++k) {
            const Record& record = records[k];
            ReferenceFileRow row;
            row.line = record.line;
            int lists = 0;
            for (std::size_t c = 0; c < columns.size() && c < record.fields.size(); ++c) {
                const std::string raw = UnguardSpreadsheetField(record.fields[c]);
                const std::string cell = Trim(raw);
                const std::string& title = records.front().fields[c];
                auto number = [&](std::int64_t& into) -> bool {
                    if (cell.empty()) return true;
                    const auto value = WholeNumber(cell);
                    if (!value) {
                        error = Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è un numero."), record.line,
                                    Trim(title), cell);
                        return false;
                    }
                    into = *value;
                    return true;
                };
                switch (columns[c].first) {
                    case Column::Number:
                        if (!number(row.number)) return fail(error);
                        break;
                    case Column::Name: row.name = raw; break;
                    case Column::Sid:
                        if (!number(row.sid)) return fail(error);
                        break;
                    case Column::Tid:
                        if (!number(row.tid)) return fail(error);
                        break;
                    case Column::Nid:
                        if (!number(row.nid)) return fail(error);
                        break;
                    case Column::Frequency: {
                        row.frequency = cell;
                        if (cell.empty()) break;
                        const auto hertz = MegahertzText(cell);
                        if (!hertz)
                            return fail(Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è una frequenza in MHz."),
                                            record.line, Trim(title), cell));
                        row.hertz = *hertz;
                        break;
                    }
                    case Column::Polarisation: {
                        const std::string p = Lower(cell);
                        if (p.empty()) break;
                        if (p == "h" || p == "horizontal" || p == "orizzontale") row.polarisation = "H";
                        else if (p == "v" || p == "vertical" || p == "verticale") row.polarisation = "V";
                        else
                            return fail(Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è H o V."), record.line,
                                            Trim(title), cell));
                        break;
                    }
                    case Column::Satellite: row.satellite = cell; break;
                    case Column::Favourites: {
                        if (byLists) break;  // list1 .. list8 say it one list at a time
                        std::int64_t bits = -1;
                        if (!number(bits)) return fail(error);
                        if (bits > 255)
                            return fail(Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è un numero da 0 a 255."),
                                            record.line, Trim(title), cell));
                        row.favourites = static_cast<int>(bits);
                        break;
                    }
                    case Column::List:
                        // Set unless empty or 0.
                        if (!cell.empty() && cell != "0") lists |= 1 << columns[c].second;
                        break;
                    case Column::Ignored: break;
                }
            }
            if (byLists) row.favourites = lists;
            file.rows.push_back(std::move(row));
        }
    }

    if (file.hasNumber) {
        // A row without a number stays right after the row above it.
        std::vector<std::int64_t> keys(file.rows.size());
        std::int64_t previous = 0;
        for (std::size_t i = 0; i < file.rows.size(); ++i)
            keys[i] = previous = file.rows[i].number >= 0 ? file.rows[i].number : previous;
        std::vector<std::size_t> order(file.rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        std::vector<ReferenceFileRow> sorted;
        sorted.reserve(order.size());
        for (const std::size_t i : order) sorted.push_back(std::move(file.rows[i]));
        file.rows = std::move(sorted);
    }
    result.file = std::move(file);
    return result;
}

}  // namespace rivo
