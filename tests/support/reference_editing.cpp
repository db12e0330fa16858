#include "reference_editing.h"

#include <charconv>
#include <string>
#include <vector>

namespace rivo::reference {

std::int64_t CellNumber(const std::string& text, std::int64_t fallback) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    if (begin == end) return fallback;
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) return fallback;
    return value;
}

void ClearChannelRow(ListPage& page, int n) {
    Grid& grid = page.ChannelGrid;
    grid.setColour(n, kColourGrey);
    const std::int64_t set = CellNumber(grid.cell(n, ch::Favourites), 0);
    grid.setCell(n, ch::Name, "");
    grid.setCell(n, ch::Transponder, "255");
    grid.setCell(n, ch::Sid, "0");
    for (int c = ch::VPid; c <= ch::Pcr; ++c) grid.setCell(n, c, "65535");
    grid.setCell(n, ch::Status, "00");
    grid.setCell(n, ch::Favourites, "0");
    const std::string number = std::to_string(n);
    for (int k = 1; k <= fav::Lists; ++k) {
        if (((set >> (k - 1)) & 1) == 0) continue;
        Grid& list = page.FavouriteGrids[static_cast<size_t>(k - 1)];
        for (int slot = 1; slot <= fav::Slots; ++slot) {
            if (list.row(slot).cells[fav::Channel] != number) continue;
            list.removeRow(slot);
            list.appendRow(kColourGrey);
            list.setCell(fav::Slots, fav::Pos, "128");
            list.setCell(fav::Slots, fav::Name, "");
            list.setCell(fav::Slots, fav::Channel, "0");
            for (int s = 1; s <= fav::Slots; ++s) list.setCell(s, fav::Pos, std::to_string(s));
            break;
        }
    }
}

void MoveChannelRow(ListPage& page, int s, int t, const std::string& sText, const std::string& tText) {
    Grid& grid = page.ChannelGrid;
    grid.row(t) = grid.row(s);
    if (CellNumber(grid.cell(t, ch::Favourites), 0) == 0) return;
    for (Grid& list : page.FavouriteGrids)
        for (int slot = 1; slot <= fav::Slots; ++slot) {
            std::string& text = list.row(slot).cells[fav::Channel];
            if (text == sText) text = tText;
        }
}

void MoveChannelRow(ListPage& page, int s, int t) {
    MoveChannelRow(page, s, t, std::to_string(s), std::to_string(t));
}

namespace {

void renumber(ListPage& page) {
    for (int r = 1; r <= page.channelCount(); ++r) page.ChannelGrid.setCell(r, ch::Num, std::to_string(r));
}

}  // namespace

void DeleteChannels(ListPage& page, int first, int last, bool closeGap) {
    const int N = page.channelCount();
    const int c = last - first + 1;
    for (int n = first; n <= last; ++n) ClearChannelRow(page, n);
    if (closeGap) {
        for (int i = last + 1; i <= N; ++i) MoveChannelRow(page, i, i - c);
        for (int n = N - c + 1; n <= N; ++n) ClearChannelRow(page, n);
    }
    renumber(page);
    page.Modified = true;
}

void InsertEmptyChannel(ListPage& page, int row) {
    const int N = page.channelCount();
    ClearChannelRow(page, N);
    for (int i = N - 1; i >= row; --i) MoveChannelRow(page, i, i + 1);
    ClearChannelRow(page, row);
    renumber(page);
    page.Modified = true;
}

void MoveChannels(ListPage& page, int first, int last, int target) {
    const int N = page.channelCount();
    const int n = last - first + 1;
    const int t = target;
    // The spare row is a holding place, not a channel: entries passing through it are
    // given a text no favourites cell holds, so that an entry that happens to read
    // N + 1 is not taken for one of them.
    const int spare = N + 1;
    const std::string spareText = "\x01spare";
    page.ChannelGrid.appendRow();
    auto move = [&](int s, int d) {
        MoveChannelRow(page, s, d, s == spare ? spareText : std::to_string(s),
                       d == spare ? spareText : std::to_string(d));
    };
    if (t > first) {
        for (int pass = 0; pass < n; ++pass) {
            move(first, spare);
            for (int i = first + 1; i <= t + n - 1; ++i) move(i, i - 1);
            move(spare, t + n - 1);
        }
    } else {
        for (int pass = 0; pass < n; ++pass) {
            move(last, spare);
            for (int i = last - 1; i >= t; --i) move(i, i + 1);
            move(spare, t);
        }
    }
    page.ChannelGrid.removeRow(spare);
    renumber(page);
    page.Modified = true;
}

void FillChannelRow(ListPage& page, int n, const std::string& name, std::int64_t favourites, bool active) {
    GridRow& row = page.ChannelGrid.row(n);
    row.cells = {std::to_string(n),       name,
                 std::to_string(1 + n % 7), std::to_string(100 + n),
                 std::to_string(500 + n), std::to_string(600 + n),
                 "65535",                 "65535",
                 std::to_string(500 + n), active ? "04" : "00",
                 std::to_string(favourites)};
    row.colour = active ? kColourChannel : kColourGrey;
}

namespace {

void setEntry(Grid& list, int slot, std::string name, std::string channel, std::uint32_t colour) {
    GridRow& row = list.row(slot);
    row.cells[fav::Name] = std::move(name);
    row.cells[fav::Channel] = std::move(channel);
    row.colour = colour;
}

void emptyChannelRow(ListPage& page, int n) {
    FillChannelRow(page, n, "", 0, false);
    Grid& grid = page.ChannelGrid;
    grid.setCell(n, ch::Transponder, "255");
    grid.setCell(n, ch::Sid, "0");
    for (int c = ch::VPid; c <= ch::Pcr; ++c) grid.setCell(n, c, "65535");
}

}  // namespace

ListPage RandomPage(std::mt19937& rng, int channels) {
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };

    ListPage page;
    page.ChannelGrid.setRowCount(channels + 1);
    for (int n = 1; n <= channels; ++n) {
        if (chance(15)) {
            emptyChannelRow(page, n);
            // now and then a blank row that still names lists
            if (chance(20)) page.ChannelGrid.setCell(n, ch::Favourites, std::to_string(pick(1, 255)));
            continue;
        }
        std::int64_t set = chance(35) ? 0 : pick(1, 255);
        FillChannelRow(page, n, "CH" + std::to_string(n), set, !chance(15));
        if (chance(4)) {
            static const char* odd[] = {"", "abc", "256", "-1", "007", "+3", "512"};
            page.ChannelGrid.setCell(n, ch::Favourites, odd[rng() % 7]);
        }
    }
    for (int k = 0; k < fav::Lists; ++k) {
        Grid& list = page.FavouriteGrids[static_cast<size_t>(k)];
        const int used = chance(10) ? fav::Slots : pick(0, std::min(fav::Slots, 2 * channels + 3));
        for (int slot = 1; slot <= used; ++slot) {
            const int n = channels > 0 ? pick(1, channels) : 0;
            std::string text = std::to_string(n);
            const int kind = pick(0, 99);
            if (kind < 4) text = std::to_string(channels + 1);  // names no channel
            else if (kind < 6) text = "0" + std::to_string(n);
            else if (kind < 8) text = "x";
            else if (kind < 10) text = std::to_string(channels + pick(2, 5));
            else if (kind < 12) text = "0";  // an empty slot in the middle of a list
            setEntry(list, slot, "CH" + std::to_string(n), text, chance(5) ? kColourGrey : kColourChannel);
        }
        // A new page's slots are already empty ("0", no name); only the colour is set.
        for (int slot = used + 1; slot <= fav::Slots; ++slot)
            list.row(slot).colour = chance(3) ? kColourChannel : kColourGrey;
    }
    page.Modified = chance(50);
    return page;
}

ListPage FullPage(int channels) {
    ListPage page;
    page.ChannelGrid.setRowCount(channels + 1);
    std::vector<std::int64_t> sets(static_cast<size_t>(channels) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k)
        for (int slot = 1; slot <= fav::Slots; ++slot) {
            const int n = 1 + ((slot - 1) * channels / fav::Slots + k * 7) % channels;
            sets[static_cast<size_t>(n)] |= std::int64_t{1} << k;
            setEntry(page.FavouriteGrids[static_cast<size_t>(k)], slot, "CH" + std::to_string(n),
                     std::to_string(n), kColourChannel);
        }
    for (int n = 1; n <= channels; ++n) FillChannelRow(page, n, "CH" + std::to_string(n), sets[static_cast<size_t>(n)]);
    return page;
}

}  // namespace rivo::reference
