// rivo800-tool info IMAGE: the container as loaded, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "channels/cp1252.h"
#include "image/kvx_file.h"
#include "tool/tool.h"

namespace rivo::tool {

// Loads an image for the commands that look at the container itself. Any recognised
// image will do, firmware included.
void LoadImageForTool(TKVXFile& image, const std::string& path, std::ostream& err) {
    LoadResult r = image.LoadFile(path);
    switch (r.status) {
        case LoadResult::Status::Ok:
            if (!r.sizeWarning.empty()) err << "Attenzione: " << path << ": " << r.sizeWarning << "\n";
            return;
        case LoadResult::Status::Unreadable:
            throw ToolError(kExitFailure, r.message);
        case LoadResult::Status::Unrecognised:
            throw ToolError(kExitUnknownFormat, kUnknownFormatMessage);
    }
}

// Referred to by the tests, which link the tool's library without keeping every object.
extern const bool kInfoCommandRegistered;
const bool kInfoCommandRegistered = RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
    auto image = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("info", "Print the modules and entries of an image, as JSON");
    cmd->add_option("IMAGE", *image, "the image file")->required();
    cmd->callback([image, &io, &exitCode] {
        TKVXFile f;
        LoadImageForTool(f, *image, io.err);
        nlohmann::ordered_json j;
        j["file"] = *image;
        j["type"] = f.GetType();
        j["variant"] = f.Variant();
        j["file_size"] = f.FileSize();
        j["ucr_sector"] = f.UcrSector();
        j["num_entries"] = f.TotalScripts();
        auto modules = nlohmann::ordered_json::array();
        for (int i = 0; i < f.GetNumModule(); ++i) {
            const TKVXModule* m = f.GetModule(i);
            nlohmann::ordered_json mj;
            mj["index"] = i;
            mj["name"] = Cp1252ToUtf8(m->Name());
            mj["kind"] = m->Kind();
            mj["sector"] = m->Sector();
            mj["slot"] = m->Slot();
            mj["offset"] = m->Offset();
            mj["address"] = m->Address();
            mj["size"] = m->Size();
            mj["declared_entries"] = m->DeclaredScripts();
            auto entries = nlohmann::ordered_json::array();
            for (int k = 0; k < m->GetNumScript(); ++k) {
                const TKVXScript* s = m->GetScript(k);
                nlohmann::ordered_json ej;
                ej["name"] = Cp1252ToUtf8(s->Name());
                ej["kind"] = s->Kind();
                ej["size"] = s->Size();
                ej["offset"] = s->Offset();
                ej["file_pos"] = s->FilePos();
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
