// `rivo800-tool edit` operations for copy and paste of channels and for the transponder
// table: copy, copy-from, paste, delete-transponder, optimise-transponders,
// swap-satellites, set-transponder. Each reads its arguments from words[pos + 1 ...] and
// returns how many words it used, its name included.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "channels/open_params.h"
#include "tool/edit_args.h"
#include "tool/tool.h"

namespace rivo::tool {

// The open parameters of another image, from the options "--src-lnb-low",
// "--src-lnb-high", "--src-sat-a", "--src-sat-b", "--src-symbol-rates" starting at
// argument `at` of args (each "--src-name VALUE" or "--src-name=VALUE"), over params.
// Returns the words used; a bad value, an unknown --src- option or equal satellite names
// are usage errors of the operation.
std::size_t TakeSourceOptions(const EditArgs& args, std::size_t at, OpenParams& params);

// The operations themselves, as registered (reached by name through the registry too).
std::size_t CopyOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t CopyFromOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t PasteOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t DeleteTransponderOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t OptimiseTranspondersOperation(const std::vector<std::string>& words, std::size_t pos,
                                          EditContext& context);
std::size_t SwapSatellitesOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t SetTransponderOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);

}  // namespace rivo::tool
