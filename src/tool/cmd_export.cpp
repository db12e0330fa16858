// rivo800-tool export IMAGE [open parameters] --table channels|transponders|favourites
// [--raw] [-o FILE]: one table of the page as UTF-8 CSV.
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
        std::string image, output;
        CsvTable table = CsvTable::Channels;
        OpenOptions open;
        bool raw = false;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("export", Tr("Write one table of the page as CSV"));
    cmd->add_option("IMAGE", args->image, Tr("the image file"))->required();
    AddOpenOptions(*cmd, args->open);
    const std::map<std::string, CsvTable> tables{{"channels", CsvTable::Channels},
                                                 {"transponders", CsvTable::Transponders},
                                                 {"favourites", CsvTable::Favourites}};
    cmd->add_option("--table", args->table, Tr("channels, transponders or favourites"))
        ->required()
        ->transform(CLI::CheckedTransformer(tables, CLI::ignore_case))
        ->option_text("TABLE");
    cmd->add_flag("--raw", args->raw,
                  Tr("write every cell as it is, without the apostrophe before a field a spreadsheet would take as a "
                     "formula"));
    cmd->add_option("-o", args->output, Tr("the file to write (standard output when not given)"))->option_text("FILE");
    cmd->callback([args, &io, &exitCode] {
        auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
        const std::string csv = ExportCsv(*page, args->table, args->raw ? CsvCells::Raw : CsvCells::Guarded);
        if (args->output.empty()) {
            io.out << csv;
        } else {
            const std::string error = WriteFileAtomically(args->output, Bytes(csv.begin(), csv.end()));
            if (!error.empty()) throw ToolError(kExitFailure, error);
        }
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
