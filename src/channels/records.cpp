// The codecs of channel, transponder and favourites records: bytes to cell texts when a
// page is built, cell texts back to bytes when it is saved, and the colour rules of
// the rows.
#include "channels/records.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <span>

#include "image/byte_reader.h"

namespace rivo {

namespace {

std::string Hex2(std::uint8_t value) {
    static const char* digits = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

// A whole number in 32 bits, optional sign, decimal digits only: what the cells hold.
bool ParseDecimal(const std::string& text, std::int64_t& value) {
    if (text.empty()) return false;
    std::size_t at = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (at == text.size()) return false;
    std::uint64_t magnitude = 0;
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, magnitude, 10);
    if (ec != std::errc() || ptr != last || magnitude > 0x80000000ull) return false;
    const std::int64_t v = text[0] == '-' ? -static_cast<std::int64_t>(magnitude)
                                          : static_cast<std::int64_t>(magnitude);
    if (v > INT32_MAX) return false;
    value = v;
    return true;
}

void PutBe16(std::uint8_t* out, std::int64_t value) {
    const auto v = static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFF);
    out[0] = static_cast<std::uint8_t>(v >> 8);
    out[1] = static_cast<std::uint8_t>(v & 0xFF);
}

std::uint8_t Low8(std::int64_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) & 0xFF);
}

const std::string& CellAt(const std::vector<std::string>& cells, int column) {
    static const std::string empty;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                   : empty;
}

constexpr std::array<const char*, 5> kFecTexts{"1/2", "2/3", "3/4", "5/6", "7/8"};

}  // namespace

ConversionError::ConversionError(const std::string& text, bool hexadecimal)
    : std::runtime_error("'" + std::string(hexadecimal ? "0x" : "") + text +
                         "' is not a valid integer value"),
      text_(text) {}

CellConversionError::CellConversionError(const ConversionError& error, int column, int row)
    : ConversionError(error), column_(column), row_(row) {}

std::int64_t CellInteger(const std::string& text) {
    std::int64_t value = 0;
    if (!ParseDecimal(text, value)) throw ConversionError(text);
    return value;
}

std::int64_t CellIntegerOr(const std::string& text, std::int64_t fallback) {
    std::int64_t value = 0;
    return ParseDecimal(text, value) ? value : fallback;
}

std::int64_t CellHex(const std::string& text) {
    // One to eight hexadecimal digits; eight digits wrap into a signed 32-bit value as
    // the integer conversion the cells were made for does.
    std::uint32_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.empty() || text.size() > 8) throw ConversionError(text, true);
    auto [ptr, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc() || ptr != last) throw ConversionError(text, true);
    return static_cast<std::int32_t>(value);
}

std::string StatusText(std::uint8_t status) { return Hex2(status); }

std::uint8_t StatusValue(const std::string& text) { return Low8(CellHex(text)); }

std::string FecText(std::uint8_t fec) {
    const int low = fec & 7;
    return low <= 4 ? kFecTexts[static_cast<std::size_t>(low)] : Hex2(fec);
}

std::uint8_t FecCode(const std::string& text) {
    for (std::size_t i = 0; i < kFecTexts.size(); ++i)
        if (text == kFecTexts[i]) return static_cast<std::uint8_t>(i);
    return Low8(CellHex(text));
}

std::string FrequencyText(std::int32_t offsetHz, std::int32_t oscillatorMHz) {
    if (offsetHz == 0) return "0";
    const std::int64_t hz = static_cast<std::int64_t>(oscillatorMHz) * 1000000 + offsetHz;
    const std::uint64_t magnitude =
        hz < 0 ? static_cast<std::uint64_t>(-hz) : static_cast<std::uint64_t>(hz);
    std::string text = hz < 0 ? "-" : "";
    text += std::to_string(magnitude / 1000000);
    std::uint64_t fraction = magnitude % 1000000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 6 - digits.size(), '0');
        while (digits.back() == '0') digits.pop_back();
        text += "," + digits;
    }
    return text;
}

std::int64_t FrequencyHertz(const std::string& text) {
    std::string joined;
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        joined = text + "000000";
    } else {
        std::string fraction = text.substr(comma + 1);
        // More than six decimals would need a finer unit than the record stores.
        if (fraction.size() > 6) throw ConversionError(text);
        fraction.append(6 - fraction.size(), '0');
        joined = text.substr(0, comma) + fraction;
    }
    if (joined.empty()) throw ConversionError(text);
    const std::size_t at = (joined[0] == '-' || joined[0] == '+') ? 1 : 0;
    if (at == joined.size()) throw ConversionError(text);
    std::uint64_t magnitude = 0;
    const char* first = joined.data() + at;
    const char* last = joined.data() + joined.size();
    auto [ptr, ec] = std::from_chars(first, last, magnitude, 10);
    if (ec != std::errc() || ptr != last || magnitude > static_cast<std::uint64_t>(INT64_MAX))
        throw ConversionError(text);
    return joined[0] == '-' ? -static_cast<std::int64_t>(magnitude)
                            : static_cast<std::int64_t>(magnitude);
}

std::pair<std::int64_t, std::int64_t> StorableFrequencyHertz(std::int32_t oscillatorMHz) {
    const std::int64_t oscillator = std::int64_t{oscillatorMHz} * 1000000;
    return {oscillator + std::numeric_limits<std::int32_t>::min(),
            oscillator + std::numeric_limits<std::int32_t>::max()};
}

std::int32_t FrequencyOffset(const std::string& text, std::int32_t oscillatorMHz) {
    const std::int64_t hz = FrequencyHertz(text);
    if (hz == 0) return 0;
    // The record keeps the low 32 bits of the difference (two's complement).
    const std::uint64_t diff =
        static_cast<std::uint64_t>(hz) -
        static_cast<std::uint64_t>(static_cast<std::int64_t>(oscillatorMHz)) * 1000000u;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(diff & 0xFFFFFFFFu));
}

std::vector<std::string> ReadChannelRecord(const std::uint8_t* record, int number) {
    return ReadChannelRecord(
        std::span<const std::uint8_t, kChannelRecordSize>(record, kChannelRecordSize), number);
}

std::vector<std::string> ReadChannelRecord(std::span<const std::uint8_t, kChannelRecordSize> record,
                                           int number) {
    std::vector<std::string> cells(ch::Count);
    ReadChannelRecordInto(record, number, cells);
    return cells;
}

void ReadChannelRecordInto(std::span<const std::uint8_t, kChannelRecordSize> record, int number,
                           std::vector<std::string>& cells) {
    // Filled in place: a page of ten thousand channels is built from these, and reusing
    // the row's strings keeps that free of allocations. The record is a fixed-size span,
    // so every index below is checked at compile time.
    cells.resize(ch::Count);
    auto decimal = [](std::string& cell, std::uint32_t value) {
        char buffer[10];
        char* end = buffer + sizeof buffer;
        char* at = end;
        do {
            *--at = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        cell.assign(at, static_cast<std::size_t>(end - at));
    };
    auto be16 = [&record](std::size_t at) {
        return static_cast<std::uint32_t>((record[at] << 8) | record[at + 1]);
    };
    decimal(cells[ch::Num], static_cast<std::uint32_t>(number));
    std::size_t length = 0;
    while (length < 16 && record[length] != 0) ++length;
    cells[ch::Name].assign(reinterpret_cast<const char*>(record.data()), length);
    decimal(cells[ch::Transponder], record[17]);
    decimal(cells[ch::Sid], be16(18));
    decimal(cells[ch::VPid], be16(20));
    decimal(cells[ch::APid], be16(22));
    decimal(cells[ch::VEcm], be16(24));
    decimal(cells[ch::AEcm], be16(26));
    decimal(cells[ch::Pcr], be16(28));
    static const char* digits = "0123456789ABCDEF";
    const char hex[2] = {digits[record[16] >> 4], digits[record[16] & 15]};
    cells[ch::Status].assign(hex, 2);
    cells[ch::Favourites].assign(1, '0');
}

std::array<std::uint8_t, kChannelRecordSize> WriteChannelRecord(
    const std::vector<std::string>& cells) {
    std::array<std::uint8_t, kChannelRecordSize> out{};
    int column = ch::Name;
    try {
        const std::string& name = CellAt(cells, ch::Name);
        for (std::size_t i = 0; i < name.size() && i < 16; ++i)
            out[i] = static_cast<std::uint8_t>(name[i]);
        column = ch::Status;
        out[16] = StatusValue(CellAt(cells, ch::Status));
        column = ch::Transponder;
        out[17] = Low8(CellInteger(CellAt(cells, ch::Transponder)));
        constexpr std::array<int, 6> wide{ch::Sid, ch::VPid, ch::APid, ch::VEcm, ch::AEcm, ch::Pcr};
        for (std::size_t i = 0; i < wide.size(); ++i) {
            column = wide[i];
            PutBe16(&out[18 + 2 * i], CellInteger(CellAt(cells, column)));
        }
    } catch (const ConversionError& e) {
        throw CellConversionError(e, column);
    }
    return out;
}

std::vector<std::string> ReadTransponderRecord(const std::uint8_t* record, int number,
                                               const TransponderContext& context) {
    return ReadTransponderRecord(
        std::span<const std::uint8_t, kTransponderRecordSize>(record, kTransponderRecordSize),
        number, context);
}

std::vector<std::string> ReadTransponderRecord(
    std::span<const std::uint8_t, kTransponderRecordSize> record, int number,
    const TransponderContext& context) {
    ByteReader r(record);
    const auto offset =
        static_cast<std::int32_t>((static_cast<std::uint32_t>(r.be16At(0)) << 16) | r.be16At(2));
    const std::uint8_t code = r.u8At(9);
    const std::uint8_t flags = r.u8At(11);
    const bool high = (flags & 0x01) != 0;
    std::vector<std::string> cells(tp::Count);
    cells[tp::Num] = std::to_string(number);
    cells[tp::Frequency] = FrequencyText(offset, high ? context.lnbHigh : context.lnbLow);
    cells[tp::Tid] = std::to_string(r.be16At(4));
    cells[tp::Nid] = std::to_string(r.be16At(6));
    cells[tp::Channels] = std::to_string(r.u8At(8));
    cells[tp::SymbolRate] = code <= 15 ? std::to_string(context.symbolRates[code]) : "0";
    cells[tp::Fec] = FecText(r.u8At(10));
    cells[tp::Polarisation] = (flags & 0x02) ? "H" : "V";
    cells[tp::Tone] = high ? "On" : "Off";
    cells[tp::Satellite] = (flags & 0x38) ? context.satelliteB : context.satelliteA;
    return cells;
}

std::array<std::uint8_t, kTransponderRecordSize> WriteTransponderRecord(
    const std::vector<std::string>& cells, const TransponderContext& context) {
    std::array<std::uint8_t, kTransponderRecordSize> out{};
    int column = tp::Frequency;
    try {
        const bool high = CellAt(cells, tp::Tone) == "On";
        const auto offset = static_cast<std::uint32_t>(
            FrequencyOffset(CellAt(cells, tp::Frequency), high ? context.lnbHigh : context.lnbLow));
        out[0] = static_cast<std::uint8_t>(offset >> 24);
        out[1] = static_cast<std::uint8_t>(offset >> 16);
        out[2] = static_cast<std::uint8_t>(offset >> 8);
        out[3] = static_cast<std::uint8_t>(offset);
        column = tp::Tid;
        PutBe16(&out[4], CellInteger(CellAt(cells, tp::Tid)));
        column = tp::Nid;
        PutBe16(&out[6], CellInteger(CellAt(cells, tp::Nid)));
        column = tp::Channels;
        out[8] = Low8(CellInteger(CellAt(cells, tp::Channels)));
        column = tp::SymbolRate;
        const std::int64_t rate = CellInteger(CellAt(cells, tp::SymbolRate));
        out[9] = 255;  // no code stands for this rate
        for (std::size_t code = 0; code < context.symbolRates.size(); ++code) {
            if (context.symbolRates[code] == rate) {
                out[9] = static_cast<std::uint8_t>(code);
                break;
            }
        }
        column = tp::Fec;
        out[10] = FecCode(CellAt(cells, tp::Fec));
        std::uint8_t flags = 0;
        if (CellAt(cells, tp::Polarisation) == "H") flags |= 0x02;
        if (high) flags |= 0x01;
        if (CellAt(cells, tp::Satellite) == context.satelliteB) flags |= 0x08;
        out[11] = flags;
    } catch (const ConversionError& e) {
        throw CellConversionError(e, column);
    }
    return out;
}

std::uint32_t ChannelColour(std::int64_t vpid, std::int64_t apid, std::int64_t status) {
    std::uint32_t colour = kColourChannel;
    if (vpid == 65535 && apid != 65535) colour = kColourRadio;
    if (vpid == 65535 && apid == 65535) colour = kColourNoAudioVideo;
    if ((status & 0x04) == 0) colour = kColourGrey;
    return colour;
}

std::uint32_t ChannelColour(const std::string& vpid, const std::string& apid,
                            const std::string& status) {
    std::int64_t value = 0;
    try {
        value = CellHex(status);
    } catch (const ConversionError&) {
        value = 0;  // a status that is not a number has no "active" bit
    }
    return ChannelColour(CellIntegerOr(vpid, -1), CellIntegerOr(apid, -1), value);
}

std::array<std::uint16_t, fav::Slots> ReadFavouriteList(const std::vector<std::uint8_t>& bytes) {
    std::array<std::uint16_t, fav::Slots> slots{};
    ByteReader r(bytes);
    for (std::size_t s = 0; s < slots.size(); ++s) {
        // A short entry: the bytes it lacks read as zero.
        const std::uint8_t hi = r.fits(2 * s, std::size_t{1}) ? r.u8At(2 * s) : 0;
        const std::uint8_t lo = r.fits(2 * s + 1, std::size_t{1}) ? r.u8At(2 * s + 1) : 0;
        slots[s] = static_cast<std::uint16_t>((hi << 8) | lo);
    }
    return slots;
}

std::vector<std::uint8_t> WriteFavouriteList(const Grid& favouriteGrid) {
    std::vector<std::uint8_t> out(kFavouriteListSize, 0);
    for (int s = 1; s <= fav::Slots; ++s) {
        const std::string& text = favouriteGrid.cell(s, fav::Channel);
        try {
            PutBe16(&out[2 * static_cast<std::size_t>(s - 1)], CellInteger(text));
        } catch (const ConversionError& e) {
            throw CellConversionError(e, fav::Channel, s);
        }
    }
    return out;
}

std::string ReadVersionText(const std::vector<std::uint8_t>& bytes) {
    ByteReader r(bytes);
    const int major = r.fits(std::size_t{0}, std::size_t{1}) ? r.u8At(0) : 0;
    const int minor = r.fits(std::size_t{1}, std::size_t{1}) ? r.u8At(1) : 0;
    return "Versione: " + std::to_string(major) + "." + std::to_string(minor);
}

std::array<std::string, fav::Lists> ReadListNames(const std::vector<std::uint8_t>& bytes) {
    std::array<std::string, fav::Lists> names;
    ByteReader r(bytes);
    for (std::size_t k = 0; k < names.size(); ++k) {
        // Only the part of the field the entry holds; missing bytes count as zero.
        const auto field = r.bytesUpTo(static_cast<std::int64_t>(2 + 8 * k), 8);
        for (std::uint8_t c : field) {
            if (c == 0) break;
            names[k].push_back(static_cast<char>(c));
        }
    }
    return names;
}

std::vector<std::uint8_t> WriteConfigBlock(std::vector<std::uint8_t> bytes,
                                           const Grid& configGrid) {
    // Only bytes the entry already has are touched: a short block keeps its length.
    const std::size_t end = std::min<std::size_t>(bytes.size(), kConfigBlockSize);
    for (std::size_t i = 2; i < end; ++i) bytes[i] = 0;
    for (int k = 1; k <= fav::Lists && k < configGrid.rowCount(); ++k) {
        const std::string& name = configGrid.cell(k, 1);
        const std::size_t at = 2 + 8 * static_cast<std::size_t>(k - 1);
        for (std::size_t i = 0; i < name.size() && i < 8 && at + i < end; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(name[i]);
    }
    return bytes;
}

}  // namespace rivo
