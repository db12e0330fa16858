// Putting the list into the order of a file: the round trip through a spreadsheet
// (export, edit the rows, import), the same file on a rescanned list, the files a user
// writes by hand, the options of Ok, and undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "channels/cp1252.h"
#include "channels/csv_export.h"
#include "channels/csv_import.h"
#include "editing/channel_edit.h"
#include "editing/file_order.h"
#include "editing/reorder.h"
#include "editing/undo_history.h"
#include "page_maker.h"

namespace rivo {
namespace {

using pages::AddFavourite;
using pages::Favourites;
using pages::MakePage;
using pages::SetChannel;
using pages::SetTransponder;
using pages::Transponder;

using Fields = std::vector<std::string>;

// The test's own CSV handling, as a spreadsheet would see the rows: one record per CRLF
// line (the names here hold no line breaks), RFC 4180 quotes.
std::vector<Fields> SplitCsv(const std::string& text) {
    std::vector<Fields> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        Fields fields(1);
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                fields.emplace_back();
            } else {
                fields.back() += c;
            }
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

// Written back as a spreadsheet set to a semicolon locale saves it: every field quoted.
std::string JoinCsv(const std::vector<Fields>& rows) {
    std::string out;
    for (const Fields& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += ';';
            out += '"';
            for (const char c : row[i]) out += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

ReferenceFile ReadFile(const std::string& text) {
    ReferenceFileResult result = ReadReferenceFile(text);
    EXPECT_TRUE(result.file.has_value()) << result.error;
    return result.file ? *result.file : ReferenceFile{};
}

std::vector<std::string> Column(const ListPage& page, int column) {
    std::vector<std::string> out;
    for (int r = 1; r <= page.channelCount(); ++r) out.push_back(page.channelGrid.cell(r, column));
    return out;
}

// A list as a scan leaves it: names repeating (some channels are told apart only by
// SID and transponder), favourites, five free rows at the end.
ListPage ScannedList(int n = 60) {
    std::mt19937 rng(23);
    ListPage page = MakePage(n, 6);
    for (int t = 1; t <= 6; ++t)
        SetTransponder(page, t,
                       Transponder{.frequency = std::to_string(10700 + 250 * t),
                                   .tid = std::to_string(t),
                                   .polarisation = t % 2 ? "H" : "V"});
    for (int r = 1; r <= n - 5; ++r) {
        // One name quoted in the file, one guarded there.
        const std::string name = r == 7   ? "Rai, \"Uno\""
                                 : r == 8 ? "-Meno"
                                          : "Ch " + std::to_string(r % 20);
        SetChannel(page, r, name, 1 + r % 6);
        page.channelGrid.setCell(r, ch::Sid, std::to_string(100 + r));
        for (int k = 1; k <= fav::Lists; ++k)
            if (rng() % 5 == 0) AddFavourite(page, k, r);
    }
    return page;
}

TEST(FileOrder, RoundTripThroughASpreadsheet) {
    const ListPage original = ScannedList();
    std::vector<Fields> rows = SplitCsv(ExportCsv(original, CsvTable::Channels));
    ASSERT_EQ(rows.size(), 61u);
    ASSERT_EQ(rows[8][1], "'-Meno");
    // In the spreadsheet: reverse rows 5 .. 14, rename two channels, delete rows 30 and
    // 31, then number the rows 1 .. n again, as the user does to mark the wanted order.
    std::reverse(rows.begin() + 5, rows.begin() + 15);
    rows[3][1] = "Nuovo nome";
    rows[20][1] = "Citt\xC3\xA0";  // UTF-8 in the file, Windows-1252 on the page
    rows.erase(rows.begin() + 30, rows.begin() + 32);
    for (std::size_t i = 1; i < rows.size(); ++i) rows[i][0] = std::to_string(i);
    const std::string edited = JoinCsv(rows);

    for (const bool numbered : {true, false}) {
        SCOPED_TRACE(numbered ? "numbered" : "no number column");
        std::string text = edited;
        if (!numbered) {
            // The same rows without the number column: the row order is the order.
            std::vector<Fields> bare = rows;
            for (Fields& row : bare) row.erase(row.begin());
            text = JoinCsv(bare);
        }
        ListPage page = original;
        const ReferenceFile reference = ReadFile("\xEF\xBB\xBF" + text);
        ASSERT_EQ(reference.separator, ';');
        const FileOrderMatch match = MatchFileOrder(page, reference);
        NullProgress progress;
        const EditResult result =
            ApplyFileOrder(page, reference, match, {.takeNames = true}, progress);
        EXPECT_TRUE(result.changed);
        EXPECT_TRUE(page.modified);

        // The rows of the file, in its order, with its names; the empty rows it lists
        // match nothing and stay with the channels the file does not name.
        std::vector<std::string> names, sids;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            if (rows[i][1].empty()) continue;
            names.push_back(
                *Utf8ToCp1252(rows[i][1][0] == '\'' ? rows[i][1].substr(1) : rows[i][1]));
            sids.push_back(rows[i][3]);
        }
        // Then the channels the file does not name, in their order: 30, 31 and the free rows.
        for (const int r : {30, 31, 56, 57, 58, 59, 60}) {
            names.push_back(original.channelGrid.cell(r, ch::Name));
            sids.push_back(original.channelGrid.cell(r, ch::Sid));
        }
        EXPECT_EQ(Column(page, ch::Name), names);
        EXPECT_EQ(Column(page, ch::Sid), sids);
        EXPECT_EQ(match.matched(), 53);
        EXPECT_EQ(match.match.unmatchedCurrent, (std::vector<int>{30, 31}));
        EXPECT_TRUE(match.match.unmatchedReference.empty());
        EXPECT_EQ(result.focusRow, 54);
        if (numbered) {
            // Rows 1 .. 4 and 15 .. 29 kept their number, SID and name, but for the
            // renamed rows 3 and 20.
            EXPECT_EQ(match.exactCount, 17);
        } else {
            EXPECT_EQ(match.exactCount, 0);
            EXPECT_FALSE(match.ran[0]);
        }
        // The favourites followed their channels, and show the new names.
        for (int k = 1; k <= fav::Lists; ++k)
            for (const int c : Favourites(page, k)) {
                EXPECT_NE(page.channelGrid.cell(c, ch::Favourites), "0");
                const Grid& list = page.favouriteGrids[static_cast<size_t>(k - 1)];
                bool found = false;
                for (int s = 1; s <= fav::Slots; ++s)
                    found =
                        found || (list.cell(s, fav::Channel) == std::to_string(c) &&
                                  list.cell(s, fav::Name) == page.channelGrid.cell(c, ch::Name));
                EXPECT_TRUE(found) << "list " << k << " channel " << c;
            }
    }
}

TEST(FileOrder, TheExportOnARescanOrdersItAsTheOriginalWould) {
    const ListPage original = ScannedList();
    // The rescan: the channels in another order, one transponder's TID changed, one
    // moved by 2 MHz, two channels renamed.
    ListPage rescan = original;
    NullProgress progress;
    std::mt19937 rng(5);
    for (int step = 0; step < 30; ++step) {
        const int first = 1 + static_cast<int>(rng() % 60);
        const int last = first + static_cast<int>(rng() % std::min(4, 60 - first + 1));
        MoveChannels(rescan, first, last, 1 + static_cast<int>(rng() % (60 - (last - first))),
                     progress);
    }
    rescan.transponderGrid.setCell(2, tp::Tid, "99");
    rescan.transponderGrid.setCell(3, tp::Frequency, "11452");
    rescan.channelGrid.setCell(4, ch::Name, "Altro");
    rescan.channelGrid.setCell(40, ch::Name, "Ch 3");

    ListPage byReference = rescan;
    ApplyReference(byReference, original, MatchReference(byReference, original), {});
    ListPage byFile = rescan;
    const ReferenceFile file = ReadFile(ExportCsv(original, CsvTable::Channels));
    const FileOrderMatch match = MatchFileOrder(byFile, file);
    ApplyFileOrder(byFile, file, match, {}, progress);
    EXPECT_EQ(byFile.channelGrid, byReference.channelGrid);
    EXPECT_EQ(byFile.favouriteGrids, byReference.favouriteGrids);
    EXPECT_EQ(match.matched(), MatchReference(rescan, original).matched());
}

struct Chan {
    std::string name;
    std::string sid = "0";
};

ListPage NamedList(const std::vector<Chan>& channels) {
    ListPage page = MakePage(static_cast<int>(channels.size()), 1);
    SetTransponder(page, 1, Transponder{.frequency = "11747", .tid = "5000", .nid = "318"});
    for (std::size_t r = 0; r < channels.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        SetChannel(page, row, channels[r].name, 1);
        page.channelGrid.setCell(row, ch::Sid, channels[r].sid);
    }
    return page;
}

TEST(FileOrder, FilesUsersWrite) {
    struct Case {
        const char* what;
        std::vector<Chan> page;
        std::string file;
        std::array<int, kFileMatchPasses> passes;
        std::vector<int> order;
        std::vector<int> unmatchedFile;  // file rows (1-based, wanted order) matched to nothing
    };
    const Case cases[] = {
        {"names only: a duplicate name is skipped as pass 4 does",
         {{"a"}, {"b"}, {"a"}, {"c"}},
         "name\nc\na\nb\nzeta\n",
         {0, 0, 0, 0, 2},
         {4, 2, 1, 3},
         {2, 4}},
        {"a plain reference list: identifiers",
         {{"Rai 1", "1"}, {"Rai 2", "2"}, {"Rai 3", "3"}},
         "1;RAI 3;318-5000-3\n2;Rai Due;318-5000-2\n3;Rai 1;318-5001-1\n",
         {0, 0, 2, 0, 1},
         {3, 2, 1},
         {}},
        {"a plain reference list: the exact pass, and a row matched to nothing",
         {{"Rai 1", "1"}, {"Rai 2", "2"}},
         "2;Rai 2;318-5000-2\n1;Rai 1;1-1-1\n3;Nuovo;318-5000-9\n",
         {2, 0, 0, 0, 0},
         {1, 2},
         {3}},
        {"a Windows-1252 file: names compare as the page's bytes, accents and case aside",
         {{"Caff\xE8"}, {"Rai"}},
         "name\nRai\nCAFF\xC8\n",
         {0, 0, 0, 0, 2},
         {2, 1},
         {}},
        {"SIDs and frequencies: pass 4 within 3 MHz",
         {{"x", "7"}, {"y", "8"}},
         "SID,Frequenza\n8,11749\n7,11751\n",
         {0, 0, 0, 1, 0},
         {2, 1},
         {2}},
        {"SID alone matches nothing but the exact pass",
         {{"x", "7"}, {"y", "8"}},
         "sid\n8\n7\n",
         {0, 0, 0, 0, 0},
         {1, 2},
         {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListPage page = NamedList(c.page);
        const ReferenceFile file = ReadFile(c.file);
        const FileOrderMatch match = MatchFileOrder(page, file);
        std::array<int, kFileMatchPasses> passes{};
        for (int p = 0; p < kFileMatchPasses; ++p)
            passes[static_cast<size_t>(p)] = match.passCount(p);
        EXPECT_EQ(passes, c.passes);
        EXPECT_EQ(match.match.order, c.order);
        EXPECT_EQ(match.match.unmatchedReference, c.unmatchedFile);
    }
}

TEST(FileOrder, NamesThatCannotBeTakenAreListedAndLeft) {
    ListPage page = NamedList({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
    const ReferenceFile file = ReadFile(
        "Num.;Nome canale;SID;TID;NID;Frequenza;Polarizzazione\n"
        "1;Sedici caratteri;1;5000;318;11747;H\n"
        "2;Diciassette carat;2;5000;318;11747;H\n"
        "3;\xE2\x98\x85 Stella;3;5000;318;11747;H\n"
        "4;;4;5000;318;11747;H\n");
    const FileOrderMatch match = MatchFileOrder(page, file);
    const std::vector<SkippedName> skipped = NamesNotTaken(file, match);
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].line, 3);
    EXPECT_EQ(skipped[0].reason, "più di 16 caratteri");
    EXPECT_EQ(skipped[1].line, 4);
    NullProgress progress;
    ApplyFileOrder(page, file, match, {.takeNames = true}, progress);
    EXPECT_EQ(Column(page, ch::Name),
              (std::vector<std::string>{"Sedici caratteri", "b", "c", "d"}));
    const FileOrderPreview preview = MakeFileOrderPreview(page, file, match);
    EXPECT_EQ(preview.skippedNames.size(), 2u);
    ASSERT_EQ(preview.passLines.size(), 5u);
    // Every name differs from the page's: the identifiers match them all.
    EXPECT_EQ(preview.passLines[0], "Passo 1 (numero, SID e nome invariati): 0 canali");
    EXPECT_EQ(preview.passLines[1],
              "Passo 2 (nome, SID, TID e NID, polarizzazione, frequenza (entro 3 MHz)): 0 canali");
    EXPECT_EQ(preview.passLines[2], "Passo 3 (SID, TID e NID): 4 canali");
    EXPECT_EQ(preview.passLines[4], "Passo 5 (nome unico in entrambe le liste): 0 canali");
    EXPECT_EQ(preview.orderSource, "L'ordine è quello della colonna del numero.");
}

TEST(FileOrder, FavouritesAndDeletingTheUnmatched) {
    ListPage page = NamedList({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
    page.layout = ListLayout::Split;
    AddFavourite(page, 1, 1);
    AddFavourite(page, 2, 4);
    const ReferenceFile file = ReadFile("Nome canale;list1;list2;list3\nc;1;0;1\na;;1;\n");
    const FileOrderMatch match = MatchFileOrder(page, file);
    EXPECT_EQ(match.match.order, (std::vector<int>{3, 1, 2, 4}));
    EXPECT_TRUE(FileFavouritesRefusal(page, file).empty());
    NullProgress progress;
    ListPage kept = page;
    ApplyFileOrder(kept, file, match, {.takeFavourites = true}, progress);
    EXPECT_EQ(Column(kept, ch::Name), (std::vector<std::string>{"c", "a", "b", "d"}));
    EXPECT_EQ(Column(kept, ch::Favourites), (std::vector<std::string>{"5", "2", "0", "2"}));
    EXPECT_EQ(Favourites(kept, 1), (std::vector<int>{1}));
    EXPECT_EQ(Favourites(kept, 2), (std::vector<int>{4, 2}));  // d kept its entry, a joined
    EXPECT_EQ(Favourites(kept, 3), (std::vector<int>{1}));

    ListPage deleted = page;
    const EditResult result =
        ApplyFileOrder(deleted, file, match, {.deleteUnmatched = true}, progress);
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(Column(deleted, ch::Name), (std::vector<std::string>{"c", "a", "", ""}));
    EXPECT_TRUE(Favourites(deleted, 2).empty());  // d went with its entry
    EXPECT_EQ(Favourites(deleted, 1), (std::vector<int>{2}));
    EXPECT_EQ(FileOrderStatusText(match, true), "2 canali ordinati secondo il file, 2 eliminati");

    // Favourites cannot come from a file without their columns, nor into a list without lists.
    const ReferenceFile bare = ReadFile("name\nc\n");
    EXPECT_EQ(FileFavouritesRefusal(page, bare), Tr(kNoFavouritesInFile));
    ListPage unchanged = page;
    EXPECT_FALSE(ApplyFileOrder(unchanged, bare, MatchFileOrder(unchanged, bare),
                                {.takeFavourites = true}, progress)
                     .changed);
    EXPECT_EQ(unchanged.channelGrid, page.channelGrid);
    ListPage single = page;
    single.layout = ListLayout::Single;
    EXPECT_EQ(FileFavouritesRefusal(single, file), Tr(kNoFavouritesInPage));
}

// "Preferenza" read as a number: 0 takes a channel out of every list it was in, 255
// puts it in all eight, an empty cell leaves its lists alone.
TEST(FileOrder, FavouritesNumberZeroLeavesEveryListAndTheHighestJoinsAll) {
    ListPage page = NamedList({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    page.layout = ListLayout::Split;
    for (const int list : {1, 4, 8}) AddFavourite(page, list, 1);
    AddFavourite(page, 2, 3);
    const ReferenceFile file = ReadFile("Nome canale;Preferenza\na;0\nb;255\nc;\n");
    NullProgress progress;
    EXPECT_TRUE(
        ApplyFileOrder(page, file, MatchFileOrder(page, file), {.takeFavourites = true}, progress)
            .changed);
    EXPECT_EQ(Column(page, ch::Favourites), (std::vector<std::string>{"0", "255", "2"}));
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{2}));
    EXPECT_EQ(Favourites(page, 2), (std::vector<int>{3, 2}));
    EXPECT_EQ(Favourites(page, 4), (std::vector<int>{2}));
    EXPECT_EQ(Favourites(page, 8), (std::vector<int>{2}));
}

TEST(FileOrder, IsOneUndoStep) {
    ListPage page = NamedList({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    page.layout = ListLayout::Split;
    AddFavourite(page, 1, 3);
    UndoHistory history(page);
    const ListPage before = page;
    const ReferenceFile file = ReadFile("name;list1\nC;1\nb;1\n");
    NullProgress progress;
    ApplyFileOrder(page, file, MatchFileOrder(page, file),
                   {.takeNames = true, .takeFavourites = true, .deleteUnmatched = true}, progress);
    const ListPage after = page;
    ASSERT_NE(after.channelGrid, before.channelGrid);
    ASSERT_TRUE(history.commit(page, Tr(kFileOrderStep)));
    ASSERT_TRUE(history.undo(page));
    EXPECT_EQ(page.channelGrid, before.channelGrid);
    EXPECT_EQ(page.favouriteGrids, before.favouriteGrids);
    EXPECT_FALSE(page.modified);
    ASSERT_TRUE(history.redo(page));
    EXPECT_EQ(page.channelGrid, after.channelGrid);
    EXPECT_EQ(page.favouriteGrids, after.favouriteGrids);
}

}  // namespace

// One of a kind is said in the singular, in every count of the preview and the status.
TEST(FileOrder, CountsOfOneAreSingular) {
    const ListPage page = NamedList({{"a", "1"}, {"b", "2"}});
    const ReferenceFile file = ReadFile("Nome canale\na\nz\n");
    const FileOrderMatch match = MatchFileOrder(page, file);
    const FileOrderPreview preview = MakeFileOrderPreview(page, file, match);
    EXPECT_EQ(
        preview.summary,
        "1 canale trovato nel file, 1 canale della lista non trovato, 1 riga del file non trovata");
    EXPECT_EQ(preview.passLines[4], "Passo 5 (nome unico in entrambe le liste): 1 canale");
    EXPECT_EQ(FileOrderStatusText(match, true), "1 canale ordinato secondo il file, 1 eliminato");
    EXPECT_EQ(FileOrderStatusText(match, false),
              "1 canale ordinato secondo il file, 1 non trovato");
}

}  // namespace rivo
