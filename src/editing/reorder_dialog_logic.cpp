// The sort and reference dialogs' logic: the rows a sort covers, the reference image's open
// parameters, and the preview of what applying a reference will do.
#include "editing/reorder_dialog_logic.h"

#include <climits>

#include "channels/records.h"
#include "editing/transponders.h"
#include "text/translate.h"

namespace rivo {

std::pair<int, int> SortDialogRows(const ListPage& page, const SortDialogValues& values,
                                   int selectedFirst, int selectedLast) {
    if (values.wholeList) return {1, page.channelCount()};
    return {selectedFirst, selectedLast};
}

EditResult ApplySortDialog(ListPage& page, const SortDialogValues& values, int selectedFirst,
                           int selectedLast) {
    const auto [first, last] = SortDialogRows(page, values, selectedFirst, selectedLast);
    return SortChannels(page, first, last, values.key);
}

ReferenceDialogValues ReferenceDialogStart(const ListPage& page) {
    ReferenceDialogValues values;
    values.lnbLow = std::to_string(page.lnbLow);
    values.lnbHigh = std::to_string(page.lnbHigh);
    values.satelliteA = page.satelliteA;
    values.satelliteB = page.satelliteB;
    return values;
}

std::optional<OpenParams> ReferenceOpenParams(const ListPage& page,
                                              const ReferenceDialogValues& values) {
    const std::int64_t low = CellIntegerOr(values.lnbLow, -1);
    const std::int64_t high = CellIntegerOr(values.lnbHigh, -1);
    if (values.fileName.empty() || low <= 0 || low > INT32_MAX || high <= 0 || high > INT32_MAX ||
        values.satelliteA.empty() || values.satelliteB.empty() ||
        values.satelliteA == values.satelliteB)
        return std::nullopt;
    OpenParams params;
    params.fileName = values.fileName;
    params.lnbLow = static_cast<std::int32_t>(low);
    params.lnbHigh = static_cast<std::int32_t>(high);
    params.symbolRates = page.symbolRates;
    params.satelliteA = values.satelliteA;
    params.satelliteB = values.satelliteB;
    return params;
}

namespace {

std::vector<PreviewRow> PreviewRows(const ListPage& page, const std::vector<int>& rows) {
    std::vector<PreviewRow> out;
    out.reserve(rows.size());
    for (const int r : rows) {
        PreviewRow row{
            r, page.channelGrid.cell(r, ch::Name), page.channelGrid.cell(r, ch::Sid), {}};
        const int t = TransponderReference(page.channelGrid.cell(r, ch::Transponder));
        if (t >= 1 && t != kNoTransponder && t <= page.transponderCount())
            row.frequency = page.transponderGrid.cell(t, tp::Frequency);
        if (row.frequency == "0") row.frequency.clear();
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace

ReferencePreview MakeReferencePreview(const ListPage& current, const ListPage& reference,
                                      const ReferenceMatch& match,
                                      const ReferenceOptions& options) {
    static const char* const passes[kMatchPasses] = {
        TrNoop("nome, SID, TID e NID, polarizzazione, frequenza (entro 3 MHz)"),
        TrNoop("SID, TID e NID"),
        TrNoop("SID, polarizzazione, frequenza (entro 3 MHz)"),
        TrNoop("nome unico in entrambe le liste"),
    };
    ReferencePreview preview;
    for (int p = 0; p < kMatchPasses; ++p) {
        const int count = match.passCounts[static_cast<size_t>(p)];
        preview.passLines.push_back(
            Fmt(TrN("Passo %1 (%2): %3 canale", "Passo %1 (%2): %3 canali", count), p + 1,
                Tr(passes[p]), count));
    }
    const int matched = match.matched();
    const auto unmatchedCurrent = match.unmatchedCurrent.size();
    const auto unmatchedReference = match.unmatchedReference.size();
    // Three counts, each with its own noun: three patterns, listed with commas.
    preview.summary =
        Fmt(TrN("%1 canale trovato nel riferimento", "%1 canali trovati nel riferimento", matched),
            matched) +
        ", " +
        Fmt(TrN("%1 canale della lista non trovato", "%1 canali della lista non trovati",
                static_cast<long long>(unmatchedCurrent)),
            unmatchedCurrent) +
        ", " +
        Fmt(TrN("%1 canale del riferimento non trovato", "%1 canali del riferimento non trovati",
                static_cast<long long>(unmatchedReference)),
            unmatchedReference);
    preview.takes = options.takeNames && options.takeFavourites
                        ? Tr("Dal riferimento verranno presi l'ordine, i nomi e i preferiti.")
                    : options.takeNames ? Tr("Dal riferimento verranno presi l'ordine e i nomi.")
                    : options.takeFavourites
                        ? Tr("Dal riferimento verranno presi l'ordine e i preferiti.")
                        : Tr("Dal riferimento verrà preso solo l'ordine.");
    preview.unmatchedCurrent = PreviewRows(current, match.unmatchedCurrent);
    preview.unmatchedReference = PreviewRows(reference, match.unmatchedReference);
    return preview;
}

}  // namespace rivo
