// "Trova duplicati..." over the largest list (9,990 channels, eight full favourites
// lists) whose second half copies the first: building the dialog, with its 4,995 groups
// and 9,990 copies in the tree, up to its first paint.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "channel_fixtures.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>

#include "dialogs/duplicates_dialog.h"

namespace {

using rivo::ListPage;

const ListPage& HalfCopiedPage() {
    static const ListPage page = [] {
        auto opened = rivo::testsupport::OpenChannelImage(
            rivo::testsupport::BuildChannelImage(rivo::testsupport::MakeLargestChannelImageSpec()));
        ListPage copied = *opened;
        const int half = copied.channelCount() / 2;
        for (int r = 1; r <= half; ++r) copied.channelGrid.copyRow(r, r + half);
        return copied;
    }();
    return page;
}

void OpenDuplicatesDialog(benchmark::State& state) {
    const ListPage& page = HalfCopiedPage();
    int items = 0;
    for (auto _ : state) {
        DuplicatesDialog dialog(page);
        dialog.show();
        dialog.repaint();
        items = dialog.groupTree->topLevelItemCount();
        benchmark::DoNotOptimize(items);
    }
    state.counters["groups"] = items;
}
BENCHMARK(OpenDuplicatesDialog)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
