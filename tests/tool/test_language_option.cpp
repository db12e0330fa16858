// `--lang it|en`: the tool's choice of language on its command line, taken wherever it
// stands before a "--" and before any text is built.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "text/language.h"
#include "tool_run.h"

namespace rivo::tool {
extern const bool kInfoCommandRegistered;
}  // namespace rivo::tool

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::RunPageTool;
using rivo::tool::testing::ToolRun;

namespace {

// The language is the program's own: every case starts from Italian, whatever ran before.
class LanguageOption : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tool::kInfoCommandRegistered);
        ASSERT_TRUE(UseLanguage(Language::Italian, {}, nullptr));
        WriteImage();
    }
    void TearDown() override { UseLanguage(Language::Italian, {}, nullptr); }

    void WriteImage() {
        const Bytes bytes = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4));
        std::ofstream(image_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    TempFolder folder_;
    const std::string image_ = folder_.path("Rivo.Bin");
    const std::string missing_ = folder_.path("no-such-image.Bin");
};

std::vector<std::string> Without(std::vector<std::string> args,
                                 const std::vector<std::string>& removed) {
    for (const std::string& word : removed)
        for (auto it = args.begin(); it != args.end(); ++it)
            if (*it == word) {
                args.erase(it);
                break;
            }
    return args;
}

TEST_F(LanguageOption, AnUnknownOrMissingValueIsAUsageError) {
    const std::vector<std::vector<std::string>> cases{
        {"--lang", "xx", "--version"},    {"--lang=xx", "info", image_},
        {"info", image_, "--lang", "EN"},  // codes are lower case, as the settings keep them
        {"--lang", "", "--help"},         {"--lang="},
        {"info", image_, "--lang"},  // no value at all
    };
    for (const auto& args : cases) {
        const ToolRun run = RunPageTool(args);
        EXPECT_EQ(run.code, tool::kExitUsage) << args[0] << " " << run.err;
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_EQ(run.err.rfind("rivo800-tool: --lang", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_EQ(CurrentLanguage(), Language::Italian);
    }
    EXPECT_EQ(RunPageTool({"--lang", "xx", "info", image_}).err,
              "rivo800-tool: --lang: 'xx' non è né it né en\n");
}

TEST_F(LanguageOption, ItalianChangesNothingWhereverItStands) {
    // Each case is run with and without the option; "--lang" and "it" are the words left
    // out (or "--lang=it"). Failures are included: their messages are texts too.
    const std::vector<std::vector<std::string>> cases{
        {"--lang", "it", "--help"},
        {"--lang=it", "--version"},
        {"--lang", "it", "info", image_},
        {"info", image_, "--lang", "it"},
        {"dump", "--lang=it", image_, "--sat-a", "Alfa"},
        {"export", image_, "--table", "channels", "--lang", "it"},
        {"--lang", "it", "info", missing_},
        {"dump", image_, "--lnb-low", "x", "--lang", "it"},
        // edit reads its own words; the option is taken out before it sees them.
        {"edit", image_, "--dump", "--lang", "it", "delete", "2", "3", "close"},
        {"edit", image_, "--dump", "move", "1", "1", "--lang=it"},
        {"edit", image_, "--lang", "it", "--dump", "sort", "9", "1", "name"},
    };
    for (const auto& args : cases) {
        const ToolRun with = RunPageTool(args);
        const ToolRun without = RunPageTool(Without(args, {"--lang", "it", "--lang=it"}));
        EXPECT_EQ(with.code, without.code) << with.err;
        EXPECT_EQ(with.out, without.out);
        EXPECT_EQ(with.err, without.err);
        EXPECT_EQ(CurrentLanguage(), Language::Italian);
    }
    // The cases above must not all succeed or all fail alike for the comparison to mean
    // something: a failure, a usage error and an output are among them.
    EXPECT_EQ(RunPageTool({"--lang", "it", "info", missing_}).code, tool::kExitFailure);
    EXPECT_EQ(
        RunPageTool({"--lang", "it", "edit", image_, "--dump", "sort", "9", "1", "name"}).code,
        tool::kExitUsage);
    const ToolRun dumped =
        RunPageTool({"edit", image_, "--dump", "--lang", "it", "delete", "2", "3", "close"});
    EXPECT_EQ(dumped.code, tool::kExitOk) << dumped.err;
    EXPECT_NE(dumped.out.find("\"channels\""), std::string::npos);
}

TEST_F(LanguageOption, IsListedInTheHelp) {
    const ToolRun run = RunPageTool({"--help"});
    EXPECT_EQ(run.code, tool::kExitOk);
    EXPECT_NE(run.out.find("--lang"), std::string::npos) << run.out;
}

TEST_F(LanguageOption, AWordAfterADoubleDashIsNoOption) {
    // After "--" the word is the image's name, however it looks: a missing file (exit 4),
    // not a usage error.
    const ToolRun run = RunPageTool({"info", "--", "--lang"});
    EXPECT_EQ(run.code, tool::kExitFailure) << run.err;
    EXPECT_NE(run.err.find("--lang"), std::string::npos) << run.err;
}

TEST_F(LanguageOption, EnglishWithoutACatalogueStaysItalianAndSaysSo) {
    // No catalogue folders are given in-process: English cannot be found.
    const ToolRun english = RunPageTool({"--lang", "en", "info", missing_});
    const ToolRun italian = RunPageTool({"info", missing_});
    EXPECT_EQ(CurrentLanguage(), Language::Italian);
    EXPECT_EQ(english.code, italian.code);
    EXPECT_EQ(
        english.err,
        "rivo800-tool: il catalogo inglese non è stato trovato; i testi restano in italiano\n" +
            italian.err);
}

// A damaged catalogue is named as damaged, with where it is and what is wrong, in the
// language the texts stay in.
TEST_F(LanguageOption, ADamagedEnglishCatalogueIsNamedAsDamaged) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"truncated", std::string("\xDE\x12\x04\x95\0\0", 6), "troppo corto per un catalogo"},
        {"bad magic", std::string(40, 'x'), "non è un catalogo gettext (numero magico errato)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        std::filesystem::create_directories(folder.path("en/LC_MESSAGES"));
        const std::string mo = folder.path("en/LC_MESSAGES/rivo800.mo");
        std::ofstream(mo, std::ios::binary) << c.bytes;
        std::ostringstream out, err;
        const int code =
            tool::RunTool({"--lang", "en", "info", missing_}, out, err, {folder.root()});
        EXPECT_EQ(CurrentLanguage(), Language::Italian);
        EXPECT_EQ(code, tool::kExitFailure);
        const std::string firstLine = err.str().substr(0, err.str().find('\n'));
        EXPECT_EQ(firstLine, "rivo800-tool: il catalogo inglese è danneggiato (" + mo + ": " +
                                 c.reason + "); i testi restano in italiano");
    }
}

}  // namespace
