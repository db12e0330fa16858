#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "channel_edit_fakes.h"
#include "editing/channel_edit.h"
#include "editing/channel_rows.h"
#include "editing/transponders.h"
#include "editing/undo_history.h"
#include "reference_editing.h"

namespace rivo {
namespace {

ListPage PageOfSize(int channels, int transponders) {
    ListPage page;
    page.channelGrid.setRowCount(channels + 1);
    for (int r = 1; r <= channels; ++r) {
        page.channelGrid.setCell(r, ch::Num, std::to_string(r));
        page.channelGrid.setCell(r, ch::Name, "CH" + std::to_string(r));
        page.channelGrid.setColour(r, kColourChannel);
    }
    page.transponderGrid.setRowCount(transponders + 1);
    for (int r = 1; r <= transponders; ++r) {
        page.transponderGrid.setCell(r, tp::Num, std::to_string(r));
        page.transponderGrid.setCell(r, tp::Frequency, std::to_string(11000 + r));
        page.transponderGrid.setColour(r, kColourInUse);
    }
    page.satelliteA = "X";
    page.satelliteB = "Y";
    return page;
}

bool SameContent(const ListPage& a, const ListPage& b) {
    return a.channelGrid == b.channelGrid && a.transponderGrid == b.transponderGrid &&
           a.favouriteGrids == b.favouriteGrids && a.configGrid == b.configGrid &&
           a.satelliteA == b.satelliteA && a.satelliteB == b.satelliteB;
}

// One random change of the kinds the commands make: cells, colours, row exchanges in
// any table, list names, satellite names.
void RandomChange(ListPage& page, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    switch (pick(0, 5)) {
        case 0: {
            const int r = pick(1, page.channelCount());
            page.channelGrid.setCell(r, pick(1, ch::Count - 1), "v" + std::to_string(pick(0, 999)));
            break;
        }
        case 1:
            page.channelGrid.setColour(pick(1, page.channelCount()), kColourGrey);
            break;
        case 2:
            page.channelGrid.exchangeRows(pick(1, page.channelCount()),
                                          pick(1, page.channelCount()));
            break;
        case 3: {
            auto& list = page.favouriteGrids[static_cast<size_t>(pick(0, fav::Lists - 1))];
            const int s = pick(1, fav::Slots);
            list.setCell(s, fav::Channel, std::to_string(pick(1, page.channelCount())));
            break;
        }
        case 4:
            page.transponderGrid.setCell(pick(1, page.transponderCount()), tp::Frequency, "0");
            break;
        default:
            std::swap(page.satelliteA, page.satelliteB);
            page.configGrid.setCell(pick(1, 8), 1, "L" + std::to_string(pick(0, 9)));
            break;
    }
    page.modified = true;
}

TEST(UndoHistory, RandomSequencesUndoToStartAndRedoToEnd) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 50; ++round) {
        ListPage page = PageOfSize(1 + round % 40, 1 + round % 7);
        const ListPage start = page;
        UndoHistory history(page);
        std::vector<ListPage> states{page};
        const int commands = 1 + static_cast<int>(rng() % 30);
        for (int c = 0; c < commands; ++c) {
            RandomChange(page, rng);
            if (history.commit(page, "step " + std::to_string(c))) states.push_back(page);
        }
        const ListPage end = page;
        // Undo walks back through every recorded state in order.
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.undo(page));
            ASSERT_TRUE(SameContent(page, states[i - 1]))
                << "round " << round << " state " << i - 1;
        }
        EXPECT_FALSE(history.undo(page));
        EXPECT_TRUE(SameContent(page, start));
        EXPECT_FALSE(page.modified) << "back at the opened state";
        while (history.redo(page)) {
        }
        EXPECT_TRUE(SameContent(page, end));
        EXPECT_EQ(page.modified, states.size() > 1);
    }
}

TEST(UndoHistory, StepRowsAreExactlyTheRowsTheStepChanged) {
    struct Case {
        const char* what;
        std::vector<int> channelRows, transponderRows;
        std::vector<int> channels, transponders;
    };
    const Case cases[] = {
        {"one channel", {4}, {}, {4}, {}},
        {"two rows with untouched rows between", {2, 7}, {}, {2, 7}, {}},
        {"first and last row", {1, 10}, {}, {1, 10}, {}},
        {"scattered rows", {1, 3, 4, 9}, {}, {1, 3, 4, 9}, {}},
        {"transponders only", {}, {3, 5}, {}, {3, 5}},
        {"both tables", {9}, {1}, {9}, {1}},
    };
    for (const Case& c : cases) {
        ListPage page = PageOfSize(10, 6);
        UndoHistory history(page);
        EXPECT_EQ(history.undoRows().channels, std::vector<int>{}) << c.what;
        for (int r : c.channelRows) page.channelGrid.setCell(r, ch::Name, "changed");
        for (int r : c.transponderRows) page.transponderGrid.setColour(r, kColourGrey);
        ASSERT_TRUE(history.commit(page, "step")) << c.what;
        EXPECT_EQ(history.undoRows().channels, c.channels) << c.what;
        EXPECT_EQ(history.undoRows().transponders, c.transponders) << c.what;
        EXPECT_EQ(history.redoRows().channels, std::vector<int>{}) << c.what;
        ASSERT_TRUE(history.undo(page));
        EXPECT_EQ(history.redoRows().channels, c.channels) << c.what;
        EXPECT_EQ(history.redoRows().transponders, c.transponders) << c.what;
        EXPECT_EQ(history.undoRows().channels, std::vector<int>{}) << c.what;
    }
}

// After rows moved, what undo and redo select is counted in the table as it then stands:
// undoing a deletion selects the channels that came back, not every row below them, so
// a second Delete cannot take the whole list.
TEST(UndoHistory, StepRowsFollowRowsThatMoved) {
    struct Case {
        const char* what;
        void (*command)(ListPage&);
        std::vector<int> afterUndo, afterRedo;
    };
    const Case cases[] = {
        {"delete 3..5, rows close up",
         [](ListPage& p) {
             NullProgress n;
             DeleteChannels(p, 3, 5, true, n);
         },
         {3, 4, 5},
         {3}},
        {"delete the last row",
         [](ListPage& p) {
             NullProgress n;
             DeleteChannels(p, 10, 10, true, n);
         },
         {10},
         {10}},
        {"delete 3..5, rows emptied in place",
         [](ListPage& p) {
             NullProgress n;
             DeleteChannels(p, 3, 5, false, n);
         },
         {3, 4, 5},
         {3, 4, 5}},
        {"insert at 4",
         [](ListPage& p) {
             testing::ScriptedPrompts yes({Answer::Yes, Answer::Yes});
             InsertEmptyChannel(p, 4, yes);
         },
         {4},
         {4}},
        {"move 2..3 below 8",
         [](ListPage& p) {
             NullProgress n;
             MoveChannels(p, 2, 3, 8, n);
         },
         {2, 3, 4, 5, 6, 7, 8, 9},
         {2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        ListPage page = PageOfSize(10, 2);
        page.channelGrid.setRowCount(11);
        UndoHistory history(page);
        c.command(page);
        ASSERT_TRUE(history.commit(page, "step")) << c.what;
        const auto undone = history.undoRows().channels;
        ASSERT_TRUE(history.undo(page));
        EXPECT_EQ(undone, c.afterUndo) << c.what;
        EXPECT_EQ(history.redoRows().channels, c.afterRedo) << c.what;
    }
}

TEST(UndoHistory, AStepCanCarryTheRowsItsCommandNamed) {
    // A move of 2..3 to 8: a comparison sees rows 2..9 changed; the command knows the
    // block, at 2..3 before and 8..9 after, and the step keeps that through undo and redo.
    ListPage page = PageOfSize(10, 2);
    page.channelGrid.setRowCount(11);
    UndoHistory history(page);
    NullProgress progress;
    MoveChannels(page, 2, 3, 8, progress);
    UndoHistory::TouchedRows before, after;
    before.channels = std::vector<int>{2, 3};
    after.channels = std::vector<int>{8, 9};
    ASSERT_TRUE(history.commit(page, "Spostamento", before, after));
    EXPECT_EQ(history.undoRows().channels, (std::vector<int>{2, 3}));
    ASSERT_TRUE(history.undo(page));
    EXPECT_EQ(history.redoRows().channels, (std::vector<int>{8, 9}));
    ASSERT_TRUE(history.redo(page));
    EXPECT_EQ(history.undoRows().channels, (std::vector<int>{2, 3}));
    // A command that changed nothing records no step and so no rows.
    EXPECT_FALSE(history.commit(page, "nulla", after, before));
    EXPECT_EQ(history.undoRows().channels, (std::vector<int>{2, 3}));
}

// Rows deleted in several blocks, the rows below closing up: a comparison sees every row
// from the first deleted one down changed. The command names them, and a table it does
// not name is still found by comparison.
TEST(UndoHistory, NamedRowsOfOneTableLeaveTheOtherToTheComparison) {
    ListPage page = PageOfSize(12, 6);
    page.channelGrid.setRowCount(13);
    UndoHistory history(page);
    NullProgress progress;
    DeleteChannels(page, 9, 9, true, progress);
    DeleteChannels(page, 4, 5, true, progress);
    DeleteChannels(page, 2, 2, true, progress);
    page.transponderGrid.setCell(4, tp::Frequency, "0");
    UndoHistory::TouchedRows afterUndo, afterRedo;
    afterUndo.channels = std::vector<int>{2, 4, 5, 9};
    afterRedo.channels = std::vector<int>{2};
    ASSERT_TRUE(history.commit(page, "Cancellazione canali", afterUndo, afterRedo));
    EXPECT_EQ(history.undoRows().channels, (std::vector<int>{2, 4, 5, 9}));
    EXPECT_EQ(history.undoRows().transponders, (std::vector<int>{4}));
    ASSERT_TRUE(history.undo(page));
    EXPECT_EQ(page.channelGrid.cell(9, ch::Name), "CH9");
    EXPECT_EQ(history.redoRows().channels, (std::vector<int>{2}));
    EXPECT_EQ(history.redoRows().transponders, (std::vector<int>{4}));
}

TEST(UndoHistory, NamesAndUnchangedCommands) {
    ListPage page = PageOfSize(5, 2);
    UndoHistory history(page);
    EXPECT_EQ(history.undoName(), "");
    EXPECT_FALSE(history.commit(page, "Nothing")) << "a command that changed nothing is no step";
    page.channelGrid.setCell(2, ch::Name, "NEW");
    EXPECT_TRUE(history.commit(page, "Cancellazione canali"));
    page.transponderGrid.setCell(1, tp::Tid, "7");
    EXPECT_TRUE(history.commit(page, "Modifica transponder"));
    EXPECT_EQ(history.undoName(), "Modifica transponder");
    history.undo(page);
    EXPECT_EQ(history.undoName(), "Cancellazione canali");
    EXPECT_EQ(history.redoName(), "Modifica transponder");
    // A new command drops what could have been redone.
    page.channelGrid.setCell(3, ch::Name, "OTHER");
    history.commit(page, "Inserimento canale");
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.stepCount(), 2u);
}

TEST(UndoHistory, ModifiedFlagFollowsTheSavedState) {
    ListPage page = PageOfSize(5, 2);
    UndoHistory history(page);
    page.channelGrid.setCell(1, ch::Name, "A");
    page.modified = true;
    history.commit(page, "one");
    page.channelGrid.setCell(1, ch::Name, "B");
    history.commit(page, "two");
    page.modified = false;  // saved here
    history.markSaved(page);

    history.undo(page);
    EXPECT_TRUE(page.modified) << "one step before the save";
    history.redo(page);
    EXPECT_FALSE(page.modified) << "back at the saved state";
    history.undo(page);
    history.undo(page);
    EXPECT_TRUE(page.modified) << "the opened state is no longer the saved one";

    // Branching away from the saved state makes it unreachable: always modified.
    page.channelGrid.setCell(4, ch::Name, "C");
    history.commit(page, "three");
    history.undo(page);
    EXPECT_TRUE(page.modified);
}

TEST(UndoHistory, UnchangedTablesAreSharedAndMemoryIsBounded) {
    ListPage page = PageOfSize(2000, 50);
    UndoHistory unbounded(page);
    page.transponderGrid.setCell(1, tp::Tid, "1");
    unbounded.commit(page, "small");
    const size_t small = unbounded.bytesHeld();
    for (int r = 1; r <= page.channelCount(); ++r) page.channelGrid.setCell(r, ch::Name, "x");
    unbounded.commit(page, "large");
    EXPECT_GT(unbounded.bytesHeld() - small, 10 * small)
        << "a transponder edit must not copy the channel table";

    ListPage bounded = PageOfSize(2000, 50);
    UndoHistory history(bounded, 3 * (unbounded.bytesHeld() - small));
    for (int i = 0; i < 20; ++i) {
        for (int r = 1; r <= bounded.channelCount(); ++r)
            bounded.channelGrid.setCell(r, ch::Name, "n" + std::to_string(i));
        history.commit(bounded, "edit");
    }
    EXPECT_LE(history.bytesHeld(), 3 * (unbounded.bytesHeld() - small));
    EXPECT_GE(history.stepCount(), 1u);
    EXPECT_LT(history.stepCount(), 20u);
    // The newest steps stay undoable.
    ASSERT_TRUE(history.undo(bounded));
    EXPECT_EQ(bounded.channelGrid.cell(1, ch::Name), "n18");
    while (history.undo(bounded)) {
    }
    EXPECT_TRUE(bounded.modified) << "the opened state was dropped, so nothing reached is clean";
}

// Over the cap the oldest steps go, never the newest: with a cap smaller than any one
// step, the last step stays and can be undone.
TEST(UndoHistory, AStepLargerThanTheWholeCapStaysUndoable) {
    ListPage page = PageOfSize(50, 5);
    UndoHistory history(page, 16);
    page.channelGrid.setCell(1, ch::Name, "uno");
    ASSERT_TRUE(history.commit(page, "first"));
    EXPECT_EQ(history.stepCount(), 1u);
    page.channelGrid.setCell(2, ch::Name, "due");
    ASSERT_TRUE(history.commit(page, "second"));
    EXPECT_EQ(history.stepCount(), 1u);
    EXPECT_EQ(history.undoName(), "second");
    ASSERT_TRUE(history.undo(page));
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "uno");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Name), "CH2");
    EXPECT_FALSE(history.undo(page));
    ASSERT_TRUE(history.redo(page));
    EXPECT_EQ(page.channelGrid.cell(2, ch::Name), "due");
}

// One random command, as the editor runs them: block deletes with and without closing
// the gap, inserts, block moves both ways, favourites moves, renames, row clears and
// updates, transponder removal and optimisation. Returns its name.
std::string RandomCommand(ListPage& page, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    testing::RecordingProgress progress;
    testing::ScriptedPrompts yes({Answer::Yes, Answer::Yes});
    const int channels = page.channelCount();
    const int first = pick(1, channels);
    const int last = std::min(channels, first + pick(0, 2) * pick(0, 20));
    switch (pick(0, 9)) {
        case 0:
            DeleteChannels(page, first, last, pick(0, 1) == 1, progress);
            return "delete";
        case 1:
            InsertEmptyChannel(page, first, yes);
            return "insert";
        case 2: {
            const int limit = MoveLimit(page, first, last);
            if (limit > 1) MoveChannels(page, first, last, pick(1, limit - 1), progress);
            return "move";
        }
        case 3: {
            const int list = pick(0, fav::Lists - 1);
            MoveFavourite(page, list, pick(1, fav::Slots), pick(1, fav::Slots));
            return "favourite";
        }
        case 4:
            page.channelGrid.setCell(first, ch::Name, "R" + std::to_string(pick(0, 99)));
            return "rename";
        case 5:
            ClearChannelRow(page, first);
            return "clear";
        case 6:
            page.channelGrid.setCell(first, ch::Favourites, std::to_string(pick(0, 255)));
            UpdateChannelRow(first, page);
            return "update";
        case 7:
            if (page.transponderCount() > 0)
                RemoveTransponderRow(page, pick(1, page.transponderCount()), progress);
            return "transponder";
        case 8:
            OptimiseTransponderList(page, progress);
            return "optimise";
        default:
            page.channelGrid.exchangeRows(first, last);
            return "exchange";
    }
}

TEST(UndoHistory, RandomCommandsUndoToTheOpenedPageAndRedoToTheLast) {
    std::mt19937 rng(777);
    for (int round = 0; round < 3; ++round) {
        ListPage page = reference::RandomPage(rng, 150 + 60 * round);
        // A few transponders, some shared by channels, some free.
        page.transponderGrid.setRowCount(9);
        for (int t = 1; t <= 8; ++t) {
            page.transponderGrid.setCell(t, tp::Num, std::to_string(t));
            page.transponderGrid.setCell(t, tp::Frequency,
                                         t % 3 == 0 ? "0" : std::to_string(11000 + t % 5));
        }
        for (int n = 1; n <= page.channelCount(); n += 3)
            page.channelGrid.setCell(n, ch::Transponder, std::to_string(1 + n % 8));
        page.modified = false;
        const ListPage opened = page;
        UndoHistory history(page);
        std::vector<ListPage> states{page};
        for (int c = 0; c < 300; ++c) {
            std::string name = "failed";
            // As the editor does: whatever a command changed before it failed is a step.
            try {
                name = RandomCommand(page, rng);
            } catch (const std::exception&) {
            }
            page.modified = true;
            if (history.commit(page, name)) states.push_back(page);
            ASSERT_TRUE(SameContent(page, states.back()))
                << "an unrecorded command changed the page";
        }
        ASSERT_GT(states.size(), 150u) << "most commands change the page";
        EXPECT_EQ(history.stepCount(), states.size() - 1);
        const ListPage last = page;
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.undo(page));
            ASSERT_TRUE(SameContent(page, states[i - 1]))
                << "round " << round << " state " << i - 1;
        }
        EXPECT_TRUE(SameContent(page, opened));
        EXPECT_FALSE(page.modified);
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.redo(page));
            ASSERT_TRUE(SameContent(page, states[i])) << "round " << round << " state " << i;
        }
        EXPECT_TRUE(SameContent(page, last));
        EXPECT_TRUE(page.modified);
    }
}

// A user renaming the channels of the largest page one by one keeps every step: the
// default limit holds 1,000 renames, and undoing them all gives the opened page.
TEST(UndoHistory, AThousandRenamesOnTheFullPageStayUndoable) {
    ListPage page = reference::FullPage(9990);
    const ListPage opened = page;
    UndoHistory history(page);
    for (int i = 0; i < 1000; ++i) {
        page.channelGrid.setCell(1 + (i * 7919) % 9990, ch::Name, "R" + std::to_string(i));
        ASSERT_TRUE(history.commit(page, "rename"));
    }
    EXPECT_EQ(history.stepCount(), 1000u);
    EXPECT_LT(history.bytesHeld(), 64u << 20) << "far below the limit: a rename costs one row";
    int undone = 0;
    while (history.undo(page)) ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_TRUE(SameContent(page, opened));
    EXPECT_FALSE(page.modified);
}

// Moving one channel from far down to the top: every row it passes moves down one place
// but stays the very row the state before holds, so the step holds the block table and
// the few blocks at the ends of the move, not the thousands of rows in between.
TEST(UndoHistory, RowsAfterAMovedChannelAreSharedWithTheStateBefore) {
    ListPage page = reference::FullPage(9990);
    const PageContent before = PageContent::capture(page);
    testing::RecordingProgress progress;
    ASSERT_TRUE(MoveChannels(page, 9000, 9000, 1, progress).changed);
    const PageContent after = PageContent::capture(page, &before);
    const Grid& was = *before.channels;
    const Grid& now = *after.channels;
    EXPECT_EQ(now.cell(1, ch::Name), "CH9000");
    EXPECT_EQ(now.cell(1, ch::Num), "1");
    EXPECT_EQ(now.cell(2, ch::Name), "CH1");
    EXPECT_EQ(now.cell(2, ch::Num), "2");
    EXPECT_EQ(now.cell(9000, ch::Num), "9000");
    EXPECT_EQ(&now.row(1), &was.row(9000)) << "the moved channel is the same row";
    for (int r = 1; r < 9000; ++r)
        ASSERT_EQ(&now.row(r + 1), &was.row(r)) << "row " << r << " was copied";
    for (int r = 9001; r <= 9990; ++r)
        ASSERT_EQ(&now.row(r), &was.row(r)) << "row " << r << " was copied";
    // The channel table before held about 4 MB; the step holds a few kilobytes of it.
    EXPECT_LE(now.bytesNotSharedWith(&was), 16u * 1024);
    EXPECT_GT(was.bytesNotSharedWith(nullptr), 2u << 20);
}

// The single-channel commands on the full page with all eight favourites lists full:
// every entry naming a channel below the first row changes its number, but the lists'
// rows stay the rows the state before holds (the numbers are kept beside them), so a
// step holds new rows only for entries that left a list. The entries read their new
// numbers, worked out here from where each entry's channel went.
TEST(UndoHistory, FavouritesRowsAreSharedAfterSingleChannelCommands) {
    struct Case {
        const char* what;
        bool (*command)(ListPage&);
        // The row channel n stands at afterwards, or 0 where it left the lists.
        int (*newRow)(int n);
        int newRowsAtMost;  // rows of all eight lists not shared with the state before
    };
    const Case cases[] = {
        {"move 9,000 to row 1",
         [](ListPage& page) {
             testing::RecordingProgress progress;
             return MoveChannels(page, 9000, 9000, 1, progress).changed;
         },
         [](int n) { return n == 9000  ? 1
                            : n < 9000 ? n + 1
                                       : n; }, 0},
        {"insert at row 1",
         [](ListPage& page) {
             testing::ScriptedPrompts yes({Answer::Yes});
             return InsertEmptyChannel(page, 1, yes).changed;
         },
         [](int n) { return n == 9990 ? 0 : n + 1; }, fav::Lists},
        {"delete row 1",
         [](ListPage& page) {
             testing::RecordingProgress progress;
             return DeleteChannels(page, 1, 1, true, progress).changed;
         },
         [](int n) { return n == 1 ? 0 : n - 1; }, fav::Lists},
    };
    const ListPage opened = reference::FullPage(9990);
    for (const Case& c : cases) {
        ListPage page = opened;
        const PageContent before = PageContent::capture(page);
        ASSERT_TRUE(c.command(page)) << c.what;
        const PageContent after = PageContent::capture(page, &before);
        int newRows = 0;
        int renumbered = 0;
        for (int k = 0; k < fav::Lists; ++k) {
            const Grid& was = *before.favourites[static_cast<size_t>(k)];
            const Grid& now = *after.favourites[static_cast<size_t>(k)];
            std::vector<const GridRow*> old;
            for (int s = 0; s < was.rowCount(); ++s) old.push_back(&was.row(s));
            std::sort(old.begin(), old.end());
            std::vector<std::string> expected;
            for (int s = 1; s < was.rowCount(); ++s) {
                const int n = std::stoi(was.cell(s, fav::Channel));
                if (n == 0) continue;
                if (const int to = c.newRow(n)) expected.push_back(std::to_string(to));
            }
            ASSERT_EQ(now.rowCount(), was.rowCount()) << c.what;
            for (int s = 1; s < now.rowCount(); ++s) {
                if (!std::binary_search(old.begin(), old.end(), &now.row(s))) ++newRows;
                const std::string want = s <= static_cast<int>(expected.size())
                                             ? expected[static_cast<size_t>(s - 1)]
                                             : "0";
                ASSERT_EQ(now.cell(s, fav::Channel), want)
                    << c.what << ", list " << k + 1 << ", slot " << s;
                if (now.cell(s, fav::Channel) != was.cell(s, fav::Channel)) ++renumbered;
            }
        }
        EXPECT_GT(renumbered, 800) << c.what << ": nearly every entry names a channel that moved";
        EXPECT_LE(newRows, c.newRowsAtMost) << c.what;
    }
}

// The user moving channel 9,000 to the top of the full page a thousand times keeps every
// step under the default limit, and undoing them all gives the opened page.
TEST(UndoHistory, AThousandMovesToTheTopOnTheFullPageStayUndoable) {
    ListPage page = reference::FullPage(9990);
    const ListPage opened = page;
    UndoHistory history(page);
    testing::RecordingProgress progress;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(MoveChannels(page, 9000, 9000, 1, progress).changed);
        ASSERT_TRUE(history.commit(page, "Sposta"));
    }
    EXPECT_EQ(history.stepCount(), 1000u);
    // After 1,000 moves the channels first at 8,001 .. 9,000 stand at the top, the last
    // moved first.
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "CH8001");
    EXPECT_EQ(page.channelGrid.cell(1000, ch::Name), "CH9000");
    EXPECT_EQ(page.channelGrid.cell(1001, ch::Name), "CH1");
    EXPECT_EQ(page.channelGrid.cell(1001, ch::Num), "1001");
    int undone = 0;
    while (history.undo(page)) ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_TRUE(SameContent(page, opened));
    EXPECT_FALSE(page.modified);
}

}  // namespace
}  // namespace rivo
