// The row primitives every channel edit rests on. Favourites lists name channels by
// row number, so whenever a channel changes row or its slot is emptied, the lists follow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "editing/inactive_in_lists.h"

namespace rivo {

// Writes the cells of an empty channel slot into columns 1 .. 10 and greys the row;
// "Num." stays.
void WriteEmptyChannel(GridRow& row);

// Empties channel row n (1..N) and takes channel n out of the lists its "Preferenza"
// names (the first matching slot of each such list; the list closes up and gains a grey
// empty slot 128).
void ClearChannelRow(ListPage& page, int n);
// Takes channels first .. last out of the lists as ClearChannelRow does, in one pass
// over each list, and leaves the rows themselves as they are: for a command that
// overwrites those rows next.
void LeaveFavourites(ListPage& page, int first, int last);

// Copies row s (cells and colour) onto row t; when row t's "Preferenza" is not 0, every
// favourites slot naming s names t afterwards. Row s is left as it was.
void MoveChannelRow(ListPage& page, int s, int t);

// Recolours channel row n and brings the eight lists in line with its "Preferenza", with
// the channel dialog's rule for an inactive channel (InactiveInLists::Leave): an active
// channel is added to the first free slot of each list whose bit is set and where it is
// missing; every entry of it in the other lists is removed and the list closes up. The
// bit of a list without a free slot is cleared, so an active channel's "Preferenza"
// names exactly the lists holding it (a "Preferenza" that is not a number from 0 to 255
// is left as it is). Its entries show its name and colour.
void UpdateChannelRow(int n, ListPage& page);
// The same for each of rows in turn, with the given rule for inactive channels, and with
// each list read once rather than once per row: what a command that changes thousands
// of rows calls.
void UpdateChannelRows(const std::vector<int>& rows, ListPage& page, InactiveInLists inactive);

// A cell read as a decimal whole number (optional sign, digits only), or fallback when
// the text is not one. Editing reads "Preferenza", VPid and APid this way.
// The channel a favourites entry names, as the row primitives read it: its decimal
// text exactly ("007" or " 7" name no channel), 1..channels; else 0.
int FavouriteEntryChannel(const std::string& text, int channels);
std::int64_t ReadCellNumber(const std::string& text, std::int64_t fallback);
// A cell read as a hexadecimal number ("Status"), or fallback when the text is not one.
std::int64_t ReadCellHex(const std::string& text, std::int64_t fallback);

}  // namespace rivo
