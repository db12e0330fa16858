// `set-channel FIRST LAST FIELD=VALUE...`: the properties dialog from the context menu with
// the named fields set; everything not named stays as each row has it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "channels/open_params.h"
#include "channels/records.h"
#include "page_maker.h"
#include "tool/edit_ops_channel_dialog.h"
#include "tool/tool.h"
#include "tool_run.h"

namespace rivo::tool {
namespace {

Bytes ReadFileBytes(const std::string& path) {
    const std::string text = testing::ReadText(path);
    return Bytes(text.begin(), text.end());
}

struct Fixture {
    // Channels 1..4 active with different names, SIDs and encodings; channel 2 in list 1.
    Fixture() : page(pages::MakePage(5, 2)), io{out, err}, context{page, params, io} {
        pages::Transponder t;
        pages::SetTransponder(page, 1, t);
        pages::SetChannel(page, 1, "ONE", 1, "512", "650", "04");
        pages::SetChannel(page, 2, "TWO", 1, "512", "650", "3C");      // encoding 1, bits 3 and 4
        pages::SetChannel(page, 3, "THREE", 1, "65535", "650", "C5");  // encoding 6, locked
        pages::SetChannel(page, 4, "FOUR", 1, "512", "650", "46");     // encoding 2, favourite
        page.channelGrid.setCell(3, ch::Sid, "300");
        pages::AddFavourite(page, 1, 2);
    }
    size_t run(std::vector<std::string> words) { return SetChannelOperation(words, 0, context); }
    const std::string& cell(int row, int column) const {
        return page.channelGrid.cell(row, column);
    }

    ListPage page;
    OpenParams params;
    std::ostringstream out, err;
    ToolIo io;
    EditContext context;
};

TEST(EditSetChannel, NamedFieldsAreSetAndTheRestKeptPerRow) {
    Fixture f;
    const size_t used = f.run({"set-channel", "2", "4",
                               "name=\xC3\x80"
                               "BCDEFGHIJKLMNOPQRS",
                               "pcr=99", "list3=1", "locked=1", "swap-satellites", "x=1"});
    EXPECT_EQ(used, 7u);  // stops at the next operation
    for (int r = 2; r <= 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(f.cell(r, ch::Name),
                  "\xC0"
                  "BCDEFGHIJKLMNOP");  // 16 characters, Windows-1252
        EXPECT_EQ(f.cell(r, ch::Pcr), "99");
        EXPECT_EQ(pages::Favourites(f.page, 3).at(static_cast<size_t>(r - 2)), r);
    }
    EXPECT_EQ(f.cell(3, ch::Sid), "300");
    EXPECT_EQ(f.cell(2, ch::Sid), "100");
    // Each row keeps its encoding and other bits; bits 3 and 4 are dropped.
    EXPECT_EQ(f.cell(2, ch::Status), "25");
    EXPECT_EQ(f.cell(3, ch::Status), "C5");
    EXPECT_EQ(f.cell(4, ch::Status), "47");
    EXPECT_EQ(f.cell(2, ch::Favourites), "5");
    EXPECT_EQ(f.cell(3, ch::Favourites), "4");
    EXPECT_EQ(f.cell(1, ch::Name), "ONE");  // outside the rows
    EXPECT_EQ(f.cell(1, ch::Pcr), "512");
    EXPECT_TRUE(f.page.modified);
}

TEST(EditSetChannel, EncodingForAllAndMakingInactive) {
    Fixture f;
    f.run({"set-channel", "1", "3", "encoding=5", "active=0"});
    EXPECT_EQ(f.cell(1, ch::Status), "A0");
    EXPECT_EQ(f.cell(2, ch::Status), "A0");
    EXPECT_EQ(f.cell(3, ch::Status), "A1");
    EXPECT_EQ(f.cell(4, ch::Status), "46");
    EXPECT_EQ(f.page.channelGrid.colour(2), kColourGrey);
    // Inactive: out of its list, its bit kept; active again: back in the list.
    EXPECT_TRUE(pages::Favourites(f.page, 1).empty());
    EXPECT_EQ(f.cell(2, ch::Favourites), "1");
    f.run({"set-channel", "2", "2", "active=1"});
    EXPECT_EQ(pages::Favourites(f.page, 1), (std::vector<int>{2}));
    EXPECT_EQ(f.page.favouriteGrids[0].colour(1), kColourChannel);
    EXPECT_EQ(f.cell(2, ch::Favourites), "1");
    // A set bit adds no inactive channel.
    f.run({"set-channel", "1", "1", "list4=1"});
    EXPECT_TRUE(pages::Favourites(f.page, 4).empty());
    EXPECT_EQ(f.cell(1, ch::Favourites), "8");
}

TEST(EditSetChannel, EmptyValueKeepsEachRowsText) {
    Fixture f;
    f.run({"set-channel", "1", "2", "name=", "sid=42"});
    EXPECT_EQ(f.cell(1, ch::Name), "ONE");
    EXPECT_EQ(f.cell(2, ch::Name), "TWO");
    EXPECT_EQ(f.cell(1, ch::Sid), "42");
    EXPECT_TRUE(f.page.modified);
}

TEST(EditSetChannel, BadArgumentsAreUsageErrorsAndChangeNothing) {
    const std::vector<std::vector<std::string>> cases{
        {"set-channel", "1"},
        {"set-channel", "3", "2", "sid=1"},
        {"set-channel", "0", "2", "sid=1"},
        {"set-channel", "1", "6", "sid=1"},
        {"set-channel", "1", "x", "sid=1"},
        {"set-channel", "1", "2"},
        {"set-channel", "1", "2", "colour=1"},
        {"set-channel", "1", "2", "active=2"},
        {"set-channel", "1", "2", "encoding=6"},
        {"set-channel", "1", "2", "list9=1"},
        {"set-channel", "1", "2", "sid=1", "name=\xD0\x96"},  // Cyrillic: not in Windows-1252
    };
    for (const auto& words : cases) {
        Fixture f;
        const ListPage before = f.page;
        try {
            f.run(words);
            ADD_FAILURE() << "accepted: " << words.back();
        } catch (const ToolError& e) {
            EXPECT_EQ(e.exitCode, kExitUsage) << e.what();
        }
        EXPECT_EQ(f.page.channelGrid, before.channelGrid) << words.back();
        EXPECT_FALSE(f.page.modified);
    }
}

TEST(EditSetChannel, UnreadableStatusIsRefusedLikeTheEditor) {
    Fixture f;
    f.page.channelGrid.setCell(2, ch::Status, "Q1");
    try {
        f.run({"set-channel", "1", "2", "sid=1"});
        ADD_FAILURE() << "accepted";
    } catch (const ToolError& e) {
        EXPECT_EQ(e.exitCode, kExitFailure);
        EXPECT_STREQ(e.what(), "'0xQ1' is not a valid integer value");
    }
    EXPECT_EQ(f.cell(1, ch::Sid), "100");
}

TEST(EditSetChannel, IsRegisteredForTheEditCommand) {
    const EditOperation* operation = FindEditOperation("set-channel");
    ASSERT_NE(operation, nullptr);
    Fixture f;
    EXPECT_EQ((*operation)({"delete", "1", "1", "keep", "set-channel", "4", "4", "vpid=65535"}, 4,
                           f.context),
              4u);
    EXPECT_EQ(f.cell(4, ch::VPid), "65535");
    EXPECT_EQ(f.page.channelGrid.colour(4), kColourRadio);
}

TEST(EditSetChannel, ThroughTheEditCommandSurvivesSaveAndReopen) {
    using namespace rivo::testsupport;
    TempFolder folder;
    const std::string image = folder.path("list.Bin"), out = folder.path("out.Bin");
    ASSERT_EQ(WriteFileAtomically(
                  image, BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 5))),
              "");
    const auto before = OpenChannelImage(ReadFileBytes(image));

    const auto run =
        testing::RunPageTool({"edit", image, out, "--sr-ini=/nonexistent/Sr.Ini", "set-channel",
                              "3", "4", "name=Caff\xC3\xA8 dei Corsari", "list2=1", "active=1"});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    const auto after = OpenChannelImage(ReadFileBytes(out));
    for (int r = 3; r <= 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(after->channelGrid.cell(r, ch::Name), "Caff\xE8 dei Corsar");
        EXPECT_EQ(StatusValue(after->channelGrid.cell(r, ch::Status)) & 4, 4);
        EXPECT_EQ(after->channelGrid.cell(r, ch::Sid), before->channelGrid.cell(r, ch::Sid));
    }
    const std::vector<int> list2 = pages::Favourites(*after, 2);
    EXPECT_EQ(std::count(list2.begin(), list2.end(), 3), 1);
    EXPECT_EQ(std::count(list2.begin(), list2.end(), 4), 1);
    EXPECT_EQ(after->channelGrid.row(5).cells, before->channelGrid.row(5).cells);

    // An operation the tool cannot carry out leaves no output behind.
    const std::string refused = folder.path("refused.Bin");
    EXPECT_EQ(
        testing::RunPageTool({"edit", image, refused, "set-channel", "3", "5000", "sid=1"}).code,
        kExitUsage);
    EXPECT_FALSE(std::ifstream(refused).good());
}

}  // namespace
}  // namespace rivo::tool
