#include "editing/transponder_dialog_logic.h"

#include <stdexcept>

#include "channels/records.h"
#include "editing/transponders.h"

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
        hz = FrequencyHertz(values.Frequency);
    } catch (const ConversionError&) {
        return {};
    }
    const std::int32_t oscillator = values.ToneOn ? values.LnbHigh : values.LnbLow;
    const auto [low, high] = StorableFrequencyHertz(oscillator);
    if (hz == 0 || (hz >= low && hz <= high)) return {};  // 0 marks a free slot
    const auto text = [oscillator](std::int64_t at) {
        return FrequencyText(static_cast<std::int32_t>(at - std::int64_t{oscillator} * 1000000), oscillator);
    };
    return "Frequenze memorizzabili con 22 kHz " + std::string(values.ToneOn ? "On" : "Off") + " (oscillatore " +
           std::to_string(oscillator) + " MHz): da " + text(low) + " a " + text(high) + " MHz";
}

TransponderDialogValues FillTransponderDialog(const ListPage& page, int t) {
    if (t < 1 || t > page.transponderCount()) throw std::out_of_range("transponder row " + std::to_string(t));
    const Grid& grid = page.TransponderGrid;
    TransponderDialogValues v;
    v.Caption = "Transponder " + std::to_string(t);
    v.Frequency = grid.cell(t, tp::Frequency);
    v.Tid = grid.cell(t, tp::Tid);
    v.Nid = grid.cell(t, tp::Nid);
    v.Channels = grid.cell(t, tp::Channels);

    v.LnbLow = page.LnbLow;
    v.LnbHigh = page.LnbHigh;
    v.Satellites = {page.SatelliteA, page.SatelliteB};
    for (int i = 0; i < 2 && v.Satellite < 0; ++i)
        if (EqualIgnoringCase(v.Satellites[static_cast<size_t>(i)], grid.cell(t, tp::Satellite))) v.Satellite = i;

    const std::int64_t rate = CellInteger(grid.cell(t, tp::SymbolRate));
    for (int i = 0; i < 16; ++i) {
        v.SymbolRates[static_cast<size_t>(i)] = std::to_string(page.SymbolRates[static_cast<size_t>(i)]);
        if (v.SymbolRate < 0 && page.SymbolRates[static_cast<size_t>(i)] == rate) v.SymbolRate = i;
    }

    const std::string& fec = grid.cell(t, tp::Fec);
    for (int i = 0; i < 5 && v.Fec < 0; ++i)
        if (fec == FecChoices()[static_cast<size_t>(i)]) v.Fec = i;
    if (v.Fec < 0) {
        const std::int64_t code = CellHex(fec);
        // A negative value (eight hex digits wrapping) selects nothing.
        if (code >= 0) v.Fec = code >= 5 ? 4 : static_cast<int>(code);
    }

    v.Horizontal = grid.cell(t, tp::Polarisation) == "H";
    v.ToneOn = grid.cell(t, tp::Tone) == "On";

    // Rows 255 and beyond cannot be named by a channel ("255" is "no transponder").
    if (t <= ReachableTransponderRows(page)) {
        const std::string& number = grid.cell(t, tp::Num);
        for (int i = 1; i <= page.channelCount(); ++i)
            if (page.ChannelGrid.cell(i, ch::Transponder) == number) v.LinkedChannels.push_back(page.ChannelGrid.row(i));
    }
    return v;
}

bool ApplyTransponderDialog(ListPage& page, int t, const TransponderDialogValues& v) {
    if (t < 1 || t > page.transponderCount()) return false;
    Grid& grid = page.TransponderGrid;
    bool changed = false;
    changed |= Store(grid, t, tp::Frequency, v.Frequency);
    changed |= Store(grid, t, tp::Tid, v.Tid);
    changed |= Store(grid, t, tp::Nid, v.Nid);
    changed |= Store(grid, t, tp::Channels, v.Channels);
    if (v.SymbolRate >= 0 && v.SymbolRate < 16)
        changed |= Store(grid, t, tp::SymbolRate, v.SymbolRates[static_cast<size_t>(v.SymbolRate)]);
    changed |= Store(grid, t, tp::Satellite,
                     v.Satellite == 0 || v.Satellite == 1 ? v.Satellites[static_cast<size_t>(v.Satellite)] : "");
    if (v.Fec >= 0 && v.Fec < 5) changed |= Store(grid, t, tp::Fec, FecChoices()[static_cast<size_t>(v.Fec)]);
    changed |= Store(grid, t, tp::Polarisation, v.Horizontal ? "H" : "V");
    changed |= Store(grid, t, tp::Tone, v.ToneOn ? "On" : "Off");
    if (changed) page.Modified = true;
    return changed;
}

}  // namespace rivo
