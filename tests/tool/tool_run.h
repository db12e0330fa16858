// Running rivo800-tool in-process for the tests of the page commands.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tool/page_commands.h"
#include "tool/tool.h"

namespace rivo::tool::testing {

struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun RunPageTool(const std::vector<std::string>& args) {
    EXPECT_TRUE(PageCommandsLinked());  // keeps the commands' object files in the program
    std::ostringstream out, err;
    const int code = RunTool(args, out, err);
    return {code, out.str(), err.str()};
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace rivo::tool::testing
