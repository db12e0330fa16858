// `rivo800-tool edit` operations for the channel commands: delete, insert, move,
// fav-up and fav-down. Each reads its arguments from words[pos + 1 ...] and returns how
// many words it used, its name included.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tool/tool.h"

namespace rivo::tool {

// Set by the registration of these operations; a program that links the tool's library
// without keeping every object file refers to it so that the operations are linked in.
extern const bool kChannelEditOperationsRegistered;

std::size_t DeleteChannelsOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t InsertChannelOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t MoveChannelsOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t FavouriteUpOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);
std::size_t FavouriteDownOperation(const std::vector<std::string>& words, std::size_t pos, EditContext& context);

}  // namespace rivo::tool
