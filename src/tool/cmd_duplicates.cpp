// rivo800-tool duplicates IMAGE [--level LEVEL] [open parameters]: the groups of copies
// of a channel the editor's "Trova duplicati..." shows, as JSON, and the favourites
// lists that name a channel more than once.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "channels/cp1252.h"
#include "editing/duplicates.h"
#include "text/translate.h"
#include "tool/edit_ops_duplicates.h"
#include "tool/open_options.h"
#include "tool/tool.h"

namespace rivo::tool {

nlohmann::ordered_json DuplicatesJson(const ListPage& page, const DuplicateFinding& finding) {
    nlohmann::ordered_json j;
    j["level"] = DuplicateLevelWord(finding.level);
    auto groups = nlohmann::ordered_json::array();
    for (const DuplicateGroup& group : finding.groups) {
        nlohmann::ordered_json g;
        g["rows"] = group.rows;
        g["kept"] = group.kept;
        g["reason"] = KeepReasonWord(group.reason);
        g["name"] = Cp1252ToUtf8(page.channelGrid.cell(group.kept, ch::Name));
        groups.push_back(std::move(g));
    }
    j["groups"] = std::move(groups);
    j["channels_to_remove"] = finding.removableCount();
    auto repeated = nlohmann::ordered_json::array();
    for (const RepeatedEntry& entry : FindRepeatedFavourites(page))
        repeated.push_back(
            {{"list", entry.list + 1}, {"channel", entry.channel}, {"count", entry.count}});
    j["repeated_favourites"] = std::move(repeated);
    return j;
}

const bool kDuplicatesCommandRegistered =
    RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
        struct Args {
            std::string image;
            std::string level = "exact";
            OpenOptions open;
        };
        auto args = std::make_shared<Args>();
        CLI::App* cmd = app.add_subcommand(
            "duplicates",
            Tr("Stampa come JSON i gruppi di copie di un canale e la copia che ciascuno tiene"));
        cmd->add_option("IMAGE", args->image, Tr("il file dell'immagine"))->required();
        cmd->add_option("--level", args->level,
                        Tr("exact, ids, name-transponder o name (predefinito exact)"));
        AddOpenOptions(*cmd, args->open);
        cmd->callback([args, &io, &exitCode] {
            const auto level = DuplicateLevelFromWord(args->level);
            if (!level)
                throw ToolError(kExitUsage,
                                Fmt(Tr("rivo800-tool duplicates: --level '%1' non è exact, ids, "
                                       "name-transponder o name"),
                                    args->level));
            auto page = OpenListPage(ResolveOpenParams(args->open, args->image), io.err);
            io.out << DuplicatesJson(*page, FindDuplicates(*page, *level)).dump(1) << "\n";
            exitCode = kExitOk;
        });
    });

}  // namespace rivo::tool
