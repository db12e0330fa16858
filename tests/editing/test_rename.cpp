// Rename with find and replace: the preview and what Ok writes.
#include <gtest/gtest.h>

#include <chrono>
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

RenameOptions Options(const char* find, const char* replace, bool regex = false,
                      bool matchCase = false) {
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
        {"suffix removed", "Rai 1 HD", Options(" HD$", "", true), true, "Rai 1",
         RenameProblem::None},
        {"anchored: inner HD stays", "HD Sport", Options(" HD$", "", true), false, "",
         RenameProblem::None},
        {"groups swapped", "Sky Cinema", Options("(\\w+) (\\w+)", "$2 $1", true), true,
         "Cinema Sky", RenameProblem::None},
        {"case ignored by default", "rai news", Options("RAI", "Rai"), true, "Rai news",
         RenameProblem::None},
        {"case kept when asked", "rai news", Options("RAI", "Rai", false, true), false, "",
         RenameProblem::None},
        {"regex with case ignored", "arte hd", Options("HD$", "SD", true), true, "arte SD",
         RenameProblem::None},
        {"literal dot is a dot", "A.B", Options(".", "-"), true, "A-B", RenameProblem::None},
        {"every occurrence", "aXbXc", Options("x", "yy"), true, "ayybyyc", RenameProblem::None},
        {"exactly 16 characters", "ABCDEFGHIJKLMNO", Options("O", "OP"), true, "ABCDEFGHIJKLMNOP",
         RenameProblem::None},
        {"grows past 16", "ABCDEFGHIJKLMNOP", Options("P", "PQ"), true, "ABCDEFGHIJKLMNOPQ",
         RenameProblem::TooLong},
        {"accented letter is one character", "Caf\xE9 TV", Options("TV", "\xC3\xA8"), true,
         "Caf\xC3\xA9 \xC3\xA8", RenameProblem::None},
        {"euro sign is Windows-1252", "Canale", Options("Canale", "\xE2\x82\xAC 1"), true,
         "\xE2\x82\xAC 1", RenameProblem::None},
        {"arrow is not Windows-1252", "Canale", Options("Canale", "A \xE2\x86\x92 B"), true,
         "A \xE2\x86\x92 B", RenameProblem::NotStorable},
        {"arrow with a regex", "Canale 5", Options("(\\d)", "\xE2\x86\x92$1", true), true,
         "Canale \xE2\x86\x92"
         "5",
         RenameProblem::NotStorable},
        {"empty result", "HD", Options("HD", ""), true, "", RenameProblem::Empty},
        {"only spaces left", " HD ", Options("HD", ""), true, "  ", RenameProblem::Empty},
        {"no match", "Rai 2", Options("Mediaset", "x"), false, "", RenameProblem::None},
        {"regex folds an accented capital", "T\xC8LE", Options("\xC3\xA8", "e", true), true, "TeLE",
         RenameProblem::None},
        {"regex keeps an accented capital's case when asked", "T\xC8LE",
         Options("\xC3\xA8", "e", true, true), false, "", RenameProblem::None},
        {"regex dot is one accented character", "Caf\xE9", Options("f.$", "F", true), true, "CaF",
         RenameProblem::None},
        {"whole match and a dollar sign", "Rai", Options("a", "[$&]$$", true), true, "R[a]$i",
         RenameProblem::None},
        {"a group the pattern lacks is empty", "Rai", Options("a", "<$2>", true), true, "R<>i",
         RenameProblem::None},
        {"empty matches between characters", "ab", Options("x*", "-", true), true, "-a-b-",
         RenameProblem::None},
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
            Answer ask(const std::string&, const std::string&, Icon, Buttons) override {
                return Answer::Ok;
            }
        } quiet;
        AddToFavouriteList(page, 1, {1}, quiet);
    }
    ASSERT_EQ(page.favouriteGrids[1].cell(1, fav::Name), "Rai 1 HD");
    page.modified = false;

    const RenamePreview preview =
        PreviewRename(page, RowsOf(1, 5), Options(" HD$", " Ultra HD", true));
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
    for (const RenameOptions& options :
         {Options("(", "x", true), Options("[z-a]", "x", true), Options("", "x")}) {
        const RenamePreview preview = PreviewRename(page, {1}, options);
        EXPECT_NE(preview.error, "") << options.find;
        EXPECT_EQ(ApplyRename(page, preview), 0);
    }
    // A find text no name can hold finds nothing.
    EXPECT_TRUE(PreviewRename(page, {1}, Options("\xE2\x86\x92", "x")).entries.empty());
    EXPECT_TRUE(page.channelGrid == before.channelGrid);
    EXPECT_FALSE(page.modified);
}

TEST(Rename, RefusedExpressionsNameTheReason) {
    const std::string prefix = "Espressione regolare non valida: ";
    struct Case {
        std::string pattern;
        std::string error;  // "" when accepted
    } cases[] = {
        {"(a", prefix + "manca la parentesi di chiusura )"},
        {"a)", prefix + "parentesi ) senza la sua apertura"},
        {"[a", prefix + "manca la parentesi di chiusura ]"},
        {"[z-a]", prefix + "intervallo di caratteri non valido"},
        {"a" + std::string(18, '*'), prefix + "operatore di ripetizione non valido"},
        {"*a", prefix + "ripetizione senza nulla da ripetere"},
        {"a{1001}", prefix + "numero di ripetizioni non valido (al massimo 1000)"},
        {"(a)\\1", prefix + "sequenza con \\ non valida (i riferimenti come \\1 non sono ammessi)"},
        {"(?=a)", prefix + "costrutto non ammesso (come (?= o (?!)"},
        {"a\\", prefix + "\\ alla fine dell'espressione"},
        {"((((a{100}){100}){100}){100})",
         prefix + "numero di ripetizioni non valido (al massimo 1000)"},
        // The length limit counts characters, not bytes: 1000 "è" are 2000 bytes.
        {std::string(1000, 'a'), ""},
        {[] {
             std::string accents;
             for (int i = 0; i < 1000; ++i) accents += "\xC3\xA8";
             return accents;
         }(),
         ""},
        {std::string(1001, 'a'), prefix + "è lunga 1001 caratteri, al massimo 1000"},
        {std::string(499, '(') + "a" + std::string(499, ')'), ""},
        {std::string(20000, '(') + "a" + std::string(20000, ')'),
         prefix + "è lunga 40001 caratteri, al massimo 1000"},
        {"a" + std::string(5000, '*'), prefix + "è lunga 5001 caratteri, al massimo 1000"},
    };
    const ListPage page = NamesPage({"aaa"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern.substr(0, 40));
        EXPECT_EQ(PreviewRename(page, {1}, Options(c.pattern.c_str(), "x", true)).error, c.error);
    }
}

// Patterns that make a backtracking engine take minutes (exponential in the name's
// length) finish at once: the bound is generous, a failure means minutes.
TEST(Rename, PathologicalExpressionsOverAFullListFinishQuickly) {
    const ListPage page = NamesPage(std::vector<std::string>(9990, "aaaaaaaaaaaaaaab"));
    const std::vector<int> rows = RowsOf(1, 9990);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(PreviewRename(page, rows, Options("(a|a)*c", "x", true)).entries.size(), 0u);
    EXPECT_EQ(PreviewRename(page, rows, Options("(a+)+$", "x", true)).entries.size(), 0u);
    EXPECT_EQ(PreviewRename(page, rows, Options("(a*)*(a*)*(a*)*c", "x", true)).entries.size(), 0u);
    const RenamePreview replaced = PreviewRename(page, rows, Options("(a|aa)+b$", "X", true));
    ASSERT_EQ(replaced.entries.size(), 9990u);
    EXPECT_EQ(replaced.entries[9989].newName, "X");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 20.0);
}

}  // namespace
}  // namespace rivo
