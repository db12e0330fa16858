// `rivo800-tool edit` operations for the channel commands: delete, insert, move,
// fav-up and fav-down, reached through the registry of edit operations by name.
#pragma once

namespace rivo::tool {

// Set by the registration of these operations; a program that links the tool's library
// without keeping every object file refers to it so that the operations are linked in.
extern const bool kChannelEditOperationsRegistered;

}  // namespace rivo::tool
