// The channel properties dialog's logic: filling its values from a row or a selection, and
// writing them back on Ok (status bits, encoding, favourites lists, colours).
#include "editing/channel_dialog_logic.h"

#include <vector>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "text/translate.h"

namespace rivo {

namespace {

constexpr int kBitActive = 4, kBitFavourite = 2, kBitLocked = 1;
constexpr int kEncodingShift = 5;
constexpr const char* kNoVideoOrAudio = "65535";

// The cells the dialog may touch: the edited channel rows and the eight favourites
// lists (UpdateChannelRow adds and removes their entries). Kept to tell the caller
// whether anything changed.
struct Snapshot {
    std::vector<GridRow> rows;
    std::array<Grid, fav::Lists> lists;

    std::vector<int> rowNumbers;

    Snapshot(const ListPage& page, int top, int bottom) : lists(page.favouriteGrids) {
        for (int r = top; r <= bottom; ++r) {
            rows.push_back(page.channelGrid.row(r));
            rowNumbers.push_back(r);
        }
    }
    Snapshot(const ListPage& page, const std::vector<int>& selected)
        : lists(page.favouriteGrids), rowNumbers(selected) {
        for (const int r : selected) rows.push_back(page.channelGrid.row(r));
    }
    bool differs(const ListPage& page, int /*top*/) const {
        for (size_t i = 0; i < rows.size(); ++i)
            if (!(rows[i].cells == page.channelGrid.row(rowNumbers[i]).cells) ||
                rows[i].colour != page.channelGrid.colour(rowNumbers[i]))
                return true;
        return !(lists == page.favouriteGrids);
    }
};

CheckState FromBit(bool set) { return set ? CheckState::Checked : CheckState::Unchecked; }

// Checked adds the bit, unchecked adds nothing, mixed keeps the row's own bit.
std::int64_t BitFrom(CheckState state, std::int64_t bit, std::int64_t own) {
    switch (state) {
        case CheckState::Checked:
            return bit;
        case CheckState::Unchecked:
            return 0;
        case CheckState::Mixed:
            return own & bit;
    }
    return 0;
}

int EncodingBits(const ChannelDialogValues& values, std::uint8_t oldStatus) {
    if (values.keepEachEncoding) return oldStatus & 0xE0;
    if (values.encoding < 0 || values.encoding >= kEncodingCount) return 0;
    return values.encoding << kEncodingShift;
}

// The new status byte: encoding, then the three boxes. Bits 3 and 4 are never kept.
std::uint8_t NewStatus(const ChannelDialogValues& values, std::uint8_t oldStatus) {
    const std::int64_t status = EncodingBits(values, oldStatus) +
                                BitFrom(values.active, kBitActive, oldStatus) +
                                BitFrom(values.favourite, kBitFavourite, oldStatus) +
                                BitFrom(values.locked, kBitLocked, oldStatus);
    return static_cast<std::uint8_t>(status);
}

std::int64_t NewFavourites(const ChannelDialogValues& values, std::int64_t oldFavourites) {
    std::int64_t sum = 0;
    for (int n = 0; n < fav::Lists; ++n)
        sum += BitFrom(values.lists[static_cast<size_t>(n)], std::int64_t{1} << n, oldFavourites);
    return sum;
}

bool ValidRow(const ListPage& page, int row) { return row >= 1 && row <= page.channelCount(); }

std::vector<int> BlockRows(int top, int bottom) {
    std::vector<int> rows;
    for (int r = top; r <= bottom; ++r) rows.push_back(r);
    return rows;
}

// A selection: rows in ascending order, each once, all on the page.
bool ValidSelection(const ListPage& page, const std::vector<int>& rows) {
    if (rows.empty()) return false;
    for (size_t i = 0; i < rows.size(); ++i)
        if (!ValidRow(page, rows[i]) || (i > 0 && rows[i] <= rows[i - 1])) return false;
    return true;
}

}  // namespace

std::array<const char*, kEncodingCount> EncodingNames() {
    // The systems' own names are the same in every language; only "none" is translated.
    return {Tr("NESSUNA"), "SECA", "NAGRAVISION", "BETACRYPT", "IRDETO", "VIACESS"};
}

RowEditStart FillFromRow(const ListPage& page, int row, ChannelDialogValues& values) {
    const Grid& grid = page.channelGrid;
    if (!ValidRow(page, row)) throw std::out_of_range("channel row " + std::to_string(row));

    // Read every number first: a conversion error leaves the values as they were.
    const std::uint8_t status = StatusValue(grid.cell(row, ch::Status));
    const std::int64_t favourites = CellInteger(grid.cell(row, ch::Favourites));
    const std::int64_t transponder = CellInteger(grid.cell(row, ch::Transponder));

    const bool split = page.layout == ListLayout::Split;
    values.favouriteCaption = split ? Tr("Segnagruppi") : Tr("Preferiti");
    values.caption = Fmt(Tr("Dati del canale %1"), row);
    for (int b = 0; b < box::Count; ++b)
        values.boxes[static_cast<size_t>(b)] = grid.cell(row, ch::Name + b);

    values.active = FromBit(status & kBitActive);
    values.favourite = FromBit(status & kBitFavourite);
    values.locked = FromBit(status & kBitLocked);
    const int encoding = status >> kEncodingShift;
    values.encoding = encoding < kEncodingCount ? encoding : kNoEncoding;
    values.keepEachEncoding = false;

    values.listsVisible = split;
    for (int n = 0; n < fav::Lists; ++n)
        values.lists[static_cast<size_t>(n)] = FromBit((favourites >> n) & 1);

    // The transponder number names a row of the transponder grid; any other number
    // (255 for an empty channel, 0, beyond the table) shows nothing.
    values.transponder = {};
    if (transponder >= 1 && transponder <= page.transponderCount()) {
        const int t = static_cast<int>(transponder);
        for (int v = 0; v < tpvalue::Count; ++v)
            values.transponder[static_cast<size_t>(v)] =
                page.transponderGrid.cell(t, tp::Frequency + v);
        values.transponder[tpvalue::Frequency] =
            Fmt(Tr("%1 Mhz"), values.transponder[tpvalue::Frequency]);
    }

    return RowEditStart{row, values.active == CheckState::Checked, favourites};
}

bool ApplyRowOk(ListPage& page, const RowEditStart& start, const ChannelDialogValues& values) {
    const int r = start.row;
    if (!ValidRow(page, r)) return false;
    Grid& grid = page.channelGrid;
    const Snapshot before(page, r, r);
    const bool wasModified = page.modified;
    const bool activeNow = values.active == CheckState::Checked;

    // An inactive channel that stays inactive is left as it is: its slot counts as free.
    if (activeNow || start.wasActive) {
        for (int b = 0; b < box::Count; ++b) {
            const std::string& text = values.boxes[static_cast<size_t>(b)];
            if (text != grid.cell(r, ch::Name + b)) page.modified = true;
            grid.setCell(r, ch::Name + b, text);
        }

        const std::uint8_t status = NewStatus(values, 0);
        const std::string statusText = StatusText(status);
        if (statusText != grid.cell(r, ch::Status)) page.modified = true;
        grid.setCell(r, ch::Status, statusText);

        const std::int64_t favourites = NewFavourites(values, 0);
        grid.setCell(r, ch::Favourites, std::to_string(favourites));

        UpdateChannelRow(r, page);
        if (favourites != start.favourites) page.modified = true;
    }

    // The row's colour follows the texts as the dialog left them, whether written or not.
    const bool noVideo = grid.cell(r, ch::VPid) == kNoVideoOrAudio;
    const bool noAudio = grid.cell(r, ch::APid) == kNoVideoOrAudio;
    std::uint32_t colour = kColourChannel;
    if (noVideo && !noAudio) colour = kColourRadio;
    if (noVideo && noAudio) colour = kColourNoAudioVideo;
    if (!activeNow) colour = kColourGrey;
    grid.setColour(r, colour);

    return before.differs(page, r) || page.modified != wasModified;
}

ChannelDialogValues FillFromSelection(const ListPage& page, int top, int bottom) {
    if (!ValidRow(page, top) || !ValidRow(page, bottom) || top > bottom)
        throw std::out_of_range("channel rows " + std::to_string(top) + ".." +
                                std::to_string(bottom));
    return FillFromSelection(page, BlockRows(top, bottom));
}

ChannelDialogValues FillFromSelection(const ListPage& page, const std::vector<int>& rows) {
    if (!ValidSelection(page, rows))
        throw std::out_of_range("channel rows: not a selection of the page");
    const Grid& grid = page.channelGrid;
    const int top = rows.front();

    std::array<bool, box::Count> mixed{};
    int statusAll = 0xFF, statusAny = 0;
    std::int64_t favouritesAll = 0xFF, favouritesAny = 0;
    for (const int r : rows) {
        for (int b = 0; b < box::Count; ++b)
            if (grid.cell(r, ch::Name + b) != grid.cell(top, ch::Name + b))
                mixed[static_cast<size_t>(b)] = true;
        const std::uint8_t status = StatusValue(grid.cell(r, ch::Status));
        const std::int64_t favourites = CellInteger(grid.cell(r, ch::Favourites));
        statusAll &= status;
        statusAny |= status;
        favouritesAll &= favourites;
        favouritesAny |= favourites;
    }
    const auto state = [](std::int64_t all, std::int64_t any, std::int64_t bit) {
        if (all & bit) return CheckState::Checked;
        if (any & bit) return CheckState::Mixed;
        return CheckState::Unchecked;
    };

    ChannelDialogValues values;  // a fresh form: caption, "Preferito", empty values
    for (int b = 0; b < box::Count; ++b)
        if (!mixed[static_cast<size_t>(b)])
            values.boxes[static_cast<size_t>(b)] = grid.cell(top, ch::Name + b);
    values.active = state(statusAll, statusAny, kBitActive);
    values.favourite = state(statusAll, statusAny, kBitFavourite);
    values.locked = state(statusAll, statusAny, kBitLocked);
    for (int n = 0; n < fav::Lists; ++n)
        values.lists[static_cast<size_t>(n)] =
            state(favouritesAll, favouritesAny, std::int64_t{1} << n);
    // Rows whose encodings differ keep their own unless the user picks one: writing the
    // first row's to every row would change rows the user never touched.
    const int encoding = StatusValue(grid.cell(top, ch::Status)) >> kEncodingShift;
    values.keepEachEncoding = ((statusAll ^ statusAny) >> kEncodingShift) != 0;
    values.encoding =
        values.keepEachEncoding || encoding >= kEncodingCount ? kNoEncoding : encoding;
    values.listsVisible = page.layout == ListLayout::Split;
    return values;
}

bool ApplySelectionOk(ListPage& page, int top, int bottom, const ChannelDialogValues& values) {
    if (!ValidRow(page, top) || !ValidRow(page, bottom) || top > bottom) return false;
    return ApplySelectionOk(page, BlockRows(top, bottom), values);
}

bool ApplySelectionOk(ListPage& page, const std::vector<int>& rows,
                      const ChannelDialogValues& values) {
    if (!ValidSelection(page, rows)) return false;
    Grid& grid = page.channelGrid;
    const int top = rows.front();

    // Every row's numbers are read before the first row is written, so a cell that
    // cannot be read leaves the whole selection untouched.
    std::vector<std::uint8_t> statuses;
    std::vector<std::int64_t> favourites;
    for (const int r : rows) {
        statuses.push_back(StatusValue(grid.cell(r, ch::Status)));
        favourites.push_back(CellInteger(grid.cell(r, ch::Favourites)));
    }

    const Snapshot before(page, rows);
    const bool wasModified = page.modified;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        for (int b = 0; b < box::Count; ++b) {
            const std::string& text = values.boxes[static_cast<size_t>(b)];
            if (!text.empty()) grid.setCell(r, ch::Name + b, text);
        }
        grid.setCell(r, ch::Status, StatusText(NewStatus(values, statuses[i])));
        grid.setCell(r, ch::Favourites, std::to_string(NewFavourites(values, favourites[i])));
    }
    // Each row's lists follow it, in row order, with each list read once: the same
    // result as updating row after row, at a cost that thousands of rows can afford.
    UpdateChannelRows(rows, page, InactiveInLists::Leave);
    page.modified = true;
    return before.differs(page, top) || !wasModified;
}

}  // namespace rivo
