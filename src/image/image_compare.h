// Comparing an image in memory with the same image read back from disk.
#pragma once

#include <string>

#include "image/kvx_image.h"

namespace rivo {

// The first difference between the modules the writer puts on disk for `expected`
// (those placed in sectors 0 to 7, in table order) and the modules of `written`:
// module count, names, entry counts, entry names and entry bytes. Returns "" when
// they agree, otherwise a message naming the module, the entry and the byte offset.
std::string FirstImageDifference(const KvxImage& expected, const KvxImage& written);

}  // namespace rivo
