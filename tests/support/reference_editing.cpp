#include "reference_editing.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "channels/records.h"

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
    Grid& grid = page.channelGrid;
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
        Grid& list = page.favouriteGrids[static_cast<size_t>(k - 1)];
        for (int slot = 1; slot <= fav::Slots; ++slot) {
            // Read through cell(): the writable row() would make every slot it passes
            // the list's own copy, which made this the slowest part of the random tests.
            if (list.cell(slot, fav::Channel) != number) continue;
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

void MoveChannelRow(ListPage& page, int s, int t, const std::string& sText,
                    const std::string& tText) {
    Grid& grid = page.channelGrid;
    grid.row(t) = grid.row(s);
    if (CellNumber(grid.cell(t, ch::Favourites), 0) == 0) return;
    // Only the entries naming s are written; the others are only read.
    for (Grid& list : page.favouriteGrids)
        for (int slot = 1; slot <= fav::Slots; ++slot)
            if (list.cell(slot, fav::Channel) == sText) list.setCell(slot, fav::Channel, tText);
}

void MoveChannelRow(ListPage& page, int s, int t) {
    MoveChannelRow(page, s, t, std::to_string(s), std::to_string(t));
}

namespace {

void Renumber(ListPage& page) {
    for (int r = 1; r <= page.channelCount(); ++r)
        page.channelGrid.setCell(r, ch::Num, std::to_string(r));
}

}  // namespace

void DeleteChannels(ListPage& page, int first, int last, bool closeGap) {
    const int channels = page.channelCount();
    const int c = last - first + 1;
    for (int n = first; n <= last; ++n) ClearChannelRow(page, n);
    if (closeGap) {
        for (int i = last + 1; i <= channels; ++i) MoveChannelRow(page, i, i - c);
        for (int n = channels - c + 1; n <= channels; ++n) ClearChannelRow(page, n);
    }
    Renumber(page);
    page.modified = true;
}

void InsertEmptyChannel(ListPage& page, int row) {
    const int channels = page.channelCount();
    ClearChannelRow(page, channels);
    for (int i = channels - 1; i >= row; --i) MoveChannelRow(page, i, i + 1);
    ClearChannelRow(page, row);
    Renumber(page);
    page.modified = true;
}

void MoveChannels(ListPage& page, int first, int last, int target) {
    const int channels = page.channelCount();
    const int n = last - first + 1;
    const int t = target;
    // The spare row is a holding place, not a channel: entries passing through it are
    // given a text no favourites cell holds, so that an entry that happens to read
    // channels + 1 is not taken for one of them.
    const int spare = channels + 1;
    const std::string spareText = "\x01spare";
    page.channelGrid.appendRow();
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
    page.channelGrid.removeRow(spare);
    Renumber(page);
    page.modified = true;
}

void FillChannelRow(ListPage& page, int n, const std::string& name, std::int64_t favourites,
                    bool active) {
    GridRow& row = page.channelGrid.row(n);
    row.cells = {std::to_string(n),
                 name,
                 std::to_string(1 + n % 7),
                 std::to_string(100 + n),
                 std::to_string(500 + n),
                 std::to_string(600 + n),
                 "65535",
                 "65535",
                 std::to_string(500 + n),
                 active ? "04" : "00",
                 std::to_string(favourites)};
    row.colour = active ? kColourChannel : kColourGrey;
}

namespace {

// Through setCell, as the page reader fills its lists: the channel numbers stay beside
// the rows, as on an opened page.
void SetEntry(Grid& list, int slot, std::string name, std::string channel, std::uint32_t colour) {
    list.setCell(slot, fav::Name, std::move(name));
    list.setCell(slot, fav::Channel, std::move(channel));
    list.setColour(slot, colour);
}

void EmptyChannelRow(ListPage& page, int n) {
    FillChannelRow(page, n, "", 0, false);
    Grid& grid = page.channelGrid;
    grid.setCell(n, ch::Transponder, "255");
    grid.setCell(n, ch::Sid, "0");
    for (int c = ch::VPid; c <= ch::Pcr; ++c) grid.setCell(n, c, "65535");
}

}  // namespace

ListPage RandomPage(std::mt19937& rng, int channels) {
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    auto pick = [&](int lo, int hi) {
        return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
    };

    ListPage page;
    page.channelGrid.setRowCount(channels + 1);
    for (int n = 1; n <= channels; ++n) {
        if (chance(15)) {
            EmptyChannelRow(page, n);
            // now and then a blank row that still names lists
            if (chance(20))
                page.channelGrid.setCell(n, ch::Favourites, std::to_string(pick(1, 255)));
            continue;
        }
        std::int64_t set = chance(35) ? 0 : pick(1, 255);
        FillChannelRow(page, n, "CH" + std::to_string(n), set, !chance(15));
        if (chance(4)) {
            static const char* odd[] = {"", "abc", "256", "-1", "007", "+3", "512"};
            page.channelGrid.setCell(n, ch::Favourites, odd[rng() % 7]);
        }
    }
    for (int k = 0; k < fav::Lists; ++k) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        const int used = chance(10) ? fav::Slots : pick(0, std::min(fav::Slots, 2 * channels + 3));
        for (int slot = 1; slot <= used; ++slot) {
            const int n = channels > 0 ? pick(1, channels) : 0;
            std::string text = std::to_string(n);
            const int kind = pick(0, 99);
            if (kind < 4)
                text = std::to_string(channels + 1);  // names no channel
            else if (kind < 6)
                text = "0" + std::to_string(n);
            else if (kind < 8)
                text = "x";
            else if (kind < 10)
                text = std::to_string(channels + pick(2, 5));
            else if (kind < 12)
                text = "0";  // an empty slot in the middle of a list
            SetEntry(list, slot, "CH" + std::to_string(n), text,
                     chance(5) ? kColourGrey : kColourChannel);
        }
        // A new page's slots are already empty ("0", no name); only the colour is set.
        for (int slot = used + 1; slot <= fav::Slots; ++slot)
            list.row(slot).colour = chance(3) ? kColourChannel : kColourGrey;
    }
    page.modified = chance(50);
    return page;
}

ListPage FullPage(int channels) {
    ListPage page;
    page.channelGrid.setRowCount(channels + 1);
    std::vector<std::int64_t> sets(static_cast<size_t>(channels) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k)
        for (int slot = 1; slot <= fav::Slots; ++slot) {
            const int n = 1 + ((slot - 1) * channels / fav::Slots + k * 7) % channels;
            sets[static_cast<size_t>(n)] |= std::int64_t{1} << k;
            SetEntry(page.favouriteGrids[static_cast<size_t>(k)], slot, "CH" + std::to_string(n),
                     std::to_string(n), kColourChannel);
        }
    for (int n = 1; n <= channels; ++n)
        FillChannelRow(page, n, "CH" + std::to_string(n), sets[static_cast<size_t>(n)]);
    return page;
}

}  // namespace rivo::reference

namespace rivo::reference {

std::int64_t HexNumber(const std::string& text, std::int64_t fallback) {
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return fallback;
    return value;
}

namespace {

void RemoveEntry(Grid& list, int slot) {
    list.removeRow(slot);
    list.appendRow(kColourGrey);
    list.setCell(fav::Slots, fav::Name, "");
    list.setCell(fav::Slots, fav::Channel, "0");
    for (int s = slot; s <= fav::Slots; ++s) list.setCell(s, fav::Pos, std::to_string(s));
}

// "Frequenza" as whole MHz the way duplicates are compared: fraction padded or cut to
// six digits, read as hertz (-1 when not a number), through single precision.
std::uint32_t MatchMHz(const std::string& text) {
    const auto comma = text.find(',');
    std::string joined = text + "000000";
    if (comma != std::string::npos) {
        std::string fraction = text.substr(comma + 1) + "000000";
        joined = text.substr(0, comma) + fraction.substr(0, 6);
    }
    const std::int64_t hertz = CellNumber(joined, -1);
    const float single = static_cast<float>(hertz);
    return static_cast<std::uint32_t>(
        static_cast<std::int64_t>(static_cast<double>(single) * 0.000001));
}

// Whether the transponder `later` is the same as the row `earlier` by the duplicate rule.
bool SameTransponder(const std::vector<std::string>& later,
                     const std::vector<std::string>& earlier) {
    for (int c :
         {tp::Tid, tp::Nid, tp::SymbolRate, tp::Fec, tp::Polarisation, tp::Tone, tp::Satellite})
        if (later[static_cast<size_t>(c)] != earlier[static_cast<size_t>(c)]) return false;
    const std::uint32_t a = MatchMHz(later[tp::Frequency]);
    const std::uint32_t b = MatchMHz(earlier[tp::Frequency]);
    return b <= a && std::uint64_t{a} <= std::uint64_t{b} + 2;
}

int ReachableRows(const ListPage& page) { return std::min(page.transponderCount(), 254); }

}  // namespace

void UpdateChannelRow(ListPage& page, int n, InactiveInLists inactive) {
    GridRow& row = page.channelGrid.row(n);
    const std::int64_t vpid = CellNumber(row.cells[ch::VPid], -1);
    const std::int64_t apid = CellNumber(row.cells[ch::APid], -1);
    row.colour = kColourChannel;
    if (vpid == 65535 && apid == 65535)
        row.colour = kColourNoAudioVideo;
    else if (vpid == 65535)
        row.colour = kColourRadio;
    const bool active = (HexNumber(row.cells[ch::Status], 0) & 4) != 0;
    if (!active) row.colour = kColourGrey;
    const bool joins = active || inactive == InactiveInLists::Join;
    const std::int64_t set = CellNumber(row.cells[ch::Favourites], 0);
    std::int64_t inLists = 0;
    for (int k = 1; k <= fav::Lists; ++k) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k - 1)];
        const bool bitSet = ((set >> (k - 1)) & 1) != 0;
        if (bitSet && !joins && inactive == InactiveInLists::Stay) {
            // Its entries stay; nothing is added.
        } else if (bitSet && joins) {
            bool held = false;
            for (int s = 1; s <= fav::Slots; ++s)
                held = held || CellNumber(list.cell(s, fav::Channel), -1) == n;
            for (int s = 1; s <= fav::Slots && !held; ++s) {
                if (list.cell(s, fav::Channel) != "0") continue;
                list.setCell(s, fav::Channel, std::to_string(n));
                held = true;
            }
            if (held) inLists |= std::int64_t{1} << (k - 1);
        } else {
            for (int s = fav::Slots; s >= 1; --s)
                if (CellNumber(list.cell(s, fav::Channel), -1) == n) RemoveEntry(list, s);
        }
        // Every entry of the channel shows its name and colour.
        for (int s = 1; s <= fav::Slots; ++s) {
            if (CellNumber(list.cell(s, fav::Channel), -1) != n) continue;
            list.setCell(s, fav::Name, row.cells[ch::Name]);
            list.setColour(s, row.colour);
        }
    }
    // "Preferenza" then names the lists holding an active channel, when it was a set of
    // lists; an inactive one's bits stay.
    if (joins && set >= 0 && set <= 255 && inLists != set)
        row.cells[ch::Favourites] = std::to_string(inLists);
}

ChannelClipboard CopyChannels(const ListPage& page, int first, int last) {
    ChannelClipboard clipboard;
    std::vector<std::int64_t> met;
    for (int row = first; row <= last; ++row) {
        const Grid& grid = page.channelGrid;
        ClipChannel c;
        c.name = grid.cell(row, ch::Name).substr(0, 16);
        c.status = StatusValue(grid.cell(row, ch::Status));
        const std::int64_t t = CellInteger(grid.cell(row, ch::Transponder));
        c.transponderMark = t + 1000;
        c.sid = CellInteger(grid.cell(row, ch::Sid));
        c.vPid = CellInteger(grid.cell(row, ch::VPid));
        c.aPid = CellInteger(grid.cell(row, ch::APid));
        c.vEcm = CellInteger(grid.cell(row, ch::VEcm));
        c.aEcm = CellInteger(grid.cell(row, ch::AEcm));
        c.pcr = CellInteger(grid.cell(row, ch::Pcr));
        c.favourites = CellInteger(grid.cell(row, ch::Favourites));
        clipboard.channels.push_back(c);
        if (std::find(met.begin(), met.end(), t) != met.end()) continue;
        met.push_back(t);
        if (t < 1 || t > ReachableRows(page)) continue;
        const Grid& tps = page.transponderGrid;
        const int n = static_cast<int>(t);
        if (tps.cell(n, tp::Frequency) == "0") continue;  // a free row carries nothing
        ClipTransponder x;
        const bool tone = tps.cell(n, tp::Tone) == "On";
        x.intermediateHertz = FrequencyHertz(tps.cell(n, tp::Frequency)) -
                              std::int64_t{tone ? page.lnbHigh : page.lnbLow} * 1000000;
        x.tid = CellInteger(tps.cell(n, tp::Tid));
        x.nid = CellInteger(tps.cell(n, tp::Nid));
        x.channels = CellInteger(tps.cell(n, tp::Channels));
        x.symbolRate = CellInteger(tps.cell(n, tp::SymbolRate));
        x.fec = FecCode(tps.cell(n, tp::Fec));
        x.flags = static_cast<std::uint8_t>(
            (tps.cell(n, tp::Polarisation) == "H" ? 2 : 0) + (tone ? 1 : 0) +
            (tps.cell(n, tp::Satellite) == page.satelliteB ? 8 : 0));
        x.transponderMark = t + 1000;
        clipboard.transponders.push_back(x);
    }
    clipboard.sourceImage = page.imageId;
    clipboard.hasContent = true;
    return clipboard;
}

PasteOutcome PasteChannels(ListPage& target, int r, const ChannelClipboard& clipboard,
                           bool insert) {
    ListPage page = target;
    const int count = page.channelCount();
    const int c = static_cast<int>(clipboard.channels.size());
    const bool sameImage = clipboard.sourceImage == page.imageId;
    Grid& tps = page.transponderGrid;

    std::vector<int> freeRows;
    for (int row = 1; row <= ReachableRows(page); ++row) {
        bool named = false;
        for (int i = 1; i <= count; ++i)
            named = named || page.channelGrid.cell(i, ch::Transponder) == std::to_string(row);
        if (!named && tps.cell(row, tp::Frequency) == "0") freeRows.push_back(row);
    }
    std::vector<std::pair<std::string, int>> reused;  // mark text, row
    if (!sameImage) {
        size_t next = 0;
        for (const ClipTransponder& x : clipboard.transponders) {
            const bool tone = (x.flags & 1) != 0;
            std::vector<std::string> cells(tp::Count);
            cells[tp::Num] = std::to_string(x.transponderMark);
            cells[tp::Frequency] =
                FrequencyText(static_cast<std::int32_t>(x.intermediateHertz),
                              static_cast<std::int32_t>(tone ? page.lnbHigh : page.lnbLow));
            cells[tp::Tid] = std::to_string(x.tid);
            cells[tp::Nid] = std::to_string(x.nid);
            cells[tp::Channels] = std::to_string(x.channels);
            cells[tp::SymbolRate] = std::to_string(x.symbolRate);
            cells[tp::Fec] = FecText(x.fec);
            cells[tp::Polarisation] = (x.flags & 2) != 0 ? "H" : "V";
            cells[tp::Tone] = tone ? "On" : "Off";
            cells[tp::Satellite] = (x.flags & 8) != 0 ? page.satelliteB : page.satelliteA;
            int found = 0;
            for (int row = 1; row <= ReachableRows(page) && found == 0; ++row)
                if (tps.cell(row, tp::Frequency) != "0" &&
                    SameTransponder(cells, tps.row(row).cells))
                    found = row;
            if (found != 0) {
                reused.emplace_back(cells[tp::Num], found);
                continue;
            }
            if (next == freeRows.size()) return PasteOutcome::TooManyTransponders;
            tps.row(freeRows[next]).cells = cells;
            tps.setColour(freeRows[next], kColourInUse);
            ++next;
        }
    }
    for (const ClipTransponder& x : clipboard.transponders)
        if (std::find(page.symbolRates.begin(), page.symbolRates.end(), x.symbolRate) ==
            page.symbolRates.end())
            return PasteOutcome::BadSymbolRate;

    if (insert) {
        for (int i = std::max(count - c + 1, r); i <= count; ++i) ClearChannelRow(page, i);
        for (int i = count - c; i >= r; --i) MoveChannelRow(page, i, i + c);
    } else {
        for (int i = r; i <= std::min(count, r + c - 1); ++i) ClearChannelRow(page, i);
    }
    const int lastPasted = std::min(count, r + c - 1);
    for (int i = r; i <= lastPasted; ++i) {
        const ClipChannel& x = clipboard.channels[static_cast<size_t>(i - r)];
        const std::int64_t t = sameImage ? x.transponderMark - 1000 : x.transponderMark;
        page.channelGrid.row(i).cells = {
            "",
            x.name,
            std::to_string(t),
            std::to_string(x.sid),
            std::to_string(x.vPid),
            std::to_string(x.aPid),
            std::to_string(x.vEcm),
            std::to_string(x.aEcm),
            std::to_string(x.pcr),
            StatusText(x.status),
            std::to_string(page.layout == ListLayout::Single ? 0 : x.favourites & 0xFF)};
    }
    if (!sameImage) {
        // Pasted channels find the row that received their transponder by its mark.
        for (int i = r; i <= lastPasted; ++i) {
            std::string& text = page.channelGrid.row(i).cells[ch::Transponder];
            int found = 0;
            for (int row = 1; row <= page.transponderCount() && found == 0; ++row)
                if (tps.cell(row, tp::Num) == text) found = row;
            for (const auto& [mark, row] : reused)
                if (found == 0 && mark == text) found = row;
            if (found != 0) text = std::to_string(found);
        }
        for (int row = 1; row <= page.transponderCount(); ++row)
            tps.setCell(row, tp::Num, std::to_string(row));
        for (int i = 1; i <= count; ++i) {
            std::string& text = page.channelGrid.row(i).cells[ch::Transponder];
            const std::int64_t t = CellNumber(text, -1000000);
            if (t == -1000000 || t > 255) text = "255";
        }
    }
    for (int i = r; i <= lastPasted; ++i) UpdateChannelRow(page, i, InactiveInLists::Join);
    Renumber(page);
    page.modified = true;
    target = std::move(page);
    return PasteOutcome::Pasted;
}

}  // namespace rivo::reference
