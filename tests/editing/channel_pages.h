// Small hand-made pages for the channel editing tests.
#pragma once

#include <string>
#include <vector>

#include "channels/list_page.h"
#include "reference_editing.h"

namespace rivo::testing {

// n active channels named "C1" .. "Cn", no favourites, grey empty slots.
inline ListPage ChannelPage(int n) {
    ListPage page;
    page.channelGrid.setRowCount(n + 1);
    for (int r = 1; r <= n; ++r) reference::FillChannelRow(page, r, "C" + std::to_string(r), 0);
    for (auto& list : page.favouriteGrids)
        for (int s = 1; s <= fav::Slots; ++s) list.setColour(s, kColourGrey);
    return page;
}

// Puts channel into the first empty slot of list (1..8) and sets its bit.
inline void AddEntry(ListPage& page, int list, int channel, bool setBit = true) {
    Grid& grid = page.favouriteGrids[static_cast<size_t>(list - 1)];
    for (int s = 1; s <= fav::Slots; ++s) {
        if (grid.cell(s, fav::Channel) != "0") continue;
        grid.setCell(s, fav::Name, page.channelGrid.cell(channel, ch::Name));
        grid.setCell(s, fav::Channel, std::to_string(channel));
        grid.setColour(s, page.channelGrid.colour(channel));
        break;
    }
    if (setBit) {
        const long long set = std::stoll(page.channelGrid.cell(channel, ch::Favourites));
        page.channelGrid.setCell(channel, ch::Favourites,
                                 std::to_string(set | (1LL << (list - 1))));
    }
}

// The "Canale" texts of list (1..8), empty slots ("0") left out.
inline std::vector<std::string> Entries(const ListPage& page, int list) {
    std::vector<std::string> out;
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list - 1)];
    for (int s = 1; s <= fav::Slots; ++s)
        if (grid.cell(s, fav::Channel) != "0") out.push_back(grid.cell(s, fav::Channel));
    return out;
}

// The channel names by row.
inline std::vector<std::string> Names(const ListPage& page) {
    std::vector<std::string> out;
    for (int r = 1; r <= page.channelCount(); ++r)
        out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

// Whether the channel grid's "Num." column reads 1 .. N.
inline bool NumberedInOrder(const ListPage& page) {
    for (int r = 1; r <= page.channelCount(); ++r)
        if (page.channelGrid.cell(r, ch::Num) != std::to_string(r)) return false;
    return true;
}

// Whether row n holds the values of an empty channel slot.
inline bool IsEmptyChannel(const ListPage& page, int n) {
    const std::vector<std::string> empty{"", "255", "0", "65535", "65535", "65535", "65535", "65535", "00", "0"};
    const auto& cells = page.channelGrid.row(n).cells;
    return std::vector<std::string>(cells.begin() + 1, cells.end()) == empty &&
           page.channelGrid.colour(n) == kColourGrey;
}

// Whether every list ends with grey "0" slots, "Pos." reading 1 .. 128.
inline bool ListsWellFormed(const ListPage& page) {
    for (const Grid& grid : page.favouriteGrids) {
        if (grid.rowCount() != fav::Slots + 1) return false;
        for (int s = 1; s <= fav::Slots; ++s)
            if (grid.cell(s, fav::Pos) != std::to_string(s)) return false;
    }
    return true;
}

}  // namespace rivo::testing
