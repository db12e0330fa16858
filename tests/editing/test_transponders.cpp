// Transponder maintenance: deleting, merging duplicates, swapping satellite names, and
// the rule that rows 255 and beyond are never named by a channel.
#include <gtest/gtest.h>

#include <random>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/transponders.h"
#include "page_maker.h"
#include "reference_editing.h"

namespace rivo {
namespace {

using pages::ChannelTransponders;
using pages::Favourites;
using pages::MakePage;
using pages::ScriptedPrompts;
using pages::SetChannel;
using pages::SetTransponder;
using pages::Transponder;

// ---- step-by-step references, exactly row by row --------------------------------------

void RefClearTransponderRow(ListPage& page, int n) {
    Grid& g = page.transponderGrid;
    for (int c : {tp::Frequency, tp::Tid, tp::Nid, tp::Channels}) g.setCell(n, c, "0");
    g.setCell(n, tp::SymbolRate, std::to_string(page.symbolRates[0]));
    g.setCell(n, tp::Fec, "1/2");
    g.setCell(n, tp::Polarisation, "V");
    g.setCell(n, tp::Tone, "On");
    g.setCell(n, tp::Satellite, page.satelliteA);
    g.setColour(n, kColourGrey);
    for (int i = 1; i <= page.channelCount(); ++i)
        if (page.channelGrid.cell(i, ch::Transponder) == std::to_string(n)) ClearChannelRow(page, i);
}

void RefRenameChannels(ListPage& page, int from, int to) {
    for (int i = 1; i <= page.channelCount(); ++i)
        if (page.channelGrid.cell(i, ch::Transponder) == std::to_string(from))
            page.channelGrid.setCell(i, ch::Transponder, std::to_string(to));
}

void RefRemoveTransponderRow(ListPage& page, int n) {
    const int count = page.transponderCount();
    for (int i = 1; i <= page.channelCount(); ++i)
        if (page.channelGrid.cell(i, ch::Transponder) == std::to_string(n)) ClearChannelRow(page, i);
    for (int j = n + 1; j <= count; ++j) {
        page.transponderGrid.row(j - 1).cells = page.transponderGrid.row(j).cells;
        page.transponderGrid.setColour(j - 1, page.transponderGrid.cell(j - 1, tp::Frequency) == "0" ? kColourGrey
                                                                                                       : kColourInUse);
        RefRenameChannels(page, j, j - 1);
    }
    RefClearTransponderRow(page, count);
    for (int j = 1; j <= count; ++j) page.transponderGrid.setCell(j, tp::Num, std::to_string(j));
}

void RefOptimise(ListPage& page) {
    for (int n = page.transponderCount(); n >= 1; --n) {
        if (page.transponderGrid.cell(n, tp::Frequency) == "0") continue;
        for (int k = 1; k < n; ++k) {
            if (!TranspondersMatch(page, n, k)) continue;
            RefRenameChannels(page, n, k);
            RefClearTransponderRow(page, n);
            break;
        }
    }
}

// A page with inconsistent favourites (from the shared random page) and a transponder
// table full of near-duplicates; channels name transponders, none, or odd texts.
ListPage RandomTransponderPage(std::mt19937& rng, int transponders) {
    ListPage page = reference::RandomPage(rng, 60);
    const ListPage shape = MakePage(0, transponders);
    page.transponderGrid = shape.transponderGrid;
    page.symbolRates = shape.symbolRates;
    auto pick = [&](std::initializer_list<const char*> options) {
        return std::string(options.begin()[rng() % options.size()]);
    };
    for (int j = 1; j <= transponders; ++j) {
        Transponder t;
        t.frequency = pick({"0", "11000", "11001", "11002", "11003", "11005", "11778", "11780", "11000,5", "x"});
        t.tid = pick({"1", "2"});
        t.channels = pick({"1", "7"});
        t.tone = pick({"On", "Off"});
        SetTransponder(page, j, t);
    }
    for (int i = 1; i <= page.channelCount(); ++i) {
        const unsigned kind = rng() % 10;
        std::string text = std::to_string(1 + rng() % static_cast<unsigned>(transponders));
        if (kind == 0) text = "255";
        if (kind == 1) text = "0" + text;
        if (kind == 2) text = std::to_string(transponders + 1);
        page.channelGrid.setCell(i, ch::Transponder, text);
    }
    return page;
}

void ExpectSameTables(const ListPage& actual, const ListPage& expected) {
    EXPECT_EQ(actual.channelGrid, expected.channelGrid);
    EXPECT_EQ(actual.transponderGrid, expected.transponderGrid);
    for (int k = 0; k < fav::Lists; ++k)
        EXPECT_EQ(actual.favouriteGrids[static_cast<size_t>(k)], expected.favouriteGrids[static_cast<size_t>(k)])
            << "list " << k + 1;
}

// Six transponders; channels 1-2 on 4, 3 on 5, 4 on 6, 5 empty; channel 1 in lists 1 and 3.
ListPage SmallPage() {
    ListPage page = MakePage(6, 6);
    for (int j = 1; j <= 6; ++j) {
        Transponder t;
        t.frequency = std::to_string(11700 + j * 20);
        t.tid = std::to_string(j);
        SetTransponder(page, j, t);
    }
    SetChannel(page, 1, "UNO", 4);
    SetChannel(page, 2, "DUE", 4);
    SetChannel(page, 3, "TRE", 5);
    SetChannel(page, 4, "QUATTRO", 6);
    SetChannel(page, 6, "SEI", 1);
    pages::AddFavourite(page, 1, 1);
    pages::AddFavourite(page, 3, 1);
    pages::AddFavourite(page, 1, 3);
    return page;
}

// ---- deleting -------------------------------------------------------------------------

// No leaves a free row where the transponder stood; Yes moves the rows below up and
// their channels follow, leaving the last row free; on the last row both are the same.
// Either way the transponder's channels are emptied and leave their lists.
TEST(DeleteTransponder, NoYesAndTheLastRow) {
    struct Case {
        int row;
        Answer answer;
        std::vector<std::string> frequencies, tids;  // rows 1..6 afterwards
        std::vector<int> channels;                    // "Trasponder" of channels 1..6
        std::vector<int> list1, list3;
    };
    const std::vector<std::string> lastFree = {"11720", "11740", "11760", "11780", "11800", "0"};
    const std::vector<std::string> lastFreeTids = {"1", "2", "3", "4", "5", "0"};
    const Case cases[] = {
        {4, Answer::No, {"11720", "11740", "11760", "0", "11800", "11820"}, {"1", "2", "3", "0", "5", "6"},
         {255, 255, 5, 6, 255, 1}, {3}, {}},
        {4, Answer::Yes, {"11720", "11740", "11760", "11800", "11820", "0"}, {"1", "2", "3", "5", "6", "0"},
         {255, 255, 4, 5, 255, 1}, {3}, {}},
        {6, Answer::Yes, lastFree, lastFreeTids, {4, 4, 5, 255, 255, 1}, {1, 3}, {1}},
        {6, Answer::No, lastFree, lastFreeTids, {4, 4, 5, 255, 255, 1}, {1, 3}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + (c.answer == Answer::Yes ? " Yes" : " No"));
        ListPage page = SmallPage();
        ScriptedPrompts prompts({c.answer});
        pages::RecordingProgress progress;
        ASSERT_TRUE(DeleteTransponder(page, c.row, prompts, progress));

        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].title, "Cancellazione canale");
        EXPECT_EQ(prompts.asked[0].icon, Icon::Warning);
        EXPECT_EQ(prompts.asked[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(prompts.asked[0].text,
                  "Vuoi spostare i transponder successivi verso l'altro?\n"
                  "* Si: verrà cancellato il transponder selezionato ed successivi verrano spostati in alto\n"
                  "* No: Verrà cancellato il transponder selezionato ed il suo posto rimarra inattivo\n"
                  "* Annulla: il transponder non verrà cancellato\n"
                  "Canali che verranno cancellati con il transponder: " +
                      std::to_string(c.row == 4 ? 2 : 1));
        EXPECT_TRUE(prompts.asked[0].discarding);

        for (int j = 1; j <= 6; ++j) {
            SCOPED_TRACE("row " + std::to_string(j));
            const std::string& frequency = c.frequencies[static_cast<size_t>(j - 1)];
            EXPECT_EQ(page.transponderGrid.cell(j, tp::Num), std::to_string(j));
            EXPECT_EQ(page.transponderGrid.cell(j, tp::Frequency), frequency);
            EXPECT_EQ(page.transponderGrid.cell(j, tp::Tid), c.tids[static_cast<size_t>(j - 1)]);
            EXPECT_EQ(page.transponderGrid.colour(j), frequency == "0" ? kColourGrey : kColourInUse);
            if (frequency == "0") {
                EXPECT_EQ(page.transponderGrid.row(j).cells,
                          (std::vector<std::string>{std::to_string(j), "0", "0", "0", "0", "27500", "1/2", "V", "On",
                                                    "HotBird"}));
            }
        }
        EXPECT_EQ(ChannelTransponders(page), c.channels);
        for (int i = 1; i <= 6; ++i)
            if (c.channels[static_cast<size_t>(i - 1)] == 255) {
                EXPECT_EQ(page.channelGrid.colour(i), kColourGrey);
            }
        EXPECT_EQ(Favourites(page, 1), c.list1);
        EXPECT_EQ(Favourites(page, 3), c.list3);
        EXPECT_TRUE(page.modified);
        EXPECT_FALSE(progress.shown);
        ASSERT_FALSE(progress.statuses.empty());
        if (c.answer == Answer::Yes) {
            EXPECT_EQ(progress.statuses.front(), "Cancellazione transponder...");
        }
        EXPECT_EQ(progress.statuses.back(), "");
    }
}

TEST(DeleteTransponder, TheQuestionCountsTheChannelsThatGoWithTheRow) {
    const struct {
        int row;
        int channels;
    } cases[] = {{4, 2}, {5, 1}, {1, 1}, {2, 0}, {6, 1}, {0, 0}, {7, 0}};
    for (const auto& c : cases) {
        ListPage page = SmallPage();
        EXPECT_EQ(ChannelsOfTransponder(page, c.row), c.channels) << "row " << c.row;
        if (c.row < 1 || c.row > page.transponderCount()) continue;
        ScriptedPrompts prompts({Answer::Cancel});
        NullProgress progress;
        EXPECT_FALSE(DeleteTransponder(page, c.row, prompts, progress));
        ASSERT_EQ(prompts.asked.size(), 1u);
        const std::string& text = prompts.asked[0].text;
        EXPECT_EQ(text.substr(text.rfind('\n') + 1),
                  "Canali che verranno cancellati con il transponder: " + std::to_string(c.channels));
    }
    // A channel row emptied by the delete is no longer counted: the count is the rows lost.
    ListPage page = SmallPage();
    ScriptedPrompts no({Answer::No});
    NullProgress progress;
    ASSERT_TRUE(DeleteTransponder(page, 4, no, progress));
    EXPECT_EQ(ChannelsOfTransponder(page, 4), 0);
}

TEST(DeleteTransponder, CancelOrARowOutsideTheTableChangesNothing) {
    const ListPage before = SmallPage();
    ListPage page = before;
    ScriptedPrompts prompts({Answer::Cancel});
    NullProgress progress;
    EXPECT_FALSE(DeleteTransponder(page, 4, prompts, progress));
    EXPECT_FALSE(DeleteTransponder(page, 0, prompts, progress));
    EXPECT_FALSE(DeleteTransponder(page, 7, prompts, progress));
    ExpectSameTables(page, before);
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(prompts.asked.size(), 1u);
}

TEST(DeleteTransponder, DirectRemovalAgreesWithRowByRowReferenceOnRandomPages) {
    std::mt19937 rng(6);
    for (int round = 0; round < 60; ++round) {
        const int count = 1 + static_cast<int>(rng() % 30);
        ListPage page = RandomTransponderPage(rng, count);
        ListPage expected = page;
        const int n = 1 + static_cast<int>(rng() % static_cast<unsigned>(count));
        NullProgress progress;
        RemoveTransponderRow(page, n, progress);
        RefRemoveTransponderRow(expected, n);
        SCOPED_TRACE("round " + std::to_string(round) + " row " + std::to_string(n));
        ExpectSameTables(page, expected);
    }
}

// ---- rows 255 and beyond --------------------------------------------------------------

// 256 transponders, all in use; channel 1 on 254, channel 2 empty ("255"), channel 3 on 1,
// channel 4 inactive but in list 2, with no transponder.
ListPage PageWith256Transponders() {
    ListPage page = MakePage(4, 256);
    for (int j = 1; j <= 256; ++j) {
        Transponder t;
        t.frequency = std::to_string(10700 + j * 5);
        SetTransponder(page, j, t);
    }
    SetChannel(page, 1, "A", 254);
    SetChannel(page, 3, "C", 1);
    SetChannel(page, 4, "D", 255, "512", "650", "00");
    pages::AddFavourite(page, 2, 4);
    return page;
}

TEST(TransponderRow255, DeletingWithYesNeverGivesAnEmptyChannelATransponder) {
    ListPage page = PageWith256Transponders();
    ScriptedPrompts prompts({Answer::Yes});
    NullProgress progress;
    DeleteTransponder(page, 1, prompts, progress);
    EXPECT_EQ(ChannelTransponders(page), (std::vector<int>{253, 255, 255, 255}));
    EXPECT_EQ(page.channelGrid.cell(4, ch::Name), "D");  // the inactive channel stays
    EXPECT_EQ(Favourites(page, 2), (std::vector<int>{4}));
    EXPECT_EQ(page.transponderGrid.cell(254, tp::Frequency), std::to_string(10700 + 255 * 5));
}

TEST(TransponderRow255, ClearingOrMergingRow255TouchesNoChannel) {
    ListPage page = PageWith256Transponders();
    const Grid channels = page.channelGrid;
    ClearTransponderRow(page, 255);
    EXPECT_EQ(page.channelGrid, channels);
    EXPECT_EQ(page.transponderGrid.cell(255, tp::Frequency), "0");

    ListPage merging = PageWith256Transponders();
    Transponder duplicate;
    duplicate.frequency = merging.transponderGrid.cell(3, tp::Frequency);
    SetTransponder(merging, 255, duplicate);
    NullProgress progress;
    EXPECT_TRUE(OptimiseTransponderList(merging, progress));
    EXPECT_EQ(merging.transponderGrid.cell(255, tp::Frequency), "0");
    EXPECT_EQ(merging.channelGrid, channels);
}

// ---- matching and optimising ----------------------------------------------------------

TEST(TranspondersMatch, WholeMegahertzGoesThroughSinglePrecision) {
    struct Case {
        const char* text;
        std::uint32_t mhz;
    };
    for (const Case& c : {Case{"11778", 11777}, Case{"11003", 11002}, Case{"11780", 11779}, Case{"11781", 11781},
                          Case{"11000", 11000}, Case{"11778,9", 11778}, Case{"11778,1234567", 11778},
                          Case{"abc", 0}, Case{"", 0}, Case{"0", 0}})
        EXPECT_EQ(TransponderMatchMHz(c.text), c.mhz) << c.text;
}

TEST(TranspondersMatch, LaterRowMayLieUpToTwoAboveTheEarlierOne) {
    struct Case {
        const char* earlier;
        const char* later;
        bool match;
    };
    for (const Case& c : {Case{"11778", "11780", true}, Case{"11778", "11781", false},
                          Case{"11780", "11778", false}, Case{"11778", "11778", true}}) {
        ListPage page = MakePage(0, 2);
        Transponder t;
        t.frequency = c.earlier;
        SetTransponder(page, 1, t);
        t.frequency = c.later;
        SetTransponder(page, 2, t);
        EXPECT_EQ(TranspondersMatch(page, 2, 1), c.match) << c.earlier << " / " << c.later;
    }
}

TEST(TranspondersMatch, EveryComparedTextMustBeEqualButNumAndCanali) {
    ListPage page = MakePage(0, 2);
    Transponder t;
    SetTransponder(page, 1, t);
    SetTransponder(page, 2, t);
    page.transponderGrid.setCell(2, tp::Channels, "9");
    EXPECT_TRUE(TranspondersMatch(page, 2, 1));
    for (int column : {tp::Tid, tp::Nid, tp::SymbolRate, tp::Fec, tp::Polarisation, tp::Tone, tp::Satellite}) {
        ListPage changed = page;
        changed.transponderGrid.setCell(2, column, changed.transponderGrid.cell(2, column) + "x");
        EXPECT_FALSE(TranspondersMatch(changed, 2, 1)) << "column " << column;
    }
}

TEST(OptimiseTransponderList, ChainEndsOnItsFirstRowAndChannelsFollow) {
    ListPage page = MakePage(4, 4);
    Transponder t;
    for (int j = 1; j <= 3; ++j) {
        t.frequency = std::to_string(11000 + 2 * (j - 1));
        SetTransponder(page, j, t);
        SetChannel(page, j, "C" + std::to_string(j), j);
    }
    t.frequency = "12000";
    SetTransponder(page, 4, t);
    SetChannel(page, 4, "D", 4);
    pages::RecordingProgress progress;
    EXPECT_TRUE(OptimiseTransponderList(page, progress));
    EXPECT_EQ(ChannelTransponders(page), (std::vector<int>{1, 1, 1, 4}));
    for (int j : {2, 3}) {
        EXPECT_EQ(page.transponderGrid.cell(j, tp::Frequency), "0");
        EXPECT_EQ(page.transponderGrid.colour(j), kColourGrey);
    }
    EXPECT_EQ(page.transponderGrid.cell(1, tp::Frequency), "11000");
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(progress.statuses.front(), "Ottimizzazione transponder...");
    EXPECT_FALSE(progress.shown);
}

TEST(OptimiseTransponderList, NothingToMergeLeavesThePageUnmodified) {
    ListPage page = SmallPage();
    const ListPage before = page;
    NullProgress progress;
    EXPECT_FALSE(OptimiseTransponderList(page, progress));
    ExpectSameTables(page, before);
    EXPECT_FALSE(page.modified);
}

TEST(OptimiseTransponderList, DirectMergeAgreesWithRowByRowReferenceOnRandomPages) {
    std::mt19937 rng(18);
    for (int round = 0; round < 60; ++round) {
        ListPage page = RandomTransponderPage(rng, 1 + static_cast<int>(rng() % 40));
        ListPage expected = page;
        NullProgress progress;
        OptimiseTransponderList(page, progress);
        RefOptimise(expected);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSameTables(page, expected);
    }
}

// ---- swapping satellites --------------------------------------------------------------

TEST(SwapSatellites, RowsInUseSwapNamesGreyRowsKeepTheirText) {
    ListPage page = MakePage(0, 4);
    page.satelliteA = "X";
    page.satelliteB = "Y";
    Transponder t;
    t.satellite = "X";
    SetTransponder(page, 1, t);
    t.satellite = "Y";
    SetTransponder(page, 2, t);
    t.satellite = "Other";
    SetTransponder(page, 3, t);
    page.transponderGrid.setCell(4, tp::Satellite, "X");  // grey, free

    ScriptedPrompts prompts({Answer::Yes});
    EXPECT_TRUE(SwapSatellites(page, prompts));
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].text, "Settare i trasponder di X su Y (e viceversa)?");
    EXPECT_EQ(prompts.asked[0].title, "Attenzione");
    EXPECT_EQ(prompts.asked[0].icon, Icon::Question);
    EXPECT_EQ(prompts.asked[0].buttons, Buttons::YesNo);
    std::vector<std::string> names;
    for (int j = 1; j <= 4; ++j) names.push_back(page.transponderGrid.cell(j, tp::Satellite));
    EXPECT_EQ(names, (std::vector<std::string>{"Y", "X", "X", "X"}));
    EXPECT_EQ(page.satelliteA, "Y");
    EXPECT_EQ(page.satelliteB, "X");
    EXPECT_TRUE(page.modified);

    ListPage declined = MakePage(0, 1);
    ScriptedPrompts no({Answer::No});
    EXPECT_FALSE(SwapSatellites(declined, no));
    EXPECT_EQ(declined.satelliteA, "HotBird");
    EXPECT_FALSE(declined.modified);
}

}  // namespace
}  // namespace rivo
