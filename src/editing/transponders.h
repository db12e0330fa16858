// Transponder maintenance: deleting a transponder, merging duplicates, swapping the
// names of the two satellite positions; and the reference rules every operation that
// touches the channels' "Trasponder" column shares.
//
// A channel's transponder number is one byte in the image and 255 stands for "no
// transponder". A table may still have 255 or more rows; such rows can never be named
// by a channel, so we treat rows 255 and beyond as unreachable: no channel is ever
// renumbered to or from them, deleting or merging them touches no channel, and a paste
// never places a transponder there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"

namespace rivo {

// "Trasponder" text of a channel with no transponder.
inline constexpr int kNoTransponder = 255;

// The number a "Trasponder" cell names when the text is the plain decimal form of a
// number (the form every operation writes and compares); -1 for any other text.
int TransponderReference(const std::string& cell);

// Transponder rows a channel can name: 1 .. ReachableTransponderRows(page).
int ReachableTransponderRows(const ListPage& page);

// Makes transponder row n free (the cleared values, grey) and empties every channel
// that refers to it, taking those channels out of their favourites lists.
void ClearTransponderRow(ListPage& page, int n);

// Deletes transponder n: the rows below move up, the channels follow their transponders,
// the channels of n are emptied and row T becomes free.
void RemoveTransponderRow(ListPage& page, int n, Progress& progress);

// True when row a describes the same transponder as row b: equal texts but for "Num.",
// "Canali" and "Frequenza", and a's whole-MHz frequency equal to b's or at most 2 above.
bool TranspondersMatch(const ListPage& page, int a, int b);

// The same rule on the cells of two transponder rows (tp::Count texts each), for a row
// that is not yet in the table: `later` stands for a, `earlier` for b.
bool TransponderCellsMatch(const std::vector<std::string>& later,
                           const std::vector<std::string>& earlier);

// The whole-MHz value TranspondersMatch compares for a "Frequenza" text: read as hertz
// (-1 when not a number), rounded to single precision, times 0.000001, truncated, as
// an unsigned 32-bit number.
std::uint32_t TransponderMatchMHz(const std::string& frequency);

// Merges duplicate transponders into the lowest-numbered of their kind; the others
// become free rows where they stand. Returns whether anything was merged (and then sets
// the page's modified flag); mergedRows (when given) receives how many rows were merged
// into others.
bool OptimiseTransponderList(ListPage& page, Progress& progress, int* mergedRows = nullptr);

// How many channel rows name transponder row n: the rows deleting it empties.
int ChannelsOfTransponder(const ListPage& page, int n);

// The delete-transponder command on row n: asks Si (close the gap) / No (leave a free
// row) / Annulla. Returns whether the page changed (and then it is marked modified).
bool DeleteTransponder(ListPage& page, int n, UserPrompts& prompts, Progress& progress);

// The swap-satellites command: asks, then exchanges the names on every transponder in
// use and the page's satellite A and B names. Returns whether the page changed.
bool SwapSatellites(ListPage& page, UserPrompts& prompts);

}  // namespace rivo
