// `rivo800-tool edit` operations that reorder the channel list: sort and
// apply-reference, reached through the registry of edit operations by name.
#pragma once

namespace rivo::tool {

// Set by the registration of these operations; referring to it links them in.
extern const bool kReorderOperationsRegistered;

}  // namespace rivo::tool
