// rename-replace, add-to-list and remove-from-list of `rivo800-tool edit`.
#pragma once

namespace rivo::tool {

extern const bool kFilterEditOperationsRegistered;

}  // namespace rivo::tool
