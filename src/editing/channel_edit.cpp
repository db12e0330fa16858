// The channel commands of the "Canali" and "Preferiti" tabs: delete, insert, go to, move a
// block, and move a favourites entry, each keeping the favourites lists in step.
#include "editing/channel_edit.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "editing/channel_rows.h"

namespace rivo {

namespace {

std::int64_t FavouriteSet(const GridRow& row) {
    return ReadCellNumber(row.cells[ch::Favourites], 0);
}

// A channel whose "Preferenza" is not 0 takes its favourites entries along when it
// changes row; one whose "Preferenza" is 0 leaves them behind under its old number.
bool CarriesEntries(const GridRow& row) { return FavouriteSet(row) != 0; }

// The favourites side of a whole command, done in one pass over each list, before the
// channel rows change (entries are read against the rows as they stand):
//  - takeOut(n, k) says whether this entry naming channel n leaves list k (as the
//    first entry of n that ClearChannelRow takes out, before any channel moves);
//  - renumber(n) is the number that entries naming channel n name afterwards.
// A list that loses entries closes up, gains grey empty slots at the end and has its
// "Pos." column rewritten.
template <typename TakeOut, typename Renumber>
void RewriteFavourites(ListPage& page, TakeOut takeOut, Renumber renumber) {
    const int channels = page.channelCount();
    for (int k = 0; k < fav::Lists; ++k) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        const int slots = list.rowCount() - 1;
        int write = 1;
        bool removed = false;
        for (int read = 1; read <= slots; ++read) {
            const int n = FavouriteEntryChannel(list.cell(read, fav::Channel), channels);
            if (n != 0) {
                if (takeOut(n, k)) {
                    removed = true;
                    continue;
                }
                const int to = renumber(n);
                if (to != n) list.setCell(read, fav::Channel, std::to_string(to));
            }
            if (write != read) list.copyRow(read, write);
            ++write;
        }
        if (!removed) continue;
        for (int s = write; s <= slots; ++s)
            list.setRow(s, {{std::string(), std::string(), "0"}, kColourGrey});
    }
}

// Lists (bit k for list k) from which the first entry of each channel first .. last is
// taken out: the lists its "Preferenza" names.
class FirstEntriesOut {
public:
    FirstEntriesOut(const ListPage& page, int first, int last)
        : first_(first), lists_(static_cast<size_t>(last - first + 1)) {
        for (int n = first; n <= last; ++n)
            lists_[static_cast<size_t>(n - first)] =
                static_cast<std::uint8_t>(FavouriteSet(page.channelGrid.row(n)) & 0xFF);
    }
    bool operator()(int n, int k) {
        if (n < first_ || n >= first_ + static_cast<int>(lists_.size())) return false;
        std::uint8_t& lists = lists_[static_cast<size_t>(n - first_)];
        const auto bit = static_cast<std::uint8_t>(1u << k);
        if ((lists & bit) == 0) return false;
        lists = static_cast<std::uint8_t>(lists & ~bit);
        return true;
    }

private:
    int first_;
    std::vector<std::uint8_t> lists_;
};

std::vector<int> IdentityNumbers(int channels) {
    std::vector<int> numbers(static_cast<size_t>(channels) + 1);
    for (int n = 0; n <= channels; ++n) numbers[static_cast<size_t>(n)] = n;
    return numbers;
}

bool ValidBlock(const ListPage& page, int first, int last) {
    return first >= 1 && first <= last && last <= page.channelCount();
}

EditResult ChangedPage(ListPage& page, int focusRow = 0) {
    page.modified = true;
    return {true, focusRow};
}

}  // namespace

// ---- deleting and inserting ---------------------------------------------------------

EditResult DeleteChannels(ListPage& page, int first, int last, bool closeGap, Progress& progress) {
    if (!ValidBlock(page, first, last)) return {};
    const int channels = page.channelCount();
    const int count = last - first + 1;
    progress.show(0);
    progress.status(Tr(kDeleteStatus));

    const Grid& rows = page.channelGrid;
    // The channels below the block move up by count rows, in ascending order, so each
    // one's entries come to name its new row. Entries left behind under a number (those
    // of a channel whose "Preferenza" is 0, or a second entry of a deleted channel) keep
    // that number.
    RewriteFavourites(page, FirstEntriesOut(page, first, last), [&](int n) {
        return closeGap && n > last && CarriesEntries(rows.row(n)) ? n - count : n;
    });
    for (int n = first; n <= last; ++n) WriteEmptyChannel(page.channelGrid.row(n));
    // Closing the gap, the emptied rows end up as the last count rows.
    if (closeGap) page.channelGrid.rotateRows(first, last + 1, channels + 1);
    progress.set(100);
    progress.status("");
    progress.hide();
    return ChangedPage(page);
}

EditResult DeleteSelectedChannels(ListPage& page, int first, int last, UserPrompts& prompts,
                                  Progress& progress) {
    if (!ValidBlock(page, first, last)) return {};
    // The question speaks of "the selected channel"; for a block the count stands on a
    // line of its own, so the user sees how many rows the answer takes.
    std::string question = Tr(kDeleteQuestion);
    const int count = last - first + 1;
    if (count > 1)
        question +=
            "\n" + Fmt(TrN("(%1 canale selezionato)", "(%1 canali selezionati)", count), count);
    const Answer answer =
        prompts.askDiscarding(question, Tr(kDeleteTitle), Icon::Warning, Buttons::YesNoCancel);
    if (answer != Answer::Yes && answer != Answer::No) return {};
    return DeleteChannels(page, first, last, answer == Answer::Yes, progress);
}

EditResult InsertEmptyChannel(ListPage& page, int row, UserPrompts& prompts) {
    const int channels = page.channelCount();
    if (row < 1 || row > channels) return {};
    const Grid& rows = page.channelGrid;
    if (rows.colour(channels) != kColourGrey &&
        prompts.askDiscarding(Tr(kInsertQuestion), Tr(kInsertTitle), Icon::Warning,
                              Buttons::YesNo) != Answer::Yes)
        return {};

    // The last channel is lost: it leaves its favourites lists before anything moves,
    // whatever its colour (an inactive channel may still stand in lists). Channels
    // row .. N-1 move down one row, from the bottom up.
    RewriteFavourites(page, FirstEntriesOut(page, channels, channels), [&](int n) {
        return n >= row && n < channels && CarriesEntries(rows.row(n)) ? n + 1 : n;
    });
    WriteEmptyChannel(page.channelGrid.row(channels));
    page.channelGrid.rotateRows(row, channels, channels + 1);
    return ChangedPage(page);
}

// ---- the channel number dialog ------------------------------------------------------

int ChannelNumberValue(const std::string& text) {
    const std::int64_t value = ReadCellNumber(text, -1);
    return value < INT_MIN || value > INT_MAX ? -1 : static_cast<int>(value);
}

bool ChannelNumberAccepted(const std::string& text, int limit) {
    const int value = ChannelNumberValue(text);
    return value > 0 && value < limit;
}

bool CheckChannelNumber(const std::string& text, int limit, UserPrompts& prompts) {
    if (ChannelNumberAccepted(text, limit)) return true;
    prompts.tell(Tr(kChannelNumberError), Tr(kChannelNumberErrorTitle), Icon::Error);
    return false;
}

int GoToLimit(const ListPage& page) { return page.channelGrid.rowCount(); }

int MoveLimit(const ListPage& page, int first, int last) {
    return page.channelGrid.rowCount() - (last - first);
}

EditResult GoToChannel(const ListPage& page, int target) {
    if (target < 1 || target > page.channelCount()) return {};
    return {false, target};
}

// ---- moving channels ----------------------------------------------------------------

// Row by row, a block of n rows is moved by n passes that each turn the rows between
// the block and its target one place (through a spare row), so that every channel
// move targets a number no entry holds at that moment. A channel that carries its
// entries ("Preferenza" not 0) takes them to its final row. Entries a channel leaves
// behind (its "Preferenza" is 0) stay under their number until the first channel that
// carries entries moves into that row, and from then on follow that channel. Both are
// worked out here directly from the rotation instead of replaying the passes. The spare
// row is only a holding place: an entry that happens to read N + 1 names no channel and
// is left as it is, rather than being taken for a channel passing through the spare row.
EditResult MoveChannels(ListPage& page, int first, int last, int target, Progress& progress) {
    if (!ValidBlock(page, first, last)) return {};
    const int channels = page.channelCount();
    const int n = last - first + 1;
    if (target < 1 || target > channels - n + 1) return {};
    progress.status(Tr(kMoveStatus));
    progress.show(0);

    const bool down = target > first;
    const int start = down ? first : target;  // the rows that turn: start .. end
    const int end = down ? target + n - 1 : last;
    const int m = end - start + 1;
    const Grid& rows = page.channelGrid;

    std::vector<char> carrier(static_cast<size_t>(m));
    for (int j = 0; j < m; ++j)
        carrier[static_cast<size_t>(j)] = CarriesEntries(rows.row(start + j));
    // Where the channel that starts at start + j ends.
    auto finalRow = [&](int j) {
        return down ? start + ((j - n) % m + m) % m : start + (j + n) % m;
    };

    // Distance to the nearest carrier in the order in which channels arrive at a row:
    // moving down, row start + j receives the channels of indexes j+1, j+2, ... (mod m);
    // moving up, those of indexes j-1, j-2, ... (mod m).
    constexpr int kNone = INT_MAX;
    std::vector<int> distance(static_cast<size_t>(m), kNone);
    int d = kNone;
    if (down) {
        for (int i = 2 * m - 1; i >= 0; --i) {
            d = carrier[static_cast<size_t>(i % m)] ? 0 : (d == kNone ? kNone : d + 1);
            if (i < m) distance[static_cast<size_t>(i)] = d;
        }
    } else {
        for (int i = 0; i < 2 * m; ++i) {
            d = carrier[static_cast<size_t>(i % m)] ? 0 : (d == kNone ? kNone : d + 1);
            if (i >= m) distance[static_cast<size_t>(i - m)] = d;
        }
    }

    std::vector<int> renumber = IdentityNumbers(channels);
    for (int j = 0; j < m; ++j) {
        int to = start + j;
        if (carrier[static_cast<size_t>(j)]) {
            to = finalRow(j);
        } else {
            const int from = down ? (j + 1) % m : (j - 1 + m) % m;
            const int dist = distance[static_cast<size_t>(from)];
            if (dist < n) to = finalRow(down ? (from + dist) % m : ((from - dist) % m + m) % m);
        }
        renumber[static_cast<size_t>(start) + static_cast<size_t>(j)] = to;
    }

    RewriteFavourites(
        page, [](int, int) { return false; },
        [&](int number) { return renumber[static_cast<size_t>(number)]; });
    if (down)
        page.channelGrid.rotateRows(start, start + n, end + 1);
    else
        page.channelGrid.rotateRows(start, end + 1 - n, end + 1);
    progress.hide();
    progress.status("");
    return ChangedPage(page);
}

// ---- favourites order ---------------------------------------------------------------

namespace {

bool ValidSlot(const ListPage& page, int list, int slot) {
    if (list < 0 || list >= fav::Lists) return false;
    return slot >= 1 && slot < page.favouriteGrids[static_cast<size_t>(list)].rowCount();
}

EditResult ExchangeSlots(ListPage& page, int list, int slot, int other) {
    Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    grid.exchangeRows(slot, other);
    return ChangedPage(page, other);
}

EditResult RefuseFavouriteMove(UserPrompts& prompts, int slot) {
    prompts.tell(Tr(kFavouriteEndMessage), Tr(kFavouriteEndTitle), Icon::Error);
    return {false, slot};
}

}  // namespace

EditResult MoveFavouriteDown(ListPage& page, int list, int slot, UserPrompts& prompts) {
    if (!ValidSlot(page, list, slot)) return {};
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    if (slot + 1 >= grid.rowCount() || grid.colour(slot + 1) == kColourGrey)
        return RefuseFavouriteMove(prompts, slot);
    return ExchangeSlots(page, list, slot, slot + 1);
}

EditResult MoveFavouriteUp(ListPage& page, int list, int slot, UserPrompts& prompts) {
    if (!ValidSlot(page, list, slot)) return {};
    if (slot == 1) return RefuseFavouriteMove(prompts, slot);
    return ExchangeSlots(page, list, slot, slot - 1);
}

bool FavouriteMoveAllowed(const ListPage& page, int list, int from, int to) {
    if (from == to || !ValidSlot(page, list, from) || !ValidSlot(page, list, to)) return false;
    if (to < from) return true;
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    for (int slot = from + 1; slot <= to; ++slot)
        if (grid.colour(slot) == kColourGrey) return false;
    return true;
}

EditResult MoveFavourite(ListPage& page, int list, int from, int to) {
    if (!FavouriteMoveAllowed(page, list, from, to)) return {};
    Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    // The entry travels, every row it passes steps one place towards where it came from.
    if (from < to)
        grid.rotateRows(from, from + 1, to + 1);
    else
        grid.rotateRows(to, from, from + 1);
    return ChangedPage(page, to);
}

}  // namespace rivo
