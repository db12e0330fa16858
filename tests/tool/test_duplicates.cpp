// rivo800-tool duplicates and the edit operations dedupe and clean-repeated-favourites:
// the groups as JSON (satellite B never a copy, the keep reasons), an image whose list
// was copied twice into itself brought back, and the words the command line refuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool/edit_ops_duplicates.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using testsupport::TransponderSpec;
using tool::testing::RunPageTool;
using Strings = std::vector<std::string>;

// 1: 11747 H on satellite A; 2: the same on satellite B; 3: 11750 H on A (3 MHz above 1).
std::vector<TransponderSpec> Transponders() {
    return {TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2},
            TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2 | 8},
            TransponderSpec{1150000000, 1100, 1, 3, 0, 2, 1 | 2}};
}

std::string WriteImage(testsupport::TempFolder& folder, const std::vector<ChannelSpec>& channels,
                       const std::array<std::vector<std::uint16_t>, 8>& favourites) {
    testsupport::ChannelImageSpec spec;
    spec.layout = ListLayout::Split;
    spec.transponders = Transponders();
    spec.channels = channels;
    spec.favourites = favourites;
    const std::string path = folder.path("list.Bin");
    EXPECT_EQ(WriteFileAtomically(path, testsupport::BuildChannelImage(spec)), "");
    return path;
}

// "Canale" of the filled slots of each list.
std::vector<Strings> ListsOf(const nlohmann::json& dump) {
    std::vector<Strings> lists;
    for (const auto& list : dump["favourites"]) {
        lists.emplace_back();
        for (const auto& slot : list)
            if (slot["cells"][2] != "0") lists.back().push_back(slot["cells"][2]);
    }
    return lists;
}

class Duplicates : public ::testing::Test {
protected:
    Duplicates() {
        EXPECT_TRUE(tool::kDuplicatesCommandRegistered);
        EXPECT_TRUE(tool::kDuplicateOperationsRegistered);
    }
    // Uno (in one list) and its copy "Uno bis" 3 MHz higher (in two lists), Due and an
    // inactive copy,
    // Uno again on satellite B; list 2 names channel 1 twice.
    std::string image() {
        return WriteImage(folder_,
                          {{"Uno", 4, 1, 10},
                           {"Due", 4, 1, 20},
                           {"Uno", 4, 2, 10},
                           {"Uno bis", 4, 3, 10},
                           {"Due", 0, 1, 20}},
                          {std::vector<std::uint16_t>{4}, std::vector<std::uint16_t>{1, 1},
                           std::vector<std::uint16_t>{4}});
    }
    testsupport::TempFolder folder_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

TEST_F(Duplicates, PrintsTheGroupsWithTheKeptCopyAndWhy) {
    const std::string path = image();
    const auto expected = nlohmann::ordered_json::parse(R"({"level": "exact",
        "groups": [{"rows": [1, 4], "kept": 4, "reason": "favourites", "name": "Uno bis"},
                   {"rows": [2, 5], "kept": 2, "reason": "active", "name": "Due"}],
        "channels_to_remove": 2,
        "repeated_favourites": [{"list": 2, "channel": 1, "count": 2}]})");
    for (const Strings& level : {Strings{}, Strings{"--level", "exact"}, Strings{"--level=name"}}) {
        Strings args{"duplicates", path, noIni_};
        args.insert(args.end(), level.begin(), level.end());
        const auto run = RunPageTool(args);
        ASSERT_EQ(run.code, 0) << run.err;
        auto want = expected;
        want["level"] = level.empty()                    ? "exact"
                        : level.back() == "--level=name" ? "name"
                                                         : level.back();
        // Keys in the documented order.
        EXPECT_EQ(nlohmann::ordered_json::parse(run.out), want);
    }
}

TEST_F(Duplicates, DedupeRemovesTheCopiesAndRepointsTheirEntries) {
    const auto run = RunPageTool({"edit", image(), "--dump", noIni_, "dedupe", "exact"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "dedupe: Eliminati 2 canali doppi\n");
    const auto dump = nlohmann::json::parse(run.out);
    EXPECT_EQ(dump["channels"][0]["cells"][1], "Due");
    EXPECT_EQ(dump["channels"][1]["cells"][1], "Uno");
    EXPECT_EQ(dump["channels"][2]["cells"][1], "Uno bis");
    EXPECT_EQ(dump["channels"][2]["cells"][10], "7");
    // List 2 named the removed Uno twice: one entry for Uno bis stays.
    EXPECT_EQ(ListsOf(dump)[0], (Strings{"3"}));
    EXPECT_EQ(ListsOf(dump)[1], (Strings{"3"}));
    EXPECT_EQ(ListsOf(dump)[2], (Strings{"3"}));
    EXPECT_EQ(dump["favourites"][1][0]["cells"][1], "Uno bis");
}

TEST_F(Duplicates, CleanRepeatedFavouritesKeepsTheFirstEntry) {
    const auto run = RunPageTool({"edit", image(), "--dump", noIni_, "clean-repeated-favourites"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "clean-repeated-favourites: Tolta 1 voce ripetuta dai preferiti\n");
    EXPECT_EQ(ListsOf(nlohmann::json::parse(run.out))[1], (Strings{"1"}));
}

TEST_F(Duplicates, AListCopiedTwiceIntoItselfComesBack) {
    const std::vector<ChannelSpec> channels = {{"Uno", 4, 1, 10},
                                               {"Due", 4, 3, 20},
                                               {"Tre", 0, 1, 30},
                                               {"Quattro", 4, 2, 10},
                                               {"Cinque", 4, 3, 50}};
    const std::string path = WriteImage(folder_, channels,
                                        {std::vector<std::uint16_t>{3, 1, 5},
                                         std::vector<std::uint16_t>{2},
                                         {},
                                         std::vector<std::uint16_t>{5, 4, 3, 2, 1}});
    const auto original = nlohmann::json::parse(RunPageTool({"dump", path, noIni_}).out);
    const auto run =
        RunPageTool({"edit", path, "--dump", noIni_, "copy-from", path, "1", "5", "paste", "6",
                     "overwrite", "paste", "11", "overwrite", "dedupe", "exact"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("dedupe: Eliminati 10 canali doppi\n"), std::string::npos) << run.err;
    const auto dump = nlohmann::json::parse(run.out);
    for (size_t r = 0; r < channels.size(); ++r)
        EXPECT_EQ(dump["channels"][r], original["channels"][r]) << r;
    EXPECT_EQ(dump["channels"][5]["cells"][1], "");
    EXPECT_EQ(dump["favourites"], original["favourites"]);
}

TEST_F(Duplicates, RefusesAnUnknownLevel) {
    const std::string path = image();
    const auto listed = RunPageTool({"duplicates", path, noIni_, "--level", "all"});
    EXPECT_EQ(listed.code, 1);
    EXPECT_NE(listed.err.find("--level 'all' non è exact, ids, name-transponder o name"),
              std::string::npos)
        << listed.err;
    for (const Strings& words : {Strings{"dedupe", "Exact"}, Strings{"dedupe"}}) {
        Strings args{"edit", path, "--dump", noIni_};
        args.insert(args.end(), words.begin(), words.end());
        const auto run = RunPageTool(args);
        EXPECT_EQ(run.code, 1) << words.size();
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(
            run.err.find(words.size() == 1
                             ? "dedupe: manca LEVEL"
                             : "dedupe: LEVEL 'Exact' non è exact, ids, name-transponder o name"),
            std::string::npos)
            << run.err;
    }
}

}  // namespace
}  // namespace rivo
