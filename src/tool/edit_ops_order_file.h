// The `rivo800-tool edit` operation apply-order, reached through the registry of edit
// operations by name.
#pragma once

namespace rivo::tool {

// Set by the registration of the operation; referring to it links it in.
extern const bool kOrderFileOperationsRegistered;

}  // namespace rivo::tool
