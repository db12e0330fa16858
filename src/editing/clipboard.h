// Copying channels and pasting them into the same or another page.
//
// Transponder numbers mean nothing outside their own image, so a copy carries the
// transponders of the copied channels along, as intermediate frequencies (received
// frequency minus the LNB oscillator of their band). A paste into another image
// re-expresses them with the target's LNB frequencies, points the pasted channels at the
// target row that already holds the same transponder (as "Ottimizza" would call them
// the same) and writes only the others into free rows, so pasting a list twice, or a
// whole list into an image that shares its transponders, adds no duplicate rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"

namespace rivo {

// Added to a source transponder number to tie pasted channels to pasted transponders;
// above every real transponder number.
inline constexpr std::int64_t kTransponderMark = 1000;

struct ClipChannel {
    std::string name;  // bytes, at most 16
    std::uint8_t status = 0;
    std::int64_t transponderMark = 0;  // source "Trasponder" + 1000
    std::int64_t sid = 0, vPid = 0, aPid = 0, vEcm = 0, aEcm = 0, pcr = 0;
    std::int64_t favourites = 0;

    bool operator==(const ClipChannel&) const = default;
};

struct ClipTransponder {
    std::int64_t intermediateHertz = 0;  // received frequency minus the band's LNB, in Hz
    std::int64_t tid = 0, nid = 0, channels = 0, symbolRate = 0;
    std::uint8_t fec = 0;
    std::uint8_t flags = 0;            // 1 tone on, 2 horizontal, 8 satellite B
    std::int64_t transponderMark = 0;  // source "Num." + 1000

    bool operator==(const ClipTransponder&) const = default;
};

// The channel copy buffer of the main window: shared by every page, it outlives the
// page it was filled from. It keeps values, never references to rows.
struct ChannelClipboard {
    bool hasContent = false;  // paste is possible from the first copy on
    std::vector<ClipChannel> channels;
    std::vector<ClipTransponder> transponders;
    std::uint64_t sourceImage = 0;  // ListPage::imageId of the copied page
};

// Copies channel rows first..last (1..N, first <= last) of the page into the clipboard,
// replacing its content. A cell that is not a number where one is needed throws
// ConversionError and leaves the clipboard as it was. Invalid rows change nothing.
void CopyChannels(const ListPage& page, int first, int last, ChannelClipboard& clipboard);

// Pastes the clipboard at the current row of the page's channel grid, asking whether to
// insert (Si) or overwrite (No). Returns whether the page changed; a change marks the
// page modified. Refusals are told through prompts and change nothing; the room check
// counts only the transponders the paste adds (none from the same image; from another
// image those the target does not hold yet). A pasted channel joins the favourites
// lists its "Preferenza" names whatever its "Attivo"; a list that has no free slot left
// (or a Single list, which stores none) drops from its "Preferenza", and the channels
// concerned are told before the page changes.
// Channels that would land past the last row are not pasted; when overwriting (where
// no question warned of it) the user is told how many after the paste.
// placed (when given) receives the rows the pasted channels landed on and whether they
// were inserted.
struct PastedRows {
    int first = 0;
    int last = 0;
    bool inserted = false;
};
bool PasteChannels(ListPage& target, int currentRow, const ChannelClipboard& clipboard,
                   UserPrompts& prompts, Progress& progress, PastedRows* placed = nullptr);

// Rows of the page's transponder table that a paste may fill, in row order: "Frequenza"
// "0", reachable by a channel, and named by no channel.
std::vector<int> FreeTransponderRows(const ListPage& page);

// A received frequency in hertz as a "Frequenza" text ("11747", "11747,5", "-3,25").
std::string HertzFrequencyText(std::int64_t hertz);

}  // namespace rivo
