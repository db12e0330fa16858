// rivo800-tool dump IMAGE [open parameters]: the page the editor builds, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "editing/channel_filter.h"
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
        std::string where;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "dump", Tr("Stampa come JSON la pagina che l'editor costruisce da un'immagine flash"));
    cmd->add_option("IMAGE", args->image, Tr("il file dell'immagine"))->required();
    cmd->add_option("--where", args->where,
                    Tr("solo i canali che soddisfano EXPR: sat=A|B, state=WORD, list=K, none, "
                       "name~TEXT, sid=N, "
                       "freq=MHZ, tp=N, unite da ',' (tutte devono valere)"))
        ->option_text("EXPR");
    AddOpenOptions(*cmd, args->open);
    cmd->callback([args, cmd, &io, &exitCode] {
        // The filter is read before the image, so a bad expression costs no opening.
        std::optional<ChannelFilter> filter;
        if (cmd->count("--where") > 0) {
            std::string error;
            filter = ParseFilterExpression(args->where, error);
            if (!filter) throw ToolError(kExitUsage, Fmt(Tr("--where: %1"), error));
        }
        auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
        if (filter) {
            const std::vector<int> rows = FilterRows(*page, *filter);
            WritePageJson(*page, io.out, &rows);
        } else {
            WritePageJson(*page, io.out);
        }
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
