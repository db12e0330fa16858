// Reads arbitrary bytes as a channel order file: no crash, no sanitizer report; either
// a message naming what is wrong or rows that each start on a line of the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "channels/csv_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const rivo::ReferenceFileResult result = rivo::ReadReferenceFile(bytes);
    if (!result.file) {
        if (result.error.empty()) std::abort();
        return 0;
    }
    if (!result.error.empty() || result.file->rows.size() > size) std::abort();
    for (const auto& row : result.file->rows)
        if (row.line < 1 || static_cast<std::size_t>(row.line) > size + 1) std::abort();
    return 0;
}
