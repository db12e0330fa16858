// Reordering the channel list: the collation key, sorting a block, matching a list
// against a reference list, and applying the reference's order.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "channels/records.h"
#include "editing/channel_edit.h"
#include "editing/collation.h"
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

std::vector<std::string> NamesOf(const ListPage& page) {
    std::vector<std::string> out;
    for (int r = 1; r <= page.channelCount(); ++r)
        out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

bool IsNumberedInOrder(const ListPage& page) {
    for (int r = 1; r <= page.channelCount(); ++r)
        if (page.channelGrid.cell(r, ch::Num) != std::to_string(r)) return false;
    return true;
}

void SetSid(ListPage& page, int row, const std::string& sid) {
    page.channelGrid.setCell(row, ch::Sid, sid);
}

// ---- collation key ----------------------------------------------------------------

TEST(CollationKey, DecomposesDropsMarksAndFoldsCase) {
    struct Case {
        std::string name;  // Windows-1252 bytes
        std::string key;   // UTF-8
    };
    const Case cases[] = {
        {"\xC8lite", "elite"},  // Èlite
        {"ELITE", "elite"},
        {"  elite  ", "elite"},  // surrounding spaces go, inner ones stay
        {" a b ", "a b"},
        {"", ""},
        {"    ", ""},
        {"Stra\xDF"
         "e",
         "strasse"},                   // ß folds to ss
        {"\x8Cuvre", "\xC5\x93uvre"},  // Œ folds to œ (no decomposition)
        {"\xC6"
         "gir",
         "\xC3\xA6gir"},                   // Æ folds to æ
        {"\xD8stfold", "\xC3\xB8stfold"},  // Ø folds to ø
        {"\x9F"
         "\xFF",
         "yy"},                        // Ÿ ÿ
        {"\x8A\x9A\x8E\x9E", "sszz"},  // Š š Ž ž
        {"\xD1"
         "and\xFA",
         "nandu"},  // Ñandú
        {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE5", "aaaaaaaa"},
        {"\xC7"
         "a\xE7",
         "cac"},
        {"\xB5", "\xCE\xBC"},  // µ folds to Greek mu
        {"\xD7", "\xC3\x97"},  // × is no letter and stays
        {"Rai 1", "rai 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(CollationKey(c.name), c.key) << c.name;
}

// ---- sorting ----------------------------------------------------------------------

// Channels named and numbered as given, each on its own transponder row 1..n.
ListPage NamedPage(const std::vector<std::string>& channelNames) {
    const int n = static_cast<int>(channelNames.size());
    ListPage page = MakePage(n, n);
    for (int r = 1; r <= n; ++r) {
        SetTransponder(page, r, Transponder{});
        SetChannel(page, r, channelNames[static_cast<size_t>(r - 1)], r);
    }
    return page;
}

TEST(SortChannels, ByNameTable) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        int first, last;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"plain", {"c", "a", "b"}, 1, 3, {"a", "b", "c"}},
        {"accents and case sort with their base letter",
         {"f", "\xC8lite", "ELITE2", "d"},
         1,
         4,
         {"d", "\xC8lite", "ELITE2", "f"}},
        {"ties keep their order",
         {"s", "Rai", "a", "RAI", " rai"},
         1,
         5,
         {"a", "Rai", "RAI", " rai", "s"}},
        {"empty names last, in their order", {"", "b", "  ", "a"}, 1, 4, {"a", "b", "", "  "}},
        {"only the block moves", {"z", "c", "b", "a", "y"}, 2, 4, {"z", "a", "b", "c", "y"}},
        {"last row alone", {"b", "a"}, 2, 2, {"b", "a"}},
        {"numbers inside names by their value",
         {"Aggiornamento 1", "Aggiornamento 10", "Aggiornamento 11", "Aggiornamento 2"},
         1,
         4,
         {"Aggiornamento 1", "Aggiornamento 2", "Aggiornamento 10", "Aggiornamento 11"}},
        {"leading zeros, digits against spaces and letters",
         {"Rai 10", "Rai 9b", "Rai 09", "Rai9", "Rai x", "Rai 2"},
         1,
         6,
         {"Rai 2", "Rai 09", "Rai 9b", "Rai 10", "Rai x", "Rai9"}},
        {"numbers longer than any machine word",
         {"a 100000000000000", "a 99999999999999", "a 7"},
         1,
         3,
         {"a 7", "a 99999999999999", "a 100000000000000"}},
    };
    for (const Case& c : cases) {
        ListPage page = NamedPage(c.before);
        const EditResult result = SortChannels(page, c.first, c.last, SortKey::Name);
        EXPECT_TRUE(result.changed) << c.what;
        EXPECT_EQ(result.focusRow, c.first) << c.what;
        EXPECT_TRUE(page.modified) << c.what;
        EXPECT_EQ(NamesOf(page), c.after) << c.what;
        EXPECT_TRUE(IsNumberedInOrder(page)) << c.what;
    }
}

TEST(SortChannels, BySidNumerically) {
    ListPage page = NamedPage({"a", "b", "c", "d", "e"});
    const char* sids[] = {"10", "9", "100", "9", "0"};
    for (int r = 1; r <= 5; ++r) SetSid(page, r, sids[r - 1]);
    SortChannels(page, 1, 5, SortKey::Sid);
    EXPECT_EQ(NamesOf(page), (std::vector<std::string>{"e", "b", "d", "a", "c"}));
}

TEST(SortChannels, ByFrequencyTable) {
    // Transponders: 1 11747 H, 2 11747 V, 3 10714,25 H, 4 free ("0"), 5 12000 H.
    ListPage page = MakePage(8, 5);
    SetTransponder(page, 1, Transponder{.frequency = "11747", .polarisation = "H"});
    SetTransponder(page, 2, Transponder{.frequency = "11747", .polarisation = "V"});
    SetTransponder(page, 3, Transponder{.frequency = "10714,25", .polarisation = "H"});
    SetTransponder(page, 4, Transponder{.frequency = "0"});
    SetTransponder(page, 5, Transponder{.frequency = "12000", .polarisation = "H"});
    struct Row {
        const char* name;
        int transponder;
        const char* sid;
    };
    const Row rows[] = {
        {"none255", 255, "1"}, {"v", 2, "5"},       {"h-sid9", 1, "9"}, {"free", 4, "2"},
        {"h-sid3", 1, "3"},    {"outside", 6, "0"}, {"low", 3, "7"},    {"high", 5, "1"},
    };
    for (int r = 1; r <= 8; ++r) {
        SetChannel(page, r, rows[r - 1].name, rows[r - 1].transponder);
        SetSid(page, r, rows[r - 1].sid);
    }
    SortChannels(page, 1, 8, SortKey::Frequency);
    // Lower frequency first; H before V; then SID; no transponder last in their order.
    EXPECT_EQ(NamesOf(page), (std::vector<std::string>{"low", "h-sid3", "h-sid9", "v", "high",
                                                       "none255", "free", "outside"}));
}

// Standard library sorts switch method at a few dozen elements, so stability is tried
// on hundreds of channels sharing a handful of keys. Each channel's name is unique, so
// the expected order is readable: equal keys keep their original order.
TEST(SortChannels, EqualKeysKeepTheirOrderOnHundredsOfChannels) {
    constexpr int kChannels = 600;
    auto label = [](int i) {  // "C000" .. "C599"; its number is the original row - 1
        std::string digits = std::to_string(i);
        return "C" + std::string(3 - digits.size(), '0') + digits;
    };

    {
        SCOPED_TRACE("by SID: three SIDs, 0, 1, 2 from row 1 on");
        ListPage page = MakePage(kChannels, 1);
        SetTransponder(page, 1, Transponder{});
        for (int i = 0; i < kChannels; ++i) {
            SetChannel(page, i + 1, label(i), 1);
            SetSid(page, i + 1, std::to_string(i % 3));
        }
        SortChannels(page, 1, kChannels, SortKey::Sid);
        std::vector<std::string> expected;
        for (int sid = 0; sid < 3; ++sid)
            for (int i = sid; i < kChannels; i += 3) expected.push_back(label(i));
        EXPECT_EQ(NamesOf(page), expected);
        EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "C000");
        EXPECT_EQ(page.channelGrid.cell(200, ch::Name), "C597");
        EXPECT_EQ(page.channelGrid.cell(201, ch::Name), "C001");
        EXPECT_EQ(page.channelGrid.cell(kChannels, ch::Name), "C599");
    }
    {
        SCOPED_TRACE("by frequency: four transponders, one SID");
        // Row 1 12000, row 2 11000, row 3 11500, row 4 10800: sorted 4, 2, 3, 1.
        ListPage page = MakePage(kChannels, 4);
        const char* frequencies[] = {"12000", "11000", "11500", "10800"};
        for (int t = 1; t <= 4; ++t)
            SetTransponder(page, t, Transponder{.frequency = frequencies[t - 1]});
        for (int i = 0; i < kChannels; ++i) {
            SetChannel(page, i + 1, label(i), 1 + i % 4);
            SetSid(page, i + 1, "5");
        }
        SortChannels(page, 1, kChannels, SortKey::Frequency);
        std::vector<std::string> expected;
        for (const int t : {4, 2, 3, 1})
            for (int i = t - 1; i < kChannels; i += 4) expected.push_back(label(i));
        EXPECT_EQ(NamesOf(page), expected);
        EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "C003");
        EXPECT_EQ(page.channelGrid.cell(kChannels, ch::Name), "C596");
    }
    {
        SCOPED_TRACE("by name: three names written in many ways");
        // Every spelling of a name has the same key: case, accents and leading spaces
        // vary, the channel's number rides along in the SID.
        const std::vector<std::vector<std::string>> spellings = {
            {"sigma", "SIGMA", " Sigma", "S\xCCgma", "  sIGMA"},
            {"delta", "DELTA", " Delta", "D\xC8lta", "  dELTA"},
            {"gamma", "GAMMA", " Gamma", "G\xC0mma", "  gAMMA"},
        };
        ListPage page = MakePage(kChannels, 1);
        SetTransponder(page, 1, Transponder{});
        for (int i = 0; i < kChannels; ++i) {
            SetChannel(page, i + 1,
                       spellings[static_cast<size_t>(i % 3)][static_cast<size_t>(i / 3 % 5)], 1);
            SetSid(page, i + 1, std::to_string(i));
        }
        SortChannels(page, 1, kChannels, SortKey::Name);
        // delta (i % 3 == 1), gamma (2), sigma (0), each in its original order.
        std::vector<std::string> expected;
        for (const int group : {1, 2, 0})
            for (int i = group; i < kChannels; i += 3) expected.push_back(std::to_string(i));
        std::vector<std::string> sids;
        for (int r = 1; r <= kChannels; ++r) sids.push_back(page.channelGrid.cell(r, ch::Sid));
        EXPECT_EQ(sids, expected);
        EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "delta");
        EXPECT_EQ(page.channelGrid.cell(2, ch::Name), "DELTA");
        EXPECT_EQ(page.channelGrid.cell(kChannels, ch::Name), "  sIGMA");
    }
}

TEST(SortChannels, FavouritesFollowTheirChannels) {
    ListPage page = NamedPage({"c", "a", "b"});
    AddFavourite(page, 1, 1);  // c
    AddFavourite(page, 1, 2);  // a
    AddFavourite(page, 3, 3);  // b
    SortChannels(page, 1, 3, SortKey::Name);
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{3, 1}));  // c now 3, a now 1
    EXPECT_EQ(Favourites(page, 3), (std::vector<int>{2}));
    EXPECT_EQ(page.favouriteGrids[0].cell(1, fav::Name), "c");
    EXPECT_EQ(page.channelGrid.cell(3, ch::Favourites), "1");
}

TEST(SortChannels, EntryOfAChannelWithoutPreferenzaStaysUnderItsNumber) {
    ListPage page = NamedPage({"b", "a"});
    AddFavourite(page, 1, 1);
    page.channelGrid.setCell(1, ch::Favourites, "0");  // inconsistent: listed, no bit
    SortChannels(page, 1, 2, SortKey::Name);
    EXPECT_EQ(Favourites(page, 1), (std::vector<int>{1}));
}

TEST(SortChannels, BlockOutsideTheTableChangesNothing) {
    ListPage page = NamedPage({"b", "a"});
    const ListPage before = page;
    for (auto [first, last] : {std::pair{0, 2}, {1, 3}, {2, 1}}) {
        EXPECT_FALSE(SortChannels(page, first, last, SortKey::Name).changed);
        EXPECT_EQ(page.channelGrid, before.channelGrid);
        EXPECT_FALSE(page.modified);
    }
}

TEST(SortKeyWords, OnlyTheThreeWords) {
    EXPECT_EQ(SortKeyFromWord("name"), SortKey::Name);
    EXPECT_EQ(SortKeyFromWord("sid"), SortKey::Sid);
    EXPECT_EQ(SortKeyFromWord("frequency"), SortKey::Frequency);
    EXPECT_FALSE(SortKeyFromWord("Name").has_value());
    EXPECT_FALSE(SortKeyFromWord("").has_value());
}

// Sorting equals moving one channel at a time with the block move, on random pages
// whose favourites agree with the channels' "Preferenza". The order each row should
// get comes from a plain insertion sort over what the test put in: one-letter names
// (their own collation key), small SIDs and three transponders on one polarisation.
TEST(SortChannels, MatchesOneByOneBlockMoves) {
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        const int n = 1 + static_cast<int>(rng() % 30);
        ListPage page = MakePage(n, 3);
        std::array<int, 4> frequency{};  // MHz of transponder rows 1..3
        for (int t = 1; t <= 3; ++t) {
            frequency[static_cast<size_t>(t)] = 11000 + 100 * static_cast<int>(rng() % 3);
            SetTransponder(
                page, t,
                Transponder{.frequency = std::to_string(frequency[static_cast<size_t>(t)])});
        }
        struct Put {
            std::string name;  // empty for an empty row
            int transponder = 255;
            int sid = 0;
        };
        std::vector<Put> put(static_cast<size_t>(n) + 1);
        for (int r = 1; r <= n; ++r) {
            if (rng() % 5 == 0) continue;  // an empty row: no name, transponder 255, SID 0
            Put& p = put[static_cast<size_t>(r)];
            p.name = std::string(1, static_cast<char>('a' + rng() % 6));
            p.transponder = 1 + static_cast<int>(rng() % 3);
            p.sid = static_cast<int>(rng() % 10);
            SetChannel(page, r, p.name, p.transponder);
            SetSid(page, r, std::to_string(p.sid));
            for (int k = 1; k <= fav::Lists; ++k)
                if (rng() % 4 == 0) AddFavourite(page, k, r);
        }
        const int first = 1 + static_cast<int>(rng() % n);
        const int last = first + static_cast<int>(rng() % (n - first + 1));
        const SortKey key = static_cast<SortKey>(rng() % 3);

        // Whether row a belongs strictly before row b.
        auto before = [&](int a, int b) {
            const Put& x = put[static_cast<size_t>(a)];
            const Put& y = put[static_cast<size_t>(b)];
            switch (key) {
                case SortKey::Name:
                    if (x.name.empty() != y.name.empty()) return y.name.empty();
                    return x.name < y.name;
                case SortKey::Sid:
                    return x.sid < y.sid;
                case SortKey::Frequency: {
                    const bool xNone = x.transponder == 255, yNone = y.transponder == 255;
                    if (xNone || yNone) return !xNone && yNone;
                    const int fx = frequency[static_cast<size_t>(x.transponder)];
                    const int fy = frequency[static_cast<size_t>(y.transponder)];
                    if (fx != fy) return fx < fy;
                    return x.sid < y.sid;
                }
            }
            return false;
        };
        std::vector<int> wanted;  // original rows in their sorted order, stable
        for (int r = first; r <= last; ++r) {
            auto at = wanted.end();
            while (at != wanted.begin() && before(r, *(at - 1))) --at;
            wanted.insert(at, r);
        }

        ListPage sorted = page;
        SortChannels(sorted, first, last, key);
        // Reference: bring each wanted channel to its row by a block move, finding it by
        // its original number kept in an otherwise unused column.
        ListPage expected = page;
        for (int r = 1; r <= n; ++r) expected.channelGrid.setCell(r, ch::Pcr, std::to_string(r));
        NullProgress progress;
        for (int row = first; row <= last; ++row) {
            const std::string tag = std::to_string(wanted[static_cast<size_t>(row - first)]);
            int at = row;
            while (at <= n && expected.channelGrid.cell(at, ch::Pcr) != tag) ++at;
            ASSERT_LE(at, n) << "round " << round;
            MoveChannels(expected, at, at, row, progress);
        }
        for (int r = 1; r <= n; ++r)
            expected.channelGrid.setCell(r, ch::Pcr, sorted.channelGrid.cell(r, ch::Pcr));
        ASSERT_EQ(sorted.channelGrid, expected.channelGrid) << "round " << round;
        for (int k = 0; k < fav::Lists; ++k)
            ASSERT_EQ(sorted.favouriteGrids[static_cast<size_t>(k)],
                      expected.favouriteGrids[static_cast<size_t>(k)])
                << "round " << round << " list " << k + 1;
    }
}

// ---- matching -----------------------------------------------------------------------

struct Chan {
    std::string name;
    int transponder = 255;
    std::string sid = "0";
};
struct Tp {
    std::string frequency;
    std::string tid = "1";
    std::string nid = "1";
    std::string polarisation = "H";
};

ListPage ListOf(const std::vector<Tp>& transponders, const std::vector<Chan>& channels) {
    ListPage page =
        MakePage(static_cast<int>(channels.size()), static_cast<int>(transponders.size()));
    for (size_t t = 0; t < transponders.size(); ++t) {
        const Tp& tp = transponders[t];
        SetTransponder(page, static_cast<int>(t) + 1,
                       Transponder{.frequency = tp.frequency,
                                   .tid = tp.tid,
                                   .nid = tp.nid,
                                   .polarisation = tp.polarisation});
    }
    for (size_t r = 0; r < channels.size(); ++r) {
        const Chan& c = channels[r];
        const int row = static_cast<int>(r) + 1;
        if (c.name.empty() && c.transponder == 255) continue;  // an empty row
        SetChannel(page, row, c.name, c.transponder);
        SetSid(page, row, c.sid);
    }
    return page;
}

TEST(MatchReference, PassTable) {
    struct Case {
        const char* what;
        std::vector<Tp> currentTps;
        std::vector<Chan> current;
        std::vector<Tp> referenceTps;
        std::vector<Chan> reference;
        std::array<int, 4> passes;
        std::vector<int> order;  // current rows in their new order
    };
    const Case cases[] = {
        {"pass 1, reversed list",
         {{"11747"}},
         {{"A", 1, "1"}, {"B", 1, "2"}},
         {{"11747"}},
         {{"B", 1, "2"}, {"A", 1, "1"}},
         {2, 0, 0, 0},
         {2, 1}},
        {"pass 1 at exactly 3 MHz, with accents and case in the name",
         {{"11750"}},
         {{"\xC8lite", 1, "7"}},
         {{"11747"}},
         {{"elite", 1, "7"}},
         {1, 0, 0, 0},
         {1}},
        {"pass 1 at exactly 3 MHz, reference above",
         {{"11747"}},
         {{"elite", 1, "7"}},
         {{"11750"}},
         {{"\xC8lite", 1, "7"}},
         {1, 0, 0, 0},
         {1}},
        {"3 MHz and a little more leaves pass 1 to pass 2 (same identity)",
         {{"11750,001"}},
         {{"A", 1, "7"}},
         {{"11747"}},
         {{"A", 1, "7"}},
         {0, 1, 0, 0},
         {1}},
        {"renamed channel on a moved transponder: pass 2",
         {{"12000"}},
         {{"New name", 1, "7"}},
         {{"11747"}},
         {{"Old name", 1, "7"}},
         {0, 1, 0, 0},
         {1}},
        {"TID and NID changed: pass 3 within 3 MHz",
         {{"11749", "2", "9"}},
         {{"X", 1, "7"}},
         {{"11747", "1", "1"}},
         {{"Y", 1, "7"}},
         {0, 0, 1, 0},
         {1}},
        {"TID and NID changed: pass 3 at exactly 3 MHz, reference below",
         {{"11750", "2", "9"}},
         {{"X", 1, "7"}},
         {{"11747", "1", "1"}},
         {{"Y", 1, "7"}},
         {0, 0, 1, 0},
         {1}},
        {"TID and NID changed: pass 3 at exactly 3 MHz, reference above",
         {{"11744", "2", "9"}},
         {{"X", 1, "7"}},
         {{"11747", "1", "1"}},
         {{"Y", 1, "7"}},
         {0, 0, 1, 0},
         {1}},
        {"TID changed and 3 MHz exceeded above: no pass 3; names differ: unmatched",
         {{"11743,999", "2", "1"}},
         {{"X", 1, "7"}},
         {{"11747", "1", "1"}},
         {{"Y", 1, "7"}},
         {0, 0, 0, 0},
         {1}},
        {"TID changed and 3 MHz exceeded: no pass 3; names differ: unmatched",
         {{"11750,5", "2", "1"}},
         {{"X", 1, "7"}},
         {{"11747", "1", "1"}},
         {{"Y", 1, "7"}},
         {0, 0, 0, 0},
         {1}},
        {"TID changed, other polarisation: no pass 3, pass 4 by name",
         {{"11747", "2", "1", "V"}},
         {{"Rai 1", 1, "7"}},
         {{"11747", "1", "1", "H"}},
         {{"RAI 1", 1, "7"}},
         {0, 0, 0, 1},
         {1}},
        {"pass 4 without transponders",
         {},
         {{"b"}, {"a"}},
         {},
         {{"a"}, {"b"}},
         {0, 0, 0, 2},
         {2, 1}},
        {"a duplicate name in the current list is skipped by pass 4",
         {},
         {{"a"}, {"a"}, {"b"}},
         {},
         {{"b"}, {"a"}},
         {0, 0, 0, 1},
         {3, 1, 2}},
        {"a duplicate name in the reference is skipped by pass 4",
         {},
         {{"a"}, {"b"}},
         {},
         {{"b"}, {"a"}, {" A"}},
         {0, 0, 0, 1},
         {2, 1}},
        {"empty rows take part in no match",
         {{"11747"}},
         {{""}, {"A", 1, "0"}, {""}},
         {{"11747"}},
         {{""}, {"A", 1, "0"}},
         {1, 0, 0, 0},
         {2, 1, 3}},
        {"a channel matched in pass 1 is not taken again by pass 2",
         {{"11747"}},
         {{"A", 1, "7"}, {"Z", 1, "8"}},
         {{"11747"}},
         {{"B", 1, "7"}, {"A", 1, "7"}},
         {1, 0, 0, 0},
         {1, 2}},
        {"the first unmatched current channel in current order wins",
         {{"11747"}},
         {{"P", 1, "7"}, {"Q", 1, "7"}},
         {{"11747"}},
         {{"R", 1, "7"}},
         {0, 1, 0, 0},
         {1, 2}},
        {"transponder 255, beyond the table or free: no passes 1-3",
         {{"11747"}, {"0"}},
         {{"A", 255, "7"}, {"B", 3, "7"}, {"C", 2, "7"}},
         {{"11747"}},
         {{"Q", 1, "7"}},
         {0, 0, 0, 0},
         {1, 2, 3}},
    };
    for (const Case& c : cases) {
        const ListPage current = ListOf(c.currentTps, c.current);
        const ListPage reference = ListOf(c.referenceTps, c.reference);
        const ReferenceMatch match = MatchReference(current, reference);
        EXPECT_EQ(match.passCounts, c.passes) << c.what;
        EXPECT_EQ(match.order, c.order) << c.what;
    }
}

TEST(MatchReference, UnmatchedListsLeaveEmptyRowsOut) {
    ListPage current = ListOf({}, {{"a"}, {""}, {"x"}, {"b"}, {"zeroed"}});
    // A zeroed record: no name, transponder 0; no pass can match it either.
    SetChannel(current, 5, "", 0, "0", "0", "00");
    const ListPage reference = ListOf({}, {{"b"}, {""}, {"y"}, {"a"}});
    const ReferenceMatch match = MatchReference(current, reference);
    EXPECT_EQ(match.matched(), 2);
    EXPECT_EQ(match.unmatchedCurrent, (std::vector<int>{3}));
    EXPECT_EQ(match.unmatchedReference, (std::vector<int>{3}));
    EXPECT_EQ(match.order, (std::vector<int>{4, 1, 2, 3, 5}));
    EXPECT_EQ(match.currentOf[1], 4);
    EXPECT_EQ(match.referenceOf[4], 1);
    EXPECT_EQ(ReferenceStatusText(match),
              "2 canali ordinati secondo il riferimento, 1 non trovato");
}

// ---- applying a reference -------------------------------------------------------------

TEST(ApplyReference, KeepRenumbersTheFavouritesAndSelectsTheUnmatched) {
    ListPage current = ListOf({}, {{"x"}, {"b"}, {"a"}});
    AddFavourite(current, 1, 1);
    AddFavourite(current, 1, 3);
    ListPage reference = ListOf({}, {{"a"}, {"b"}});
    AddFavourite(reference, 2, 2);  // not taken in keep mode
    const ReferenceMatch match = MatchReference(current, reference);
    const EditResult result = ApplyReference(current, reference, match, {});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.focusRow, 3);
    EXPECT_TRUE(current.modified);
    EXPECT_EQ(NamesOf(current), (std::vector<std::string>{"a", "b", "x"}));
    EXPECT_EQ(Favourites(current, 1), (std::vector<int>{3, 1}));
    EXPECT_TRUE(Favourites(current, 2).empty());
    EXPECT_TRUE(IsNumberedInOrder(current));
}

TEST(ApplyReference, TakeFavouritesFromTheReference) {
    ListPage current = ListOf({}, {{"x"}, {"b"}, {"a"}, {"c"}});
    AddFavourite(current, 1, 1);                       // replaced: lists come from the reference
    current.channelGrid.setCell(4, ch::Status, "00");  // inactive: grey
    current.channelGrid.setColour(4, kColourGrey);
    ListPage reference = ListOf({}, {{"a"}, {"gone"}, {"b"}, {"c"}});
    AddFavourite(reference, 2, 2);  // names an unmatched reference channel: left out
    AddFavourite(reference, 2, 3);
    AddFavourite(reference, 2, 1);
    AddFavourite(reference, 8, 4);
    reference.configGrid.setCell(2, 1, "Sport");
    reference.configGrid.setCell(8, 1, "Ultima");
    const ReferenceMatch match = MatchReference(current, reference);
    ASSERT_EQ(match.order, (std::vector<int>{3, 2, 4, 1}));
    ApplyReference(current, reference, match, {.takeFavourites = true});
    EXPECT_TRUE(Favourites(current, 1).empty());
    EXPECT_EQ(Favourites(current, 2), (std::vector<int>{2, 1}));  // b, a; the list closed up
    EXPECT_EQ(Favourites(current, 8), (std::vector<int>{3}));
    const Grid& list2 = current.favouriteGrids[1];
    EXPECT_EQ(list2.cells(1), (std::vector<std::string>{"1", "b", "2"}));
    EXPECT_EQ(list2.colour(1), kColourChannel);
    EXPECT_EQ(list2.cells(3), (std::vector<std::string>{"3", "", "0"}));
    EXPECT_EQ(list2.colour(3), kColourGrey);
    EXPECT_EQ(current.favouriteGrids[7].colour(1), kColourGrey);  // the inactive channel's colour
    EXPECT_EQ(current.configGrid.cell(2, 1), "Sport");
    EXPECT_EQ(current.configGrid.cell(8, 1), "Ultima");
    // "Preferenza" rebuilt: a in list 2, b in list 2, c in list 8, x in none.
    EXPECT_EQ(current.channelGrid.cell(1, ch::Favourites), "2");
    EXPECT_EQ(current.channelGrid.cell(2, ch::Favourites), "2");
    EXPECT_EQ(current.channelGrid.cell(3, ch::Favourites), "128");
    EXPECT_EQ(current.channelGrid.cell(4, ch::Favourites), "0");
}

TEST(ApplyReference, TakeFavouritesNeedsListsOnBothSides) {
    for (auto [currentLayout, referenceLayout] : {std::pair{ListLayout::Single, ListLayout::Split},
                                                  {ListLayout::Split, ListLayout::Single},
                                                  {ListLayout::None, ListLayout::Split}}) {
        ListPage current = ListOf({}, {{"b"}, {"a"}});
        ListPage reference = ListOf({}, {{"a"}, {"b"}});
        current.layout = currentLayout;
        reference.layout = referenceLayout;
        const ListPage before = current;
        EXPECT_FALSE(CanTakeFavourites(current, reference));
        const ReferenceMatch match = MatchReference(current, reference);
        EXPECT_FALSE(ApplyReference(current, reference, match, {.takeFavourites = true}).changed);
        EXPECT_EQ(current.channelGrid, before.channelGrid);
        EXPECT_FALSE(current.modified);
    }
}

TEST(ApplyReference, NamesComeFromTheReference) {
    ListPage current =
        ListOf({{"11747"}}, {{"NEW 2", 1, "2"}, {"NEW 1", 1, "1"}, {"other", 1, "3"}});
    AddFavourite(current, 1, 2);
    AddFavourite(current, 1, 3);
    ListPage reference = ListOf({{"11747"}}, {{"Mio uno", 1, "1"}, {"Mio due", 1, "2"}});
    const ReferenceMatch match = MatchReference(current, reference);
    EXPECT_EQ(match.passCounts[1], 2);
    ApplyReference(current, reference, match, {.takeNames = true});
    EXPECT_EQ(NamesOf(current), (std::vector<std::string>{"Mio uno", "Mio due", "other"}));
    // Favourites entries show the new names of their channels.
    EXPECT_EQ(current.favouriteGrids[0].cells(1), (std::vector<std::string>{"1", "Mio uno", "1"}));
    EXPECT_EQ(current.favouriteGrids[0].cells(2), (std::vector<std::string>{"2", "other", "3"}));
}

TEST(ApplyReference, NamesAndTakenFavourites) {
    ListPage current = ListOf({}, {{"B"}, {"A"}});
    ListPage reference = ListOf({}, {{"a"}, {"b"}});
    AddFavourite(reference, 1, 2);
    const ReferenceMatch match = MatchReference(current, reference);
    ApplyReference(current, reference, match, {.takeFavourites = true, .takeNames = true});
    EXPECT_EQ(NamesOf(current), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(current.favouriteGrids[0].cells(1), (std::vector<std::string>{"1", "b", "2"}));
}

TEST(ApplyReference, AMatchForOtherListsChangesNothing) {
    ListPage current = ListOf({}, {{"b"}, {"a"}});
    const ListPage other = ListOf({}, {{"a"}, {"b"}, {"c"}});
    const ReferenceMatch match = MatchReference(current, other);
    const ListPage reference = ListOf({}, {{"a"}});
    EXPECT_FALSE(ApplyReference(current, reference, match, {}).changed);
    EXPECT_EQ(NamesOf(current), (std::vector<std::string>{"b", "a"}));
}

// A list shuffled by block moves comes back exactly, favourites included, when given
// its own original as the reference.
TEST(ApplyReference, ShuffledListComesBackInItsOriginalOrder) {
    std::mt19937 rng(17);
    const int n = 60;
    ListPage original = MakePage(n, 6);
    for (int t = 1; t <= 6; ++t)
        SetTransponder(
            original, t,
            Transponder{.frequency = std::to_string(10700 + 250 * t), .tid = std::to_string(t)});
    for (int r = 1; r <= n; ++r) {
        if (r > n - 5) continue;  // free rows at the end, as a receiver leaves them
        // Names repeat, so some channels are only told apart by SID and transponder.
        SetChannel(original, r, "Ch " + std::to_string(r % 20), 1 + r % 6);
        SetSid(original, r, std::to_string(r));
        for (int k = 1; k <= fav::Lists; ++k)
            if (rng() % 5 == 0) AddFavourite(original, k, r);
    }
    for (int k = 1; k <= fav::Lists; ++k) original.configGrid.setCell(k, 0, std::to_string(k));
    original.configGrid.setCell(1, 1, "Lista");
    ListPage shuffled = original;
    NullProgress progress;
    for (int step = 0; step < 40; ++step) {
        const int first = 1 + static_cast<int>(rng() % n);
        const int last = first + static_cast<int>(rng() % std::min(5, n - first + 1));
        const int target = 1 + static_cast<int>(rng() % (n - (last - first)));
        MoveChannels(shuffled, first, last, target, progress);
    }
    ASSERT_NE(shuffled.channelGrid, original.channelGrid);
    for (const bool take : {false, true}) {
        ListPage page = shuffled;
        const ReferenceMatch match = MatchReference(page, original);
        ApplyReference(page, original, match, {.takeFavourites = take});
        EXPECT_EQ(page.channelGrid, original.channelGrid) << take;
        for (int k = 0; k < fav::Lists; ++k)
            EXPECT_EQ(page.favouriteGrids[static_cast<size_t>(k)],
                      original.favouriteGrids[static_cast<size_t>(k)])
                << "list " << k + 1 << " take " << take;
        EXPECT_EQ(page.configGrid, original.configGrid);
    }
}

// ---- undo ---------------------------------------------------------------------------

TEST(Reorder, EachCommandIsOneUndoStep) {
    ListPage reference = ListOf({}, {{"a"}, {"b"}, {"c"}});
    AddFavourite(reference, 1, 3);
    reference.configGrid.setCell(1, 1, "Rif");
    for (int command = 0; command < 3; ++command) {
        ListPage page = ListOf({}, {{"c"}, {"b"}, {"a"}});
        AddFavourite(page, 2, 1);
        UndoHistory history(page);
        const ListPage before = page;
        if (command == 0) {
            SortChannels(page, 1, 3, SortKey::Name);
        } else {
            const ReferenceMatch match = MatchReference(page, reference);
            ApplyReference(page, reference, match,
                           {.takeFavourites = command == 2, .takeNames = true});
        }
        const ListPage after = page;
        ASSERT_TRUE(history.commit(page, "Ordina"));
        ASSERT_TRUE(history.undo(page));
        EXPECT_EQ(page.channelGrid, before.channelGrid) << command;
        EXPECT_EQ(page.favouriteGrids, before.favouriteGrids) << command;
        EXPECT_EQ(page.configGrid, before.configGrid) << command;
        EXPECT_FALSE(page.modified);
        ASSERT_TRUE(history.redo(page));
        EXPECT_EQ(page.channelGrid, after.channelGrid) << command;
        EXPECT_EQ(page.favouriteGrids, after.favouriteGrids) << command;
        EXPECT_EQ(page.configGrid, after.configGrid) << command;
    }
}

}  // namespace
}  // namespace rivo
