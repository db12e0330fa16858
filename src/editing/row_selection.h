// Commands on a selection of channel rows that need not be one block: the rows picked
// with Ctrl+click and Shift+click, or every row a filter shows.
//
// A selection is a list of rows in ascending order, each once. Each command here gives
// the result of doing it block by block (delete from the last block up, so the blocks
// above keep their numbers), and each is one command, so one undo step.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/clipboard.h"
#include "text/translate.h"

namespace rivo {

struct RowBlock {
    int first = 0;
    int last = 0;
    bool operator==(const RowBlock&) const = default;
};

// rows sorted, without repeats and without rows outside 1 .. N of page.
std::vector<int> NormalisedRows(const ListPage& page, std::vector<int> rows);
// The blocks of consecutive rows of a selection (ascending rows), in order.
std::vector<RowBlock> BlocksOf(const std::vector<int>& rows);
// Rows first .. last.
std::vector<int> RowsOf(int first, int last);

// ---- deleting --------------------------------------------------------------------------

// Deletes the rows without asking: closeGap closes every gap (the channels below move
// up, the last rows become empty), otherwise the rows are left empty and grey.
EditResult DeleteChannelSet(ListPage& page, const std::vector<int>& rows, bool closeGap, Progress& progress);
// Asks once, naming the count (one block asks the question of the block command), then
// deletes.
EditResult DeleteSelectedChannelSet(ListPage& page, const std::vector<int>& rows, UserPrompts& prompts,
                                    Progress& progress);

// ---- copying ---------------------------------------------------------------------------

// Copies the rows, in row order, into the clipboard (replacing its content); each
// transponder is carried once. A cell that cannot be read throws ConversionError and
// leaves the clipboard as it was.
void CopyChannelSet(const ListPage& page, const std::vector<int>& rows, ChannelClipboard& clipboard);

// ---- favourites lists ------------------------------------------------------------------

inline constexpr const char* kListFullTitle = TrNoop("Attenzione");
inline constexpr const char* kNoListsMessage =
    TrNoop("Questa lista canali non ha liste preferiti: i canali sono in un solo modulo.");

// What adding to a list did.
struct ListChange {
    bool changed = false;
    int added = 0;    // entries added (or removed)
    int skipped = 0;  // channels left out: no room in the list
};

// "Aggiungi alla lista": puts every selected channel that is not yet in list (0 .. 7)
// into its first free slot, in row order, and sets its "Preferenza" bit. Empty channel
// slots are skipped. When the 128 slots run out, the channels that found no room stay
// out and the user is told how many. A page without favourites lists (Single layout)
// is refused with kNoListsMessage.
ListChange AddToFavouriteList(ListPage& page, int list, const std::vector<int>& rows, UserPrompts& prompts);
// "Togli dalla lista": takes every selected channel out of list (0 .. 7); the list
// closes up.
ListChange RemoveFromFavouriteList(ListPage& page, int list, const std::vector<int>& rows, UserPrompts& prompts);

// Whether a row is an empty channel slot (as deleting leaves it): nothing to list.
bool IsEmptyChannel(const ListPage& page, int row);

}  // namespace rivo
