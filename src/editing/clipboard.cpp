// Copy and paste of channels: the clipboard with the transponders its channels use, and
// the paste that reuses or places transponders in the target page.
#include "editing/clipboard.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/transponders.h"
#include "text/translate.h"

namespace rivo {

namespace {

constexpr std::int64_t kHertzPerMHz = 1000000;

ClipTransponder ClipTransponderFromRow(const ListPage& page, int t) {
    const Grid& grid = page.transponderGrid;
    ClipTransponder clip;
    const bool toneOn = grid.cell(t, tp::Tone) == "On";
    const std::int64_t oscillator = toneOn ? page.lnbHigh : page.lnbLow;
    clip.intermediateHertz =
        FrequencyHertz(grid.cell(t, tp::Frequency)) - oscillator * kHertzPerMHz;
    clip.tid = CellInteger(grid.cell(t, tp::Tid));
    clip.nid = CellInteger(grid.cell(t, tp::Nid));
    clip.channels = CellInteger(grid.cell(t, tp::Channels));
    clip.symbolRate = CellInteger(grid.cell(t, tp::SymbolRate));
    clip.fec = FecCode(grid.cell(t, tp::Fec));
    clip.flags = static_cast<std::uint8_t>(
        (grid.cell(t, tp::Polarisation) == "H" ? 2 : 0) + (toneOn ? 1 : 0) +
        (grid.cell(t, tp::Satellite) == page.satelliteB ? 8 : 0));
    clip.transponderMark = t + kTransponderMark;
    return clip;
}

ClipChannel ClipChannelFromRow(const Grid& grid, int row) {
    ClipChannel clip;
    clip.name = grid.cell(row, ch::Name).substr(0, 16);
    clip.status = StatusValue(grid.cell(row, ch::Status));
    clip.transponderMark = CellInteger(grid.cell(row, ch::Transponder)) + kTransponderMark;
    clip.sid = CellInteger(grid.cell(row, ch::Sid));
    clip.vPid = CellInteger(grid.cell(row, ch::VPid));
    clip.aPid = CellInteger(grid.cell(row, ch::APid));
    clip.vEcm = CellInteger(grid.cell(row, ch::VEcm));
    clip.aEcm = CellInteger(grid.cell(row, ch::AEcm));
    clip.pcr = CellInteger(grid.cell(row, ch::Pcr));
    clip.favourites = CellInteger(grid.cell(row, ch::Favourites));
    return clip;
}

void WriteClipChannel(Grid& grid, int row, const ClipChannel& clip, std::string transponder) {
    GridRow target;
    target.cells.resize(ch::Count);
    target.cells[ch::Name] = clip.name;
    target.cells[ch::Transponder] = std::move(transponder);
    target.cells[ch::Sid] = std::to_string(clip.sid);
    target.cells[ch::VPid] = std::to_string(clip.vPid);
    target.cells[ch::APid] = std::to_string(clip.aPid);
    target.cells[ch::VEcm] = std::to_string(clip.vEcm);
    target.cells[ch::AEcm] = std::to_string(clip.aEcm);
    target.cells[ch::Pcr] = std::to_string(clip.pcr);
    target.cells[ch::Status] = StatusText(clip.status);
    target.cells[ch::Favourites] = std::to_string(clip.favourites);
    target.colour =
        ChannelColour(target.cells[ch::VPid], target.cells[ch::APid], target.cells[ch::Status]);
    grid.setRow(row, std::move(target));
}

// The cells a clipboard transponder takes in the target page ("Num." left empty).
std::vector<std::string> ClipTransponderCells(const ListPage& page, const ClipTransponder& clip) {
    std::vector<std::string> cells(tp::Count);
    const bool toneOn = (clip.flags & 1) != 0;
    const std::int64_t oscillator = toneOn ? page.lnbHigh : page.lnbLow;
    cells[tp::Frequency] = HertzFrequencyText(clip.intermediateHertz + oscillator * kHertzPerMHz);
    cells[tp::Tid] = std::to_string(clip.tid);
    cells[tp::Nid] = std::to_string(clip.nid);
    cells[tp::Channels] = std::to_string(clip.channels);
    cells[tp::SymbolRate] = std::to_string(clip.symbolRate);
    cells[tp::Fec] = FecText(clip.fec);
    cells[tp::Polarisation] = (clip.flags & 2) != 0 ? "H" : "V";
    cells[tp::Tone] = toneOn ? "On" : "Off";
    cells[tp::Satellite] = (clip.flags & 8) != 0 ? page.satelliteB : page.satelliteA;
    return cells;
}

// Where each clipboard transponder goes in another image: onto the lowest row of the
// target that already holds the same transponder (the rule that merges duplicates), or
// else onto the next free row. A transponder met earlier in the same paste counts as
// held once it has its row, so duplicates in the copy share one row too.
struct TransponderPlacement {
    std::vector<int> rows;                        // per clipboard transponder; 0 = no room left
    std::vector<bool> fresh;                      // whether it takes a free row of its own
    std::vector<std::vector<std::string>> cells;  // what each one writes
    size_t newRows = 0;                           // free rows the paste needs
};

TransponderPlacement PlaceTransponders(const ListPage& target,
                                       const std::vector<ClipTransponder>& clips,
                                       const std::vector<int>& freeRows) {
    TransponderPlacement placement;
    const int reachable = ReachableTransponderRows(target);
    std::vector<std::pair<int, const std::vector<std::string>*>> held;  // row, cells
    for (int row = 1; row <= reachable; ++row)
        if (target.transponderGrid.cell(row, tp::Frequency) != "0")
            held.emplace_back(row, &target.transponderGrid.row(row).cells);
    placement.cells.reserve(clips.size());
    for (const ClipTransponder& clip : clips)
        placement.cells.push_back(ClipTransponderCells(target, clip));
    // A row found free may come after a row in use, so "first" means the lowest row
    // number; a new transponder without room (row 0) matches only when nothing else does.
    const auto order = [](int row) { return row == 0 ? std::numeric_limits<int>::max() : row; };
    for (size_t j = 0; j < clips.size(); ++j) {
        const std::vector<std::string>& cells = placement.cells[j];
        std::optional<int> found;
        for (const auto& [row, heldCells] : held)
            if ((!found || order(row) < order(*found)) && TransponderCellsMatch(cells, *heldCells))
                found = row;
        if (found) {
            placement.rows.push_back(*found);
            placement.fresh.push_back(false);
            continue;
        }
        const int row = placement.newRows < freeRows.size() ? freeRows[placement.newRows] : 0;
        ++placement.newRows;
        placement.rows.push_back(row);
        placement.fresh.push_back(true);
        held.emplace_back(row, &cells);
    }
    return placement;
}

void WriteClipTransponder(ListPage& page, int row, std::vector<std::string> cells) {
    GridRow& target = page.transponderGrid.row(row);
    cells[tp::Num] = std::to_string(row);
    target.cells = std::move(cells);
    target.colour = kColourInUse;
}

// Moves channel rows first..last down by `by` rows (the rows they land on have already
// been emptied or are moved themselves). Favourites entries follow the channels as a
// series of MoveChannelRow calls from the bottom up would make them.
void ShiftChannelsDown(ListPage& page, int first, int last, int by) {
    if (first > last) return;
    Grid& channels = page.channelGrid;
    std::vector<bool> follows(static_cast<size_t>(last - first) + 1);
    for (int i = first; i <= last; ++i)
        follows[static_cast<size_t>(i - first)] =
            ReadCellNumber(channels.cell(i, ch::Favourites), 0) != 0;
    for (Grid& list : page.favouriteGrids) {
        for (int slot = 1; slot < list.rowCount(); ++slot) {
            const int k = TransponderReference(list.cell(slot, fav::Channel));
            if (k >= first && k <= last && follows[static_cast<size_t>(k - first)])
                list.setCell(slot, fav::Channel, std::to_string(k + by));
        }
    }
    // The rows themselves move (shared, not copied); every source row is overwritten
    // afterwards, by a later move or by the paste.
    for (int i = last; i >= first; --i) channels.copyRow(i, i + by);
}

bool Contains(const std::array<std::int32_t, 16>& rates, std::int64_t rate) {
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

}  // namespace

std::string HertzFrequencyText(std::int64_t hertz) {
    if (hertz == 0) return "0";
    const bool negative = hertz < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(hertz) : static_cast<std::uint64_t>(hertz);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / kHertzPerMHz);
    std::string fraction = std::to_string(magnitude % kHertzPerMHz);
    fraction.insert(0, 6 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "," + fraction;
    return text;
}

std::vector<int> FreeTransponderRows(const ListPage& page) {
    const int reachable = ReachableTransponderRows(page);
    std::vector<bool> named(static_cast<size_t>(reachable) + 1, false);
    const int channels = page.channelCount();
    for (int i = 1; i <= channels; ++i) {
        const int t = TransponderReference(page.channelGrid.cell(i, ch::Transponder));
        if (t >= 1 && t <= reachable) named[static_cast<size_t>(t)] = true;
    }
    std::vector<int> free;
    for (int row = 1; row <= reachable; ++row)
        if (!named[static_cast<size_t>(row)] &&
            page.transponderGrid.cell(row, tp::Frequency) == "0")
            free.push_back(row);
    return free;
}

void CopyChannels(const ListPage& page, int first, int last, ChannelClipboard& clipboard) {
    const int count = page.channelCount();
    if (first < 1 || last > count || first > last) return;
    const int reachable = ReachableTransponderRows(page);
    std::vector<ClipChannel> channels;
    std::vector<ClipTransponder> transponders;
    std::vector<bool> carried(static_cast<size_t>(reachable) + 1, false);
    channels.reserve(static_cast<size_t>(last - first) + 1);
    for (int row = first; row <= last; ++row) {
        channels.push_back(ClipChannelFromRow(page.channelGrid, row));
        const std::int64_t t = channels.back().transponderMark - kTransponderMark;
        // A free row carries no transponder: its channels paste as having none.
        if (t >= 1 && t <= reachable && !carried[static_cast<size_t>(t)]) {
            carried[static_cast<size_t>(t)] = true;
            if (page.transponderGrid.cell(static_cast<int>(t), tp::Frequency) != "0")
                transponders.push_back(ClipTransponderFromRow(page, static_cast<int>(t)));
        }
    }
    clipboard.channels = std::move(channels);
    clipboard.transponders = std::move(transponders);
    clipboard.sourceImage = page.imageId;
    clipboard.hasContent = true;
}

bool PasteChannels(ListPage& target, int currentRow, const ChannelClipboard& clipboard,
                   UserPrompts& prompts, Progress& progress, PastedRows* placed) {
    const int count = target.channelCount();
    const int r = currentRow;
    if (!clipboard.hasContent || clipboard.channels.empty() || r < 1 || r > count) return false;
    const int c = static_cast<int>(std::min<size_t>(clipboard.channels.size(), 1u << 30));
    const size_t m = clipboard.transponders.size();

    const Answer answer =
        prompts.ask(Tr("Vuoi inserire i canali appena copiati?\n"
                       "* Si: i canali successivi a quello selezionato verranno spostati in basso\n"
                       "* No: i canali successivi a quello selezionato verranno sovrascritti\n"
                       "* Annulla: annulla l'incollaggio dei canali"),
                    Tr("Informazione"), Icon::Question, Buttons::YesNoCancel);
    if (answer != Answer::Yes && answer != Answer::No) return false;
    const bool insert = answer == Answer::Yes;
    // Rows from lostFrom to the end fall off the grid when inserting.
    const int lostFrom = std::max(count - c + 1, r);
    if (insert) {
        if (count - r + 1 < c &&
            prompts.ask(Tr("Attenzione: solo alcuni canali potranno essere copiati.\nContinuare?"),
                        Tr("Attenzione"), Icon::Warning, Buttons::YesNo) != Answer::Yes)
            return false;
        bool losesChannel = false;
        for (int i = lostFrom; i <= count && !losesChannel; ++i)
            losesChannel = target.channelGrid.colour(i) != kColourGrey;
        if (losesChannel &&
            prompts.askDiscarding(
                Tr("Attenzione: alcuni degli ultimi canali saranno cancellati\nContinuare?"),
                Tr("Attenzione"), Icon::Warning, Buttons::YesNo) != Answer::Yes)
            return false;
    }
    const bool sameImage = clipboard.sourceImage == target.imageId;
    const std::vector<int> freeRows = FreeTransponderRows(target);
    // Only the transponders the paste adds need free rows: from the same image the
    // channels keep their transponder numbers and none is written; into another image
    // only those the target does not hold yet.
    TransponderPlacement placement;
    if (!sameImage) placement = PlaceTransponders(target, clipboard.transponders, freeRows);
    if (!sameImage && freeRows.size() < placement.newRows) {
        prompts.tell(
            Tr("Troppi transponder nella selezione\nDiminuire il numero di canali selezionati"),
            Tr("Attenzione"), Icon::Error);
        return false;
    }
    for (const ClipTransponder& t : clipboard.transponders) {
        if (!Contains(target.symbolRates, t.symbolRate)) {
            prompts.tell(
                Tr("I dati relativi al symbol rate di un transponder, non sono compatibili\n"
                   "Questa operazione non verrà eseguita"),
                Tr("Attenzione"), Icon::Error);
            return false;
        }
    }

    // The paste is made on a copy (the tables share their rows until written), so that
    // the channels whose favourites cannot be kept are known, and told, before the page
    // changes.
    ListPage page = target;
    page.modified = true;
    progress.show(0);
    const int lastPasted = static_cast<int>(std::min<std::int64_t>(count, std::int64_t{r} + c - 1));
    // Channels overwritten or pushed out leave their favourites lists first; channels
    // shifted down take their entries with them.
    // The rows themselves are overwritten below, by the shift or by the paste.
    if (insert) {
        LeaveFavourites(page, lostFrom, count);
        ShiftChannelsDown(page, r, count - c, c);
    } else {
        LeaveFavourites(page, r, lastPasted);
    }

    std::unordered_map<std::int64_t, int> rowOfMark;
    if (!sameImage) {
        for (size_t j = 0; j < m; ++j) {
            const int row = placement.rows[j];
            if (placement.fresh[j]) WriteClipTransponder(page, row, std::move(placement.cells[j]));
            rowOfMark.emplace(clipboard.transponders[j].transponderMark, row);
        }
    }
    for (int row = r; row <= lastPasted; ++row) {
        const ClipChannel& clip = clipboard.channels[static_cast<size_t>(row - r)];
        std::string transponder;
        if (sameImage) {
            transponder = std::to_string(clip.transponderMark - kTransponderMark);
        } else {
            const auto found = rowOfMark.find(clip.transponderMark);
            transponder = std::to_string(found == rowOfMark.end() ? kNoTransponder : found->second);
        }
        WriteClipChannel(page.channelGrid, row, clip, std::move(transponder));
        if ((row - r) % 256 == 0) progress.set((row - r) * 100 / c);
    }
    if (!sameImage) {
        progress.status(Tr("Organizzazione transponder"));
        progress.set(0);
        // A channel whose reference is not a number, or names no possible transponder,
        // has none.
        for (int i = 1; i <= count; ++i) {
            constexpr std::int64_t kNotANumber = std::numeric_limits<std::int64_t>::min();
            const std::int64_t t =
                CellIntegerOr(page.channelGrid.cell(i, ch::Transponder), kNotANumber);
            if (t == kNotANumber || t > kNoTransponder)
                page.channelGrid.setCell(i, ch::Transponder, std::to_string(kNoTransponder));
        }
    }
    // The pasted channels join the lists their favourites sets name. A row in no list,
    // and that no list entry names, would only be recoloured (already done), so the list
    // scans are spared for it.
    std::vector<bool> namedInLists(static_cast<size_t>(count) + 1, false);
    for (const Grid& list : page.favouriteGrids) {
        for (int slot = 1; slot < list.rowCount(); ++slot) {
            const std::int64_t n = ReadCellNumber(list.cell(slot, fav::Channel), -1);
            if (n >= 1 && n <= count) namedInLists[static_cast<size_t>(n)] = true;
        }
    }
    // A pasted channel keeps its favourites whatever its "Attivo": it joins every list its
    // "Preferenza" names, as long as the list has a free slot. A Single list stores no
    // favourites, so there a pasted channel is in no list.
    std::vector<int> listRows;
    for (int row = r; row <= lastPasted; ++row) {
        const ClipChannel& clip = clipboard.channels[static_cast<size_t>(row - r)];
        const std::int64_t wanted = page.layout == ListLayout::Single ? 0 : clip.favourites & 0xFF;
        page.channelGrid.setCell(row, ch::Favourites, std::to_string(wanted));
        if (wanted != 0 || namedInLists[static_cast<size_t>(row)]) listRows.push_back(row);
    }
    UpdateChannelRows(listRows, page, InactiveInLists::Join);

    std::string lost;
    int lostCount = 0;
    for (int row = r; row <= lastPasted; ++row) {
        const ClipChannel& clip = clipboard.channels[static_cast<size_t>(row - r)];
        const std::int64_t kept = ReadCellNumber(page.channelGrid.cell(row, ch::Favourites), 0);
        const std::int64_t dropped = (clip.favourites & 0xFF) & ~kept;
        if (dropped == 0) continue;
        if (++lostCount > 10) continue;
        std::string lists;
        int listCount = 0;
        for (int k = 0; k < fav::Lists; ++k) {
            if (((dropped >> k) & 1) == 0) continue;
            lists += (lists.empty() ? "" : ", ") + std::to_string(k + 1);
            ++listCount;
        }
        lost += "\n" + Fmt(TrN("- %1 %2 (lista %3)", "- %1 %2 (liste %3)", listCount), row,
                           clip.name, lists);
    }
    progress.hide();
    progress.status("");
    if (lostCount > 0) {
        if (lostCount > 10) lost += "\n" + Fmt(Tr("... e altri %1"), lostCount - 10);
        const char* const message =
            page.layout == ListLayout::Single
                ? Tr("Attenzione: i preferiti di questi canali non possono essere conservati "
                     "(questa lista non contiene liste dei preferiti):%1")
                : Tr("Attenzione: i preferiti di questi canali non possono essere conservati "
                     "(le liste dei preferiti hanno al massimo 128 canali):%1");
        prompts.tell(Fmt(message, lost), Tr("Attenzione"), Icon::Warning);
    }
    target = std::move(page);
    if (placed) *placed = {r, lastPasted, insert};
    // Inserting asked first ("solo alcuni canali potranno essere copiati"); overwriting
    // near the end would drop the rest without a word.
    const int notPasted = c - (lastPasted - r + 1);
    if (!insert && notPasted > 0)
        prompts.tell(Fmt(TrN("%1 canale non è stato incollato: oltre l'ultima riga",
                             "%1 canali non sono stati incollati: oltre l'ultima riga", notPasted),
                         notPasted),
                     Tr("Attenzione"), Icon::Warning);
    return true;
}

}  // namespace rivo
