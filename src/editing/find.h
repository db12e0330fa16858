// Finding a channel by name.
#pragma once

#include <string>

#include "channels/list_page.h"

namespace rivo {

// The next channel row after `from` (or before it, going backwards) whose name contains
// `text`, ignoring case, wrapping around the table; `from` itself is looked at last.
// Names and text are Windows-1252 bytes. Returns 0 when no row matches or text is empty.
int FindChannel(const ListPage& page, const std::string& text, int from, bool forward = true);

// Windows-1252 byte folded to lower case (letters of the Latin alphabets only).
unsigned char FoldCase1252(unsigned char byte);

}  // namespace rivo
