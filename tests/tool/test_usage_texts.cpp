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

const char* const kEditUsage =
    "\nUso: rivo800-tool edit IMAGE OUT|--dump [parametri di apertura] OPERAZIONE...\n";

TEST(ToolTexts, ReadWholeAsBefore) {
    ASSERT_TRUE(tool::kExtractCommandRegistered);
    ASSERT_TRUE(UseLanguage(Language::Italian, {}, nullptr));
    TempFolder folder;
    const std::string image = folder.path("Rivo.Bin");
    const Bytes bytes = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4));
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"dump", image, "--lnb-low", "abc"},
         1,
         "rivo800-tool: --lnb-low: 'abc' non è un numero intero di MHz\n"},
        {{"dump", image, "--lnb-high", "1.5"},
         1,
         "rivo800-tool: --lnb-high: '1.5' non è un numero intero di MHz\n"},
        {{"dump", image, "--sat-a", "Astra"},
         1,
         "rivo800-tool: i nomi dei satelliti devono essere diversi ('Astra')\n"},
        {{"dump", image, "--sat-b", ""},
         1,
         "rivo800-tool: --sat-b: il nome di un satellite non può essere vuoto\n"},
        {{"dump", image, "--symbol-rates", "1,2,3"},
         1,
         "rivo800-tool: --symbol-rates richiede sedici symbol rate separati da virgole, non 3\n"},
        {{"edit", image}, 1, std::string("rivo800-tool edit: manca OUT o --dump") + kEditUsage},
        {{"edit", "--dump"}, 1, std::string("rivo800-tool edit: manca IMAGE") + kEditUsage},
        {{"edit", image, "--dump", "frobnicate"},
         1,
         std::string("rivo800-tool edit: operazione 'frobnicate' sconosciuta") + kEditUsage},
        {{"edit", image, "--dump", "--frobnicate"},
         1,
         std::string("rivo800-tool edit: opzione --frobnicate sconosciuta") + kEditUsage},
        {{"edit", image, "--dump", "--sr-ini"}, 1, "rivo800-tool: --sr-ini richiede un valore\n"},
        {{"edit", image, "--dump", "move", "3", "2", "1"}, 1, "move: FIRST 3 viene dopo LAST 2\n"},
        {{"edit", image, "--dump", "fav-up", "9", "1"},
         1,
         "fav-up: LIST '9' non è una lista (1..8)\n"},
        {{"edit", image, "--dump", "fav-down", "1", "x"},
         1,
         "fav-down: SLOT 'x' non è un numero\n"},
        {{"edit", image, "--dump", "delete", "1", "1", "drop"},
         1,
         "delete: 'drop' non è né close né keep\n"},
        {{"edit", image, "--dump", "copy-from", image, "1", "1", "--src-lnb-low"},
         1,
         "copy-from: manca il valore di --src-lnb-low\n"},
        {{"edit", image, "--dump", "copy-from", image, "1", "1", "--src-sat-a", "Astra"},
         1,
         "copy-from: i nomi dei satelliti di IMAGE2 devono essere diversi\n"},
        {{"edit", image, "--dump", "set-transponder", "1", "tone=x"},
         1,
         "set-transponder: tone deve essere On o Off, non 'x'\n"},
        {{"edit", image, "--dump", "set-channel", "1", "1", "colour=red"},
         1,
         "set-channel: campo 'colour' sconosciuto\n"},
        {{"edit", image, "--dump", "set-channel", "1", "1", "locked=2"},
         1,
         "set-channel: locked deve essere 0 o 1, non '2'\n"},
        {{"edit", image, "--dump", "sort", "1", "2", "colour"},
         1,
         "sort: KEY 'colour' non è name, sid o frequency\n"},
        {{"edit", image, "--dump", "paste", "1", "insert"},
         1,
         "paste: non è stato copiato nulla prima\n"},
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
