// The transponder dialog's values: what it shows for a row and what Ok stores.
#include <gtest/gtest.h>

#include "channels/records.h"
#include "editing/transponder_dialog_logic.h"
#include "page_maker.h"

namespace rivo {
namespace {

using pages::MakePage;
using pages::SetChannel;
using pages::SetTransponder;
using pages::Transponder;

// Transponder 2: 12603,125 / 7 / 318 / 12 / 22000 / 5/6 / V / On / "astra" (lower case);
// channels 1 and 3 on it, channel 2 on transponder 1.
ListPage DialogPage() {
    ListPage page = MakePage(3, 2);
    SetTransponder(page, 1, Transponder{});
    Transponder t;
    t.frequency = "12603,125";
    t.tid = "7";
    t.nid = "318";
    t.channels = "12";
    t.symbolRate = "22000";
    t.fec = "5/6";
    t.polarisation = "V";
    t.tone = "On";
    t.satellite = "astra";
    SetTransponder(page, 2, t);
    SetChannel(page, 1, "UNO", 2);
    SetChannel(page, 2, "DUE", 1);
    SetChannel(page, 3, "TRE", 2, "65535", "650");
    return page;
}

TEST(TransponderDialog, FillShowsTheRowAndItsLinkedChannels) {
    const ListPage page = DialogPage();
    const TransponderDialogValues v = FillTransponderDialog(page, 2);
    EXPECT_EQ(v.caption, "Transponder 2");
    EXPECT_EQ(v.frequency, "12603,125");
    EXPECT_EQ(v.tid, "7");
    EXPECT_EQ(v.nid, "318");
    EXPECT_EQ(v.channels, "12");
    EXPECT_EQ(v.symbolRates[1], "22000");
    EXPECT_EQ(v.symbolRate, 1);
    EXPECT_EQ(v.satellites, (std::array<std::string, 2>{"HotBird", "Astra"}));
    EXPECT_EQ(v.satellite, 1);  // "astra" matches ignoring case
    EXPECT_EQ(v.fec, 3);
    EXPECT_FALSE(v.horizontal);
    EXPECT_TRUE(v.toneOn);
    ASSERT_EQ(v.linkedChannels.size(), 2u);
    EXPECT_EQ(v.linkedChannels[0], page.channelGrid.row(1));
    EXPECT_EQ(v.linkedChannels[1].cells[ch::Name], "TRE");
    EXPECT_EQ(v.linkedChannels[1].colour, kColourRadio);

    ListPage unused = DialogPage();
    SetTransponder(unused, 1, Transponder{});
    SetChannel(unused, 2, "DUE", 2);
    EXPECT_TRUE(FillTransponderDialog(unused, 1).linkedChannels.empty());
}

TEST(TransponderDialog, FecCellSelectsItsChoice) {
    struct Case {
        const char* cell;
        int choice;
    };
    for (const Case& c : {Case{"1/2", 0}, Case{"7/8", 4}, Case{"03", 3}, Case{"05", 4}, Case{"07", 4},
                          Case{"0D", 4}}) {
        ListPage page = DialogPage();
        page.transponderGrid.setCell(2, tp::Fec, c.cell);
        EXPECT_EQ(FillTransponderDialog(page, 2).fec, c.choice) << c.cell;
    }
}

TEST(TransponderDialog, UnreadableRateOrFecStopsBeforeTheDialog) {
    for (auto [column, text] : {std::pair{tp::SymbolRate, "abc"}, std::pair{tp::Fec, "x/y"}}) {
        ListPage page = DialogPage();
        page.transponderGrid.setCell(2, column, text);
        EXPECT_THROW(FillTransponderDialog(page, 2), ConversionError) << text;
    }
}

TEST(TransponderDialog, OkWithoutChangeLeavesThePageUnmodified) {
    ListPage page = DialogPage();
    page.transponderGrid.setCell(2, tp::Satellite, "Astra");
    const Grid before = page.transponderGrid;
    EXPECT_FALSE(ApplyTransponderDialog(page, 2, FillTransponderDialog(page, 2)));
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(page.transponderGrid, before);
}

TEST(TransponderDialog, OkStoresTheSatelliteAsTheListShowsIt) {
    ListPage page = DialogPage();  // "astra" in the cell, "Astra" in the list
    EXPECT_TRUE(ApplyTransponderDialog(page, 2, FillTransponderDialog(page, 2)));
    EXPECT_EQ(page.transponderGrid.cell(2, tp::Satellite), "Astra");
    EXPECT_TRUE(page.modified);
}

TEST(TransponderDialog, OkStoresEveryFieldAndMarksTheChange) {
    ListPage page = DialogPage();
    TransponderDialogValues v = FillTransponderDialog(page, 2);
    v.frequency = "11000,5";
    v.tid = "8";
    v.nid = "abc";  // not checked here; the save reports it
    v.channels = "3";
    v.symbolRate = 0;
    v.satellite = 0;
    v.fec = 0;
    v.horizontal = true;
    v.toneOn = false;
    EXPECT_TRUE(ApplyTransponderDialog(page, 2, v));
    EXPECT_EQ(page.transponderGrid.row(2).cells,
              (std::vector<std::string>{"2", "11000,5", "8", "abc", "3", "27500", "1/2", "H", "Off", "HotBird"}));
    EXPECT_TRUE(page.modified);
}

TEST(TransponderDialog, OkWithNothingSelectedKeepsTheRateAndEmptiesTheSatellite) {
    ListPage page = DialogPage();
    page.transponderGrid.setCell(2, tp::SymbolRate, "0");  // a code above 15 reads as 0
    page.transponderGrid.setCell(2, tp::Satellite, "Eutelsat");
    page.transponderGrid.setCell(2, tp::Fec, "05");
    const TransponderDialogValues v = FillTransponderDialog(page, 2);
    EXPECT_EQ(v.symbolRate, -1);
    EXPECT_EQ(v.satellite, -1);
    EXPECT_TRUE(ApplyTransponderDialog(page, 2, v));
    EXPECT_EQ(page.transponderGrid.cell(2, tp::SymbolRate), "0");
    EXPECT_EQ(page.transponderGrid.cell(2, tp::Satellite), "");
    EXPECT_EQ(page.transponderGrid.cell(2, tp::Fec), "7/8");
}

TEST(TransponderDialog, EqualSatelliteNamesSelectTheFirstAndStoreTheSameText) {
    ListPage page = DialogPage();
    page.satelliteB = "HotBird";
    page.transponderGrid.setCell(2, tp::Satellite, "HotBird");
    TransponderDialogValues v = FillTransponderDialog(page, 2);
    EXPECT_EQ(v.satellite, 0);
    v.satellite = 1;
    EXPECT_FALSE(ApplyTransponderDialog(page, 2, v));
    EXPECT_EQ(page.transponderGrid.cell(2, tp::Satellite), "HotBird");
}

TEST(TransponderDialog, Row255ListsNoChannelsEvenThoughEmptyChannelsSay255) {
    ListPage page = MakePage(3, 256);
    for (int j = 1; j <= 256; ++j) SetTransponder(page, j, Transponder{});
    SetChannel(page, 1, "UNO", 254);
    EXPECT_TRUE(FillTransponderDialog(page, 255).linkedChannels.empty());
    EXPECT_EQ(FillTransponderDialog(page, 254).linkedChannels.size(), 1u);
}

// Whether the typed frequency fits the record for the chosen band: the offset from the
// oscillator is a signed 32-bit number of hertz.
TEST(TransponderDialog, FrequencyRangeWarningFollowsTheBand) {
    struct Case {
        const char* frequency;
        bool toneOn;
        bool warns;
    };
    const Case cases[] = {
        {"12345", false, true},          // 2595 MHz above 9750
        {"12345", true, false},          // 1745 MHz above 10600
        {"11897,483647", false, false},  // the highest on 9750
        {"11897,483648", false, true},
        {"7602,516352", false, false},   // the lowest on 9750
        {"7602,516351", false, true},
        {"8452,516351", true, true},     // one hertz below the lowest on 10600
        {"0", false, false},             // a free slot
        {"", false, false},              // not a frequency: the save reports it
        {"abc", true, false},
    };
    for (const Case& c : cases) {
        TransponderDialogValues v = FillTransponderDialog(DialogPage(), 2);
        v.frequency = c.frequency;
        v.toneOn = c.toneOn;
        const std::string warning = FrequencyRangeWarning(v);
        EXPECT_EQ(!warning.empty(), c.warns) << c.frequency << " " << c.toneOn << ": " << warning;
    }
    TransponderDialogValues v = FillTransponderDialog(DialogPage(), 2);
    v.frequency = "1";
    v.toneOn = true;
    EXPECT_EQ(FrequencyRangeWarning(v),
              "Frequenze memorizzabili con 22 kHz On (oscillatore 10600 MHz): da 8452,516352 a 12747,483647 MHz");
    v.toneOn = false;
    EXPECT_EQ(FrequencyRangeWarning(v),
              "Frequenze memorizzabili con 22 kHz Off (oscillatore 9750 MHz): da 7602,516352 a 11897,483647 MHz");
}

}  // namespace
}  // namespace rivo
