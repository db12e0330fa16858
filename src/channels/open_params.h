// The open parameters: what the image does not record but is needed to show it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rivo {

struct OpenParams {
    std::string fileName;
    std::int32_t lnbLow = 9750;
    std::int32_t lnbHigh = 10600;
    std::array<std::int32_t, 16> symbolRates{};  // 0 where the table cell was empty
    std::string satelliteA = "HotBird";
    std::string satelliteB = "Astra";
};

// One named set of symbol rates from "Sr.Ini": value i is the rate for code i, or -1
// when the key is missing or not an integer (shown as an empty cell).
struct SymbolRateSet {
    std::string name;
    std::array<std::int32_t, 16> rates{};
};

// The largest "Sr.Ini" read. A set of sixteen rates takes a few hundred bytes, so even
// thousands of sets stay far below this; anything larger is not a symbol-rate file.
inline constexpr std::uint64_t kMaxSymbolRateFileSize = std::uint64_t{1} << 20;

// The sets of an ini file in file order. A missing or unreadable file (a folder, a
// device or FIFO, a file over kMaxSymbolRateFileSize) gives no sets; error, when
// given, then receives the reason (and is emptied when the file was read). missing,
// when given, tells the two apart: true only when nothing exists under that name (a
// dangling symbolic link included), which callers take in silence, whereas a file that
// exists but cannot be read is something the user has to hear about.
std::vector<SymbolRateSet> ReadSymbolRateSets(const std::string& iniPath, std::string* error = nullptr,
                                              bool* missing = nullptr);
// The same from ini text already in memory.
std::vector<SymbolRateSet> ParseSymbolRateSets(const std::string& iniText);

// The rates an open uses from a set: -1 (empty cell) becomes 0.
std::array<std::int32_t, 16> RatesForOpen(const SymbolRateSet& set);

// The name of the set whose choice keeps the table as it is.
inline constexpr const char* kCustomSetName = "Personalizzato";

}  // namespace rivo
