// What the documents promise about the command line, checked against the program: every
// example of docs/cli.md and the README runs on the bundled sample as shown, and
// `edit --help` names each operation of cli.md's table with its arguments. The examples
// are read from the documents themselves, so the test follows them as they change.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "tool/tool.h"
#include "tool_run.h"

namespace rivo {
namespace tool {
std::vector<std::string> EditOperationNames();  // tool.cpp
}  // namespace tool

namespace {

using testsupport::TempFolder;
using tool::testing::ReadText;
using tool::testing::RunPageTool;

std::string Document(const std::string& name) {
    return ReadText(std::string(RIVO_SOURCE_DIR) + "/" + name);
}

// A word that stands for something to fill in (IMAGE, OUT, MODULE ...): upper-case
// letters, at least two.
bool IsPlaceholder(const std::string& word) {
    if (word.size() < 2) return false;
    return std::all_of(word.begin(), word.end(),
                       [](char c) {
                           return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
                       }) &&
           word[0] >= 'A' && word[0] <= 'Z';
}

// The command lines of the tool in the document's code blocks (fenced, or indented by
// four spaces) that are examples rather than synopses: no placeholder, no optional part
// in brackets, no "...". A trailing "# comment" is dropped.
std::vector<std::string> ToolExamples(const std::string& text) {
    std::vector<std::string> examples;
    std::istringstream lines(text);
    std::string line;
    bool fenced = false;
    while (std::getline(lines, line)) {
        if (line.rfind("```", 0) == 0) {
            fenced = !fenced;
            continue;
        }
        std::string command;
        if (fenced)
            command = line;
        else if (line.rfind("    ", 0) == 0)
            command = line.substr(4);
        else
            continue;
        if (command.rfind("rivo800-tool ", 0) != 0) continue;
        if (const auto comment = command.find(" #"); comment != std::string::npos)
            command.resize(comment);
        while (!command.empty() && command.back() == ' ') command.pop_back();
        if (command.find('[') != std::string::npos || command.find("...") != std::string::npos)
            continue;
        std::istringstream words(command);
        std::string word;
        bool synopsis = false;
        while (words >> word) synopsis = synopsis || IsPlaceholder(word);
        if (!synopsis) examples.push_back(command);
    }
    return examples;
}

TEST(DocumentedExamples, AreFoundInTheDocuments) {
    // The rule above on a few lines of each kind.
    const std::string text =
        "    rivo800-tool info IMAGE                # a synopsis\n"
        "    rivo800-tool edit Sample.Bin --dump insert 3   # an example\n"
        "    rivo800-editor --lang en\n"
        "text rivo800-tool info Sample.Bin\n"
        "```sh\n"
        "rivo800-tool export Sample.Bin [--raw]\n"
        "rivo800-tool dump Sample.Bin --where sat=B,state=coded\n"
        "rivo800-tool edit Sample.Bin OUT OPERATION...\n"
        "```\n";
    EXPECT_EQ(ToolExamples(text),
              (std::vector<std::string>{"rivo800-tool edit Sample.Bin --dump insert 3",
                                        "rivo800-tool dump Sample.Bin --where sat=B,state=coded"}));
    const std::vector<std::string> cli = ToolExamples(Document("docs/cli.md"));
    EXPECT_GE(cli.size(), 10u);
    EXPECT_NE(
        std::find(
            cli.begin(), cli.end(),
            "rivo800-tool edit Sample.Bin --dump add-to-list 3 1 1998 where=sat=B,state=coded"),
        cli.end());
    EXPECT_GE(ToolExamples(Document("README.md")).size(), 5u);
}

// Runs each document's examples in order in a folder of its own holding the sample and
// its Sr.Ini, the built program first on the PATH under its installed name.
TEST(DocumentedExamples, RunAsShownOnTheSample) {
    for (const char* name : {"docs/cli.md", "README.md"}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::string bin = folder.path("bin");
        const std::string work = folder.path("sample");
        std::filesystem::create_directories(bin);
        std::filesystem::create_directories(work);
        std::filesystem::create_symlink(RIVO_TOOL_PATH, bin + "/rivo800-tool");
        for (const char* file : {"Sample.Bin", "Sr.Ini"})
            std::filesystem::copy_file(std::string(RIVO_SAMPLE_DIR) + "/" + file,
                                       work + "/" + file);
        const std::vector<std::string> examples = ToolExamples(Document(name));
        ASSERT_FALSE(examples.empty());
        for (const std::string& example : examples) {
            const std::string command = "cd '" + work + "' && PATH='" + bin +
                                        "':\"$PATH\" LC_ALL=C.UTF-8 " + example + " >'" +
                                        folder.path("out") + "' 2>'" + folder.path("err") + "'";
            const int status = std::system(command.c_str());
            ASSERT_TRUE(WIFEXITED(status)) << example;
            EXPECT_EQ(WEXITSTATUS(status), 0) << example << "\n" << ReadText(folder.path("err"));
        }
    }
}

// "`fav-up LIST SLOT`, `fav-down LIST SLOT`": the backquoted names of the first column
// of cli.md's table of operations, "\|" read as "|".
std::vector<std::string> OperationsOfTheTable(const std::string& text) {
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        if (line == "| operation | editor command |") {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        if (line.rfind("| `", 0) != 0) {
            if (line.rfind("|---", 0) == 0) continue;
            break;
        }
        std::string cell = line.substr(2);
        // The first column ends at the first "|" outside backquotes.
        bool quoted = false;
        std::size_t end = 0;
        for (; end < cell.size(); ++end) {
            if (cell[end] == '`') quoted = !quoted;
            if (cell[end] == '|' && !quoted && (end == 0 || cell[end - 1] != '\\')) break;
        }
        cell.resize(end);
        for (std::size_t open = cell.find('`'); open != std::string::npos;
             open = cell.find('`', open)) {
            const std::size_t close = cell.find('`', open + 1);
            std::string name = cell.substr(open + 1, close - open - 1);
            for (std::size_t at = name.find("\\|"); at != std::string::npos;
                 at = name.find("\\|", at))
                name.erase(at, 1);
            names.push_back(name);
            open = close + 1;
        }
    }
    return names;
}

TEST(EditHelp, ListsEveryOperationWithItsArgumentsAsTheContractDoes) {
    const auto help = RunPageTool({"edit", "--help"});
    ASSERT_EQ(help.code, 0) << help.err;
    const std::vector<std::string> documented = OperationsOfTheTable(Document("docs/cli.md"));
    ASSERT_GE(documented.size(), 24u);
    EXPECT_EQ(documented[0], "delete FIRST LAST close|keep");
    EXPECT_EQ(documented.back(), "apply-order FILE [names] [favourites] [unmatched=keep|delete]");
    for (const std::string& synopsis : documented)
        EXPECT_NE(help.out.find("\n  " + synopsis), std::string::npos) << synopsis << "\n"
                                                                       << help.out;
    // Every operation the program has is in the table, hence in the help (the test
    // program's own "test-..." operations aside).
    for (const std::string& operation : tool::EditOperationNames()) {
        if (operation.rfind("test-", 0) == 0) continue;
        const bool inTable =
            std::any_of(documented.begin(), documented.end(), [&](const std::string& synopsis) {
                return synopsis == operation || synopsis.rfind(operation + " ", 0) == 0;
            });
        EXPECT_TRUE(inTable) << operation;
    }
    EXPECT_NE(help.out.find("--dump"), std::string::npos);
    EXPECT_NE(help.out.find("--sr-ini PATH"), std::string::npos);
}

}  // namespace
}  // namespace rivo
