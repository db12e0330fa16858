// rivo800-tool dump IMAGE [open parameters]: the page the editor builds, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "text/translate.h"
#include "tool/open_options.h"
#include "tool/page_commands.h"
#include "tool/page_json.h"
#include "tool/tool.h"

namespace rivo::tool {

const bool kDumpCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    struct Args {
        std::string image;
        OpenOptions open;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("dump", Tr("Print the page the editor builds for a flash image, as JSON"));
    cmd->add_option("IMAGE", args->image, Tr("the image file"))->required();
    AddOpenOptions(*cmd, args->open);
    cmd->callback([args, &io, &exitCode] {
        auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
        WritePageJson(*page, io.out);
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
