// The real program in English and in Italian: the language comes from the locale the
// way the documentation says, --lang overrides it, and messages with a count take the
// language's plural forms. The data the tool prints does not change.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "channel_fixtures.h"
#include "image_builder.h"
#include "tool_run.h"

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::ReadText;

namespace {

struct ProgramRun {
    int code;
    std::string out, err;
};

// Runs the built program with exactly the locale variables given (the others unset).
ProgramRun RunInLocale(const TempFolder& folder, const std::string& locale, const std::string& arguments) {
    const std::string outPath = folder.path("stdout.txt");
    const std::string errPath = folder.path("stderr.txt");
    const std::string command = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG -u RIVO800_LOCALEDIR " + locale +
                                " '" RIVO_TOOL_PATH "' " + arguments + " >'" + outPath + "' 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status)) << command;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(outPath), ReadText(errPath)};
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const char* const kItalianRefusal =
    "Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio perderebbe dei byte: modulo \"TPT\" "
    "(settore 1), voce \"TPT\": dichiarata di 2000 byte, va oltre la fine del settore; letti 536 byte.\n";
const char* const kEnglishRefusal =
    "Cannot save: the module table is damaged and saving would lose bytes: module \"TPT\" (sector 1), entry \"TPT\": "
    "declared as 2000 bytes, runs past the end of the sector; 536 bytes read.\n";

TEST(ToolLanguage, TheLocaleChoosesTheLanguageAndLangOverridesIt) {
    TempFolder folder;
    const std::string image = folder.path("cut.Bin");
    WriteFile(image, EntryPastItsSectorImage());  // saving it would lose bytes: refused
    const std::string save = "save '" + image + "' '" + folder.path("out.Bin") + "'";
    const struct {
        const char* locale;
        const char* option;
        bool english;
    } cases[] = {
        {"", "", false},
        {"LANG=C", "", false},
        {"LANG=C.UTF-8", "", false},
        {"LC_ALL=POSIX LANG=en_GB.UTF-8", "", false},
        {"LANG=it_IT.UTF-8", "", false},
        {"LANG=en_GB.UTF-8", "", true},
        {"LANG=de_DE.UTF-8", "", true},
        {"LANGUAGE=it LANG=en_US.UTF-8", "", false},
        {"LANG=C", "--lang en", true},
        {"LANG=en_GB.UTF-8", "--lang it", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.option);
        const ProgramRun run = RunInLocale(folder, c.locale, std::string(c.option) + " " + save);
        EXPECT_EQ(run.code, 4);
        ASSERT_GE(run.err.size(), std::string(kEnglishRefusal).size());
        const std::string last = run.err.substr(run.err.rfind('\n', run.err.size() - 2) + 1);
        EXPECT_EQ(last, c.english ? kEnglishRefusal : kItalianRefusal);
        EXPECT_FALSE(std::filesystem::exists(folder.path("out.Bin")));
    }
}

TEST(ToolLanguage, CountsTakeTheirPluralFormInEnglish) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4)));
    // A target with other names (hard links) keeps its old content under them: the save
    // says how many, one and then two.
    for (int links = 1; links <= 2; ++links) {
        SCOPED_TRACE(links);
        const std::string target = folder.path("out" + std::to_string(links) + ".Bin");
        WriteFile(target, Bytes(16, 0));
        for (int k = 1; k <= links; ++k)
            std::filesystem::create_hard_link(target, target + ".link" + std::to_string(k));
        const ProgramRun english = RunInLocale(folder, "LANG=en_GB.UTF-8", "save '" + image + "' '" + target + "'");
        EXPECT_EQ(english.code, 0) << english.err;
        const std::string expected =
            links == 1 ? "had another name (a hard link), which keeps the previous content."
                       : "had 2 other names (hard links), which keep the previous content.";
        EXPECT_NE(english.err.find(expected), std::string::npos) << english.err;
        EXPECT_EQ(english.err.find("Attenzione"), std::string::npos) << english.err;
    }
}

TEST(ToolLanguage, DataStaysTheSameInEveryLanguage) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 30, 5, true)));
    for (const char* command : {"dump", "info", "export --table channels", "export --table favourites"}) {
        SCOPED_TRACE(command);
        const std::string arguments = std::string(command) + " '" + image + "'";
        const ProgramRun italian = RunInLocale(folder, "LANG=C", arguments);
        const ProgramRun english = RunInLocale(folder, "", "--lang en " + arguments);
        EXPECT_EQ(italian.code, 0) << italian.err;
        EXPECT_EQ(english.code, 0) << english.err;
        EXPECT_FALSE(italian.out.empty());
        EXPECT_EQ(english.out, italian.out);
    }
}

TEST(ToolLanguage, DedupeCountsTheChannelsItRemovedInEnglish) {
    TempFolder folder;
    const std::string image = folder.path("copies.Bin");
    ChannelImageSpec spec;
    spec.layout = ListLayout::Split;
    spec.transponders = {TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2}};
    for (int copies = 1; copies <= 3; ++copies) {
        SCOPED_TRACE(copies);
        spec.channels.push_back({"Uno", 4, 1, 10});
        WriteFile(image, BuildChannelImage(spec));
        const ProgramRun english = RunInLocale(folder, "LANG=en_GB.UTF-8",
                                               "edit '" + image + "' --dump --sr-ini=/nonexistent dedupe exact");
        EXPECT_EQ(english.code, 0) << english.err;
        const std::string count = std::to_string(copies - 1);
        EXPECT_EQ(english.err, copies == 2 ? "dedupe: Deleted 1 duplicate channel\n"
                                           : "dedupe: Deleted " + count + " duplicate channels\n");
    }
}

TEST(ToolLanguage, ApplyOrderNamesTheBadLineInEitherLanguage) {
    TempFolder folder;
    const std::string image = folder.path("list.Bin");
    WriteFile(image, BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 30, 5, true)));
    const std::string file = folder.path("order.csv");
    const std::string text = "Num.;Nome canale\n1;A\nsette;B\n";
    WriteFile(file, Bytes(text.begin(), text.end()));
    const std::string arguments = "edit '" + image + "' --dump apply-order '" + file + "'";
    const ProgramRun italian = RunInLocale(folder, "LANG=C", arguments);
    const ProgramRun english = RunInLocale(folder, "", "--lang en " + arguments);
    EXPECT_EQ(italian.code, 4);
    EXPECT_EQ(english.code, 4);
    EXPECT_NE(italian.err.find("Riga 3: nella colonna \"Num.\" c'è 'sette', che non è un numero."), std::string::npos)
        << italian.err;
    EXPECT_NE(english.err.find("Line 3: the column \"Num.\" holds 'sette', which is not a number."), std::string::npos)
        << english.err;
}

}  // namespace
