// Step-by-step reference versions of the channel editing commands, and page builders
// for comparing the direct implementations with them.
//
// The reference works exactly row by row, as the commands are described: every channel
// that changes row is one MoveChannelRow, every emptied row one ClearChannelRow, and a
// block move is n passes through a spare row. It is slow (a block of n channels costs n
// passes over the rows between, each move scanning all eight lists) and only serves as
// the yardstick for the direct implementations in src/editing.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "channels/list_page.h"
#include "editing/clipboard.h"
#include "editing/inactive_in_lists.h"

namespace rivo::reference {

// "Preferenza" and other cells read as a decimal number, fallback when not one.
std::int64_t CellNumber(const std::string& text, std::int64_t fallback);
// "Status" read as a hexadecimal number, fallback when not one.
std::int64_t HexNumber(const std::string& text, std::int64_t fallback);

void ClearChannelRow(ListPage& page, int n);
// Copies row s onto row t and renames the favourites entries reading sText to tText
// (when row t's "Preferenza" is not 0). The texts are the rows' numbers, except for the
// spare row of a block move.
void MoveChannelRow(ListPage& page, int s, int t, const std::string& sText,
                    const std::string& tText);
void MoveChannelRow(ListPage& page, int s, int t);

// The commands after their question was answered. Each sets page.modified.
void DeleteChannels(ListPage& page, int first, int last, bool closeGap);
// The last row is emptied with ClearChannelRow before the channels move down.
void InsertEmptyChannel(ListPage& page, int row);
void MoveChannels(ListPage& page, int first, int last, int target);

// Recolours row n and brings the eight lists in line with its "Preferenza": entries
// found by number, added in the first free slot, removed with the rows below moving up;
// every entry of the channel then shows its name and colour. An active channel (or any
// with Join) is added to each list whose bit is set and leaves the others, and a
// "Preferenza" from 0 to 255 then names the lists holding it. An inactive one leaves
// every list (Leave) or those whose bit is clear (Stay), and keeps its "Preferenza".
void UpdateChannelRow(ListPage& page, int n, InactiveInLists inactive = InactiveInLists::Leave);

// Copy as described: one channel per row, and the transponder of each row's number the
// first time it is met, when that row is reachable (1 .. min(T, 254)) and not free.
ChannelClipboard CopyChannels(const ListPage& page, int first, int last);

// Paste after its question was answered (insert: Si), every further question answered
// Si. Channels that move are MoveChannelRow from the bottom up, overwritten or lost ones
// ClearChannelRow, pasted ones then (their "Preferenza" taken as its lowest eight bits,
// none into a Single list) UpdateChannelRow. From the same image
// no transponder is written and no room is needed. From another image each carried
// transponder is compared, in row order, with every row of the target in use (rows
// written by this paste included); the first that matches by the duplicate rule is
// reused, else the transponder is written into the next free row (reachable,
// "Frequenza" "0", named by no channel) with its mark in "Num.", and the pasted
// channels find their row by that mark. A refusal changes nothing.
enum class PasteOutcome { Pasted, TooManyTransponders, BadSymbolRate };
PasteOutcome PasteChannels(ListPage& page, int r, const ChannelClipboard& clipboard, bool insert);

// A channel row in use, with the given favourites set.
void FillChannelRow(ListPage& page, int n, const std::string& name, std::int64_t favourites,
                    bool active = true);

// A small page of channels random in every respect the editing commands care about:
// blank and inactive rows, "Preferenza" values (also 0 for channels that stand in
// lists, and texts that are not numbers), lists with duplicates, entries of channels
// whose bit is clear, entries that name no channel, empty slots in use colours.
ListPage RandomPage(std::mt19937& rng, int channels);

// A page of channels, all in use, with all eight favourites lists full (128 distinct
// channels each, spread over the page; each such channel's "Preferenza" names its lists).
ListPage FullPage(int channels);

}  // namespace rivo::reference
