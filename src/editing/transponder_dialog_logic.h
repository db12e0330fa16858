// What the transponder dialog reads from a page and writes back on Ok.
//
// The Qt dialog only moves these values between its widgets and TransponderDialogValues,
// so the whole Ok path runs without a window.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "channels/list_page.h"

namespace rivo {

// The FEC choices, index = the radio button.
const std::array<const char*, 5>& FecChoices();

struct TransponderDialogValues {
    std::string caption;  // "Transponder " + row
    // frequencyEdit_ .. channelsEdit_: "Frequenza", "TID", "NID", "Canali" as free text.
    std::string frequency, tid, nid, channels;
    std::array<std::string, 16> symbolRates{};    // the page's rates as decimal texts
    int symbolRate = -1;                          // index into symbolRates; -1 none selected
    std::array<std::string, 2> satellites{};      // satellite A, satellite B
    int satellite = -1;                           // 0, 1; -1 none selected
    int fec = -1;                                 // 0 .. 4 ("1/2" .. "7/8"); -1 none
    bool horizontal = false;                      // "Orizzontale" (else "Verticale")
    bool toneOn = false;                          // "On" (else "Off")
    std::int32_t lnbLow = 9750, lnbHigh = 10600;  // the page's oscillators (MHz), per "22 kHz"
    // "Canali collegati": copies of the channel rows naming this transponder, in order.
    std::vector<GridRow> linkedChannels;

    bool operator==(const TransponderDialogValues&) const = default;
};

// The dialog's values for transponder row t (1..T). Throws ConversionError when the
// "SR" cell is not a whole number or the "FEC" cell is neither a fraction nor
// hexadecimal; std::out_of_range for a row outside the table.
TransponderDialogValues FillTransponderDialog(const ListPage& page, int t);

// When the frequency typed cannot be stored for the band chosen ("22 kHz" On: the high
// oscillator), the range that can, for the user ("Frequenze memorizzabili ..."); empty
// when it can, and for a text that is no frequency (the save names that one). Ok still
// stores such a frequency: the save then lists it among the cells it cannot keep.
std::string FrequencyRangeWarning(const TransponderDialogValues& values);

// Ok: stores the values into row t and marks the page modified when any stored text
// differs from the old one. With no symbol rate (or FEC) chosen the old text stays; with
// no satellite chosen the text becomes empty. Returns whether any cell changed.
bool ApplyTransponderDialog(ListPage& page, int t, const TransponderDialogValues& values);

}  // namespace rivo
