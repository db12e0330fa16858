// `rivo800-tool edit` with the channel operations delete, insert, move, fav-up and
// fav-down: a chain of them saved and reopened, refusals as exit status 4 with the
// editor's message, and arguments the command line refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool/edit_ops_channels.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using tool::testing::ReadText;
using tool::testing::RunPageTool;
using Strings = std::vector<std::string>;

class EditChannels : public ::testing::Test {
protected:
    // Channels C1 .. C12 (the rest of the two 999-record modules empty); list 1 holds
    // channels 2, 5 and 9, list 2 channels 12 and 3.
    EditChannels() {
        testsupport::ChannelImageSpec spec;
        spec.layout = ListLayout::Split;
        spec.transponders = {testsupport::TransponderSpec{1997000000, 1100, 1, 12, 0, 2, 2}};
        for (int c = 1; c <= 12; ++c) spec.channels.push_back(ChannelSpec{"C" + std::to_string(c)});
        spec.favourites[0] = {2, 5, 9};
        spec.favourites[1] = {12, 3};
        image_ = folder_.path("list.Bin");
        EXPECT_EQ(WriteFileAtomically(image_, testsupport::BuildChannelImage(spec)), "");
        EXPECT_TRUE(tool::kChannelEditOperationsRegistered);
    }

    tool::testing::ToolRun edit(const Strings& operations, const std::string& out = "--dump") {
        Strings args{"edit", image_, out, noIni_};
        args.insert(args.end(), operations.begin(), operations.end());
        return RunPageTool(args);
    }

    testsupport::TempFolder folder_;
    std::string image_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

Strings NamesOf(const ListPage& page, int rows) {
    Strings out;
    for (int r = 1; r <= rows; ++r) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

Strings SlotsOf(const ListPage& page, int list, int count) {
    Strings out;
    for (int s = 1; s <= count; ++s) out.push_back(page.favouriteGrids[static_cast<size_t>(list - 1)].cell(s, fav::Channel));
    return out;
}

TEST_F(EditChannels, ChainOfOperationsIsSavedAsTheTablesShowIt) {
    const std::string out = folder_.path("out.Bin");
    const auto run = edit({"delete", "2", "3", "close",  // C4 .. C12 move up two rows
                           "insert", "1",                // everything back down one
                           "move", "2", "3", "10",       // C1 and C4 go below C12
                           "fav-down", "1", "1", "fav-up", "2", "2"},
                          out);
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string bytes = ReadText(out);
    const auto page = testsupport::OpenChannelImage(Bytes(bytes.begin(), bytes.end()));

    EXPECT_EQ(NamesOf(*page, 12), (Strings{"", "C5", "C6", "C7", "C8", "C9", "C10", "C11", "C12", "C1", "C4", ""}));
    EXPECT_EQ(page->channelGrid.cell(page->channelCount(), ch::Name), "");
    // List 1 lost C2 and follows C5 and C9; list 2 lost C3 and follows C12, whose entry
    // climbed into the empty slot above it.
    EXPECT_EQ(SlotsOf(*page, 1, 3), (Strings{"6", "2", "0"}));
    EXPECT_EQ(SlotsOf(*page, 2, 2), (Strings{"0", "9"}));
    EXPECT_EQ(page->channelGrid.cell(6, ch::Favourites), "1");
}

// A renamed channel is renamed in its favourites lists too, so the save has no
// difference to report; pasting channels of the same image needs no free transponder
// row (the image's only row is in use).
TEST_F(EditChannels, RenamesFollowInTheListsAndSameImagePastesNeedNoFreeRow) {
    const std::string out = folder_.path("out.Bin");
    const auto run = edit({"set-channel", "5", "5", "name=X", "copy", "1", "12", "paste", "13", "overwrite"}, out);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no cell reads back differently
    const auto dumped = edit({"set-channel", "5", "5", "name=X"});
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    const auto json = nlohmann::json::parse(dumped.out);
    EXPECT_EQ(json["favourites"][0][1]["cells"], (Strings{"2", "X", "5"}));
    const std::string bytes = ReadText(out);
    const auto page = testsupport::OpenChannelImage(Bytes(bytes.begin(), bytes.end()));
    EXPECT_EQ(page->favouriteGrids[0].cell(2, fav::Name), "X");
    EXPECT_EQ(page->channelGrid.cell(17, ch::Name), "X");  // the copy of channel 5
    EXPECT_EQ(page->channelGrid.cell(17, ch::Transponder), "1");
    // The copies stand in the lists of their originals.
    EXPECT_EQ(SlotsOf(*page, 1, 6), (Strings{"2", "5", "9", "14", "17", "21"}));
    EXPECT_EQ(SlotsOf(*page, 2, 4), (Strings{"12", "3", "15", "24"}));  // joined in row order
}

TEST_F(EditChannels, DumpShowsTheResultWithoutWriting) {
    const auto run = edit({"delete", "1", "2", "keep"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["channels"][0]["cells"][1], "");
    EXPECT_EQ(json["channels"][0]["colour"], "#C0C0C0");
    EXPECT_EQ(json["channels"][2]["cells"][1], "C3");
    EXPECT_EQ(json["favourites"][0][0]["cells"][2], "5");  // channel 2 left list 1
    EXPECT_EQ(json["favourites"][0][2]["cells"], (Strings{"3", "", "0"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.root()), {}), 1);
}

TEST_F(EditChannels, RefusalsEndWithTheEditorsMessageAndWriteNothing) {
    const std::string out = folder_.path("out.Bin");
    struct Case {
        Strings operations;
        std::string message;
    };
    const Case cases[] = {
        {{"fav-up", "1", "1"}, "Non è possibile spostare ulteriormente il canale"},
        {{"fav-down", "1", "3"}, "Non è possibile spostare ulteriormente il canale"},  // empty slot below
        {{"fav-down", "2", "128"}, "Non è possibile spostare ulteriormente il canale"},
        {{"move", "1", "2", "1998"}, "Inserire un canale corretto"},  // the block would not fit
        {{"move", "4", "4", "0"}, "Inserire un canale corretto"},
        {{"insert", "1", "fav-up", "2", "1"}, "Non è possibile spostare ulteriormente il canale"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operations[0]);
        const auto run = edit(c.operations, out);
        EXPECT_EQ(run.code, 4);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_EQ(edit({"move", "1", "2", "1997"}).code, 0);
}

TEST_F(EditChannels, ArgumentsOutsideThePageAreUsageErrors) {
    const Strings cases[] = {
        {"delete", "3", "2", "close"}, {"delete", "1", "2", "maybe"}, {"delete", "1", "1999", "keep"},
        {"delete", "1"},               {"insert", "0"},               {"insert", "x"},
        {"move", "1", "2", "x"},       {"move", "5", "4", "1"},       {"fav-down", "9", "1"},
        {"fav-up", "1", "129"},        {"fav-up", "0", "2"},
    };
    for (const auto& operations : cases) {
        SCOPED_TRACE(operations[0] + " " + operations[1]);
        EXPECT_EQ(edit(operations).code, 1);
    }
}

}  // namespace
}  // namespace rivo
