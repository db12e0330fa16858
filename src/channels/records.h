// The records of the list modules and their text forms in the page's grids.
//
// Multi-byte numbers in these records are big-endian. Reading turns bytes into cell
// texts; writing turns cell texts back into bytes and throws ConversionError for a
// text that is not a number where one is needed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "channels/list_page.h"

namespace rivo {

// A cell text that cannot be read as a number. what() is the exact user message:
// "'%s' is not a valid integer value" (with "0x" before the text for hexadecimal fields).
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text, bool hexadecimal = false);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// The same error raised while encoding a row: also names the grid column that failed
// (and, for a favourites list, the slot row), so a save can say where the bad cell is.
// what() is the conversion error's exact message.
class CellConversionError : public ConversionError {
public:
    CellConversionError(const ConversionError& error, int column, int row = 0);
    int column() const { return column_; }
    int row() const { return row_; }

private:
    int column_;
    int row_;
};

inline constexpr int kChannelRecordSize = 30;
inline constexpr int kTransponderRecordSize = 12;
inline constexpr int kFavouriteListSize = 256;
inline constexpr int kConfigBlockSize = 66;
inline constexpr int kChannelsPerSplitModule = 999;

// What a transponder row needs beyond its own bytes.
struct TransponderContext {
    std::int32_t lnbLow = 9750;
    std::int32_t lnbHigh = 10600;
    std::array<std::int32_t, 16> symbolRates{};
    std::string satelliteA;
    std::string satelliteB;
};

// Channel record (30 bytes) <-> 11 cell texts (column 0 "Num." is the given number on
// reading and ignored on writing; column 10 "Preferenza" is "0" on reading, not written).
std::vector<std::string> ReadChannelRecord(const std::uint8_t* record, int number);
std::vector<std::string> ReadChannelRecord(std::span<const std::uint8_t, kChannelRecordSize> record,
                                           int number);
// The same into a row's cells (resized to 11), reusing their strings.
void ReadChannelRecordInto(std::span<const std::uint8_t, kChannelRecordSize> record, int number,
                           std::vector<std::string>& cells);
// Throws CellConversionError naming the failing column.
std::array<std::uint8_t, kChannelRecordSize> WriteChannelRecord(const std::vector<std::string>& cells);

// Transponder record (12 bytes) <-> 10 cell texts.
std::vector<std::string> ReadTransponderRecord(const std::uint8_t* record, int number,
                                               const TransponderContext& context);
std::vector<std::string> ReadTransponderRecord(std::span<const std::uint8_t, kTransponderRecordSize> record,
                                               int number, const TransponderContext& context);
// Throws CellConversionError naming the failing column.
std::array<std::uint8_t, kTransponderRecordSize> WriteTransponderRecord(
    const std::vector<std::string>& cells, const TransponderContext& context);

// Received frequency text for offset (Hz) and oscillator (MHz): "11747", "11747,5";
// an offset of 0 gives "0".
std::string FrequencyText(std::int32_t offsetHz, std::int32_t oscillatorMHz);
// Offset (Hz, low 32 bits) for a frequency text and oscillator. A text with more than
// six decimals, or that is not digits, throws ConversionError.
std::int32_t FrequencyOffset(const std::string& text, std::int32_t oscillatorMHz);
// The frequency text read as hertz (64-bit); throws ConversionError when not a number.
std::int64_t FrequencyHertz(const std::string& text);
// The lowest and highest received frequency (hertz) a record holds with this oscillator:
// the offset is a signed 32-bit number of hertz, about 2147 MHz either side. A frequency
// outside wraps round when written.
std::pair<std::int64_t, std::int64_t> StorableFrequencyHertz(std::int32_t oscillatorMHz);

// FEC byte -> text ("1/2" .. "7/8" for bits 0-2 of 0-4, else two hex digits).
std::string FecText(std::uint8_t fec);
// FEC text -> byte ("1/2".."7/8" -> 0..4, else hexadecimal); throws ConversionError.
std::uint8_t FecCode(const std::string& text);

// Status byte <-> two upper-case hex digits.
std::string StatusText(std::uint8_t status);
std::uint8_t StatusValue(const std::string& text);  // throws ConversionError (with 0x)

// Decimal integer in a cell; throws ConversionError when the text is not one.
std::int64_t CellInteger(const std::string& text);
// Decimal integer in a cell, or fallback when the text is not one.
std::int64_t CellIntegerOr(const std::string& text, std::int64_t fallback);
// Hexadecimal integer in a cell; throws ConversionError (with 0x) when not one.
std::int64_t CellHex(const std::string& text);

// The channel row colour rule: default, radio, no audio/video, then inactive.
std::uint32_t ChannelColour(const std::string& vpid, const std::string& apid, const std::string& status);
// The same rule on the numbers (status as its byte value).
std::uint32_t ChannelColour(std::int64_t vpid, std::int64_t apid, std::int64_t status);

// Favourites list (256 bytes, 128 big-endian channel numbers). Missing bytes of a short
// entry read as zero.
std::array<std::uint16_t, fav::Slots> ReadFavouriteList(const std::vector<std::uint8_t>& bytes);
// Throws CellConversionError naming the slot row and the "Canale" column.
std::vector<std::uint8_t> WriteFavouriteList(const Grid& favouriteGrid);

// Configuration block: version text ("Versione: 1.4") and eight list names (bytes).
std::string ReadVersionText(const std::vector<std::uint8_t>& bytes);
std::array<std::string, fav::Lists> ReadListNames(const std::vector<std::uint8_t>& bytes);
// The block with bytes 2..65 cleared and the names written; never longer than given.
std::vector<std::uint8_t> WriteConfigBlock(std::vector<std::uint8_t> bytes, const Grid& configGrid);

}  // namespace rivo
