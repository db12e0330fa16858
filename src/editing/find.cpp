// Finding the next channel whose name holds a text, by collation key, either way round.
#include "editing/find.h"

#include "editing/collation.h"

namespace rivo {

int FindChannel(const ListPage& page, const std::string& text, int from, bool forward) {
    const int n = page.channelCount();
    const std::string key = CollationKey(text);
    if (key.empty() || n <= 0) return 0;
    if (from < 1 || from > n) from = forward ? n : 1;  // so the search starts at row 1 / row n
    for (int step = 1; step <= n; ++step) {
        int row = forward ? from + step : from - step;
        row = ((row - 1) % n + n) % n + 1;
        if (CollationKey(page.channelGrid.cell(row, ch::Name)).find(key) != std::string::npos) return row;
    }
    return 0;
}

}  // namespace rivo
