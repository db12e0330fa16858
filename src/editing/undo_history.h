// Undo and redo of a page's content.
//
// Each command that changes a page is one step. A step keeps the page's content
// before and after the command; unchanged tables, and the unchanged rows of changed
// tables, are shared between neighbouring states, so a step that renames one channel
// costs that row (and the small block of row pointers around it) and nothing more. The history
// remembers which state was last saved, so undoing back to it clears the page's modified flag.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "channels/list_page.h"

namespace rivo {

// The part of a page that commands change, with tables shared between states.
struct PageContent {
    std::shared_ptr<const Grid> channels;
    std::shared_ptr<const Grid> transponders;
    std::array<std::shared_ptr<const Grid>, fav::Lists> favourites;
    std::shared_ptr<const Grid> config;
    std::string satelliteA;
    std::string satelliteB;

    // Takes the page's content, sharing every table that equals the one in previous.
    static PageContent capture(const ListPage& page, const PageContent* previous = nullptr);
    void restore(ListPage& page) const;
    // Bytes held by the tables and rows not shared with other (cell texts estimated).
    std::size_t bytesNotSharedWith(const PageContent* other) const;
};

class UndoHistory {
public:
    // memoryLimit bounds the bytes the steps may hold; the oldest steps go first.
    explicit UndoHistory(const ListPage& page, std::size_t memoryLimit = 256u << 20);

    // Call after a command changed the page. Records one step named name (an empty
    // step, where nothing changed, is not recorded) and drops the redo steps.
    // Returns whether a step was recorded.
    bool commit(const ListPage& page, const std::string& name);

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // The name of the step that undo or redo would take back or do again; "" if none.
    std::string undoName() const;
    std::string redoName() const;

    // Puts the page back as it was before / after the step; sets page.modified from
    // whether the result is the last saved state.
    bool undo(ListPage& page);
    bool redo(ListPage& page);

    // The table rows (ascending) that undo would bring back, or redo would change
    // again, counted in the table as it stands after the undo or redo: what the editor
    // selects after it. A command that says which rows it touched (see commit below) is
    // taken at its word; otherwise the rows are found by comparing the two states:
    // rows changed in place are those rows, a block taken out with the rows below
    // closing up comes back as that block, and an inserted block is that block.
    struct StepRows {
        std::vector<int> channels;
        std::vector<int> transponders;
    };
    StepRows undoRows() const;
    StepRows redoRows() const;

    // What a command says it touched, per table; a table left unset is found by
    // comparison. A command that moves rows knows better than a comparison, which sees
    // every row between a block's old and new place (or every row below a deletion)
    // changed.
    struct TouchedRows {
        std::optional<std::vector<int>> channels;
        std::optional<std::vector<int>> transponders;
    };
    // As commit, for a command that says which rows it touched: undo then selects
    // afterUndo, redo afterRedo.
    bool commit(const ListPage& page, const std::string& name, const TouchedRows& afterUndo,
                const TouchedRows& afterRedo);

    // The page was just saved: its current content is the clean state.
    void markSaved(const ListPage& page);

    std::size_t stepCount() const { return steps_.size(); }
    // How many steps undo can take back from here.
    std::size_t undoCount() const { return position_; }
    std::size_t bytesHeld() const { return bytes_; }

private:
    struct Step {
        std::string name;
        PageContent before;
        PageContent after;
        std::size_t bytes = 0;
        // Rows to select after undoing / redoing the step, as far as the command said.
        TouchedRows afterUndo;
        TouchedRows afterRedo;
    };
    static StepRows rowsOf(const PageContent& shown, const PageContent& other,
                           const TouchedRows& told);
    void dropOldest();
    void applyModified(ListPage& page) const;

    PageContent current_;
    // A deque: dropping the oldest step at the memory limit must not move the others.
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // steps_[0 .. position_) are done
    // Index of the clean state in the step sequence: 0 before the first step, k after
    // step k. -1 when the clean state was dropped or overwritten.
    long long cleanAt_ = 0;
    std::size_t bytes_ = 0;
    std::size_t memoryLimit_;
};

}  // namespace rivo
