// The duplicates command of rivo800-tool and the `edit` operations that remove copies
// of a channel (dedupe LEVEL) and the repeated entries of the favourites lists.
#pragma once

#include <nlohmann/json.hpp>

#include "channels/list_page.h"
#include "editing/duplicates.h"

namespace rivo::tool {

// {"level", "groups": [{"rows", "kept", "reason", "name"}], "channels_to_remove",
//  "repeated_favourites": [{"list" (1..8), "channel", "count"}]}.
nlohmann::ordered_json DuplicatesJson(const ListPage& page, const DuplicateFinding& finding);

// Set by the registrations; referring to them links the command and operations in.
extern const bool kDuplicatesCommandRegistered;
extern const bool kDuplicateOperationsRegistered;

}  // namespace rivo::tool
