// `rivo800-tool diff` on an image and its simulated rescan, with one planted change of
// every class; `edit` with take-removed, take-names and take-favourites taking the
// losses back; and the exit statuses for bad input.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool/compare_json.h"
#include "tool/edit_ops_compare.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using testsupport::TransponderSpec;
using tool::testing::RunPageTool;
using Json = nlohmann::json;
using Strings = std::vector<std::string>;

class Diff : public ::testing::Test {
protected:
    Diff() {
        EXPECT_TRUE(tool::kDiffCommandRegistered);
        EXPECT_TRUE(tool::kCompareOperationsRegistered);
    }

    // Transponder 1: 11747 H, TID 1100; transponder 2: 11800 H (or as given), TID 1200.
    std::string writeImage(const std::string& file, const std::vector<ChannelSpec>& channels,
                           const std::vector<std::uint16_t>& list1,
                           std::int32_t secondOffsetHz = 1200000000) {
        testsupport::ChannelImageSpec spec;
        spec.layout = ListLayout::Split;
        spec.transponders = {TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2},
                             TransponderSpec{secondOffsetHz, 1200, 1, 3, 0, 2, 1 | 2},
                             TransponderSpec{}};
        spec.channels = channels;
        spec.favourites = {list1};
        const std::string path = folder_.path(file);
        EXPECT_EQ(WriteFileAtomically(path, testsupport::BuildChannelImage(spec)), "");
        return path;
    }

    // The list before, and its rescan: "Nuovo" added at the top, "Uno" out of list 1,
    // "Quattro" written in capitals, "Cinque" with a new SID, transponder 2 up by 2 MHz,
    // "Due" taken to the end, "Sei" gone.
    void writeRescan() {
        oldImage_ = writeImage("old.Bin",
                               {{"Uno", 4, 1, 1},
                                {"Due", 4, 1, 2},
                                {"Tre", 4, 1, 3},
                                {"Quattro", 4, 2, 4},
                                {"Cinque", 4, 2, 5},
                                {"Sei", 4, 2, 6}},
                               {1, 4});
        newImage_ = writeImage("new.Bin",
                               {{"Nuovo", 4, 1, 7},
                                {"Uno", 4, 1, 1},
                                {"Tre", 4, 1, 3},
                                {"QUATTRO", 4, 2, 4},
                                {"Cinque", 4, 2, 55},
                                {"Due", 4, 1, 2}},
                               {4}, 1202000000);
    }

    testsupport::TempFolder folder_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
    std::string oldImage_, newImage_;
};

TEST_F(Diff, ReportsEveryPlantedChangeAndExitsZero) {
    writeRescan();
    const auto run = RunPageTool({"diff", oldImage_, newImage_, noIni_});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Json diff = Json::parse(run.out);
    EXPECT_EQ(diff["counts"],
              Json::parse(R"({"new": 1, "removed": 1, "moved": 1, "renamed": 1, "retuned": 2,
                                              "favourites": 1, "unchanged": 1})"));
    // Keys in the documented order.
    EXPECT_LT(run.out.find("\"counts\""), run.out.find("\"passes\""));
    EXPECT_LT(run.out.find("\"passes\""), run.out.find("\"channels\""));
    EXPECT_EQ(diff["passes"], Json::parse("[4, 0, 0, 1]"));
    const Json expected = Json::parse(R"([
      {"classes": ["new"], "old_row": 0, "new_row": 1, "name": "Nuovo", "sid": "7", "pass": 0, "uncertain": false},
      {"classes": ["favourites"], "old_row": 1, "new_row": 2, "name": "Uno", "sid": "1", "pass": 1,
       "uncertain": false, "old_lists": [1], "new_lists": []},
      {"classes": ["renamed", "retuned"], "old_row": 4, "new_row": 4, "name": "QUATTRO", "sid": "4", "pass": 1,
       "uncertain": false, "old_name": "Quattro", "case_only": true, "fields": ["frequency"]},
      {"classes": ["retuned"], "old_row": 5, "new_row": 5, "name": "Cinque", "sid": "55", "pass": 4,
       "uncertain": true, "fields": ["frequency", "sid"]},
      {"classes": ["moved"], "old_row": 2, "new_row": 6, "name": "Due", "sid": "2", "pass": 1, "uncertain": false},
      {"classes": ["removed"], "old_row": 6, "new_row": 0, "name": "Sei", "sid": "6", "pass": 0, "uncertain": false}
    ])");
    EXPECT_EQ(diff["channels"], expected);

    // The same list twice: no differences, still exit 0, every channel unchanged.
    const auto same = RunPageTool({"diff", oldImage_, oldImage_, noIni_});
    ASSERT_EQ(same.code, 0) << same.err;
    const Json none = Json::parse(same.out);
    EXPECT_EQ(none["channels"], Json::array());
    EXPECT_EQ(none["counts"]["unchanged"], 6);
}

TEST_F(Diff, TakingEverythingBackLeavesOnlyWhatIsNew) {
    writeRescan();
    const std::string out = folder_.path("taken.Bin");
    const auto run = RunPageTool({"edit", newImage_, out, noIni_, "take-removed", oldImage_,
                                  "take-names", oldImage_, "take-favourites", oldImage_});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err,
              "take-removed: 1 canale ripreso\ntake-names: 1 canale ripreso\n"
              "take-favourites: 1 canale ripreso\n");
    const auto dump = Json::parse(RunPageTool({"dump", out, noIni_}).out);
    Strings names;
    for (int r = 0; r < 8; ++r)
        names.push_back(dump["channels"][static_cast<size_t>(r)]["cells"][1]);
    // "Sei" comes back after the last channel, on its transponder, which the list still
    // holds (moved by 2 MHz, so it is written again into a free row).
    EXPECT_EQ(names, (Strings{"Nuovo", "Uno", "Tre", "Quattro", "Cinque", "Due", "Sei", ""}));
    const auto again = RunPageTool({"diff", oldImage_, out, noIni_});
    ASSERT_EQ(again.code, 0) << again.err;
    const Json counts = Json::parse(again.out)["counts"];
    EXPECT_EQ(counts["removed"], 0);
    EXPECT_EQ(counts["renamed"], 0);
    EXPECT_EQ(counts["favourites"], 0);
    EXPECT_EQ(counts["new"], 1);
}

TEST_F(Diff, BadInputKeepsTheUsualStatuses) {
    writeRescan();
    const std::string garbage = folder_.path("garbage.Bin");
    tool::testing::WriteText(garbage, std::string(1000, 'x'));
    struct Case {
        Strings args;
        int code;
    };
    const Case cases[] = {
        {{"diff", oldImage_, noIni_}, tool::kExitUsage},
        {{"diff", oldImage_, folder_.path("missing.Bin"), noIni_}, tool::kExitFailure},
        {{"diff", garbage, newImage_, noIni_}, tool::kExitUnknownFormat},
        {{"diff", oldImage_, newImage_, noIni_, "--lnb-low", "abc"}, tool::kExitUsage},
        {{"edit", newImage_, "--dump", noIni_, "take-names"}, tool::kExitUsage},
        {{"edit", newImage_, "--dump", noIni_, "take-removed", garbage}, tool::kExitUnknownFormat},
    };
    for (const Case& c : cases) {
        const auto run = RunPageTool(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.back() << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.args.back();
    }
}

TEST_F(Diff, TakeRemovedRefusedWithoutRoomAtTheEnd) {
    // A Single list has exactly as many rows as channels: no empty row at its end.
    testsupport::ChannelImageSpec spec;
    spec.layout = ListLayout::Single;
    spec.transponders = {TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2}};
    spec.channels = {{"Uno", 4, 1, 1}, {"Due", 4, 1, 2}};
    const std::string old = folder_.path("single-old.Bin");
    ASSERT_EQ(WriteFileAtomically(old, testsupport::BuildChannelImage(spec)), "");
    spec.channels = {{"Uno", 4, 1, 1}};
    const std::string rescan = folder_.path("single-new.Bin");
    ASSERT_EQ(WriteFileAtomically(rescan, testsupport::BuildChannelImage(spec)), "");
    const auto run = RunPageTool({"edit", rescan, "--dump", noIni_, "take-removed", old});
    EXPECT_EQ(run.code, tool::kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Non c'è posto in fondo alla lista per i canali da riprendere: ne "
                           "servono 1, le righe libere sono 0."),
              std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace rivo
