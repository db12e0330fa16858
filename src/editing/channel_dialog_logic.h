// What the channel properties dialog reads from a page and writes back on Ok.
//
// The dialog is opened two ways: a double-click edits one channel row, the context
// menu's properties command edits every row of a selection at once. The Qt dialog only
// moves these values between its widgets and ChannelDialogValues; everything the dialog
// decides lives here, so the Ok paths run without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "text/translate.h"

namespace rivo {

// A check box of the dialog. Mixed is only produced by a selection whose rows disagree;
// once the user clicks such a box it alternates between checked and unchecked.
enum class CheckState { Unchecked, Checked, Mixed };

// The edit boxes, in the order of the channel grid's cells 1 .. 8.
namespace box {
inline constexpr int Name = 0, Transponder = 1, Sid = 2, VPid = 3, APid = 4, VEcm = 5, AEcm = 6,
                     Pcr = 7, Count = 8;
}

// The value labels of the "Transponder" page, in the order of the transponder grid's
// cells 1 .. 9.
namespace tpvalue {
inline constexpr int Frequency = 0, Tid = 1, Nid = 2, Channels = 3, SymbolRate = 4, Fec = 5,
                     Polarisation = 6, Tone = 7, Satellite = 8, Count = 9;
}

inline constexpr int kEncodingCount = 6;  // "NESSUNA" .. "VIACESS"
inline constexpr int kNoEncoding = -1;    // encodings 6 and 7 have no entry in the list
// The encoding list's extra entry for a selection whose rows' encodings differ: each row
// keeps its own unless the user picks one.
inline constexpr const char* kMixedEncoding = TrNoop("(diverse)");
// Italian, marked for the catalogue: shown through Tr().
inline constexpr const char* kChannelDialogCaption = TrNoop("Dati del canale");

// The names of the encoding list, index = encryption system (status bits 5-7), in the
// user's language.
std::array<const char*, kEncodingCount> EncodingNames();

// Everything the dialog shows. The defaults are the freshly created form.
struct ChannelDialogValues {
    std::string caption = Tr(kChannelDialogCaption);
    std::string favouriteCaption = Tr("Preferito");  // status bit 1, named by the layout
    // Cell texts as the grid holds them (a name is Windows-1252 bytes).
    std::array<std::string, box::Count> boxes{};
    int encoding = 0;                              // 0 .. 5, or kNoEncoding
    CheckState active = CheckState::Unchecked;     // status bit 2
    CheckState favourite = CheckState::Unchecked;  // status bit 1
    CheckState locked = CheckState::Unchecked;     // status bit 0
    std::array<CheckState, fav::Lists> lists{};    // index n-1: favourites list n
    bool listsVisible = true;                      // the group box "Liste preferiti"
    std::array<std::string, tpvalue::Count> transponder{};

    // Each row keeps its own encryption system instead of receiving `encoding`: the
    // tool's set-channel without an encoding, and a selection whose rows' encodings
    // differ (the dialog's "(diverse)" entry) until the user picks one.
    bool keepEachEncoding = false;

    bool operator==(const ChannelDialogValues&) const = default;
};

// ---- one row (double-click) -----------------------------------------------------------

// What the double-click path remembers between showing the dialog and Ok.
struct RowEditStart {
    int row = 0;
    bool wasActive = false;       // "Attivo" as the dialog opened
    std::int64_t favourites = 0;  // the row's "Preferenza" value as the dialog opened
};

// Fills values from channel row `row` (1 .. N) of page. Throws ConversionError when the
// "Trasponder", "Status" or "Preferenza" text cannot be read: the dialog is then not
// shown. A transponder number that names no row of the transponder grid leaves the
// "Transponder" page's values empty.
RowEditStart FillFromRow(const ListPage& page, int row, ChannelDialogValues& values);

// Ok of the double-click path. An inactive channel that stays inactive is not written;
// the row is recoloured in any case. Sets page.modified by the rules of the dialog
// (a changed box, status or favourites value). Returns whether the page changed: a
// cell, a row colour or its modified flag.
bool ApplyRowOk(ListPage& page, const RowEditStart& start, const ChannelDialogValues& values);

// ---- a selection (context menu) -------------------------------------------------------

// Fills values for rows top .. bottom (1 <= top <= bottom <= N): a box whose texts differ
// between the rows is empty, a check box is Checked / Unchecked / Mixed when its bit is
// set in all / none / some of the rows, the encoding is the rows' common one, or each
// row's own (keepEachEncoding) when they differ. Caption and the
// "Transponder" page keep the form's defaults. Throws ConversionError when a "Status" or
// "Preferenza" text cannot be read.
ChannelDialogValues FillFromSelection(const ListPage& page, int top, int bottom);

// Ok of the context-menu path: for every row, a non-empty box replaces the cell, a mixed
// check box keeps the row's own bit, the encoding applies to all unless each row keeps
// its own; bits 3 and 4 become 0.
// Always marks the page modified. Nothing is written when a row's "Status" or
// "Preferenza" cannot be read (ConversionError). Returns whether the page changed: a
// cell, a row colour or its modified flag.
bool ApplySelectionOk(ListPage& page, int top, int bottom, const ChannelDialogValues& values);

// The same for a selection of any rows, not only one block: rows ascending, each once,
// all on the page (otherwise FillFromSelection throws std::out_of_range and
// ApplySelectionOk changes nothing).
ChannelDialogValues FillFromSelection(const ListPage& page, const std::vector<int>& rows);
bool ApplySelectionOk(ListPage& page, const std::vector<int>& rows,
                      const ChannelDialogValues& values);

}  // namespace rivo
