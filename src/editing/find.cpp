#include "editing/find.h"

#include <algorithm>

namespace rivo {

unsigned char FoldCase1252(unsigned char b) {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    // Accented capitals À..Þ, except the multiplication sign.
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
    switch (b) {
        case 0x8A: return 0x9A;  // Š
        case 0x8C: return 0x9C;  // Œ
        case 0x8E: return 0x9E;  // Ž
        case 0x9F: return 0xFF;  // Ÿ
        default: return b;
    }
}

namespace {
bool ContainsFolded(const std::string& haystack, const std::string& foldedNeedle) {
    auto equal = [](char a, char b) {
        return FoldCase1252(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    };
    return std::search(haystack.begin(), haystack.end(), foldedNeedle.begin(), foldedNeedle.end(), equal) !=
           haystack.end();
}
}  // namespace

int FindChannel(const ListPage& page, const std::string& text, int from, bool forward) {
    const int n = page.channelCount();
    if (text.empty() || n <= 0) return 0;
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(FoldCase1252(static_cast<unsigned char>(c)));
    if (from < 1 || from > n) from = forward ? n : 1;  // so the search starts at row 1 / row n
    for (int step = 1; step <= n; ++step) {
        int row = forward ? from + step : from - step;
        row = ((row - 1) % n + n) % n + 1;
        if (ContainsFolded(page.channelGrid.cell(row, ch::Name), folded)) return row;
    }
    return 0;
}

}  // namespace rivo
