// Reordering the channel list: sorting a block of rows by a key, and putting the list
// back into the order of a reference list (typically the list as it was before a new
// channel scan).
//
// Channels keep their contents and only change rows; the number of rows never changes.
// A favourites entry naming a channel whose "Preferenza" is not 0 follows it to its new
// row, as when a block of channels is moved; an entry naming a channel whose
// "Preferenza" is 0 is left under its number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "editing/channel_edit.h"
#include "text/translate.h"

namespace rivo {

// ---- moving rows by a permutation ---------------------------------------------------

// order holds the rows first .. first + order.size() - 1 in their new order: the channel
// in row order[i] goes to row first + i. The favourites entries follow as said above,
// "Num." is rewritten. order must be a permutation of that block.
void ReorderChannels(ListPage& page, int first, const std::vector<int>& order);

// ---- sorting ----------------------------------------------------------------------

enum class SortKey { Name, Sid, Frequency };

// "name", "sid", "frequency" (the words of the tool); nullopt for any other word.
std::optional<SortKey> SortKeyFromWord(const std::string& word);

// Sorts rows first .. last by key, stable (ties keep their order):
//  - Name: by the name's collation key; empty names last;
//  - Sid: by SID, numerically;
//  - Frequency: by the frequency of the channel's transponder, then polarisation, then
//    SID; channels without a transponder last.
// Marks the page modified, also when the order was already right. focusRow is first.
// A block outside the table changes nothing.
EditResult SortChannels(ListPage& page, int first, int last, SortKey key);

// ---- matching against a reference list ----------------------------------------------

// What a channel is recognised by when two lists are matched.
struct ChannelIdentity {
    std::string name;              // collation key of the name
    std::int64_t sid = -1;
    bool hasTransponder = false;   // "Trasponder" names a row 1..T (not 255) in use
    std::int64_t tid = -1, nid = -1;
    std::int64_t hertz = 0;        // the transponder's frequency
    std::string polarisation;
    bool emptyRow = false;         // empty name and "Trasponder" 255: never matched
};

// The identity of every channel row of page, index 0 for row 1.
std::vector<ChannelIdentity> ChannelIdentities(const ListPage& page);

// The passes of the matching, in the order they run.
inline constexpr int kMatchPasses = 4;
// Frequencies at most this far apart count as the same transponder's.
inline constexpr std::int64_t kMatchToleranceHertz = 3'000'000;

struct ReferenceMatch {
    std::array<int, kMatchPasses> passCounts{};  // channels each pass matched
    // Indexed by row (index 0 unused): the matched row in the other list, 0 for none.
    std::vector<int> referenceOf;  // current row -> reference row
    std::vector<int> currentOf;    // reference row -> current row
    std::vector<int> passOf;       // reference row -> the pass (1..4) that matched it, 0 for none
    // The current rows in their new order: the matched ones in the order of their
    // reference channels, then the others in their current order.
    std::vector<int> order;
    // Unmatched rows, in row order, leaving out the rows no pass could match (no name
    // and no transponder: empty rows and zeroed records).
    std::vector<int> unmatchedCurrent;
    std::vector<int> unmatchedReference;

    int matched() const;
};

// Matches the channels of current against those of reference in four passes; in each,
// every still unmatched reference channel (in reference order) takes the first still
// unmatched current channel that matches:
//  1. same name key, SID, TID, NID and polarisation, frequencies within 3 MHz;
//  2. same SID, TID and NID;
//  3. same SID and polarisation, frequencies within 3 MHz;
//  4. same non-empty name key, carried by exactly one row in each list.
// Passes 1-3 need a transponder on both sides; empty rows take part in none.
ReferenceMatch MatchReference(const ListPage& current, const ListPage& reference);

// The same passes over two lists of identities, for a reference that is not a page (a
// file). match must be sized for them (referenceOf 1 + current, currentOf 1 +
// reference); pairs already in it stay and take part in no pass. runPass says which
// of the four passes run (a file may lack the columns a pass compares).
void RunMatchPasses(const std::vector<ChannelIdentity>& current, const std::vector<ChannelIdentity>& reference,
                    ReferenceMatch& match, const std::array<bool, kMatchPasses>& runPass);
// Fills match.order, unmatchedCurrent and unmatchedReference from the pairs.
void FinishMatch(const std::vector<ChannelIdentity>& current, const std::vector<ChannelIdentity>& reference,
                 ReferenceMatch& match);

struct ReferenceOptions {
    bool takeFavourites = false;  // the favourites lists and their names come from the reference
    bool takeNames = false;       // matched channels take their reference channel's name
};

// Italian originals, marked for the catalogue: shown through Tr().
inline constexpr const char* kTakeFavouritesRefused =
    TrNoop("I preferiti possono essere presi dal riferimento solo se entrambe le liste hanno i preferiti");
inline constexpr const char* kTakeFavouritesTitle = TrNoop("Attenzione");

// Whether favourites can be taken: both lists keep favourites lists (Split layout).
bool CanTakeFavourites(const ListPage& current, const ListPage& reference);

// Puts current into the order match gives (computed by MatchReference for these two
// lists) and applies the options. Taking favourites fills the eight lists from the
// reference's, each entry naming the current match of its reference channel (entries
// of unmatched channels are left out, the list closes up), takes the list names, then
// rebuilds every channel's "Preferenza" and the entries' colours as a page build does.
// Returns no change when favourites are asked for but cannot be taken. Otherwise the
// page is marked modified and focusRow is the first unmatched row (0 when every row
// was matched).
EditResult ApplyReference(ListPage& current, const ListPage& reference, const ReferenceMatch& match,
                          const ReferenceOptions& options);

// The status text after applying: "N canali ordinati secondo il riferimento, M non trovati".
std::string ReferenceStatusText(const ReferenceMatch& match);

}  // namespace rivo
