// `rivo800-tool dump` and `save` with the open-parameter options, run in-process.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "tool_run.h"

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::ReadText;
using rivo::tool::testing::RunPageTool;
using rivo::tool::testing::WriteText;
using Json = nlohmann::ordered_json;

namespace {

const char* kIni =
    "[Standard]\nSR00=27500\nSR01=22000\nSR02=29900\nSR03=30000\nSR04=5632\nSR05=6111\n"
    "[Altro]\nSR00=1000\nSR01=2000\n"
    "[Personalizzato]\n";

class PageTool : public ::testing::Test {
protected:
    PageTool() {
        spec_ = MakeChannelImageSpec(ListLayout::Split, 60, 6);
        spec_.channels[0].name = "Citt\xE0, \"uno\"";  // Windows-1252 with a comma and quotes
        spec_.listNames[0] = "T\xE9l\xE9";
        image_ = folder_.path("list.Bin");
        EXPECT_EQ(WriteFileAtomically(image_, BuildChannelImage(spec_)), "");
        ini_ = folder_.path("Sr.Ini");
        WriteText(ini_, kIni);
    }
    Json dump(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"dump", image_, "--sr-ini", ini_};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = RunPageTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return run.code == 0 ? Json::parse(run.out) : Json();
    }

    TempFolder folder_;
    ChannelImageSpec spec_;
    std::string image_, ini_;
};

}  // namespace

TEST_F(PageTool, DumpShowsThePageAsTheEditorBuildsIt) {
    const Json page = dump();
    std::vector<std::string> keys;
    for (const auto& item : page.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"layout", "version", "list_names", "channels",
                                              "transponders", "favourites"}));
    EXPECT_EQ(page["layout"], "Split");
    EXPECT_EQ(page["version"], "Versione: 1.4");
    EXPECT_EQ(page["list_names"], Json::parse(R"(["Télé","Radio","Sport","","","","",""])"));
    ASSERT_EQ(page["channels"].size(), 1998u);
    // Channel 1 is a radio channel of the fixture (n % 4 == 1), active, in lists 1-3.
    EXPECT_EQ(
        page["channels"][0]["cells"],
        Json::parse(
            R"(["1","Città, \"uno\"","1","1","65535","650","65535","65535","8191","04","2"])"));
    EXPECT_EQ(page["channels"][0]["colour"], "#6F91FF");
    EXPECT_EQ(page["channels"][1]["colour"], "#CCFFCC");
    EXPECT_EQ(page["channels"][2]["colour"], "#FFE266");
    EXPECT_EQ(page["channels"][6]["colour"], "#C0C0C0");
    ASSERT_EQ(page["transponders"].size(), 6u);
    const Json& tp1 = page["transponders"][0]["cells"];
    EXPECT_EQ(tp1[5], "27500");  // code 0 of the first set
    EXPECT_EQ(tp1[9], "HotBird");
    EXPECT_EQ(page["transponders"][0]["colour"], "#99FF99");
    ASSERT_EQ(page["favourites"].size(), 8u);
    for (const auto& list : page["favourites"]) EXPECT_EQ(list.size(), 128u);
    EXPECT_EQ(page["favourites"][0][0]["cells"], Json::parse(R"(["1","Canale 4","4"])"));
    EXPECT_EQ(page["favourites"][0][127]["cells"], Json::parse(R"(["128","","0"])"));
    EXPECT_EQ(page["favourites"][0][127]["colour"], "#C0C0C0");
}

TEST_F(PageTool, OpenParameterOptions) {
    struct Case {
        std::vector<std::string> options;
        int transponder;  // 0-based row
        int column;
        std::string expected;
    } cases[] = {
        {{}, 0, 5, "27500"},
        {{"--sr-set", "Altro"}, 0, 5, "1000"},
        {{"--sr-set=Altro"}, 2, 5, "0"},                  // code 2 is empty in that set
        {{"--sr-set", "Personalizzato"}, 0, 5, "27500"},  // keeps the first set
        {{"--symbol-rates", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"}, 1, 5, "2"},
        {{"--symbol-rates", ",,,,,,,,,,,,,,,"}, 0, 5, "0"},
        {{"--sr-ini", "/nonexistent/Sr.Ini"}, 0, 5, "0"},  // no ini: sixteen zero rates
        {{"--sat-a", "Sírio"}, 0, 9, "Sírio"},
        {{"--sat-b", "Eutelsat"}, 5, 9, "Eutelsat"},
        {{"--lnb-low", "9000"}, 0, 1, ""},  // checked against the default below
    };
    // A small single-module list keeps the many dumps quick.
    EXPECT_EQ(WriteFileAtomically(
                  image_, BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 6))),
              "");
    const Json plain = dump();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.empty() ? std::string("defaults") : c.options[0]);
        const Json page = dump(c.options);
        const std::string cell = page["transponders"][c.transponder]["cells"][c.column];
        if (c.expected.empty())
            EXPECT_NE(cell, plain["transponders"][c.transponder]["cells"][c.column]);
        else
            EXPECT_EQ(cell, c.expected);
    }
}

TEST_F(PageTool, ExitStatuses) {
    const std::string zeros = folder_.path("zeros.Bin");
    EXPECT_EQ(WriteFileAtomically(zeros, Bytes(70000, 0)), "");
    MainCodeSpec mainCode;
    mainCode.modules = {{"boot", {{"boot.app", Bytes(100, 1)}}},
                        {"main", {{"main.bin", Bytes(50, 2)}}}};
    const std::string firm = folder_.path("firm.Bin");
    EXPECT_EQ(WriteFileAtomically(firm, BuildMainCodeImage(mainCode).bytes), "");
    const std::string missing = folder_.path("missing.Bin");

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"dump", missing}, 4, "missing.Bin"},
        {{"dump", zeros}, 2, "Formato file sconosciuto"},
        {{"dump", firm}, 3, "Non è possibile editare un firm come lista canali..."},
        {{"save", firm, folder_.path("o.Bin")}, 3, "Non è possibile editare"},
        {{"dump", image_, "--sr-ini", ini_, "--sr-set", "Nessuno"}, 1, "Nessuno"},
        {{"dump", image_, "--symbol-rates", "1,2,3"}, 1, "sedici"},
        {{"dump", image_, "--symbol-rates", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,x"}, 1, "'x'"},
        {{"dump", image_, "--lnb-low", "abc"}, 1, "--lnb-low"},
        {{"dump", image_, "--lnb-high", "10600.5"}, 1, "--lnb-high"},
        {{"dump", image_, "--sat-a", "Astra"}, 1, "diversi"},
        {{"dump", image_, "--sat-b", ""}, 1, "vuoto"},
        {{"dump", image_, "--sat-b", "\xE2\x82\xAB"}, 1, "non può memorizzare"},
        {{"dump", image_, "--frobnicate"}, 1, ""},
        {{"dump"}, 1, ""},
        {{"save", image_}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto run = RunPageTool(c.args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.path("o.Bin")));
}

TEST_F(PageTool, SaveThenDumpShowsTheSamePage) {
    for (ListLayout layout : {ListLayout::None, ListLayout::Single, ListLayout::Split}) {
        const std::string in = folder_.path("in.Bin"), out = folder_.path("out.Bin");
        EXPECT_EQ(WriteFileAtomically(in, BuildChannelImage(MakeChannelImageSpec(layout, 300, 12))),
                  "");
        const auto saved = RunPageTool({"save", in, out, "--sr-ini", ini_, "--lnb-high", "10750"});
        ASSERT_EQ(saved.code, 0) << saved.err;
        EXPECT_EQ(saved.out, "");
        EXPECT_EQ(saved.err, "");
        const auto before = RunPageTool({"dump", in, "--sr-ini", ini_, "--lnb-high", "10750"});
        const auto after = RunPageTool({"dump", out, "--sr-ini", ini_, "--lnb-high", "10750"});
        EXPECT_EQ(before.out, after.out);
        EXPECT_EQ(ReadText(in).size(), 524288u);
        // The tool replaces OUT (from the second layout on, an existing file) without
        // leaving a backup beside it: entries name their files themselves.
        EXPECT_FALSE(std::filesystem::exists(out + ".bak"));
    }
}

TEST_F(PageTool, RefusedSaveLeavesTheTargetAlone) {
    ChannelImageSpec gap = MakeChannelImageSpec(ListLayout::Split, 30, 4);
    gap.splitDigits = {0, 2};  // channels 1000-1998 are missing: the save cannot place TCS2
    const std::string in = folder_.path("gap.Bin"), out = folder_.path("out.Bin");
    EXPECT_EQ(WriteFileAtomically(in, BuildChannelImage(gap)), "");
    WriteText(out, "keep me");
    const auto run = RunPageTool({"save", in, out, "--sr-ini", ini_});
    EXPECT_EQ(run.code, 4);
    EXPECT_NE(run.err.find("TCS2"), std::string::npos) << run.err;
    EXPECT_EQ(ReadText(out), "keep me");
}

// Images opened through a later sector because an earlier one starts with an empty
// slot (0 or 0xFFFF) while that sector's first module, "Support", has entries named
// otherwise ("Lista1.pre"): each saves (exit 0, nothing to say), opens again with the
// same modules in the same sectors and slots, and shows the same page.
TEST_F(PageTool, ImagesOpenedThroughALaterSectorOpenAgainOnceSaved) {
    const auto base = ChannelImageSectors(MakeChannelImageSpec(ListLayout::Split, 30, 4));
    const ModuleSpec tpt = *base[0].slots[0].module;
    const ModuleSpec support = *base[0].slots[1].module;
    const SectorSpec channels = base[1];
    struct Case {
        const char* what;
        std::vector<SectorSpec> sectors;
    };
    const std::vector<Case> cases = {
        {"zero first slot in sector 0",
         {SectorSpec::Table({SlotSpec::Empty(0), support, tpt}), channels}},
        {"0xFFFF first slot in sector 0, 0xFF fill",
         {SectorSpec::Table({SlotSpec::Empty(0xFFFF), support, tpt}, 0xFF), channels}},
        {"erased sector 0, 0xFFFF first slot in sector 1",
         {SectorSpec::Blank(0xFF), SectorSpec::Table({SlotSpec::Empty(0xFFFF), support, tpt}),
          channels}},
        {"zero first slot in sector 0, transponders in sector 1",
         {SectorSpec::Table({SlotSpec::Empty(0), support}), SectorSpec::Table({tpt}), channels}},
    };
    const auto modulesOf = [](const std::string& path) {
        const auto run = RunPageTool({"info", path});
        EXPECT_EQ(run.code, 0) << run.err;
        Json modules = Json::array();
        if (run.code != 0) return modules;
        const Json info = Json::parse(run.out);  // kept alive for the loop below
        for (const auto& m : info["modules"]) {
            Json entries = Json::array();
            for (const auto& e : m["entries"]) entries.push_back({e["name"], e["size"]});
            modules.push_back({m["name"], m["sector"], m["slot"], entries});
        }
        return modules;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string in = folder_.path("odd.Bin"), out = folder_.path("out.Bin"),
                          again = folder_.path("again.Bin");
        EXPECT_EQ(WriteFileAtomically(in, BuildFlashImage(c.sectors)), "");
        const auto before = RunPageTool({"dump", in, "--sr-ini", ini_});
        ASSERT_EQ(before.code, 0) << before.err;
        const auto run = RunPageTool({"save", in, out, "--sr-ini", ini_});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const auto after = RunPageTool({"dump", out, "--sr-ini", ini_});
        EXPECT_EQ(after.code, 0) << after.err;
        EXPECT_EQ(after.out, before.out);
        EXPECT_EQ(modulesOf(out), modulesOf(in));
        // The saved file saves to itself byte for byte.
        EXPECT_EQ(RunPageTool({"save", out, again, "--sr-ini", ini_}).code, 0);
        EXPECT_EQ(ReadText(again), ReadText(out));
    }
}
