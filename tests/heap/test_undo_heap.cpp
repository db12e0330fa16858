// The heap an undo step really keeps, counted by the allocator: this program replaces the
// global operator new and delete with ones that count the bytes in use, so it runs apart
// from the other tests. A step of a command users repeat one channel at a time must stay
// small on the largest page, favourites lists full, or a thousand of them would not fit
// under the history's cap.
#include <gtest/gtest.h>

#include <string>

#include "channels/user_prompts.h"
#include "editing/channel_edit.h"
#include "editing/undo_history.h"
#include "heap_counter.h"
#include "reference_editing.h"

namespace rivo {
namespace {

class AnswerYes final : public UserPrompts {
public:
    Answer ask(const std::string&, const std::string&, Icon, Buttons) override {
        return Answer::Yes;
    }
};

// The heap grown per step, page and history together, over steps commands each
// committed, after one step that leaves lazily built tables in place.
template <typename Command>
double HeapPerStep(const ListPage& start, Command command, int steps) {
    ListPage page = start;
    UndoHistory history(page, static_cast<std::size_t>(-1));
    command(page);
    history.commit(page, "warm");
    const long long before = LiveHeapBytes();
    for (int n = 0; n < steps; ++n) {
        command(page);
        EXPECT_TRUE(history.commit(page, "command"));
    }
    EXPECT_EQ(history.stepCount(), static_cast<std::size_t>(steps) + 1);
    return static_cast<double>(LiveHeapBytes() - before) / steps;
}

const ListPage& FullPage() {
    static const ListPage page = reference::FullPage(9990);
    return page;
}

TEST(UndoHeap, SingleChannelStepsOnTheFullPageStaySmall) {
    struct Case {
        const char* what;
        void (*command)(ListPage&);
    };
    const Case cases[] = {
        {"move channel 9,000 to row 1",
         [](ListPage& page) {
             NullProgress progress;
             ASSERT_TRUE(MoveChannels(page, 9000, 9000, 1, progress).changed);
         }},
        {"insert at row 1",
         [](ListPage& page) {
             AnswerYes yes;
             ASSERT_TRUE(InsertEmptyChannel(page, 1, yes).changed);
         }},
        {"delete row 1",
         [](ListPage& page) {
             NullProgress progress;
             ASSERT_TRUE(DeleteChannels(page, 1, 1, true, progress).changed);
         }},
    };
    for (int k = 0; k < fav::Lists; ++k)
        ASSERT_NE(FullPage().favouriteGrids[static_cast<size_t>(k)].cell(fav::Slots, fav::Channel),
                  "0")
            << "list " << k + 1 << " is full";
    for (const Case& c : cases) {
        const double perStep = HeapPerStep(FullPage(), c.command, 30);
        EXPECT_LE(perStep, 64.0 * 1024) << c.what;
        EXPECT_GT(perStep, 1024.0) << c.what << ": a step holds at least the blocks it changed";
    }
}

// A thousand moves to the top under the history's usual cap: every step is kept, the
// heap they hold together stays within 64 KB a step, and undoing them all gives the
// opened page.
TEST(UndoHeap, AThousandMovesToTheTopFitAndUndoToTheOpenedPage) {
    ListPage page = FullPage();
    UndoHistory history(page);
    NullProgress progress;
    const long long before = LiveHeapBytes();
    for (int n = 0; n < 1000; ++n) {
        ASSERT_TRUE(MoveChannels(page, 9000, 9000, 1, progress).changed);
        ASSERT_TRUE(history.commit(page, "Sposta"));
    }
    EXPECT_LE(LiveHeapBytes() - before, 1000LL * 64 * 1024);
    EXPECT_EQ(history.stepCount(), 1000u);
    int undone = 0;
    while (history.undo(page)) ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_TRUE(page.channelGrid == FullPage().channelGrid);
    EXPECT_TRUE(page.favouriteGrids == FullPage().favouriteGrids);
    EXPECT_FALSE(page.modified);
}

// The count sees what a step holds: a command that gives every favourites entry a new
// row (as storing the channel numbers in the rows did) costs far more than 64 KB.
TEST(UndoHeap, RewritingEveryFavouritesRowIsSeen) {
    const double perStep = HeapPerStep(
        FullPage(),
        [](ListPage& page) {
            for (Grid& list : page.favouriteGrids)
                for (int s = 1; s < list.rowCount(); ++s)
                    list.setCell(s, fav::Name, list.cell(s, fav::Name) + "+");
        },
        10);
    EXPECT_GT(perStep, 128.0 * 1024);
}

}  // namespace
}  // namespace rivo
