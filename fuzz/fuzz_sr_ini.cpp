// Parses arbitrary text as a symbol-rate ini file: no crash, no sanitizer report, and
// every set it yields is well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "channels/open_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto sets = rivo::ParseSymbolRateSets(text);
    // Every set comes from a section header, and each header takes at least "[]".
    if (sets.size() > size / 2) std::abort();
    for (const auto& set : sets) {
        const auto rates = rivo::RatesForOpen(set);
        for (std::size_t i = 0; i < rates.size(); ++i) {
            // An empty cell opens as 0; every other value is kept as read.
            if (rates[i] != (set.rates[i] == -1 ? 0 : set.rates[i])) std::abort();
        }
    }
    return 0;
}
