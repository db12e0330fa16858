// Comparing two full lists (9,990 channels on 255 transponders, all eight favourites
// lists full): the list against itself, against a shuffle of itself, and against a
// simulated rescan (blocks moved, names changed, SIDs changed, channels dropped).
// Beside the matching of bench_reorder, which the comparison runs first.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "bench_pages.h"
#include "channel_fixtures.h"
#include "editing/compare.h"
#include "editing/reorder.h"

namespace {

using rivo::ListPage;

using bench_pages::LargestPage;
using bench_pages::Shuffled;

// Blocks of up to 20 channels moved, one channel in 50 renamed, one in 100 with a new
// SID, one in 100 dropped (its row emptied).
ListPage Rescan(const ListPage& base) {
    ListPage page = base;
    std::mt19937 random(27);
    const int n = page.channelCount();
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i + 1;
    for (int b = 0; b < 100; ++b) {
        const int size = 1 + static_cast<int>(random() % 20);
        const int from = static_cast<int>(random() % static_cast<unsigned>(n - size));
        std::vector<int> block(order.begin() + from, order.begin() + from + size);
        order.erase(order.begin() + from, order.begin() + from + size);
        const int to = static_cast<int>(random() % static_cast<unsigned>(order.size()));
        order.insert(order.begin() + to, block.begin(), block.end());
    }
    rivo::ReorderChannels(page, 1, order);
    for (int r = 1; r <= n; ++r) {
        const unsigned dice = random() % 100;
        if (dice < 2) page.channelGrid.setCell(r, rivo::ch::Name, "Nuovo " + std::to_string(r));
        else if (dice == 2) page.channelGrid.setCell(r, rivo::ch::Sid, std::to_string(60000 + r));
        else if (dice == 3) {
            page.channelGrid.setCell(r, rivo::ch::Name, "");
            page.channelGrid.setCell(r, rivo::ch::Transponder, "255");
        }
    }
    return page;
}

void BM_CompareFullLists(benchmark::State& state) {
    const ListPage& before = LargestPage();
    static const ListPage shuffled = Shuffled(LargestPage(), 3);
    static const ListPage rescan = Rescan(LargestPage());
    const ListPage& after = state.range(0) == 0 ? before : state.range(0) == 1 ? shuffled : rescan;
    for (auto _ : state) benchmark::DoNotOptimize(rivo::CompareLists(before, after));
}
BENCHMARK(BM_CompareFullLists)->ArgName("new(0 same,1 shuffled,2 rescan)")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_MatchReferenceAlone(benchmark::State& state) {
    static const ListPage rescan = Rescan(LargestPage());
    for (auto _ : state) benchmark::DoNotOptimize(rivo::MatchReference(rescan, LargestPage()));
}
BENCHMARK(BM_MatchReferenceAlone)->Unit(benchmark::kMillisecond);

}  // namespace
