// The commands on a selection of separate rows: delete and copy block by block, and adding
// to and taking out of a favourites list.
#include "editing/row_selection.h"

#include <algorithm>

#include "editing/channel_rows.h"

namespace rivo {

namespace {

bool HasLists(const ListPage& page) { return page.layout != ListLayout::Single; }

// Free slots ("Canale" "0") of a list.
int FreeSlots(const Grid& list) {
    int free = 0;
    for (int s = 1; s < list.rowCount(); ++s)
        if (list.cell(s, fav::Channel) == "0") ++free;
    return free;
}

}  // namespace

std::vector<int> NormalisedRows(const ListPage& page, std::vector<int> rows) {
    const int count = page.channelCount();
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 1 || r > count; }),
        rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<RowBlock> BlocksOf(const std::vector<int>& rows) {
    std::vector<RowBlock> blocks;
    for (const int r : rows) {
        if (!blocks.empty() && blocks.back().last + 1 == r)
            blocks.back().last = r;
        else
            blocks.push_back({r, r});
    }
    return blocks;
}

std::vector<int> RowsOf(int first, int last) {
    std::vector<int> rows;
    for (int r = first; r <= last; ++r) rows.push_back(r);
    return rows;
}

EditResult DeleteChannelSet(ListPage& page, const std::vector<int>& rows, bool closeGap,
                            Progress& progress) {
    const std::vector<int> selection = NormalisedRows(page, rows);
    if (selection.empty()) return {};
    const std::vector<RowBlock> blocks = BlocksOf(selection);
    progress.show(0);
    progress.status(Tr(kDeleteStatus));
    // From the last block up: a block's deletion moves only the rows below it, so the
    // blocks still to go keep their numbers. The block command keeps the favourites in
    // step with each block, with each list read once per block.
    NullProgress quiet;
    int done = 0;
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        DeleteChannels(page, block->first, block->last, closeGap, quiet);
        ++done;
        progress.set(static_cast<int>(static_cast<long long>(done) * 100 /
                                      static_cast<long long>(blocks.size())));
    }
    progress.status("");
    progress.hide();
    page.modified = true;
    return {true, closeGap ? 0 : selection.front()};
}

EditResult DeleteSelectedChannelSet(ListPage& page, const std::vector<int>& rows,
                                    UserPrompts& prompts, Progress& progress) {
    const std::vector<int> selection = NormalisedRows(page, rows);
    if (selection.empty()) return {};
    const std::vector<RowBlock> blocks = BlocksOf(selection);
    if (blocks.size() == 1)
        return DeleteSelectedChannels(page, blocks[0].first, blocks[0].last, prompts, progress);
    const int count = static_cast<int>(selection.size());
    const Answer answer = prompts.askDiscarding(
        Fmt(TrN("Vuoi spostare i canali successivi verso l'altro?\n"
                "* Si: verrà cancellato %1 canale ed i successivi verranno spostati in alto\n"
                "* No: verrà cancellato %1 canale ed il suo posto rimarrà inattivo\n"
                "* Annulla: nessun canale verrà cancellato",
                "Vuoi spostare i canali successivi verso l'altro?\n"
                "* Si: verranno cancellati %1 canali ed i successivi verranno spostati in alto\n"
                "* No: verranno cancellati %1 canali ed i loro posti rimarranno inattivi\n"
                "* Annulla: nessun canale verrà cancellato",
                count),
            count),
        Tr(kDeleteTitle), Icon::Warning, Buttons::YesNoCancel);
    if (answer != Answer::Yes && answer != Answer::No) return {};
    return DeleteChannelSet(page, selection, answer == Answer::Yes, progress);
}

void CopyChannelSet(const ListPage& page, const std::vector<int>& rows,
                    ChannelClipboard& clipboard) {
    const std::vector<int> selection = NormalisedRows(page, rows);
    if (selection.empty()) return;
    // Block by block into a scratch clipboard, then joined: a transponder that two
    // blocks share is carried once, as a copy of one block carries it once.
    ChannelClipboard joined;
    for (const RowBlock& block : BlocksOf(selection)) {
        ChannelClipboard part;
        CopyChannels(page, block.first, block.last, part);
        joined.channels.insert(joined.channels.end(), part.channels.begin(), part.channels.end());
        for (const ClipTransponder& t : part.transponders) {
            const bool known = std::any_of(
                joined.transponders.begin(), joined.transponders.end(),
                [&](const ClipTransponder& k) { return k.transponderMark == t.transponderMark; });
            if (!known) joined.transponders.push_back(t);
        }
    }
    joined.sourceImage = page.imageId;
    joined.hasContent = true;
    clipboard = std::move(joined);
}

bool IsEmptyChannel(const ListPage& page, int row) {
    const Grid& grid = page.channelGrid;
    return grid.cell(row, ch::Name).empty() && grid.cell(row, ch::Sid) == "0" &&
           grid.cell(row, ch::Status) == "00";
}

ListChange AddToFavouriteList(ListPage& page, int list, const std::vector<int>& rows,
                              UserPrompts& prompts) {
    if (list < 0 || list >= fav::Lists) return {};
    if (!HasLists(page)) {
        prompts.ask(Tr(kNoListsMessage), Tr(kListFullTitle), Icon::Error, Buttons::Ok);
        return {};
    }
    const std::vector<int> selection = NormalisedRows(page, rows);
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    const std::int64_t bit = std::int64_t{1} << list;

    // The channels the list already names need nothing.
    std::vector<bool> listed(static_cast<size_t>(page.channelCount()) + 1, false);
    for (int s = 1; s < grid.rowCount(); ++s) {
        const std::int64_t n = ReadCellNumber(grid.cell(s, fav::Channel), 0);
        if (n >= 1 && n <= page.channelCount()) listed[static_cast<size_t>(n)] = true;
    }
    // An inactive channel joins no list (it leaves them all when made inactive), so it
    // is skipped like an empty slot.
    std::vector<int> wanted;
    for (const int r : selection)
        if (!listed[static_cast<size_t>(r)] && !IsEmptyChannel(page, r) &&
            (ReadCellHex(page.channelGrid.cell(r, ch::Status), 0) & 4) != 0 &&
            ReadCellNumber(page.channelGrid.cell(r, ch::Favourites), -1) >= 0)
            wanted.push_back(r);
    const int room = FreeSlots(grid);
    ListChange change;
    change.added = std::min(room, static_cast<int>(wanted.size()));
    change.skipped = static_cast<int>(wanted.size()) - change.added;
    wanted.resize(static_cast<size_t>(change.added));

    if (!wanted.empty()) {
        for (const int r : wanted) {
            const std::int64_t set = ReadCellNumber(page.channelGrid.cell(r, ch::Favourites), 0);
            page.channelGrid.setCell(r, ch::Favourites, std::to_string(set | bit));
        }
        // In row order, each into the first free slot.
        UpdateChannelRows(wanted, page, InactiveInLists::Stay);
        page.modified = true;
        change.changed = true;
    }
    if (change.skipped > 0)
        prompts.ask(Fmt(TrN("La lista %1 può contenere al massimo %2 canali: %3 canale non è stato "
                            "aggiunto.",
                            "La lista %1 può contenere al massimo %2 canali: %3 canali non sono "
                            "stati aggiunti.",
                            change.skipped),
                        list + 1, fav::Slots, change.skipped),
                    Tr(kListFullTitle), Icon::Warning, Buttons::Ok);
    return change;
}

ListChange RemoveFromFavouriteList(ListPage& page, int list, const std::vector<int>& rows,
                                   UserPrompts& prompts) {
    if (list < 0 || list >= fav::Lists) return {};
    if (!HasLists(page)) {
        prompts.ask(Tr(kNoListsMessage), Tr(kListFullTitle), Icon::Error, Buttons::Ok);
        return {};
    }
    const std::vector<int> selection = NormalisedRows(page, rows);
    const Grid& grid = page.favouriteGrids[static_cast<size_t>(list)];
    const std::int64_t bit = std::int64_t{1} << list;
    std::vector<int> listedCount(static_cast<size_t>(page.channelCount()) + 1, 0);
    for (int s = 1; s < grid.rowCount(); ++s) {
        const std::int64_t n = ReadCellNumber(grid.cell(s, fav::Channel), 0);
        if (n >= 1 && n <= page.channelCount()) ++listedCount[static_cast<size_t>(n)];
    }
    std::vector<int> leaving;
    for (const int r : selection) {
        const std::int64_t set = ReadCellNumber(page.channelGrid.cell(r, ch::Favourites), -1);
        if (set < 0) continue;  // a "Preferenza" that is no number is left to the user
        if ((set & bit) == 0 && listedCount[static_cast<size_t>(r)] == 0) continue;
        page.channelGrid.setCell(r, ch::Favourites, std::to_string(set & ~bit));
        leaving.push_back(r);
    }
    ListChange change;
    if (leaving.empty()) return change;
    int before = 0;
    for (const int r : leaving) before += listedCount[static_cast<size_t>(r)];
    UpdateChannelRows(leaving, page, InactiveInLists::Stay);
    page.modified = true;
    change.changed = true;
    change.added = before;
    return change;
}

}  // namespace rivo
