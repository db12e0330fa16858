// rivo800-tool extract IMAGE MODULE ENTRY [--raw] [-o|--output FILE]: one entry's content.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>

#include "channels/cp1252.h"
#include "image/kvx_image.h"
#include "text/translate.h"
#include "tool/tool.h"

namespace rivo::tool {

void LoadImageForTool(KvxImage& image, const std::string& path, std::ostream& err);  // cmd_info.cpp

namespace {

bool AllDigits(const std::string& s) {
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An index from 0, or the first item of that name. Digits that are no valid index are
// tried as a name, so a module called "7" can still be named.
template <typename NameAt>
int FindByIndexOrName(const std::string& wanted, int count, NameAt nameAt) {
    if (AllDigits(wanted)) {
        int index = std::stoi(wanted);
        if (index < count) return index;
    }
    std::optional<std::string> bytes = Utf8ToCp1252(wanted);
    if (!bytes) return -1;
    for (int i = 0; i < count; ++i)
        if (nameAt(i) == *bytes) return i;
    return -1;
}

}  // namespace

// Referred to by the tests, which link the tool's library without keeping every object.
extern const bool kExtractCommandRegistered;
const bool kExtractCommandRegistered =
    RegisterCommand([](CLI::App& app, ToolIo& io, int& exitCode) {
        struct Args {
            std::string image, module, entry, output;
            bool raw = false;
        };
        auto args = std::make_shared<Args>();
        CLI::App* cmd = app.add_subcommand(
            "extract", Tr("Scrive il contenuto di una voce (decodificato per le voci compresse)"));
        cmd->add_option("IMAGE", args->image, Tr("il file dell'immagine"))->required();
        cmd->add_option("MODULE", args->module, Tr("indice (da 0) o nome del modulo"))->required();
        cmd->add_option("ENTRY", args->entry, Tr("indice (da 0) o nome della voce"))->required();
        cmd->add_flag("--raw", args->raw, Tr("i byte memorizzati, mai decodificati"));
        cmd->add_option("-o,--output", args->output,
                        Tr("il file da scrivere (lo standard output se non indicato)"))
            ->option_text("FILE");
        cmd->callback([args, &io, &exitCode] {
            KvxImage f;
            LoadImageForTool(f, args->image, io.err);
            int mi = FindByIndexOrName(args->module, f.moduleCount(),
                                       [&](int i) { return f.module(i)->name(); });
            if (mi < 0)
                throw ToolError(kExitFailure, Fmt(Tr("Modulo non trovato: %1"), args->module));
            KvxModule* m = f.module(mi);
            int ei = FindByIndexOrName(args->entry, m->entryCount(),
                                       [&](int i) { return m->entry(i)->name(); });
            if (ei < 0)
                throw ToolError(kExitFailure, Fmt(Tr("Voce non trovata nel modulo %1: %2"),
                                                  Cp1252ToUtf8(m->name()), args->entry));
            KvxEntry* s = m->entry(ei);
            const Bytes& content = args->raw ? s->storedBytes() : s->content();
            if (s->contentTooLarge())
                throw ToolError(kExitFailure,
                                Fmt(Tr("Attenzione: %1: la voce %2 del modulo %3 si decodifica in "
                                       "più di %4 byte, il "
                                       "massimo per una voce; usare --raw per i byte memorizzati."),
                                    args->image, Cp1252ToUtf8(s->name()), Cp1252ToUtf8(m->name()),
                                    kMaxDecodedEntrySize));
            if (args->output.empty()) {
                io.out.write(reinterpret_cast<const char*>(content.data()),
                             static_cast<std::streamsize>(content.size()));
                io.out.flush();
            } else {
                std::string error = WriteFileAtomically(args->output, content);
                if (!error.empty()) throw ToolError(kExitFailure, error);
            }
            exitCode = kExitOk;
        });
    });

}  // namespace rivo::tool
