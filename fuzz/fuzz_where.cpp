// Reads arbitrary text as the tool's --where expression and, when it parses, filters a
// small fixed page with it. Either a filter or a message, never both; every value in
// range; a condition said twice shows the same rows; the rows that pass are rows of
// the page in ascending order, all of them for a filter without conditions.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editing/channel_filter.h"
#include "page_maker.h"

namespace {

// A property that does not hold stops the run, naming its line.
void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}

// Names with accents (Windows-1252 bytes), digits and both satellites, a few lists.
const rivo::ListPage& Page() {
    static const rivo::ListPage page = [] {
        rivo::ListPage p = rivo::pages::MakePage(8, 3);
        rivo::pages::Transponder a;
        rivo::pages::SetTransponder(p, 1, a);
        rivo::pages::Transponder b;
        b.frequency = "12188";
        b.satellite = "Astra";
        rivo::pages::SetTransponder(p, 2, b);
        const char* names[] = {"Rai 1", "Citt\xE0 TV", "12188",  "CAF\xC9", "radio",
                               "",      "Rai 1",       "\x80uro"};
        for (int r = 1; r <= 8; ++r)
            rivo::pages::SetChannel(p, r, names[r - 1], r == 6 ? 255 : 1 + r % 3,
                                    r % 3 ? "512" : "65535", r % 4 ? "650" : "65535",
                                    r % 5 ? "04" : "00");
        rivo::pages::AddFavourite(p, 1, 2);
        rivo::pages::AddFavourite(p, 8, 5);
        return p;
    }();
    return page;
}

#define CHECK(condition) Check((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string expression(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto filter = rivo::ParseFilterExpression(expression, error);
    if (!filter) {
        CHECK(!error.empty());
        return 0;
    }
    CHECK(error.empty());
    CHECK(filter->satellite >= rivo::kAnySatellite && filter->satellite <= rivo::kSatelliteB);
    CHECK(filter->list >= rivo::kAnyList && filter->list <= 8);
    CHECK(filter->transponder >= 0 && filter->transponder <= 9999);
    CHECK(static_cast<int>(filter->state) >= 0 &&
          static_cast<int>(filter->state) < rivo::kChannelStateCount);

    const rivo::ListPage& page = Page();
    const auto rows = rivo::FilterRows(page, *filter);

    // Conditions joined by "," must all hold, so saying everything twice shows the
    // same rows (the repeats are kept as conditions of their own, not merged away).
    std::string againError;
    const auto again = rivo::ParseFilterExpression(expression + "," + expression, againError);
    CHECK(again.has_value() && rivo::FilterRows(page, *again) == rows);
    const int count = page.channelCount();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CHECK(rows[i] >= 1 && rows[i] <= count);
        if (i > 0) CHECK(rows[i] > rows[i - 1]);
    }
    if (filter->empty()) CHECK(rows.size() == static_cast<std::size_t>(count));
    return 0;
}
