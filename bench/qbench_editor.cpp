// The editor's page against the largest channel list the format holds (ten channel
// modules of 999 records, 255 transponders, eight full favourites lists):
//   - opening the file up to a painted page (load, build, models and views, first paint
//     of the page);
//   - the same channel cells poured into a QTableWidget (items and row colours) and
//     painted, the approach the page's models avoid;
//   - scrolling the 9,990-row channel table by one screen and painting;
//   - each editing command run through the window, from the command to the channel
//     table painted again: deleting 1,000 selected channels, inserting one, moving
//     5,000, pasting 5,000 from another image, the channel dialog's Ok on one row,
//     optimising the transponders, undo and redo. Between runs the command is taken
//     back (untimed), so every run starts from the opened page. Report the median.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "channel_fixtures.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBrush>
#include <QLineEdit>
#include <QPushButton>
#include <QColor>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <fstream>
#include <memory>

#include "channels/cp1252.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/row_number_dialog.h"
#include "editing/undo_history.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/channel_filter_bar.h"

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

OpenParams Params() {
    OpenParams params = FixtureOpenParams();
    params.fileName = Largest().path;
    return params;
}

void OpenToShownPage(benchmark::State& state) {
    MainWindow window;
    window.show();
    QApplication::processEvents();
    const OpenParams params = Params();
    for (auto _ : state) {
        if (!window.openWithParams(params)) {
            state.SkipWithError("the image did not open");
            return;
        }
        // Laid out and painted with its first rows, as the fill below paints its table.
        QApplication::processEvents();
        window.pageView(0)->repaint();
        state.PauseTiming();
        benchmark::DoNotOptimize(window.pageView(0)->page().channelCount());
        // Close the page without the question.
        PageView* view = window.pageViews.back();
        window.pageViews.pop_back();
        window.pageTabs->removeTab(window.pageTabs->indexOf(view));
        delete view;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["channels"] = 9990;
}
BENCHMARK(OpenToShownPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void FillTableWidget(benchmark::State& state) {
    const std::unique_ptr<ListPage> page = OpenChannelImage(BuildChannelImage(MakeLargestChannelImageSpec()));
    const Grid& grid = page->channelGrid;
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
    MainWindow window;
    window.show();
    if (!window.openWithParams(Params())) {
        state.SkipWithError("the image did not open");
        return;
    }
    QTableView* table = window.pageView(0)->channelTable;
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
    for (auto* view : window.pageViews) view->page().modified = false;
}
BENCHMARK(ScrollChannelTable)->Unit(benchmark::kMicrosecond);

// ---- commands through the window ------------------------------------------------------

class YesPrompts final : public UserPrompts {
public:
    Answer ask(const std::string&, const std::string&, Icon, Buttons buttons) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
};

void SelectChannels(PageView& view, int first, int last) {
    QAbstractItemModel* model = view.channelTable->model();
    view.channelTable->selectionModel()->setCurrentIndex(model->index(first - 1, 0), QItemSelectionModel::NoUpdate);
    view.channelTable->selectionModel()->select(
        QItemSelection(model->index(first - 1, 0), model->index(last - 1, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

// The window with the largest image open (twice when a second image is needed, the
// second page active only while copying from it) and painted once.
//
// A page is edited once before the runs (an empty channel inserted at the last row), so
// every run finds it already modified, as a user's page is from the second edit on: the
// tab's "*" and the Save button change on the first edit only, and FirstEdit below times
// that case on its own.
struct CommandWindow {
    YesPrompts prompts;
    MainWindow window;
    bool ok = false;
    explicit CommandWindow(int pages = 1, bool editedBefore = true) {
        window.setPrompts(&prompts);
        window.resize(900, 600);
        window.show();
        for (int i = 0; i < pages; ++i)
            if (!window.openWithParams(Params())) return;
        window.pageTabs->setCurrentIndex(0);
        if (editedBefore) {
            window.pageView(0)->setCurrentChannelRow(window.pageView(0)->page().channelCount());
            window.insertChannel();
            if (!window.pageView(0)->page().modified) return;
        }
        QApplication::processEvents();
        window.repaint();
        baseline = window.pageView(0)->history().undoCount();
        ok = true;
    }
    std::size_t baseline = 0;  // the steps made before the runs, kept by UndoOnce
    ~CommandWindow() {
        for (auto* view : window.pageViews) view->page().modified = false;
        ChannelDialog::setExecHook({});
    }
    PageView& view() { return *window.pageView(0); }
    // Up to the table shown again, painted once: the update joins the one the command
    // asked for (a repaint() after the events would paint the table twice).
    void show() {
        view().channelTable->viewport()->update();
        QApplication::processEvents();
    }
};

// Times command (then one paint); takeBack (untimed) returns the page to where it was.
template <typename Prepare, typename Command, typename TakeBack>
void TimeCommand(benchmark::State& state, CommandWindow& w, Prepare prepare, Command command, TakeBack takeBack) {
    if (!w.ok) {
        state.SkipWithError("the image did not open");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        QApplication::processEvents();
        state.ResumeTiming();
        command();
        w.show();
        state.PauseTiming();
        takeBack();
        w.show();
        state.ResumeTiming();
    }
}

// Takes back what the run did, never the edit made before the runs.
void UndoOnce(CommandWindow& w) {
    for (std::size_t n = w.view().history().undoCount(); n > w.baseline; --n) w.window.undo();
}

void DeleteThousandChannels(benchmark::State& state) {
    CommandWindow w;
    TimeCommand(state, w, [&] { SelectChannels(w.view(), 1001, 2000); }, [&] { w.window.deleteChannels(); },
                [&] { UndoOnce(w); });
}

// Deleting 1,000 channels as the first edit of the opened page: the tab's caption gains
// its "*" and the window's Save button comes on, so more of the window is laid out and
// painted again than on later edits.
void DeleteThousandChannelsFirstEdit(benchmark::State& state) {
    CommandWindow w(1, false);
    TimeCommand(state, w, [&] { SelectChannels(w.view(), 1001, 2000); }, [&] { w.window.deleteChannels(); },
                [&] { UndoOnce(w); });
}

void InsertChannel(benchmark::State& state) {
    CommandWindow w;
    TimeCommand(state, w, [&] { w.view().setCurrentChannelRow(100); }, [&] { w.window.insertChannel(); },
                [&] { UndoOnce(w); });
}

void MoveFiveThousandChannels(benchmark::State& state) {
    CommandWindow w;
    w.window.runRowNumberDialog = [](RowNumberDialog& dialog) {
        dialog.numberEdit->setText(QStringLiteral("4991"));
        return true;
    };
    TimeCommand(state, w, [&] { SelectChannels(w.view(), 1, 5000); }, [&] { w.window.moveChannels(); },
                [&] { UndoOnce(w); });
}

void PasteFiveThousandChannels(benchmark::State& state) {
    CommandWindow w(2);
    if (w.ok) {
        // Copied from the other image's page, pasted on the first.
        w.window.pageTabs->setCurrentIndex(1);
        QApplication::processEvents();
        SelectChannels(*w.window.pageView(1), 2001, 7000);
        w.window.copyChannels();
        w.window.pageTabs->setCurrentIndex(0);
        QApplication::processEvents();
    }
    TimeCommand(state, w, [&] { w.view().setCurrentChannelRow(1); }, [&] { w.window.pasteChannels(); },
                [&] { UndoOnce(w); });
}

void ChannelDialogOk(benchmark::State& state) {
    CommandWindow w;
    int n = 0;
    ChannelDialog::setExecHook([&n](ChannelDialog& dialog) {
        dialog.box(box::Name)->setText(QStringLiteral("Nome %1").arg(n++));
        dialog.okButton()->click();
    });
    TimeCommand(state, w, [&] { w.view().setCurrentChannelRow(5000); }, [&] { w.window.editChannel(); },
                [&] { UndoOnce(w); });
}

void OptimiseTransponders(benchmark::State& state) {
    CommandWindow w;
    TimeCommand(state, w, [] {}, [&] { w.window.optimiseTransponders(); }, [&] { UndoOnce(w); });
}

// Undo (timed) and redo (untimed) of a move of 5,000 channels, and the other way round.
void UndoRedoMove(benchmark::State& state, bool timeUndo) {
    CommandWindow w;
    if (w.ok) {
        w.window.runRowNumberDialog = [](RowNumberDialog& dialog) {
            dialog.numberEdit->setText(QStringLiteral("4991"));
            return true;
        };
        SelectChannels(w.view(), 1, 5000);
        w.window.moveChannels();
        w.show();
        if (!w.view().history().canUndo()) {
            state.SkipWithError("the move changed nothing");
            return;
        }
    }
    auto undo = [&] { w.window.undo(); };
    auto redo = [&] { w.window.redo(); };
    if (timeUndo)
        TimeCommand(state, w, [] {}, undo, redo);
    else
        TimeCommand(state, w, undo, redo, [] {});
}
void UndoMove(benchmark::State& state) { UndoRedoMove(state, true); }
void RedoMove(benchmark::State& state) { UndoRedoMove(state, false); }

// The floor under every command: the page's views told that everything changed, and
// the table painted again, with no command at all.
void RefreshAndPaint(benchmark::State& state) {
    CommandWindow w;
    TimeCommand(state, w, [] {}, [&] { w.view().refresh(); }, [] {});
}

// The table painted again, nothing changed.
void PaintOnly(benchmark::State& state) {
    CommandWindow w;
    TimeCommand(state, w, [] {}, [] {}, [] {});
}

// The filter bar: one keystroke, from the text changed to the table painted again.
// Typing a name letter by letter ("c", "ca", ... "canale 1234"); each run is the next
// letter, the text cleared (untimed) when the name is complete.
void FilterTypingName(benchmark::State& state) {
    CommandWindow w;
    static const char* typed[] = {"c", "ca", "can", "cana", "canal", "canale", "canale ", "canale 1",
                                  "canale 12", "canale 123", "canale 1234"};
    constexpr std::size_t kTyped = sizeof typed / sizeof typed[0];
    std::size_t next = 0;
    QLineEdit* edit = w.ok ? w.view().filterBar->textEdit : nullptr;
    TimeCommand(
        state, w,
        [&] {
            if (next == 0) edit->clear();
        },
        [&] {
            edit->setText(QString::fromLatin1(typed[next]));
            next = (next + 1) % kTyped;
        },
        [] {});
}

// The worst keystroke: a letter that no name holds hides all 9,990 rows at once (and
// clearing it, untimed, shows them again).
void FilterHidingEveryRow(benchmark::State& state) {
    CommandWindow w;
    QLineEdit* edit = w.ok ? w.view().filterBar->textEdit : nullptr;
    TimeCommand(state, w, [] {}, [&] { edit->setText(QStringLiteral("æ")); }, [&] { edit->clear(); });
}

// Clearing a filter that hid every row: all 9,990 rows come back.
void FilterShowingEveryRow(benchmark::State& state) {
    CommandWindow w;
    QLineEdit* edit = w.ok ? w.view().filterBar->textEdit : nullptr;
    TimeCommand(state, w, [&] { edit->setText(QStringLiteral("æ")); }, [&] { edit->clear(); }, [] {});
}

#define RIVO_COMMAND_BENCHMARK(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(9)->ReportAggregatesOnly(true)
RIVO_COMMAND_BENCHMARK(PaintOnly);
RIVO_COMMAND_BENCHMARK(RefreshAndPaint);
RIVO_COMMAND_BENCHMARK(DeleteThousandChannels);
RIVO_COMMAND_BENCHMARK(DeleteThousandChannelsFirstEdit);
RIVO_COMMAND_BENCHMARK(InsertChannel);
RIVO_COMMAND_BENCHMARK(MoveFiveThousandChannels);
RIVO_COMMAND_BENCHMARK(PasteFiveThousandChannels);
RIVO_COMMAND_BENCHMARK(ChannelDialogOk);
RIVO_COMMAND_BENCHMARK(OptimiseTransponders);
RIVO_COMMAND_BENCHMARK(UndoMove);
RIVO_COMMAND_BENCHMARK(RedoMove);
BENCHMARK(FilterTypingName)->Unit(benchmark::kMillisecond)->Iterations(11)->Repetitions(9)->ReportAggregatesOnly(true);
RIVO_COMMAND_BENCHMARK(FilterHidingEveryRow);
RIVO_COMMAND_BENCHMARK(FilterShowingEveryRow);

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
