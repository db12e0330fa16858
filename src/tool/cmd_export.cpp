// rivo800-tool export IMAGE [open parameters] --table channels|transponders|favourites
// [--raw] [-o|--output FILE]: one table of the page as UTF-8 CSV.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <ostream>

#include "channels/csv_export.h"
#include "image/kvx_image.h"
#include "text/translate.h"
#include "tool/open_options.h"
#include "tool/page_commands.h"
#include "tool/tool.h"

namespace rivo::tool {

const bool kExportCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    struct Args {
        std::string image, output, table;
        OpenOptions open;
        bool raw = false;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("export", Tr("Scrive una tabella della pagina in CSV"));
    cmd->add_option("IMAGE", args->image, Tr("il file dell'immagine"))->required();
    AddOpenOptions(*cmd, args->open);
    // The table is read as a word and checked here, so that a wrong one gets a message
    // naming the three tables rather than the option parser's mapping.
    cmd->add_option("--table", args->table, Tr("channels, transponders o favourites"))
        ->required()
        ->option_text("TABLE");
    cmd->add_flag("--raw", args->raw,
                  Tr("scrive ogni cella così com'è, senza l'apostrofo davanti a un campo che un "
                     "foglio di calcolo prenderebbe per una formula"));
    cmd->add_option("-o,--output", args->output,
                    Tr("il file da scrivere (lo standard output se non indicato)"))
        ->option_text("FILE");
    cmd->callback([args, &io, &exitCode] {
        static const std::map<std::string, CsvTable> kTables{
            {"channels", CsvTable::Channels},
            {"transponders", CsvTable::Transponders},
            {"favourites", CsvTable::Favourites}};
        const auto table = kTables.find(args->table);
        if (table == kTables.end())
            throw ToolError(kExitUsage, Fmt(Tr("rivo800-tool export: --table '%1' non è channels, "
                                               "transponders o favourites"),
                                            args->table));
        auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
        const std::string csv =
            ExportCsv(*page, table->second, args->raw ? CsvCells::Raw : CsvCells::Guarded);
        if (args->output.empty()) {
            io.out << csv;
        } else {
            const std::string error =
                WriteFileAtomically(args->output, Bytes(csv.begin(), csv.end()));
            if (!error.empty()) throw ToolError(kExitFailure, error);
        }
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
