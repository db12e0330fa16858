// rivo800-tool edit IMAGE OUT|--dump [open parameters] OPERATION...
//
// Opens the image as a channel list, applies the operations in the order given (each
// registered by name with RegisterEditOperation), then saves the page to OUT as `save`
// does, or prints it as `dump` does and writes nothing. The words are parsed here rather
// than by the option parser, because operations take words of their own (options of
// copy-from included) that only the operation understands.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "channels/list_page.h"
#include "text/translate.h"
#include "tool/open_options.h"
#include "tool/page_commands.h"
#include "tool/page_json.h"
#include "tool/tool.h"

namespace rivo::tool {

namespace {

[[noreturn]] void UsageText(const std::string& message) {
    throw ToolError(
        kExitUsage,
        Fmt(Tr("rivo800-tool edit: %1\n"
               "Uso: rivo800-tool edit IMAGE OUT|--dump [parametri di apertura] OPERAZIONE..."),
            message));
}

bool IsOption(const std::string& word) { return word.size() > 2 && word.compare(0, 2, "--") == 0; }

int RunEdit(const std::vector<std::string>& words, ToolIo& io) {
    if (words.empty() || IsOption(words[0])) UsageText(Tr("manca IMAGE"));
    const std::string& image = words[0];
    std::string out;
    bool dump = false;
    std::size_t pos = 1;
    if (pos < words.size() && words[pos] == "--dump") {
        dump = true;
        ++pos;
    } else if (pos < words.size() && !IsOption(words[pos])) {
        out = words[pos++];
    }
    OpenOptions options;
    while (pos < words.size() && IsOption(words[pos])) {
        if (words[pos] == "--dump") {
            if (!out.empty()) UsageText(Tr("indicare OUT oppure --dump, non entrambi"));
            dump = true;
            ++pos;
            continue;
        }
        const std::size_t used = TakeOpenOption(words, pos, options);
        if (used == 0) UsageText(Fmt(Tr("opzione %1 sconosciuta"), words[pos]));
        pos += used;
    }
    if (!dump && out.empty()) UsageText(Tr("manca OUT o --dump"));

    const OpenParams params = ResolveOpenParams(options, image);
    auto page = OpenListPage(params, io.err);
    EditContext context{*page, params, io};
    while (pos < words.size()) {
        const EditOperation* operation = FindEditOperation(words[pos]);
        if (!operation) UsageText(Fmt(Tr("operazione '%1' sconosciuta"), words[pos]));
        const std::size_t used = (*operation)(words, pos, context);
        if (used == 0)
            throw ToolError(kExitFailure,
                            Fmt(Tr("rivo800-tool edit: l'operazione '%1' non ha usato parole"), words[pos]));
        pos += used;
    }
    if (dump)
        WritePageJson(*page, io.out);
    else
        SaveListPage(*page, out, io.err);
    return kExitOk;
}

// What `edit --help` lists: each operation with its arguments, as the manual page and
// docs/cli.md name them (a test holds the three together).
constexpr const char* kOperationSynopses[] = {
    "delete FIRST LAST close|keep",
    "insert ROW",
    "move FIRST LAST TO",
    "fav-up LIST SLOT",
    "fav-down LIST SLOT",
    "copy FIRST LAST",
    "copy-from IMAGE2 FIRST LAST [--src-lnb-low MHZ] [--src-lnb-high MHZ] [--src-sat-a NAME] "
    "[--src-sat-b NAME] "
    "[--src-symbol-rates R0,...,R15]",
    "paste ROW insert|overwrite",
    "delete-transponder ROW close|keep",
    "optimise-transponders",
    "swap-satellites",
    "set-channel FIRST LAST FIELD=VALUE...",
    "rename-replace FIRST LAST FIND REPLACE [regex] [case] [where=EXPR]",
    "add-to-list K FIRST LAST [where=EXPR]",
    "remove-from-list K FIRST LAST [where=EXPR]",
    "set-transponder ROW FIELD=VALUE...",
    "sort FIRST LAST KEY",
    "apply-reference IMAGE2 keep|take [names]",
    "dedupe LEVEL",
    "clean-repeated-favourites",
    "take-removed OLD",
    "take-names OLD",
    "take-favourites OLD",
    "apply-order FILE [names] [favourites] [unmatched=keep|delete]",
};

std::string EditHelpFooter() {
    std::string text =
        Tr("Opzioni prima delle operazioni: --dump al posto di OUT, e i parametri di apertura "
           "--lnb-low "
           "MHZ, --lnb-high MHZ, --sat-a NAME, --sat-b NAME, --sr-ini PATH, --sr-set NAME, "
           "--symbol-rates R0,...,R15.");
    text += "\n\n";
    text += Tr("Operazioni, eseguite nell'ordine dato (rivo800-tool(1) spiega ciascuna):");
    text += "\n";
    for (const char* synopsis : kOperationSynopses) text += std::string("  ") + synopsis + "\n";
    return text;
}

}  // namespace

const bool kEditCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    CLI::App* cmd = app.add_subcommand(
        "edit",
        Tr("Applica le operazioni di modifica alla pagina, poi la salva in OUT (o la mostra con --dump).\n"
           "Uso: edit IMAGE OUT|--dump [parametri di apertura] OPERAZIONE..."));
    cmd->footer(EditHelpFooter());
    cmd->prefix_command();
    cmd->allow_extras();
    cmd->callback([cmd, &io, &exitCode] { exitCode = RunEdit(cmd->remaining(), io); });
});

}  // namespace rivo::tool
