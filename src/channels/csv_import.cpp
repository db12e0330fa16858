// Reading an order file: the encoding, the separator, RFC 4180 records, the header's columns
// (Italian or English titles) or the plain reference list, and the refusals that name the
// line at fault.
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
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
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
enum class Column {
    Ignored,
    Number,
    Name,
    Sid,
    Tid,
    Nid,
    Frequency,
    Polarisation,
    Satellite,
    Favourites,
    List
};

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
    std::vector<std::string> fields;  // the first fields, as many as the reader keeps
    std::size_t fieldCount = 0;       // all fields of the record
};

// The characters a field may start with that a spreadsheet reads as a formula.
bool FormulaStart(char c) {
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// RFC 4180 records of text (UTF-8, no byte-order mark), one at a time, so that a file
// costs the memory of one record and an error stops at its line. Lenient where a
// spreadsheet program is: a quote inside an unquoted field, or text after a closing
// quote, is kept as it is. Each physical line is checked when the reader reaches it: its
// length, no control bytes but the tab, and the number of lines.
class RecordReader {
public:
    // countCharacters: a line's length counts characters (the file was Windows-1252,
    // one byte per character, and text is its UTF-8 form), else bytes.
    RecordReader(std::string_view text, char separator, bool countCharacters)
        : text_(text), separator_(separator), countCharacters_(countCharacters) {}

    // The next record, keeping its first `kept` fields; false at the end of the text or
    // on an error (error() says which).
    bool next(Record& record, std::size_t kept) {
        const std::size_t n = text_.size();
        if (!error_.empty() || i_ >= n) return false;
        if (!lineChecked_ && !checkLine()) return false;
        record.line = line_;
        record.fields.clear();
        record.fieldCount = 0;
        std::string field;
        bool quoted = false;  // inside quotes
        bool atFieldStart = true;
        const auto endField = [&] {
            if (++record.fieldCount > kReferenceFieldsLimit) {
                error_ = Fmt(Tr("Riga %1: la riga ha più di %2 campi."), record.line,
                             kReferenceFieldsLimit);
                return false;
            }
            if (record.fields.size() < kept) record.fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            return true;
        };
        // Only the kept fields' text is collected.
        const auto add = [&](char c) {
            if (record.fields.size() < kept) field += c;
        };
        for (;;) {
            if (i_ >= n) {
                if (quoted) {
                    error_ = Fmt(Tr("Riga %1: le virgolette aperte qui non vengono mai chiuse."),
                                 record.line);
                    return false;
                }
                return endField();
            }
            const char c = text_[i_];
            if (quoted) {
                if (c == '"') {
                    if (i_ + 1 < n && text_[i_ + 1] == '"') {
                        add('"');
                        i_ += 2;
                    } else {
                        quoted = false;
                        ++i_;
                    }
                    continue;
                }
                if (c == '\r' || c == '\n') {
                    // A line end inside quotes belongs to the field; the next line is checked.
                    const std::size_t length =
                        c == '\r' && i_ + 1 < n && text_[i_ + 1] == '\n' ? 2 : 1;
                    for (std::size_t k = 0; k < length; ++k) add(text_[i_ + k]);
                    i_ += length;
                    ++line_;
                    if (i_ < n && !checkLine()) return false;
                    continue;
                }
                add(c);
                ++i_;
                continue;
            }
            if (c == '"' && atFieldStart) {
                quoted = true;
                atFieldStart = false;
                ++i_;
                continue;
            }
            if (c == separator_) {
                if (!endField()) return false;
                ++i_;
                continue;
            }
            if (c == '\r' || c == '\n') {
                i_ += (c == '\r' && i_ + 1 < n && text_[i_ + 1] == '\n') ? 2 : 1;
                ++line_;
                lineChecked_ = false;
                return endField();
            }
            atFieldStart = false;
            add(c);
            ++i_;
        }
    }

    const std::string& error() const { return error_; }

private:
    // Checks the physical line starting at i_.
    bool checkLine() {
        lineChecked_ = true;
        if (static_cast<std::size_t>(line_) > kReferenceLinesLimit) {
            error_ = Fmt(Tr("Riga %1: il file ha più di %2 righe, troppe per una lista di canali."),
                         line_, kReferenceLinesLimit);
            return false;
        }
        std::size_t end = text_.find_first_of("\r\n", i_);
        if (end == std::string_view::npos) end = text_.size();
        std::size_t length = end - i_;
        if (countCharacters_)
            length = static_cast<std::size_t>(std::count_if(
                text_.begin() + static_cast<std::ptrdiff_t>(i_),
                text_.begin() + static_cast<std::ptrdiff_t>(end),
                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
        if (length > kReferenceLineLimit) {
            error_ = Fmt(Tr("Riga %1: la riga è lunga %2 byte, oltre il limite di %3."), line_,
                         length, kReferenceLineLimit);
            return false;
        }
        for (std::size_t k = i_; k < end; ++k) {
            const auto c = static_cast<unsigned char>(text_[k]);
            if ((c < 0x20 && c != '\t') || c == 0x7F) {
                error_ = Fmt(Tr("Riga %1: il file contiene dati binari (il byte %2), non è un file "
                                "di testo."),
                             line_, static_cast<int>(c));
                return false;
            }
        }
        return true;
    }

    std::string_view text_;
    char separator_;
    bool countCharacters_;
    std::size_t i_ = 0;
    int line_ = 1;
    bool lineChecked_ = false;  // the line at i_ has been checked
    std::string error_;
};

// The separators outside quotes on one line.
int CountOutsideQuotes(std::string_view line, char separator) {
    int count = 0;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            ++count;
    }
    return count;
}

// The separator the first lines use: the one found on the first line that the most of
// the first five non-empty lines use as often; ties go to semicolon, then tab, then
// comma. A file with none of them is one column.
char DetectSeparator(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < 5) {
        auto end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
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
    if (record.fieldCount != 3 || record.fields.size() != 3) return false;
    std::int64_t n, t, s;
    return WholeNumber(Trim(record.fields[0])).has_value() &&
           ReadTriple(Trim(record.fields[2]), n, t, s);
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

    // The text: the bytes themselves when they are UTF-8, else their Windows-1252 reading.
    std::string converted;
    std::string_view text = bytes;
    if (bom || IsUtf8(bytes)) {
        if (!IsUtf8(bytes)) return fail(Tr("Il file dichiara la codifica UTF-8 ma non lo è."));
    } else {
        converted = Cp1252ToUtf8(std::string(bytes));
        text = converted;
        file.windows1252 = true;
    }

    // Records are read and checked one at a time: a file costs the memory of its rows,
    // not of every field it holds, and an error stops at its line.
    file.separator = DetectSeparator(text);
    RecordReader reader(text, file.separator, file.windows1252);
    Record record;
    const auto nextRecord = [&](std::size_t kept) {
        while (reader.next(record, kept))
            if (!AllEmpty(record)) return true;
        return false;
    };
    if (!nextRecord(kReferenceFieldsLimit))
        return fail(reader.error().empty() ? Tr("Il file non contiene righe.") : reader.error());
    const Record headerRecord = record;

    // The header, when the first row names at least one column we know.
    std::vector<std::pair<Column, int>> columns;
    bool header = false;
    std::size_t usedColumns = 0;  // fields past the last column we know are not kept
    for (const auto& field : headerRecord.fields) {
        columns.push_back(TitleColumn(field));
        if (columns.back().first != Column::Ignored) {
            header = true;
            usedColumns = columns.size();
        }
    }

    if (!header) {
        if (!PlainListRecord(headerRecord))
            return fail(Fmt(Tr("Riga %1: nessuna colonna utilizzabile: serve un'intestazione con "
                               "il nome o il SID "
                               "del canale, oppure righe nella forma NUMERO;NOME;NID-TID-SID."),
                            headerRecord.line));
        file.plainList = file.hasNumber = file.hasName = file.hasSid = file.hasTid = file.hasNid =
            true;
        bool more = true;
        for (; more; more = nextRecord(3)) {
            ReferenceFileRow row;
            row.line = record.line;
            if (!PlainListRecord(record))
                return fail(Fmt(Tr("Riga %1: la riga non è nella forma NUMERO;NOME;NID-TID-SID."),
                                record.line));
            row.number = *WholeNumber(Trim(record.fields[0]));
            row.name = UnguardSpreadsheetField(record.fields[1]);
            ReadTriple(Trim(record.fields[2]), row.nid, row.tid, row.sid);
            file.rows.push_back(std::move(row));
        }
        if (!reader.error().empty()) return fail(reader.error());
    } else {
        for (const auto& [column, list] : columns) {
            switch (column) {
                case Column::Number:
                    file.hasNumber = true;
                    break;
                case Column::Name:
                    file.hasName = true;
                    break;
                case Column::Sid:
                    file.hasSid = true;
                    break;
                case Column::Tid:
                    file.hasTid = true;
                    break;
                case Column::Nid:
                    file.hasNid = true;
                    break;
                case Column::Frequency:
                    file.hasFrequency = true;
                    break;
                case Column::Polarisation:
                    file.hasPolarisation = true;
                    break;
                case Column::Satellite:
                    file.hasSatellite = true;
                    break;
                case Column::Favourites:
                case Column::List:
                    file.hasFavourites = true;
                    break;
                case Column::Ignored:
                    break;
            }
        }
        if (!file.hasName && !file.hasSid)
            return fail(Fmt(Tr("Riga %1: nessuna colonna utilizzabile: l'intestazione non ha né il "
                               "nome né il SID "
                               "del canale."),
                            headerRecord.line));
        const bool byLists = std::any_of(columns.begin(), columns.end(),
                                         [](const auto& c) { return c.first == Column::List; });
        std::string error;
        while (nextRecord(usedColumns)) {
            ReferenceFileRow row;
            row.line = record.line;
            int lists = 0;
            for (std::size_t c = 0; c < usedColumns && c < record.fields.size(); ++c) {
                const std::string raw = UnguardSpreadsheetField(record.fields[c]);
                const std::string cell = Trim(raw);
                const std::string& title = headerRecord.fields[c];
                auto number = [&](std::int64_t& into) -> bool {
                    if (cell.empty()) return true;
                    const auto value = WholeNumber(cell);
                    if (!value) {
                        error =
                            Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è un numero."),
                                record.line, Trim(title), cell);
                        return false;
                    }
                    into = *value;
                    return true;
                };
                switch (columns[c].first) {
                    case Column::Number:
                        if (!number(row.number)) return fail(error);
                        break;
                    case Column::Name:
                        row.name = raw;
                        break;
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
                            return fail(Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è "
                                               "una frequenza in MHz."),
                                            record.line, Trim(title), cell));
                        row.hertz = *hertz;
                        break;
                    }
                    case Column::Polarisation: {
                        const std::string p = Lower(cell);
                        if (p.empty()) break;
                        if (p == "h" || p == "horizontal" || p == "orizzontale")
                            row.polarisation = "H";
                        else if (p == "v" || p == "vertical" || p == "verticale")
                            row.polarisation = "V";
                        else
                            return fail(
                                Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è H o V."),
                                    record.line, Trim(title), cell));
                        break;
                    }
                    case Column::Satellite:
                        row.satellite = cell;
                        break;
                    case Column::Favourites: {
                        if (byLists) break;  // list1 .. list8 say it one list at a time
                        std::int64_t bits = -1;
                        if (!number(bits)) return fail(error);
                        if (bits > 255)
                            return fail(Fmt(Tr("Riga %1: nella colonna \"%2\" c'è '%3', che non è "
                                               "un numero da 0 a 255."),
                                            record.line, Trim(title), cell));
                        row.favourites = static_cast<int>(bits);
                        break;
                    }
                    case Column::List:
                        // Set unless empty or 0.
                        if (!cell.empty() && cell != "0") lists |= 1 << columns[c].second;
                        break;
                    case Column::Ignored:
                        break;
                }
            }
            if (byLists) row.favourites = lists;
            file.rows.push_back(std::move(row));
        }
        if (!reader.error().empty()) return fail(reader.error());
    }

    if (file.hasNumber) {
        // A row without a number stays right after the row above it.
        std::vector<std::int64_t> keys(file.rows.size());
        std::int64_t previous = 0;
        for (std::size_t i = 0; i < file.rows.size(); ++i)
            keys[i] = previous = file.rows[i].number >= 0 ? file.rows[i].number : previous;
        std::vector<std::size_t> order(file.rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        std::vector<ReferenceFileRow> sorted;
        sorted.reserve(order.size());
        for (const std::size_t i : order) sorted.push_back(std::move(file.rows[i]));
        file.rows = std::move(sorted);
    }
    result.file = std::move(file);
    return result;
}

}  // namespace rivo
