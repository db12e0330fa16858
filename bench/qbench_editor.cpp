// The editor's page against the largest channel list the format holds (ten channel
// modules of 999 records, 255 transponders, eight full favourites lists):
//   - opening the file up to a painted page (load, build, models and views, first paint
//     of the page);
//   - the same channel cells poured into a QTableWidget (items and row colours) and
//     painted, the approach the page's models avoid;
//   - scrolling the 9,990-row channel table by one screen and painting.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "channel_fixtures.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <fstream>
#include <memory>

#include "channels/cp1252.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

namespace {

using namespace rivo;
using namespace rivo::testsupport;

struct LargestImage {
    TempFolder folder;
    std::string path;
    LargestImage() {
        path = folder.path("Largest.Bin");
        const Bytes bytes = BuildChannelImage(MakeLargestChannelImageSpec());
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

LargestImage& Largest() {
    static LargestImage image;
    return image;
}

TOpenParams Params() {
    TOpenParams params = FixtureOpenParams();
    params.FileName = Largest().path;
    return params;
}

void OpenToShownPage(benchmark::State& state) {
    TSDIAppForm window;
    window.show();
    QApplication::processEvents();
    const TOpenParams params = Params();
    for (auto _ : state) {
        if (!window.OpenWithParams(params)) {
            state.SkipWithError("the image did not open");
            return;
        }
        // Laid out and painted with its first rows, as the fill below paints its table.
        QApplication::processEvents();
        window.pageView(0)->repaint();
        state.PauseTiming();
        benchmark::DoNotOptimize(window.pageView(0)->page().channelCount());
        // Close the page without the question.
        PageView* view = window.PageRecords.back();
        window.PageRecords.pop_back();
        window.PageControl1->removeTab(window.PageControl1->indexOf(view));
        delete view;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["channels"] = 9990;
}
BENCHMARK(OpenToShownPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void FillTableWidget(benchmark::State& state) {
    const std::unique_ptr<ListPage> page = OpenChannelImage(BuildChannelImage(MakeLargestChannelImageSpec()));
    const Grid& grid = page->ChannelGrid;
    for (auto _ : state) {
        QTableWidget table(grid.rowCount() - 1, grid.columnCount());
        QStringList titles;
        for (int c = 0; c < grid.columnCount(); ++c) titles << QString::fromStdString(grid.cell(0, c));
        table.setHorizontalHeaderLabels(titles);
        for (int r = 1; r < grid.rowCount(); ++r) {
            const std::uint32_t rgb = grid.colour(r);
            const QBrush brush(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
            for (int c = 0; c < grid.columnCount(); ++c) {
                auto* item = new QTableWidgetItem(
                    c == ch::Name ? QString::fromStdString(Cp1252ToUtf8(grid.cell(r, c)))
                                  : QString::fromStdString(grid.cell(r, c)));
                item->setBackground(brush);
                table.setItem(r - 1, c, item);
            }
        }
        table.resize(700, 400);
        table.show();
        QApplication::processEvents();
        table.repaint();
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["channels"] = 9990;
}
BENCHMARK(FillTableWidget)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void ScrollChannelTable(benchmark::State& state) {
    TSDIAppForm window;
    window.show();
    if (!window.OpenWithParams(Params())) {
        state.SkipWithError("the image did not open");
        return;
    }
    QTableView* table = window.pageView(0)->ChannelGrid;
    QScrollBar* bar = table->verticalScrollBar();
    QApplication::processEvents();
    window.repaint();
    if (table->viewport()->height() < 100) {
        state.SkipWithError("the channel table is not laid out");
        return;
    }
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        table->viewport()->repaint();
    }
    for (auto* view : window.PageRecords) view->page().Modified = false;
}
BENCHMARK(ScrollChannelTable)->Unit(benchmark::kMicrosecond);

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
