// The undo history: steps holding the page's tables shared with their neighbours, the
// memory they count, and undo and redo with the modified flag.
#include "editing/undo_history.h"

#include <algorithm>
#include <utility>

namespace rivo {

namespace {

// Shares previous's table when it holds the same cells and colours. A table that did
// change still shares its unchanged rows with previous's (grids share rows between
// copies), so a step costs only the rows it changed.
std::shared_ptr<const Grid> ShareOrCopy(const Grid& grid,
                                        const std::shared_ptr<const Grid>* previous) {
    if (previous && *previous && **previous == grid) return *previous;
    return std::make_shared<const Grid>(grid);
}

std::size_t TableBytes(const std::shared_ptr<const Grid>& table,
                       const std::shared_ptr<const Grid>* other) {
    if (!table || (other && *other == table)) return 0;
    return table->bytesNotSharedWith(other && *other ? other->get() : nullptr);
}

}  // namespace

PageContent PageContent::capture(const ListPage& page, const PageContent* previous) {
    PageContent content;
    content.channels = ShareOrCopy(page.channelGrid, previous ? &previous->channels : nullptr);
    content.transponders =
        ShareOrCopy(page.transponderGrid, previous ? &previous->transponders : nullptr);
    for (size_t k = 0; k < content.favourites.size(); ++k)
        content.favourites[k] =
            ShareOrCopy(page.favouriteGrids[k], previous ? &previous->favourites[k] : nullptr);
    content.config = ShareOrCopy(page.configGrid, previous ? &previous->config : nullptr);
    content.satelliteA = page.satelliteA;
    content.satelliteB = page.satelliteB;
    return content;
}

void PageContent::restore(ListPage& page) const {
    page.channelGrid = *channels;
    page.transponderGrid = *transponders;
    for (size_t k = 0; k < favourites.size(); ++k) page.favouriteGrids[k] = *favourites[k];
    page.configGrid = *config;
    page.satelliteA = satelliteA;
    page.satelliteB = satelliteB;
}

std::size_t PageContent::bytesNotSharedWith(const PageContent* other) const {
    std::size_t bytes = TableBytes(channels, other ? &other->channels : nullptr) +
                        TableBytes(transponders, other ? &other->transponders : nullptr) +
                        TableBytes(config, other ? &other->config : nullptr);
    for (size_t k = 0; k < favourites.size(); ++k)
        bytes += TableBytes(favourites[k], other ? &other->favourites[k] : nullptr);
    return bytes;
}

UndoHistory::UndoHistory(const ListPage& page, std::size_t memoryLimit)
    : current_(PageContent::capture(page)), memoryLimit_(memoryLimit) {
    cleanAt_ = page.modified ? -1 : 0;
}

bool UndoHistory::commit(const ListPage& page, const std::string& name) {
    PageContent after = PageContent::capture(page, &current_);
    const bool unchanged =
        after.channels == current_.channels && after.transponders == current_.transponders &&
        after.favourites == current_.favourites && after.config == current_.config &&
        after.satelliteA == current_.satelliteA && after.satelliteB == current_.satelliteB;
    if (unchanged) return false;

    // A new step makes the undone steps unreachable.
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (cleanAt_ > static_cast<long long>(position_)) cleanAt_ = -1;

    Step step{name, current_, after, after.bytesNotSharedWith(&current_), {}, {}};
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    position_ = steps_.size();
    current_ = std::move(after);
    while (bytes_ > memoryLimit_ && steps_.size() > 1) dropOldest();
    return true;
}

void UndoHistory::dropOldest() {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --position_;
    // The state before the dropped step can no longer be reached.
    cleanAt_ = cleanAt_ <= 0 ? -1 : cleanAt_ - 1;
}

std::string UndoHistory::undoName() const {
    return canUndo() ? steps_[position_ - 1].name : std::string();
}

std::string UndoHistory::redoName() const {
    return canRedo() ? steps_[position_].name : std::string();
}

void UndoHistory::applyModified(ListPage& page) const {
    page.modified = cleanAt_ != static_cast<long long>(position_);
}

bool UndoHistory::undo(ListPage& page) {
    if (!canUndo()) return false;
    --position_;
    current_ = steps_[position_].before;
    current_.restore(page);
    applyModified(page);
    return true;
}

bool UndoHistory::redo(ListPage& page) {
    if (!canRedo()) return false;
    current_ = steps_[position_].after;
    ++position_;
    current_.restore(page);
    applyModified(page);
    return true;
}

namespace {
// Rows alike but for "Num.": a channel or transponder that only changed row number is
// the same one. Rows the states share compare without reading their cells.
bool SameApartFromNumber(const GridRow& a, const GridRow& b) {
    if (&a == &b) return true;
    if (a.colour != b.colour || a.cells.size() != b.cells.size()) return false;
    for (size_t c = 1; c < a.cells.size(); ++c)
        if (a.cells[c] != b.cells[c]) return false;
    return true;
}

// The d >= 1 for which shown's rows from first + d on are other's rows from first on
// (to the end of either table): shown holds a block of d rows that other lacks. 0 when
// there is none. Only a few candidate places are tried, so a table of alike rows costs
// a few passes, not one per row.
int BlockOnlyIn(const Grid& shown, const Grid& other, int first) {
    const int n = shown.rowCount();
    const int m = other.rowCount();
    if (first >= m) return 0;
    int tries = 0;
    for (int d = 1; first + d < n && tries < 4; ++d) {
        if (!SameApartFromNumber(shown.row(first + d), other.row(first))) continue;
        ++tries;
        int i = 1;
        while (first + d + i < n && first + i < m &&
               SameApartFromNumber(shown.row(first + d + i), other.row(first + i)))
            ++i;
        if (first + d + i == n || first + i == m) return d;
    }
    return 0;
}

// The data rows of shown (the state the page now holds), ascending, that the step
// between other and shown changed; none when the table did not change. A block deleted
// with the rows below closing up comes back as that block; an inserted block is that
// block; a step that took rows away shows the row where they were; otherwise the rows
// that differ, each on its own, so that scattered changes never become the block
// between them.
std::vector<int> ChangedRows(const std::shared_ptr<const Grid>& shownTable,
                             const std::shared_ptr<const Grid>& otherTable) {
    if (shownTable == otherTable || !shownTable || !otherTable) return {};
    const Grid& shown = *shownTable;
    const Grid& other = *otherTable;
    const int n = shown.rowCount();
    const int m = other.rowCount();
    int first = 1;
    while (first < n && first < m && SameApartFromNumber(shown.row(first), other.row(first)))
        ++first;
    auto range = [](int from, int to) {
        std::vector<int> rows;
        for (int r = from; r <= to; ++r) rows.push_back(r);
        return rows;
    };
    if (first >= n) return first >= m || n <= 1 ? std::vector<int>{} : std::vector<int>{n - 1};
    if (first >= m) return range(first, n - 1);
    if (const int d = BlockOnlyIn(shown, other, first)) return range(first, first + d - 1);
    if (BlockOnlyIn(other, shown, first)) return {first};
    std::vector<int> rows;
    for (int r = first; r < n; ++r)
        if (r >= m || !SameApartFromNumber(shown.row(r), other.row(r))) rows.push_back(r);
    return rows;
}
}  // namespace

UndoHistory::StepRows UndoHistory::rowsOf(const PageContent& shown, const PageContent& other,
                                          const TouchedRows& told) {
    StepRows rows;
    rows.channels = told.channels ? *told.channels : ChangedRows(shown.channels, other.channels);
    rows.transponders = told.transponders ? *told.transponders
                                          : ChangedRows(shown.transponders, other.transponders);
    return rows;
}

UndoHistory::StepRows UndoHistory::undoRows() const {
    if (!canUndo()) return {};
    const Step& step = steps_[position_ - 1];
    return rowsOf(step.before, step.after, step.afterUndo);
}

UndoHistory::StepRows UndoHistory::redoRows() const {
    if (!canRedo()) return {};
    const Step& step = steps_[position_];
    return rowsOf(step.after, step.before, step.afterRedo);
}

bool UndoHistory::commit(const ListPage& page, const std::string& name,
                         const TouchedRows& afterUndo, const TouchedRows& afterRedo) {
    if (!commit(page, name)) return false;
    steps_.back().afterUndo = afterUndo;
    steps_.back().afterRedo = afterRedo;
    return true;
}

void UndoHistory::markSaved(const ListPage& page) {
    // A save never changes the tables, but take them anyway in case an edit slipped by
    // without a step: the clean state must be what was written.
    PageContent now = PageContent::capture(page, &current_);
    const bool same =
        now.channels == current_.channels && now.transponders == current_.transponders &&
        now.favourites == current_.favourites && now.config == current_.config &&
        now.satelliteA == current_.satelliteA && now.satelliteB == current_.satelliteB;
    if (!same) commit(page, "");
    cleanAt_ = static_cast<long long>(position_);
}

}  // namespace rivo
