// Building a page from a loaded flash image (BuildPage), and opening a file as a
// channel list (OpenPage).
#include <algorithm>
#include <span>
#include <utility>

#include "channels/cp1252.h"
#include "channels/page_io.h"
#include "channels/page_modules.h"
#include "channels/records.h"
#include "text/translate.h"

namespace rivo {

using namespace page_detail;

namespace {

// The content of a table module's first entry, refused (PageLimitError) beyond
// kMaxTableContent or when all tables so far (total) would pass kMaxTablesContent.
// A packed stream is decoded no further than that: a few kilobytes of long matches
// would otherwise decode to megabytes, and every 12 bytes to a grid row.
Bytes BoundedTableContent(KvxModule& module, std::size_t& total) {
    const KvxEntry* entry = module.entry(0);
    if (!entry) return {};
    Bytes content;
    bool withinEntryLimit = true;
    if (entry->kind() == static_cast<std::int32_t>(ModuleKind::Packed))
        withinEntryLimit = UnpackBytes(entry->data(), content, kMaxTableContent);
    else
        content = entry->data();
    withinEntryLimit = withinEntryLimit && content.size() <= kMaxTableContent;
    const std::string name = Cp1252ToUtf8(module.name());
    if (!withinEntryLimit)
        throw PageLimitError(Fmt(Tr("La tabella del modulo \"%1\" supera %2 byte, il massimo che un modulo può "
                                    "contenere in un settore: la lista non può essere aperta."),
                                 name, kMaxTableContent));
    total += content.size();
    if (total > kMaxTablesContent)
        throw PageLimitError(Fmt(Tr("Con la tabella del modulo \"%1\" le tabelle della lista superano insieme %2 "
                                    "byte, quanti ne contiene un'immagine intera: la lista non può essere aperta."),
                                 name, kMaxTablesContent));
    return content;
}

void MarkUnreferencedTransponders(ListPage& page) {
    const int transponders = page.transponderCount();
    std::vector<bool> referenced(static_cast<std::size_t>(transponders) + 1, false);
    for (int r = 1; r <= page.channelCount(); ++r) {
        const std::int64_t t = CellIntegerOr(page.channelGrid.cell(r, ch::Transponder), -1);
        if (t >= 1 && t <= transponders) referenced[static_cast<std::size_t>(t)] = true;
    }
    for (int t = 1; t <= transponders; ++t) {
        if (referenced[static_cast<std::size_t>(t)]) continue;
        page.transponderGrid.setCell(t, tp::Frequency, "0");
        page.transponderGrid.setColour(t, kColourGrey);
    }
}

void ReadSupport(ListPage& page, KvxModule& support) {
    const int channels = page.channelCount();
    std::vector<std::uint8_t> sets(static_cast<std::size_t>(channels) + 1, 0);
    // A damaged module can name two entries alike. Only the first of each name is read,
    // as with modules: a later one would replace the list's slots but leave the marks
    // of the first in the channels' favourites column, and saving writes the list
    // shown into every entry of that name, so the page would not read back the same.
    std::array<bool, fav::Lists + 1> listRead{};
    bool configRead = false;
    for (int e = 0; e < support.entryCount(); ++e) {
        KvxEntry* entry = support.entry(e);
        if (!entry) continue;
        // The support entries are taken as stored, whatever the module's kind.
        const Bytes& stored = entry->data();
        if (const int k = FavouriteListNumber(entry->name()); k != 0) {
            if (std::exchange(listRead[static_cast<std::size_t>(k)], true)) continue;
            Grid& grid = page.favouriteGrids[static_cast<std::size_t>(k - 1)];
            const auto slots = ReadFavouriteList(stored);
            for (int s = 1; s <= fav::Slots; ++s) {
                const int n = slots[static_cast<std::size_t>(s - 1)];
                if (n == 0) {
                    grid.setRow(s, {{std::string(), std::string(), "0"}, kColourGrey});
                } else if (n > channels) {
                    // Names no channel of this list: shown without a name and kept, so
                    // that saving writes the slot back as it was read.
                    grid.setRow(s, {{std::string(), std::string(), std::to_string(n)}, kColourNone});
                } else {
                    grid.setRow(s, {{std::string(), page.channelGrid.cell(n, ch::Name), std::to_string(n)},
                                    page.channelGrid.colour(n)});
                    sets[static_cast<std::size_t>(n)] |= static_cast<std::uint8_t>(1u << (k - 1));
                }
            }
        } else if (entry->name() == "config.pre") {
            if (std::exchange(configRead, true)) continue;
            page.versionText = ReadVersionText(stored);
            const auto names = ReadListNames(stored);
            for (int k = 1; k <= fav::Lists; ++k) {
                page.configGrid.setCell(k, 0, std::to_string(k));
                page.configGrid.setCell(k, 1, names[static_cast<std::size_t>(k - 1)]);
            }
        }
    }
    for (int n = 1; n <= channels; ++n)
        if (sets[static_cast<std::size_t>(n)] != 0)
            page.channelGrid.setCell(n, ch::Favourites, std::to_string(sets[static_cast<std::size_t>(n)]));
}

}  // namespace

std::unique_ptr<ListPage> BuildPage(std::shared_ptr<KvxImage> image, const OpenParams& params,
                                    Progress& progress) {
    auto page = std::make_unique<ListPage>();
    page->fileName = params.fileName;
    page->lnbLow = params.lnbLow;
    page->lnbHigh = params.lnbHigh;
    page->symbolRates = params.symbolRates;
    page->satelliteA = params.satelliteA;
    page->satelliteB = params.satelliteB;
    page->imageId = NewImageId();
    page->image = std::move(image);
    if (!page->image) return page;
    KvxImage& file = *page->image;

    std::vector<KvxModule*> transponderModules = DistinctModules(file, "TPT");
    std::vector<KvxModule*> channelModules = DistinctModules(file, "TCS");
    page->layout = channelModules.empty()       ? ListLayout::None
                   : channelModules.size() == 1 ? ListLayout::Single
                                                : ListLayout::Split;
    if (page->layout == ListLayout::Split) OrderSplitModules(channelModules);

    // Each table's content is taken once; the row counts come first, as the grids are
    // sized before they are filled.
    std::vector<Bytes> transponderTables, channelTables;
    std::size_t transponders = 0, channels = 0;
    std::size_t tablesContent = 0;
    for (KvxModule* m : transponderModules) {
        transponderTables.push_back(BoundedTableContent(*m, tablesContent));
        transponders += transponderTables.back().size() / kTransponderRecordSize;
    }
    for (KvxModule* m : channelModules) {
        channelTables.push_back(BoundedTableContent(*m, tablesContent));
        channels += channelTables.back().size() / kChannelRecordSize;
    }
    page->transponderGrid.setRowCount(static_cast<int>(transponders) + 1);
    page->channelGrid.setRowCount(static_cast<int>(channels) + 1);

    const TransponderContext context = ContextOf(*page);
    int n = 0;
    for (const Bytes& bytes : transponderTables) {
        const std::span<const std::uint8_t> table(bytes);
        for (std::size_t at = 0; at + kTransponderRecordSize <= table.size(); at += kTransponderRecordSize) {
            const auto record = table.subspan(at).first<kTransponderRecordSize>();
            ++n;
            GridRow& row = page->transponderGrid.row(n);
            row.cells = ReadTransponderRecord(record, n, context);
            const bool used = record[0] != 0 || record[1] != 0 || record[2] != 0 || record[3] != 0;
            row.colour = used ? kColourInUse : kColourGrey;
        }
    }

    const int rowCount = page->channelGrid.rowCount();
    n = 0;
    for (const Bytes& bytes : channelTables) {
        const std::span<const std::uint8_t> table(bytes);
        progress.show(0);
        // The gauge shows n * 100 / rowCount after row n; it is moved only when that
        // whole percentage changes, i.e. at the first row of each new percentage.
        int shown = -1;
        std::int64_t nextChange = 0;
        for (std::size_t at = 0; at + kChannelRecordSize <= table.size(); at += kChannelRecordSize) {
            ++n;
            GridRow& row = page->channelGrid.row(n);
            const auto record = table.subspan(at).first<kChannelRecordSize>();
            ReadChannelRecordInto(record, n, row.cells);
            row.cells[ch::Num].clear();  // the grid reads it from the row's position
            row.colour = ChannelColour((record[20] << 8) | record[21], (record[22] << 8) | record[23], record[16]);
            if (n >= nextChange) {
                const int percent = static_cast<int>(std::int64_t{n} * 100 / rowCount);
                if (percent != shown) {
                    progress.set(percent);
                    shown = percent;
                }
                // The first row whose percentage is above this one.
                nextChange = ((percent + 1) * std::int64_t{rowCount} + 99) / 100;
            }
        }
        progress.hide();
    }

    if (page->layout == ListLayout::Split) {
        for (int i = 0; i < file.moduleCount(); ++i) {
            KvxModule* module = file.module(i);
            if (module && ContainsPart(module->name(), "Support")) {
                ReadSupport(*page, *module);
                break;  // only the first support module is read
            }
        }
    }
    page->modified = false;
    MarkUnreferencedTransponders(*page);
    return page;
}

OpenResult OpenPage(const OpenParams& params, Progress& progress) {
    OpenResult result;
    auto image = std::make_shared<KvxImage>();
    const LoadResult load = image->loadFile(params.fileName);
    if (load.status == LoadResult::Status::Unreadable) {
        result.status = OpenResult::Status::Unreadable;
        result.message = load.message;
        return result;
    }
    if (!load.ok() || image->imageType() == 0) {
        result.status = OpenResult::Status::Unrecognised;
        result.message = Tr(kUnknownFormatMessage);
        return result;
    }
    if (image->imageType() != 1) {
        result.status = OpenResult::Status::MainCode;
        result.message = Tr(kMainCodeMessage);
        return result;
    }
    try {
        result.page = BuildPage(std::move(image), params, progress);
    } catch (const PageLimitError& refused) {
        result.status = OpenResult::Status::Refused;
        result.message = refused.what();
        return result;
    }
    result.status = OpenResult::Status::Ok;
    result.warning = LoadWarnings(load);
    return result;
}

}  // namespace rivo
