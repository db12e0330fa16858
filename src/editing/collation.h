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

// The order of names when sorting by name: collation keys compared with every run of
// digits taken as its number, so "Canale 2" comes before "Canale 10"; between keys equal
// so ("7" and "07"), bytewise. Only sorting uses it: matching and finding compare keys
// as they are.
bool NaturalKeyLess(const std::string& a, const std::string& b);

}  // namespace rivo
