// Random sequences of the editor's commands on a page opened from an image, with what
// is shown checked against what would be saved after every command: every list naming a
// channel has its bit in "Preferenza", an active channel is in every list its bits name,
// no list names a row beyond the channels, and the page rebuilt from the saved bytes
// shows the same cells (an inactive channel's remembered bits aside).
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "channel_edit_fakes.h"
#include "channel_fixtures.h"
#include "channels/page_io.h"
#include "editing/channel_dialog_logic.h"
#include "editing/channel_edit.h"
#include "editing/channel_rows.h"
#include "editing/clipboard.h"
#include "editing/transponders.h"

namespace rivo {
namespace {

using testsupport::BuildChannelImage;
using testsupport::FixtureOpenParams;
using testsupport::MakeChannelImageSpec;
using testsupport::OpenChannelImage;

// The favourites invariant, read from the cells alone: "" when it holds, else the first
// channel or slot where it does not.
std::string FavouritesProblem(const ListPage& page) {
    const int count = page.channelCount();
    std::vector<int> lists(static_cast<size_t>(count) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        for (int s = 1; s < list.rowCount(); ++s) {
            const std::string& text = list.cell(s, fav::Channel);
            const std::int64_t n = std::stoll(text);
            if (text != std::to_string(n) || n < 0 || n > count)
                return "list " + std::to_string(k + 1) + " slot " + std::to_string(s) +
                       " names \"" + text + "\"";
            if (n > 0) lists[static_cast<size_t>(n)] |= 1 << k;
        }
    }
    // Every list naming a channel has its bit; an active channel is in every list its
    // bits name. An inactive channel's further bits are a remembered wish.
    for (int n = 1; n <= count; ++n) {
        const std::string& text = page.channelGrid.cell(n, ch::Favourites);
        const std::int64_t bits = std::stoll(text);
        const std::int64_t held = lists[static_cast<size_t>(n)];
        const bool active =
            (std::stoll(page.channelGrid.cell(n, ch::Status), nullptr, 16) & 4) != 0;
        if (text != std::to_string(bits) || (held & ~bits) != 0 || (active && bits != held))
            return "channel " + std::to_string(n) + (active ? " (active)" : " (inactive)") +
                   ": \"Preferenza\" " + text + ", lists naming it " + std::to_string(held);
    }
    return "";
}

// What a save would give back: the page rebuilt from the saved bytes, compared cell by
// cell ("" when equal).
std::string SavedProblem(ListPage& page) {
    NullProgress quiet;
    Bytes saved;
    const PageSaveResult result = SavePageToBytes(page, saved, quiet);
    if (!result.ok) return "not saved: " + result.message;
    auto image = std::make_shared<KvxImage>();
    if (!image->loadBytes(saved, "saved.Bin").ok()) return "the saved bytes do not open";
    OpenParams params = FixtureOpenParams();
    params.lnbLow = page.lnbLow;
    params.lnbHigh = page.lnbHigh;
    params.satelliteA = page.satelliteA;
    params.satelliteB = page.satelliteB;
    const auto rebuilt = BuildPage(image, params, quiet);
    const auto differences = PageDifferences(page, *rebuilt);
    if (differences.empty()) return "";
    return std::to_string(differences.size()) +
           " differences, first: " + DescribeDifferences(differences, 1);
}

class Commands {
public:
    Commands(ListPage& page, const ListPage& other, std::mt19937& rng)
        : page_(page), other_(other), rng_(rng) {}

    // One random command as the editor runs it; returns its description.
    std::string run() {
        testing::RecordingProgress progress;
        const int channels = page_.channelCount();
        // Most commands land among the channels in use (the first 100 rows).
        const int first = pick(0, 4) == 0 ? pick(1, channels) : pick(1, 100);
        const int last = std::min(channels, first + pick(0, 2) * pick(0, 12));
        std::ostringstream what;
        switch (pick(0, 11)) {
            case 0:
                what << "delete " << first << ".." << last;
                DeleteChannels(page_, first, last, pick(0, 1) == 1, progress);
                break;
            case 1: {
                what << "insert at " << first;
                testing::ScriptedPrompts yes({Answer::Yes, Answer::Yes});
                InsertEmptyChannel(page_, first, yes);
                break;
            }
            case 2: {
                const int limit = MoveLimit(page_, first, last);
                const int to = limit > 1 ? pick(1, limit - 1) : first;
                what << "move " << first << ".." << last << " to " << to;
                if (limit > 1) MoveChannels(page_, first, last, to, progress);
                break;
            }
            case 3: {
                const int list = pick(0, fav::Lists - 1), from = pick(1, 12), to = pick(1, 12);
                what << "favourite " << list + 1 << ": " << from << " -> " << to;
                if (FavouriteMoveAllowed(page_, list, from, to))
                    MoveFavourite(page_, list, from, to);
                break;
            }
            case 4:
            case 5: {
                // The dialog on one row: a new name, "Attivo" and the lists at random.
                ChannelDialogValues values;
                const RowEditStart start = FillFromRow(page_, first, values);
                values.boxes[box::Name] = "R" + std::to_string(pick(0, 999));
                values.active = pick(0, 2) == 0 ? CheckState::Unchecked : CheckState::Checked;
                for (auto& list : values.lists)
                    list = pick(0, 3) == 0 ? CheckState::Checked : CheckState::Unchecked;
                what << "dialog on " << first << " (active "
                     << (values.active == CheckState::Checked) << ")";
                ApplyRowOk(page_, start, values);
                break;
            }
            case 6: {
                // The dialog on a selection: a list set or cleared, "Attivo" kept or cleared.
                ChannelDialogValues values = FillFromSelection(page_, first, last);
                values.lists[static_cast<size_t>(pick(0, fav::Lists - 1))] =
                    pick(0, 1) == 0 ? CheckState::Checked : CheckState::Unchecked;
                if (pick(0, 3) == 0) values.active = CheckState::Unchecked;
                what << "dialog on " << first << ".." << last;
                ApplySelectionOk(page_, first, last, values);
                break;
            }
            case 7:
            case 8: {
                // Copy and paste, from this image or from another one, insert or overwrite.
                const bool fromOther = pick(0, 1) == 0;
                const ListPage& source = fromOther ? other_ : page_;
                ChannelClipboard clipboard;
                CopyChannels(source, first, last, clipboard);
                const int at = pick(1, 100);
                const bool insert = pick(0, 1) == 0;
                what << "paste " << first << ".." << last
                     << (fromOther ? " of the other image" : "") << " at " << at
                     << (insert ? " inserting" : " overwriting");
                testing::ScriptedPrompts answers(
                    {insert ? Answer::Yes : Answer::No, Answer::Yes, Answer::Yes});
                PasteChannels(page_, at, clipboard, answers, progress);
                break;
            }
            case 9: {
                const int t = pick(1, std::max(1, page_.transponderCount()));
                what << "delete transponder " << t;
                testing::ScriptedPrompts answers({pick(0, 1) == 0 ? Answer::Yes : Answer::No});
                DeleteTransponder(page_, t, answers, progress);
                break;
            }
            case 10:
                what << "optimise";
                OptimiseTransponderList(page_, progress);
                break;
            default:
                what << "clear " << first;
                ClearChannelRow(page_, first);
                break;
        }
        return what.str();
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    ListPage& page_;
    const ListPage& other_;
    std::mt19937& rng_;
};

TEST(CommandsKeepThePageSaveable, AfterEveryCommandFavouritesAgreeAndTheSaveGivesTheSameCells) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 3; ++round) {
        auto spec = MakeChannelImageSpec(ListLayout::Split, 90, 12);
        // Some channels inactive, a few of them in lists.
        for (std::size_t i = 0; i < spec.channels.size(); i += 7)
            spec.channels[i].status &= static_cast<std::uint8_t>(~4);
        auto page = OpenChannelImage(BuildChannelImage(spec));
        auto otherSpec = MakeChannelImageSpec(ListLayout::Split, 60, 9);
        for (std::size_t i = 0; i < otherSpec.channels.size(); i += 5)
            otherSpec.channels[i].status &= static_cast<std::uint8_t>(~4);
        auto other = OpenChannelImage(BuildChannelImage(otherSpec));
        ASSERT_EQ(FavouritesProblem(*page), "") << "as opened";
        ASSERT_EQ(SavedProblem(*page), "") << "as opened";
        Commands commands(*page, *other, rng);
        for (int c = 0; c < 120; ++c) {
            std::string what = "failed";
            try {
                what = commands.run();
            } catch (const std::exception& e) {
                what += std::string(": ") + e.what();
            }
            ASSERT_EQ(FavouritesProblem(*page), "")
                << "round " << round << ", command " << c << ": " << what;
            ASSERT_EQ(SavedProblem(*page), "")
                << "round " << round << ", command " << c << ": " << what;
        }
    }
}

}  // namespace
}  // namespace rivo
