// The catalogues against the sources: every text marked in the sources has a
// translation in each language, and every translation keeps its original's
// placeholders, so no message comes out half Italian or with a value missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PoEntry {
    std::string original;
    std::string originalPlural;
    std::vector<std::string> translations;  // one per plural form
    bool fuzzy = false;
};

// Reads the parts of a .po file these checks need: entries, their plural forms and
// the fuzzy flag; obsolete entries ("#~") are skipped.
std::map<std::string, PoEntry> ReadPo(const std::string& path, std::string* error) {
    std::ifstream in(path);
    std::map<std::string, PoEntry> entries;
    if (!in) {
        *error = "cannot read " + path;
        return entries;
    }
    PoEntry entry;
    std::string* target = nullptr;
    bool haveEntry = false;
    auto finish = [&] {
        if (haveEntry && !entry.original.empty()) entries[entry.original] = entry;
        entry = PoEntry();
        target = nullptr;
        haveEntry = false;
    };
    auto unquote = [&](const std::string& quoted) {
        std::string text;
        const std::size_t first = quoted.find('"');
        const std::size_t last = quoted.rfind('"');
        for (std::size_t i = first + 1; i < last; ++i) {
            if (quoted[i] == '\\' && i + 1 < last) {
                const char escaped = quoted[++i];
                text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                text += quoted[i];
            }
        }
        return text;
    };
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            finish();
        } else if (line.starts_with("#~")) {
            continue;
        } else if (line.starts_with("#,")) {
            if (haveEntry) finish();
            if (line.find("fuzzy") != std::string::npos) entry.fuzzy = true;
        } else if (line.starts_with("#")) {
            continue;
        } else if (line.starts_with("msgid_plural ")) {
            target = &entry.originalPlural;
            *target = unquote(line);
        } else if (line.starts_with("msgid ")) {
            if (haveEntry && target != &entry.original) {
                const bool fuzzy = entry.fuzzy;
                finish();
                entry.fuzzy = fuzzy;
            }
            haveEntry = true;
            target = &entry.original;
            *target = unquote(line);
        } else if (line.starts_with("msgstr")) {
            entry.translations.push_back(unquote(line));
            target = &entry.translations.back();
        } else if (line.starts_with("\"") && target) {
            *target += unquote(line);
        }
    }
    finish();
    return entries;
}

// The placeholders a text carries, sorted: %1..%9, printf's %s/%d/%u and {} / {N}.
std::vector<std::string> Placeholders(const std::string& text) {
    static const std::regex placeholder(R"(%[1-9]|%l?l?[sduzx]|\{[0-9]*\})");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it) {
        found.push_back(it->str());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : " ") + part;
    return "[" + text + "]";
}

TEST(CatalogueCompleteness, EveryMarkedTextHasAnEnglishTranslationWithTheSamePlaceholders) {
    std::string error;
    const auto marked = ReadPo(RIVO_POT_FILE, &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_FALSE(marked.empty()) << "no marked text found in the sources";
    const auto english = ReadPo(std::string(RIVO_SOURCE_DIR) + "/po/en.po", &error);
    ASSERT_TRUE(error.empty()) << error;

    std::ostringstream untranslated, mismatched;
    for (const auto& [original, entry] : marked) {
        const auto it = english.find(original);
        const bool missing = it == english.end() || it->second.fuzzy || it->second.translations.empty() ||
                             std::any_of(it->second.translations.begin(), it->second.translations.end(),
                                         [](const std::string& t) { return t.empty(); });
        if (missing) {
            untranslated << "\n  \"" << original << "\"";
            continue;
        }
        const auto& translations = it->second.translations;
        for (std::size_t form = 0; form < translations.size(); ++form) {
            // The singular form answers to the singular original, every other form to
            // the plural one.
            const std::string& source = form == 0 || entry.originalPlural.empty() ? original : entry.originalPlural;
            if (Placeholders(source) != Placeholders(translations[form])) {
                mismatched << "\n  \"" << source << "\" " << Joined(Placeholders(source)) << " -> \""
                           << translations[form] << "\" " << Joined(Placeholders(translations[form]));
            }
        }
        if (!entry.originalPlural.empty() && translations.size() < 2) {
            mismatched << "\n  \"" << original << "\" has a plural but its translation only one form";
        }
    }
    EXPECT_TRUE(untranslated.str().empty())
        << "texts without an English translation (run the update-catalogue target, then translate them in "
           "po/en.po):"
        << untranslated.str();
    EXPECT_TRUE(mismatched.str().empty()) << "translations whose placeholders differ from the original's:"
                                          << mismatched.str();
}

}  // namespace
