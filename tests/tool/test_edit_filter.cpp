// `dump --where` and the edit operations rename-replace, add-to-list and
// remove-from-list: the same rows and results as the editor's filter and commands.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "editing/channel_filter.h"
#include "tool/edit_ops_filter.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using tool::testing::RunPageTool;
using Strings = std::vector<std::string>;

class EditFilter : public ::testing::Test {
protected:
    // Transponder 1 on satellite A, 2 on satellite B. Channels: 1 "Rai 1 HD" (A, clear),
    // 2 "Arte HD" (B, coded), 3 "Sky Cinema HD" (B, coded), 4 "HD" (B, clear),
    // 5 "Caffè" (A, coded), 6 "ABCDEFGHIJKLMN HD" (B, clear).
    EditFilter() {
        testsupport::ChannelImageSpec spec;
        spec.layout = ListLayout::Split;
        spec.transponders = {testsupport::TransponderSpec{1997000000, 1100, 1, 3, 0, 2, 2},
                             testsupport::TransponderSpec{1438000000, 1200, 1, 3, 0, 2, 8}};
        auto channel = [](const char* name, std::uint8_t transponder, std::uint8_t status,
                          std::uint16_t sid) {
            ChannelSpec c{name};
            c.transponder = transponder;
            c.status = status;
            c.sid = sid;
            return c;
        };
        spec.channels = {
            channel("Rai 1 HD", 1, 0x04, 101),      channel("Arte HD", 2, 0x24, 102),
            channel("Sky Cinema HD", 2, 0x44, 103), channel("HD", 2, 0x04, 104),
            channel("Caff\xE8", 1, 0x24, 105),      channel("ABCDEFGHIJKL HD", 2, 0x04, 106)};
        image_ = folder_.path("list.Bin");
        EXPECT_EQ(WriteFileAtomically(image_, testsupport::BuildChannelImage(spec)), "");
        EXPECT_TRUE(tool::kFilterEditOperationsRegistered);
    }

    tool::testing::ToolRun edit(const Strings& operations) {
        Strings args{"edit", image_, "--dump", noIni_};
        args.insert(args.end(), operations.begin(), operations.end());
        return RunPageTool(args);
    }
    static Strings Column(const std::string& dump, int column, int rows = 6) {
        const auto json = nlohmann::json::parse(dump);
        Strings out;
        for (const auto& row : json["channels"]) {
            if (static_cast<int>(out.size()) == rows) break;
            out.push_back(row["cells"][static_cast<size_t>(column)].get<std::string>());
        }
        return out;
    }

    testsupport::TempFolder folder_;
    std::string image_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

TEST_F(EditFilter, DumpWhereKeepsTheMatchingRowsWithTheirNumbers) {
    struct Case {
        const char* expression;
        Strings numbers;
    } cases[] = {
        {"sat=B,state=coded", {"2", "3"}},
        {"sat=A", {"1", "5"}},
        {"name~CAFFE", {"5"}},
        {"sid=104", {"4"}},
        {"state=coded,none", {"2", "3", "5"}},
        // Every condition holds, a repeated field too.
        {"sat=A,sat=B", {}},
        {"sat=B,sat=b,state=coded", {"2", "3"}},
        {"name~hd,name~sky", {"3"}},
        {"state=coded,state=clear", {}},
        {"sid=102,sid=103", {}},
    };
    for (const Case& c : cases) {
        const auto run = RunPageTool({"dump", image_, noIni_, "--where", c.expression});
        ASSERT_EQ(run.code, 0) << c.expression << ": " << run.err;
        EXPECT_EQ(Column(run.out, ch::Num, 100), c.numbers) << c.expression;
    }
    const auto bad = RunPageTool({"dump", image_, noIni_, "--where", "sat=C"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("sat=C"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
}

TEST_F(EditFilter, RenameReplaceAppliesWhatThePreviewAllowsAndListsTheRest) {
    const auto run = edit({"rename-replace", "1", "6", " HD$", " Ultra HD", "regex"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Column(run.out, ch::Name),
              (Strings{"Rai 1 Ultra HD", "Arte Ultra HD", "Sky Cinema HD", "HD", "Caffè",
                       "ABCDEFGHIJKL HD"}));
    // "Sky Cinema Ultra HD" and "ABCDEFGHIJKL Ultra HD" would be cut: named on standard error.
    EXPECT_NE(run.err.find("canale 3 \"Sky Cinema HD\""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("canale 6"), std::string::npos) << run.err;

    const auto removed = edit({"rename-replace", "1", "6", " hd", "", "case"});
    ASSERT_EQ(removed.code, 0) << removed.err;
    EXPECT_EQ(Column(removed.out, ch::Name)[0], "Rai 1 HD");  // case kept: " hd" is not " HD"
    const auto plain = edit({"rename-replace", "1", "6", " hd", ""});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(Column(plain.out, ch::Name),
              (Strings{"Rai 1", "Arte", "Sky Cinema", "HD", "Caffè", "ABCDEFGHIJKL"}));

    const auto bad = edit({"rename-replace", "1", "6", "(", "x", "regex"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("rename-replace"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("Espressione regolare non valida: manca la parentesi di chiusura )"),
              std::string::npos)
        << bad.err;
    const auto tooLong = edit({"rename-replace", "1", "6", std::string(1001, 'a'), "x", "regex"});
    EXPECT_EQ(tooLong.code, 1);
    EXPECT_NE(tooLong.err.find("è lunga 1001 caratteri, al massimo 1000"), std::string::npos)
        << tooLong.err;

    // Ignoring case folds an accented capital as well.
    const auto accent = edit({"rename-replace", "1", "6", "\xC3\x88$", "e", "regex"});
    ASSERT_EQ(accent.code, 0) << accent.err;
    EXPECT_EQ(Column(accent.out, ch::Name)[4], "Caffe");
}

TEST_F(EditFilter, AddToListAndRemoveFromList) {
    const auto run = edit({"add-to-list", "3", "2", "5", "remove-from-list", "3", "3", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    Strings slots;
    for (int s = 0; s < 4; ++s)
        slots.push_back(json["favourites"][2][s]["cells"][2].get<std::string>());
    EXPECT_EQ(slots, (Strings{"2", "4", "5", "0"}));
    EXPECT_EQ(Column(run.out, ch::Favourites), (Strings{"0", "4", "0", "4", "4", "0"}));

    // The filter bar's rows: coded channels on satellite B, as `dump --where` lists them.
    const auto where = edit({"add-to-list", "3", "1", "6", "where=sat=B,state=coded",
                             "remove-from-list", "3", "1", "6", "where=sid=103"});
    ASSERT_EQ(where.code, 0) << where.err;
    EXPECT_EQ(Column(where.out, ch::Favourites), (Strings{"0", "4", "0", "0", "0", "0"}));
    const auto renamed = edit({"rename-replace", "1", "6", " HD", "", "where=state=coded"});
    ASSERT_EQ(renamed.code, 0) << renamed.err;
    EXPECT_EQ(Column(renamed.out, ch::Name),
              (Strings{"Rai 1 HD", "Arte", "Sky Cinema", "HD", "Caffè", "ABCDEFGHIJKL HD"}));
    EXPECT_EQ(edit({"add-to-list", "3", "1", "6", "where=sat=Z"}).code, 1);
    const auto both = edit({"add-to-list", "3", "1", "6", "where=name~hd,name~sky", "add-to-list",
                            "4", "1", "6", "where=sat=A,sat=B"});
    ASSERT_EQ(both.code, 0) << both.err;
    EXPECT_EQ(Column(both.out, ch::Favourites), (Strings{"0", "0", "4", "0", "0", "0"}));

    for (const Strings& bad :
         {Strings{"add-to-list", "9", "1", "2"}, Strings{"add-to-list", "1", "3", "2"},
          Strings{"remove-from-list", "0", "1", "1"}}) {
        const auto refused = edit(bad);
        EXPECT_EQ(refused.code, 1) << bad[0] << " " << bad[1];
    }
}

}  // namespace
}  // namespace rivo
