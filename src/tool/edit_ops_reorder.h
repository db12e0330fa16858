// `rivo800-tool edit` operations that reorder the channel list: sort and
// apply-reference. Each reads its arguments from words[pos + 1 ...] and returns how many
// words it used, its name included.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tool/tool.h"

namespace rivo::tool {

// Set by the registration of these operations; referring to it links them in.
extern const bool kReorderOperationsRegistered;

std::size_t SortOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t ApplyReferenceOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);

}  // namespace rivo::tool
