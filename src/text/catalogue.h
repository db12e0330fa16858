// A gettext message catalogue (.mo), read with the standard library only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rivo {

class PluralRule;

class Catalogue {
public:
    // Reads a compiled catalogue; every offset and length is checked against the
    // bytes, so a damaged file is an error, never a read out of bounds.
    static std::optional<Catalogue> FromBytes(std::span<const std::uint8_t> bytes, std::string* error);
    static std::optional<Catalogue> FromFile(const std::string& path, std::string* error);

    Catalogue(Catalogue&&) noexcept;
    Catalogue& operator=(Catalogue&&) noexcept;
    ~Catalogue();

    // The translation of `original`, or null when the catalogue has none (an empty
    // translation counts as none, as in gettext).
    const char* find(std::string_view original) const;
    // The form for `count` of a text with a plural, or null.
    const char* findPlural(std::string_view singular, long long count) const;
    // How many forms the catalogue's plural rule chooses between, and which it picks.
    int pluralFormCount() const { return pluralForms_; }
    int pluralIndex(long long count) const;

private:
    Catalogue();
    struct Entry {
        std::vector<std::string> forms;
    };
    std::unordered_map<std::string, Entry> entries_;
    int pluralForms_ = 2;
    std::unique_ptr<PluralRule> rule_;
};

}  // namespace rivo
