#include "page_maker.h"

#include <algorithm>

#include "channels/records.h"

namespace rivo::pages {

ListPage MakePage(int channels, int transponders, std::uint64_t imageId) {
    ListPage page;
    page.imageId = imageId;
    page.symbolRates = kRates;
    page.layout = ListLayout::Split;
    page.channelGrid = Grid(ch::Count, channels + 1, ch::Num);
    for (int c = 0; c < ch::Count; ++c) page.channelGrid.setCell(0, c, ChannelColumnTitles()[static_cast<size_t>(c)]);
    for (int i = 1; i <= channels; ++i) {
        GridRow& row = page.channelGrid.row(i);
        row.cells = {std::to_string(i), "", "255", "0", "65535", "65535", "65535", "65535", "65535", "00", "0"};
        row.colour = kColourGrey;
    }
    page.transponderGrid = Grid(tp::Count, transponders + 1);
    for (int c = 0; c < tp::Count; ++c)
        page.transponderGrid.setCell(0, c, TransponderColumnTitles()[static_cast<size_t>(c)]);
    for (int j = 1; j <= transponders; ++j) {
        GridRow& row = page.transponderGrid.row(j);
        row.cells = {std::to_string(j), "0", "0", "0", "0", "27500", "1/2", "V", "Off", "HotBird"};
        row.colour = kColourGrey;
    }
    for (Grid& list : page.favouriteGrids) {
        list = Grid(fav::Count, fav::Slots + 1, fav::Pos, fav::Channel);
        for (int c = 0; c < fav::Count; ++c) list.setCell(0, c, FavouriteColumnTitles()[static_cast<size_t>(c)]);
        for (int s = 1; s <= fav::Slots; ++s) list.setRow(s, {{std::to_string(s), "", "0"}, kColourGrey});
    }
    page.configGrid = Grid(2, fav::Lists + 1);
    return page;
}

void SetTransponder(ListPage& page, int row, const Transponder& v) {
    GridRow& r = page.transponderGrid.row(row);
    r.cells = {std::to_string(row), v.frequency, v.tid,  v.nid,          v.channels,
               v.symbolRate,        v.fec,       v.polarisation, v.tone, v.satellite};
    r.colour = v.frequency == "0" ? kColourGrey : kColourInUse;
}

void SetChannel(ListPage& page, int row, const std::string& name, int transponder, const std::string& vpid,
                const std::string& apid, const std::string& status) {
    GridRow& r = page.channelGrid.row(row);
    r.cells = {std::to_string(row), name, std::to_string(transponder), "100", vpid, apid, "0", "0", "512", status, "0"};
    r.colour = ChannelColour(vpid, apid, status);
}

void AddFavourite(ListPage& page, int list, int channel) {
    Grid& grid = page.favouriteGrids[static_cast<size_t>(list - 1)];
    for (int s = 1; s <= fav::Slots; ++s) {
        if (grid.cell(s, fav::Channel) != "0") continue;
        grid.setCell(s, fav::Name, page.channelGrid.cell(channel, ch::Name));
        grid.setCell(s, fav::Channel, std::to_string(channel));
        grid.setColour(s, page.channelGrid.colour(channel));
        break;
    }
    const std::int64_t set = CellIntegerOr(page.channelGrid.cell(channel, ch::Favourites), 0);
    page.channelGrid.setCell(channel, ch::Favourites, std::to_string(set | (1 << (list - 1))));
}

std::vector<int> Favourites(const ListPage& page, int list) {
    std::vector<int> numbers;
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list - 1)];
    for (int s = 1; s <= fav::Slots; ++s) {
        const auto n = CellIntegerOr(grid.cell(s, fav::Channel), -1);
        if (n != 0) numbers.push_back(static_cast<int>(n));
    }
    return numbers;
}

std::vector<int> ChannelTransponders(const ListPage& page) {
    std::vector<int> numbers;
    for (int i = 1; i <= page.channelCount(); ++i)
        numbers.push_back(static_cast<int>(CellIntegerOr(page.channelGrid.cell(i, ch::Transponder), -1)));
    return numbers;
}

ListPage MakeLargePage(int channels, int transponders, std::uint64_t imageId, bool duplicateEveryTransponder) {
    ListPage page = MakePage(channels, transponders, imageId);
    for (int j = 1; j <= transponders; ++j) {
        Transponder t;
        // With duplicates, rows j and j + T/2 describe the same transponder (the later
        // one 1 MHz higher).
        const int base = duplicateEveryTransponder ? (j - 1) % std::max(1, transponders / 2) : j - 1;
        const bool copy = duplicateEveryTransponder && j > transponders / 2;
        t.frequency = std::to_string(10700 + base * 10 + (copy ? 1 : 0));
        t.tid = std::to_string(base + 1);
        t.polarisation = base % 2 ? "V" : "H";
        t.tone = base % 3 == 0 ? "On" : "Off";
        t.symbolRate = std::to_string(kRates[static_cast<size_t>(base % 16)]);
        if (t.tone == "On") t.frequency = std::to_string(11700 + base * 10 + (copy ? 1 : 0));
        SetTransponder(page, j, t);
    }
    int slot[fav::Lists] = {};
    for (int i = 1; i <= channels; ++i) {
        SetChannel(page, i, "Canale " + std::to_string(i), transponders ? (i - 1) % std::min(transponders, 254) + 1 : 255,
                   i % 7 ? "512" : "65535");
        const int list = (i / 10) % fav::Lists;
        if (i % 10 == 0 && slot[list] < fav::Slots) {
            ++slot[list];
            AddFavourite(page, list + 1, i);
        }
    }
    return page;
}

}  // namespace rivo::pages
