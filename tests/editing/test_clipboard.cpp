// Copying channels with their transponders, and pasting them into the same or another
// image: questions, refusals, free transponder rows, favourites kept in step.
#include <gtest/gtest.h>

#include <random>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/clipboard.h"
#include "page_maker.h"
#include "reference_editing.h"

namespace rivo {
namespace {

using pages::AddFavourite;
using pages::ChannelTransponders;
using pages::Favourites;
using pages::MakePage;
using pages::ScriptedPrompts;
using pages::SetChannel;
using pages::SetTransponder;
using pages::Transponder;

const char* const kTooMany =
    "Troppi transponder nella selezione\nDiminuire il numero di canali selezionati";
const char* const kBadRate =
    "I dati relativi al symbol rate di un transponder, non sono compatibili\nQuesta operazione non "
    "verrà eseguita";

// Source image 1: transponders 1 (11747 H Off HotBird), 2 (12515,5 V On Astra), 3 unused;
// channels 1-3 on transponder 1, 4 on 2, 5 empty, 6 on 2 and in lists 1 and 4.
ListPage SourcePage() {
    ListPage page = MakePage(6, 3, 1);
    Transponder t;
    t.tid = "1100";
    SetTransponder(page, 1, t);
    t.frequency = "12515,5";
    t.tid = "7";
    t.nid = "318";
    t.channels = "12";
    t.symbolRate = "22000";
    t.fec = "5/6";
    t.polarisation = "V";
    t.tone = "On";
    t.satellite = "Astra";
    SetTransponder(page, 2, t);
    SetChannel(page, 1, "RAI 1", 1);
    SetChannel(page, 2, "RAI 2", 1);
    SetChannel(page, 3, "RADIO", 1, "65535", "650");
    SetChannel(page, 4, "SKY", 2, "512", "650", "C4");
    SetChannel(page, 6, "EURO", 2);
    AddFavourite(page, 1, 6);
    AddFavourite(page, 4, 6);
    return page;
}

// Target image 2: eight channels on transponder 1, ten transponder rows of which 1, 3, 4
// are in use, and channel 8 in list 1.
ListPage TargetPage() {
    ListPage page = MakePage(8, 10, 2);
    Transponder t;
    t.frequency = "10800";
    for (int j : {1, 3, 4}) SetTransponder(page, j, t);
    for (int i = 1; i <= 8; ++i)
        SetChannel(page, i, "T" + std::to_string(i), i <= 4 ? 1 : 3 + i % 2);
    AddFavourite(page, 1, 8);
    AddFavourite(page, 2, 5);
    return page;
}

ChannelClipboard CopyOf(const ListPage& page, int first, int last) {
    ChannelClipboard clipboard;
    CopyChannels(page, first, last, clipboard);
    return clipboard;
}

void ExpectSameTables(const ListPage& actual, const ListPage& expected) {
    EXPECT_EQ(actual.channelGrid, expected.channelGrid);
    EXPECT_EQ(actual.transponderGrid, expected.transponderGrid);
    for (int k = 0; k < fav::Lists; ++k)
        EXPECT_EQ(actual.favouriteGrids[static_cast<size_t>(k)],
                  expected.favouriteGrids[static_cast<size_t>(k)])
            << "list " << k + 1;
}

// ---- copy -----------------------------------------------------------------------------

TEST(CopyChannels, ChannelsSharingATransponderCarryItOnce) {
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 3);
    ASSERT_TRUE(clipboard.hasContent);
    EXPECT_EQ(clipboard.sourceImage, 1u);
    ASSERT_EQ(clipboard.channels.size(), 3u);
    ASSERT_EQ(clipboard.transponders.size(), 1u);
    const ClipTransponder& t = clipboard.transponders[0];
    EXPECT_EQ(t.intermediateHertz, 1997000000);  // 11747 - 9750 MHz
    EXPECT_EQ(t.flags, 2);                       // horizontal, tone off, satellite A
    EXPECT_EQ(t.transponderMark, 1001);
    EXPECT_EQ(t.fec, 2);
    EXPECT_EQ(t.tid, 1100);
    EXPECT_EQ(clipboard.channels[2].name, "RADIO");
    EXPECT_EQ(clipboard.channels[2].transponderMark, 1001);
    EXPECT_EQ(clipboard.channels[2].vPid, 65535);
}

TEST(CopyChannels, HighBandSatelliteBAndFavouritesAreCarried) {
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 4, 6);
    ASSERT_EQ(clipboard.channels.size(), 3u);
    ASSERT_EQ(clipboard.transponders.size(), 1u);  // the empty channel 5 carries none
    const ClipTransponder& t = clipboard.transponders[0];
    EXPECT_EQ(t.intermediateHertz, 1915500000);  // 12515,5 - 10600 MHz
    EXPECT_EQ(t.flags, 1 + 8);
    EXPECT_EQ(t.symbolRate, 22000);
    EXPECT_EQ(clipboard.channels[0].status, 0xC4);
    EXPECT_EQ(clipboard.channels[1].transponderMark, 1255);
    EXPECT_EQ(clipboard.channels[2].favourites, 1 + 8);
}

TEST(CopyChannels, ANameLongerThanSixteenIsCut) {
    ListPage page = SourcePage();
    page.channelGrid.setCell(1, ch::Name, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(CopyOf(page, 1, 1).channels[0].name, "ABCDEFGHIJKLMNOP");
}

TEST(CopyChannels, ACellThatIsNotANumberKeepsThePreviousContent) {
    ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 1);
    const ChannelClipboard before = clipboard;
    for (auto [row, column, text] :
         {std::tuple{2, ch::Sid, "x"}, std::tuple{2, ch::Status, "ZZ"}}) {
        ListPage page = SourcePage();
        page.channelGrid.setCell(row, column, text);
        EXPECT_THROW(CopyChannels(page, 1, 4, clipboard), ConversionError);
        EXPECT_EQ(clipboard.channels, before.channels);
    }
    ListPage badFec = SourcePage();
    badFec.transponderGrid.setCell(2, tp::Fec, "?");
    EXPECT_THROW(CopyChannels(badFec, 4, 4, clipboard), ConversionError);
    EXPECT_EQ(clipboard.transponders, before.transponders);
}

// ---- paste into another image ---------------------------------------------------------

TEST(PasteChannels, IntoAnotherImageTransponderIsReExpressedWithTheTargetsLnb) {
    ListPage source = MakePage(1, 1, 1);
    source.lnbLow = 10000;
    Transponder t;
    t.frequency = "11778";
    SetTransponder(source, 1, t);
    SetChannel(source, 1, "X", 1);
    ListPage target = MakePage(2, 3, 2);
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(source, 1, 1), prompts, progress));
    EXPECT_EQ(target.transponderGrid.cell(1, tp::Frequency), "11528");
    EXPECT_EQ(target.channelGrid.cell(1, ch::Transponder), "1");
}

TEST(PasteChannels, IntoAnotherImageFillsFreeRowsAndNeverOverwritesATransponderInUse) {
    ListPage target = TargetPage();
    target.satelliteA = "SatA";
    target.satelliteB = "SatB";
    const ListPage before = target;
    ScriptedPrompts prompts({Answer::No});
    pages::RecordingProgress progress;
    ASSERT_TRUE(PasteChannels(target, 2, CopyOf(SourcePage(), 1, 6), prompts, progress));

    // Free rows are 2 and 5 (3 and 4 are in use): transponder 1 goes to 2, 2 to 5.
    EXPECT_EQ(target.transponderGrid.row(2).cells,
              (std::vector<std::string>{"2", "11747", "1100", "1", "1", "27500", "3/4", "H", "Off",
                                        "SatA"}));
    EXPECT_EQ(target.transponderGrid.row(5).cells,
              (std::vector<std::string>{"5", "12515,5", "7", "318", "12", "22000", "5/6", "V", "On",
                                        "SatB"}));
    EXPECT_EQ(target.transponderGrid.colour(2), kColourInUse);
    for (int j : {1, 3, 4}) EXPECT_EQ(target.transponderGrid.row(j), before.transponderGrid.row(j));
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{1, 2, 2, 2, 5, 255, 5, 3}));
    EXPECT_EQ(target.channelGrid.cell(3, ch::Name), "RAI 2");
    EXPECT_EQ(target.channelGrid.colour(4), kColourRadio);
    EXPECT_EQ(target.channelGrid.cell(5, ch::Status), "C4");
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(target.channelGrid.cell(i, ch::Num), std::to_string(i));
    EXPECT_TRUE(target.modified);
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Organizzazione transponder", ""}));

    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].title, "Informazione");
    EXPECT_EQ(prompts.asked[0].icon, Icon::Question);
    EXPECT_EQ(prompts.asked[0].text,
              "Vuoi inserire i canali appena copiati?\n"
              "* Si: i canali successivi a quello selezionato verranno spostati in basso\n"
              "* No: i canali successivi a quello selezionato verranno sovrascritti\n"
              "* Annulla: annulla l'incollaggio dei canali");
}

TEST(PasteChannels, OverwrittenChannelsLeaveTheirListsAndPastedOnesJoinTheirs) {
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    // Source channels 5 (empty) and 6 (lists 1 and 4) overwrite target channels 7 and 8.
    ASSERT_TRUE(PasteChannels(target, 7, CopyOf(SourcePage(), 5, 6), prompts, progress));
    EXPECT_EQ(Favourites(target, 1), (std::vector<int>{8}));
    EXPECT_EQ(target.favouriteGrids[0].cell(1, fav::Name), "EURO");
    EXPECT_EQ(Favourites(target, 4), (std::vector<int>{8}));
    EXPECT_EQ(Favourites(target, 2), (std::vector<int>{5}));
    EXPECT_EQ(target.channelGrid.cell(7, ch::Transponder), "255");
    EXPECT_EQ(target.channelGrid.colour(7), kColourGrey);
}

TEST(PasteChannels, InsertingShiftsChannelsWithTheirFavouritesEntries) {
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::Yes, Answer::Yes});
    NullProgress progress;
    // Two channels at row 4: former 4..6 move to 6..8; former 7 and 8 fall off.
    ASSERT_TRUE(PasteChannels(target, 4, CopyOf(SourcePage(), 1, 2), prompts, progress));
    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[1].text,
              "Attenzione: alcuni degli ultimi canali saranno cancellati\nContinuare?");
    EXPECT_EQ(prompts.asked[1].icon, Icon::Warning);
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) names.push_back(target.channelGrid.cell(i, ch::Name));
    EXPECT_EQ(names,
              (std::vector<std::string>{"T1", "T2", "T3", "RAI 1", "RAI 2", "T4", "T5", "T6"}));
    EXPECT_TRUE(Favourites(target, 1).empty());               // former channel 8 fell off
    EXPECT_EQ(Favourites(target, 2), (std::vector<int>{7}));  // former channel 5 is now 7
}

TEST(PasteChannels, DecliningAFurtherQuestionOrCancelChangesNothing) {
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 6);
    struct Case {
        std::deque<Answer> answers;
        int row;
        size_t questions;
    };
    for (const Case& c : {Case{{Answer::Cancel}, 1, 1}, Case{{Answer::Yes, Answer::No}, 5, 2},
                          Case{{Answer::Yes, Answer::Yes, Answer::No}, 5, 3}}) {
        ListPage target = TargetPage();
        const ListPage before = target;
        ScriptedPrompts prompts(c.answers);
        NullProgress progress;
        EXPECT_FALSE(PasteChannels(target, c.row, clipboard, prompts, progress));
        ExpectSameTables(target, before);
        EXPECT_FALSE(target.modified);
        ASSERT_EQ(prompts.asked.size(), c.questions);
        if (c.questions >= 2) {
            EXPECT_EQ(prompts.asked[1].text,
                      "Attenzione: solo alcuni canali potranno essere copiati.\nContinuare?");
        }
    }
}

// Overwriting near the end pastes what fits, asks nothing more, and then says how many
// channels found no row; a copy that ends exactly on the last row says nothing.
TEST(PasteChannels, OverwritingNearTheEndPastesWhatFitsAndTellsHowManyDidNot) {
    struct Case {
        int copied, row;
        std::vector<std::string> lastRows;  // rows 5 .. 8 afterwards
        const char* told;                   // "" when nothing is told
    };
    const Case cases[] = {
        {5, 6, {"T5", "S1", "S2", "S3"}, "2 canali non sono stati incollati: oltre l'ultima riga"},
        {2, 8, {"T5", "T6", "T7", "S1"}, "1 canale non è stato incollato: oltre l'ultima riga"},
        {3, 6, {"T5", "S1", "S2", "S3"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.copied) + " at " + std::to_string(c.row));
        ListPage source = MakePage(5, 1, 1);
        for (int i = 1; i <= 5; ++i) SetChannel(source, i, "S" + std::to_string(i), 255);
        ListPage target = TargetPage();
        ASSERT_EQ(target.channelCount(), 8);
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        PastedRows placed;
        ASSERT_TRUE(
            PasteChannels(target, c.row, CopyOf(source, 1, c.copied), prompts, progress, &placed));
        EXPECT_EQ(placed.first, c.row);
        EXPECT_EQ(placed.last, std::min(8, c.row + c.copied - 1));
        EXPECT_FALSE(placed.inserted);
        std::vector<std::string> lastRows;
        for (int r = 5; r <= 8; ++r) lastRows.push_back(target.channelGrid.cell(r, ch::Name));
        EXPECT_EQ(lastRows, c.lastRows);
        if (*c.told) {
            ASSERT_EQ(prompts.asked.size(), 2u);
            EXPECT_EQ(prompts.asked[1].text, c.told);
            EXPECT_EQ(prompts.asked[1].title, "Attenzione");
            EXPECT_EQ(prompts.asked[1].buttons, Buttons::Ok);
        } else {
            EXPECT_EQ(prompts.asked.size(), 1u);
        }
    }
}

TEST(PasteChannels, RefusalsAreToldAndChangeNothing) {
    // Too many transponders: the free rows are counted, not the rows from the first free
    // one to the end (here row 2 is free, rows 3-10 are all in use).
    ListPage crowded = TargetPage();
    Transponder used;  // none of them the same as a copied one, which would be reused
    used.frequency = "10900";
    for (int j = 5; j <= 10; ++j) SetTransponder(crowded, j, used);
    // A symbol rate the target does not know.
    ListPage otherRates = TargetPage();
    otherRates.symbolRates[1] = 1;

    for (auto [page, message] : {std::pair{crowded, kTooMany}, std::pair{otherRates, kBadRate}}) {
        const ListPage before = page;
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        EXPECT_FALSE(PasteChannels(page, 1, CopyOf(SourcePage(), 1, 6), prompts, progress));
        ExpectSameTables(page, before);
        EXPECT_FALSE(page.modified);
        ASSERT_EQ(prompts.asked.size(), 2u);
        EXPECT_EQ(prompts.asked[1].text, message);
        EXPECT_EQ(prompts.asked[1].title, "Attenzione");
        EXPECT_EQ(prompts.asked[1].icon, Icon::Error);
    }
}

TEST(PasteChannels, AFreeRowStillNamedByAChannelIsNotReused) {
    ListPage target = TargetPage();
    SetTransponder(target, 2, Transponder{});
    target.transponderGrid.setCell(3, tp::Frequency, "0");  // "0" typed over a row in use
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(SourcePage(), 4, 4), prompts, progress));
    EXPECT_EQ(target.transponderGrid.cell(3, tp::Frequency), "0");
    EXPECT_EQ(target.channelGrid.cell(1, ch::Transponder), "5");
    EXPECT_EQ(target.channelGrid.cell(6, ch::Transponder), "3");
}

TEST(CopyChannels, AChannelOnAFreeRowCarriesNoTransponder) {
    // Source channel 1 names row 3: free ("0"), or in use. Pasted into another image it
    // points at nothing, or at the row its transponder took.
    for (const bool free : {true, false}) {
        SCOPED_TRACE(free);
        ListPage source = SourcePage();
        Transponder t;
        t.frequency = free ? "0" : "10900";
        SetTransponder(source, 3, t);
        source.channelGrid.setCell(1, ch::Transponder, "3");
        const ChannelClipboard clipboard = CopyOf(source, 1, 1);
        ASSERT_EQ(clipboard.transponders.size(), free ? 0u : 1u);
        ListPage target = TargetPage();
        const Grid table = target.transponderGrid;
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(target, 1, clipboard, prompts, progress));
        EXPECT_EQ(target.channelGrid.cell(1, ch::Transponder), free ? "255" : "2");
        EXPECT_EQ(target.transponderGrid == table, free);
    }
}

TEST(PasteChannels, IntoAnotherImageEveryReferenceAboveTheLastBecomesNone) {
    // Target channel 8 (not pasted over) reads `text` before a paste at row 1.
    struct Case {
        const char* text;
        const char* fromOtherImage;  // what it reads after a paste from another image
    };
    for (const Case& c :
         {Case{"300", "255"}, Case{"256", "255"}, Case{"255", "255"}, Case{"254", "254"},
          Case{"3", "3"}, Case{"0", "0"}, Case{"abc", "255"}, Case{"2147483648", "255"}}) {
        SCOPED_TRACE(c.text);
        for (const bool sameImage : {false, true}) {
            ListPage target = TargetPage();
            target.channelGrid.setCell(8, ch::Transponder, c.text);
            ChannelClipboard clipboard =
                CopyOf(SourcePage(), 5, 5);  // an empty channel: no transponder
            if (sameImage) clipboard.sourceImage = target.imageId;
            ScriptedPrompts prompts({Answer::No});
            NullProgress progress;
            ASSERT_TRUE(PasteChannels(target, 1, clipboard, prompts, progress));
            EXPECT_EQ(target.channelGrid.cell(8, ch::Transponder),
                      sameImage ? c.text : c.fromOtherImage);
        }
    }
}

// ---- paste into another image: transponders the target already holds ----------------

// The target's row 3 set to `held`; source channels 1-3 (transponder 1: 11747 H Off
// HotBird) and 4 (transponder 2) pasted over target rows 1-4. Which rows do they name?
TEST(PasteChannels, IntoAnotherImageReusesTheRowHoldingTheSameTransponder) {
    struct Case {
        const char* what;
        Transponder held;
        bool reused;
    };
    Transponder same;
    Transponder twoBelow = same;  // the pasted one may lie up to 2 MHz above the held one
    twoBelow.frequency = "11745";
    Transponder threeBelow = same;
    threeBelow.frequency = "11744";
    Transponder above = same;  // but never below it ("11748" reads as 11747 in single precision)
    above.frequency = "11749";
    Transponder otherTid = same;
    otherTid.tid = "1101";
    Transponder otherChannels = same;  // "Canali" is not compared
    otherChannels.channels = "40";
    Transponder otherSatellite = same;
    otherSatellite.satellite = "Astra";
    const std::vector<Case> cases = {
        {"same", same, true},
        {"2 MHz below", twoBelow, true},
        {"3 MHz below", threeBelow, false},
        {"1 MHz above", above, false},
        {"other TID", otherTid, false},
        {"other count", otherChannels, true},
        {"other satellite", otherSatellite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage target = TargetPage();
        SetTransponder(target, 3, c.held);
        const GridRow heldRow = target.transponderGrid.row(3);
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(target, 1, CopyOf(SourcePage(), 1, 4), prompts, progress));
        // The free rows are 2, 5, 6, ...: a transponder not held takes the next one.
        const int first = c.reused ? 3 : 2;
        const int second = c.reused ? 2 : 5;
        EXPECT_EQ(ChannelTransponders(target),
                  (std::vector<int>{first, first, first, second, 4, 3, 4, 3}));
        EXPECT_EQ(target.transponderGrid.row(3), heldRow);  // a reused row is left as it was
        EXPECT_EQ(target.transponderGrid.cell(second, tp::Frequency), "12515,5");
        EXPECT_EQ(target.transponderGrid.cell(first, tp::Frequency),
                  c.reused ? heldRow.cells[tp::Frequency] : "11747");
        EXPECT_EQ(target.transponderGrid.cell(c.reused ? 5 : 6, tp::Frequency), "0");
    }
}

TEST(PasteChannels, IntoAnotherImageTheRoomCheckCountsOnlyTranspondersNotHeld) {
    // Source transponders 1 and 2 (channels 1-6). The target holds transponder 1 on row
    // 6 and has `free` free rows among 2, 5, 7-10 (the others hold other transponders).
    struct Case {
        bool holdsSecond;
        int free;
        bool pasted;
    };
    for (const Case& c :
         {Case{false, 1, true}, Case{false, 0, false}, Case{true, 0, true}, Case{false, 2, true}}) {
        SCOPED_TRACE(std::to_string(c.holdsSecond) + " " + std::to_string(c.free));
        ListPage target = TargetPage();
        Transponder other;
        other.frequency = "10900";
        std::vector<int> rows = {2, 5, 7, 8, 9, 10};
        for (size_t k = static_cast<size_t>(c.free); k < rows.size(); ++k)
            SetTransponder(target, rows[k], other);
        Transponder first;
        SetTransponder(target, 6, first);
        if (c.holdsSecond)
            SetTransponder(
                target, 7,
                Transponder{"12515,5", "7", "318", "3", "22000", "5/6", "V", "On", "Astra"});
        const ListPage before = target;
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        EXPECT_EQ(PasteChannels(target, 1, CopyOf(SourcePage(), 1, 6), prompts, progress),
                  c.pasted);
        if (!c.pasted) {
            EXPECT_EQ(prompts.asked.back().text, kTooMany);
            ExpectSameTables(target, before);
            continue;
        }
        const int second = c.holdsSecond ? 7 : rows[0];
        EXPECT_EQ(ChannelTransponders(target),
                  (std::vector<int>{6, 6, 6, second, 255, second, 4, 3}));
        EXPECT_EQ(target.transponderGrid.cell(second, tp::Frequency), "12515,5");
    }
}

TEST(PasteChannels, IntoAnotherImagePastingTwiceAddsNoRow) {
    ListPage target = TargetPage();
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 6);
    NullProgress progress;
    ScriptedPrompts first({Answer::No});
    ASSERT_TRUE(PasteChannels(target, 1, clipboard, first, progress));
    const Grid afterFirst = target.transponderGrid;
    ScriptedPrompts second({Answer::Yes});
    ASSERT_TRUE(PasteChannels(target, 3, clipboard, second, progress));
    EXPECT_EQ(target.transponderGrid, afterFirst);
    // The second copies name the rows the first paste wrote: 2 and 5.
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{2, 2, 2, 2, 2, 5, 255, 5}));
}

TEST(PasteChannels, IntoAnotherImageDuplicatesInTheCopyShareOneNewRow) {
    ListPage source = MakePage(3, 3, 1);
    Transponder t;
    SetTransponder(source, 1, t);
    t.frequency = "11749";  // a duplicate by the merge rule, 2 MHz above
    SetTransponder(source, 2, t);
    t.frequency = "11746";  // below row 1: not the same
    SetTransponder(source, 3, t);
    for (int i = 1; i <= 3; ++i) SetChannel(source, i, "S" + std::to_string(i), i);
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(source, 1, 3), prompts, progress));
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{2, 2, 5, 1, 4, 3, 4, 3}));
    EXPECT_EQ(target.transponderGrid.cell(2, tp::Frequency), "11747");
    EXPECT_EQ(target.transponderGrid.cell(5, tp::Frequency), "11746");
    EXPECT_EQ(target.transponderGrid.cell(6, tp::Frequency), "0");
}

// ---- paste into the same image --------------------------------------------------------

TEST(PasteChannels, IntoTheSameImageKeepsTransponderNumbersAndTheTable) {
    ListPage page = SourcePage();
    const ChannelClipboard clipboard = CopyOf(page, 4, 6);
    const Grid transponders = page.transponderGrid;
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(page, 1, clipboard, prompts, progress));
    EXPECT_EQ(page.transponderGrid, transponders);
    EXPECT_EQ(ChannelTransponders(page), (std::vector<int>{2, 255, 2, 2, 255, 2}));
    // Channel 6 stands in lists 1 and 4, and so does its copy in row 3.
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{6, 3}));
}

// From the same image the channels keep their transponder numbers and no row is
// written: a table without a free row does not stop the paste, and a paste of more
// channels than there are transponder rows is not refused either.
TEST(PasteChannels, FromTheSameImageNeedsNoFreeTransponderRow) {
    ListPage page = SourcePage();
    Transponder t;
    SetTransponder(page, 3, t);  // rows 1-3 all in use: none free
    ASSERT_TRUE(FreeTransponderRows(page).empty());
    const Grid transponders = page.transponderGrid;
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(page, 5, CopyOf(page, 1, 2), prompts, progress));
    ASSERT_EQ(prompts.asked.size(), 1u);  // the paste question only
    EXPECT_EQ(page.transponderGrid, transponders);
    EXPECT_EQ(ChannelTransponders(page), (std::vector<int>{1, 1, 1, 2, 1, 1}));
    EXPECT_EQ(page.channelGrid.cell(6, ch::Name), "RAI 2");

    // An empty clipboard pastes nothing and asks nothing.
    ScriptedPrompts none;
    EXPECT_FALSE(PasteChannels(page, 1, ChannelClipboard{}, none, progress));
    EXPECT_TRUE(none.asked.empty());
}

// A pasted channel keeps its favourites whether "Attivo" is set or not: its entries are
// added to the lists it names (up to 128 entries in a list), its "Preferenza" stays the
// set of lists holding it, and the entries show its name. A list with no free slot
// keeps the channel out, which is told before the page changes.
TEST(PasteChannels, PastedChannelsKeepTheirFavouritesWhateverTheirActiveState) {
    struct Case {
        const char* what;
        const char* status;  // of the copied channel, which stands in lists 1 and 4
        int usedInList1;     // entries list 1 of the target holds before the paste
        ListLayout layout;
        std::vector<int> list1, list4;  // entries naming the pasted channel (row 2)
        const char* preferenza;
        const char* told;  // "" when nothing is told
    };
    const char* const kFull =
        "Attenzione: i preferiti di questi canali non possono essere conservati (le liste dei "
        "preferiti hanno al "
        "massimo 128 canali):\n- 2 EURO (lista 1)";
    const std::vector<Case> cases = {
        {"active", "04", 0, ListLayout::Split, {2}, {2}, "9", ""},
        {"inactive", "00", 0, ListLayout::Split, {2}, {2}, "9", ""},
        {"inactive, locked", "01", 0, ListLayout::Split, {2}, {2}, "9", ""},
        {"inactive, list 1 has one free slot", "00", 127, ListLayout::Split, {2}, {2}, "9", ""},
        {"inactive, list 1 full", "00", 128, ListLayout::Split, {}, {2}, "8", kFull},
        {"active, list 1 full", "04", 128, ListLayout::Split, {}, {2}, "8", kFull},
        {"single list",
         "04",
         0,
         ListLayout::Single,
         {},
         {},
         "0",
         "Attenzione: i preferiti di questi canali non possono essere conservati (questa lista non "
         "contiene liste "
         "dei preferiti):\n- 2 EURO (liste 1, 4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage source = SourcePage();
        source.channelGrid.setCell(6, ch::Status, c.status);
        ListPage target = MakePage(200, 4, 2);
        target.layout = c.layout;
        Transponder t;
        t.frequency = "10800";
        SetTransponder(target, 1, t);
        for (int i = 1; i <= 200; ++i) SetChannel(target, i, "T" + std::to_string(i), 1);
        for (int i = 0; i < c.usedInList1; ++i) AddFavourite(target, 1, 10 + i);
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(target, 2, CopyOf(source, 6, 6), prompts, progress));
        std::vector<int> list1;
        for (int n : Favourites(target, 1))
            if (n == 2) list1.push_back(n);
        EXPECT_EQ(list1, c.list1);
        EXPECT_EQ(Favourites(target, 4), c.list4);
        EXPECT_EQ(static_cast<int>(Favourites(target, 1).size()),
                  c.usedInList1 + static_cast<int>(c.list1.size()));
        EXPECT_EQ(target.channelGrid.cell(2, ch::Favourites), c.preferenza);
        if (!c.list4.empty()) {
            EXPECT_EQ(target.favouriteGrids[3].cell(1, fav::Name), "EURO");
        }
        if (*c.told) {
            ASSERT_EQ(prompts.asked.size(), 2u);
            EXPECT_EQ(prompts.asked[1].text, c.told);
            EXPECT_EQ(prompts.asked[1].icon, Icon::Warning);
        } else {
            EXPECT_EQ(prompts.asked.size(), 1u);
        }
    }
}

// The warning names the first ten channels that lose their favourites and counts the
// rest on one line.
TEST(PasteChannels, FavouritesWarningListsTenChannelsAndCountsTheRest) {
    ListPage source = MakePage(12, 1, 1);
    SetTransponder(source, 1, Transponder{});
    for (int i = 1; i <= 12; ++i) {
        SetChannel(source, i, "C" + std::to_string(i), 1);
        AddFavourite(source, 2, i);
    }
    ListPage target = MakePage(20, 4, 2);
    target.layout = ListLayout::Single;
    for (int i = 1; i <= 20; ++i) SetChannel(target, i, "T" + std::to_string(i), 1);
    Transponder t;
    t.frequency = "10800";
    SetTransponder(target, 1, t);
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 3, CopyOf(source, 1, 12), prompts, progress));
    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[1].text,
              "Attenzione: i preferiti di questi canali non possono essere conservati (questa "
              "lista non contiene "
              "liste dei preferiti):\n- 3 C1 (lista 2)\n- 4 C2 (lista 2)\n- 5 C3 (lista 2)\n- 6 C4 "
              "(lista 2)"
              "\n- 7 C5 (lista 2)\n- 8 C6 (lista 2)\n- 9 C7 (lista 2)\n- 10 C8 (lista 2)\n- 11 C9 "
              "(lista 2)"
              "\n- 12 C10 (lista 2)\n... e altri 2");
    EXPECT_EQ(prompts.asked[1].title, "Attenzione");
}

// ---- favourites against a step-by-step reference --------------------------------------

TEST(PasteChannels, FavouritesAgreeWithStepByStepReferenceOnRandomPages) {
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + static_cast<int>(rng() % 40);
        ListPage page = reference::RandomPage(rng, count);
        ChannelClipboard clipboard;
        clipboard.hasContent = true;
        clipboard.sourceImage = page.imageId;
        const int c = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < c; ++i) {
            ClipChannel clip;
            clip.name = "P" + std::to_string(i);
            clip.status = static_cast<std::uint8_t>(rng() % 3 ? 0x04 : 0x00);
            clip.transponderMark = 1000 + static_cast<int>(rng() % 5);
            clip.vPid = rng() % 2 ? 65535 : 512;
            clip.favourites = static_cast<std::int64_t>(rng() % 256);
            clipboard.channels.push_back(clip);
        }
        const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(count));
        const bool insert = rng() % 2 == 0;
        ListPage expected = page;
        ScriptedPrompts prompts({insert ? Answer::Yes : Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(page, r, clipboard, prompts, progress));
        ASSERT_EQ(reference::PasteChannels(expected, r, clipboard, insert),
                  reference::PasteOutcome::Pasted);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSameTables(page, expected);
    }
}

// ---- into another image against the step-by-step reference ---------------------------

// A transponder table of `rows` rows, each free ("0", grey) or in use with values drawn
// from small sets, so that copies often meet a transponder the target already holds
// (equal, or a few MHz apart).
void RandomTransponders(std::mt19937& rng, ListPage& page, int rows) {
    auto pick = [&](int lo, int hi) {
        return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
    };
    page.transponderGrid = Grid(tp::Count, rows + 1);
    for (int t = 1; t <= rows; ++t) {
        Transponder x;
        const bool tone = pick(0, 3) == 0;
        x.tone = tone ? "On" : "Off";
        x.frequency =
            std::to_string((tone ? 11700 : 10700) + pick(0, 6)) + (pick(0, 5) == 0 ? ",5" : "");
        x.tid = std::to_string(pick(1, 2));
        x.symbolRate = std::to_string(pages::kRates[static_cast<size_t>(pick(0, 1))]);
        x.polarisation = pick(0, 1) ? "H" : "V";
        x.satellite = pick(0, 3) == 0 ? page.satelliteB : page.satelliteA;
        if (pick(0, 3) == 0) x.frequency = "0";  // free, wherever it falls
        SetTransponder(page, t, x);
        page.transponderGrid.setCell(t, tp::Num, std::to_string(t));
    }
}

// Points every channel in use at a random transponder: a row (free or not), 255, a
// number above 255, or 0.
void RandomReferences(std::mt19937& rng, ListPage& page) {
    const int rows = page.transponderCount();
    for (int n = 1; n <= page.channelCount(); ++n) {
        if (page.channelGrid.cell(n, ch::Name).empty()) continue;
        const unsigned kind = rng() % 10;
        std::string text =
            std::to_string(1 + static_cast<int>(rng() % static_cast<unsigned>(rows)));
        if (kind == 0)
            text = "255";
        else if (kind == 1)
            text = std::to_string(256 + static_cast<int>(rng() % 100));
        else if (kind == 2)
            text = "0";
        page.channelGrid.setCell(n, ch::Transponder, text);
    }
}

TEST(PasteChannels, IntoAnotherImageAgreesWithStepByStepReferenceOnRandomPages) {
    std::mt19937 rng(7);
    int pasted = 0, reusedSome = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ListPage source = reference::RandomPage(rng, 1 + static_cast<int>(rng() % 30));
        source.imageId = 1;
        source.lnbLow = 9750;
        source.lnbHigh = 10600;
        source.satelliteA = "HotBird";
        source.satelliteB = "Astra";
        source.symbolRates = pages::kRates;
        RandomTransponders(rng, source, 1 + static_cast<int>(rng() % 10));
        RandomReferences(rng, source);
        // Copy refuses a "Preferenza" that is not a number; that has a test of its own.
        for (int n = 1; n <= source.channelCount(); ++n)
            if (CellIntegerOr(source.channelGrid.cell(n, ch::Favourites), -1) < 0)
                source.channelGrid.setCell(n, ch::Favourites, "0");

        ListPage target = reference::RandomPage(rng, 1 + static_cast<int>(rng() % 40));
        target.imageId = 2;
        target.lnbLow = rng() % 4 == 0 ? 10000 : 9750;
        target.lnbHigh = 10600;
        target.satelliteA = "HotBird";
        target.satelliteB = rng() % 5 == 0 ? "Eutelsat" : "Astra";
        target.symbolRates = pages::kRates;
        if (rng() % 10 == 0) target.symbolRates[1] = 1;  // 22000 unknown to the target
        RandomTransponders(rng, target, 1 + static_cast<int>(rng() % 14));
        // Some rows of the target hold a source transponder as the source shows it.
        for (int t = 1; t <= target.transponderCount(); ++t) {
            if (rng() % 4 != 0) continue;
            const int from =
                1 + static_cast<int>(rng() % static_cast<unsigned>(source.transponderCount()));
            target.transponderGrid.row(t) = source.transponderGrid.row(from);
            target.transponderGrid.setCell(t, tp::Num, std::to_string(t));
        }
        RandomReferences(rng, target);

        const int count = source.channelCount();
        const int first = 1 + static_cast<int>(rng() % static_cast<unsigned>(count));
        const int last = first + static_cast<int>(rng() % static_cast<unsigned>(count - first + 1));
        ChannelClipboard clipboard;
        CopyChannels(source, first, last, clipboard);
        const ChannelClipboard expectedClipboard = reference::CopyChannels(source, first, last);
        ASSERT_EQ(clipboard.channels, expectedClipboard.channels);
        ASSERT_EQ(clipboard.transponders, expectedClipboard.transponders);

        const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(target.channelCount()));
        const bool insert = rng() % 2 == 0;
        ListPage expected = target;
        const reference::PasteOutcome outcome =
            reference::PasteChannels(expected, r, clipboard, insert);
        const ListPage before = target;
        ScriptedPrompts prompts({insert ? Answer::Yes : Answer::No});
        NullProgress progress;
        EXPECT_EQ(PasteChannels(target, r, clipboard, prompts, progress),
                  outcome == reference::PasteOutcome::Pasted);
        ExpectSameTables(target, expected);
        EXPECT_EQ(target.modified, expected.modified);
        if (outcome == reference::PasteOutcome::Pasted) {
            ++pasted;
            int newRows = 0;
            for (int t = 1; t <= target.transponderCount(); ++t)
                newRows += before.transponderGrid.cell(t, tp::Frequency) !=
                           target.transponderGrid.cell(t, tp::Frequency);
            reusedSome += newRows < static_cast<int>(clipboard.transponders.size());
        } else {
            ++refused;
            EXPECT_EQ(
                prompts.asked.back().text,
                outcome == reference::PasteOutcome::TooManyTransponders ? kTooMany : kBadRate);
        }
    }
    // The rounds reach every path: pasted with and without reuse, and refused.
    EXPECT_GT(pasted, 100) << pasted;
    EXPECT_GT(reusedSome, 40) << reusedSome;
    EXPECT_GT(refused, 10) << refused;
}

}  // namespace
}  // namespace rivo
