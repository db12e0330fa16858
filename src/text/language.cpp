// Choosing the language from the environment or a code, finding its catalogue, and keeping
// the catalogue in use.
#include "text/language.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>

#include "text/catalogue.h"
#include "text/current_catalogue.h"
#include "text/translate.h"

namespace rivo {

namespace {

// Catalogues are loaded at start-up; the texts Tr() has handed out point into them, so
// a catalogue once loaded stays for the life of the program.
struct LoadedCatalogues {
    std::mutex lock;
    std::deque<Catalogue> kept;
    const Catalogue* current = nullptr;
    Language language = Language::Italian;
};

LoadedCatalogues& Loaded() {
    static LoadedCatalogues loaded;
    return loaded;
}

// The language part of a locale name: "en" of "en_GB.UTF-8@euro".
std::string_view LanguagePart(std::string_view locale) {
    const std::size_t end = locale.find_first_of("_.@");
    return locale.substr(0, end);
}

bool IsCLocale(std::string_view locale) {
    return locale == "C" || locale == "POSIX" || locale.starts_with("C.") ||
           locale.starts_with("POSIX.");
}

}  // namespace

const Catalogue* CurrentCatalogue() { return Loaded().current; }

std::optional<Language> ParseLanguageCode(std::string_view code) {
    if (code == "it") return Language::Italian;
    if (code == "en") return Language::English;
    return std::nullopt;
}

const char* LanguageCode(Language language) { return language == Language::English ? "en" : "it"; }

Language LanguageFromEnvironment(EnvironmentLookup lookup) {
    auto value = [&](const char* name) -> std::string_view {
        const char* text = lookup(name);
        return text ? std::string_view(text) : std::string_view();
    };
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = value(name);
        if (!locale.empty()) break;
    }
    // As in gettext, LANGUAGE is a list of preferences that counts only when the
    // locale itself is not C: a script run with LC_ALL=C stays Italian.
    if (locale.empty() || IsCLocale(locale)) return Language::Italian;
    std::string_view preferences = value("LANGUAGE");
    while (!preferences.empty()) {
        const std::size_t colon = preferences.find(':');
        const std::string_view entry = preferences.substr(0, colon);
        if (const auto language = ParseLanguageCode(LanguagePart(entry))) return *language;
        if (colon == std::string_view::npos) break;
        preferences.remove_prefix(colon + 1);
    }
    return LanguagePart(locale) == "it" ? Language::Italian : Language::English;
}

Language LanguageFromEnvironment() {
    return LanguageFromEnvironment(
        [](const char* name) -> const char* { return std::getenv(name); });
}

std::vector<std::string> CatalogueFolders(const std::string& executablePath) {
    std::vector<std::string> folders;
    if (const char* fromEnvironment = std::getenv("RIVO800_LOCALEDIR");
        fromEnvironment && *fromEnvironment) {
        folders.emplace_back(fromEnvironment);
    }
    std::error_code error;
    std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    if (error) program = std::filesystem::absolute(executablePath, error);
    if (!error && !program.empty()) {
        const std::filesystem::path bin = program.parent_path();
        folders.push_back((bin.parent_path() / "share" / "locale").string());
        folders.push_back((bin / "locale").string());
    }
    return folders;
}

bool UseCatalogueFile(Language language, const std::string& path, std::string* error) {
    auto catalogue = Catalogue::FromFile(path, error);
    if (!catalogue) return false;
    LoadedCatalogues& loaded = Loaded();
    std::lock_guard guard(loaded.lock);
    loaded.kept.push_back(std::move(*catalogue));
    loaded.current = &loaded.kept.back();
    loaded.language = language;
    return true;
}

bool UseLanguage(Language language, const std::vector<std::string>& folders, std::string* error,
                 bool* found) {
    if (found) *found = false;
    if (language == Language::Italian) {
        LoadedCatalogues& loaded = Loaded();
        std::lock_guard guard(loaded.lock);
        loaded.current = nullptr;
        loaded.language = Language::Italian;
        return true;
    }
    std::string reasons;
    for (const std::string& folder : folders) {
        const std::filesystem::path path =
            std::filesystem::path(folder) / LanguageCode(language) / "LC_MESSAGES" / "rivo800.mo";
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored)) continue;
        std::string why;
        if (found) *found = true;
        if (UseCatalogueFile(language, path.string(), &why)) return true;
        reasons += (reasons.empty() ? "" : "; ") + path.string() + ": " + why;
    }
    if (error)
        *error = reasons.empty() ? Fmt(Tr("nessun catalogo per \"%1\""), LanguageCode(language))
                                 : reasons;
    return false;
}

Language CurrentLanguage() {
    LoadedCatalogues& loaded = Loaded();
    std::lock_guard guard(loaded.lock);
    return loaded.current ? loaded.language : Language::Italian;
}

}  // namespace rivo
