// Commands on a selection of separate blocks against doing them block by block with the
// row-by-row reference, on random pages (inconsistent favourites included), each one
// undo step.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "channel_edit_fakes.h"
#include "editing/channel_dialog_logic.h"
#include "editing/channel_rows.h"
#include "editing/row_selection.h"
#include "editing/undo_history.h"
#include "reference_editing.h"

namespace rivo {
namespace {

std::string RowText(const Grid& grid, int row) {
    std::ostringstream out;
    for (const auto& c : grid.cells(row)) out << '[' << c << ']';
    out << " #" << std::hex << grid.colour(row);
    return out.str();
}

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

// Three separate blocks (a gap of at least one row between them) on a page of at least
// 7 rows, ascending.
std::vector<RowBlock> ThreeBlocks(std::mt19937& rng, int channels) {
    std::vector<RowBlock> blocks;
    int from = 1;
    for (int b = 0; b < 3; ++b) {
        const int roomAfter = (2 - b) * 2;  // each later block needs a gap and a row
        const int first = Pick(rng, from, std::min(from + 4, channels - roomAfter));
        const int last = Pick(rng, first, std::min(first + 4, channels - roomAfter));
        blocks.push_back({first, last});
        from = last + 2;
    }
    return blocks;
}

std::vector<int> RowsOfBlocks(const std::vector<RowBlock>& blocks) {
    std::vector<int> rows;
    for (const RowBlock& b : blocks)
        for (int r = b.first; r <= b.last; ++r) rows.push_back(r);
    return rows;
}

std::string Describe(const std::vector<RowBlock>& blocks) {
    std::string text;
    for (const RowBlock& b : blocks)
        text += " " + std::to_string(b.first) + ".." + std::to_string(b.last);
    return text;
}

// Adding to list k as the block command would do it row by row: each channel not yet
// named by the list (and not an empty slot nor inactive, with a readable "Preferenza") gets the bit
// and UpdateChannelRow, while the list still has a free slot.
void ReferenceAdd(ListPage& page, int k, int first, int last) {
    for (int r = first; r <= last; ++r) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        bool listed = false, room = false;
        for (int s = 1; s <= fav::Slots; ++s) {
            listed = listed || reference::CellNumber(list.cell(s, fav::Channel), 0) == r;
            room = room || list.cell(s, fav::Channel) == "0";
        }
        const std::int64_t set =
            reference::CellNumber(page.channelGrid.cell(r, ch::Favourites), -1);
        const bool empty = page.channelGrid.cell(r, ch::Name).empty() &&
                           page.channelGrid.cell(r, ch::Sid) == "0" &&
                           page.channelGrid.cell(r, ch::Status) == "00";
        const bool inactive =
            (reference::HexNumber(page.channelGrid.cell(r, ch::Status), 0) & 4) == 0;
        if (listed || !room || empty || inactive || set < 0) continue;
        page.channelGrid.setCell(r, ch::Favourites, std::to_string(set | (std::int64_t{1} << k)));
        reference::UpdateChannelRow(page, r, InactiveInLists::Stay);
        page.modified = true;
    }
}

void ReferenceRemove(ListPage& page, int k, int first, int last) {
    for (int r = first; r <= last; ++r) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        bool listed = false;
        for (int s = 1; s <= fav::Slots; ++s)
            listed = listed || reference::CellNumber(list.cell(s, fav::Channel), 0) == r;
        const std::int64_t set =
            reference::CellNumber(page.channelGrid.cell(r, ch::Favourites), -1);
        const std::int64_t bit = std::int64_t{1} << k;
        if (set < 0 || ((set & bit) == 0 && !listed)) continue;
        page.channelGrid.setCell(r, ch::Favourites, std::to_string(set & ~bit));
        reference::UpdateChannelRow(page, r, InactiveInLists::Stay);
        page.modified = true;
    }
}

CheckState RandomCheck(std::mt19937& rng) { return static_cast<CheckState>(Pick(rng, 0, 2)); }

TEST(RowSelection, CommandsOnThreeBlocksMatchBlockByBlockReferenceAndUndoInOneStep) {
    struct Command {
        const char* what;
        unsigned seed;
        // Runs the reference block by block on expected and the set command on actual.
        std::function<std::string(std::mt19937&, const std::vector<RowBlock>&, ListPage&,
                                  ListPage&)>
            run;
    };
    testing::RecordingProgress progress;
    const Command commands[] = {
        {"delete", 21,
         [&](std::mt19937& rng, const std::vector<RowBlock>& blocks, ListPage& expected,
             ListPage& actual) {
             const bool close = rng() % 2 == 0;
             for (auto b = blocks.rbegin(); b != blocks.rend(); ++b)
                 reference::DeleteChannels(expected, b->first, b->last, close);
             testing::ScriptedPrompts prompts({close ? Answer::Yes : Answer::No});
             DeleteSelectedChannelSet(actual, RowsOfBlocks(blocks), prompts, progress);
             EXPECT_EQ(prompts.asked.size(), 1u);
             return std::string(close ? "delete closing" : "delete keeping");
         }},
        {"add to list", 22,
         [](std::mt19937& rng, const std::vector<RowBlock>& blocks, ListPage& expected,
            ListPage& actual) {
             const int k = Pick(rng, 0, fav::Lists - 1);
             for (const RowBlock& b : blocks) ReferenceAdd(expected, k, b.first, b.last);
             testing::ScriptedPrompts prompts;
             AddToFavouriteList(actual, k, RowsOfBlocks(blocks), prompts);
             return "add to list " + std::to_string(k + 1);
         }},
        {"remove from list", 23,
         [](std::mt19937& rng, const std::vector<RowBlock>& blocks, ListPage& expected,
            ListPage& actual) {
             const int k = Pick(rng, 0, fav::Lists - 1);
             for (const RowBlock& b : blocks) ReferenceRemove(expected, k, b.first, b.last);
             testing::ScriptedPrompts prompts;
             RemoveFromFavouriteList(actual, k, RowsOfBlocks(blocks), prompts);
             return "remove from list " + std::to_string(k + 1);
         }},
        {"dialog", 24,
         [](std::mt19937& rng, const std::vector<RowBlock>& blocks, ListPage& expected,
            ListPage& actual) {
             ChannelDialogValues values;
             values.boxes[box::Sid] = rng() % 2 ? "4242" : "";
             values.boxes[box::Name] = rng() % 3 == 0 ? "Nuovo" : "";
             values.encoding = Pick(rng, 0, kEncodingCount - 1);
             values.active = RandomCheck(rng);
             values.favourite = RandomCheck(rng);
             values.locked = RandomCheck(rng);
             for (auto& list : values.lists) list = RandomCheck(rng);
             // Unreadable numbers refuse the whole selection; the reference block by
             // block would write the blocks before the bad one, so keep them readable.
             for (const int r : RowsOfBlocks(blocks)) {
                 if (ReadCellNumber(expected.channelGrid.cell(r, ch::Favourites), -1) < 0) {
                     expected.channelGrid.setCell(r, ch::Favourites, "0");
                     actual.channelGrid.setCell(r, ch::Favourites, "0");
                 }
             }
             for (const RowBlock& b : blocks) ApplySelectionOk(expected, b.first, b.last, values);
             ApplySelectionOk(actual, RowsOfBlocks(blocks), values);
             return std::string("dialog");
         }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.what);
        std::mt19937 rng(command.seed);
        for (int i = 0; i < 400; ++i) {
            const int channels = Pick(rng, 7, 40);
            ListPage expected = reference::RandomPage(rng, channels);
            ListPage actual = expected;
            const ListPage original = expected;
            UndoHistory history(actual);
            const std::vector<RowBlock> blocks = ThreeBlocks(rng, channels);
            const std::string description =
                command.run(rng, blocks, expected, actual) + Describe(blocks);
            ASSERT_EQ(FirstDifference(expected, actual), "")
                << "case " << i << " channels=" << channels << " " << description;
            if (history.commit(actual, command.what)) {
                EXPECT_EQ(history.undoCount(), 1u);
                ASSERT_TRUE(history.undo(actual));
                EXPECT_EQ(FirstDifference(original, actual), "")
                    << "undo, case " << i << " " << description;
            }
        }
    }
}

TEST(RowSelection, BlocksOfASelection) {
    struct Case {
        std::vector<int> rows;
        std::vector<RowBlock> blocks;
    } cases[] = {
        {{}, {}},
        {{4}, {{4, 4}}},
        {{1, 2, 3}, {{1, 3}}},
        {{1, 3, 4, 9}, {{1, 1}, {3, 4}, {9, 9}}},
    };
    for (const Case& c : cases) EXPECT_EQ(BlocksOf(c.rows), c.blocks);
    ListPage page;
    page.channelGrid.setRowCount(11);
    EXPECT_EQ(NormalisedRows(page, {9, 0, 3, 11, 3, -2, 10}), (std::vector<int>{3, 9, 10}));
}

TEST(RowSelection, DeleteQuestionNamesTheCountAndCancelChangesNothing) {
    std::mt19937 rng(5);
    ListPage page = reference::RandomPage(rng, 20);
    const ListPage before = page;
    testing::ScriptedPrompts prompts;  // Cancel
    testing::RecordingProgress progress;
    EXPECT_FALSE(DeleteSelectedChannelSet(page, {2, 3, 7, 12}, prompts, progress).changed);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_NE(prompts.asked[0].text.find("verranno cancellati 4 canali"), std::string::npos)
        << prompts.asked[0].text;
    EXPECT_EQ(prompts.asked[0].title, "Cancellazione canale");
    EXPECT_EQ(FirstDifference(before, page), "");
}

// A page of active channels, nothing in any list.
ListPage CleanPage(int channels) {
    ListPage page;
    page.layout = ListLayout::Split;
    page.channelGrid.setRowCount(channels + 1);
    for (int n = 1; n <= channels; ++n)
        reference::FillChannelRow(page, n, "CH" + std::to_string(n), 0);
    for (auto& list : page.favouriteGrids)
        for (int s = 1; s <= fav::Slots; ++s) list.row(s).colour = kColourGrey;
    return page;
}

TEST(RowSelection, AddingStopsAtTheListLimitAndSaysHowManyWereLeftOut) {
    struct Case {
        int alreadyListed;
        int selected;
        int added;
        int skipped;
    } cases[] = {
        {0, 128, 128, 0},  // exactly fills the list: no message
        {0, 129, 128, 1},  // one over
        {100, 40, 28, 12},
        {128, 5, 0, 5},  // full list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alreadyListed);
        ListPage page = CleanPage(300);
        testing::ScriptedPrompts quiet;
        AddToFavouriteList(page, 2, RowsOf(1, c.alreadyListed), quiet);
        testing::ScriptedPrompts prompts;
        const ListChange change =
            AddToFavouriteList(page, 2, RowsOf(151, 150 + c.selected), prompts);
        EXPECT_EQ(change.added, c.added);
        EXPECT_EQ(change.skipped, c.skipped);
        EXPECT_EQ(prompts.asked.size(), c.skipped > 0 ? 1u : 0u);
        if (c.skipped > 0) {
            EXPECT_NE(
                prompts.asked[0].text.find("La lista 3 può contenere al massimo 128 canali: " +
                                           std::to_string(c.skipped)),
                std::string::npos)
                << prompts.asked[0].text;
        }
        // The first channels in row order got the slots, after the ones already there.
        const Grid& list = page.favouriteGrids[2];
        if (c.added > 0) {
            EXPECT_EQ(list.cell(c.alreadyListed + 1, fav::Channel), "151");
            EXPECT_EQ(list.cell(c.alreadyListed + c.added, fav::Channel),
                      std::to_string(150 + c.added));
            EXPECT_EQ(page.channelGrid.cell(150 + c.added, ch::Favourites), "4");
        }
        if (c.skipped > 0) {
            EXPECT_EQ(page.channelGrid.cell(150 + c.selected, ch::Favourites), "0");
        }
    }
}

TEST(RowSelection, SingleLayoutHasNoListsToAddTo) {
    ListPage page = CleanPage(5);
    page.layout = ListLayout::Single;
    testing::ScriptedPrompts prompts;
    EXPECT_FALSE(AddToFavouriteList(page, 0, {1, 3}, prompts).changed);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "0");
}

TEST(RowSelection, CopyOfSeparateBlocksKeepsRowOrderAndCarriesEachTransponderOnce) {
    ListPage page = CleanPage(10);
    page.transponderGrid.setRowCount(8);
    for (int t = 1; t <= 7; ++t) {
        page.transponderGrid.row(t).cells = {
            std::to_string(t), std::to_string(11700 + t), "1", "1", "1", "27500", "3/4", "H", "Off",
            "HotBird"};
    }
    // FillChannelRow puts channel n on transponder 1 + n % 7: rows 1, 8 share transponder 2.
    ChannelClipboard clipboard;
    CopyChannelSet(page, {8, 1, 2, 5}, clipboard);
    ASSERT_EQ(clipboard.channels.size(), 4u);
    EXPECT_EQ(clipboard.channels[0].name, "CH1");
    EXPECT_EQ(clipboard.channels[1].name, "CH2");
    EXPECT_EQ(clipboard.channels[2].name, "CH5");
    EXPECT_EQ(clipboard.channels[3].name, "CH8");
    std::vector<std::int64_t> marks;
    for (const auto& t : clipboard.transponders)
        marks.push_back(t.transponderMark - kTransponderMark);
    EXPECT_EQ(marks, (std::vector<std::int64_t>{2, 3, 6}));
}

}  // namespace
}  // namespace rivo
