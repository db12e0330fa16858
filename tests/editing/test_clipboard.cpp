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

const char* const kTooMany = "Troppi transponder nella selezione\nDiminuire il numero di canali selezionati";
const char* const kBadRate =
    "I dati relativi al symbol rate di un transponder, non sono compatibili\nQuesta operazione non verrà eseguita";

// Source image 1: transponders 1 (11747 H Off HotBird), 2 (12515,5 V On Astra), 3 unused;
// channels 1-3 on transponder 1, 4 on 2, 5 empty, 6 on 2 and in lists 1 and 4.
ListPage SourcePage() {
    ListPage page = MakePage(6, 3, 1);
    Transponder t;
    t.Tid = "1100";
    SetTransponder(page, 1, t);
    t.Frequency = "12515,5";
    t.Tid = "7";
    t.Nid = "318";
    t.Channels = "12";
    t.SymbolRate = "22000";
    t.Fec = "5/6";
    t.Polarisation = "V";
    t.Tone = "On";
    t.Satellite = "Astra";
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
    t.Frequency = "10800";
    for (int j : {1, 3, 4}) SetTransponder(page, j, t);
    for (int i = 1; i <= 8; ++i) SetChannel(page, i, "T" + std::to_string(i), i <= 4 ? 1 : 3 + i % 2);
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
    EXPECT_EQ(actual.ChannelGrid, expected.ChannelGrid);
    EXPECT_EQ(actual.TransponderGrid, expected.TransponderGrid);
    for (int k = 0; k < fav::Lists; ++k)
        EXPECT_EQ(actual.FavouriteGrids[static_cast<size_t>(k)], expected.FavouriteGrids[static_cast<size_t>(k)])
            << "list " << k + 1;
}

// ---- copy -----------------------------------------------------------------------------

TEST(CopyChannels, ChannelsSharingATransponderCarryItOnce) {
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 3);
    ASSERT_TRUE(clipboard.HasContent);
    EXPECT_EQ(clipboard.SourceImage, 1u);
    ASSERT_EQ(clipboard.Channels.size(), 3u);
    ASSERT_EQ(clipboard.Transponders.size(), 1u);
    const ClipTransponder& t = clipboard.Transponders[0];
    EXPECT_EQ(t.IntermediateHertz, 1997000000);  // 11747 - 9750 MHz
    EXPECT_EQ(t.Flags, 2);                       // horizontal, tone off, satellite A
    EXPECT_EQ(t.TransponderMark, 1001);
    EXPECT_EQ(t.Fec, 2);
    EXPECT_EQ(t.Tid, 1100);
    EXPECT_EQ(clipboard.Channels[2].Name, "RADIO");
    EXPECT_EQ(clipboard.Channels[2].TransponderMark, 1001);
    EXPECT_EQ(clipboard.Channels[2].VPid, 65535);
}

TEST(CopyChannels, HighBandSatelliteBAndFavouritesAreCarried) {
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 4, 6);
    ASSERT_EQ(clipboard.Channels.size(), 3u);
    ASSERT_EQ(clipboard.Transponders.size(), 1u);  // the empty channel 5 carries none
    const ClipTransponder& t = clipboard.Transponders[0];
    EXPECT_EQ(t.IntermediateHertz, 1915500000);  // 12515,5 - 10600 MHz
    EXPECT_EQ(t.Flags, 1 + 8);
    EXPECT_EQ(t.SymbolRate, 22000);
    EXPECT_EQ(clipboard.Channels[0].Status, 0xC4);
    EXPECT_EQ(clipboard.Channels[1].TransponderMark, 1255);
    EXPECT_EQ(clipboard.Channels[2].Favourites, 1 + 8);
}

TEST(CopyChannels, ANameLongerThanSixteenIsCut) {
    ListPage page = SourcePage();
    page.ChannelGrid.setCell(1, ch::Name, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(CopyOf(page, 1, 1).Channels[0].Name, "ABCDEFGHIJKLMNOP");
}

TEST(CopyChannels, ACellThatIsNotANumberKeepsThePreviousContent) {
    ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 1);
    const ChannelClipboard before = clipboard;
    for (auto [row, column, text] : {std::tuple{2, ch::Sid, "x"}, std::tuple{2, ch::Status, "ZZ"}}) {
        ListPage page = SourcePage();
        page.ChannelGrid.setCell(row, column, text);
        EXPECT_THROW(CopyChannels(page, 1, 4, clipboard), ConversionError);
        EXPECT_EQ(clipboard.Channels, before.Channels);
    }
    ListPage badFec = SourcePage();
    badFec.TransponderGrid.setCell(2, tp::Fec, "?");
    EXPECT_THROW(CopyChannels(badFec, 4, 4, clipboard), ConversionError);
    EXPECT_EQ(clipboard.Transponders, before.Transponders);
}

// ---- paste into another image ---------------------------------------------------------

TEST(PasteChannels, IntoAnotherImageTransponderIsReExpressedWithTheTargetsLnb) {
    ListPage source = MakePage(1, 1, 1);
    source.LnbLow = 10000;
    Transponder t;
    t.Frequency = "11778";
    SetTransponder(source, 1, t);
    SetChannel(source, 1, "X", 1);
    ListPage target = MakePage(2, 3, 2);
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(source, 1, 1), prompts, progress));
    EXPECT_EQ(target.TransponderGrid.cell(1, tp::Frequency), "11528");
    EXPECT_EQ(target.ChannelGrid.cell(1, ch::Transponder), "1");
}

TEST(PasteChannels, IntoAnotherImageFillsFreeRowsAndNeverOverwritesATransponderInUse) {
    ListPage target = TargetPage();
    target.SatelliteA = "SatA";
    target.SatelliteB = "SatB";
    const ListPage before = target;
    ScriptedPrompts prompts({Answer::No});
    pages::RecordingProgress progress;
    ASSERT_TRUE(PasteChannels(target, 2, CopyOf(SourcePage(), 1, 6), prompts, progress));

    // Free rows are 2 and 5 (3 and 4 are in use): transponder 1 goes to 2, 2 to 5.
    EXPECT_EQ(target.TransponderGrid.row(2).cells,
              (std::vector<std::string>{"2", "11747", "1100", "1", "1", "27500", "3/4", "H", "Off", "SatA"}));
    EXPECT_EQ(target.TransponderGrid.row(5).cells,
              (std::vector<std::string>{"5", "12515,5", "7", "318", "12", "22000", "5/6", "V", "On", "SatB"}));
    EXPECT_EQ(target.TransponderGrid.colour(2), kColourInUse);
    for (int j : {1, 3, 4}) EXPECT_EQ(target.TransponderGrid.row(j), before.TransponderGrid.row(j));
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{1, 2, 2, 2, 5, 255, 5, 3}));
    EXPECT_EQ(target.ChannelGrid.cell(3, ch::Name), "RAI 2");
    EXPECT_EQ(target.ChannelGrid.colour(4), kColourRadio);
    EXPECT_EQ(target.ChannelGrid.cell(5, ch::Status), "C4");
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(target.ChannelGrid.cell(i, ch::Num), std::to_string(i));
    EXPECT_TRUE(target.Modified);
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
    EXPECT_EQ(target.FavouriteGrids[0].cell(1, fav::Name), "EURO");
    EXPECT_EQ(Favourites(target, 4), (std::vector<int>{8}));
    EXPECT_EQ(Favourites(target, 2), (std::vector<int>{5}));
    EXPECT_EQ(target.ChannelGrid.cell(7, ch::Transponder), "255");
    EXPECT_EQ(target.ChannelGrid.colour(7), kColourGrey);
}

TEST(PasteChannels, InsertingShiftsChannelsWithTheirFavouritesEntries) {
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::Yes, Answer::Yes});
    NullProgress progress;
    // Two channels at row 4: former 4..6 move to 6..8; former 7 and 8 fall off.
    ASSERT_TRUE(PasteChannels(target, 4, CopyOf(SourcePage(), 1, 2), prompts, progress));
    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[1].text, "Attenzione: alcuni degli ultimi canali saranno cancellati\nContinuare?");
    EXPECT_EQ(prompts.asked[1].icon, Icon::Warning);
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) names.push_back(target.ChannelGrid.cell(i, ch::Name));
    EXPECT_EQ(names, (std::vector<std::string>{"T1", "T2", "T3", "RAI 1", "RAI 2", "T4", "T5", "T6"}));
    EXPECT_TRUE(Favourites(target, 1).empty());          // former channel 8 fell off
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
        EXPECT_FALSE(target.Modified);
        ASSERT_EQ(prompts.asked.size(), c.questions);
        if (c.questions >= 2) {
            EXPECT_EQ(prompts.asked[1].text, "Attenzione: solo alcuni canali potranno essere copiati.\nContinuare?");
        }
    }
}

TEST(PasteChannels, OverwritingNearTheEndDropsWhatDoesNotFitWithoutAsking) {
    ListPage source = MakePage(5, 1, 1);
    for (int i = 1; i <= 5; ++i) SetChannel(source, i, "S" + std::to_string(i), 255);
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 6, CopyOf(source, 1, 5), prompts, progress));
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(target.ChannelGrid.cell(5, ch::Name), "T5");
    EXPECT_EQ(target.ChannelGrid.cell(6, ch::Name), "S1");
    EXPECT_EQ(target.ChannelGrid.cell(8, ch::Name), "S3");
}

TEST(PasteChannels, RefusalsAreToldAndChangeNothing) {
    // Too many transponders: the free rows are counted, not the rows from the first free
    // one to the end (here row 2 is free, rows 3-10 are all in use).
    ListPage crowded = TargetPage();
    Transponder used;  // none of them the same as a copied one, which would be reused
    used.Frequency = "10900";
    for (int j = 5; j <= 10; ++j) SetTransponder(crowded, j, used);
    // A symbol rate the target does not know.
    ListPage otherRates = TargetPage();
    otherRates.SymbolRates[1] = 1;

    for (auto [page, message] : {std::pair{crowded, kTooMany}, std::pair{otherRates, kBadRate}}) {
        const ListPage before = page;
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        EXPECT_FALSE(PasteChannels(page, 1, CopyOf(SourcePage(), 1, 6), prompts, progress));
        ExpectSameTables(page, before);
        EXPECT_FALSE(page.Modified);
        ASSERT_EQ(prompts.asked.size(), 2u);
        EXPECT_EQ(prompts.asked[1].text, message);
        EXPECT_EQ(prompts.asked[1].title, "Attenzione");
        EXPECT_EQ(prompts.asked[1].icon, Icon::Error);
    }
}

TEST(PasteChannels, AFreeRowStillNamedByAChannelIsNotReused) {
    ListPage target = TargetPage();
    SetTransponder(target, 2, Transponder{});
    target.TransponderGrid.setCell(3, tp::Frequency, "0");  // "0" typed over a row in use
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(SourcePage(), 4, 4), prompts, progress));
    EXPECT_EQ(target.TransponderGrid.cell(3, tp::Frequency), "0");
    EXPECT_EQ(target.ChannelGrid.cell(1, ch::Transponder), "5");
    EXPECT_EQ(target.ChannelGrid.cell(6, ch::Transponder), "3");
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
    twoBelow.Frequency = "11745";
    Transponder threeBelow = same;
    threeBelow.Frequency = "11744";
    Transponder above = same;  // but never below it ("11748" reads as 11747 in single precision)
    above.Frequency = "11749";
    Transponder otherTid = same;
    otherTid.Tid = "1101";
    Transponder otherChannels = same;  // "Canali" is not compared
    otherChannels.Channels = "40";
    Transponder otherSatellite = same;
    otherSatellite.Satellite = "Astra";
    const std::vector<Case> cases = {
        {"same", same, true},          {"2 MHz below", twoBelow, true}, {"3 MHz below", threeBelow, false},
        {"1 MHz above", above, false}, {"other TID", otherTid, false},  {"other count", otherChannels, true},
        {"other satellite", otherSatellite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage target = TargetPage();
        SetTransponder(target, 3, c.held);
        const GridRow heldRow = target.TransponderGrid.row(3);
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(target, 1, CopyOf(SourcePage(), 1, 4), prompts, progress));
        // The free rows are 2, 5, 6, ...: a transponder not held takes the next one.
        const int first = c.reused ? 3 : 2;
        const int second = c.reused ? 2 : 5;
        EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{first, first, first, second, 4, 3, 4, 3}));
        EXPECT_EQ(target.TransponderGrid.row(3), heldRow);  // a reused row is left as it was
        EXPECT_EQ(target.TransponderGrid.cell(second, tp::Frequency), "12515,5");
        EXPECT_EQ(target.TransponderGrid.cell(first, tp::Frequency), c.reused ? heldRow.cells[tp::Frequency] : "11747");
        EXPECT_EQ(target.TransponderGrid.cell(c.reused ? 5 : 6, tp::Frequency), "0");
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
    for (const Case& c : {Case{false, 1, true}, Case{false, 0, false}, Case{true, 0, true}, Case{false, 2, true}}) {
        SCOPED_TRACE(std::to_string(c.holdsSecond) + " " + std::to_string(c.free));
        ListPage target = TargetPage();
        Transponder other;
        other.Frequency = "10900";
        std::vector<int> rows = {2, 5, 7, 8, 9, 10};
        for (size_t k = static_cast<size_t>(c.free); k < rows.size(); ++k) SetTransponder(target, rows[k], other);
        Transponder first;
        SetTransponder(target, 6, first);
        if (c.holdsSecond)
            SetTransponder(target, 7, Transponder{"12515,5", "7", "318", "3", "22000", "5/6", "V", "On", "Astra"});
        const ListPage before = target;
        ScriptedPrompts prompts({Answer::No});
        NullProgress progress;
        EXPECT_EQ(PasteChannels(target, 1, CopyOf(SourcePage(), 1, 6), prompts, progress), c.pasted);
        if (!c.pasted) {
            EXPECT_EQ(prompts.asked.back().text, kTooMany);
            ExpectSameTables(target, before);
            continue;
        }
        const int second = c.holdsSecond ? 7 : rows[0];
        EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{6, 6, 6, second, 255, second, 4, 3}));
        EXPECT_EQ(target.TransponderGrid.cell(second, tp::Frequency), "12515,5");
    }
}

TEST(PasteChannels, IntoAnotherImagePastingTwiceAddsNoRow) {
    ListPage target = TargetPage();
    const ChannelClipboard clipboard = CopyOf(SourcePage(), 1, 6);
    NullProgress progress;
    ScriptedPrompts first({Answer::No});
    ASSERT_TRUE(PasteChannels(target, 1, clipboard, first, progress));
    const Grid afterFirst = target.TransponderGrid;
    ScriptedPrompts second({Answer::Yes});
    ASSERT_TRUE(PasteChannels(target, 3, clipboard, second, progress));
    EXPECT_EQ(target.TransponderGrid, afterFirst);
    // The second copies name the rows the first paste wrote: 2 and 5.
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{2, 2, 2, 2, 2, 5, 255, 5}));
}

TEST(PasteChannels, IntoAnotherImageDuplicatesInTheCopyShareOneNewRow) {
    ListPage source = MakePage(3, 3, 1);
    Transponder t;
    SetTransponder(source, 1, t);
    t.Frequency = "11749";  // a duplicate by the merge rule, 2 MHz above
    SetTransponder(source, 2, t);
    t.Frequency = "11746";  // below row 1: not the same
    SetTransponder(source, 3, t);
    for (int i = 1; i <= 3; ++i) SetChannel(source, i, "S" + std::to_string(i), i);
    ListPage target = TargetPage();
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(target, 1, CopyOf(source, 1, 3), prompts, progress));
    EXPECT_EQ(ChannelTransponders(target), (std::vector<int>{2, 2, 5, 1, 4, 3, 4, 3}));
    EXPECT_EQ(target.TransponderGrid.cell(2, tp::Frequency), "11747");
    EXPECT_EQ(target.TransponderGrid.cell(5, tp::Frequency), "11746");
    EXPECT_EQ(target.TransponderGrid.cell(6, tp::Frequency), "0");
}

// ---- paste into the same image --------------------------------------------------------

TEST(PasteChannels, IntoTheSameImageKeepsTransponderNumbersAndTheTable) {
    ListPage page = SourcePage();
    const ChannelClipboard clipboard = CopyOf(page, 4, 6);
    const Grid transponders = page.TransponderGrid;
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(PasteChannels(page, 1, clipboard, prompts, progress));
    EXPECT_EQ(page.TransponderGrid, transponders);
    EXPECT_EQ(ChannelTransponders(page), (std::vector<int>{2, 255, 2, 2, 255, 2}));
    // Channel 6 stands in lists 1 and 4, and so does its copy in row 3.
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{6, 3}));
}

TEST(PasteChannels, NoFreeTransponderRowRefusesEvenFromTheSameImage) {
    ListPage page = SourcePage();
    Transponder t;
    SetTransponder(page, 3, t);
    const ChannelClipboard clipboard = CopyOf(page, 1, 1);
    ScriptedPrompts prompts({Answer::No});
    NullProgress progress;
    EXPECT_FALSE(PasteChannels(page, 5, clipboard, prompts, progress));
    EXPECT_EQ(prompts.asked.back().text, kTooMany);

    // An empty clipboard pastes nothing and asks nothing.
    ScriptedPrompts none;
    EXPECT_FALSE(PasteChannels(page, 1, ChannelClipboard{}, none, progress));
    EXPECT_TRUE(none.asked.empty());
}

// ---- favourites against a step-by-step reference --------------------------------------

void RefPaste(ListPage& page, int r, const ChannelClipboard& clipboard, bool insert) {
    const int count = page.channelCount();
    const int c = static_cast<int>(clipboard.Channels.size());
    if (insert) {
        for (int i = std::max(count - c + 1, r); i <= count; ++i) ClearChannelRow(page, i);
        for (int i = count - c; i >= r; --i) MoveChannelRow(page, i, i + c);
    } else {
        for (int i = r; i <= std::min(count, r + c - 1); ++i) ClearChannelRow(page, i);
    }
    for (int i = 0; i < c && r + i <= count; ++i) {
        const ClipChannel& clip = clipboard.Channels[static_cast<size_t>(i)];
        page.ChannelGrid.row(r + i).cells = {
            "", clip.Name, std::to_string(clip.TransponderMark - 1000), std::to_string(clip.Sid),
            std::to_string(clip.VPid), std::to_string(clip.APid), std::to_string(clip.VEcm),
            std::to_string(clip.AEcm), std::to_string(clip.Pcr), StatusText(clip.Status),
            std::to_string(clip.Favourites)};
    }
    for (int i = 0; i < c && r + i <= count; ++i) UpdateChannelRow(r + i, page);
    RenumberChannels(page);
}

TEST(PasteChannels, FavouritesAgreeWithStepByStepReferenceOnRandomPages) {
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + static_cast<int>(rng() % 40);
        ListPage page = reference::RandomPage(rng, count);
        ChannelClipboard clipboard;
        clipboard.HasContent = true;
        clipboard.SourceImage = page.ImageId;
        const int c = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < c; ++i) {
            ClipChannel clip;
            clip.Name = "P" + std::to_string(i);
            clip.Status = static_cast<std::uint8_t>(rng() % 3 ? 0x04 : 0x00);
            clip.TransponderMark = 1000 + static_cast<int>(rng() % 5);
            clip.VPid = rng() % 2 ? 65535 : 512;
            clip.Favourites = static_cast<std::int64_t>(rng() % 256);
            clipboard.Channels.push_back(clip);
        }
        const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(count));
        const bool insert = rng() % 2 == 0;
        ListPage expected = page;
        ScriptedPrompts prompts({insert ? Answer::Yes : Answer::No});
        NullProgress progress;
        ASSERT_TRUE(PasteChannels(page, r, clipboard, prompts, progress));
        RefPaste(expected, r, clipboard, insert);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSameTables(page, expected);
    }
}

}  // namespace
}  // namespace rivo
