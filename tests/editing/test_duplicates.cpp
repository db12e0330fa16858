// Finding and removing copies of a channel: the groups of each level on small pages
// (the 3 MHz edge, the other satellite, empty rows, the keep rule), the favourites
// re-pointed to the kept copy, a random page filled with copies and brought back, the
// repeated entries of a list, and undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "channels/records.h"
#include "editing/duplicates.h"
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

struct Chan {
    std::string name;
    int transponder = 1;  // 255: none
    std::string sid = "10";
    bool active = true;
};

Transponder At(const std::string& frequency, const std::string& polarisation = "H",
               const std::string& satellite = "HotBird", const std::string& tid = "1100") {
    Transponder t;
    t.frequency = frequency;
    t.polarisation = polarisation;
    t.satellite = satellite;
    t.tid = tid;
    return t;
}

// Channels on the given transponders, rows 1.. in order, then two empty rows; each
// (list, channel) pair of favourites added in order.
ListPage PageOf(const std::vector<Transponder>& transponders, const std::vector<Chan>& channels,
                const std::vector<std::pair<int, int>>& favourites = {}) {
    const int n = static_cast<int>(channels.size());
    ListPage page = MakePage(n + 2, static_cast<int>(transponders.size()));
    for (size_t t = 0; t < transponders.size(); ++t)
        SetTransponder(page, static_cast<int>(t) + 1, transponders[t]);
    for (int r = 1; r <= n; ++r) {
        const Chan& c = channels[static_cast<size_t>(r - 1)];
        if (c.name.empty() && c.transponder == 255) continue;  // an empty row, as MakePage left it
        SetChannel(page, r, c.name, c.transponder, "512", "650", c.active ? "04" : "00");
        page.channelGrid.setCell(r, ch::Sid, c.sid);
    }
    for (const auto& [list, channel] : favourites) AddFavourite(page, list, channel);
    return page;
}

// "1 2* 3:lowest-row | 4* 5:favourites": the groups in order, the kept row starred.
std::string Describe(const DuplicateFinding& finding) {
    std::string out;
    for (const DuplicateGroup& group : finding.groups) {
        if (!out.empty()) out += " | ";
        for (size_t i = 0; i < group.rows.size(); ++i) {
            if (i) out += ' ';
            out += std::to_string(group.rows[i]);
            if (group.rows[i] == group.kept) out += '*';
        }
        out += ':';
        out += KeepReasonWord(group.reason);
    }
    return out;
}

constexpr DuplicateLevel kLevels[] = {DuplicateLevel::Exact, DuplicateLevel::Ids,
                                      DuplicateLevel::NameTransponder, DuplicateLevel::Name};

TEST(FindDuplicates, GroupsOfEachLevel) {
    struct Case {
        const char* what;
        std::vector<Transponder> transponders;
        std::vector<Chan> channels;
        std::vector<std::pair<int, int>> favourites;
        std::array<std::string, 4> groups;  // exact, ids, name-transponder, name
    };
    const Case cases[] = {
        {"3 MHz apart is within, 3.001 MHz is not (exact); the same ids join them all",
         {At("11747"), At("11750"), At("11753,001")},
         {{"Uno", 1}, {"Uno", 2}, {"Uno", 3}},
         {},
         {"1* 2:lowest-row", "1* 2 3:lowest-row", "1* 2 3:lowest-row", "1* 2 3:lowest-row"}},
        {"within 3 MHz chains along the frequencies",
         {At("11747"), At("11749,5"), At("11752")},
         {{"A", 3}, {"B", 1}, {"C", 2}},
         {},
         {"1* 2 3:lowest-row", "1* 2 3:lowest-row", "1* 2 3:lowest-row", "1* 2 3:lowest-row"}},
        {"the other satellite is never a copy, whatever the level",
         {At("11747", "H", "HotBird"), At("11747", "H", "Astra")},
         {{"Uno", 1}, {"Uno", 2}},
         {},
         {"", "", "", ""}},
        {"another polarisation is another transponder, the same ids are the same service",
         {At("11747", "H"), At("11747", "V")},
         {{"Uno", 1}, {"Uno", 2}},
         {},
         {"", "1* 2:lowest-row", "1* 2:lowest-row", "1* 2:lowest-row"}},
        {"empty rows are never copies; channels without transponder only by name",
         {At("11747")},
         {{"", 255}, {"", 255}, {"Senza", 255, "0"}, {"SENZA ", 255, "0"}, {"Uno", 1}},
         {},
         {"", "", "", "3* 4:lowest-row"}},
        {"a group of three keeps the copy in favourites, here the last",
         {At("11747")},
         {{"Uno", 1}, {"Uno", 1}, {"Uno", 1}},
         {{2, 3}},
         {"1 2 3*:favourites", "1 2 3*:favourites", "1 2 3*:favourites", "1 2 3*:favourites"}},
        {"more lists beat fewer; equal counts go to the active copy",
         {At("11747")},
         {{"Uno", 1, "10", false},
          {"Uno", 1, "10", true},
          {"Due", 1, "20", false},
          {"Due", 1, "20", true},
          {"Due", 1, "20", true}},
         {{1, 1}, {2, 1}, {3, 2}, {1, 3}, {2, 4}, {3, 5}},
         {"1* 2:favourites | 3 4* 5:active", "1* 2:favourites | 3 4* 5:active",
          "1* 2:favourites | 3 4* 5:active", "1* 2:favourites | 3 4* 5:active"}},
        {"two inactive copies keep the lowest row",
         {At("11747")},
         {{"Uno", 1, "10", false}, {"Uno", 1, "10", false}},
         {},
         {"1* 2:lowest-row", "1* 2:lowest-row", "1* 2:lowest-row", "1* 2:lowest-row"}},
        {"the same service with another TID or NID is no copy by ids",
         {At("11747", "H", "HotBird", "1100"), At("12000", "H", "HotBird", "1200")},
         {{"Uno", 1}, {"Eins", 2}},
         {},
         {"", "", "", ""}},
        {"the same name on one transponder with another SID; by name across transponders (HD/SD)",
         {At("11747"), At("12000", "V")},
         {{"Rai 1", 1, "10"}, {"RAI 1 ", 1, "20"}, {"Rai 1", 2, "30"}, {"Rai 2", 2, "31"}},
         {},
         {"", "", "1* 2:lowest-row", "1* 2 3:lowest-row"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ListPage page = PageOf(c.transponders, c.channels, c.favourites);
        for (int l = 0; l < kDuplicateLevels; ++l) {
            const DuplicateFinding finding = FindDuplicates(page, kLevels[l]);
            EXPECT_EQ(Describe(finding), c.groups[static_cast<size_t>(l)])
                << DuplicateLevelWord(kLevels[l]);
        }
    }
}

TEST(FindDuplicates, LevelWordsRoundTripAndOthersAreRefused) {
    for (const DuplicateLevel level : kLevels)
        EXPECT_EQ(DuplicateLevelFromWord(DuplicateLevelWord(level)), level);
    EXPECT_EQ(DuplicateLevelWord(DuplicateLevel::NameTransponder), std::string("name-transponder"));
    for (const char* word : {"", "Exact", "name_transponder", "all"})
        EXPECT_FALSE(DuplicateLevelFromWord(word)) << word;
}

// What the dialog shows of each copy: "Attivo" and "Bloccato" read from their own status
// bits (every mix of the two), the lists as numbers 1..8; the same whether the lists come
// from the finding or are read from the page.
TEST(DescribeCopy, ActiveLockedAndListNumbers) {
    ListPage page = PageOf({At("11747", "V")},
                           {{"Uno", 1, "10"}, {"Uno", 1, "10"}, {"Uno", 1, "10"}, {"Uno", 1, "10"}},
                           {{1, 1}, {3, 1}, {8, 2}, {2, 3}, {8, 3}});
    const char* statuses[] = {"05", "04", "01", "00"};  // active+locked, active, locked, neither
    for (int r = 1; r <= 4; ++r) page.channelGrid.setCell(r, ch::Status, statuses[r - 1]);
    struct Row {
        bool active, locked;
        std::string lists;
    };
    const Row expected[] = {
        {true, true, "1, 3"}, {true, false, "8"}, {false, true, "2, 8"}, {false, false, ""}};
    const DuplicateFinding finding = FindDuplicates(page, DuplicateLevel::Exact);
    for (const std::vector<std::uint8_t>* lists :
         {static_cast<const std::vector<std::uint8_t>*>(nullptr), &finding.lists}) {
        SCOPED_TRACE(lists ? "lists of the finding" : "lists read from the page");
        for (int r = 1; r <= 4; ++r) {
            const DuplicateCopyView view = DescribeCopy(page, r, lists);
            const Row& want = expected[r - 1];
            EXPECT_EQ(view.row, r);
            EXPECT_EQ(view.name, "Uno");
            EXPECT_EQ(view.sid, "10");
            EXPECT_EQ(view.frequency, "11747 V");
            EXPECT_EQ(view.active, want.active) << r;
            EXPECT_EQ(view.locked, want.locked) << r;
            EXPECT_EQ(view.lists, want.lists) << r;
        }
    }
}

// Rows 1 A, 2 B, 3 A (copy), 4 C, 5 "A bis" (copy on the same transponder and SID).
ListPage FavouritesPage() {
    ListPage page = PageOf(
        {At("11747")},
        {{"A", 1, "10"}, {"B", 1, "20"}, {"A", 1, "10"}, {"C", 1, "30"}, {"A bis", 1, "10"}});
    for (const int n : {3, 2, 1, 4}) AddFavourite(page, 1, n);
    for (const int n : {5, 3, 2}) AddFavourite(page, 2, n);
    AddFavourite(page, 3, 1);
    AddFavourite(page, 4, 4);
    return page;
}

TEST(RemoveDuplicates, RepointsFavouritesWithoutRepeatsKeepingTheOtherEntriesInOrder) {
    ListPage page = FavouritesPage();
    const ListPage before = page;
    const DuplicateFinding finding = FindDuplicates(page, DuplicateLevel::Exact);
    // Rows 1 and 3 stand in two lists each, both active: the lower one stays.
    ASSERT_EQ(Describe(finding), "1* 3 5:lowest-row");
    int removed = -1;
    const EditResult result = RemoveDuplicates(page, finding.groups, &removed);
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(result.focusRow, 1);

    // The gaps close: A, B, C, then the emptied rows at the end.
    std::vector<std::string> names;
    for (int r = 1; r <= page.channelCount(); ++r)
        names.push_back(page.channelGrid.cell(r, ch::Name));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "", "", "", ""}));
    for (int r = 1; r <= page.channelCount(); ++r)
        EXPECT_EQ(page.channelGrid.cell(r, ch::Num), std::to_string(r));
    for (int r = 4; r <= 5; ++r) {
        EXPECT_EQ(page.channelGrid.cell(r, ch::Transponder), "255") << r;
        EXPECT_EQ(page.channelGrid.colour(r), kColourGrey) << r;
    }
    // List 1 named 3, 2, 1, 4: A (re-pointed from 3), B, A again (dropped), C now at 3.
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{1, 2, 3}));
    // List 2 named 5, 3, 2: A (from 5), A again (dropped), B.
    EXPECT_EQ(Favourites(page, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(Favourites(page, 3), (std::vector<int>{1}));
    EXPECT_EQ(Favourites(page, 4), (std::vector<int>{3}));
    // The kept channel shows its lists, the re-pointed entry shows its name; the lists
    // close up with grey empty slots and keep their 128 slots.
    EXPECT_EQ(page.channelGrid.cell(1, ch::Favourites), "7");
    EXPECT_EQ(page.channelGrid.cell(2, ch::Favourites), before.channelGrid.cell(2, ch::Favourites));
    EXPECT_EQ(page.favouriteGrids[1].cell(1, fav::Name), "A");
    for (const Grid& list : page.favouriteGrids) {
        ASSERT_EQ(list.rowCount(), fav::Slots + 1);
        for (int s = 1; s <= fav::Slots; ++s) EXPECT_EQ(list.cell(s, fav::Pos), std::to_string(s));
    }
    EXPECT_EQ(page.favouriteGrids[1].cell(3, fav::Channel), "0");
    EXPECT_EQ(page.favouriteGrids[1].colour(3), kColourGrey);
    // Nothing is left to find.
    EXPECT_TRUE(FindDuplicates(page, DuplicateLevel::Exact).groups.empty());
    EXPECT_TRUE(FindRepeatedFavourites(page).empty());
}

TEST(RemoveDuplicates, AChosenCopyStaysAndTakesTheEntries) {
    ListPage page = FavouritesPage();
    DuplicateFinding finding = FindDuplicates(page, DuplicateLevel::Exact);
    ASSERT_EQ(finding.groups.size(), 1u);
    EXPECT_FALSE(ChooseKeptCopy(finding.groups[0], 2));  // B is no copy of A
    ASSERT_TRUE(ChooseKeptCopy(finding.groups[0], 5));
    EXPECT_EQ(Describe(finding), "1 3 5*:chosen");
    ASSERT_TRUE(RemoveDuplicates(page, finding.groups).changed);
    // B, C, "A bis": the kept copy stays in its place among the others.
    EXPECT_EQ(page.channelGrid.cell(3, ch::Name), "A bis");
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(Favourites(page, 2), (std::vector<int>{3, 1}));
    EXPECT_EQ(Favourites(page, 3), (std::vector<int>{3}));
    EXPECT_EQ(page.favouriteGrids[0].cell(1, fav::Name), "A bis");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Favourites), "7");
}

TEST(RemoveDuplicates, GroupsThatDoNotFitThePageChangeNothing) {
    const ListPage start = FavouritesPage();
    const std::vector<std::vector<DuplicateGroup>> bad = {
        {},                                 // nothing to remove
        {{{1, 3}, 2, KeepReason::Chosen}},  // kept copy outside its group
        {{{1, 3}, 1, KeepReason::Chosen}, {{3, 5}, 5, KeepReason::Chosen}},  // groups overlap
        {{{1, 8}, 1, KeepReason::Chosen}},  // row 8 beyond the 7 rows
        {{{0, 1}, 1, KeepReason::Chosen}},
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        ListPage page = start;
        int removed = -1;
        EXPECT_FALSE(RemoveDuplicates(page, bad[i], &removed).changed) << i;
        EXPECT_EQ(removed, 0) << i;
        EXPECT_FALSE(page.modified) << i;
        EXPECT_TRUE(page.channelGrid == start.channelGrid) << i;
    }
}

TEST(RemoveDuplicates, IsOneUndoStep) {
    ListPage page = FavouritesPage();
    const ListPage before = page;
    UndoHistory history(page);
    ASSERT_TRUE(RemoveDuplicates(page, FindDuplicates(page, DuplicateLevel::Exact).groups).changed);
    ASSERT_TRUE(history.commit(page, kDuplicatesStep));
    EXPECT_EQ(history.undoCount(), 1u);
    const ListPage after = page;
    ASSERT_TRUE(history.undo(page));
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(page.channelGrid == before.channelGrid);
    for (int k = 0; k < fav::Lists; ++k)
        EXPECT_TRUE(page.favouriteGrids[static_cast<size_t>(k)] ==
                    before.favouriteGrids[static_cast<size_t>(k)])
            << k;
    EXPECT_FALSE(page.modified);
    ASSERT_TRUE(history.redo(page));
    EXPECT_TRUE(page.channelGrid == after.channelGrid);
}

TEST(RepeatedFavourites, AreListedAndCleanedUpKeepingTheFirstEntry) {
    ListPage page = PageOf({At("11747")}, {{"A", 1, "10"}, {"B", 1, "20"}, {"C", 1, "30"}});
    for (const int n : {2, 1, 2, 3, 2, 1}) AddFavourite(page, 1, n);
    for (const int n : {3, 3}) AddFavourite(page, 5, n);
    AddFavourite(page, 2, 1);
    const std::vector<RepeatedEntry> repeated = FindRepeatedFavourites(page);
    ASSERT_EQ(repeated.size(), 3u);
    EXPECT_EQ((std::vector<int>{repeated[0].list, repeated[0].channel, repeated[0].count}),
              (std::vector<int>{0, 2, 3}));
    EXPECT_EQ((std::vector<int>{repeated[1].list, repeated[1].channel, repeated[1].count}),
              (std::vector<int>{0, 1, 2}));
    EXPECT_EQ((std::vector<int>{repeated[2].list, repeated[2].channel, repeated[2].count}),
              (std::vector<int>{4, 3, 2}));
    const Grid secondList = page.favouriteGrids[1];
    int removed = 0;
    EXPECT_TRUE(RemoveRepeatedFavourites(page, &removed).changed);
    EXPECT_EQ(removed, 4);
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(Favourites(page, 5), (std::vector<int>{3}));
    EXPECT_TRUE(page.favouriteGrids[1] == secondList);
    EXPECT_EQ(page.favouriteGrids[0].cell(4, fav::Channel), "0");
    EXPECT_EQ(page.favouriteGrids[0].colour(4), kColourGrey);
    EXPECT_TRUE(FindRepeatedFavourites(page).empty());
    page.modified = false;
    EXPECT_FALSE(RemoveRepeatedFavourites(page, &removed).changed);
    EXPECT_EQ(removed, 0);
    EXPECT_FALSE(page.modified);
}

// ---- random pages --------------------------------------------------------------------

// One distinct service per channel: its own SID on one of a few transponders.
struct RandomList {
    std::vector<int> services;                       // per row: service index, -1 for an empty row
    std::vector<bool> active;                        // per service
    std::array<std::vector<int>, fav::Lists> lists;  // per list: rows named, in order
};

ListPage BuildRandomPage(const RandomList& list, int transponders) {
    const int rows = static_cast<int>(list.services.size());
    ListPage page = MakePage(rows, transponders);
    for (int t = 1; t <= transponders; ++t)
        SetTransponder(
            page, t,
            At(std::to_string(10700 + 10 * t), t % 2 ? "H" : "V", t % 3 ? "HotBird" : "Astra"));
    for (int r = 1; r <= rows; ++r) {
        const int s = list.services[static_cast<size_t>(r - 1)];
        if (s < 0) continue;
        SetChannel(page, r, "Servizio " + std::to_string(s % 7), s % transponders + 1, "512", "650",
                   list.active[static_cast<size_t>(s)] ? "04" : "00");
        page.channelGrid.setCell(r, ch::Sid, std::to_string(1000 + s));
    }
    for (int k = 0; k < fav::Lists; ++k)
        for (const int r : list.lists[static_cast<size_t>(k)]) AddFavourite(page, k + 1, r);
    return page;
}

TEST(RemoveDuplicates, RandomCopiesComeBackToTheOriginalPage) {
    std::mt19937 rng(2804);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const int services = 1 + static_cast<int>(rng() % 30);
        const int empty = static_cast<int>(rng() % 25);
        RandomList original;
        for (int s = 0; s < services; ++s) {
            original.services.push_back(s);
            original.active.push_back(rng() % 4 != 0);
        }
        original.services.insert(original.services.end(), static_cast<size_t>(empty), -1);
        for (auto& entries : original.lists) {
            std::vector<int> rows(static_cast<size_t>(services));
            std::iota(rows.begin(), rows.end(), 1);
            std::shuffle(rows.begin(), rows.end(), rng);
            rows.resize(rng() % (static_cast<size_t>(services) + 1));
            entries = rows;
        }
        // Copies take the place of empty rows: each at a random place below its
        // original, some joining at random places after its original's entry in the lists
        // that name the original.
        RandomList copied = original;
        const int copies =
            empty == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(empty + 1));
        copied.services.resize(static_cast<size_t>(services));
        for (int c = 0; c < copies; ++c) {
            const int row = 1 + static_cast<int>(rng() % copied.services.size());
            const int service = copied.services[static_cast<size_t>(row - 1)];
            const int at =
                row +
                static_cast<int>(rng() % (copied.services.size() - static_cast<size_t>(row) + 1));
            copied.services.insert(copied.services.begin() + at, service);  // new row at + 1
            for (auto& entries : copied.lists) {
                for (int& r : entries)
                    if (r > at) ++r;
                const auto own = std::find(entries.begin(), entries.end(), row);
                if (own == entries.end() || rng() % 2) continue;
                const auto from = static_cast<size_t>(own - entries.begin()) + 1;
                entries.insert(
                    entries.begin() + static_cast<long>(from + rng() % (entries.size() - from + 1)),
                    at + 1);
            }
        }
        copied.services.resize(original.services.size(), -1);

        const int transponders = 1 + static_cast<int>(rng() % 5);
        const ListPage expected = BuildRandomPage(original, transponders);
        ListPage page = BuildRandomPage(copied, transponders);

        // Each level groups the pairs of the level before it.
        std::vector<int> groupOf(static_cast<size_t>(page.channelCount()) + 1);
        for (int l = 1; l < kDuplicateLevels; ++l) {
            const DuplicateFinding coarse = FindDuplicates(page, kLevels[l]);
            for (size_t g = 0; g < coarse.groups.size(); ++g)
                for (const int r : coarse.groups[g].rows)
                    groupOf[static_cast<size_t>(r)] = static_cast<int>(g) + 1;
            for (const DuplicateGroup& fine : FindDuplicates(page, kLevels[l - 1]).groups)
                for (const int r : fine.rows)
                    EXPECT_EQ(groupOf[static_cast<size_t>(r)],
                              groupOf[static_cast<size_t>(fine.rows[0])]);
            std::fill(groupOf.begin(), groupOf.end(), 0);
        }

        const DuplicateFinding finding = FindDuplicates(page, DuplicateLevel::Exact);
        EXPECT_EQ(finding.removableCount(), copies);
        int removed = -1;
        RemoveDuplicates(page, finding.groups, &removed);
        EXPECT_EQ(removed, copies);
        // Rows, cells and colours as in the page before the copies came; every list
        // names the same channels, in the same order, with the same names and colours.
        for (int r = 1; r <= expected.channelCount(); ++r)
            ASSERT_TRUE(page.channelGrid.sameRow(r, expected.channelGrid, r))
                << "row " << r << ": " << page.channelGrid.cell(r, ch::Name) << " / "
                << expected.channelGrid.cell(r, ch::Name);
        for (int k = 0; k < fav::Lists; ++k)
            EXPECT_TRUE(page.favouriteGrids[static_cast<size_t>(k)] ==
                        expected.favouriteGrids[static_cast<size_t>(k)])
                << "list " << k + 1;
    }
}

}  // namespace
}  // namespace rivo
