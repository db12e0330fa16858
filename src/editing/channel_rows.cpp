// The row primitives of channel editing: clearing, moving and updating channel rows and
// their colours, with the favourites lists following every change of row.
#include "editing/channel_rows.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace rivo {

namespace {

bool ValidChannelRow(const ListPage& page, int n) { return n >= 1 && n <= page.channelCount(); }

// Removes the slots for which drop(channel text) is true, closing the list up and appending
// grey empty slots so that the list keeps its 128 slots ("Pos." follows from the slot's
// row). A list where nothing was removed is not touched at all.
template <typename Drop>
void CompactFavourites(Grid& list, Drop drop) {
    const int slots = list.rowCount() - 1;
    int write = 1;
    bool removed = false;
    for (int read = 1; read <= slots; ++read) {
        if (drop(list.cell(read, fav::Channel))) {
            removed = true;
            continue;
        }
        if (write != read) list.copyRow(read, write);
        ++write;
    }
    if (!removed) return;
    for (int s = write; s <= slots; ++s)
        list.setRow(s, {{std::string(), std::string(), "0"}, kColourGrey});
}

// Gives a channel row the colour its pids and status call for; returns whether the
// channel is active. Texts that are not numbers are left for the save to report; here
// they simply do not count as 65535.
bool RecolourChannel(GridRow& row) {
    const std::int64_t vpid = ReadCellNumber(row.cells[ch::VPid], -1);
    const std::int64_t apid = ReadCellNumber(row.cells[ch::APid], -1);
    row.colour = kColourChannel;
    if (vpid == 65535 && apid == 65535)
        row.colour = kColourNoAudioVideo;
    else if (vpid == 65535)
        row.colour = kColourRadio;
    const bool active = (ReadCellHex(row.cells[ch::Status], 0) & 4) != 0;
    if (!active) row.colour = kColourGrey;
    return active;
}

}  // namespace

int FavouriteEntryChannel(const std::string& text, int channels) {
    if (text.empty() || text.size() > 9 || text[0] < '1' || text[0] > '9') return 0;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value <= channels ? value : 0;
}

std::int64_t ReadCellNumber(const std::string& text, std::int64_t fallback) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return fallback;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return fallback;
        value = value * 10 + (c - '0');
        if (value > 0xFFFFFFFFLL) return fallback;  // beyond any cell number
    }
    return negative ? -value : value;
}

std::int64_t ReadCellHex(const std::string& text, std::int64_t fallback) {
    if (text.empty()) return fallback;
    std::int64_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return fallback;
        value = value * 16 + digit;
        if (value > 0xFFFFFFFFLL) return fallback;
    }
    return value;
}

void WriteEmptyChannel(GridRow& row) {
    row.cells[ch::Name].clear();
    row.cells[ch::Transponder] = "255";
    row.cells[ch::Sid] = "0";
    for (int c = ch::VPid; c <= ch::Pcr; ++c) row.cells[static_cast<size_t>(c)] = "65535";
    row.cells[ch::Status] = "00";
    row.cells[ch::Favourites] = "0";
    row.colour = kColourGrey;
}

void ClearChannelRow(ListPage& page, int n) {
    if (!ValidChannelRow(page, n)) return;
    GridRow& row = page.channelGrid.row(n);
    const std::int64_t set = ReadCellNumber(row.cells[ch::Favourites], 0);
    WriteEmptyChannel(row);
    const std::string number = std::to_string(n);
    for (int k = 0; k < fav::Lists; ++k) {
        if (((set >> k) & 1) == 0) continue;
        bool removed = false;
        CompactFavourites(page.favouriteGrids[static_cast<size_t>(k)],
                          [&](const std::string& channel) {
                              if (removed || channel != number) return false;
                              removed = true;
                              return true;
                          });
    }
}

void LeaveFavourites(ListPage& page, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, page.channelCount());
    // Each channel leaves the first slot naming it; the channels differ, so taking all
    // of them out in one pass closes each list up as one ClearChannelRow per row would.
    std::array<std::unordered_set<std::string>, fav::Lists> leaving;
    for (int n = first; n <= last; ++n) {
        const std::int64_t set =
            ReadCellNumber(std::as_const(page.channelGrid).cell(n, ch::Favourites), 0);
        for (int k = 0; k < fav::Lists; ++k)
            if (((set >> k) & 1) != 0) leaving[static_cast<size_t>(k)].insert(std::to_string(n));
    }
    for (int k = 0; k < fav::Lists; ++k) {
        auto& numbers = leaving[static_cast<size_t>(k)];
        if (numbers.empty()) continue;
        CompactFavourites(page.favouriteGrids[static_cast<size_t>(k)],
                          [&](const std::string& channel) { return numbers.erase(channel) != 0; });
    }
}

void MoveChannelRow(ListPage& page, int s, int t) {
    if (!ValidChannelRow(page, s) || !ValidChannelRow(page, t) || s == t) return;
    page.channelGrid.copyRow(s, t);
    if (ReadCellNumber(page.channelGrid.cell(t, ch::Favourites), 0) == 0) return;
    const std::string from = std::to_string(s);
    const std::string to = std::to_string(t);
    for (auto& list : page.favouriteGrids)
        for (int slot = 1; slot < list.rowCount(); ++slot)
            if (list.cell(slot, fav::Channel) == from) list.setCell(slot, fav::Channel, to);
}

void UpdateChannelRow(int n, ListPage& page) {
    UpdateChannelRows({n}, page, InactiveInLists::Leave);
}

void UpdateChannelRows(const std::vector<int>& rows, ListPage& page, InactiveInLists inactive) {
    // Each list is indexed once: how many slots name each channel, and where the search
    // for a free slot ("0") may start. Without it every row would read all 128 slots of
    // all eight lists.
    const int count = page.channelCount();
    struct ListIndex {
        std::vector<int> entries;  // slots naming channel n, n = 1 .. count
        int freeFrom = 1;          // no slot before it holds "0"
    };
    std::array<ListIndex, fav::Lists> index;
    for (int k = 0; k < fav::Lists; ++k) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        ListIndex& at = index[static_cast<size_t>(k)];
        at.entries.assign(static_cast<size_t>(count) + 1, 0);
        for (int s = 1; s < list.rowCount(); ++s) {
            const std::int64_t v = ReadCellNumber(list.cell(s, fav::Channel), -1);
            if (v >= 1 && v <= count) ++at.entries[static_cast<size_t>(v)];
        }
    }
    std::vector<bool> updated(static_cast<size_t>(count) + 1, false);
    for (const int n : rows) {
        if (!ValidChannelRow(page, n)) continue;
        updated[static_cast<size_t>(n)] = true;
        GridRow& row = page.channelGrid.row(n);
        const bool joins = RecolourChannel(row) || inactive == InactiveInLists::Join;
        const std::int64_t set = ReadCellNumber(row.cells[ch::Favourites], 0);
        // The lists the channel is really in: a list it leaves, or that has no room for
        // it, is no longer in its "Preferenza" (a text that is no set of lists stays).
        // An inactive channel's set bits stay whatever its entries.
        std::int64_t kept = set;
        for (int k = 0; k < fav::Lists; ++k) {
            Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
            ListIndex& at = index[static_cast<size_t>(k)];
            int& entries = at.entries[static_cast<size_t>(n)];
            const std::int64_t bit = std::int64_t{1} << k;
            const bool leaves = (set & bit) == 0 || (!joins && inactive == InactiveInLists::Leave);
            if (!leaves) {
                if (entries > 0 || !joins) continue;
                while (at.freeFrom < list.rowCount() && list.cell(at.freeFrom, fav::Channel) != "0")
                    ++at.freeFrom;
                if (at.freeFrom >= list.rowCount()) {
                    kept &= ~bit;
                    continue;
                }
                list.setCell(at.freeFrom, fav::Name, row.cells[ch::Name]);
                list.setCell(at.freeFrom, fav::Channel, std::to_string(n));
                list.setColour(at.freeFrom, row.colour);
                ++entries;
            } else {
                if (entries == 0) continue;
                CompactFavourites(list, [&](const std::string& channel) {
                    return ReadCellNumber(channel, -1) == n;
                });
                entries = 0;
                at.freeFrom = 1;  // the list closed up: free slots moved
            }
        }
        if (set >= 0 && set <= 0xFF && kept != set)
            row.cells[ch::Favourites] = std::to_string(kept);
    }
    // The entries of the updated channels show their names and colours as they are now
    // (a renamed channel is renamed in its lists too).
    for (Grid& list : page.favouriteGrids) {
        for (int s = 1; s < list.rowCount(); ++s) {
            const std::int64_t v = ReadCellNumber(list.cell(s, fav::Channel), -1);
            if (v < 1 || v > count || !updated[static_cast<size_t>(v)]) continue;
            const GridRow& channel = page.channelGrid.row(static_cast<int>(v));
            if (list.cell(s, fav::Name) != channel.cells[ch::Name])
                list.setCell(s, fav::Name, channel.cells[ch::Name]);
            if (list.colour(s) != channel.colour) list.setColour(s, channel.colour);
        }
    }
}

}  // namespace rivo
