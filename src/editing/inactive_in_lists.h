// The rules for an inactive channel's favourites entries, apart from the row primitives
// so that code comparing rules (the tests' step-by-step versions) can name them alone.
#pragma once

namespace rivo {

// How an inactive channel's entries follow its "Preferenza" (an active channel is in
// exactly the lists its bits name, as far as they have room).
enum class InactiveInLists {
    // The channel dialog's rule: an inactive channel leaves all eight lists and keeps its
    // bits, a wish remembered for when it is active again (the file stores only the
    // lists, so a save drops it).
    Leave,
    // Entries it has in lists its bits name stay; a set bit adds none; a clear bit
    // removes its entries. For commands that do not decide about lists (a rename).
    Stay,
    // It joins the lists its bits name like an active channel: a paste keeps a pasted
    // channel's favourites whatever its "Attivo".
    Join,
};

}  // namespace rivo
