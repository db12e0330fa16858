// The order in which names sort and the key under which two names count as the same.
//
// Names are Windows-1252 bytes. Their key is the name as text with the surrounding
// spaces removed, decomposed, stripped of its accents and case folded, so "Èlite",
// "ELITE" and " elite " share one key. Keys are UTF-8 and compare bytewise, which is
// code-point order.
#pragma once

#include <string>

namespace rivo {

// The collation key of a name given as Windows-1252 bytes; "" for a name that is empty
// or only spaces.
std::string CollationKey(const std::string& name);

}  // namespace rivo
