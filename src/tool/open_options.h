// The open-parameter options shared by dump, save, export and edit, and opening an image
// as a channel list the way the editor does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/open_params.h"

namespace CLI {
class App;
}

namespace rivo::tool {

struct OpenOptions {
    std::string lnbLow = "9750";
    std::string lnbHigh = "10600";
    std::string satA = "HotBird";  // UTF-8 as typed
    std::string satB = "Astra";
    std::string srIni = "Sr.Ini";
    std::string srSet;
    bool srSetGiven = false;
    std::string symbolRates;
    bool symbolRatesGiven = false;
};

// Adds --lnb-low, --lnb-high, --sat-a, --sat-b, --sr-ini, --sr-set, --symbol-rates.
void AddOpenOptions(CLI::App& command, OpenOptions& options);

// Reads one open-parameter option at words[pos] ("--name VALUE" or "--name=VALUE") for
// commands that parse their own words. Returns the words used, 0 when words[pos] is not
// one of them; a missing value is a usage error.
std::size_t TakeOpenOption(const std::vector<std::string>& words, std::size_t pos, OpenOptions& options);

// The open parameters for file. Throws ToolError(kExitUsage) for a non-numeric LNB value,
// an unknown set, a rate list that is not sixteen numbers, or unusable satellite names.
// Satellite names are held as Windows-1252 bytes, like every name in a page.
OpenParams ResolveOpenParams(const OpenOptions& options, const std::string& file);

// Opens params.fileName and builds its page. Throws ToolError: kExitUnknownFormat,
// kExitMainCode, or kExitFailure naming the file and the reason it could not be read.
// A file that is not an image's size is opened all the same, with its warning on err.
std::unique_ptr<ListPage> OpenListPage(const OpenParams& params, std::ostream& err);

// Saves the page to out as the editor's save command does; throws ToolError(kExitFailure)
// with the reason when it fails. A warning of the save goes to err.
void SaveListPage(ListPage& page, const std::string& out, std::ostream& err);

}  // namespace rivo::tool
