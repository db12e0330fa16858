// Taking a favourites entry from one slot to another in one step (a drag in the
// editor) against the single up / down moves it stands for.
#include <gtest/gtest.h>

#include <random>

#include "channel_edit_fakes.h"
#include "channel_pages.h"
#include "editing/channel_edit.h"

namespace rivo {
namespace {

using testing::AddEntry;
using testing::ChannelPage;
using testing::Entries;
using testing::ScriptedPrompts;
using Strings = std::vector<std::string>;

// The single moves one after the other; false when one of them was refused.
bool RepeatedMoves(ListPage& page, int list, int from, int to) {
    ScriptedPrompts prompts;
    for (int slot = from; slot != to;) {
        const EditResult step = to > from ? MoveFavouriteDown(page, list, slot, prompts)
                                          : MoveFavouriteUp(page, list, slot, prompts);
        if (!step.changed) return false;
        slot = step.focusRow;
    }
    return true;
}

TEST(MoveFavourite, GivesTheResultOfRepeatedSingleMoves) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 200; ++round) {
        ListPage page = ChannelPage(40);
        const int list = static_cast<int>(random() % fav::Lists);
        const int entries = 1 + static_cast<int>(random() % 30);
        for (int e = 0; e < entries; ++e) AddEntry(page, list + 1, 1 + static_cast<int>(random() % 40));
        // Now and then a grey hole inside the list: down moves stop there.
        if (random() % 3 == 0) page.favouriteGrids[static_cast<size_t>(list)].setColour(1 + random() % entries, kColourGrey);
        const int from = 1 + static_cast<int>(random() % (entries + 2));
        const int to = 1 + static_cast<int>(random() % (entries + 3));
        SCOPED_TRACE("list " + std::to_string(list) + " " + std::to_string(from) + " -> " + std::to_string(to));

        const ListPage original = page;
        ListPage expected = page;
        const bool possible = from != to && RepeatedMoves(expected, list, from, to);
        EXPECT_EQ(FavouriteMoveAllowed(page, list, from, to), possible);
        const EditResult result = MoveFavourite(page, list, from, to);
        EXPECT_EQ(result.changed, possible);
        EXPECT_EQ(page.modified, possible);
        if (possible) {
            EXPECT_EQ(result.focusRow, to);
            EXPECT_TRUE(page.favouriteGrids == expected.favouriteGrids);
        } else {
            EXPECT_TRUE(page.favouriteGrids == original.favouriteGrids);
        }
        EXPECT_TRUE(page.channelGrid == expected.channelGrid);
        EXPECT_TRUE(testing::ListsWellFormed(page));
    }
}

TEST(MoveFavourite, RefusedMovesChangeNothingAndAskNothing) {
    ListPage page = ChannelPage(10);
    for (int c : {1, 2, 3, 4}) AddEntry(page, 2, c);
    const ListPage before = page;
    struct Case {
        int list, from, to;
    };
    for (const Case c : {Case{1, 2, 5},    // down onto the first empty slot
                         Case{1, 3, 3},    // onto itself
                         Case{1, 0, 2},    // no such slot
                         Case{1, 2, 129},  // past the last slot
                         Case{-1, 2, 1},   // no list
                         Case{8, 2, 1}}) {
        SCOPED_TRACE(std::to_string(c.list) + ": " + std::to_string(c.from) + " -> " + std::to_string(c.to));
        EXPECT_FALSE(FavouriteMoveAllowed(page, c.list, c.from, c.to));
        EXPECT_FALSE(MoveFavourite(page, c.list, c.from, c.to).changed);
        EXPECT_TRUE(page.favouriteGrids == before.favouriteGrids);
        EXPECT_FALSE(page.modified);
    }
    // Up into empty slots is allowed, as the up button allows it.
    page.favouriteGrids[1].exchangeRows(1, 10);
    EXPECT_TRUE(MoveFavourite(page, 1, 10, 1).changed);
    EXPECT_EQ(Entries(page, 2), (Strings{"1", "2", "3", "4"}));
    EXPECT_EQ(page.favouriteGrids[1].colour(2), kColourGrey);
}

}  // namespace
}  // namespace rivo
