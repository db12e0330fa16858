// Runs the rename preview with a find text and a replacement from arbitrary bytes
// (literal or regular expression, either case rule) on a small fixed page, and applies
// it. No crash, no hang; a refused find text has a message and no entries; each entry
// is a row of the page, in ascending order; an entry without a problem holds at most
// 16 storable bytes that show as its new name, and applying writes exactly those.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "channels/cp1252.h"
#include "editing/rename.h"
#include "page_maker.h"

namespace {

// A property that does not hold stops the run, naming its line.
void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}

const rivo::ListPage& Page() {
    static const rivo::ListPage page = [] {
        rivo::ListPage p = rivo::pages::MakePage(6, 1);
        const char* names[] = {"Rai 1", "Citt\xE0 TV", "aaaaaaaaaaaaaaaa", "CAF\xC9 \x80",
                               "",      "Rai 1 HD"};
        for (int r = 1; r <= 6; ++r) rivo::pages::SetChannel(p, r, names[r - 1], 1);
        rivo::pages::AddFavourite(p, 1, 1);
        return p;
    }();
    return page;
}

#define CHECK(condition) Check((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    rivo::RenameOptions options;
    options.regex = in.ConsumeBool();
    options.matchCase = in.ConsumeBool();
    options.find = in.ConsumeRandomLengthString(64);
    options.replace = in.ConsumeRandomLengthString(64);
    const rivo::ListPage& page = Page();
    const std::vector<int> rows{1, 2, 3, 4, 5, 6};
    const rivo::RenamePreview preview = rivo::PreviewRename(page, rows, options);
    if (!preview.error.empty()) {
        CHECK(preview.entries.empty());
        return 0;
    }
    int previous = 0;
    for (const rivo::RenameEntry& entry : preview.entries) {
        CHECK(entry.row > previous && entry.row <= page.channelCount());
        previous = entry.row;
        if (entry.problem != rivo::RenameProblem::None) continue;
        CHECK(!entry.newBytes.empty() && entry.newBytes.size() <= rivo::kMaxNameLength);
        CHECK(rivo::Cp1252ToUtf8(entry.newBytes) == entry.newName);
    }
    rivo::ListPage renamed = page;
    CHECK(rivo::ApplyRename(renamed, preview) == preview.applicable());
    for (const rivo::RenameEntry& entry : preview.entries)
        if (entry.problem == rivo::RenameProblem::None)
            CHECK(renamed.channelGrid.cell(entry.row, rivo::ch::Name) == entry.newBytes);
    return 0;
}
