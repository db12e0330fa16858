// The tool's own usage and failure texts, whole: each is one pattern with its values
// put in, and with no catalogue loaded it must read exactly as the contract's scripts
// know it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "text/language.h"
#include "tool_run.h"

namespace rivo::tool {
extern const bool kExtractCommandRegistered;
}  // namespace rivo::tool

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::RunPageTool;
using rivo::tool::testing::ToolRun;

namespace {

const char* const kEditUsage = "\nUsage: rivo800-tool edit IMAGE OUT|--dump [open parameters] OPERATION...\n";

TEST(ToolTexts, ReadWholeAsBefore) {
    ASSERT_TRUE(tool::kExtractCommandRegistered);
    ASSERT_TRUE(UseLanguage(Language::Italian, {}, nullptr));
    TempFolder folder;
    const std::string image = folder.path("Rivo.Bin");
    const Bytes bytes = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4));
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"dump", image, "--lnb-low", "abc"}, 1, "rivo800-tool: --lnb-low: 'abc' is not a whole number of MHz\n"},
        {{"dump", image, "--lnb-high", "1.5"}, 1, "rivo800-tool: --lnb-high: '1.5' is not a whole number of MHz\n"},
        {{"dump", image, "--sat-a", "Astra"}, 1, "rivo800-tool: the satellite names must differ ('Astra')\n"},
        {{"dump", image, "--sat-b", ""}, 1, "rivo800-tool: --sat-b: a satellite name cannot be empty\n"},
        {{"dump", image, "--symbol-rates", "1,2,3"},
         1,
         "rivo800-tool: --symbol-rates needs sixteen rates separated by commas, not 3\n"},
        {{"edit", image}, 1, std::string("rivo800-tool edit: missing OUT or --dump") + kEditUsage},
        {{"edit", "--dump"}, 1, std::string("rivo800-tool edit: missing IMAGE") + kEditUsage},
        {{"edit", image, "--dump", "frobnicate"},
         1,
         std::string("rivo800-tool edit: unknown operation 'frobnicate'") + kEditUsage},
        {{"edit", image, "--dump", "--frobnicate"},
         1,
         std::string("rivo800-tool edit: unknown option --frobnicate") + kEditUsage},
        {{"edit", image, "--dump", "--sr-ini"}, 1, "rivo800-tool: --sr-ini needs a value\n"},
        {{"edit", image, "--dump", "move", "3", "2", "1"}, 1, "move: FIRST 3 is after LAST 2\n"},
        {{"edit", image, "--dump", "fav-up", "9", "1"}, 1, "fav-up: LIST '9' is not a list (1..8)\n"},
        {{"edit", image, "--dump", "fav-down", "1", "x"}, 1, "fav-down: SLOT 'x' is not a number\n"},
        {{"edit", image, "--dump", "delete", "1", "1", "drop"}, 1, "delete: 'drop' is neither close nor keep\n"},
        {{"edit", image, "--dump", "copy-from", image, "1", "1", "--src-lnb-low"},
         1,
         "copy-from: missing --src-lnb-low value\n"},
        {{"edit", image, "--dump", "copy-from", image, "1", "1", "--src-sat-a", "Astra"},
         1,
         "copy-from: the satellite names of IMAGE2 must differ\n"},
        {{"edit", image, "--dump", "set-transponder", "1", "tone=x"},
         1,
         "set-transponder: tone must be On or Off, not 'x'\n"},
        {{"edit", image, "--dump", "set-channel", "1", "1", "colour=red"},
         1,
         "set-channel: unknown field 'colour'\n"},
        {{"edit", image, "--dump", "set-channel", "1", "1", "locked=2"},
         1,
         "set-channel: locked must be 0 or 1, not '2'\n"},
        {{"edit", image, "--dump", "sort", "1", "2", "colour"},
         1,
         "sort: KEY 'colour' is not name, sid or frequency\n"},
        {{"edit", image, "--dump", "paste", "1", "insert"}, 1, "paste: nothing has been copied before\n"},
        {{"extract", image, "NOPE", "0"}, 4, "Modulo non trovato: NOPE\n"},
    };
    for (const Case& c : cases) {
        std::string words;
        for (const std::string& word : c.args) words += " " + word;
        SCOPED_TRACE(words);
        const ToolRun run = RunPageTool(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
