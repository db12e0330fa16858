// Comparing two channel lists: what a new scan added, removed, moved, renamed or
// retuned, whose favourites changed, and taking back from the older list what the
// newer one lost.
//
// The channels of the two lists are paired by the same four passes that put a list
// into a reference list's order (MatchReference, with the older list as reference),
// so what the comparison calls "the same channel" is what "Applica ordine da
// riferimento" would put in its place.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/reorder.h"
#include "text/translate.h"

namespace rivo {

// The classes a channel can fall in; a matched channel may carry several at once.
enum class ChangeClass { New, Removed, Moved, Renamed, Retuned, FavouritesChanged };
inline constexpr int kChangeClasses = 6;
inline constexpr std::array<ChangeClass, kChangeClasses> kAllChangeClasses = {
    ChangeClass::New,     ChangeClass::Removed, ChangeClass::Moved,
    ChangeClass::Renamed, ChangeClass::Retuned, ChangeClass::FavouritesChanged};

constexpr unsigned ClassBit(ChangeClass c) { return 1u << static_cast<unsigned>(c); }

// The tuning values that can differ between two matched channels.
enum class TuningField { Frequency, Polarisation, SymbolRate, Fec, Tid, Nid, Sid, Transponder };
inline constexpr int kTuningFields = 8;

constexpr unsigned FieldBit(TuningField f) { return 1u << static_cast<unsigned>(f); }

// One channel of either list (or both).
struct ChannelDifference {
    int oldRow = 0;  // row in the older list, 0 when the channel is new
    int newRow = 0;  // row in the newer list, 0 when it was removed
    int pass = 0;    // the matching pass (1..4) that paired the rows; 0 when unpaired
    // Paired by name alone (pass 4): the name may have passed to another channel.
    bool uncertain = false;
    unsigned classes = 0;  // ClassBit()s; 0: unchanged
    // Renamed, and the names differ only in case or in spaces around them.
    bool caseOnlyRename = false;
    unsigned fields = 0;  // FieldBit()s of a retuned channel
    // The favourites lists (bit k for list k + 1) whose entries name the channel.
    std::uint8_t oldLists = 0, newLists = 0;

    bool has(ChangeClass c) const { return (classes & ClassBit(c)) != 0; }
};

struct ListComparison {
    // Paired and new channels in the newer list's row order, then the removed ones in
    // the older list's row order. Empty rows (and rows with neither a name nor a
    // transponder) are left out, as the matching leaves them out.
    std::vector<ChannelDifference> channels;
    std::array<int, kChangeClasses> counts{};  // channels per class
    int unchanged = 0;
    std::array<int, kMatchPasses> passCounts{};

    int count(ChangeClass c) const { return counts[static_cast<size_t>(c)]; }
    // The channels of one class, in the order above.
    std::vector<ChannelDifference> ofClass(ChangeClass c) const;
};

// Compares oldPage (the list before, say, a new scan) with newPage.
//
// Moved: the paired channels ordered by their old rows give a sequence of new rows;
// the channels of its longest increasing run kept their place and the others moved.
// One channel inserted or removed therefore moves nothing else, and a block taken
// elsewhere moves only itself. Where several runs are equally long, the run kept is,
// from its end backwards, the one holding the channels that stand earlier in the newer
// list: of two channels that swapped places, the one now first stays and the other
// is the one that moved.
ListComparison CompareLists(const ListPage& oldPage, const ListPage& newPage);

// The words the tool uses for classes and fields ("new", "removed", "moved",
// "renamed", "retuned", "favourites"; "frequency", "polarisation", "symbol_rate",
// "fec", "tid", "nid", "sid", "transponder").
const char* ChangeClassWord(ChangeClass c);
const char* TuningFieldWord(TuningField f);
// The caption of a class's tab in the compare window: "Nuovi", "Rimossi", ...
const char* ChangeClassCaption(ChangeClass c);
// The changed fields of a difference for people: "frequenza, SID".
std::string TuningFieldsText(unsigned fields);

// ---- taking back ------------------------------------------------------------------

// Italian originals, marked for the catalogue.
inline constexpr const char* kTakeRemovedStep = TrNoop("Riprendi i rimossi");
inline constexpr const char* kTakeNamesStep = TrNoop("Riprendi i nomi");
inline constexpr const char* kTakeFavouritesStep = TrNoop("Riprendi i preferiti");

// The first row after the last channel of the page that is not an empty row (no name
// and no transponder in use); 1 for an empty list, N + 1 for a full one. The channels
// taken back go there.
int FirstRowAfterChannels(const ListPage& page);

// Pastes the removed channels among chosen (their rows of oldPage) at the end of
// newPage, as the paste between images does: transponders newPage already holds are
// reused, the others take free rows, and the channels keep their favourites lists
// where the lists have room. Refusals (no room for the channels at the end of the
// list, too many transponders, a symbol rate newPage lacks) are told through prompts
// and change nothing. Returns the first row pasted as focusRow.
EditResult TakeRemoved(ListPage& newPage, const ListPage& oldPage, const std::vector<ChannelDifference>& chosen,
                       UserPrompts& prompts, Progress& progress);

// The renamed channels among chosen take their old names (their favourites entries
// show the new name).
EditResult TakeNames(ListPage& newPage, const ListPage& oldPage, const std::vector<ChannelDifference>& chosen);

// The paired channels among chosen join exactly the favourites lists that named them
// in oldPage (a list without a free slot is left out, as in the channel dialog).
EditResult TakeFavourites(ListPage& newPage, const std::vector<ChannelDifference>& chosen);

}  // namespace rivo
