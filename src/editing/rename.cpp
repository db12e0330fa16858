// Find and replace in channel names: the literal and the regular-expression replacement, the
// preview with the names that cannot be taken, and applying it.
#include "editing/rename.h"

#include <algorithm>
#include <memory>

#include "channels/cp1252.h"
#include "editing/channel_rows.h"
#include "editing/name_pattern.h"

namespace rivo {

namespace {

// Case folding of one Windows-1252 character for a literal search: ASCII and the
// accented capitals of Latin-1 take their small letters (× and ß stay).
char Folded(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
    if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<char>(b + 16);
    return c;
}

std::string FoldedText(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(), Folded);
    return folded;
}

// Every occurrence of find in name, left to right, replaced by replacement.
std::string ReplaceLiteral(const std::string& name, const std::string& find,
                           const std::string& replacement, bool matchCase) {
    const std::string haystack = matchCase ? name : FoldedText(name);
    const std::string needle = matchCase ? find : FoldedText(find);
    std::string result;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = haystack.find(needle, from);
        if (at == std::string::npos) break;
        result.append(name, from, at - from);
        result += replacement;
        from = at + needle.size();
    }
    result.append(name, from, std::string::npos);
    return result;
}

}  // namespace

int RenamePreview::applicable() const {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const RenameEntry& e) {
        return e.problem == RenameProblem::None;
    }));
}

std::string RenameProblemText(RenameProblem problem) {
    switch (problem) {
        case RenameProblem::None:
            return "";
        case RenameProblem::TooLong:
            return Fmt(Tr("più di %1 caratteri"), kMaxNameLength);
        case RenameProblem::NotStorable:
            return Tr("caratteri non ammessi");
        case RenameProblem::Empty:
            return Tr("nome vuoto");
    }
    return "";
}

RenamePreview PreviewRename(const ListPage& page, const std::vector<int>& rows,
                            const RenameOptions& options) {
    RenamePreview preview;
    if (options.find.empty()) {
        preview.error = Tr("Scrivere il testo da cercare.");
        return preview;
    }
    // An expression works on the names as text (UTF-8), so "." is one character of the
    // name and a result Windows-1252 cannot hold is found when converting back.
    std::unique_ptr<NamePattern> expression;
    if (options.regex) {
        expression = std::make_unique<NamePattern>(options.find, !options.matchCase);
        if (!expression->error().empty()) {
            preview.error = expression->error();
            return preview;
        }
    }
    // A literal find text Windows-1252 cannot hold matches no name; a replacement it
    // cannot hold gives names that cannot be stored, which the preview marks (and shows
    // as text).
    const auto find = Utf8ToCp1252(options.find);
    if (!find && !expression) return preview;
    const auto replaceBytes = Utf8ToCp1252(options.replace);

    const Grid& grid = page.channelGrid;
    for (const int r : rows) {
        if (r < 1 || r > page.channelCount()) continue;
        const std::string& name = grid.cell(r, ch::Name);
        RenameEntry entry;
        entry.row = r;
        entry.oldName = name;
        std::string replaced;
        if (expression) {
            const std::string text = Cp1252ToUtf8(name);
            if (!expression->search(text)) continue;
            const std::string newText = expression->replaceAll(text, options.replace);
            if (newText == text) continue;
            const auto bytes = Utf8ToCp1252(newText);
            if (bytes) {
                replaced = *bytes;
            } else {
                entry.newName = newText;
                entry.problem = RenameProblem::NotStorable;
            }
        } else {
            const std::string foldedName = options.matchCase ? name : FoldedText(name);
            if (foldedName.find(options.matchCase ? *find : FoldedText(*find)) == std::string::npos)
                continue;
            if (replaceBytes) {
                replaced = ReplaceLiteral(name, *find, *replaceBytes, options.matchCase);
            } else {
                // Split the name around the matches and put the UTF-8 replacement between.
                const std::string marker(1, '\x01');
                const std::string withMarks =
                    ReplaceLiteral(name, *find, marker, options.matchCase);
                std::string shown;
                for (const char c : withMarks)
                    shown += c == '\x01' ? options.replace : Cp1252ToUtf8(std::string(1, c));
                entry.newName = shown;
                entry.problem = RenameProblem::NotStorable;
            }
        }
        if (entry.problem == RenameProblem::None) {
            if (replaced == name) continue;
            entry.newName = Cp1252ToUtf8(replaced);
            entry.newBytes = replaced;
            if (replaced.size() > static_cast<size_t>(kMaxNameLength))
                entry.problem = RenameProblem::TooLong;
            else if (replaced.find_first_not_of(' ') == std::string::npos)
                entry.problem = RenameProblem::Empty;
        }
        if (entry.problem != RenameProblem::None) entry.newBytes.clear();
        preview.entries.push_back(std::move(entry));
    }
    return preview;
}

int ApplyRename(ListPage& page, const RenamePreview& preview) {
    if (!preview.error.empty()) return 0;
    std::vector<int> renamed;
    for (const RenameEntry& entry : preview.entries) {
        if (entry.problem != RenameProblem::None) continue;
        if (entry.row < 1 || entry.row > page.channelCount()) continue;
        if (page.channelGrid.cell(entry.row, ch::Name) != entry.oldName)
            continue;  // the page changed since
        page.channelGrid.setCell(entry.row, ch::Name, entry.newBytes);
        renamed.push_back(entry.row);
    }
    if (renamed.empty()) return 0;
    // The favourites entries show their channel's name.
    UpdateChannelRows(renamed, page, InactiveInLists::Stay);
    page.modified = true;
    return static_cast<int>(renamed.size());
}

}  // namespace rivo
