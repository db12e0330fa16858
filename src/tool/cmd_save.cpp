// rivo800-tool save IMAGE OUT [open parameters]: open as the editor does and save the
// page unchanged, exactly as the editor's save command would.
#include <CLI/CLI.hpp>
#include <memory>

#include "text/translate.h"
#include "tool/open_options.h"
#include "tool/page_commands.h"
#include "tool/tool.h"

namespace rivo::tool {

const bool kSaveCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    struct Args {
        std::string image, out;
        OpenOptions open;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "save", Tr("Apre un'immagine flash come lista dei canali e la salva invariata in OUT"));
    cmd->add_option("IMAGE", args->image, Tr("il file dell'immagine"))->required();
    cmd->add_option("OUT", args->out, Tr("il file da scrivere (sostituito in modo atomico)"))
        ->required();
    AddOpenOptions(*cmd, args->open);
    cmd->callback([args, &io, &exitCode] {
        auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
        SaveListPage(*page, args->out, io.err);
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
