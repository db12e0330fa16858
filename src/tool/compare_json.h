// The comparison of two lists as the tool prints it (`rivo800-tool diff`).
#pragma once

#include <iosfwd>

#include <nlohmann/json.hpp>

#include "channels/list_page.h"
#include "editing/compare.h"

namespace rivo::tool {

// {"counts", "passes", "channels"}: the counts per class (and of unchanged channels),
// the channels each matching pass paired, and one object per channel that changed in
// any way, in the comparison's order.
nlohmann::ordered_json ComparisonJson(const ListPage& oldPage, const ListPage& newPage,
                                      const ListComparison& comparison);
// The diff text: valid JSON with one channel per line.
void WriteComparisonJson(const ListPage& oldPage, const ListPage& newPage, const ListComparison& comparison,
                         std::ostream& out);

// Set by the registration of `diff`; referring to it links the command in.
extern const bool kDiffCommandRegistered;

}  // namespace rivo::tool
