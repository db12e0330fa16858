// Copy/paste between images and transponder maintenance on the largest pages: 9,990
// channels and 255 transponders.
#include <benchmark/benchmark.h>

#include "channels/list_page.h"
#include "editing/clipboard.h"
#include "editing/transponders.h"
#include "page_maker.h"

namespace {

using namespace rivo;

constexpr int kChannels = 9990;
constexpr int kTransponders = 255;

// Source: channels over transponders 1..100 (so 5,000 of them carry 100 transponders).
ListPage SourcePage() {
    ListPage page = pages::MakeLargePage(kChannels, kTransponders, 1);
    for (int i = 1; i <= kChannels; ++i) page.channelGrid.setCell(i, ch::Transponder, std::to_string((i - 1) % 100 + 1));
    return page;
}

// Target: another image whose channels use transponders 1..150; rows 151..255 are free.
ListPage TargetPage() {
    ListPage page = pages::MakeLargePage(kChannels, kTransponders, 2);
    for (int i = 1; i <= kChannels; ++i) page.channelGrid.setCell(i, ch::Transponder, std::to_string((i - 1) % 150 + 1));
    for (int j = 151; j <= kTransponders; ++j) {
        page.transponderGrid.setCell(j, tp::Frequency, "0");
        page.transponderGrid.setColour(j, kColourGrey);
    }
    return page;
}

void CopyAndPaste(benchmark::State& state, Answer mode) {
    const ListPage source = SourcePage();
    const ListPage pristine = TargetPage();
    // Pages are replaced while the clock is stopped, so that freeing them is not timed.
    ListPage target;
    ChannelClipboard clipboard;
    NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        target = pristine;
        clipboard = {};
        pages::ScriptedPrompts prompts({mode});
        state.ResumeTiming();
        CopyChannels(source, 1, 5000, clipboard);
        const bool pasted = PasteChannels(target, 1, clipboard, prompts, progress);
        benchmark::DoNotOptimize(pasted);
        if (!pasted) state.SkipWithError("paste refused");
    }
}

void BM_CopyPaste5000Insert(benchmark::State& state) { CopyAndPaste(state, Answer::Yes); }
void BM_CopyPaste5000Overwrite(benchmark::State& state) { CopyAndPaste(state, Answer::No); }

void BM_OptimiseAllDuplicated(benchmark::State& state) {
    const ListPage pristine = pages::MakeLargePage(kChannels, kTransponders, 3, true);
    ListPage page;
    NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        page = pristine;
        state.ResumeTiming();
        const bool merged = OptimiseTransponderList(page, progress);
        benchmark::DoNotOptimize(merged);
        if (!merged) state.SkipWithError("nothing merged");
    }
}

void BM_DeleteTransponder1Close(benchmark::State& state) {
    const ListPage pristine = pages::MakeLargePage(kChannels, kTransponders, 4);
    ListPage page;
    NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        page = pristine;
        pages::ScriptedPrompts prompts({Answer::Yes});
        state.ResumeTiming();
        benchmark::DoNotOptimize(DeleteTransponder(page, 1, prompts, progress));
    }
}

BENCHMARK(BM_CopyPaste5000Insert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPaste5000Overwrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimiseAllDuplicated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteTransponder1Close)->Unit(benchmark::kMillisecond);

}  // namespace
