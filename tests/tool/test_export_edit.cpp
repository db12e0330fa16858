// `rivo800-tool export` and the `edit` framework, run in-process.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool_run.h"

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::ReadText;
using rivo::tool::testing::RunPageTool;
using Json = nlohmann::ordered_json;

namespace {

// Operations for the framework's own tests: "test-rename ROW NAME" renames a channel,
// "test-refuse" refuses as the editor would with a message.
const bool kTestOperations =
    tool::RegisterEditOperation(
        "test-rename",
        [](const std::vector<std::string>& words, std::size_t pos, tool::EditContext& c) {
            if (pos + 2 >= words.size())
                throw tool::ToolError(tool::kExitUsage, "test-rename ROW NAME");
            c.page.channelGrid.setCell(std::stoi(words[pos + 1]), ch::Name, words[pos + 2]);
            c.page.modified = true;
            return std::size_t{3};
        }) &&
    tool::RegisterEditOperation(
        "test-refuse", [](const std::vector<std::string>&, std::size_t, tool::EditContext& c) {
            c.page.channelGrid.setCell(1, ch::Name, "changed");
            throw tool::ToolError(tool::kExitFailure, "Operazione rifiutata");
            return std::size_t{1};
        });

class ExportEdit : public ::testing::Test {
protected:
    ExportEdit() {
        auto spec = MakeChannelImageSpec(ListLayout::Split, 40, 5);
        spec.channels[1].name = "A,\"B\"";
        spec.channels[2].name = "Caff\xE8";
        image_ = folder_.path("list.Bin");
        EXPECT_EQ(WriteFileAtomically(image_, BuildChannelImage(spec)), "");
        EXPECT_TRUE(kTestOperations);
    }
    TempFolder folder_;
    std::string image_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CRLF";
    return out;
}

}  // namespace

TEST_F(ExportEdit, ExportChannelsAsCsv) {
    const auto run = RunPageTool({"export", image_, noIni_, "--table", "channels"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto rows = Lines(run.out);
    ASSERT_EQ(rows.size(), 1u + 1998u);
    EXPECT_EQ(rows[0],
              "Num.,Nome canale,Trasponder,SID,VPid,APid,VECM,AECM,PCR,Status,Preferenza,Frequenza,"
              "Polarizzazione,TID,NID,Satellite");
    // The channel's own cells, then transponder 2's frequency, polarisation, TID, NID and
    // satellite.
    EXPECT_EQ(
        rows[2],
        "2,\"A,\"\"B\"\"\",2,2,65535,65535,65535,65535,8191,04,0,\"10748,5\",V,1001,318,HotBird");
    EXPECT_EQ(rows[3].substr(0, 8), "3,Caffè");
    EXPECT_EQ(run.out.find('\n') - 1, run.out.find("\r\n"));  // no bare LF
}

TEST_F(ExportEdit, ExportTranspondersAndFavourites) {
    const auto tps = RunPageTool({"export", image_, noIni_, "--table", "transponders"});
    ASSERT_EQ(tps.code, 0) << tps.err;
    const auto tpRows = Lines(tps.out);
    ASSERT_EQ(tpRows.size(), 6u);
    EXPECT_EQ(tpRows[0], "Num.,Frequenza,TID,NID,Canali,SR,FEC,Polariz.,22 kHz,Satellite");

    const std::string file = folder_.path("fav.csv");
    const auto favs = RunPageTool({"export", image_, noIni_, "--table", "favourites", "-o", file});
    ASSERT_EQ(favs.code, 0) << favs.err;
    EXPECT_EQ(favs.out, "");
    const auto favRows = Lines(ReadText(file));
    ASSERT_EQ(favRows.size(), 1u + 8 * 128);
    EXPECT_EQ(favRows[0], "Lista,Pos.,Nome canale,Canale");
    EXPECT_EQ(favRows[1], "1,1,Canale 4,4");
    EXPECT_EQ(favRows[129], "2,1,Canale 1,1");
    EXPECT_EQ(favRows[1024], "8,128,,0");

    EXPECT_EQ(RunPageTool({"export", image_, "--table", "chan"}).code, 1);
    EXPECT_EQ(RunPageTool({"export", image_}).code, 1);
    const auto unwritable =
        RunPageTool({"export", image_, noIni_, "--table", "channels", "-o", "/nonexistent/x.csv"});
    EXPECT_EQ(unwritable.code, 4);
}

// --table takes the three names and nothing else; a wrong word is named with them, in a
// plain sentence.
TEST_F(ExportEdit, TableIsOneOfTheThreeNames) {
    for (const char* word : {"0", "1", "2", "Channels", "chan", ""}) {
        SCOPED_TRACE(word);
        const auto run = RunPageTool({"export", image_, noIni_, "--table", word});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string("rivo800-tool export: --table '") + word +
                               "' non è channels, transponders o favourites\n");
    }
}

// Both commands that write a file take it as -o FILE, --output FILE or --output=FILE.
TEST_F(ExportEdit, OutputFileSpellings) {
    const std::string expected =
        RunPageTool({"export", image_, noIni_, "--table", "transponders"}).out;
    ASSERT_NE(expected, "");
    const std::string file = folder_.path("out.csv");
    for (const std::vector<std::string>& option :
         {std::vector<std::string>{"-o", file}, {"--output", file}, {"--output=" + file}}) {
        SCOPED_TRACE(option[0]);
        std::filesystem::remove(file);
        std::vector<std::string> args{"export", image_, noIni_, "--table", "transponders"};
        args.insert(args.end(), option.begin(), option.end());
        const auto run = RunPageTool(args);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadText(file), expected);
    }
    for (const std::vector<std::string>& option :
         {std::vector<std::string>{"-o", file}, {"--output", file}, {"--output=" + file}}) {
        SCOPED_TRACE(option[0]);
        std::filesystem::remove(file);
        std::vector<std::string> args{"extract", image_, "0", "0"};
        args.insert(args.end(), option.begin(), option.end());
        const auto run = RunPageTool(args);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(std::filesystem::exists(file));
    }
}

// An unknown command is named, before the usage text.
TEST_F(ExportEdit, UnknownCommandIsNamed) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"frobnicate", image_},
          std::vector<std::string>{"--lang", "it", "exprot", image_}}) {
        const auto run = RunPageTool(args);
        EXPECT_EQ(run.code, 1);
        const std::string word = args.size() == 2 ? "frobnicate" : "exprot";
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1),
                  "rivo800-tool: comando sconosciuto '" + word + "'\n");
        EXPECT_NE(run.err.find("export"), std::string::npos);  // the usage text lists the commands
    }
}

TEST_F(ExportEdit, EditAppliesOperationsInOrderThenDumpsOrSaves) {
    const auto dumped =
        RunPageTool({"edit", image_, "--dump", noIni_, "--sat-a", "Sirio", "test-rename", "1",
                     "Uno", "test-rename", "1", "Primo", "test-rename", "2", "Secondo"});
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    const Json page = Json::parse(dumped.out);
    EXPECT_EQ(page["channels"][0]["cells"][1], "Primo");
    EXPECT_EQ(page["channels"][1]["cells"][1], "Secondo");
    EXPECT_EQ(page["transponders"][0]["cells"][9], "Sirio");
    EXPECT_EQ(page["favourites"][1][0]["cells"][1],
              "Canale 1");  // favourites copies are the operations' business

    const std::string out = folder_.path("out.Bin");
    const auto saved = RunPageTool({"edit", image_, out, noIni_, "test-rename", "3", "Terzo"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    const auto after = RunPageTool({"dump", out, noIni_});
    EXPECT_EQ(Json::parse(after.out)["channels"][2]["cells"][1], "Terzo");
    // Without operations, edit is save.
    EXPECT_EQ(RunPageTool({"edit", image_, folder_.path("same.Bin"), noIni_}).code, 0);
    EXPECT_EQ(RunPageTool({"dump", folder_.path("same.Bin"), noIni_}).out,
              RunPageTool({"dump", image_, noIni_}).out);
}

TEST_F(ExportEdit, EditFailuresWriteNothing) {
    const std::string out = folder_.path("out.Bin");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"edit", image_, out, noIni_, "test-rename", "1", "X", "test-refuse"},
         4,
         "Operazione rifiutata"},
        {{"edit", image_, out, noIni_, "frobnicate"}, 1, "frobnicate"},
        {{"edit", image_, out, "--lnb-low"}, 1, "--lnb-low"},
        {{"edit", image_, out, "--unknown", "1"}, 1, "--unknown"},
        {{"edit", image_, noIni_}, 1, "OUT"},
        {{"edit", image_, out, "--dump"}, 1, "oppure"},
        {{"edit"}, 1, "IMAGE"},
        {{"edit", folder_.path("missing.Bin"), out}, 4, "missing.Bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const auto run = RunPageTool(c.args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}
