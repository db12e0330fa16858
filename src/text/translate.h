// The program's texts in the user's language.
//
// Every text a user reads is written in the sources in Italian, the receiver's own
// language, and marked with one of the functions below; the marks are what the
// catalogue's extraction (xgettext) looks for, so a text that is built from pieces
// must be one marked pattern with numbered placeholders, never glued-together words:
//
//     Fmt(Tr("Impossibile scrivere il file %1: %2"), Quoted(path), reason)
//     Fmt(TrN("%1 canale eliminato", "%1 canali eliminati", n), n)
//
// %1 … %9 may appear in any order in a translation. Texts that are data rather than
// messages (the JSON that the tool prints, CSV column titles, cell contents, settings
// keys) are not marked and never change with the language.
//
// With no catalogue loaded (the tests, or an Italian user) every function returns the
// Italian text it was given.
#pragma once

#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rivo {

// The translation of an Italian text, or the text itself when the catalogue lacks it.
// The pointer stays valid for the life of the program.
const char* Tr(const char* italian);

// The translation of a text that depends on a count: `singular` for one, `plural`
// otherwise in Italian; the catalogue's own plural rule in another language.
const char* TrN(const char* singular, const char* plural, long long count);

// Marks a text for the catalogue without translating it yet: for tables of texts
// built at compile time. Pass the stored pointer through Tr() where it is shown.
constexpr const char* TrNoop(const char* italian) { return italian; }

// One placeholder's value: text as it is, whole numbers in decimal.
class FmtArg {
public:
    FmtArg(const std::string& text) : text_(text) {}
    FmtArg(std::string_view text) : text_(text) {}
    FmtArg(const char* text) : text_(text ? text : "") {}
    template <std::integral T>
        requires(!std::same_as<T, char> && !std::same_as<T, bool>)
    FmtArg(T number) : text_(std::to_string(number)) {}
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Replaces %1 … %9 in `pattern` by the arguments, in one pass: text that an argument
// brings in is never scanned again. A % not followed by the number of a given argument
// stays as it is.
std::string FormatPlaceholders(std::string_view pattern, std::initializer_list<FmtArg> args);

template <typename... Args>
std::string Fmt(std::string_view pattern, const Args&... args) {
    return FormatPlaceholders(pattern, {FmtArg(args)...});
}

}  // namespace rivo
