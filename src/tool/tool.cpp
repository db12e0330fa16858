// The tool's registry of commands and edit operations, the --lang option, and RunTool, which
// parses the command line and maps every failure to its exit status.
#include "tool/tool.h"

#include <CLI/CLI.hpp>
#include <cstddef>
#include <map>
#include <optional>
#include <ostream>

#include "text/language.h"
#include "text/translate.h"
// RIVO_VERSION, the project's version, comes from the build.
#include "tool/fd_output.h"

namespace rivo::tool {

namespace {
std::vector<CommandSetup>& Commands() {
    static std::vector<CommandSetup> list;
    return list;
}
std::map<std::string, EditOperation>& EditOperations() {
    static std::map<std::string, EditOperation> map;
    return map;
}
// The language asked for by --lang, taken out of the words so that neither the option
// parser nor a command reading its own words (edit) meets it. It may stand anywhere
// before a "--", so that `rivo800-tool edit ... --lang en` works as well as putting it
// first.
struct LanguageRequest {
    bool given = false;
    std::string code;
};

// False, with the message in `problem`, when --lang has no value.
bool TakeLanguageOption(std::vector<std::string>& args, LanguageRequest& request,
                        std::string& problem) {
    static const std::string kOption = "--lang";
    for (std::size_t i = 0; i < args.size();) {
        const std::string& word = args[i];
        if (word == "--") break;
        if (word == kOption) {
            if (i + 1 >= args.size()) {
                problem = Fmt(Tr("%1 richiede un valore"), kOption);
                return false;
            }
            request = {true, args[i + 1]};
            const auto at = args.begin() + static_cast<std::ptrdiff_t>(i);
            args.erase(at, at + 2);
            continue;
        }
        if (word.compare(0, kOption.size() + 1, kOption + "=") == 0) {
            request = {true, word.substr(kOption.size() + 1)};
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
    return true;
}

}  // namespace

bool RegisterCommand(CommandSetup setup) {
    Commands().push_back(std::move(setup));
    return true;
}

bool RegisterEditOperation(const std::string& name, EditOperation operation) {
    EditOperations()[name] = std::move(operation);
    return true;
}

// The names of the registered operations, in alphabetical order (for the test that holds
// `edit --help` and the documents to the operations the program has).
std::vector<std::string> EditOperationNames() {
    std::vector<std::string> names;
    for (const auto& [name, operation] : EditOperations()) names.push_back(name);
    return names;
}

const EditOperation* FindEditOperation(const std::string& name) {
    auto it = EditOperations().find(name);
    return it == EditOperations().end() ? nullptr : &it->second;
}

int RunTool(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err,
            const std::vector<std::string>& catalogueFolders) {
    // The language is settled before the first text is built: the commands' help texts
    // are translated as they are registered below.
    std::vector<std::string> args = givenArgs;
    LanguageRequest request;
    std::string problem;
    if (!TakeLanguageOption(args, request, problem)) {
        err << "rivo800-tool: " << problem << "\n";
        return kExitUsage;
    }
    if (request.given) {
        const std::optional<Language> language = ParseLanguageCode(request.code);
        if (!language) {
            err << "rivo800-tool: " << Fmt(Tr("--lang: '%1' non è né it né en"), request.code)
                << "\n";
            return kExitUsage;
        }
        // The language is the whole program's: one already in use (set by the binary from
        // the environment, or loaded by a test) is kept rather than looked for again.
        std::string problem;
        bool found = false;
        if (*language != CurrentLanguage() &&
            !UseLanguage(*language, catalogueFolders, &problem, &found))
            err << (found ? Fmt(Tr("rivo800-tool: il catalogo inglese è danneggiato (%1); i testi "
                                   "restano in italiano"),
                                problem)
                          : std::string(Tr("rivo800-tool: il catalogo inglese non è stato trovato; "
                                           "i testi restano in "
                                           "italiano")))
                << "\n";
    }

    CLI::App app{Tr("rivo800-tool: esamina, esporta e modifica in blocco le immagini del "
                    "ricevitore Rivo800"),
                 "rivo800-tool"};
    app.require_subcommand(1);
    // Taken out of the words above; declared here only so that the help lists it.
    app.add_option("--lang", request.code,
                   Tr("la lingua dei messaggi e dei testi d'uso, it o en (al posto dell'ambiente)"))
        ->option_text("LANG");
    app.set_version_flag("--version", "rivo800-tool " RIVO_VERSION);
    ToolIo io{out, err};
    int exitCode = kExitOk;
    for (auto& setup : Commands()) setup(app, io, exitCode);

    // Every command's output is flushed and checked before success is claimed: a full
    // disk or a closed standard output otherwise loses the output with exit 0.
    auto finish = [&](int code) {
        out.flush();
        if (out) return code;
        err << "rivo800-tool: "
            << Fmt(Tr("impossibile scrivere sullo standard output: %1"), OutputFailureReason(out))
            << "\n";
        return code == kExitOk ? static_cast<int>(kExitFailure) : code;
    };
    // The first word that is not an option names the command. An unknown one is named
    // here: the option parser would only say that a command is missing.
    for (const std::string& word : args) {
        if (!word.empty() && word[0] == '-') continue;
        const std::vector<CLI::App*> commands =
            app.get_subcommands([&](CLI::App* c) { return c->check_name(word); });
        if (commands.empty()) {
            err << "rivo800-tool: " << Fmt(Tr("comando sconosciuto '%1'"), word) << "\n"
                << app.help();
            return kExitUsage;
        }
        break;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        out << app.help();
        return finish(kExitOk);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return finish(kExitOk);
    } catch (const CLI::ParseError& e) {
        err << "rivo800-tool: " << e.what() << "\n" << app.help();
        return kExitUsage;
    } catch (const ToolError& e) {
        err << e.what() << "\n";
        return finish(e.exitCode);
    } catch (const std::exception& e) {
        err << "rivo800-tool: " << e.what() << "\n";
        return finish(kExitFailure);
    }
    return finish(exitCode);
}

}  // namespace rivo::tool
