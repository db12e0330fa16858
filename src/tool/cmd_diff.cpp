// rivo800-tool diff OLD NEW [open parameters]: what changed from one list to another,
// as JSON. Differences are the command's result, not a failure: it ends with 0 whether
// the lists differ or not, as `git diff` does without --exit-code.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "channels/cp1252.h"
#include "text/translate.h"
#include "tool/compare_json.h"
#include "tool/open_options.h"
#include "tool/tool.h"

namespace rivo::tool {

namespace {

using Json = nlohmann::ordered_json;

Json ListNumbers(std::uint8_t lists) {
    Json out = Json::array();
    for (int k = 0; k < fav::Lists; ++k)
        if ((lists >> k) & 1) out.push_back(k + 1);
    return out;
}

Json ChannelJson(const ListPage& oldPage, const ListPage& newPage, const ChannelDifference& d) {
    Json j;
    Json classes = Json::array();
    for (const ChangeClass c : kAllChangeClasses)
        if (d.has(c)) classes.push_back(ChangeClassWord(c));
    j["classes"] = classes;
    j["old_row"] = d.oldRow;
    j["new_row"] = d.newRow;
    // The name the channel has now; a removed one's old name.
    const std::string& name = d.newRow != 0 ? newPage.channelGrid.cell(d.newRow, ch::Name)
                                            : oldPage.channelGrid.cell(d.oldRow, ch::Name);
    j["name"] = Cp1252ToUtf8(name);
    const std::string& sid = d.newRow != 0 ? newPage.channelGrid.cell(d.newRow, ch::Sid)
                                           : oldPage.channelGrid.cell(d.oldRow, ch::Sid);
    j["sid"] = sid;
    j["pass"] = d.pass;
    j["uncertain"] = d.uncertain;
    if (d.has(ChangeClass::Renamed)) {
        j["old_name"] = Cp1252ToUtf8(oldPage.channelGrid.cell(d.oldRow, ch::Name));
        j["case_only"] = d.caseOnlyRename;
    }
    if (d.has(ChangeClass::Retuned)) {
        Json fields = Json::array();
        for (int f = 0; f < kTuningFields; ++f)
            if ((d.fields >> f) & 1) fields.push_back(TuningFieldWord(static_cast<TuningField>(f)));
        j["fields"] = fields;
    }
    if (d.has(ChangeClass::FavouritesChanged)) {
        j["old_lists"] = ListNumbers(d.oldLists);
        j["new_lists"] = ListNumbers(d.newLists);
    }
    return j;
}

}  // namespace

Json ComparisonJson(const ListPage& oldPage, const ListPage& newPage,
                    const ListComparison& comparison) {
    Json j;
    Json counts;
    for (const ChangeClass c : kAllChangeClasses) counts[ChangeClassWord(c)] = comparison.count(c);
    counts["unchanged"] = comparison.unchanged;
    j["counts"] = counts;
    j["passes"] = comparison.passCounts;
    Json channels = Json::array();
    for (const ChannelDifference& d : comparison.channels)
        if (d.classes != 0) channels.push_back(ChannelJson(oldPage, newPage, d));
    j["channels"] = channels;
    return j;
}

void WriteComparisonJson(const ListPage& oldPage, const ListPage& newPage,
                         const ListComparison& comparison, std::ostream& out) {
    const Json json = ComparisonJson(oldPage, newPage, comparison);
    out << "{\"counts\": " << json["counts"].dump() << ",\n";
    out << " \"passes\": " << json["passes"].dump() << ",\n";
    out << " \"channels\": [";
    const Json& channels = json["channels"];
    for (std::size_t i = 0; i < channels.size(); ++i)
        out << (i ? ",\n  " : "\n  ")
            << channels[i].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out << (channels.empty() ? "]}\n" : "\n ]}\n");
}

const bool kDiffCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    struct Args {
        std::string oldImage, newImage;
        OpenOptions open;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "diff", Tr("Confronta due liste dei canali e stampa come JSON che cosa è stato aggiunto, "
                   "tolto, spostato, rinominato o risintonizzato"));
    cmd->add_option("OLD", args->oldImage, Tr("l'immagine con la lista di prima"))->required();
    cmd->add_option("NEW", args->newImage, Tr("l'immagine con la lista di dopo"))->required();
    AddOpenOptions(*cmd, args->open);
    cmd->callback([args, &io, &exitCode] {
        const auto oldPage = OpenListPage(ResolveOpenParams(args->open, args->oldImage), io.err);
        const auto newPage = OpenListPage(ResolveOpenParams(args->open, args->newImage), io.err);
        WriteComparisonJson(*oldPage, *newPage, CompareLists(*oldPage, *newPage), io.out);
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
