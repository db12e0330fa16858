// Matching an order file's rows to the page's channels, the preview of the result, and
// applying it: order, names, favourites and the channels the file does not name.
#include "editing/file_order.h"

#include <optional>

#include "channels/cp1252.h"
#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/collation.h"
#include "editing/transponders.h"

namespace rivo {

namespace {

// The file's name as the page's bytes; a character Windows-1252 lacks becomes "?", so
// that the name still compares (and fails to) as any other.
std::string NameBytesForMatching(const std::string& utf8) {
    if (auto bytes = Utf8ToCp1252(utf8)) return *bytes;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        const std::string one = utf8.substr(i, length);
        const auto converted = Utf8ToCp1252(one);
        out += converted ? *converted : "?";
        i += length;
    }
    return out;
}

// What a file row is recognised by. It has a transponder when the file gives one of
// its identity columns and every one of them is filled in (a frequency not 0).
ChannelIdentity RowIdentity(const ReferenceFile& file, const ReferenceFileRow& row) {
    ChannelIdentity id;
    id.name = CollationKey(NameBytesForMatching(row.name));
    id.sid = row.sid;
    const bool anyColumn = file.hasFrequency || file.hasTid || file.hasNid || file.hasPolarisation;
    id.hasTransponder = anyColumn && (!file.hasFrequency || row.hertz > 0) &&
                        (!file.hasTid || row.tid >= 0) && (!file.hasNid || row.nid >= 0) &&
                        (!file.hasPolarisation || !row.polarisation.empty());
    if (id.hasTransponder) {
        id.tid = row.tid;
        id.nid = row.nid;
        id.hertz = row.hertz;
        id.polarisation = row.polarisation;
    }
    // As on the page: no name and no transponder (an exported empty slot) is no channel.
    id.emptyRow = row.name.empty() && !id.hasTransponder;
    return id;
}

std::string FrequencyOfChannel(const ListPage& page, int r) {
    const int t = TransponderReference(page.channelGrid.cell(r, ch::Transponder));
    if (t < 1 || t == kNoTransponder || t > page.transponderCount()) return {};
    const std::string& frequency = page.transponderGrid.cell(t, tp::Frequency);
    return frequency == "0" ? std::string() : frequency;
}

}  // namespace

FileOrderMatch MatchFileOrder(const ListPage& page, const ReferenceFile& file) {
    std::vector<ChannelIdentity> cur = ChannelIdentities(page);
    std::vector<ChannelIdentity> ref;
    ref.reserve(file.rows.size());
    for (const auto& row : file.rows) ref.push_back(RowIdentity(file, row));

    FileOrderMatch result;
    ReferenceMatch& match = result.match;
    match.referenceOf.assign(cur.size() + 1, 0);
    match.currentOf.assign(ref.size() + 1, 0);

    // The exact pass: the row of that number still holds this SID and name.
    result.ran[0] = file.hasNumber && file.hasSid && file.hasName;
    if (result.ran[0]) {
        for (std::size_t i = 0; i < file.rows.size(); ++i) {
            const std::int64_t n = file.rows[i].number;
            if (n < 1 || n > static_cast<std::int64_t>(cur.size()) || ref[i].emptyRow) continue;
            const auto c = static_cast<std::size_t>(n);
            const ChannelIdentity& id = cur[c - 1];
            if (match.referenceOf[c] != 0 || id.emptyRow || id.sid != ref[i].sid ||
                id.name != ref[i].name)
                continue;
            match.referenceOf[c] = static_cast<int>(i) + 1;
            match.currentOf[i + 1] = static_cast<int>(c);
            ++result.exactCount;
        }
    }

    // The reference passes over the columns the file has. Without a polarisation
    // column the passes that compare it compare the rest.
    const bool identifiers = file.hasSid && file.hasTid && file.hasNid;
    result.ran[1] = identifiers && file.hasName && file.hasFrequency;
    result.ran[2] = identifiers;
    result.ran[3] = file.hasSid && file.hasFrequency;
    result.ran[4] = file.hasName;
    if (!file.hasPolarisation)
        for (auto& id : cur) id.polarisation.clear();
    RunMatchPasses(cur, ref, match, {result.ran[1], result.ran[2], result.ran[3], result.ran[4]});
    FinishMatch(cur, ref, match);
    // The file rows to show as not found: those naming a channel by its name, its
    // transponder or a service id (0 is none: what an exported empty slot holds).
    match.unmatchedReference.clear();
    for (std::size_t i = 0; i < ref.size(); ++i)
        if (match.currentOf[i + 1] == 0 &&
            (!file.rows[i].name.empty() || ref[i].hasTransponder || file.rows[i].sid > 0))
            match.unmatchedReference.push_back(static_cast<int>(i) + 1);
    return result;
}

std::vector<SkippedName> NamesNotTaken(const ReferenceFile& file, const FileOrderMatch& match) {
    std::vector<SkippedName> out;
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        if (i + 1 >= match.match.currentOf.size() || match.match.currentOf[i + 1] == 0) continue;
        const ReferenceFileRow& row = file.rows[i];
        if (row.name.empty()) continue;
        const auto bytes = Utf8ToCp1252(row.name);
        if (!bytes)
            out.push_back({row.line, row.name, Tr("caratteri che la lista non può contenere")});
        else if (bytes->size() > kChannelNameBytes)
            out.push_back({row.line, row.name, Fmt(Tr("più di %1 caratteri"), kChannelNameBytes)});
        else if (bytes->find_first_not_of(' ') == std::string::npos)
            out.push_back({row.line, row.name, Tr("nome vuoto")});
    }
    return out;
}

bool DeleteUnmatchedAllowed(const FileOrderMatch& match) { return match.matched() > 0; }

std::string FileFavouritesRefusal(const ListPage& page, const ReferenceFile& file) {
    if (page.layout != ListLayout::Split) return Tr(kNoFavouritesInPage);
    if (!file.hasFavourites) return Tr(kNoFavouritesInFile);
    return {};
}

EditResult ApplyFileOrder(ListPage& page, const ReferenceFile& file, const FileOrderMatch& found,
                          const FileOrderOptions& options, Progress& progress) {
    const ReferenceMatch& match = found.match;
    const int channels = page.channelCount();
    if (static_cast<int>(match.order.size()) != channels ||
        match.currentOf.size() != file.rows.size() + 1)
        return {};
    if (options.takeFavourites && !FileFavouritesRefusal(page, file).empty()) return {};
    if (options.deleteUnmatched && !DeleteUnmatchedAllowed(found)) return {};

    ReorderChannels(page, 1, match.order);
    // After the reorder the channel of file row i stands at row k + 1, k counting the
    // matched file rows before it.
    std::vector<int> touched;
    int row = 0;
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        if (match.currentOf[i + 1] == 0) continue;
        ++row;
        const ReferenceFileRow& wanted = file.rows[i];
        bool changed = false;
        if (options.takeNames && !wanted.name.empty()) {
            const auto bytes = Utf8ToCp1252(wanted.name);
            if (bytes && bytes->size() <= kChannelNameBytes &&
                bytes->find_first_not_of(' ') != std::string::npos &&
                page.channelGrid.cell(row, ch::Name) != *bytes) {
                page.channelGrid.setCell(row, ch::Name, *bytes);
                changed = true;
            }
        }
        if (options.takeFavourites && wanted.favourites >= 0) {
            const std::string bits = std::to_string(wanted.favourites);
            if (page.channelGrid.cell(row, ch::Favourites) != bits) {
                page.channelGrid.setCell(row, ch::Favourites, bits);
                changed = true;
            }
        }
        if (changed) touched.push_back(row);
    }
    // The lists follow the new "Preferenza" values, and their entries show the new names.
    if (!touched.empty()) UpdateChannelRows(touched, page, InactiveInLists::Stay);

    const int matched = found.matched();
    int focus = matched < channels ? matched + 1 : 0;
    if (options.deleteUnmatched && matched < channels) {
        DeleteChannels(page, matched + 1, channels, true, progress);
        focus = 0;
    }
    page.modified = true;
    return {true, focus};
}

FileOrderPreview MakeFileOrderPreview(const ListPage& page, const ReferenceFile& file,
                                      const FileOrderMatch& match) {
    static const char* const passes[kFileMatchPasses] = {
        TrNoop("numero, SID e nome invariati"),
        TrNoop("nome, SID, TID e NID, polarizzazione, frequenza (entro 3 MHz)"),
        TrNoop("SID, TID e NID"),
        TrNoop("SID, polarizzazione, frequenza (entro 3 MHz)"),
        TrNoop("nome unico in entrambe le liste"),
    };
    FileOrderPreview preview;
    for (int p = 0; p < kFileMatchPasses; ++p) {
        if (!match.ran[static_cast<size_t>(p)]) {
            preview.passLines.push_back(Fmt(
                Tr("Passo %1 (%2): non eseguito, mancano colonne nel file"), p + 1, Tr(passes[p])));
            continue;
        }
        const int count = match.passCount(p);
        preview.passLines.push_back(
            Fmt(TrN("Passo %1 (%2): %3 canale", "Passo %1 (%2): %3 canali", count), p + 1,
                Tr(passes[p]), count));
    }
    const int matched = match.matched();
    const auto unmatchedCurrent = match.match.unmatchedCurrent.size();
    const auto unmatchedFile = match.match.unmatchedReference.size();
    preview.summary =
        Fmt(TrN("%1 canale trovato nel file", "%1 canali trovati nel file", matched), matched) +
        ", " +
        Fmt(TrN("%1 canale della lista non trovato", "%1 canali della lista non trovati",
                static_cast<long long>(unmatchedCurrent)),
            unmatchedCurrent) +
        ", " +
        Fmt(TrN("%1 riga del file non trovata", "%1 righe del file non trovate",
                static_cast<long long>(unmatchedFile)),
            unmatchedFile);
    // A spreadsheet user may move rows without renumbering them: say which counts.
    preview.orderSource = file.hasNumber ? Tr("L'ordine è quello della colonna del numero.")
                                         : Tr("L'ordine è quello delle righe del file.");
    for (const int r : match.match.unmatchedReference) {
        const ReferenceFileRow& row = file.rows[static_cast<size_t>(r - 1)];
        preview.unmatchedFile.push_back({row.line, row.name,
                                         row.sid >= 0 ? std::to_string(row.sid) : std::string(),
                                         row.frequency});
    }
    for (const int r : match.match.unmatchedCurrent)
        preview.unmatchedCurrent.push_back({r, page.channelGrid.cell(r, ch::Name),
                                            page.channelGrid.cell(r, ch::Sid),
                                            FrequencyOfChannel(page, r)});
    preview.skippedNames = NamesNotTaken(file, match);
    preview.canTakeFavourites = FileFavouritesRefusal(page, file).empty();
    preview.canDeleteUnmatched = DeleteUnmatchedAllowed(match);
    return preview;
}

std::string FileOrderStatusText(const FileOrderMatch& match, bool deleted) {
    const int matched = match.matched();
    const auto unmatched = match.match.unmatchedCurrent.size();
    // Two counts, each with its own plural: two patterns.
    const std::string sorted = Fmt(
        TrN("%1 canale ordinato secondo il file", "%1 canali ordinati secondo il file", matched),
        matched);
    const auto others = static_cast<long long>(unmatched);
    return sorted + ", " +
           (deleted ? Fmt(TrN("%1 eliminato", "%1 eliminati", others), others)
                    : Fmt(TrN("%1 non trovato", "%1 non trovati", others), others));
}

}  // namespace rivo
