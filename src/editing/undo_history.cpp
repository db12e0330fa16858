#include "editing/undo_history.h"

#include <algorithm>
#include <utility>

namespace rivo {

namespace {

// Shares previous's table when it holds the same cells and colours. A table that did
// change still shares its unchanged rows with previous's (grids share rows between
// copies), so a step costs only the rows it changed.
std::shared_ptr<const Grid> shareOrCopy(const Grid& grid, const std::shared_ptr<const Grid>* previous) {
    if (previous && *previous && **previous == grid) return *previous;
    return std::make_shared<const Grid>(grid);
}

std::size_t tableBytes(const std::shared_ptr<const Grid>& table, const std::shared_ptr<const Grid>* other) {
    if (!table || (other && *other == table)) return 0;
    return table->bytesNotSharedWith(other && *other ? other->get() : nullptr);
}

}  // namespace

PageContent PageContent::capture(const ListPage& page, const PageContent* previous) {
    PageContent content;
    content.channels = shareOrCopy(page.ChannelGrid, previous ? &previous->channels : nullptr);
    content.transponders = shareOrCopy(page.TransponderGrid, previous ? &previous->transponders : nullptr);
    for (size_t k = 0; k < content.favourites.size(); ++k)
        content.favourites[k] = shareOrCopy(page.FavouriteGrids[k], previous ? &previous->favourites[k] : nullptr);
    content.config = shareOrCopy(page.ConfigGrid, previous ? &previous->config : nullptr);
    content.satelliteA = page.SatelliteA;
    content.satelliteB = page.SatelliteB;
    return content;
}

void PageContent::restore(ListPage& page) const {
    page.ChannelGrid = *channels;
    page.TransponderGrid = *transponders;
    for (size_t k = 0; k < favourites.size(); ++k) page.FavouriteGrids[k] = *favourites[k];
    page.ConfigGrid = *config;
    page.SatelliteA = satelliteA;
    page.SatelliteB = satelliteB;
}

std::size_t PageContent::bytesNotSharedWith(const PageContent* other) const {
    std::size_t bytes = tableBytes(channels, other ? &other->channels : nullptr) +
                        tableBytes(transponders, other ? &other->transponders : nullptr) +
                        tableBytes(config, other ? &other->config : nullptr);
    for (size_t k = 0; k < favourites.size(); ++k)
        bytes += tableBytes(favourites[k], other ? &other->favourites[k] : nullptr);
    return bytes;
}

UndoHistory::UndoHistory(const ListPage& page, std::size_t memoryLimit)
    : current_(PageContent::capture(page)), memoryLimit_(memoryLimit) {
    cleanAt_ = page.Modified ? -1 : 0;
}

bool UndoHistory::commit(const ListPage& page, const std::string& name) {
    PageContent after = PageContent::capture(page, &current_);
    const bool unchanged = after.channels == current_.channels &&
                           after.transponders == current_.transponders &&
                           after.favourites == current_.favourites && after.config == current_.config &&
                           after.satelliteA == current_.satelliteA &&
                           after.satelliteB == current_.satelliteB;
    if (unchanged) return false;

    // A new step makes the undone steps unreachable.
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (cleanAt_ > static_cast<long long>(position_)) cleanAt_ = -1;

    Step step{name, current_, after, after.bytesNotSharedWith(&current_)};
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

std::string UndoHistory::undoName() const { return canUndo() ? steps_[position_ - 1].name : std::string(); }

std::string UndoHistory::redoName() const { return canRedo() ? steps_[position_].name : std::string(); }

void UndoHistory::applyModified(ListPage& page) const {
    page.Modified = cleanAt_ != static_cast<long long>(position_);
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
// The first and last data rows in which two states of a table differ; {0, 0} when
// they are the same.
std::pair<int, int> ChangedRows(const std::shared_ptr<const Grid>& a, const std::shared_ptr<const Grid>& b) {
    if (a == b || !a || !b) return {0, 0};
    const auto& x = a->rows();
    const auto& y = b->rows();
    const int count = static_cast<int>(std::max(x.size(), y.size()));
    auto differs = [&](int row) {
        const auto r = static_cast<size_t>(row);
        return r >= x.size() || r >= y.size() || !(x[r] == y[r]);
    };
    int first = 1;
    while (first < count && !differs(first)) ++first;
    if (first >= count) return {0, 0};
    int last = count - 1;
    while (last > first && !differs(last)) --last;
    return {first, last};
}
}  // namespace

UndoHistory::StepRows UndoHistory::rowsOf(const Step& step) {
    return {ChangedRows(step.before.channels, step.after.channels),
            ChangedRows(step.before.transponders, step.after.transponders)};
}

UndoHistory::StepRows UndoHistory::undoRows() const {
    return canUndo() ? rowsOf(steps_[position_ - 1]) : StepRows{};
}

UndoHistory::StepRows UndoHistory::redoRows() const {
    return canRedo() ? rowsOf(steps_[position_]) : StepRows{};
}

void UndoHistory::markSaved(const ListPage& page) {
    // A save never changes the tables, but take them anyway in case an edit slipped by
    // without a step: the clean state must be what was written.
    PageContent now = PageContent::capture(page, &current_);
    const bool same = now.channels == current_.channels && now.transponders == current_.transponders &&
                      now.favourites == current_.favourites && now.config == current_.config &&
                      now.satelliteA == current_.satelliteA && now.satelliteB == current_.satelliteB;
    if (!same) commit(page, "");
    cleanAt_ = static_cast<long long>(position_);
}

}  // namespace rivo
