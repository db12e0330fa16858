// The channel commands on small hand-made pages: what the user is asked, what the
// rows and the favourites lists look like afterwards, and the modified flag.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "channel_edit_fakes.h"
#include "channel_number_cases.h"
#include "channel_pages.h"
#include "editing/channel_edit.h"

namespace rivo {
namespace {

using testing::AddEntry;
using testing::ChannelPage;
using testing::Entries;
using testing::Names;
using testing::RecordingProgress;
using testing::ScriptedPrompts;
using Strings = std::vector<std::string>;

// ---- deleting -------------------------------------------------------------------------

struct DeleteCase {
    Answer answer;
    int first, last;
    Strings names;
    bool changed;
    std::string countLine;  // after the question, for a block of more than one row
};

TEST(DeleteSelectedChannels, AnswersDecideBetweenClosingTheGapKeepingRowsAndNothing) {
    const DeleteCase cases[] = {
        {Answer::Cancel,
         2,
         3,
         {"C1", "C2", "C3", "C4", "C5", "C6"},
         false,
         "\n(2 canali selezionati)"},
        {Answer::No, 2, 3, {"C1", "", "", "C4", "C5", "C6"}, true, "\n(2 canali selezionati)"},
        {Answer::Yes, 2, 3, {"C1", "C4", "C5", "C6", "", ""}, true, "\n(2 canali selezionati)"},
        {Answer::No, 4, 4, {"C1", "C2", "C3", "", "C5", "C6"}, true, ""},
        {Answer::Yes, 1, 1, {"C2", "C3", "C4", "C5", "C6", ""}, true, ""},
        // selection reaches N
        {Answer::Yes, 5, 6, {"C1", "C2", "C3", "C4", "", ""}, true, "\n(2 canali selezionati)"},
        {Answer::Yes, 1, 6, {"", "", "", "", "", ""}, true, "\n(6 canali selezionati)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        ListPage page = ChannelPage(6);
        const ListPage before = page;
        ScriptedPrompts prompts({c.answer});
        RecordingProgress progress;
        const EditResult result = DeleteSelectedChannels(page, c.first, c.last, prompts, progress);

        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(
            prompts.asked[0].text,
            "Vuoi spostare i canali successivi verso l'altro?\n"
            "* Si: verrà cancellato il canale selezionato ed successivi verrano spostati in alto\n"
            "* No: Verrà cancellato il canale selezionato ed il suo posto rimarra inattivo\n"
            "* Annulla: il canale non verrà cancellato" +
                c.countLine);
        EXPECT_EQ(prompts.asked[0].title, "Cancellazione canale");
        EXPECT_EQ(prompts.asked[0].icon, Icon::Warning);
        EXPECT_EQ(prompts.asked[0].buttons, Buttons::YesNoCancel);

        EXPECT_EQ(Names(page), c.names);
        EXPECT_EQ(result.changed, c.changed);
        EXPECT_EQ(page.modified, c.changed);
        EXPECT_TRUE(testing::NumberedInOrder(page));
        if (!c.changed) {
            EXPECT_TRUE(page.channelGrid == before.channelGrid);
            EXPECT_TRUE(progress.events.empty());
            continue;
        }
        for (int r = 1; r <= 6; ++r)
            EXPECT_EQ(testing::IsEmptyChannel(page, r), c.names[static_cast<size_t>(r - 1)].empty())
                << r;
        // A channel keeps everything it had, not only its name: "Ck" has SID 100 + k.
        for (int r = 1; r <= 6; ++r) {
            const std::string& name = c.names[static_cast<size_t>(r - 1)];
            if (!name.empty()) {
                EXPECT_EQ(page.channelGrid.cell(r, ch::Sid),
                          std::to_string(100 + std::stoi(name.substr(1))));
            }
        }
        EXPECT_EQ(progress.events, (Strings{"show 0", "status Cancellazione in corso...", "set 100",
                                            "status ", "hide"}));
    }
}

TEST(DeleteSelectedChannels, DeletedChannelLeavesItsListsAndFollowingEntriesMoveUp) {
    ListPage page = ChannelPage(12);
    AddEntry(page, 1, 3);
    AddEntry(page, 1, 5);  // channel 5 in lists 1 and 3
    AddEntry(page, 1, 9);
    AddEntry(page, 3, 5);
    AddEntry(page, 3, 12);
    AddEntry(page, 2, 7);
    AddEntry(page, 2, 10, false);  // channel 10's "Preferenza" is 0: its entry stays behind
    ScriptedPrompts prompts({Answer::Yes});
    RecordingProgress progress;
    DeleteSelectedChannels(page, 5, 5, prompts, progress);

    EXPECT_EQ(Entries(page, 1), (Strings{"3", "8"}));
    EXPECT_EQ(Entries(page, 3), (Strings{"11"}));
    EXPECT_EQ(Entries(page, 2), (Strings{"6", "10"}));
    for (int list : {1, 3}) {
        const Grid& grid = page.favouriteGrids[static_cast<size_t>(list - 1)];
        EXPECT_EQ(grid.cell(fav::Slots, fav::Channel), "0");
        EXPECT_EQ(grid.cell(fav::Slots, fav::Name), "");
        EXPECT_EQ(grid.colour(fav::Slots), kColourGrey);
        EXPECT_EQ(grid.cell(2, fav::Name), list == 1 ? "C9" : "");  // moved up with its name
    }
    EXPECT_TRUE(testing::ListsWellFormed(page));
}

TEST(DeleteSelectedChannels, KeepingTheRowsOnlyTakesTheChannelsOutOfTheirLists) {
    ListPage page = ChannelPage(8);
    AddEntry(page, 4, 2);
    AddEntry(page, 4, 3);
    AddEntry(page, 4, 6);
    ScriptedPrompts prompts({Answer::No});
    RecordingProgress progress;
    DeleteSelectedChannels(page, 2, 3, prompts, progress);
    EXPECT_EQ(Entries(page, 4), (Strings{"6"}));
    EXPECT_EQ(page.channelGrid.cell(6, ch::Name), "C6");
}

TEST(DeleteSelectedChannels, NoSelectionOrNoChannelsAsksNothing) {
    for (const auto& [n, first, last] : {std::tuple{0, 1, 1}, {5, 0, 2}, {5, 3, 2}, {5, 4, 6}}) {
        ListPage page = ChannelPage(n);
        ScriptedPrompts prompts({Answer::Yes});
        RecordingProgress progress;
        EXPECT_FALSE(DeleteSelectedChannels(page, first, last, prompts, progress).changed);
        EXPECT_TRUE(prompts.asked.empty());
        EXPECT_FALSE(page.modified);
    }
}

// ---- inserting ------------------------------------------------------------------------

// One table for the insert command: the question about the last row (asked only when
// that row is in use), what No keeps, and the lists afterwards. The lost channel's
// entries must not come to name the channel that moves into its row, whatever its colour.
TEST(InsertEmptyChannel, QuestionRowsAndListsAcrossTheCases) {
    struct Case {
        const char* what;
        int channels;
        std::function<void(ListPage&)> setup;
        int row;
        std::deque<Answer> answers;
        bool asked;
        bool changed;
        Strings names;
        std::vector<std::pair<int, Strings>> lists;  // list number, its entries afterwards
    };
    const auto freeLast = [](ListPage& page) {
        page.channelGrid.setColour(5, kColourGrey);
        page.channelGrid.setCell(5, ch::Name, "");
        AddEntry(page, 1, 2);
        AddEntry(page, 1, 4);
    };
    const auto lastInLists = [](bool active) {
        return [active](ListPage& page) {
            if (!active) {
                page.channelGrid.setCell(4, ch::Status, "00");
                page.channelGrid.setColour(4, kColourGrey);  // inactive, still in a list
            }
            AddEntry(page, 1, 4);
            AddEntry(page, 1, 1);
            AddEntry(page, 2, 3);
        };
    };
    const std::vector<Case> cases = {
        {"free last row",
         5,
         freeLast,
         2,
         {},
         false,
         true,
         {"C1", "", "C2", "C3", "C4"},
         {{1, {"3", "5"}}}},
        {"last in use, No",
         4,
         [](ListPage&) {},
         1,
         {Answer::No},
         true,
         false,
         {"C1", "C2", "C3", "C4"},
         {}},
        {"last in use, Yes",
         4,
         [](ListPage&) {},
         1,
         {Answer::Yes},
         true,
         true,
         {"", "C1", "C2", "C3"},
         {}},
        {"last active in lists",
         4,
         lastInLists(true),
         2,
         {Answer::Yes},
         true,
         true,
         {"C1", "", "C2", "C3"},
         {{1, {"1"}}, {2, {"4"}}}},
        {"last inactive in lists",
         4,
         lastInLists(false),
         2,
         {},
         false,
         true,
         {"C1", "", "C2", "C3"},
         {{1, {"1"}}, {2, {"4"}}}},
        {"at the last row",
         3,
         [](ListPage& page) { AddEntry(page, 5, 3); },
         3,
         {Answer::Yes},
         true,
         true,
         {"C1", "C2", ""},
         {{5, {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage page = ChannelPage(c.channels);
        c.setup(page);
        ScriptedPrompts prompts(c.answers);
        const EditResult result = InsertEmptyChannel(page, c.row, prompts);
        ASSERT_EQ(prompts.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(prompts.asked[0].text,
                      "Attenzione, in questo modo eliminerete l'ultimo canale.Continuare?");
            EXPECT_EQ(prompts.asked[0].title, "Ocio");
            EXPECT_EQ(prompts.asked[0].icon, Icon::Warning);
            EXPECT_EQ(prompts.asked[0].buttons, Buttons::YesNo);
        }
        // An insertion alone must be savable.
        EXPECT_EQ(result.changed, c.changed);
        EXPECT_EQ(page.modified, c.changed);
        EXPECT_EQ(Names(page), c.names);
        if (c.changed) {
            EXPECT_TRUE(testing::IsEmptyChannel(page, c.row));
        }
        EXPECT_TRUE(testing::NumberedInOrder(page));
        for (const auto& [list, entries] : c.lists) {
            EXPECT_EQ(Entries(page, list), entries) << "list " << list;
            EXPECT_EQ(page.favouriteGrids[static_cast<size_t>(list - 1)].colour(fav::Slots),
                      kColourGrey);
        }
    }
}

// ---- the channel number dialog ------------------------------------------------------

TEST(ChannelNumber, AcceptsOnlyWholeNumbersBelowTheLimit) {
    for (const auto& c : testsupport::ChannelNumberCases()) {
        SCOPED_TRACE("'" + c.text + "' limit " + std::to_string(c.limit));
        EXPECT_EQ(ChannelNumberAccepted(c.text, c.limit), c.accepted);
        ScriptedPrompts prompts;
        EXPECT_EQ(CheckChannelNumber(c.text, c.limit, prompts), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(prompts.asked.empty());
        } else {
            ASSERT_EQ(prompts.asked.size(), 1u);
            EXPECT_EQ(prompts.asked[0].text, "Inserire un canale corretto");
            EXPECT_EQ(prompts.asked[0].title, "Errore");
            EXPECT_EQ(prompts.asked[0].icon, Icon::Error);
            EXPECT_EQ(prompts.asked[0].buttons, Buttons::Ok);
        }
    }
    EXPECT_EQ(ChannelNumberValue("x"), -1);
    EXPECT_EQ(ChannelNumberValue("42"), 42);
}

TEST(ChannelNumber, LimitsLetTheBlockFit) {
    const ListPage page = ChannelPage(20);
    EXPECT_EQ(GoToLimit(page), 21);
    EXPECT_EQ(MoveLimit(page, 5, 7), 19);  // targets 1 .. 18: rows 18 .. 20 hold the block
    EXPECT_EQ(MoveLimit(page, 1, 20), 2);  // all rows selected: only 1
    EXPECT_EQ(GoToLimit(ChannelPage(0)), 1);
    EXPECT_EQ(GoToChannel(page, 20).focusRow, 20);
    EXPECT_EQ(GoToChannel(page, 21).focusRow, 0);
    EXPECT_FALSE(GoToChannel(page, 3).changed);
}

// ---- moving channels ----------------------------------------------------------------

TEST(MoveChannels, BlockLandsAtTheTargetAndTheOthersCloseUp) {
    struct Case {
        int n, first, last, target;
        std::vector<int> order;  // former row of each row afterwards
    };
    const Case cases[] = {
        {12, 3, 4, 10, {1, 2, 5, 6, 7, 8, 9, 10, 11, 3, 4, 12}},
        {12, 10, 11, 3, {1, 2, 10, 11, 3, 4, 5, 6, 7, 8, 9, 12}},
        {9, 5, 7, 6, {1, 2, 3, 4, 8, 5, 6, 7, 9}},
        {6, 2, 3, 2, {1, 2, 3, 4, 5, 6}},
        {4, 1, 4, 1, {1, 2, 3, 4}},
        {5, 5, 5, 1, {5, 1, 2, 3, 4}},
        {5, 1, 1, 5, {2, 3, 4, 5, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last) + " to " +
                     std::to_string(c.target));
        ListPage page = ChannelPage(c.n);
        RecordingProgress progress;
        const EditResult result = MoveChannels(page, c.first, c.last, c.target, progress);
        Strings expected;
        for (int former : c.order) expected.push_back("C" + std::to_string(former));
        EXPECT_EQ(Names(page), expected);
        EXPECT_TRUE(testing::NumberedInOrder(page));
        EXPECT_TRUE(result.changed);  // also when the block stays where it was
        EXPECT_TRUE(page.modified);
        EXPECT_EQ(progress.events, (Strings{"status Spostamento...", "show 0", "hide", "status "}));
    }
}

TEST(MoveChannels, EntriesFollowChannelsThatNameTheirLists) {
    ListPage page = ChannelPage(25);
    AddEntry(page, 2, 12);
    AddEntry(page, 2, 15);
    AddEntry(page, 2, 12);         // a second entry of the same channel follows too
    AddEntry(page, 3, 12, false);  // an entry in a list whose bit is clear follows as well
    RecordingProgress progress;
    MoveChannels(page, 12, 12, 20, progress);
    EXPECT_EQ(Entries(page, 2), (Strings{"20", "14", "20"}));
    EXPECT_EQ(Entries(page, 3), (Strings{"20"}));
}

// A block move parks channels in a spare row N + 1 on the way; an entry that reads
// N + 1 names no channel and must not be taken for one passing through.
TEST(MoveChannels, EntriesNamingNoChannelStayAsTheyAre) {
    ListPage page = ChannelPage(6);
    AddEntry(page, 1, 2);
    Grid& list = page.favouriteGrids[0];
    list.setCell(2, fav::Channel, "7");
    list.setColour(2, kColourChannel);
    RecordingProgress progress;
    MoveChannels(page, 2, 3, 4, progress);
    EXPECT_EQ(Entries(page, 1), (Strings{"4", "7"}));
}

TEST(MoveChannels, TargetsOutsideTheFittingRangeChangeNothing) {
    for (const auto& [first, last, target] :
         {std::tuple{2, 4, 8}, {2, 4, 0}, {0, 2, 1}, {3, 9, 1}}) {
        ListPage page = ChannelPage(8);
        RecordingProgress progress;
        EXPECT_FALSE(MoveChannels(page, first, last, target, progress).changed);
        EXPECT_FALSE(page.modified);
        EXPECT_TRUE(progress.events.empty());
    }
}

// ---- favourites order ---------------------------------------------------------------

TEST(FavouriteOrder, EntriesExchangeWithTheirNeighbourAndTheFocusFollows) {
    ListPage page = ChannelPage(5);
    for (int c : {1, 2, 3}) AddEntry(page, 4, c);
    ScriptedPrompts prompts;

    EditResult result = MoveFavouriteDown(page, 3, 1, prompts);
    EXPECT_EQ(Entries(page, 4), (Strings{"2", "1", "3"}));
    EXPECT_EQ(result.focusRow, 2);
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(page.modified);

    page.modified = false;
    result = MoveFavouriteUp(page, 3, 3, prompts);
    EXPECT_EQ(Entries(page, 4), (Strings{"2", "3", "1"}));
    EXPECT_EQ(result.focusRow, 2);
    EXPECT_TRUE(page.modified);
    const Grid& grid = page.favouriteGrids[3];
    EXPECT_EQ(grid.cell(2, fav::Name), "C3");
    for (int s = 1; s <= 4; ++s) EXPECT_EQ(grid.cell(s, fav::Pos), std::to_string(s));

    // Up does not look at the slot above: an entry below an empty slot climbs into it.
    Grid& list5 = page.favouriteGrids[4];
    list5.setCell(3, fav::Name, "C5");
    list5.setCell(3, fav::Channel, "5");
    list5.setColour(3, kColourChannel);
    result = MoveFavouriteUp(page, 4, 3, prompts);
    EXPECT_EQ(list5.cell(2, fav::Channel), "5");
    EXPECT_EQ(list5.colour(3), kColourGrey);
    EXPECT_EQ(list5.cell(3, fav::Pos), "3");
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(FavouriteOrder, EndsOfTheListAreRefusedWithAMessage) {
    ListPage page = ChannelPage(130);
    for (int c : {1, 2, 3}) AddEntry(page, 1, c);
    for (int c = 1; c <= 128; ++c) AddEntry(page, 2, c);
    struct Case {
        bool down;
        int list, slot;
    };
    for (const Case c :
         {Case{true, 0, 3}, Case{false, 0, 1}, Case{true, 1, 128}, Case{true, 0, 10}}) {
        const ListPage before = page;
        ScriptedPrompts prompts;
        const EditResult result = c.down ? MoveFavouriteDown(page, c.list, c.slot, prompts)
                                         : MoveFavouriteUp(page, c.list, c.slot, prompts);
        EXPECT_FALSE(result.changed);
        EXPECT_EQ(result.focusRow, c.slot);
        EXPECT_FALSE(page.modified);
        EXPECT_TRUE(page.favouriteGrids == before.favouriteGrids);
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].text, "Non è possibile spostare ulteriormente il canale");
        EXPECT_EQ(prompts.asked[0].title, "Attenzione");
        EXPECT_EQ(prompts.asked[0].icon, Icon::Error);
        EXPECT_EQ(prompts.asked[0].buttons, Buttons::Ok);
    }
}

TEST(FavouriteOrder, NoSelectedListDoesNothing) {
    ListPage page = ChannelPage(3);
    AddEntry(page, 1, 1);
    AddEntry(page, 1, 2);
    ScriptedPrompts prompts;
    EXPECT_FALSE(MoveFavouriteDown(page, -1, 1, prompts).changed);
    EXPECT_FALSE(MoveFavouriteUp(page, -1, 2, prompts).changed);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(Entries(page, 1), (Strings{"1", "2"}));
}

}  // namespace
}  // namespace rivo
