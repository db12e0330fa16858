// Tr and TrN: a text looked up in the catalogue in use, and the numbered placeholders put
// into it.
#include "text/translate.h"

#include "text/catalogue.h"
#include "text/current_catalogue.h"

namespace rivo {

const char* Tr(const char* italian) {
    if (const Catalogue* catalogue = CurrentCatalogue()) {
        if (const char* translated = catalogue->find(italian)) return translated;
    }
    return italian;
}

const char* TrN(const char* singular, const char* plural, long long count) {
    if (const Catalogue* catalogue = CurrentCatalogue()) {
        if (const char* translated = catalogue->findPlural(singular, count)) return translated;
    }
    // Italian, like English, has one form for exactly one and another for the rest.
    return count == 1 ? singular : plural;
}

std::string FormatPlaceholders(std::string_view pattern, std::initializer_list<FmtArg> args) {
    std::string result;
    result.reserve(pattern.size() + 16 * args.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < args.size()) {
                result += (args.begin() + index)->text();
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

}  // namespace rivo
