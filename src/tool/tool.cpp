#include "tool/tool.h"

#include <CLI/CLI.hpp>
#include <map>
#include <ostream>

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
}  // namespace

bool RegisterCommand(CommandSetup setup) {
    Commands().push_back(std::move(setup));
    return true;
}

bool RegisterEditOperation(const std::string& name, EditOperation operation) {
    EditOperations()[name] = std::move(operation);
    return true;
}

const EditOperation* FindEditOperation(const std::string& name) {
    auto it = EditOperations().find(name);
    return it == EditOperations().end() ? nullptr : &it->second;
}

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"rivo800-tool: inspect, export and batch-edit Rivo800 receiver images",
                 "rivo800-tool"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "rivo800-tool " RIVO_VERSION);
    ToolIo io{out, err};
    int exitCode = kExitOk;
    for (auto& setup : Commands()) setup(app, io, exitCode);

    // Every command's output is flushed and checked before success is claimed: a full
    // disk or a closed standard output otherwise loses the output with exit 0.
    auto finish = [&](int code) {
        out.flush();
        if (out) return code;
        err << "rivo800-tool: impossibile scrivere sullo standard output: " << OutputFailureReason(out) << "\n";
        return code == kExitOk ? static_cast<int>(kExitFailure) : code;
    };
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
