// Renaming channels with find and replace, with a preview before anything changes.
//
// Names are Windows-1252 bytes and the receiver stores at most 16 of them. The find
// and replace texts are typed in UTF-8 and work on the names as Windows-1252
// characters, so "." in an expression is one character of the name. An expression that
// cannot be used (refused by RE2 or longer than kMaxPatternLength) is the preview's error. A new
// name that would be cut to 16 characters, that holds a character Windows-1252 cannot store, or
// that would be empty is shown in the preview, marked, and not applied.
#pragma once

#include <string>
#include <vector>

#include "channels/list_page.h"
#include "text/translate.h"

namespace rivo {

inline constexpr int kMaxNameLength = 16;

struct RenameOptions {
    std::string find;     // UTF-8; must not be empty
    std::string replace;  // UTF-8; with regex, $1 .. $9 and $& name the groups
    bool matchCase = false;
    bool regex = false;  // RE2's syntax (see name_pattern.h)
};

enum class RenameProblem { None, TooLong, NotStorable, Empty };

// One name that the find text matches.
struct RenameEntry {
    int row = 0;
    std::string oldName;   // Windows-1252 bytes, as the grid holds it
    std::string newName;   // UTF-8, for showing: what the name would become
    std::string newBytes;  // Windows-1252 bytes written on apply (problem None only)
    RenameProblem problem = RenameProblem::None;
};

struct RenamePreview {
    std::vector<RenameEntry> entries;  // only the rows whose name changes, in row order
    std::string error;                 // a find text that cannot be used: nothing to apply
    int applicable() const;            // entries without a problem
};

// The mark the preview shows for a problem ("" for none), Italian, in the user's language.
std::string RenameProblemText(RenameProblem problem);

// The preview of renaming rows (ascending, on the page; others ignored).
RenamePreview PreviewRename(const ListPage& page, const std::vector<int>& rows,
                            const RenameOptions& options);

// Writes the entries without a problem; the favourites entries of a renamed channel
// show its new name. Returns how many names changed; a change marks the page modified.
int ApplyRename(ListPage& page, const RenamePreview& preview);

}  // namespace rivo
