// Writes gettext catalogues (.mo) for the tests, independently of the reader: the
// layout as gettext documents it, little- or big-endian.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rivo::test {

struct MoEntry {
    std::string original;     // "singular\0plural" for a text with a plural
    std::string translation;  // forms separated by NUL
};

inline std::vector<std::uint8_t> BuildMo(std::vector<MoEntry> entries, bool bigEndian = false) {
    // gettext keeps the originals sorted; the reader must not depend on it, but real
    // catalogues are this way.
    std::sort(entries.begin(), entries.end(),
              [](const MoEntry& a, const MoEntry& b) { return a.original < b.original; });
    std::vector<std::uint8_t> bytes;
    auto word = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    const auto count = static_cast<std::uint32_t>(entries.size());
    const std::uint32_t originalsAt = 28;
    const std::uint32_t translationsAt = originalsAt + 8 * count;
    std::uint32_t textAt = translationsAt + 8 * count;
    word(0x950412deU);
    word(0);
    word(count);
    word(originalsAt);
    word(translationsAt);
    word(0);
    word(textAt);
    std::string texts;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> originals, translations;
    for (const MoEntry& entry : entries) {
        originals.emplace_back(static_cast<std::uint32_t>(entry.original.size()), textAt + static_cast<std::uint32_t>(texts.size()));
        texts += entry.original;
        texts += '\0';
    }
    for (const MoEntry& entry : entries) {
        translations.emplace_back(static_cast<std::uint32_t>(entry.translation.size()), textAt + static_cast<std::uint32_t>(texts.size()));
        texts += entry.translation;
        texts += '\0';
    }
    for (const auto& [length, offset] : originals) {
        word(length);
        word(offset);
    }
    for (const auto& [length, offset] : translations) {
        word(length);
        word(offset);
    }
    bytes.insert(bytes.end(), texts.begin(), texts.end());
    return bytes;
}

inline std::string Header(const std::string& pluralForms) {
    return "Content-Type: text/plain; charset=UTF-8\nPlural-Forms: " + pluralForms + "\n";
}

}  // namespace rivo::test
