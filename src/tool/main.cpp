#include <iostream>
#include <string>
#include <vector>

#include "image/temp_cleanup.h"
#include "tool/tool.h"

int main(int argc, char** argv) {
    rivo::RemoveTempFilesOnSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    return rivo::tool::RunTool(args, std::cout, std::cerr);
}
