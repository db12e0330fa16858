// The direct channel commands against the row-by-row reference, on random pages:
// random sizes, blocks, targets, blank and inactive rows, favourites with duplicates,
// entries of channels whose "Preferenza" is 0 or whose bit is clear, and entries that
// name no channel.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "channel_edit_fakes.h"
#include "editing/channel_edit.h"
#include "editing/channel_rows.h"
#include "reference_editing.h"

namespace rivo {
namespace {

// The row as the grid shows it ("Num." is the row's position, not a stored text).
std::string RowText(const Grid& grid, int row) {
    std::ostringstream out;
    for (const auto& c : grid.cells(row)) out << '[' << c << ']';
    out << " #" << std::hex << grid.colour(row);
    return out.str();
}

// The first difference between two pages, or "" when they agree.
std::string FirstDifference(const ListPage& expected, const ListPage& actual) {
    auto compare = [](const std::string& what, const Grid& e, const Grid& a) -> std::string {
        if (e.rowCount() != a.rowCount()) return what + ": row count differs";
        for (int r = 0; r < e.rowCount(); ++r)
            if (e.cells(r) != a.cells(r) || e.colour(r) != a.colour(r))
                return what + " row " + std::to_string(r) + ": expected " + RowText(e, r) +
                       " got " + RowText(a, r);
        return "";
    };
    if (auto d = compare("channels", expected.channelGrid, actual.channelGrid); !d.empty())
        return d;
    for (int k = 0; k < fav::Lists; ++k)
        if (auto d = compare("list " + std::to_string(k + 1),
                             expected.favouriteGrids[static_cast<size_t>(k)],
                             actual.favouriteGrids[static_cast<size_t>(k)]);
            !d.empty())
            return d;
    if (expected.modified != actual.modified) return "modified flag differs";
    return "";
}

int Pick(std::mt19937& rng, int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
}

int RandomSize(std::mt19937& rng) {
    const int kind = Pick(rng, 0, 9);
    if (kind == 0) return Pick(rng, 1, 3);
    if (kind < 9) return Pick(rng, 1, 24);
    return Pick(rng, 25, 60);
}

constexpr int kCases = 1000;

// Delete, insert and move against their row-by-row references: each command draws its
// rows from the generator after the page, runs on both copies and describes itself.
TEST(ChannelEditRandom, CommandsMatchTheirRowByRowReferences) {
    struct Command {
        const char* what;
        unsigned seed;
        // Runs the command on both pages; returns its description and the command's result.
        std::function<std::pair<std::string, EditResult>(std::mt19937&, int, ListPage&, ListPage&)>
            run;
    };
    testing::RecordingProgress progress;
    const Command commands[] = {
        {"delete matches row-by-row deletion", 11,
         [&](std::mt19937& rng, int channels, ListPage& expected, ListPage& actual) {
             const int first = Pick(rng, 1, channels);
             const int last = Pick(rng, 1, 4) == 1 ? channels : Pick(rng, first, channels);
             const bool close = rng() % 2 == 0;
             reference::DeleteChannels(expected, first, last, close);
             const EditResult result = DeleteChannels(actual, first, last, close, progress);
             return std::pair{"delete " + std::to_string(first) + ".." + std::to_string(last) +
                                  (close ? " closing the gap" : " keeping the rows"),
                              result};
         }},
        {"insert matches row-by-row insertion", 12,
         [](std::mt19937& rng, int channels, ListPage& expected, ListPage& actual) {
             const int row = Pick(rng, 1, 5) == 1 ? channels : Pick(rng, 1, channels);
             reference::InsertEmptyChannel(expected, row);
             testing::ScriptedPrompts prompts({Answer::Yes});
             const EditResult result = InsertEmptyChannel(actual, row, prompts);
             return std::pair{"insert at " + std::to_string(row), result};
         }},
        {"move matches pass-by-pass rotation", 13,
         [&](std::mt19937& rng, int channels, ListPage& expected, ListPage& actual) {
             const int first = Pick(rng, 1, channels);
             const int last = Pick(
                 rng, first, std::min(channels, first + Pick(rng, 0, 1) * Pick(rng, 0, channels)));
             const int n = last - first + 1;
             const int kind = Pick(rng, 0, 9);
             const int target = kind == 0   ? first
                                : kind == 1 ? 1
                                : kind == 2 ? channels - n + 1
                                            : Pick(rng, 1, channels - n + 1);
             reference::MoveChannels(expected, first, last, target);
             const EditResult result = MoveChannels(actual, first, last, target, progress);
             return std::pair{"move " + std::to_string(first) + ".." + std::to_string(last) +
                                  " to " + std::to_string(target),
                              result};
         }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.what);
        std::mt19937 rng(command.seed);
        for (int i = 0; i < kCases; ++i) {
            const int channels = RandomSize(rng);
            ListPage expected = reference::RandomPage(rng, channels);
            ListPage actual = expected;
            const auto [description, result] = command.run(rng, channels, expected, actual);
            EXPECT_TRUE(result.changed) << description;
            const std::string diff = FirstDifference(expected, actual);
            ASSERT_EQ(diff, "") << "case " << i << ": channels=" << channels << " " << description;
        }
    }
}

// The primitives themselves, one call at a time, including the favourites texts the
// commands never produce.
TEST(ChannelEditRandom, RowPrimitivesMatchTheirStepByStepForm) {
    std::mt19937 rng(14);
    for (int i = 0; i < kCases / 2; ++i) {
        const int channels = RandomSize(rng);
        ListPage expected = reference::RandomPage(rng, channels);
        ListPage actual = expected;
        for (int step = 0; step < 4; ++step) {
            const int a = Pick(rng, 1, channels);
            const int b = Pick(rng, 1, channels);
            if (rng() % 2) {
                reference::ClearChannelRow(expected, a);
                ClearChannelRow(actual, a);
            } else {
                reference::MoveChannelRow(expected, a, b);
                MoveChannelRow(actual, a, b);
            }
            const std::string diff = FirstDifference(expected, actual);
            ASSERT_EQ(diff, "") << "case " << i << " step " << step;
        }
    }
}

// The batched forms a command over thousands of rows calls, against one call per row:
// a range leaving the lists (the rows themselves untouched), and an ascending set of
// rows, some with a changed "Preferenza" or state, brought in line with the lists.
TEST(ChannelEditRandom, BatchedRowPrimitivesMatchOneCallPerRow) {
    std::mt19937 rng(15);
    for (int i = 0; i < kCases / 2; ++i) {
        const int channels = RandomSize(rng);
        ListPage expected = reference::RandomPage(rng, channels);
        int first = Pick(rng, 1, channels);
        int last = Pick(rng, 1, channels);
        if (first > last) std::swap(first, last);
        ListPage actual = expected;
        LeaveFavourites(actual, first, last);
        for (int n = first; n <= last; ++n) {
            const GridRow kept = expected.channelGrid.row(n);
            reference::ClearChannelRow(expected, n);
            expected.channelGrid.setRow(n, kept);
        }
        ASSERT_EQ(FirstDifference(expected, actual), "") << "leaving, case " << i;

        std::vector<int> rows;
        for (int n = 1; n <= channels; ++n) {
            if (rng() % 3 == 0) continue;
            rows.push_back(n);
            if (rng() % 2 == 0) {
                const std::string set = std::to_string(rng() % 256);
                const std::string status = rng() % 4 == 0 ? "00" : "04";
                for (ListPage* page : {&expected, &actual}) {
                    page->channelGrid.setCell(n, ch::Favourites, set);
                    page->channelGrid.setCell(n, ch::Status, status);
                }
            }
        }
        for (const InactiveInLists rule :
             {InactiveInLists::Leave, InactiveInLists::Stay, InactiveInLists::Join}) {
            ListPage expectedRule = expected, actualRule = actual;
            for (const int n : rows) reference::UpdateChannelRow(expectedRule, n, rule);
            UpdateChannelRows(rows, actualRule, rule);
            ASSERT_EQ(FirstDifference(expectedRule, actualRule), "")
                << "updating, case " << i << ", rule " << static_cast<int>(rule);
        }
    }
}

}  // namespace
}  // namespace rivo
