// Reordering a full page (9,990 channels on 255 transponders, all eight favourites lists
// full): sorting it by each key, matching it against a reference list of 9,990 channels
// in another order, and applying that reference (favourites kept or taken).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "bench_pages.h"
#include "channel_fixtures.h"
#include "editing/reorder.h"

namespace {

using rivo::ListPage;

using bench_pages::LargestPage;
using bench_pages::ShuffledPage;

template <typename Op>
void OnFreshPages(benchmark::State& state, const ListPage& base, Op op) {
    for (auto _ : state) {
        state.PauseTiming();
        ListPage page = base;
        state.ResumeTiming();
        op(page);
        benchmark::DoNotOptimize(page);
    }
}

void BM_SortFullPage(benchmark::State& state) {
    const auto key = static_cast<rivo::SortKey>(state.range(0));
    OnFreshPages(state, ShuffledPage(), [key](ListPage& page) { rivo::SortChannels(page, 1, page.channelCount(), key); });
}
BENCHMARK(BM_SortFullPage)->ArgName("key(0 name,1 sid,2 frequency)")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_MatchReference(benchmark::State& state) {
    const ListPage& current = ShuffledPage();
    const ListPage& reference = LargestPage();
    for (auto _ : state) benchmark::DoNotOptimize(rivo::MatchReference(current, reference));
}
BENCHMARK(BM_MatchReference)->Unit(benchmark::kMillisecond);

void BM_MatchAndApplyReference(benchmark::State& state) {
    rivo::ReferenceOptions options;
    options.takeFavourites = state.range(0) != 0;
    options.takeNames = true;
    const ListPage& reference = LargestPage();
    OnFreshPages(state, ShuffledPage(), [&](ListPage& page) {
        const rivo::ReferenceMatch match = rivo::MatchReference(page, reference);
        rivo::ApplyReference(page, reference, match, options);
    });
}
BENCHMARK(BM_MatchAndApplyReference)->ArgName("take")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
