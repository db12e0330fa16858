// The row primitives: emptying a channel row, copying one onto another, and bringing
// the lists in line with a row after its properties changed.
#include <gtest/gtest.h>

#include <algorithm>

#include "channel_colour_cases.h"
#include "channel_pages.h"
#include "editing/channel_rows.h"

namespace rivo {
namespace {

using testing::AddEntry;
using testing::ChannelPage;
using testing::Entries;
using Strings = std::vector<std::string>;

TEST(ClearChannelRow, TakesTheFirstEntryOutOfTheListsItsSetNames) {
    ListPage page = ChannelPage(6);
    AddEntry(page, 1, 4);
    AddEntry(page, 1, 2);
    AddEntry(page, 1, 4);         // a second entry: only the first goes
    AddEntry(page, 2, 4, false);  // list 2's bit is clear: not searched
    AddEntry(page, 3, 4);
    ClearChannelRow(page, 4);
    EXPECT_TRUE(testing::IsEmptyChannel(page, 4));
    EXPECT_EQ(page.channelGrid.cell(4, ch::Num), "4");
    EXPECT_EQ(Entries(page, 1), (Strings{"2", "4"}));
    EXPECT_EQ(Entries(page, 2), (Strings{"4"}));
    EXPECT_TRUE(Entries(page, 3).empty());
    const Grid& list1 = page.favouriteGrids[0];
    EXPECT_EQ(list1.cell(1, fav::Name), "C2");
    EXPECT_EQ(list1.colour(fav::Slots), kColourGrey);
    EXPECT_TRUE(testing::ListsWellFormed(page));
}

TEST(ClearChannelRow, FavouritesSetThatIsNotANumberCountsAsNone) {
    ListPage page = ChannelPage(3);
    AddEntry(page, 1, 2);
    page.channelGrid.setCell(2, ch::Favourites, "x1");
    ClearChannelRow(page, 2);
    EXPECT_TRUE(testing::IsEmptyChannel(page, 2));
    EXPECT_EQ(Entries(page, 1), (Strings{"2"}));
}

TEST(MoveChannelRow, CopiesTheRowAndRenamesEveryEntryOnlyForAChannelInLists) {
    for (const bool inLists : {true, false}) {
        ListPage page = ChannelPage(5);
        AddEntry(page, 1, 2, inLists);
        AddEntry(page, 1, 2, false);
        AddEntry(page, 6, 2, false);  // whatever the bits
        AddEntry(page, 6, 3);
        page.channelGrid.setColour(2, kColourRadio);
        MoveChannelRow(page, 2, 5);
        EXPECT_TRUE(page.channelGrid.row(5) == page.channelGrid.row(2));  // column 0 included
        EXPECT_EQ(page.channelGrid.cell(2, ch::Name), "C2");              // source as it was
        EXPECT_EQ(page.channelGrid.colour(5), kColourRadio);
        EXPECT_EQ(Entries(page, 1), inLists ? (Strings{"5", "5"}) : (Strings{"2", "2"}));
        EXPECT_EQ(Entries(page, 6), inLists ? (Strings{"5", "3"}) : (Strings{"2", "3"}));
    }
}

TEST(UpdateChannelRow, ColourFollowsThePidsAndAttivo) {
    for (const auto& c : testsupport::ChannelColourCases()) {
        ListPage page = ChannelPage(1);
        page.channelGrid.setCell(1, ch::VPid, c.vpid);
        page.channelGrid.setCell(1, ch::APid, c.apid);
        page.channelGrid.setCell(1, ch::Status, c.status);
        UpdateChannelRow(1, page);
        EXPECT_EQ(page.channelGrid.colour(1), c.colour)
            << c.vpid << " " << c.apid << " " << c.status;
    }
}

TEST(UpdateChannelRow, ActiveChannelJoinsTheFirstFreeSlotOfEachListItNames) {
    ListPage page = ChannelPage(200);
    AddEntry(page, 3, 1);
    AddEntry(page, 3, 2);
    page.favouriteGrids[2].setCell(1, fav::Channel, "0");  // a free slot before the others
    AddEntry(page, 4, 7);                                  // already there: kept, renamed
    page.favouriteGrids[3].setCell(1, fav::Name, "OLD");
    for (int c = 1; c <= 128; ++c) AddEntry(page, 5, c + 10, false);  // full
    page.channelGrid.setCell(7, ch::VPid, "65535");
    page.channelGrid.setCell(7, ch::Favourites, std::to_string(4 + 8 + 16));
    UpdateChannelRow(7, page);

    const Grid& list3 = page.favouriteGrids[2];
    EXPECT_EQ(list3.cell(1, fav::Channel), "7");
    EXPECT_EQ(list3.cell(1, fav::Name), "C7");
    EXPECT_EQ(list3.colour(1), kColourRadio);
    EXPECT_EQ(Entries(page, 3), (Strings{"7", "2"}));
    EXPECT_EQ(Entries(page, 4), (Strings{"7"}));
    // The entry shows the channel's name and colour as they are now.
    EXPECT_EQ(page.favouriteGrids[3].cell(1, fav::Name), "C7");
    EXPECT_EQ(page.favouriteGrids[3].colour(1), kColourRadio);
    const Strings full = Entries(page, 5);
    EXPECT_EQ(full.size(), 128u);
    EXPECT_EQ(std::count(full.begin(), full.end(), "7"), 0);
    // The full list 5 did not take the channel: "Preferenza" names lists 3 and 4 only.
    EXPECT_EQ(page.channelGrid.cell(7, ch::Favourites), std::to_string(4 + 8));
}

TEST(UpdateChannelRow, AnEntryIsFoundByItsNumberNotItsText) {
    // A list already holding channel 7 under another spelling of the number gains no
    // second entry; a list holding 70 or 17 still gains one.
    struct Case {
        const char* held;
        Strings after;
    };
    for (const Case& c : {Case{"07", {"07"}}, Case{"007", {"007"}}, Case{"7", {"7"}},
                          Case{"70", {"70", "7"}}, Case{"17", {"17", "7"}}}) {
        SCOPED_TRACE(c.held);
        ListPage page = ChannelPage(80);
        AddEntry(page, 4, 1, false);
        page.favouriteGrids[3].setCell(1, fav::Channel, c.held);
        page.channelGrid.setCell(7, ch::Favourites, "8");  // list 4
        UpdateChannelRow(7, page);
        EXPECT_EQ(Entries(page, 4), c.after);
    }
}

// How an inactive channel's entries follow its bits under each rule: the dialog's
// (leaves every list, bits kept), a rename's (stays where it is), a paste's (joins).
TEST(UpdateChannelRows, InactiveChannelUnderEachRule) {
    struct Case {
        InactiveInLists rule;
        Strings list2, list3;  // channel 4 was in list 2 (bit set) and list 5 (bit clear)
        const char* favourites;
    } cases[] = {
        {InactiveInLists::Leave, {"1"}, {"1"}, "6"},
        {InactiveInLists::Stay, {"1", "4"}, {"1"}, "6"},
        {InactiveInLists::Join, {"1", "4"}, {"1", "4"}, "6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.rule));
        ListPage page = ChannelPage(6);
        AddEntry(page, 2, 1);
        AddEntry(page, 2, 4);
        AddEntry(page, 3, 1);
        AddEntry(page, 5, 4);
        page.channelGrid.setCell(4, ch::Favourites, "6");  // lists 2 and 3
        page.channelGrid.setCell(4, ch::Status, "00");
        UpdateChannelRows({4}, page, c.rule);
        EXPECT_EQ(Entries(page, 2), c.list2);
        EXPECT_EQ(Entries(page, 3), c.list3);
        EXPECT_TRUE(Entries(page, 5).empty());
        EXPECT_EQ(page.channelGrid.cell(4, ch::Favourites), c.favourites);
        EXPECT_EQ(page.channelGrid.colour(4), kColourGrey);
    }
}

TEST(UpdateChannelRow, ClearedBitOrInactiveChannelRemovesEveryEntry) {
    ListPage page = ChannelPage(6);
    for (int c : {3, 5, 3, 6, 3}) AddEntry(page, 2, c, false);
    AddEntry(page, 7, 3);
    page.favouriteGrids[1].setCell(3, fav::Channel, "03");  // read as a number: also channel 3
    page.channelGrid.setCell(3, ch::Favourites, "64");      // list 7 only
    UpdateChannelRow(3, page);
    EXPECT_EQ(Entries(page, 2), (Strings{"5", "6"}));
    EXPECT_EQ(Entries(page, 7), (Strings{"3"}));
    const Grid& list2 = page.favouriteGrids[1];
    EXPECT_EQ(list2.colour(fav::Slots), kColourGrey);
    EXPECT_EQ(list2.cell(2, fav::Pos), "2");
    EXPECT_EQ(list2.cell(2, fav::Name), "C6");

    // Inactive: out of list 7, "Preferenza" kept; active again: back in list 7 with
    // the channel colour.
    AddEntry(page, 7, 5);
    page.channelGrid.setCell(3, ch::Status, "00");
    UpdateChannelRow(3, page);
    EXPECT_EQ(Entries(page, 7), (Strings{"5"}));
    EXPECT_EQ(page.channelGrid.cell(3, ch::Favourites), "64");
    EXPECT_EQ(page.channelGrid.colour(3), kColourGrey);
    page.channelGrid.setCell(3, ch::Status, "04");
    UpdateChannelRow(3, page);
    EXPECT_EQ(Entries(page, 7), (Strings{"5", "3"}));
    EXPECT_EQ(page.favouriteGrids[6].colour(2), kColourChannel);
    // The bit of list 7 cleared: out of the list, and "Preferenza" 0.
    page.channelGrid.setCell(3, ch::Favourites, "0");
    UpdateChannelRow(3, page);
    EXPECT_EQ(Entries(page, 7), (Strings{"5"}));
    EXPECT_EQ(page.channelGrid.cell(3, ch::Favourites), "0");
    EXPECT_TRUE(testing::ListsWellFormed(page));
}

// "Num." is the row's position: a write to it changes nothing, and the rows of a
// page read 1 .. N whatever was written.
TEST(ChannelNumbers, ReadTheRowsPositionWhateverIsWritten) {
    ListPage page = ChannelPage(4);
    page.channelGrid.setCell(2, ch::Num, "9");
    page.channelGrid.setCell(4, ch::Num, "");
    page.channelGrid.row(3).cells[ch::Num] = "7";
    EXPECT_TRUE(testing::NumberedInOrder(page));
    EXPECT_EQ(page.channelGrid.cell(2, ch::Num), "2");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Num), "3");
    EXPECT_EQ(page.channelGrid.cell(4, ch::Num), "4");
    EXPECT_EQ(page.channelGrid.cell(0, ch::Num), "Num.");
}

}  // namespace
}  // namespace rivo
