// Regular expressions typed by users, for find and replace in channel names.
//
// A pattern comes from whoever types it, so it runs on RE2 rather than a backtracking
// engine such as std::regex: RE2 matches in time linear in the name, keeps its memory
// within a fixed budget and never recurses on the pattern, so no pattern can hang the
// editor or overflow the stack (std::regex took minutes on `(a|a)*c` over a long list
// and crashed on a few thousand nested parentheses). RE2 runs in UTF-8 mode, so "."
// is one character and ignoring case folds accented capitals too ("È" finds "è").
// RE2 has no back-references and no look-around: such a pattern is refused with the
// reason, like any other pattern RE2 cannot compile.
#pragma once

#include <memory>
#include <string>

namespace re2 {
class RE2;
}

namespace rivo {

// Longest pattern accepted, in characters: far beyond any name search, short enough
// that compiling one costs nothing noticeable.
inline constexpr int kMaxPatternLength = 1000;

class NamePattern {
public:
    // pattern: UTF-8. ignoreCase folds case by Unicode's rules.
    NamePattern(const std::string& pattern, bool ignoreCase);
    ~NamePattern();
    NamePattern(const NamePattern&) = delete;
    NamePattern& operator=(const NamePattern&) = delete;

    // "" when the pattern can be used; otherwise why not, in the user's language.
    const std::string& error() const { return error_; }

    // Whether the pattern matches somewhere in text (UTF-8). False for an unusable pattern.
    bool search(const std::string& text) const;

    // text with every match, left to right, replaced by replacement, in which $1 .. $9
    // stand for the groups, $& for the whole match and $$ for a dollar sign; any other $
    // is itself. An empty match replaces nothing and the search goes on after the next
    // character. An unusable pattern returns text unchanged.
    std::string replaceAll(const std::string& text, const std::string& replacement) const;

private:
    std::unique_ptr<re2::RE2> expression_;
    std::string error_;
};

}  // namespace rivo
