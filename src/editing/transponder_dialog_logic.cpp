// The transponder dialog's logic: filling its values from a row, the frequency warning, and
// writing the row back on Ok.
#include "editing/transponder_dialog_logic.h"

#include <stdexcept>

#include "channels/records.h"
#include "editing/transponders.h"
#include "text/translate.h"

namespace rivo {

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Stores text into a cell; true when the cell's text changed.
bool Store(Grid& grid, int row, int column, const std::string& text) {
    if (grid.cell(row, column) == text) return false;
    grid.setCell(row, column, text);
    return true;
}

}  // namespace

const std::array<const char*, 5>& FecChoices() {
    static const std::array<const char*, 5> choices = {"1/2", "2/3", "3/4", "5/6", "7/8"};
    return choices;
}

std::string FrequencyRangeWarning(const TransponderDialogValues& values) {
    std::int64_t hz = 0;
    try {
        hz = FrequencyHertz(values.frequency);
    } catch (const ConversionError&) {
        return {};
    }
    const std::int32_t oscillator = values.toneOn ? values.lnbHigh : values.lnbLow;
    const auto [low, high] = StorableFrequencyHertz(oscillator);
    if (hz == 0 || (hz >= low && hz <= high)) return {};  // 0 marks a free slot
    const auto text = [oscillator](std::int64_t at) {
        return FrequencyText(static_cast<std::int32_t>(at - std::int64_t{oscillator} * 1000000), oscillator);
    };
    const char* const pattern =
        values.toneOn ? Tr("Frequenze memorizzabili con 22 kHz On (oscillatore %1 MHz): da %2 a %3 MHz")
                      : Tr("Frequenze memorizzabili con 22 kHz Off (oscillatore %1 MHz): da %2 a %3 MHz");
    return Fmt(pattern, oscillator, text(low), text(high));
}

TransponderDialogValues FillTransponderDialog(const ListPage& page, int t) {
    if (t < 1 || t > page.transponderCount()) throw std::out_of_range("transponder row " + std::to_string(t));
    const Grid& grid = page.transponderGrid;
    TransponderDialogValues v;
    v.caption = Fmt(Tr("Transponder %1"), t);
    v.frequency = grid.cell(t, tp::Frequency);
    v.tid = grid.cell(t, tp::Tid);
    v.nid = grid.cell(t, tp::Nid);
    v.channels = grid.cell(t, tp::Channels);

    v.lnbLow = page.lnbLow;
    v.lnbHigh = page.lnbHigh;
    v.satellites = {page.satelliteA, page.satelliteB};
    for (int i = 0; i < 2 && v.satellite < 0; ++i)
        if (EqualIgnoringCase(v.satellites[static_cast<size_t>(i)], grid.cell(t, tp::Satellite))) v.satellite = i;

    const std::int64_t rate = CellInteger(grid.cell(t, tp::SymbolRate));
    for (int i = 0; i < 16; ++i) {
        v.symbolRates[static_cast<size_t>(i)] = std::to_string(page.symbolRates[static_cast<size_t>(i)]);
        if (v.symbolRate < 0 && page.symbolRates[static_cast<size_t>(i)] == rate) v.symbolRate = i;
    }

    const std::string& fec = grid.cell(t, tp::Fec);
    for (int i = 0; i < 5 && v.fec < 0; ++i)
        if (fec == FecChoices()[static_cast<size_t>(i)]) v.fec = i;
    if (v.fec < 0) {
        const std::int64_t code = CellHex(fec);
        // A negative value (eight hex digits wrapping) selects nothing.
        if (code >= 0) v.fec = code >= 5 ? 4 : static_cast<int>(code);
    }

    v.horizontal = grid.cell(t, tp::Polarisation) == "H";
    v.toneOn = grid.cell(t, tp::Tone) == "On";

    // Rows 255 and beyond cannot be named by a channel ("255" is "no transponder").
    if (t <= ReachableTransponderRows(page)) {
        const std::string& number = grid.cell(t, tp::Num);
        for (int i = 1; i <= page.channelCount(); ++i)
            if (page.channelGrid.cell(i, ch::Transponder) == number) {
                // A copy out of the grid: it takes its number along.
                v.linkedChannels.push_back(page.channelGrid.row(i));
                v.linkedChannels.back().cells[ch::Num] = page.channelGrid.cell(i, ch::Num);
            }
    }
    return v;
}

bool ApplyTransponderDialog(ListPage& page, int t, const TransponderDialogValues& v) {
    if (t < 1 || t > page.transponderCount()) return false;
    Grid& grid = page.transponderGrid;
    bool changed = false;
    changed |= Store(grid, t, tp::Frequency, v.frequency);
    changed |= Store(grid, t, tp::Tid, v.tid);
    changed |= Store(grid, t, tp::Nid, v.nid);
    changed |= Store(grid, t, tp::Channels, v.channels);
    if (v.symbolRate >= 0 && v.symbolRate < 16)
        changed |= Store(grid, t, tp::SymbolRate, v.symbolRates[static_cast<size_t>(v.symbolRate)]);
    changed |= Store(grid, t, tp::Satellite,
                     v.satellite == 0 || v.satellite == 1 ? v.satellites[static_cast<size_t>(v.satellite)] : "");
    if (v.fec >= 0 && v.fec < 5) changed |= Store(grid, t, tp::Fec, FecChoices()[static_cast<size_t>(v.fec)]);
    changed |= Store(grid, t, tp::Polarisation, v.horizontal ? "H" : "V");
    changed |= Store(grid, t, tp::Tone, v.toneOn ? "On" : "Off");
    if (changed) page.modified = true;
    return changed;
}

}  // namespace rivo
