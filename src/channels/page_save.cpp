// Saving a page back into its image (SavePage, SavePageToBytes), and the cells the
// saved file does not give back as the page shows them.
#include <algorithm>
#include <span>
#include <utility>

#include "channels/page_io.h"
#include "channels/page_modules.h"
#include "channels/records.h"
#include "text/translate.h"

namespace rivo {

using namespace page_detail;

namespace {

// Whether the opened file was not a whole flash image (shorter or longer than eight
// sectors): what the loader found in it is then all a save can write, and a save that
// does not read back as the page did is the input's fault, not the written file's.
// The sentence put before a refused read-back check's reason when the opened file was
// not a whole image.
std::string InputSizeNote(const KvxImage& image) {
    if (image.fileSize() == 0 || !image.unexpectedSize()) return {};
    return Fmt(TrN("Il file aperto \"%1\" ha %2 byte invece di %3: l'immagine letta è incompleta o "
                   "danneggiata e "
                   "non può essere salvata com'era.",
                   "Il file aperto \"%1\" ha %2 byte invece di %3: l'immagine letta è incompleta o "
                   "danneggiata e "
                   "non può essere salvata com'era.",
                   image.fileSize()),
               image.fileName(), image.fileSize(), kFlashImageSize);
}

void CompareGrids(const std::string& table, const Grid& shown, const Grid& saved,
                  std::span<const char* const> titles, std::vector<CellDifference>& out) {
    const int rows = std::min(shown.rowCount(), saved.rowCount());
    const int columns =
        std::min({shown.columnCount(), saved.columnCount(), static_cast<int>(titles.size())});
    for (int r = 1; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (shown.cell(r, c) != saved.cell(r, c))
                out.push_back({table, r, Tr(titles[static_cast<std::size_t>(c)]), shown.cell(r, c),
                               saved.cell(r, c)});
}

std::string RowColumn(const char* table, int row, const char* column, const std::exception& e) {
    return Fmt(Tr("%1, riga %2, colonna %3: %4"), table, row, Tr(column), e.what());
}

// Every cell a save could not encode, told at once so that the user mends them all
// before the next attempt: one cell as it is, several under a count, as many as a
// screen shows and then how many more.
std::string BadCellsText(const std::vector<std::string>& cells) {
    constexpr std::size_t kShown = 20;
    if (cells.size() == 1) return cells.front();
    const auto count = static_cast<long long>(cells.size());
    std::string text = Fmt(TrN("%1 cella non contiene un numero valido:",
                               "%1 celle non contengono un numero valido:", count),
                           count);
    for (std::size_t i = 0; i < cells.size() && i < kShown; ++i) text += "\n" + cells[i];
    if (cells.size() > kShown) text += "\n" + Fmt(Tr("... e altri %1"), cells.size() - kShown);
    return text;
}

// Rows of page that differ from saved's become saved's; equal rows stay as they are
// (and stay shared with the undo history). The grids have the same sizes: the read-back
// check refuses a file whose page has other sizes.
void TakeRowsThatDiffer(ListPage& page, const ListPage& saved) {
    auto take = [](Grid& shown, const Grid& read) {
        const int rows = std::min(shown.rowCount(), read.rowCount());
        for (int r = 1; r < rows; ++r)
            if (!shown.sameRow(r, read, r)) shown.setRow(r, {read.cells(r), read.colour(r)});
    };
    take(page.channelGrid, saved.channelGrid);
    take(page.transponderGrid, saved.transponderGrid);
    for (std::size_t k = 0; k < page.favouriteGrids.size(); ++k)
        take(page.favouriteGrids[k], saved.favouriteGrids[k]);
    take(page.configGrid, saved.configGrid);
}

// The channel grid as saved, where an inactive channel's "Preferenza" may name lists
// the file does not hold it in: those bits are a wish remembered for when the channel is
// active again, which the file cannot store and which is not a difference.
Grid SavedChannelsBesideWishes(const ListPage& shown, const ListPage& saved) {
    Grid channels = saved.channelGrid;
    const int rows = std::min(shown.channelGrid.rowCount(), channels.rowCount());
    for (int r = 1; r < rows; ++r) {
        const std::string& shownBits = shown.channelGrid.cell(r, ch::Favourites);
        if (shownBits == channels.cell(r, ch::Favourites)) continue;
        std::int64_t status = -1;
        try {
            status = StatusValue(shown.channelGrid.cell(r, ch::Status));
        } catch (const ConversionError&) {
        }
        const std::int64_t wished = CellIntegerOr(shownBits, -1);
        const std::int64_t held = CellIntegerOr(channels.cell(r, ch::Favourites), -1);
        const bool inactive = status >= 0 && (status & 4) == 0;
        if (inactive && wished >= 0 && wished <= 0xFF && held >= 0 && (held & ~wished) == 0)
            channels.setCell(r, ch::Favourites, shownBits);
    }
    return channels;
}

}  // namespace

std::vector<CellDifference> PageDifferences(const ListPage& shown, const ListPage& saved) {
    std::vector<CellDifference> out;
    CompareGrids(Tr("Canali"), shown.channelGrid, SavedChannelsBesideWishes(shown, saved),
                 ChannelColumnTitles(), out);
    CompareGrids(Tr("Transponder"), shown.transponderGrid, saved.transponderGrid,
                 TransponderColumnTitles(), out);
    for (std::size_t k = 0; k < shown.favouriteGrids.size(); ++k)
        CompareGrids(Fmt(Tr("Preferiti %1"), k + 1), shown.favouriteGrids[k],
                     saved.favouriteGrids[k], FavouriteColumnTitles(), out);
    CompareGrids(Tr("Nomi delle liste"), shown.configGrid, saved.configGrid, ConfigColumnTitles(),
                 out);
    return out;
}

std::string SavedDifferencesHeading(std::size_t count) {
    return Fmt(TrN("Attenzione: il formato del file non può conservare una cella come è mostrata; "
                   "riaprendo il file "
                   "si leggerà (tabella, riga, colonna: mostrato \u2192 salvato):",
                   "Attenzione: il formato del file non può conservare %1 celle come sono "
                   "mostrate; riaprendo il file "
                   "si leggerà (tabella, riga, colonna: mostrato \u2192 salvato):",
                   static_cast<long long>(count)),
               count) +
           "\n";
}

std::string DescribeDifferences(const std::vector<CellDifference>& differences, std::size_t limit) {
    std::string text;
    for (std::size_t i = 0; i < differences.size() && i < limit; ++i) {
        const CellDifference& d = differences[i];
        text += Fmt(Tr("%1, riga %2, colonna %3: \"%4\" \u2192 \"%5\""), d.table, d.row, d.column,
                    d.shown, d.saved) +
                "\n";
    }
    if (differences.size() > limit)
        text += Fmt(TrN("... e altre %1 differenze", "... e altre %1 differenze",
                        static_cast<long long>(differences.size() - limit)),
                    differences.size() - limit) +
                "\n";
    return text;
}

PageSaveResult SavePage(ListPage& page, const std::string& path, Progress& progress,
                        const PageSaveOptions& options) {
    PageSaveResult result;
    if (!page.image || page.image->imageType() != 1) {
        result.message = Tr("Questa lista non ha un'immagine flash da salvare");
        return result;
    }
    KvxImage& image = *page.image;

    // Everything is encoded before anything is replaced: a cell that cannot be encoded,
    // or a list that cannot be stored, leaves the image exactly as it was.
    struct Replacement {
        KvxEntry* entry;
        Bytes bytes;
    };
    std::vector<Replacement> plan;
    progress.show(0);
    auto fail = [&](std::string message) {
        progress.hide();
        result.message = std::move(message);
        return result;
    };

    // Transponders: each table module gets back as many records as it was read with, so
    // that the saved file numbers them as the page does (the last one takes any rows
    // beyond, which editing never adds). A module stored packed keeps its stored bytes
    // when its records did not change, and is packed (literal runs) when they did.
    const TransponderContext context = ContextOf(page);
    std::vector<std::string> badCells;
    Bytes transponders;
    transponders.reserve(static_cast<std::size_t>(page.transponderCount()) *
                         kTransponderRecordSize);
    for (int r = 1; r <= page.transponderCount(); ++r) {
        try {
            const auto record = WriteTransponderRecord(page.transponderGrid.row(r).cells, context);
            transponders.insert(transponders.end(), record.begin(), record.end());
        } catch (const CellConversionError& e) {
            badCells.push_back(
                RowColumn(Tr("Transponder"), r,
                          TransponderColumnTitles()[static_cast<std::size_t>(e.column())], e));
        }
    }
    const std::vector<KvxModule*> transponderModules = DistinctModules(image, "TPT");
    std::size_t transponderAt = 0;
    for (std::size_t m = 0; m < transponderModules.size(); ++m) {
        KvxEntry* entry = transponderModules[m]->entry(0);
        if (!entry) continue;
        const Bytes read = FirstEntryContent(transponderModules[m]);
        const std::size_t held = read.size() / kTransponderRecordSize;
        const std::size_t left = transponders.size() - transponderAt;
        const std::size_t take = m + 1 == transponderModules.size()
                                     ? left
                                     : std::min(left, held * kTransponderRecordSize);
        const auto begin = transponders.begin() + static_cast<std::ptrdiff_t>(transponderAt);
        Bytes records(begin, begin + static_cast<std::ptrdiff_t>(take));
        transponderAt += take;
        if (transponderModules[m]->kind() == static_cast<std::int32_t>(ModuleKind::Packed)) {
            if (records == read) continue;
            records = PackLiterals(records);
        }
        plan.push_back({entry, std::move(records)});
    }

    // Channels.
    const int channelCount = page.channelCount();
    const int rowCount = page.channelGrid.rowCount();
    Bytes channels;
    channels.reserve(static_cast<std::size_t>(channelCount) * kChannelRecordSize);
    int shown = 0;
    for (int r = 1; r <= channelCount; ++r) {
        try {
            const auto record = WriteChannelRecord(page.channelGrid.row(r).cells);
            channels.insert(channels.end(), record.begin(), record.end());
        } catch (const CellConversionError& e) {
            badCells.push_back(RowColumn(
                Tr("Canali"), r, ChannelColumnTitles()[static_cast<std::size_t>(e.column())], e));
            continue;
        }
        const int percent = static_cast<int>(static_cast<std::int64_t>(r) * 100 / rowCount);
        if (percent != shown) {
            progress.set(percent);
            shown = percent;
        }
    }

    if (page.layout == ListLayout::Split) {
        for (int k = 1; k <= fav::Lists; ++k) {
            try {
                WriteFavouriteList(page.favouriteGrids[static_cast<std::size_t>(k - 1)]);
            } catch (const CellConversionError& e) {
                badCells.push_back(Fmt(Tr("Preferiti, lista %1, riga %2, colonna %3: %4"), k,
                                       e.row(), Tr(FavouriteColumnTitles()[fav::Channel]),
                                       e.what()));
            }
        }
    }
    if (!badCells.empty()) return fail(BadCellsText(badCells));

    std::vector<KvxModule*> channelModules = DistinctModules(image, "TCS");
    if (page.layout == ListLayout::Single) {
        for (KvxModule* module : channelModules)
            if (KvxEntry* entry = module->entry(0)) plan.push_back({entry, channels});
    } else if (page.layout == ListLayout::Split) {
        OrderSplitModules(channelModules);
        constexpr std::size_t blockBytes =
            std::size_t{kChannelsPerSplitModule} * kChannelRecordSize;
        std::int64_t readAt = 0;  // where reading put this module's first channel
        for (KvxModule* module : channelModules) {
            const std::string& name = module->name();
            const int block = SplitBlock(name);
            if (block < 0)
                return fail(Fmt(
                    Tr("Il modulo dei canali \"%1\" non indica quali canali contiene: impossibile "
                       "salvare la lista"),
                    name));
            const std::int64_t first = std::int64_t{block} * kChannelsPerSplitModule + 1;
            const std::int64_t last = first + kChannelsPerSplitModule - 1;
            if (channelCount < last)
                return fail(Fmt(TrN("La lista ha %1 canali e non copre il modulo \"%2\" (canali "
                                    "%3-%4): impossibile "
                                    "salvare la lista",
                                    "La lista ha %1 canali e non copre il modulo \"%2\" (canali "
                                    "%3-%4): impossibile "
                                    "salvare la lista",
                                    channelCount),
                                channelCount, name, first, last));
            const std::int64_t held =
                static_cast<std::int64_t>(FirstEntryContent(module).size()) / kChannelRecordSize;
            if (readAt != first - 1 || held != kChannelsPerSplitModule)
                return fail(Fmt(Tr("Il modulo dei canali \"%1\" non contiene esattamente i canali "
                                   "%2-%3: impossibile "
                                   "salvare la lista senza spostare canali"),
                                name, first, last));
            readAt += held;
            if (KvxEntry* entry = module->entry(0)) {
                const auto begin =
                    channels.begin() +
                    static_cast<std::ptrdiff_t>(static_cast<std::size_t>(block) * blockBytes);
                plan.push_back(
                    {entry, Bytes(begin, begin + static_cast<std::ptrdiff_t>(blockBytes))});
            }
        }

        if (readAt != channelCount)
            return fail(Fmt(TrN("La lista ha %1 canali, ma i moduli dei canali ne contengono %2: "
                                "impossibile salvare "
                                "la lista",
                                "La lista ha %1 canali, ma i moduli dei canali ne contengono %2: "
                                "impossibile salvare "
                                "la lista",
                                channelCount),
                            channelCount, readAt));

        // Favourites lists and list names go to every module named exactly "Support".
        for (int i = 0; i < image.moduleCount(); ++i) {
            KvxModule* module = image.module(i);
            if (!module || module->name() != "Support") continue;
            for (int e = 0; e < module->entryCount(); ++e) {
                KvxEntry* entry = module->entry(e);
                if (!entry) continue;
                if (const int k = FavouriteListNumber(entry->name()); k != 0) {
                    Bytes list;
                    try {
                        list = WriteFavouriteList(
                            page.favouriteGrids[static_cast<std::size_t>(k - 1)]);
                    } catch (const CellConversionError& e) {
                        return fail(Fmt(Tr("Preferiti, lista %1, riga %2, colonna %3: %4"), k,
                                        e.row(), Tr(FavouriteColumnTitles()[fav::Channel]),
                                        e.what()));
                    }
                    // A short entry is never written past its end.
                    if (entry->data().size() < list.size()) list.resize(entry->data().size());
                    plan.push_back({entry, std::move(list)});
                } else if (entry->name() == "config.pre") {
                    plan.push_back({entry, WriteConfigBlock(entry->data(), page.configGrid)});
                }
            }
        }
    }

    // Replace, write, and put everything back when the write fails.
    std::vector<Bytes> previous;
    previous.reserve(plan.size());
    for (auto& item : plan) {
        previous.push_back(item.entry->data());
        item.entry->setData(std::move(item.bytes));
    }
    SaveRequest request;
    request.fileName = path;
    request.backup = options.backup;
    request.afterTempWritten = options.afterTempWritten;
    std::vector<CellDifference> differences;
    std::unique_ptr<ListPage> readBack;
    bool declined = false;
    request.verify = [&](const std::shared_ptr<KvxImage>& written) -> std::string {
        OpenParams params;
        params.fileName = written->fileName();
        params.lnbLow = page.lnbLow;
        params.lnbHigh = page.lnbHigh;
        params.symbolRates = page.symbolRates;
        params.satelliteA = page.satelliteA;
        params.satelliteB = page.satelliteB;
        NullProgress quiet;
        std::unique_ptr<ListPage> rebuilt;
        try {
            rebuilt = BuildPage(written, params, quiet);
        } catch (const PageLimitError& refused) {
            // Tables are written no larger than they were read, so this is a written
            // file gone wrong, not the page.
            return refused.what();
        }
        if (rebuilt->channelCount() != page.channelCount())
            return Fmt(TrN("la lista riletta ha %1 canali invece di %2",
                           "la lista riletta ha %1 canali invece di %2", rebuilt->channelCount()),
                       rebuilt->channelCount(), page.channelCount());
        if (rebuilt->transponderCount() != page.transponderCount())
            return Fmt(
                TrN("la lista riletta ha %1 transponder invece di %2",
                    "la lista riletta ha %1 transponder invece di %2", rebuilt->transponderCount()),
                rebuilt->transponderCount(), page.transponderCount());
        for (std::size_t k = 0; k < rebuilt->favouriteGrids.size(); ++k)
            if (rebuilt->favouriteGrids[k].rowCount() != page.favouriteGrids[k].rowCount())
                return Fmt(
                    Tr("la lista dei preferiti %1 riletta ha un numero di posizioni diverso"),
                    k + 1);
        // What the file gives back is what the user will see after opening it again.
        differences = PageDifferences(page, *rebuilt);
        if (!differences.empty() && options.acceptDifferences &&
            !options.acceptDifferences(differences)) {
            declined = true;
            return Tr("salvataggio rifiutato");
        }
        if (!differences.empty()) readBack = std::move(rebuilt);
        return {};
    };
    const SaveResult saved =
        options.toMemory ? image.saveToBytes(*options.toMemory) : image.saveToFile(request);
    if (!saved.ok) {
        for (std::size_t i = plan.size(); i-- > 0;) plan[i].entry->setData(std::move(previous[i]));
        if (declined) {
            progress.hide();
            result.declined = true;
            return result;
        }
        if (saved.readBackFailed) {
            const std::string note = InputSizeNote(image);
            return fail(note.empty() ? saved.message : note + " " + saved.message);
        }
        return fail(saved.message);
    }
    result.differences = std::move(differences);
    progress.hide();
    // The differences were accepted: from now on the page shows what the file holds, so
    // that what is on screen, exported or saved again is what a reopen would show.
    if (readBack && !options.toMemory) TakeRowsThatDiffer(page, *readBack);
    if (!options.toMemory) page.modified = false;
    result.ok = true;
    result.warning = saved.warning;
    return result;
}

PageSaveResult SavePageToBytes(ListPage& page, Bytes& out, Progress& progress) {
    PageSaveOptions options;
    options.backup = false;
    options.toMemory = &out;
    out.clear();
    return SavePage(page, {}, progress, options);
}

}  // namespace rivo