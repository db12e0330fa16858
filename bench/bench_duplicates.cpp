// Finding copies in a full page (9,990 channels on 255 transponders, all eight favourites
// lists full), at each level: once as built (every channel distinct), once with its
// second half overwritten by copies of the first; and removing those copies.
#include <benchmark/benchmark.h>

#include "bench_pages.h"
#include "channel_fixtures.h"
#include "editing/duplicates.h"

namespace {

using rivo::ListPage;

using bench_pages::LargestPage;

// Rows past the middle are copies of the rows above them: 4,995 groups of two.
const ListPage& HalfCopiedPage() {
    static const ListPage page = [] {
        ListPage copied = LargestPage();
        const int half = copied.channelCount() / 2;
        for (int r = 1; r <= half; ++r) copied.channelGrid.copyRow(r, r + half);
        return copied;
    }();
    return page;
}

void BM_FindDuplicates(benchmark::State& state) {
    const auto level = static_cast<rivo::DuplicateLevel>(state.range(0));
    const ListPage& page = state.range(1) ? HalfCopiedPage() : LargestPage();
    std::size_t groups = 0;
    for (auto _ : state) {
        const rivo::DuplicateFinding finding = rivo::FindDuplicates(page, level);
        groups = finding.groups.size();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["channels"] = page.channelCount();
    state.counters["groups"] = static_cast<double>(groups);
}
BENCHMARK(BM_FindDuplicates)
    ->ArgNames({"level(0 exact,1 ids,2 name-transponder,3 name)", "copies"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_FindAndRemoveDuplicates(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ListPage page = HalfCopiedPage();
        state.ResumeTiming();
        int removed = 0;
        rivo::RemoveDuplicates(page, rivo::FindDuplicates(page, rivo::DuplicateLevel::Exact).groups,
                               &removed);
        benchmark::DoNotOptimize(removed);
    }
}
BENCHMARK(BM_FindAndRemoveDuplicates)->Unit(benchmark::kMillisecond);

}  // namespace
