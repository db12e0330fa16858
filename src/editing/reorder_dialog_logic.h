// What the sort dialog and the apply-reference dialogs read from a page and do on Ok,
// as plain functions over the dialogs' values.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "editing/reorder.h"
#include "text/translate.h"

namespace rivo {

// The texts below are the Italian originals, marked for the catalogue; whoever shows
// one passes it through Tr(). The step names are those of the undo history.

// ---- "Ordina..." --------------------------------------------------------------------

inline constexpr const char* kSortCaption = TrNoop("Ordina...");
inline constexpr const char* kSortStep = TrNoop("Ordina");

struct SortDialogValues {
    SortKey key = SortKey::Name;
    bool wholeList = false;  // "tutta la lista"; otherwise "selezione"
};

// The rows Ok sorts: the selected block, or every row.
std::pair<int, int> SortDialogRows(const ListPage& page, const SortDialogValues& values, int selectedFirst,
                                   int selectedLast);
// Ok: sorts those rows. focusRow is the first sorted row.
EditResult ApplySortDialog(ListPage& page, const SortDialogValues& values, int selectedFirst, int selectedLast);

// ---- "Applica ordine da riferimento..." -------------------------------------------------

inline constexpr const char* kReferenceCaption = TrNoop("Applica ordine da riferimento...");
inline constexpr const char* kReferenceStep = TrNoop("Applica ordine da riferimento");
inline constexpr const char* kReferenceValuesError =
    TrNoop("Uno dei seguenti elementi non è corretto:\n- nome del file\n- freq. LNB bassa\n- freq. LNB alta\n"
           "- nome dei satelliti");

// The first dialog: the reference image and how to open it, and what to take from it.
// Satellite names are Windows-1252 bytes, like every name in a page.
struct ReferenceDialogValues {
    std::string fileName;
    std::string lnbLow, lnbHigh;
    std::string satelliteA, satelliteB;
    bool takeFavourites = false;
    bool takeNames = false;
};

// The dialog's start values: the page's own open parameters, no file, nothing taken.
ReferenceDialogValues ReferenceDialogStart(const ListPage& page);
// The open parameters for the reference (the page's symbol rates), or nullopt when the
// values are not usable: no file, an LNB value that is not a whole number above 0, an
// empty satellite name, or two equal ones.
std::optional<OpenParams> ReferenceOpenParams(const ListPage& page,
                                              const ReferenceDialogValues& values);

// The second dialog: what applying will do.
struct PreviewRow {
    int row = 0;
    std::string name;       // bytes
    std::string sid;
    std::string frequency;  // the transponder's "Frequenza", "" without a transponder
};
struct ReferencePreview {
    std::vector<std::string> passLines;  // one line per pass, with its count
    std::string summary;                 // matched and unmatched counts
    std::string takes;                   // what Ok takes from the reference
    std::vector<PreviewRow> unmatchedCurrent, unmatchedReference;
};
ReferencePreview MakeReferencePreview(const ListPage& current, const ListPage& reference,
                                      const ReferenceMatch& match, const ReferenceOptions& options = {});

}  // namespace rivo
