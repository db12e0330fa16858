// Reading the symbol-rate sets of an Sr.Ini file and turning the set chosen at opening into
// the sixteen rates of the codes 00..0F.
#include "channels/open_params.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "image/kvx_image.h"

namespace rivo {

namespace {

std::string Trim(const std::string& s) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    auto b = std::find_if(s.begin(), s.end(), notSpace);
    auto e = std::find_if(s.rbegin(), s.rend(), notSpace).base();
    return b < e ? std::string(b, e) : std::string();
}

std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// An ini value read as an integer the way the ini reader of the receiver tools does:
// optional sign and decimal digits, or hexadecimal with "$" or "0x"; anything else
// (including a value outside 32 bits) is not an integer.
std::optional<std::int32_t> IniInteger(const std::string& raw) {
    std::string text = Trim(raw);
    if (text.empty()) return std::nullopt;
    bool negative = false;
    std::size_t at = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        at = 1;
    }
    int base = 10;
    if (text.compare(at, 1, "$") == 0) {
        base = 16;
        at += 1;
    } else if (text.size() > at + 1 && text[at] == '0' &&
               (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) return std::nullopt;
    std::uint64_t value = 0;
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value, base);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (base == 16) {
        if (value > 0xFFFFFFFFull) return std::nullopt;
        auto v =
            static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
        return static_cast<std::int32_t>(negative ? -v : v);
    }
    const std::int64_t v =
        negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    if (value > 0x80000000ull || v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::vector<SymbolRateSet> ParseSymbolRateSets(const std::string& iniText) {
    // Section and key names compare without regard to case, as ini files do; a section
    // that appears twice is one set (first appearance gives its place and name), and a
    // key that appears twice in a set keeps its first value.
    std::vector<std::string> names;
    std::vector<std::map<std::string, std::string>> keys;
    std::map<std::string, std::size_t> indexOf;
    std::optional<std::size_t> current;

    std::istringstream in(iniText);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        first = false;
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            const auto close = t.find(']');
            if (close == std::string::npos) continue;
            const std::string name = Trim(t.substr(1, close - 1));
            const std::string key = Upper(name);
            auto it = indexOf.find(key);
            if (it == indexOf.end()) {
                indexOf[key] = names.size();
                current = names.size();
                names.push_back(name);
                keys.emplace_back();
            } else {
                current = it->second;
            }
            continue;
        }
        if (!current) continue;
        const auto eq = t.find('=');
        if (eq == std::string::npos) continue;
        keys[*current].emplace(Upper(Trim(t.substr(0, eq))), t.substr(eq + 1));
    }

    std::vector<SymbolRateSet> sets;
    sets.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SymbolRateSet set;
        set.name = names[i];
        for (int code = 0; code < 16; ++code) {
            static const char* hex = "0123456789ABCDEF";
            const std::string key = std::string("SR") + hex[code >> 4] + hex[code & 15];
            auto it = keys[i].find(key);
            std::optional<std::int32_t> value;
            if (it != keys[i].end()) value = IniInteger(it->second);
            set.rates[static_cast<std::size_t>(code)] = value.value_or(-1);
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<SymbolRateSet> ReadSymbolRateSets(const std::string& iniPath, std::string* error,
                                              bool* missing) {
    std::string reason;
    const std::optional<Bytes> bytes = ReadWholeFile(iniPath, reason, kMaxSymbolRateFileSize);
    if (missing) *missing = false;
    if (!bytes) {
        if (error) *error = reason;
        if (missing) {
            std::error_code ec;
            *missing = std::filesystem::status(iniPath, ec).type() ==
                       std::filesystem::file_type::not_found;
        }
        return {};
    }
    if (error) error->clear();
    return ParseSymbolRateSets(std::string(bytes->begin(), bytes->end()));
}

std::array<std::int32_t, 16> RatesForOpen(const SymbolRateSet& set) {
    std::array<std::int32_t, 16> rates{};
    for (std::size_t i = 0; i < rates.size(); ++i) rates[i] = set.rates[i] == -1 ? 0 : set.rates[i];
    return rates;
}

}  // namespace rivo
