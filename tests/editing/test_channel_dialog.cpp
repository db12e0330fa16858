// The channel properties dialog without a window: what each path shows for the rows it
// edits and what Ok writes back into the channel row, its colour and the favourites lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_colour_cases.h"
#include "channels/list_page.h"
#include "channels/records.h"
#include "editing/channel_dialog_logic.h"

namespace rivo {
namespace {

// A small page: every channel active on transponder 1, no favourites yet.
ListPage MakePage(int channels, int transponders, ListLayout layout = ListLayout::Split) {
    ListPage page;
    page.layout = layout;
    page.channelGrid.setRowCount(channels + 1);
    for (int r = 1; r <= channels; ++r) {
        const std::string n = std::to_string(r);
        page.channelGrid.row(r).cells = {
            n, "CH " + n, "1", std::to_string(100 + r), "512", "650", "0", "0", "512", "04", "0"};
        page.channelGrid.setColour(r, kColourChannel);
    }
    page.transponderGrid.setRowCount(transponders + 1);
    for (int t = 1; t <= transponders; ++t) {
        page.transponderGrid.row(t).cells = {std::to_string(t),
                                             std::to_string(11700 + t),
                                             "1100",
                                             "1",
                                             "10",
                                             "27500",
                                             "3/4",
                                             "H",
                                             "Off",
                                             "HotBird"};
        page.transponderGrid.setColour(t, kColourInUse);
    }
    return page;
}

// Puts channel n into list k's first free slot and sets its "Preferenza" bit.
void AddToList(ListPage& page, int k, int n) {
    Grid& list = page.favouriteGrids[static_cast<size_t>(k - 1)];
    for (int s = 1; s <= fav::Slots; ++s)
        if (list.cell(s, fav::Channel) == "0") {
            list.setCell(s, fav::Name, page.channelGrid.cell(n, ch::Name));
            list.setCell(s, fav::Channel, std::to_string(n));
            list.setColour(s, page.channelGrid.colour(n));
            break;
        }
    const long long set = std::stoll(page.channelGrid.cell(n, ch::Favourites));
    page.channelGrid.setCell(n, ch::Favourites, std::to_string(set | (1LL << (k - 1))));
}

// Slots of list k naming channel n.
int EntriesOf(const ListPage& page, int k, int n) {
    int count = 0;
    const Grid& list = page.favouriteGrids[static_cast<size_t>(k - 1)];
    for (int s = 1; s <= fav::Slots; ++s) count += list.cell(s, fav::Channel) == std::to_string(n);
    return count;
}

// Runs the double-click path: fill, let `edit` play the user, Ok.
template <typename Edit>
bool DoubleClickOk(ListPage& page, int row, Edit edit) {
    ChannelDialogValues values;
    const RowEditStart start = FillFromRow(page, row, values);
    edit(values);
    return ApplyRowOk(page, start, values);
}

template <typename Edit>
bool ContextMenuOk(ListPage& page, int top, int bottom, Edit edit) {
    ChannelDialogValues values = FillFromSelection(page, top, bottom);
    edit(values);
    return ApplySelectionOk(page, top, bottom, values);
}

const auto kUntouched = [](ChannelDialogValues&) {};

// ---- the double-click path ---------------------------------------------------------

TEST(ChannelDialogRow, FillsEveryControlFromTheRowAndItsTransponder) {
    ListPage page = MakePage(3, 4);
    page.channelGrid.row(2).cells = {"2",  "RAI 1", "3",   "3401", "160", "80",
                                     "17", "18",    "160", "27",   "5"};

    ChannelDialogValues values;
    const RowEditStart start = FillFromRow(page, 2, values);

    EXPECT_EQ(values.caption, "Dati del canale 2");
    EXPECT_EQ(values.favouriteCaption, "Segnagruppi");
    EXPECT_EQ(values.boxes, (std::array<std::string, box::Count>{"RAI 1", "3", "3401", "160", "80",
                                                                 "17", "18", "160"}));
    // 0x27: encoding 1, active, favourite, locked.
    EXPECT_EQ(values.encoding, 1);
    EXPECT_EQ(values.active, CheckState::Checked);
    EXPECT_EQ(values.favourite, CheckState::Checked);
    EXPECT_EQ(values.locked, CheckState::Checked);
    EXPECT_EQ(values.lists[0], CheckState::Checked);
    EXPECT_EQ(values.lists[1], CheckState::Unchecked);
    EXPECT_EQ(values.lists[2], CheckState::Checked);
    EXPECT_TRUE(values.listsVisible);
    EXPECT_EQ(values.transponder,
              (std::array<std::string, tpvalue::Count>{"11703 Mhz", "1100", "1", "10", "27500",
                                                       "3/4", "H", "Off", "HotBird"}));
    EXPECT_TRUE(start.wasActive);
    EXPECT_EQ(start.favourites, 5);

    page.channelGrid.setCell(2, ch::Status, "02");
    FillFromRow(page, 2, values);
    EXPECT_EQ(values.encoding, 0);
    EXPECT_EQ(values.active, CheckState::Unchecked);
    EXPECT_EQ(values.favourite, CheckState::Checked);
    EXPECT_EQ(values.locked, CheckState::Unchecked);
}

TEST(ChannelDialogRow, TransponderPageShowsRowsOneToTAndNothingElse) {
    // Four transponder rows: the first and the last are shown, every other number
    // leaves the page empty.
    struct Case {
        const char* transponder;
        const char* frequency;  // "" for an empty page
    };
    for (const Case& c : {Case{"1", "11701 Mhz"}, Case{"4", "11704 Mhz"}, Case{"5", ""},
                          Case{"255", ""}, Case{"0", ""}, Case{"-1", ""}}) {
        SCOPED_TRACE(c.transponder);
        ListPage page = MakePage(1, 4);
        page.channelGrid.setCell(1, ch::Transponder, c.transponder);
        ChannelDialogValues values;
        values.transponder.fill("stale");  // the shared dialog still shows the last channel
        FillFromRow(page, 1, values);
        if (*c.frequency == '\0') {
            EXPECT_EQ(values.transponder, (std::array<std::string, tpvalue::Count>{}));
        } else {
            EXPECT_EQ(values.transponder,
                      (std::array<std::string, tpvalue::Count>{
                          c.frequency, "1100", "1", "10", "27500", "3/4", "H", "Off", "HotBird"}));
        }
    }
}

TEST(ChannelDialogRow, TransponderTextNotANumberStopsBeforeTheDialog) {
    ListPage page = MakePage(1, 4);
    page.channelGrid.setCell(1, ch::Transponder, "12a");
    ChannelDialogValues values;
    const ChannelDialogValues before = values;
    try {
        FillFromRow(page, 1, values);
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    EXPECT_EQ(values, before);
}

TEST(ChannelDialogRow, CaptionOfBit1AndListsFollowTheLayout) {
    for (const auto layout : {ListLayout::Single, ListLayout::None}) {
        ListPage page = MakePage(2, 1, layout);
        page.channelGrid.setCell(1, ch::Favourites, "6");
        ChannelDialogValues values;
        FillFromRow(page, 1, values);
        EXPECT_EQ(values.favouriteCaption, "Preferiti");
        EXPECT_FALSE(values.listsVisible);
        EXPECT_EQ(values.lists[1], CheckState::Checked);  // filled although hidden
        EXPECT_EQ(values.lists[2], CheckState::Checked);

        // Ok writes back the value the row had.
        DoubleClickOk(page, 1, [](ChannelDialogValues& v) { v.boxes[box::Name] = "NEW"; });
        EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "6");
        EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "NEW");
    }
}

TEST(ChannelDialogRow, OkWithoutChangesDoesNotMarkThePage) {
    ListPage page = MakePage(2, 1);
    AddToList(page, 2, 1);
    const ListPage before = page;
    EXPECT_FALSE(DoubleClickOk(page, 1, kUntouched));
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(page.channelGrid, before.channelGrid);
    EXPECT_EQ(page.favouriteGrids, before.favouriteGrids);
}

TEST(ChannelDialogRow, EachKindOfChangeMarksThePage) {
    struct Case {
        const char* what;
        void (*edit)(ChannelDialogValues&);
    };
    const Case cases[] = {
        {"name", [](ChannelDialogValues& v) { v.boxes[box::Name] = "OTHER"; }},
        {"emptied PCR", [](ChannelDialogValues& v) { v.boxes[box::Pcr].clear(); }},
        {"encoding", [](ChannelDialogValues& v) { v.encoding = 4; }},
        {"locked", [](ChannelDialogValues& v) { v.locked = CheckState::Checked; }},
        {"list 8", [](ChannelDialogValues& v) { v.lists[7] = CheckState::Checked; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage page = MakePage(2, 1);
        EXPECT_TRUE(DoubleClickOk(page, 1, c.edit));
        EXPECT_TRUE(page.modified);
    }
    ListPage page = MakePage(2, 1);
    DoubleClickOk(page, 2, [](ChannelDialogValues& v) { v.boxes[box::Pcr].clear(); });
    EXPECT_EQ(page.channelGrid.cell(2, ch::Pcr), "");  // an empty box is stored as empty
}

TEST(ChannelDialogRow, InactiveChannelLeftInactiveIsNotWritten) {
    ListPage page = MakePage(2, 1);
    page.channelGrid.setCell(1, ch::Status, "1A");  // inactive, bits 3 and 4 set
    page.channelGrid.setColour(1, kColourGrey);
    const ListPage before = page;
    EXPECT_FALSE(DoubleClickOk(page, 1, [](ChannelDialogValues& v) {
        v.boxes[box::Name] = "CHANGED";
        v.lists[0] = CheckState::Checked;
    }));
    EXPECT_EQ(page.channelGrid, before.channelGrid);
    EXPECT_EQ(page.favouriteGrids, before.favouriteGrids);
    EXPECT_FALSE(page.modified);
}

TEST(ChannelDialogRow, RowColourFollowsThePidTextsAndAttivo) {
    // The dialog sets "Attivo" from its box; the case's other status bits do not matter,
    // and it compares the PID texts.
    for (const auto& c : testsupport::ChannelColourCases()) {
        SCOPED_TRACE(std::string(c.vpid) + "/" + c.apid + "/" + c.status);
        ListPage page = MakePage(1, 1);
        page.channelGrid.setColour(1, kColourNone);
        const bool active = (CellHex(c.status) & 4) != 0;
        DoubleClickOk(page, 1, [&](ChannelDialogValues& v) {
            v.boxes[box::VPid] = c.vpid;
            v.boxes[box::APid] = c.apid;
            v.active = active ? CheckState::Checked : CheckState::Unchecked;
        });
        EXPECT_EQ(page.channelGrid.colour(1), c.colourByText());
    }
}

TEST(ChannelDialogRow, CheckingAndUncheckingList3) {
    ListPage page = MakePage(5, 1);
    AddToList(page, 3, 4);
    AddToList(page, 3, 1);
    AddToList(page, 3, 5);  // list 3: 4, 1, 5

    DoubleClickOk(page, 2, [](ChannelDialogValues& v) { v.lists[2] = CheckState::Checked; });
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), "4");
    const Grid& list3 = page.favouriteGrids[2];
    EXPECT_EQ(list3.cell(4, fav::Channel), "2");
    EXPECT_EQ(list3.cell(4, fav::Name), "CH 2");
    EXPECT_EQ(list3.colour(4), kColourChannel);
    EXPECT_TRUE(page.modified);

    page.modified = false;
    DoubleClickOk(page, 1, [](ChannelDialogValues& v) { v.lists[2] = CheckState::Unchecked; });
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "0");
    EXPECT_EQ(EntriesOf(page, 3, 1), 0);
    EXPECT_EQ(list3.cell(1, fav::Channel), "4");
    EXPECT_EQ(list3.cell(2, fav::Channel), "5");
    EXPECT_EQ(list3.cell(3, fav::Channel), "2");
    EXPECT_EQ(list3.cell(2, fav::Pos), "2");
    EXPECT_EQ(list3.cell(128, fav::Channel), "0");
    EXPECT_EQ(list3.cell(128, fav::Pos), "128");
    EXPECT_EQ(list3.colour(128), kColourGrey);
    EXPECT_EQ(list3.rowCount(), fav::Slots + 1);
    EXPECT_TRUE(page.modified);
}

// Unchecking "Attivo" takes the channel out of all eight lists and keeps its bits;
// checking it again puts it back at the first free slot of the lists its bits name.
TEST(ChannelDialogRow, InactiveThenActiveAgain) {
    ListPage page = MakePage(3, 1);
    AddToList(page, 1, 2);
    AddToList(page, 1, 1);
    AddToList(page, 6, 2);

    DoubleClickOk(page, 2, [](ChannelDialogValues& v) { v.active = CheckState::Unchecked; });
    EXPECT_EQ(page.channelGrid.cell(2, ch::Status), "00");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), "33");
    EXPECT_EQ(page.channelGrid.colour(2), kColourGrey);
    for (int k = 1; k <= fav::Lists; ++k) EXPECT_EQ(EntriesOf(page, k, 2), 0) << "list " << k;
    EXPECT_EQ(page.favouriteGrids[0].cell(1, fav::Channel), "1");
    EXPECT_EQ(page.favouriteGrids[0].cell(2, fav::Channel), "0");

    DoubleClickOk(page, 2, [](ChannelDialogValues& v) { v.active = CheckState::Checked; });
    EXPECT_EQ(page.channelGrid.cell(2, ch::Status), "04");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), "33");
    EXPECT_EQ(page.channelGrid.colour(2), kColourChannel);
    EXPECT_EQ(page.favouriteGrids[0].cell(1, fav::Channel), "1");
    EXPECT_EQ(page.favouriteGrids[0].cell(2, fav::Channel), "2");
    EXPECT_EQ(page.favouriteGrids[0].colour(2), kColourChannel);
    EXPECT_EQ(EntriesOf(page, 6, 2), 1);
    EXPECT_EQ(EntriesOf(page, 2, 2), 0);
}

TEST(ChannelDialogRow, FullListGainsNoEntry) {
    ListPage page = MakePage(3, 1);
    Grid& list = page.favouriteGrids[2];
    for (int s = 1; s <= fav::Slots; ++s) list.setCell(s, fav::Channel, "3");
    const Grid before = list;
    DoubleClickOk(page, 1, [](ChannelDialogValues& v) { v.lists[2] = CheckState::Checked; });
    // Not in the full list, so not in "Preferenza" either: what is shown is what is saved.
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "0");
    EXPECT_EQ(list, before);
}

// ---- both paths -----------------------------------------------------------------------

// The status byte an untouched Ok writes, by either path: the encoding kept when it has
// a name (0..5) and written as none (0) otherwise, bits 3 and 4 cleared, bits 0..2 kept.
TEST(ChannelDialogBothPaths, StatusByteWrittenByOk) {
    struct Case {
        const char* before;
        int encodingShown;
        const char* after;
    };
    const Case cases[] = {
        {"04", 0, "04"},           {"0C", 0, "04"},           {"14", 0, "04"},
        {"1F", 0, "07"},           {"24", 1, "24"},           {"A6", 5, "A6"},
        {"C4", kNoEncoding, "04"}, {"E5", kNoEncoding, "05"}, {"FF", kNoEncoding, "07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        ListPage page = MakePage(2, 1);
        page.channelGrid.setCell(1, ch::Status, c.before);
        page.channelGrid.setCell(2, ch::Status, c.before);
        ChannelDialogValues values;
        const RowEditStart start = FillFromRow(page, 1, values);
        EXPECT_EQ(values.encoding, c.encodingShown);
        ApplyRowOk(page, start, values);
        EXPECT_EQ(page.channelGrid.cell(1, ch::Status), c.after);
        EXPECT_EQ(page.modified, std::string(c.after) != c.before);
        ContextMenuOk(page, 2, 2, kUntouched);
        EXPECT_EQ(page.channelGrid.cell(2, ch::Status), c.after);
    }
}

// ---- the context-menu path ----------------------------------------------------------

TEST(ChannelDialogSelection, SingleRowShowsTheRowButKeepsTheFormsCaptions) {
    ListPage page = MakePage(3, 2);
    page.channelGrid.setCell(2, ch::Status, "26");
    AddToList(page, 2, 2);

    ChannelDialogValues row;
    FillFromRow(page, 2, row);
    const ChannelDialogValues one = FillFromSelection(page, 2, 2);

    EXPECT_EQ(one.boxes, row.boxes);
    EXPECT_EQ(one.encoding, row.encoding);
    EXPECT_EQ(one.active, row.active);
    EXPECT_EQ(one.favourite, row.favourite);
    EXPECT_EQ(one.locked, row.locked);
    EXPECT_EQ(one.lists, row.lists);
    EXPECT_EQ(one.caption, "Dati del canale");
    EXPECT_EQ(one.favouriteCaption, "Preferito");
    EXPECT_EQ(one.transponder, (std::array<std::string, tpvalue::Count>{}));
}

TEST(ChannelDialogSelection, SingleRowEmptiedBoxKeepsTheCellAndOkAlwaysMarks) {
    ListPage page = MakePage(2, 1);
    EXPECT_TRUE(ContextMenuOk(page, 1, 1, [](ChannelDialogValues& v) {
        v.boxes[box::Name].clear();
        v.boxes[box::Sid].clear();
    }));
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "CH 1");
    EXPECT_EQ(page.channelGrid.cell(1, ch::Sid), "101");
    EXPECT_TRUE(page.modified);  // nothing changed, still marked
}

TEST(ChannelDialogSelection, SingleInactiveRowIsWrittenLikeAnyOther) {
    ListPage page = MakePage(2, 1);
    page.channelGrid.setCell(1, ch::Status, "00");
    page.channelGrid.setColour(1, kColourGrey);
    ContextMenuOk(page, 1, 1, [](ChannelDialogValues& v) {
        v.boxes[box::Name] = "NEW";
        v.lists[0] = CheckState::Checked;
    });
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "NEW");
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "1");
    EXPECT_EQ(page.channelGrid.colour(1), kColourGrey);
    EXPECT_EQ(EntriesOf(page, 1, 1), 0);  // inactive: its bit is kept, no entry added
    EXPECT_EQ(page.favouriteGrids[0].cell(1, fav::Channel), "0");
}

TEST(ChannelDialogSelection, EqualSidsDifferentNames) {
    ListPage page = MakePage(4, 1);
    for (int r = 2; r <= 4; ++r) page.channelGrid.setCell(r, ch::Sid, "777");
    const ChannelDialogValues values = FillFromSelection(page, 2, 4);
    EXPECT_EQ(values.boxes[box::Name], "");
    EXPECT_EQ(values.boxes[box::Sid], "777");
    EXPECT_EQ(values.boxes[box::Transponder], "1");

    ContextMenuOk(page, 2, 4, [](ChannelDialogValues& v) { v.boxes[box::Pcr] = "33"; });
    for (int r = 2; r <= 4; ++r) {
        EXPECT_EQ(page.channelGrid.cell(r, ch::Name), "CH " + std::to_string(r));
        EXPECT_EQ(page.channelGrid.cell(r, ch::Sid), "777");
        EXPECT_EQ(page.channelGrid.cell(r, ch::Pcr), "33");
    }
    EXPECT_EQ(page.channelGrid.cell(1, ch::Pcr), "512");  // outside the selection
}

TEST(ChannelDialogSelection, MixedAttivoKeepsEachRowsBitUntilSet) {
    ListPage page = MakePage(3, 1);
    AddToList(page, 4, 2);
    // Channel 3 is inactive: its bit for list 4 is set but the list does not name it.
    page.channelGrid.setCell(3, ch::Status, "01");
    page.channelGrid.setCell(3, ch::Favourites, "8");
    page.channelGrid.setColour(3, kColourGrey);

    ChannelDialogValues values = FillFromSelection(page, 2, 3);
    EXPECT_EQ(values.active, CheckState::Mixed);
    EXPECT_EQ(values.locked, CheckState::Mixed);
    EXPECT_EQ(values.favourite, CheckState::Unchecked);
    EXPECT_EQ(values.lists[3], CheckState::Checked);

    ListPage kept = page;
    ApplySelectionOk(kept, 2, 3, values);
    EXPECT_EQ(kept.channelGrid.cell(2, ch::Status), "04");
    EXPECT_EQ(kept.channelGrid.cell(3, ch::Status), "01");
    EXPECT_EQ(kept.channelGrid.colour(3), kColourGrey);
    EXPECT_EQ(EntriesOf(kept, 4, 2), 1);
    EXPECT_EQ(EntriesOf(kept, 4, 3), 0);  // a set bit adds no inactive channel
    EXPECT_EQ(kept.channelGrid.cell(3, ch::Favourites), "8");

    values.active = CheckState::Unchecked;
    ApplySelectionOk(page, 2, 3, values);
    EXPECT_EQ(page.channelGrid.cell(2, ch::Status), "00");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Status), "01");
    EXPECT_EQ(page.channelGrid.colour(2), kColourGrey);
    EXPECT_EQ(EntriesOf(page, 4, 2), 0);  // made inactive: out of the list, its bit kept
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), "8");
    // Made active again through the selection: both join list 4.
    values.active = CheckState::Checked;
    ApplySelectionOk(page, 2, 3, values);
    EXPECT_EQ(EntriesOf(page, 4, 2), 1);
    EXPECT_EQ(EntriesOf(page, 4, 3), 1);
}

TEST(ChannelDialogSelection, MixedListKeepsEachRowsBit) {
    ListPage page = MakePage(3, 1, ListLayout::Single);
    page.channelGrid.setCell(1, ch::Status, "24");  // encoding 1
    page.channelGrid.setCell(2, ch::Status, "84");  // encoding 4
    page.channelGrid.setCell(1, ch::Favourites, "3");
    page.channelGrid.setCell(2, ch::Favourites, "6");
    page.channelGrid.setCell(3, ch::Favourites, "2");

    const ChannelDialogValues values = FillFromSelection(page, 1, 3);
    EXPECT_FALSE(values.listsVisible);
    EXPECT_TRUE(values.keepEachEncoding);
    EXPECT_EQ(values.lists[0], CheckState::Mixed);
    EXPECT_EQ(values.lists[1], CheckState::Checked);
    EXPECT_EQ(values.lists[2], CheckState::Mixed);
    EXPECT_EQ(values.lists[3], CheckState::Unchecked);

    ApplySelectionOk(page, 1, 3, values);
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "3");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), "6");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Favourites), "2");
    EXPECT_EQ(page.channelGrid.cell(1, ch::Status), "24");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Status), "84");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Status), "04");
}

// Rows whose encodings differ show a mixed "Codifica" and keep each its own on Ok, as
// a mixed check box keeps each row's bit; an encoding picked applies to every row. Rows
// that agree show theirs and get it back.
TEST(ChannelDialogSelection, EncodingsThatDifferAreKeptUnlessOneIsPicked) {
    struct Case {
        const char* what;
        std::vector<std::string> statuses;
        bool mixed;
        int shown;   // the encoding the dialog shows
        int picked;  // -2: nothing picked
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"ten rows, two encrypted, nothing picked",
         {"04", "04", "04", "24", "04", "04", "04", "04", "04", "44"},
         true,
         kNoEncoding,
         -2,
         {"04", "04", "04", "24", "04", "04", "04", "04", "04", "44"}},
        {"first row encrypted, nothing picked",
         {"84", "04", "04"},
         true,
         kNoEncoding,
         -2,
         {"84", "04", "04"}},
        {"an encoding without an entry, nothing picked",
         {"E4", "04"},
         true,
         kNoEncoding,
         -2,
         {"E4", "04"}},
        {"differing, NESSUNA picked", {"24", "84", "05"}, true, kNoEncoding, 0, {"04", "04", "05"}},
        {"differing, SECA picked", {"04", "84"}, true, kNoEncoding, 1, {"24", "24"}},
        {"all alike", {"44", "45", "44"}, false, 2, -2, {"44", "45", "44"}},
        {"all alike, another picked", {"44", "45"}, false, 2, 5, {"A4", "A5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int rows = static_cast<int>(c.statuses.size());
        ListPage page = MakePage(rows, 1);
        for (int r = 1; r <= rows; ++r)
            page.channelGrid.setCell(r, ch::Status, c.statuses[static_cast<size_t>(r - 1)]);
        ChannelDialogValues values = FillFromSelection(page, 1, rows);
        EXPECT_EQ(values.keepEachEncoding, c.mixed);
        EXPECT_EQ(values.encoding, c.shown);
        if (c.picked != -2) {
            values.keepEachEncoding = false;
            values.encoding = c.picked;
        }
        ApplySelectionOk(page, 1, rows, values);
        std::vector<std::string> after;
        for (int r = 1; r <= rows; ++r) after.push_back(page.channelGrid.cell(r, ch::Status));
        EXPECT_EQ(after, c.after);
    }
}

TEST(ChannelDialogSelection, KeepEachEncodingLeavesEveryRowsSystem) {
    ListPage page = MakePage(2, 1);
    page.channelGrid.setCell(1, ch::Status, "3C");
    page.channelGrid.setCell(2, ch::Status, "E5");
    ContextMenuOk(page, 1, 2, [](ChannelDialogValues& v) {
        v.keepEachEncoding = true;
        v.locked = CheckState::Checked;
    });
    EXPECT_EQ(page.channelGrid.cell(1, ch::Status), "25");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Status), "E5");
}

TEST(ChannelDialogSelection, UnreadableStatusChangesNothing) {
    ListPage page = MakePage(3, 1);
    page.channelGrid.setCell(3, ch::Status, "zz");
    EXPECT_THROW(FillFromSelection(page, 1, 3), ConversionError);

    ChannelDialogValues values = FillFromSelection(page, 1, 2);
    values.boxes[box::Name] = "X";
    const ListPage before = page;
    EXPECT_THROW(ApplySelectionOk(page, 1, 3, values), ConversionError);
    EXPECT_EQ(page.channelGrid, before.channelGrid);
    EXPECT_FALSE(page.modified);
}

}  // namespace
}  // namespace rivo
