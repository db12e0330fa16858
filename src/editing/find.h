// Finding a channel by name.
#pragma once

#include <string>

#include "channels/list_page.h"

namespace rivo {

// The next channel row after `from` (or before it, going backwards) whose name contains
// `text`, wrapping around the table; `from` itself is looked at last. Names and text
// are Windows-1252 bytes and are compared by their collation keys, as sorting compares
// them: accents, case and surrounding spaces do not count. Returns 0 when no row
// matches or the text has an empty key.
int FindChannel(const ListPage& page, const std::string& text, int from, bool forward = true);

}  // namespace rivo
