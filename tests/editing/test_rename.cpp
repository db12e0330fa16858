// Rename with find and replace: the preview and what Ok writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/rename.h"
#include "editing/row_selection.h"
#include "reference_editing.h"

namespace rivo {
namespace {

ListPage NamesPage(const std::vector<std::string>& names) {
    ListPage page;
    page.layout = ListLayout::Split;
    page.channelGrid.setRowCount(static_cast<int>(names.size()) + 1);
    for (size_t i = 0; i < names.size(); ++i)
        reference::FillChannelRow(page, static_cast<int>(i) + 1, names[i], 0);
    return page;
}

RenameOptions Options(const char* find, const char* replace, bool regex = false, bool matchCase = false) {
    return {find, replace, matchCase, regex};
}

TEST(Rename, PreviewOfEachName) {
    struct Case {
        const char* what;
        std::string name;  // Windows-1252
        RenameOptions options;
        bool listed;  // the find text matches and the name changes
        std::string shown;
        RenameProblem problem;
    } cases[] = {
        {"suffix removed", "Rai 1 HD", Options(" HD$", "", true), true, "Rai 1", RenameProblem::None},
        {"anchored: inner HD stays", "HD Sport", Options(" HD$", "", true), false, "", RenameProblem::None},
        {"groups swapped", "Sky Cinema", Options("(\\w+) (\\w+)", "$2 $1", true), true, "Cinema Sky", RenameProblem::None},
        {"case ignored by default", "rai news", Options("RAI", "Rai"), true, "Rai news", RenameProblem::None},
        {"case kept when asked", "rai news", Options("RAI", "Rai", false, true), false, "", RenameProblem::None},
        {"regex with case ignored", "arte hd", Options("HD$", "SD", true), true, "arte SD", RenameProblem::None},
        {"literal dot is a dot", "A.B", Options(".", "-"), true, "A-B", RenameProblem::None},
        {"every occurrence", "aXbXc", Options("x", "yy"), true, "ayybyyc", RenameProblem::None},
        {"exactly 16 characters", "ABCDEFGHIJKLMNO", Options("O", "OP"), true, "ABCDEFGHIJKLMNOP", RenameProblem::None},
        {"grows past 16", "ABCDEFGHIJKLMNOP", Options("P", "PQ"), true, "ABCDEFGHIJKLMNOPQ", RenameProblem::TooLong},
        {"accented letter is one character", "Caf\xE9 TV", Options("TV", "\xC3\xA8"), true, "Caf\xC3\xA9 \xC3\xA8",
         RenameProblem::None},
        {"euro sign is Windows-1252", "Canale", Options("Canale", "\xE2\x82\xAC 1"), true, "\xE2\x82\xAC 1",
         RenameProblem::None},
        {"arrow is not Windows-1252", "Canale", Options("Canale", "A \xE2\x86\x92 B"), true, "A \xE2\x86\x92 B",
         RenameProblem::NotStorable},
        {"arrow with a regex", "Canale 5", Options("(\\d)", "\xE2\x86\x92$1", true), true, "Canale \xE2\x86\x92" "5",
         RenameProblem::NotStorable},
        {"empty result", "HD", Options("HD", ""), true, "", RenameProblem::Empty},
        {"only spaces left", " HD ", Options("HD", ""), true, "  ", RenameProblem::Empty},
        {"no match", "Rai 2", Options("Mediaset", "x"), false, "", RenameProblem::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ListPage page = NamesPage({c.name});
        const RenamePreview preview = PreviewRename(page, {1}, c.options);
        EXPECT_EQ(preview.error, "");
        ASSERT_EQ(preview.entries.size(), c.listed ? 1u : 0u);
        if (!c.listed) continue;
        EXPECT_EQ(preview.entries[0].newName, c.shown);
        EXPECT_EQ(preview.entries[0].problem, c.problem);
        EXPECT_EQ(preview.applicable(), c.problem == RenameProblem::None ? 1 : 0);
    }
}

TEST(Rename, ApplyWritesOnlyUnmarkedNamesAndTheListsFollow) {
    ListPage page = NamesPage({"Rai 1 HD", "ABCDEFGHIJKLM HD", "Sport", "HD", "Arte HD"});
    for (auto& list : page.favouriteGrids)
        for (int s = 1; s <= fav::Slots; ++s) list.row(s).colour = kColourGrey;
    {
        // Channel 1 in list 2.
        class Quiet final : public UserPrompts {
            Answer ask(const std::string&, const std::string&, Icon, Buttons) override { return Answer::Ok; }
        } quiet;
        AddToFavouriteList(page, 1, {1}, quiet);
    }
    ASSERT_EQ(page.favouriteGrids[1].cell(1, fav::Name), "Rai 1 HD");
    page.modified = false;

    const RenamePreview preview = PreviewRename(page, RowsOf(1, 5), Options(" HD$", " Ultra HD", true));
    // Row 4 "HD" has no " HD" at its end; row 3 does not match.
    ASSERT_EQ(preview.entries.size(), 3u);
    EXPECT_EQ(preview.entries[1].problem, RenameProblem::TooLong);  // "ABCDEFGHIJKLM Ultra HD"
    EXPECT_EQ(ApplyRename(page, preview), 2);
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "Rai 1 Ultra HD");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Name), "ABCDEFGHIJKLM HD");
    EXPECT_EQ(page.channelGrid.cell(5, ch::Name), "Arte Ultra HD");
    EXPECT_EQ(page.favouriteGrids[1].cell(1, fav::Name), "Rai 1 Ultra HD");
    EXPECT_TRUE(page.modified);
}

TEST(Rename, BadInputChangesNothing) {
    ListPage page = NamesPage({"Rai 1"});
    const ListPage before = page;
    for (const RenameOptions& options : {Options("(", "x", true), Options("[z-a]", "x", true), Options("", "x")}) {
        const RenamePreview preview = PreviewRename(page, {1}, options);
        EXPECT_NE(preview.error, "") << options.find;
        EXPECT_EQ(ApplyRename(page, preview), 0);
    }
    // A find text no name can hold finds nothing.
    EXPECT_TRUE(PreviewRename(page, {1}, Options("\xE2\x86\x92", "x")).entries.empty());
    EXPECT_TRUE(page.channelGrid == before.channelGrid);
    EXPECT_FALSE(page.modified);
}

}  // namespace
}  // namespace rivo
