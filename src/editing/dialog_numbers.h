// The number boxes of the channel and transponder dialogs, checked before Ok.
//
// The dialogs store whatever text a box holds, and a text that is no number in its
// field's range either stops the next save or is cut down to the bits the record holds.
// Ok therefore asks first, naming the boxes, so that a slip is seen while the dialog is
// still open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editing/channel_dialog_logic.h"
#include "editing/transponder_dialog_logic.h"
#include "text/translate.h"

namespace rivo {

// A box whose text is not what its field holds: the caption (Italian, for Tr()), the
// text, and the whole numbers the field stores (a frequency has none: low > high).
struct BadNumberBox {
    std::string caption;
    std::string text;
    std::int64_t low = 0;
    std::int64_t high = -1;
    bool operator==(const BadNumberBox&) const = default;
};

// The channel dialog's number boxes ("Transponder" 0..255, the PIDs and ECMs 0..65535)
// holding a text that is not a whole number in range. emptyKeeps: the properties
// dialog on a selection, where an empty box keeps each row's own value.
std::vector<BadNumberBox> BadChannelNumbers(const ChannelDialogValues& values, bool emptyKeeps);
// The transponder dialog's: "Frequenza" (a frequency in MHz), "Transponder ID" and
// "Network ID" (0..65535), "Canali" (0..255).
std::vector<BadNumberBox> BadTransponderNumbers(const TransponderDialogValues& values);

// The question Ok asks (No is the default answer), one line per box.
std::string BadNumbersQuestion(const std::vector<BadNumberBox>& boxes);

}  // namespace rivo
