// `rivo800-tool --version`: one line, "rivo800-tool VERSION", on standard output.
#include <gtest/gtest.h>

#include <regex>

#include "tool_run.h"

using rivo::tool::testing::RunPageTool;

namespace {

const std::string kVersionLine = std::string("rivo800-tool ") + RIVO_VERSION + "\n";

struct VersionCase {
    const char* name;
    std::vector<std::string> args;
    int code;
    bool printsVersion;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class ToolVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ToolVersion, PrintsTheVersionOnlyAsTheToolsOwnOption) {
    const VersionCase& c = GetParam();
    auto run = RunPageTool(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    if (c.printsVersion) {
        EXPECT_EQ(run.out, kVersionLine);
        // The command after it does not run: it would complain about the missing file.
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("--version"), std::string::npos) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolVersion,
    ::testing::Values(VersionCase{"alone", {"--version"}, 0, true},
                      VersionCase{"before_a_command", {"--version", "info", "no-such-file.Bin"}, 0, true},
                      VersionCase{"among_a_commands_arguments", {"info", "no-such-file.Bin", "--version"}, 1,
                                  false}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

TEST(ToolVersionText, IsTheProjectsDottedVersion) {
    EXPECT_TRUE(std::regex_match(std::string(RIVO_VERSION), std::regex(R"(\d+\.\d+\.\d+)"))) << RIVO_VERSION;
}

TEST(ToolVersionText, HelpListsTheOption) {
    auto run = RunPageTool({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("--version"), std::string::npos) << run.out;
}

}  // namespace
