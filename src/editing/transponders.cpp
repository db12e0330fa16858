// Transponder maintenance: deleting and merging transponders, swapping the satellite names,
// and the reference rules that tie channels to transponder rows.
#include "editing/transponders.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "editing/channel_rows.h"
#include "text/translate.h"

namespace rivo {

namespace {

const std::string kFree = "0";

// Writes the values of a free transponder row (the row keeps its number).
void WriteFreeTransponder(ListPage& page, int n) {
    Grid& grid = page.transponderGrid;
    grid.setCell(n, tp::Frequency, "0");
    grid.setCell(n, tp::Tid, "0");
    grid.setCell(n, tp::Nid, "0");
    grid.setCell(n, tp::Channels, "0");
    grid.setCell(n, tp::SymbolRate, std::to_string(page.symbolRates[0]));
    grid.setCell(n, tp::Fec, "1/2");
    grid.setCell(n, tp::Polarisation, "V");
    grid.setCell(n, tp::Tone, "On");
    grid.setCell(n, tp::Satellite, page.satelliteA);
    grid.setColour(n, kColourGrey);
}

// Empties every channel that names transponder n (only reachable rows have channels).
// Whether channel row i names transponder row n, as deleting row n counts it.
bool NamesTransponder(const ListPage& page, int i, int n) {
    return n >= 1 && n <= ReachableTransponderRows(page) &&
           TransponderReference(page.channelGrid.cell(i, ch::Transponder)) == n;
}

void ClearChannelsOf(ListPage& page, int n) {
    const int channels = page.channelCount();
    for (int i = 1; i <= channels; ++i)
        if (NamesTransponder(page, i, n)) ClearChannelRow(page, i);
}

void RenumberTransponders(ListPage& page) {
    const int count = page.transponderCount();
    for (int j = 1; j <= count; ++j) page.transponderGrid.setCell(j, tp::Num, std::to_string(j));
}

// "Frequenza" read as hertz the way the duplicate test reads it: the fraction after the
// first "," padded or cut to six digits; -1 when the joined digits are not a number.
std::int64_t MatchHertz(const std::string& text) {
    std::string joined;
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        joined = text + "000000";
    } else {
        std::string fraction = text.substr(comma + 1);
        fraction.resize(6, '0');
        joined = text.substr(0, comma) + fraction;
    }
    const char* first = joined.data();
    const char* last = joined.data() + joined.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return -1;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return -1;
    return value;
}

}  // namespace

int TransponderReference(const std::string& cell) {
    if (cell.empty() || cell.size() > 9) return -1;
    if (cell.size() > 1 && cell[0] == '0') return -1;
    int value = 0;
    for (char c : cell) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

int ReachableTransponderRows(const ListPage& page) {
    return std::max(0, std::min(page.transponderCount(), kNoTransponder - 1));
}

void ClearTransponderRow(ListPage& page, int n) {
    if (n < 1 || n > page.transponderCount()) return;
    WriteFreeTransponder(page, n);
    ClearChannelsOf(page, n);
}

void RemoveTransponderRow(ListPage& page, int n, Progress& progress) {
    const int count = page.transponderCount();
    if (n < 1 || n > count) return;
    progress.show(0);
    progress.status(Tr("Cancellazione transponder..."));
    ClearChannelsOf(page, n);

    Grid& grid = page.transponderGrid;
    for (int j = n + 1; j <= count; ++j) {
        grid.copyRow(j, j - 1);
        grid.setColour(j - 1,
                       grid.cell(j - 1, tp::Frequency) == kFree ? kColourGrey : kColourInUse);
        if ((j - n) % 32 == 0) progress.set((j - n - 1) * 100 / (count - n));
    }
    if (n < count) grid.row(count).cells.assign(tp::Count, {});
    // The channels follow their transponders up by one. A channel naming 255 has no
    // transponder and keeps it, even when row 255 moved to 254.
    const int reachable = ReachableTransponderRows(page);
    const int channels = page.channelCount();
    for (int i = 1; i <= channels; ++i) {
        const int t = TransponderReference(page.channelGrid.cell(i, ch::Transponder));
        if (t > n && t <= reachable)
            page.channelGrid.setCell(i, ch::Transponder, std::to_string(t - 1));
    }
    ClearTransponderRow(page, count);
    RenumberTransponders(page);
}

std::uint32_t TransponderMatchMHz(const std::string& frequency) {
    const std::int64_t hertz = MatchHertz(frequency);
    const float single = static_cast<float>(hertz);
    const double mhz = static_cast<double>(single) * 0.000001;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(std::trunc(mhz)));
}

namespace {
constexpr int kComparedColumns[] = {tp::Tid,          tp::Nid,  tp::SymbolRate, tp::Fec,
                                    tp::Polarisation, tp::Tone, tp::Satellite};

bool FrequenciesMatch(std::uint32_t a, std::uint32_t b) {
    return b <= a && static_cast<std::uint64_t>(a) <= static_cast<std::uint64_t>(b) + 2;
}

// The compared texts of a row joined into one key (each prefixed by its length, so no
// two different rows share a key).
std::string MatchKey(const Grid& grid, int row) {
    std::string key;
    for (int column : kComparedColumns) {
        const std::string& text = grid.cell(row, column);
        key += std::to_string(text.size());
        key += ':';
        key += text;
    }
    return key;
}
}  // namespace

bool TranspondersMatch(const ListPage& page, int a, int b) {
    const Grid& grid = page.transponderGrid;
    const int count = page.transponderCount();
    if (a < 1 || b < 1 || a > count || b > count) return false;
    return TransponderCellsMatch(grid.row(a).cells, grid.row(b).cells);
}

bool TransponderCellsMatch(const std::vector<std::string>& later,
                           const std::vector<std::string>& earlier) {
    if (later.size() < tp::Count || earlier.size() < tp::Count) return false;
    for (int column : kComparedColumns)
        if (later[static_cast<size_t>(column)] != earlier[static_cast<size_t>(column)])
            return false;
    return FrequenciesMatch(TransponderMatchMHz(later[tp::Frequency]),
                            TransponderMatchMHz(earlier[tp::Frequency]));
}

bool OptimiseTransponderList(ListPage& page, Progress& progress, int* mergedRows) {
    const int count = page.transponderCount();
    Grid& grid = page.transponderGrid;
    progress.show(0);
    progress.status(Tr("Ottimizzazione transponder..."));

    // Rows are compared only with earlier rows, and a row is cleared only after every
    // later row has been looked at, so the comparisons can all be made on the table as
    // it stands now. Rows with equal compared texts are grouped first.
    std::vector<std::uint32_t> mhz(static_cast<size_t>(count) + 1);
    std::unordered_map<std::string, std::vector<int>> groups;
    for (int row = 1; row <= count; ++row) {
        mhz[static_cast<size_t>(row)] = TransponderMatchMHz(grid.cell(row, tp::Frequency));
        groups[MatchKey(grid, row)].push_back(row);  // ascending row order
    }
    std::vector<int> mergedInto(static_cast<size_t>(count) + 1, 0);
    bool merged = false;
    for (int n = count; n >= 1; --n) {
        if (grid.cell(n, tp::Frequency) != kFree) {
            for (int k : groups[MatchKey(grid, n)]) {
                if (k >= n) break;
                if (FrequenciesMatch(mhz[static_cast<size_t>(n)], mhz[static_cast<size_t>(k)])) {
                    mergedInto[static_cast<size_t>(n)] = k;
                    merged = true;
                    break;
                }
            }
        }
        if (n % 32 == 0) progress.set(100 - n * 100 / (count + 1));
    }

    if (merged) {
        // Where each row's channels end: a row merged into k follows k wherever k went.
        const int reachable = ReachableTransponderRows(page);
        std::vector<int> finalRow(static_cast<size_t>(reachable) + 1, 0);
        for (int row = 1; row <= reachable; ++row) {
            const int k = mergedInto[static_cast<size_t>(row)];
            finalRow[static_cast<size_t>(row)] = k == 0 ? row : finalRow[static_cast<size_t>(k)];
        }
        const int channels = page.channelCount();
        for (int i = 1; i <= channels; ++i) {
            const int t = TransponderReference(page.channelGrid.cell(i, ch::Transponder));
            if (t >= 1 && t <= reachable && finalRow[static_cast<size_t>(t)] != t)
                page.channelGrid.setCell(i, ch::Transponder,
                                         std::to_string(finalRow[static_cast<size_t>(t)]));
        }
        for (int n = 1; n <= count; ++n)
            if (mergedInto[static_cast<size_t>(n)] != 0) WriteFreeTransponder(page, n);
        page.modified = true;
    }
    if (mergedRows)
        *mergedRows = static_cast<int>(std::count_if(mergedInto.begin(), mergedInto.end(),
                                                     [](int into) { return into != 0; }));
    progress.hide();
    progress.status("");
    return merged;
}

int ChannelsOfTransponder(const ListPage& page, int n) {
    const int channels = page.channelCount();
    int count = 0;
    for (int i = 1; i <= channels; ++i)
        if (NamesTransponder(page, i, n)) ++count;
    return count;
}

bool DeleteTransponder(ListPage& page, int n, UserPrompts& prompts, Progress& progress) {
    if (n < 1 || n > page.transponderCount()) return false;
    // Both "Sì" and "No" take the transponder's channels with it: the question says how
    // many, and "Annulla" is the answer Enter gives.
    const Answer answer =
        prompts.askDiscarding(Fmt(Tr("Vuoi spostare i transponder successivi verso l'altro?\n"
                                     "* Si: verrà cancellato il transponder selezionato ed "
                                     "successivi verrano spostati in alto\n"
                                     "* No: Verrà cancellato il transponder selezionato ed il suo "
                                     "posto rimarra inattivo\n"
                                     "* Annulla: il transponder non verrà cancellato\n"
                                     "Canali che verranno cancellati con il transponder: %1"),
                                  ChannelsOfTransponder(page, n)),
                              Tr("Cancellazione canale"), Icon::Warning, Buttons::YesNoCancel);
    if (answer == Answer::Yes) {
        RemoveTransponderRow(page, n, progress);
    } else if (answer == Answer::No) {
        ClearTransponderRow(page, n);
    } else {
        return false;
    }
    page.modified = true;
    progress.status("");
    progress.hide();
    return true;
}

bool SwapSatellites(ListPage& page, UserPrompts& prompts) {
    const Answer answer = prompts.ask(Fmt(Tr("Settare i trasponder di %1 su %2 (e viceversa)?"),
                                          page.satelliteA, page.satelliteB),
                                      Tr("Attenzione"), Icon::Question, Buttons::YesNo);
    if (answer != Answer::Yes) return false;
    Grid& grid = page.transponderGrid;
    const int count = page.transponderCount();
    for (int row = 1; row <= count; ++row) {
        if (grid.colour(row) == kColourGrey) continue;
        grid.setCell(
            row, tp::Satellite,
            grid.cell(row, tp::Satellite) == page.satelliteA ? page.satelliteB : page.satelliteA);
    }
    std::swap(page.satelliteA, page.satelliteB);
    page.modified = true;
    return true;
}

}  // namespace rivo
