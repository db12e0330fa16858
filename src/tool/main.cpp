#include <iostream>
#include <string>
#include <vector>

#include "tool/tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return rivo::tool::RunTool(args, std::cout, std::cerr);
}
