// The collation key of a name: Windows-1252 bytes mapped to a text without accents, case or
// surrounding spaces, for sorting, finding and filtering alike.
#include "editing/collation.h"

#include <array>

#include "channels/cp1252.h"

namespace rivo {

namespace {

// What each Windows-1252 byte contributes to a key. Windows-1252 holds no combining
// marks of its own, so decomposing a letter and dropping its marks leaves its base
// letter; case folding then lowers it. Letters without a decomposition (Æ, Ø, Þ, Ð, Œ)
// only fold; ß folds to "ss" and µ to the Greek mu, as full case folding does. Every
// other byte stands for itself.
std::array<std::string, 256> MakeTable() {
    std::array<std::string, 256> table;
    for (int b = 0; b < 256; ++b)
        table[static_cast<size_t>(b)] = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
    for (int b = 'A'; b <= 'Z'; ++b)
        table[static_cast<size_t>(b)] = std::string(1, static_cast<char>(b + 32));
    struct Base {
        unsigned char first, last;
        const char* letter;
    };
    // Runs of accented letters that share a base letter, capitals and small letters.
    static constexpr Base bases[] = {
        {0xC0, 0xC5, "a"}, {0xC7, 0xC7, "c"}, {0xC8, 0xCB, "e"}, {0xCC, 0xCF, "i"},
        {0xD1, 0xD1, "n"}, {0xD2, 0xD6, "o"}, {0xD9, 0xDC, "u"}, {0xDD, 0xDD, "y"},
        {0xE0, 0xE5, "a"}, {0xE7, 0xE7, "c"}, {0xE8, 0xEB, "e"}, {0xEC, 0xEF, "i"},
        {0xF1, 0xF1, "n"}, {0xF2, 0xF6, "o"}, {0xF9, 0xFC, "u"}, {0xFD, 0xFD, "y"},
        {0xFF, 0xFF, "y"}, {0x8A, 0x8A, "s"}, {0x9A, 0x9A, "s"}, {0x8E, 0x8E, "z"},
        {0x9E, 0x9E, "z"}, {0x9F, 0x9F, "y"},
    };
    for (const Base& base : bases)
        for (int b = base.first; b <= base.last; ++b) table[static_cast<size_t>(b)] = base.letter;
    // Capitals without a decomposition fold to their small letters.
    for (const auto& [capital, small] :
         {std::pair{0xC6, 0xE6}, {0xD0, 0xF0}, {0xD8, 0xF8}, {0xDE, 0xFE}, {0x8C, 0x9C}})
        table[static_cast<size_t>(capital)] = table[static_cast<size_t>(small)];
    table[0xDF] = "ss";
    table[0xB5] = "\xCE\xBC";  // µ folds to U+03BC
    return table;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// <0, 0, >0 as a sorts before, with or after b, digit runs by their value.
int NaturalCompare(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // The runs without their leading zeros: the longer is the larger number, and
            // runs of one length compare digit by digit.
            while (i < a.size() && a[i] == '0' && i + 1 < a.size() && IsDigit(a[i + 1])) ++i;
            while (j < b.size() && b[j] == '0' && j + 1 < b.size() && IsDigit(b[j + 1])) ++j;
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
            for (; i < endA; ++i, ++j)
                if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
            continue;
        }
        // A digit against anything else compares as before: every digit stands between
        // the same neighbours.
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[j]);
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

bool NaturalKeyLess(const std::string& a, const std::string& b) {
    const int order = NaturalCompare(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::string CollationKey(const std::string& name) {
    static const std::array<std::string, 256> table = MakeTable();
    std::size_t begin = name.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    const std::size_t end = name.find_last_not_of(' ') + 1;
    std::string key;
    key.reserve(end - begin + 4);
    for (std::size_t i = begin; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // Most names are plain ASCII: lower-case the letters in place.
        if (byte < 0x80)
            key.push_back(static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte));
        else
            key += table[byte];
    }
    return key;
}

}  // namespace rivo
