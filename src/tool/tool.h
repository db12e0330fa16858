// rivo800-tool: commands register themselves here, so that each command lives in its
// own file and the tests can run the tool in-process.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace rivo {

class KvxImage;
struct ChannelClipboard;
struct ListPage;
struct OpenParams;

namespace tool {

// Exit statuses of the tool's contract.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitUnknownFormat = 2;
inline constexpr int kExitMainCode = 3;
inline constexpr int kExitFailure = 4;

// Thrown by a command to end with a status and a message on standard error.
struct ToolError : std::runtime_error {
    ToolError(int code, const std::string& message) : std::runtime_error(message), exitCode(code) {}
    int exitCode;
};

struct ToolIo {
    std::ostream& out;
    std::ostream& err;
};

// A command adds its subcommand to app; the callback it installs runs the command and
// returns its exit status (or throws ToolError).
using CommandSetup = std::function<void(CLI::App& app, ToolIo& io, int& exitCode)>;
bool RegisterCommand(CommandSetup setup);

// Runs the tool with args (without the program name). Returns the exit status.
//
// The texts come out in the language in use when it is called (the binary sets it from
// the environment first); an option `--lang it|en`, anywhere before a "--", switches the
// program's one language before any text is built. The English catalogue is looked for
// in catalogueFolders; when it is not found the texts stay Italian and a warning says so.
// The environment is never read here, so the tests decide the language by --lang alone.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const std::vector<std::string>& catalogueFolders = {});

// ---- editing operations of `rivo800-tool edit` ------------------------------------

struct EditContext {
    ListPage& page;
    const OpenParams& params;  // the open parameters the page was opened with
    ToolIo& io;
    // The channel copy buffer of this one edit command: filled by `copy` / `copy-from`,
    // read by `paste`; created by the first copy.
    std::shared_ptr<ChannelClipboard> clipboard = nullptr;
};

// Runs one operation. words[pos] is the operation's name; the function reads its
// arguments from words[pos + 1 ...] and returns how many words it used, name included.
// It throws ToolError(kExitUsage, ...) for bad arguments and ToolError(kExitFailure,
// message) where the editor would refuse with a message.
using EditOperation = std::function<size_t(const std::vector<std::string>& words, size_t pos,
                                           EditContext& context)>;
bool RegisterEditOperation(const std::string& name, EditOperation operation);
// The operation registered under name, or nullptr.
const EditOperation* FindEditOperation(const std::string& name);

}  // namespace tool
}  // namespace rivo
