// The channel editing commands of the "Canali" and "Preferiti" tabs: deleting the
// selected block, inserting an empty channel, going to a channel, moving the selected
// block, and moving a favourites entry up or down.
//
// Each command asks its questions through UserPrompts and shows its progress through
// Progress, and works directly on the page: one pass over the channel rows and one pass
// over the favourites lists. The result (cells, colours, favourites) is the one that
// the row-by-row sequence of ClearChannelRow / MoveChannelRow calls gives, so the
// favourites entries follow their channels exactly as those primitives make them.
//
// Every command that changes the page sets page.modified and reports the change, so
// the editor can enable Save. Rows and slots are 1-based; favourites lists are the
// page's indexes 0 .. 7 (ListPage::selectedFavourite). Arguments out of range leave
// the page alone and report no change.
#pragma once

#include <string>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "text/translate.h"

namespace rivo {

// What a command did.
struct EditResult {
    bool changed = false;  // the page changed (and page.modified was set)
    int focusRow = 0;      // the row that should have the focus afterwards (0: leave it)
};

// ---- deleting and inserting -------------------------------------------------------
//
// The texts below are the Italian originals, marked for the catalogue; whoever shows
// one passes it through Tr().

inline constexpr const char* kDeleteTitle = TrNoop("Cancellazione canale");
inline constexpr const char* kDeleteQuestion = TrNoop(
    "Vuoi spostare i canali successivi verso l'altro?\n"
    "* Si: verrà cancellato il canale selezionato ed successivi verrano spostati in alto\n"
    "* No: Verrà cancellato il canale selezionato ed il suo posto rimarra inattivo\n"
    "* Annulla: il canale non verrà cancellato");
inline constexpr const char* kDeleteStatus = TrNoop("Cancellazione in corso...");
inline constexpr const char* kInsertTitle = TrNoop("Ocio");
inline constexpr const char* kInsertQuestion =
    TrNoop("Attenzione, in questo modo eliminerete l'ultimo canale.Continuare?");

// Deletes channel rows first .. last without asking: closeGap moves the following
// channels up over the gap (the last rows become empty), otherwise the rows are left
// empty and grey.
EditResult DeleteChannels(ListPage& page, int first, int last, bool closeGap, Progress& progress);

// "Cancella i canali selezionati": asks whether to close the gap (Si), leave the rows
// empty (No) or do nothing (Annulla), then deletes. A block of more than one row adds
// the count to the question, on a line of its own.
EditResult DeleteSelectedChannels(ListPage& page, int first, int last, UserPrompts& prompts,
                                  Progress& progress);

// "Inserisce un canale vuoto" at row: the channels from row on move down one row and the
// last channel is lost. When the last row is in use (not grey) the user is asked first.
// The last row is always emptied first (ClearChannelRow), so its favourites entries go
// with it rather than coming to name the channel that moves into its place.
EditResult InsertEmptyChannel(ListPage& page, int row, UserPrompts& prompts);

// ---- the channel number dialog ----------------------------------------------------

inline constexpr const char* kGoToCaption = TrNoop("Vai al canale...");
inline constexpr const char* kGoToGroup = TrNoop("Canale da visualizzare");
inline constexpr const char* kMoveCaption = TrNoop("Spostamento canali...");
inline constexpr const char* kMoveGroup = TrNoop("Sposta i selezionati a...");
inline constexpr const char* kChannelNumberError = TrNoop("Inserire un canale corretto");
inline constexpr const char* kChannelNumberErrorTitle = TrNoop("Errore");

// The number typed into the channel number dialog: a decimal whole number, or -1 when
// the text is not one.
int ChannelNumberValue(const std::string& text);
// Whether the dialog accepts text: a whole number v with 0 < v < limit.
bool ChannelNumberAccepted(const std::string& text, int limit);
// The dialog's Ok: accepts, or shows "Inserire un canale corretto" (title "Errore",
// error icon, one OK button) and refuses.
bool CheckChannelNumber(const std::string& text, int limit, UserPrompts& prompts);

// The dialog's limit for "Vai al canale": the channel grid's row count (channels + 1).
int GoToLimit(const ListPage& page);
// The dialog's limit for moving rows first .. last: the row count minus (last - first),
// so that the block fits below the target.
int MoveLimit(const ListPage& page, int first, int last);

// "Vai al canale" after the dialog's Ok: the row to select (focusRow), or no row when
// target is outside 1 .. N. Nothing in the page changes.
EditResult GoToChannel(const ListPage& page, int target);

// ---- moving channels --------------------------------------------------------------

inline constexpr const char* kMoveStatus = TrNoop("Spostamento...");

// "Sposta i canali selezionati" after the dialog's Ok: the block first .. last comes to
// stand at target .. target + (last - first), the channels in between close up around
// it. target must let the block fit (1 .. N - n + 1). Moving a block onto itself still
// counts as a change (the page is marked modified).
EditResult MoveChannels(ListPage& page, int first, int last, int target, Progress& progress);

// ---- favourites order -------------------------------------------------------------

inline constexpr const char* kFavouriteEndMessage =
    TrNoop("Non è possibile spostare ulteriormente il canale");
inline constexpr const char* kFavouriteEndTitle = TrNoop("Attenzione");

// Exchanges the entry in slot with the one below. Refused (with the message above,
// error icon) when slot is the last slot or the slot below is grey (empty). focusRow is
// the slot the entry stands in afterwards. list -1 (no favourites grid selected) does
// nothing.
EditResult MoveFavouriteDown(ListPage& page, int list, int slot, UserPrompts& prompts);
// Exchanges the entry in slot with the one above (whatever its colour); refused with
// the same message in slot 1.
EditResult MoveFavouriteUp(ListPage& page, int list, int slot, UserPrompts& prompts);

// Whether the entry in slot `from` of list can be taken to slot `to` by repeated single
// moves without a refusal: upward to any slot, downward only across non-grey slots.
// from == to, or either slot outside 1 .. 128, is not a move.
bool FavouriteMoveAllowed(const ListPage& page, int list, int from, int to);
// Takes the entry in slot `from` to slot `to` in one step, with exactly the result of
// repeated MoveFavouriteUp / MoveFavouriteDown (the entries in between shift by one
// place, "Pos." rewritten). A move that is not allowed changes nothing and asks
// nothing. focusRow is `to`.
EditResult MoveFavourite(ListPage& page, int list, int from, int to);

}  // namespace rivo
