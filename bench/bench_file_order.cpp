// Importing an order for a full page (9,990 channels on 255 transponders): reading the
// page's own channel export back, matching it against the page with its channels
// shuffled, and the whole import (read, match, apply) as the editor's Ok runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "bench_pages.h"
#include "channel_fixtures.h"
#include "channels/csv_export.h"
#include "channels/csv_import.h"
#include "editing/file_order.h"

namespace {

using rivo::ListPage;

using bench_pages::LargestPage;
using bench_pages::ShuffledPage;

const std::string& Export() {
    static const std::string csv = rivo::ExportCsv(LargestPage(), rivo::CsvTable::Channels);
    return csv;
}

void BM_ReadExport(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(rivo::ReadReferenceFile(Export()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Export().size()));
}
BENCHMARK(BM_ReadExport)->Unit(benchmark::kMillisecond);

void BM_MatchShuffled(benchmark::State& state) {
    const rivo::ReferenceFile file = *rivo::ReadReferenceFile(Export()).file;
    for (auto _ : state) benchmark::DoNotOptimize(rivo::MatchFileOrder(ShuffledPage(), file));
}
BENCHMARK(BM_MatchShuffled)->Unit(benchmark::kMillisecond);

void BM_ImportWithNames(benchmark::State& state) {
    rivo::NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        ListPage page = ShuffledPage();
        state.ResumeTiming();
        const rivo::ReferenceFile file = *rivo::ReadReferenceFile(Export()).file;
        const rivo::FileOrderMatch match = rivo::MatchFileOrder(page, file);
        rivo::ApplyFileOrder(page, file, match, {.takeNames = true}, progress);
        benchmark::DoNotOptimize(page);
    }
}
BENCHMARK(BM_ImportWithNames)->Unit(benchmark::kMillisecond);

}  // namespace
