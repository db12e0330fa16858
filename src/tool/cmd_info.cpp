// rivo800-tool info IMAGE: the container as loaded, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "channels/cp1252.h"
#include "image/kvx_image.h"
#include "text/translate.h"
#include "tool/tool.h"

namespace rivo::tool {

// Loads an image for the commands that look at the container itself. Any recognised
// image will do, firmware included.
void LoadImageForTool(KvxImage& image, const std::string& path, std::ostream& err) {
    LoadResult r = image.loadFile(path);
    switch (r.status) {
        case LoadResult::Status::Ok:
            if (const std::string warning = LoadWarnings(r); !warning.empty())
                err << Fmt(Tr("Attenzione: %1: %2"), path, warning) << "\n";
            return;
        case LoadResult::Status::Unreadable:
            throw ToolError(kExitFailure, r.message);
        case LoadResult::Status::Unrecognised:
            throw ToolError(kExitUnknownFormat, Tr(kUnknownFormatMessage));
    }
}

// Referred to by the tests, which link the tool's library without keeping every object.
extern const bool kInfoCommandRegistered;
const bool kInfoCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    auto image = std::make_shared<std::string>();
    CLI::App* cmd =
        app.add_subcommand("info", Tr("Stampa come JSON i moduli e gli elementi di un'immagine"));
    cmd->add_option("IMAGE", *image, Tr("il file dell'immagine"))->required();
    cmd->callback([image, &io, &exitCode] {
        KvxImage f;
        LoadImageForTool(f, *image, io.err);
        nlohmann::ordered_json j;
        j["file"] = *image;
        j["type"] = f.imageType();
        j["variant"] = f.variant();
        j["file_size"] = f.fileSize();
        j["ucr_sector"] = f.ucrSector();
        j["num_entries"] = f.totalEntries();
        auto modules = nlohmann::ordered_json::array();
        for (int i = 0; i < f.moduleCount(); ++i) {
            const KvxModule* m = f.module(i);
            nlohmann::ordered_json mj;
            mj["index"] = i;
            mj["name"] = Cp1252ToUtf8(m->name());
            mj["kind"] = m->kind();
            mj["sector"] = m->sector();
            mj["slot"] = m->slot();
            mj["offset"] = m->offset();
            mj["address"] = m->address();
            mj["size"] = m->size();
            mj["declared_entries"] = m->declaredEntries();
            auto entries = nlohmann::ordered_json::array();
            for (int k = 0; k < m->entryCount(); ++k) {
                const KvxEntry* s = m->entry(k);
                nlohmann::ordered_json ej;
                ej["name"] = Cp1252ToUtf8(s->name());
                ej["kind"] = s->kind();
                ej["size"] = s->size();
                ej["offset"] = s->offset();
                ej["file_pos"] = s->filePos();
                entries.push_back(std::move(ej));
            }
            mj["entries"] = std::move(entries);
            modules.push_back(std::move(mj));
        }
        j["modules"] = std::move(modules);
        // File names are bytes; one that is not UTF-8 is shown with U+FFFD in place of
        // each bad sequence rather than failing the whole output.
        io.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        exitCode = kExitOk;
    });
});

}  // namespace rivo::tool
