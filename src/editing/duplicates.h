// Finding and removing copies of the same channel: lists scanned more than once hold
// each service two, three or four times.
//
// Channels are keyed as the reference matching keys them (ChannelIdentity): the name's
// collation key, the SID and, with a transponder in use, its TID, NID, frequency and
// polarisation. The transponder's satellite is part of its identity, so channels on
// different satellites are never copies of each other, and empty rows never are.
//
// Each level groups every pair the level before it groups, and more:
//  - Exact: same SID, TID, NID, polarisation and satellite, frequencies within 3 MHz;
//  - Ids: same SID, TID, NID and satellite (the same service met on another transponder);
//  - NameTransponder: same name key, polarisation and satellite, frequencies within 3 MHz;
//  - Name: same name key (HD/SD pairs and the like; shown, not removed by default).
// "Within 3 MHz" chains: 10700, 10702 and 10704 MHz form one group. A group is what
// these pairs connect, found through a hash of the keys, never by comparing every pair.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "editing/channel_edit.h"
#include "text/translate.h"

namespace rivo {

enum class DuplicateLevel { Exact, Ids, NameTransponder, Name };
inline constexpr int kDuplicateLevels = 4;

// The words of the tool: "exact", "ids", "name-transponder", "name".
const char* DuplicateLevelWord(DuplicateLevel level);
std::optional<DuplicateLevel> DuplicateLevelFromWord(const std::string& word);
// The level's name as the editor shows it (translated).
std::string DuplicateLevelLabel(DuplicateLevel level);

// Why a group keeps the copy it keeps.
enum class KeepReason {
    Favourites,  // named by more favourites lists than every other copy
    Active,      // the lowest active copy where others are not active
    LowestRow,   // nothing else told the copies apart
    Chosen,      // the user chose it
};
// "favourites", "active", "lowest-row", "chosen": the words of the tool's JSON.
const char* KeepReasonWord(KeepReason reason);
// The reason as the editor shows it (translated).
std::string KeepReasonLabel(KeepReason reason);

struct DuplicateGroup {
    std::vector<int> rows;  // the copies, in row order; two or more
    int kept = 0;           // the one of rows that stays
    KeepReason reason = KeepReason::LowestRow;
};

struct DuplicateFinding {
    DuplicateLevel level = DuplicateLevel::Exact;
    std::vector<DuplicateGroup> groups;  // ordered by their first row
    // Per row (index 0 unused): bit k when favourites list k names the row, as the page
    // stood when the groups were found.
    std::vector<std::uint8_t> lists;
    // The rows removing the groups would delete: every copy but the kept one.
    int removableCount() const;
};

// The groups of copies at level, each with the copy the keep rule chooses:
//  1. the copy named by the most favourites lists;
//  2. else an active one ("Attivo");
//  3. else the lowest row.
// Ties of one rule go to the next among the tied copies only.
DuplicateFinding FindDuplicates(const ListPage& page, DuplicateLevel level);

// How many favourites lists name row (each list counted once); what rule 1 compares.
int ListsNaming(const ListPage& page, int row);

// Makes row the kept copy of group (reason Chosen); false when row is not one of its copies.
bool ChooseKeptCopy(DuplicateGroup& group, int row);

// Removes every copy but the kept one of each group, as one command:
//  - the removed rows are deleted and the gaps closed as deleting with Si does (the
//    rows below move up, the emptied rows end up last);
//  - every favourites entry naming a removed copy names its group's kept channel, and
//    entries follow their channels to their new rows;
//  - a list that would then name a kept channel twice keeps its first entry only, and
//    the list closes up;
//  - the kept channels' "Preferenza" names exactly the lists holding them.
// Groups that overlap, or name rows outside the table, change nothing. removed (when
// given) receives the number of rows deleted. The page is marked modified when a row
// was removed; focusRow is the first kept row's new row.
EditResult RemoveDuplicates(ListPage& page, const std::vector<DuplicateGroup>& groups,
                            int* removed = nullptr);

// What the editor shows of one copy: its row, name (bytes), SID, the transponder's
// frequency and polarisation ("11747 H", "" without a transponder in use), "Attivo" and
// "Bloccato" (status bits 2 and 0) and the lists naming it ("1, 3").
struct DuplicateCopyView {
    int row = 0;
    std::string name;
    std::string sid;
    std::string frequency;
    bool active = false;
    bool locked = false;
    std::string lists;
};
// lists: the finding's lists of the same page, read instead of the favourites lists.
DuplicateCopyView DescribeCopy(const ListPage& page, int row,
                               const std::vector<std::uint8_t>* lists = nullptr);

// What "Elimina i duplicati" removes: the groups found, except at the Name level, whose
// groups are shown for information and removed only when removeByName is set.
std::vector<DuplicateGroup> GroupsToRemove(const DuplicateFinding& finding, bool removeByName);

// ---- favourites lists naming one channel twice ----------------------------------------

struct RepeatedEntry {
    int list = 0;     // 0 .. 7
    int channel = 0;  // the row named more than once
    int count = 0;    // how many slots name it
};
// Every channel some list names more than once, list by list, in order of first slot.
std::vector<RepeatedEntry> FindRepeatedFavourites(const ListPage& page);
// Keeps the first entry of each channel in every list and removes the repeats; the
// lists close up. removed (when given) receives the entries removed.
EditResult RemoveRepeatedFavourites(ListPage& page, int* removed = nullptr);

// ---- texts ------------------------------------------------------------------------------

inline constexpr const char* kDuplicatesCaption = TrNoop("Trova duplicati...");
inline constexpr const char* kDuplicatesStep = TrNoop("Elimina i duplicati");
inline constexpr const char* kRepeatedStep = TrNoop("Togli le voci ripetute dei preferiti");

// "N gruppi, M canali da eliminare".
std::string DuplicateSummaryText(int groups, int removable);
// The status bar after removing: how many channels were deleted.
std::string DuplicatesRemovedText(int removed);
// The status bar after the clean-up of repeated favourites entries.
std::string RepeatedEntriesRemovedText(int removed);

}  // namespace rivo
