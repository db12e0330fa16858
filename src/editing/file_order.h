// Putting the list into the order of a file: a channel table exported by us and
// rearranged in a spreadsheet, or a plain reference list (channels/csv_import.h reads
// both).
//
// The file's rows are matched to the page's channels as a reference list's are
// (editing/reorder.h), over the columns the file has, after one pass of its own: a row
// whose number, SID and name still agree with the page's row of that number is that
// channel (the page has not changed since the export). Ok then does what
// ApplyReference does, with the file's names and favourites instead of a reference
// page's, and the channels the file does not name either follow at the end or go.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "channels/csv_import.h"
#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/reorder.h"
#include "editing/reorder_dialog_logic.h"
#include "text/translate.h"

namespace rivo {

inline constexpr const char* kFileOrderCaption = TrNoop("Importa ordine da file...");
inline constexpr const char* kFileOrderStep = TrNoop("Importa ordine da file");
inline constexpr const char* kNoFavouritesInFile =
    TrNoop("Il file non ha le colonne dei preferiti (\"Preferenza\" o list1 ... list8).");
inline constexpr const char* kNoFavouritesInPage = TrNoop("Questa lista non ha i preferiti.");
// "elimina" with a file that names no channel of the list would delete every channel:
// a file of another list, or one with only its header. Refused.
inline constexpr const char* kNothingMatchedToKeep = TrNoop(
    "Nessun canale della lista è nel file: con \"elimina\" verrebbero eliminati tutti. Ordine non "
    "importato.");

// The longest channel name a record holds, in bytes.
inline constexpr std::size_t kChannelNameBytes = 16;

// The passes in the order they run: the exact pass, then the four of ReferenceMatch.
inline constexpr int kFileMatchPasses = 1 + kMatchPasses;

struct FileOrderMatch {
    // The pairs: referenceOf maps a page row to its file row (index into file.rows plus
    // one), currentOf a file row to its page row; order, the unmatched lists and the
    // counts of the four reference passes as MatchReference gives them.
    ReferenceMatch match;
    int exactCount = 0;                        // rows the exact pass matched
    std::array<bool, kFileMatchPasses> ran{};  // the passes the file's columns allow

    int matched() const { return exactCount + match.matched(); }
    int passCount(int pass) const {
        return pass == 0 ? exactCount : match.passCounts[static_cast<size_t>(pass - 1)];
    }
};

FileOrderMatch MatchFileOrder(const ListPage& page, const ReferenceFile& file);

// Whether "elimina" may run: the file matches at least one channel.
bool DeleteUnmatchedAllowed(const FileOrderMatch& match);

struct FileOrderOptions {
    bool takeNames = false;        // "prendi anche i nomi"
    bool takeFavourites = false;   // "prendi anche i preferiti"
    bool deleteUnmatched = false;  // "elimina"; otherwise "in coda"
};

// A name of the file that Ok would not take, and why.
struct SkippedName {
    int line = 0;
    std::string name;    // UTF-8, as in the file
    std::string reason;  // "più di 16 caratteri" or "caratteri non ammessi"
};
// The names of matched rows that cannot be taken: longer than a record holds once in
// Windows-1252, holding a character Windows-1252 lacks, or of spaces only (as a rename
// refuses it). Empty names are never taken and not listed.
std::vector<SkippedName> NamesNotTaken(const ReferenceFile& file, const FileOrderMatch& match);

// Whether favourites can be taken (the page keeps lists and the file has the columns);
// the message saying why not otherwise.
std::string FileFavouritesRefusal(const ListPage& page, const ReferenceFile& file);

// Ok: puts the page into the matched order, takes the names and favourites asked for,
// and deletes the unmatched channels when asked (their rows then end empty). The page
// is marked modified; focusRow is the first unmatched row (0 when every channel was
// matched or the unmatched ones were deleted). No change when favourites are asked for
// but cannot be taken, when the unmatched channels are to be deleted and the file
// matches none (DeleteUnmatchedAllowed), or match is not for this page and file.
EditResult ApplyFileOrder(ListPage& page, const ReferenceFile& file, const FileOrderMatch& match,
                          const FileOrderOptions& options, Progress& progress);

// What the preview shows.
struct FileRowPreview {
    int line = 0;
    std::string name;  // UTF-8
    std::string sid;
    std::string frequency;
};
struct FileOrderPreview {
    std::vector<std::string> passLines;  // one per pass, with its count
    std::string summary;                 // matched and unmatched counts
    std::string orderSource;             // whether the number column or the rows give the order
    std::vector<FileRowPreview> unmatchedFile;  // rows matched to no channel
    std::vector<PreviewRow> unmatchedCurrent;   // channels matched to no row
    std::vector<SkippedName> skippedNames;      // names "prendi anche i nomi" leaves
    bool canTakeFavourites = false;
    bool canDeleteUnmatched = false;  // "elimina" is offered (DeleteUnmatchedAllowed)
};
FileOrderPreview MakeFileOrderPreview(const ListPage& page, const ReferenceFile& file,
                                      const FileOrderMatch& match);

// The status text after applying.
std::string FileOrderStatusText(const FileOrderMatch& match, bool deleted);

}  // namespace rivo
