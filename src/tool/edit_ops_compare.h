// `rivo800-tool edit` operations that take back from an older list what a newer one
// lost: take-removed, take-names, take-favourites.
#pragma once

namespace rivo::tool {

// Set by the registration of these operations; referring to it links them in.
extern const bool kCompareOperationsRegistered;

}  // namespace rivo::tool
