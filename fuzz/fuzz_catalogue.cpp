// A message catalogue from arbitrary bytes: read it, look texts up and pick plural
// forms, never reading outside the bytes or looping on a hostile plural rule.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "text/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto catalogue = rivo::Catalogue::FromBytes(std::span(data, size), &error);
    if (!catalogue) return 0;
    for (long long count : {0LL, 1LL, 2LL, 5LL, 22LL, 111LL, -1LL, 1LL << 40}) {
        const int index = catalogue->pluralIndex(count);
        if (index < 0 || index >= catalogue->pluralFormCount()) __builtin_trap();
        catalogue->findPlural("%1 canale", count);
    }
    catalogue->find("Annulla");
    return 0;
}
