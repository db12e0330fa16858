// `set-channel FIRST LAST FIELD=VALUE...` of `rivo800-tool edit` (registered under that
// name); declared here so that callers can reach it without the registry.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tool/tool.h"

namespace rivo::tool {

// words[pos] is "set-channel". Returns the number of words used, name included.
std::size_t SetChannelOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);

}  // namespace rivo::tool
