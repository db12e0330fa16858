// The undo history on a full page (9,990 channels, all eight favourites lists full):
//   - committing a step after a one-cell edit, beside copying the channel grid and
//     beside copying every cell text of it (what a history that snapshots whole tables
//     pays);
//   - the heap one rename step keeps, measured by the allocator, over 1,000 renames;
//   - inserting, moving 5,000 and deleting 1,000 channels, each with its commit;
//   - undo and redo of a block move of 5,000 channels and of deleting 1,000;
//   - the heap each step keeps for the commands users repeat one channel at a time:
//     moving channel 9,000 to row 1, inserting an empty channel at row 1 and deleting
//     row 1, on the full page and on the same page with its favourites lists empty
//     (where no entry has to follow the channels' new numbers), how many of 1,000
//     such steps the history keeps under its 256 MiB cap, and whether undoing them all
//     gives the page as it was.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/undo_history.h"
#include "reference_editing.h"

namespace {

using rivo::ListPage;

constexpr int kFull = 9990;

const ListPage& LargestPage() {
    static const ListPage page = rivo::reference::FullPage(kFull);
    return page;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void CopyChannelGrid(benchmark::State& state) {
    const ListPage& page = LargestPage();
    for (auto _ : state) {
        rivo::Grid copy = page.channelGrid;
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(CopyChannelGrid)->Unit(benchmark::kMicrosecond);

// Every cell text of the channel table into plain vectors: the cost of a snapshot that
// shares nothing.
void CopyChannelCells(benchmark::State& state) {
    const rivo::Grid& grid = LargestPage().channelGrid;
    for (auto _ : state) {
        std::vector<std::vector<std::string>> cells(static_cast<size_t>(grid.rowCount()));
        for (int r = 0; r < grid.rowCount(); ++r) {
            auto& row = cells[static_cast<size_t>(r)];
            row.reserve(static_cast<size_t>(grid.columnCount()));
            for (int c = 0; c < grid.columnCount(); ++c) row.push_back(grid.cell(r, c));
        }
        benchmark::DoNotOptimize(cells.data());
    }
}
BENCHMARK(CopyChannelCells)->Unit(benchmark::kMicrosecond);

// One rename (not timed) and its commit (timed), on rows spread over the page.
void CommitOneCellEdit(benchmark::State& state) {
    ListPage page = LargestPage();
    rivo::UndoHistory history(page);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int row = 1 + (n * 7919) % kFull;
        page.channelGrid.setCell(row, rivo::ch::Name, "R" + std::to_string(n++));
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.commit(page, "Rinomina"));
    }
}
BENCHMARK(CommitOneCellEdit)->Unit(benchmark::kMicrosecond);

// 1,000 renames, each committed; the heap grown per step as the allocator counts it,
// the history's own estimate, and how many steps are still undoable at the end.
void HeapPerOneRowStep(benchmark::State& state) {
    constexpr int kSteps = 1000;
    for (auto _ : state) {
        ListPage page = LargestPage();
        rivo::UndoHistory history(page);
        page.channelGrid.setCell(1, rivo::ch::Name, "warm");
        history.commit(page, "Rinomina");
        const std::size_t before = HeapInUse();
        const std::size_t estimateBefore = history.bytesHeld();
        for (int n = 0; n < kSteps; ++n) {
            page.channelGrid.setCell(1 + (n * 7919) % kFull, rivo::ch::Name, "R" + std::to_string(n));
            history.commit(page, "Rinomina");
        }
        const double grown = static_cast<double>(HeapInUse()) - static_cast<double>(before);
        state.counters["heap_per_step_B"] = grown / kSteps;
        state.counters["estimate_per_step_B"] =
            (static_cast<double>(history.bytesHeld()) - static_cast<double>(estimateBefore)) / kSteps;
        state.counters["steps_kept"] = static_cast<double>(history.stepCount());
    }
}
BENCHMARK(HeapPerOneRowStep)->Unit(benchmark::kMillisecond)->Iterations(1);

// A page with one committed command; the benchmark times undo (redo untimed) or redo
// (undo untimed) of it.
template <typename Command>
void UndoRedo(benchmark::State& state, bool timeUndo, Command command) {
    ListPage page = LargestPage();
    rivo::UndoHistory history(page);
    command(page);
    if (!history.commit(page, "command")) {
        state.SkipWithError("the command changed nothing");
        return;
    }
    for (auto _ : state) {
        if (!timeUndo) state.PauseTiming();
        history.undo(page);
        if (timeUndo) state.PauseTiming(); else state.ResumeTiming();
        history.redo(page);
        if (timeUndo) state.ResumeTiming();
        benchmark::DoNotOptimize(page.channelGrid.rowCount());
    }
}

void MoveBlock(ListPage& page) {
    rivo::NullProgress progress;
    rivo::MoveChannels(page, 1, 5000, kFull - 5000 + 1, progress);
}
void DeleteBlock(ListPage& page) {
    rivo::NullProgress progress;
    rivo::DeleteChannels(page, 1001, 2000, true, progress);
}

// The command and its commit (timed), then its undo (untimed): what the editor's core
// spends on a command before the table is painted.
template <typename Command>
void CommandAndCommit(benchmark::State& state, Command command) {
    ListPage page = LargestPage();
    rivo::UndoHistory history(page);
    for (auto _ : state) {
        command(page);
        benchmark::DoNotOptimize(history.commit(page, "command"));
        state.PauseTiming();
        history.undo(page);
        state.ResumeTiming();
    }
}
void InsertFirst(ListPage& page) {
    class Yes final : public rivo::UserPrompts {
    public:
        rivo::Answer ask(const std::string&, const std::string&, rivo::Icon, rivo::Buttons) override {
            return rivo::Answer::Yes;
        }
    } yes;
    rivo::InsertEmptyChannel(page, 1, yes);
}
void InsertAndCommit(benchmark::State& state) { CommandAndCommit(state, InsertFirst); }
void MoveAndCommit(benchmark::State& state) { CommandAndCommit(state, MoveBlock); }
void DeleteAndCommit(benchmark::State& state) { CommandAndCommit(state, DeleteBlock); }
BENCHMARK(InsertAndCommit)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveAndCommit)->Unit(benchmark::kMicrosecond);
BENCHMARK(DeleteAndCommit)->Unit(benchmark::kMicrosecond);

void UndoMove5000(benchmark::State& state) { UndoRedo(state, true, MoveBlock); }
void RedoMove5000(benchmark::State& state) { UndoRedo(state, false, MoveBlock); }
void UndoDelete1000(benchmark::State& state) { UndoRedo(state, true, DeleteBlock); }
void RedoDelete1000(benchmark::State& state) { UndoRedo(state, false, DeleteBlock); }
// One channel at a time: the heap per step over kMeasured steps with no memory cap (so
// none is dropped), and the steps kept of 1,000 under the usual cap. The page is
// either the full page or the full page with its favourites lists empty.
template <typename Command>
void HeapPerSingleChannelStep(benchmark::State& state, Command command) {
    constexpr int kMeasured = 100;
    constexpr int kSteps = 1000;
    const bool favourites = state.range(0) != 0;
    ListPage start = LargestPage();
    if (!favourites)
        for (rivo::Grid& list : start.favouriteGrids)
            for (int s = 1; s < list.rowCount(); ++s) {
                list.setCell(s, rivo::fav::Name, "");
                list.setCell(s, rivo::fav::Channel, "0");
                list.setColour(s, rivo::kColourGrey);
            }
    if (!favourites)
        for (int r = 1; r < start.channelGrid.rowCount(); ++r) start.channelGrid.setCell(r, rivo::ch::Favourites, "0");
    for (auto _ : state) {
        {
            ListPage page = start;
            rivo::UndoHistory history(page, static_cast<std::size_t>(-1));
            const std::size_t before = HeapInUse();
            for (int n = 0; n < kMeasured; ++n) {
                command(page);
                history.commit(page, "command");
            }
            const double grown = static_cast<double>(HeapInUse()) - static_cast<double>(before);
            state.counters["heap_per_step_B"] = grown / kMeasured;
            state.counters["estimate_per_step_B"] = static_cast<double>(history.bytesHeld()) / kMeasured;
            // The aim for a single-channel command: at most 64 KB of heap per step.
            state.counters["within_64KB"] = grown / kMeasured <= 64.0 * 1024 ? 1 : 0;
        }
        ListPage page = start;
        rivo::UndoHistory history(page);
        for (int n = 0; n < kSteps; ++n) {
            command(page);
            history.commit(page, "command");
        }
        state.counters["steps_kept_of_1000"] = static_cast<double>(history.stepCount());
        int undone = 0;
        while (history.undo(page)) ++undone;
        const bool opened = page.channelGrid == start.channelGrid && page.favouriteGrids == start.favouriteGrids &&
                            page.transponderGrid == start.transponderGrid;
        state.counters["undone_to_opened"] = undone == kSteps && opened ? 1 : 0;
    }
}
void MoveOneToTop(ListPage& page) {
    rivo::NullProgress progress;
    rivo::MoveChannels(page, 9000, 9000, 1, progress);
}
void DeleteFirst(ListPage& page) {
    rivo::NullProgress progress;
    rivo::DeleteChannels(page, 1, 1, true, progress);
}
void HeapMoveOneToTop(benchmark::State& state) { HeapPerSingleChannelStep(state, MoveOneToTop); }
void HeapInsertAtRow1(benchmark::State& state) { HeapPerSingleChannelStep(state, InsertFirst); }
void HeapDeleteRow1(benchmark::State& state) { HeapPerSingleChannelStep(state, DeleteFirst); }
BENCHMARK(HeapMoveOneToTop)->ArgName("favourites")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(HeapInsertAtRow1)->ArgName("favourites")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(HeapDeleteRow1)->ArgName("favourites")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// The command and its commit, timed together, one channel at a time.
void MoveOneAndCommit(benchmark::State& state) { CommandAndCommit(state, MoveOneToTop); }
void DeleteOneAndCommit(benchmark::State& state) { CommandAndCommit(state, DeleteFirst); }
BENCHMARK(MoveOneAndCommit)->Unit(benchmark::kMicrosecond);
BENCHMARK(DeleteOneAndCommit)->Unit(benchmark::kMicrosecond);

BENCHMARK(UndoMove5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RedoMove5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoDelete1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RedoDelete1000)->Unit(benchmark::kMicrosecond);

}  // namespace
