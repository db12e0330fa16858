// The page round trip shared by the page fuzz targets: a loaded flash image is opened
// as a channel list the way the editor does (fixed open parameters), every table is
// exported as CSV, the page is saved into memory and what was saved is opened again:
// it must be recognised as a flash image again and show the same page. A save that is refused must leave the page and the
// image's entries as they were. Tables stay within the page's limits, so the work of a
// run is bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "channels/csv_export.h"
#include "channels/page_io.h"
#include "channels/records.h"

namespace fuzzing {

// Names the failed condition, so that a crash report says what went wrong.
#define check(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            std::fprintf(stderr, "check failed: %s\n", #condition);        \
            std::abort();                                                  \
        }                                                                  \
    } while (false)

const rivo::OpenParams& FuzzOpenParams() {
    static const rivo::OpenParams params = [] {
        rivo::OpenParams p;
        p.fileName = "fuzz.Bin";
        p.lnbLow = 9750;
        p.lnbHigh = 10600;
        // Codes 0..15 with a repeated rate and an empty cell, as a hand-edited Sr.Ini has.
        p.symbolRates = {27500, 22000, 30000, 28000, 6111, 27500, 0, 29900,
                         5632,  4340,  12130, 13330, 2000, 45000, 1, 0};
        return p;
    }();
    return params;
}

struct Tables {
    rivo::Grid channels, transponders, config;
    std::array<rivo::Grid, rivo::fav::Lists> favourites;
    std::string version;
    rivo::ListLayout layout;
};

Tables TablesOf(const rivo::ListPage& page) {
    return {page.channelGrid, page.transponderGrid, page.configGrid, page.favouriteGrids, page.versionText,
            page.layout};
}

// Compares without copying the page's grids: the copies would cost as much as the
// rest of a run on a large list.
bool SameTables(const rivo::ListPage& page, const Tables& t) {
    return page.channelGrid == t.channels && page.transponderGrid == t.transponders && page.configGrid == t.config &&
           page.favouriteGrids == t.favourites && page.versionText == t.version && page.layout == t.layout;
}

// The first cell where two grids differ, for the crash report.
void ReportDifference(const char* table, const rivo::Grid& a, const rivo::Grid& b) {
    if (a.rowCount() != b.rowCount()) {
        std::fprintf(stderr, "%s: %d rows, then %d\n", table, a.rowCount(), b.rowCount());
        return;
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        if (a.row(r) == b.row(r)) continue;
        for (int c = 0; c < a.columnCount(); ++c)
            if (a.cell(r, c) != b.cell(r, c))
                std::fprintf(stderr, "%s, row %d, column %d: \"%s\", then \"%s\"\n", table, r, c, a.cell(r, c).c_str(),
                             b.cell(r, c).c_str());
        std::fprintf(stderr, "%s, row %d: colour %06X, then %06X\n", table, r, a.colour(r), b.colour(r));
        return;
    }
}

void ReportDifference(const Tables& a, const Tables& b) {
    ReportDifference("channels", a.channels, b.channels);
    ReportDifference("transponders", a.transponders, b.transponders);
    ReportDifference("config", a.config, b.config);
    for (std::size_t k = 0; k < a.favourites.size(); ++k) ReportDifference("favourites", a.favourites[k], b.favourites[k]);
    if (a.version != b.version) std::fprintf(stderr, "version: \"%s\", then \"%s\"\n", a.version.c_str(), b.version.c_str());
}

std::vector<rivo::Bytes> EntriesOf(const rivo::KvxImage& image) {
    std::vector<rivo::Bytes> entries;
    for (int i = 0; i < image.moduleCount(); ++i) {
        const rivo::KvxModule* m = image.module(i);
        for (int k = 0; k < m->entryCount(); ++k) entries.push_back(m->entry(k)->data());
    }
    return entries;
}


// Runs the round trip on image, a flash image already loaded.
inline void PageRoundTrip(const std::shared_ptr<rivo::KvxImage>& image) {
    rivo::NullProgress quiet;
    std::unique_ptr<rivo::ListPage> page;
    try {
        page = rivo::BuildPage(image, FuzzOpenParams(), quiet);
    } catch (const rivo::PageLimitError&) {
        return;  // a table beyond what a module holds: refused, as the editor does
    }
    check(page && !page->modified);
    // Bounded work: the rows come from at most kMaxTablesContent bytes of tables.
    check(static_cast<std::size_t>(page->transponderCount()) * rivo::kTransponderRecordSize +
              static_cast<std::size_t>(page->channelCount()) * rivo::kChannelRecordSize <=
          rivo::kMaxTablesContent);
    for (auto table : {rivo::CsvTable::Channels, rivo::CsvTable::Transponders, rivo::CsvTable::Favourites}) {
        const std::string csv = rivo::ExportCsv(*page, table);
        check(csv.size() >= 2 && csv.compare(csv.size() - 2, 2, "\r\n") == 0);
    }

    const Tables shown = TablesOf(*page);
    const std::vector<rivo::Bytes> entries = EntriesOf(*image);
    rivo::Bytes saved;
    const rivo::PageSaveResult result = rivo::SavePageToBytes(*page, saved, quiet);
    if (!SameTables(*page, shown)) ReportDifference(shown, TablesOf(*page));
    check(SameTables(*page, shown));
    if (!result.ok) {
        check(saved.empty() && !result.message.empty());
        check(EntriesOf(*image) == entries);
        return;
    }
    check(saved.size() == static_cast<std::size_t>(rivo::kFlashImageSize));

    // Opened as the open command opens a file, type check included: a saved image that
    // would not be recognised as a flash image is a save that lost the user's list.
    auto again = std::make_shared<rivo::KvxImage>();
    const std::string warning = result.warning;
    const rivo::LoadResult reopenedAs = again->loadBytes(std::move(saved), "fuzz.Bin");
    // An image the type check took only by chance (a module whose first entry happened
    // to be named as it) may have no layout that is taken again: saved into memory it
    // says so, and saved to a file it is refused by the read-back check.
    if (!reopenedAs.ok()) {
        check(warning.find("non verrà riconosciuto come immagine flash") != std::string::npos);
        return;
    }
    check(warning.empty());
    check(again->imageType() == 1);
    check(again->moduleCount() == image->moduleCount());
    auto reopened = rivo::BuildPage(again, FuzzOpenParams(), quiet);
    if (!SameTables(*reopened, shown)) ReportDifference(shown, TablesOf(*reopened));
    check(SameTables(*reopened, shown));
    return;
}

}  // namespace fuzzing
