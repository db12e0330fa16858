// Comparing two channel lists, and taking back from the older one what the newer lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "editing/compare.h"
#include "page_maker.h"

namespace rivo {
namespace {

using pages::MakePage;
using pages::ScriptedPrompts;

// A channel of a hand-made list; each distinct tuning gets a transponder row of its own.
struct Chan {
    std::string name;
    int sid = 0;
    std::string frequency = "11747";
    std::string polarisation = "H";
    int tid = 1100;
    std::string symbolRate = "27500";
    std::string fec = "3/4";
    int nid = 1;
    std::vector<int> lists = {};
};

// A page holding chans in rows 1.. (a channel with neither name nor SID is left an
// empty row), then `free` empty rows; spare transponder rows for pasting.
ListPage PageOf(const std::vector<Chan>& chans, int free = 2, std::uint64_t imageId = 1) {
    const int rows = static_cast<int>(chans.size()) + free;
    ListPage page = MakePage(rows, static_cast<int>(chans.size()) + 8, imageId);
    std::map<std::vector<std::string>, int> transponderRows;
    for (size_t i = 0; i < chans.size(); ++i) {
        const Chan& c = chans[i];
        const int row = static_cast<int>(i) + 1;
        if (c.name.empty() && c.sid == 0) continue;
        const std::vector<std::string> key = {c.frequency,  c.polarisation, std::to_string(c.tid),
                                              c.symbolRate, c.fec,          std::to_string(c.nid)};
        auto [it, added] =
            transponderRows.emplace(key, static_cast<int>(transponderRows.size()) + 1);
        if (added)
            pages::SetTransponder(page, it->second,
                                  pages::Transponder{.frequency = c.frequency,
                                                     .tid = std::to_string(c.tid),
                                                     .nid = std::to_string(c.nid),
                                                     .symbolRate = c.symbolRate,
                                                     .fec = c.fec,
                                                     .polarisation = c.polarisation});
        pages::SetChannel(page, row, c.name, it->second);
        page.channelGrid.setCell(row, ch::Sid, std::to_string(c.sid));
        for (const int list : c.lists) pages::AddFavourite(page, list, row);
    }
    return page;
}

Chan In(Chan chan, std::vector<int> lists) {
    chan.lists = std::move(lists);
    return chan;
}

// "OLD>NEW classes pPASS[?] [fields] case": one line per channel, in the comparison's
// order; "?" marks an uncertain pair, "case" a rename of case or spaces only.
std::vector<std::string> Describe(const ListComparison& comparison) {
    std::vector<std::string> out;
    for (const ChannelDifference& d : comparison.channels) {
        std::string line = std::to_string(d.oldRow) + ">" + std::to_string(d.newRow) + " ";
        std::string classes;
        for (const ChangeClass c : kAllChangeClasses)
            if (d.has(c)) classes += std::string(classes.empty() ? "" : "+") + ChangeClassWord(c);
        line += classes.empty() ? "unchanged" : classes;
        if (d.pass != 0) line += " p" + std::to_string(d.pass) + (d.uncertain ? "?" : "");
        if (d.fields != 0) {
            std::string fields;
            for (int f = 0; f < kTuningFields; ++f)
                if ((d.fields & (1u << f)) != 0)
                    fields += std::string(fields.empty() ? "" : ",") +
                              TuningFieldWord(static_cast<TuningField>(f));
            line += " [" + fields + "]";
        }
        if (d.caseOnlyRename) line += " case";
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> NamesOf(const ListPage& page) {
    std::vector<std::string> out;
    for (int r = 1; r <= page.channelCount(); ++r)
        out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

TEST(CompareLists, SmallPagesTable) {
    const Chan a{"A", 1}, b{"B", 2}, c{"C", 3}, d{"D", 4}, e{"E", 5};
    auto with = [](Chan chan, auto change) {
        change(chan);
        return chan;
    };
    struct Case {
        const char* what;
        std::vector<Chan> before, after;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"same lists",
         {a, b, c},
         {a, b, c},
         {"1>1 unchanged p1", "2>2 unchanged p1", "3>3 unchanged p1"}},
        {"3 MHz apart is still the same transponder",
         {a},
         {with(a, [](Chan& x) { x.frequency = "11750"; })},
         {"1>1 retuned p1 [frequency]"}},
        {"just over 3 MHz: the name pass no longer pairs them, SID, TID and NID do",
         {a},
         {with(a, [](Chan& x) { x.frequency = "11750,001"; })},
         {"1>1 retuned p2 [frequency]"}},
        {"3 MHz down as well",
         {a},
         {with(a, [](Chan& x) { x.frequency = "11744"; })},
         {"1>1 retuned p1 [frequency]"}},
        {"a SID change leaves only the name: uncertain",
         {a, b},
         {with(a, [](Chan& x) { x.sid = 11; }), b},
         {"1>1 retuned p4? [sid]", "2>2 unchanged p1"}},
        {"SID and TID changed together",
         {a},
         {with(a,
               [](Chan& x) {
                   x.sid = 9;
                   x.tid = 1200;
               })},
         {"1>1 retuned p4? [tid,sid]"}},
        {"a name carried twice in the old list is no name pass match",
         {with(a, [](Chan& x) { x.name = "X"; }), with(b, [](Chan& x) { x.name = "X"; })},
         {with(c,
               [](Chan& x) {
                   x.name = "X";
                   x.tid = 1300;
               })},
         {"0>1 new", "1>0 removed", "2>0 removed"}},
        {"a name carried twice in the new list is no name pass match either",
         {with(c,
               [](Chan& x) {
                   x.name = "X";
                   x.tid = 1300;
               })},
         {with(a, [](Chan& x) { x.name = "X"; }), with(b, [](Chan& x) { x.name = "X"; })},
         {"0>1 new", "0>2 new", "1>0 removed"}},
        {"one channel inserted near the top moves nothing else",
         {a, b, c, d},
         {a, e, b, c, d},
         {"1>1 unchanged p1", "0>2 new", "2>3 unchanged p1", "3>4 unchanged p1",
          "4>5 unchanged p1"}},
        {"one channel removed near the top moves nothing else",
         {a, b, c, d},
         {a, c, d},
         {"1>1 unchanged p1", "3>2 unchanged p1", "4>3 unchanged p1", "2>0 removed"}},
        // Of two swapped channels the one now first stays in place; the other moved.
        {"swap of two neighbours: one moved",
         {a, b, c},
         {b, a, c},
         {"2>1 unchanged p1", "1>2 moved p1", "3>3 unchanged p1"}},
        {"swap of the first and last: one moved, the one now first stays",
         {a, b, c},
         {c, b, a},
         {"3>1 unchanged p1", "2>2 moved p1", "1>3 moved p1"}},
        {"a block taken to the end: only the block moved",
         {a, b, c, d, e},
         {c, d, e, a, b},
         {"3>1 unchanged p1", "4>2 unchanged p1", "5>3 unchanged p1", "1>4 moved p1",
          "2>5 moved p1"}},
        {"case only",
         {with(a, [](Chan& x) { x.name = "Rai 1"; })},
         {with(a, [](Chan& x) { x.name = "RAI 1"; })},
         {"1>1 renamed p1 case"}},
        {"spaces around only",
         {with(a, [](Chan& x) { x.name = "Rai 1"; })},
         {with(a, [](Chan& x) { x.name = " Rai 1  "; })},
         {"1>1 renamed p1 case"}},
        {"an accent is more than case",
         {with(a, [](Chan& x) { x.name = "\xC8lite"; })},
         {with(a, [](Chan& x) { x.name = "Elite"; })},
         {"1>1 renamed p1"}},
        {"an accented capital folds like a plain one",
         {with(a, [](Chan& x) { x.name = "\xC8LITE"; })},
         {with(a, [](Chan& x) { x.name = "\xE8lite"; })},
         {"1>1 renamed p1 case"}},
        {"a new name",
         {with(a, [](Chan& x) { x.name = "Rai 1"; })},
         {with(a, [](Chan& x) { x.name = "Rai Uno"; })},
         {"1>1 renamed p2"}},
        {"polarisation",
         {a},
         {with(a, [](Chan& x) { x.polarisation = "V"; })},
         {"1>1 retuned p2 [polarisation]"}},
        {"symbol rate, FEC and NID",
         {a},
         {with(a,
               [](Chan& x) {
                   x.symbolRate = "22000";
                   x.fec = "5/6";
               })},
         {"1>1 retuned p1 [symbol_rate,fec]"}},
        {"NID", {a}, {with(a, [](Chan& x) { x.nid = 2; })}, {"1>1 retuned p3 [nid]"}},
        {"favourites",
         {with(a, [](Chan& x) { x.lists = {1}; })},
         {with(a, [](Chan& x) { x.lists = {2}; })},
         {"1>1 favourites p1"}},
        {"several classes at once",
         {a, with(b,
                  [](Chan& x) {
                      x.lists = {1, 3};
                  })},
         {with(b,
               [](Chan& x) {
                   x.name = "Bee";
                   x.frequency = "11749";
               }),
          a},
         {"2>1 renamed+retuned+favourites p2 [frequency]", "1>2 moved p1"}},
        {"empty rows take no part",
         {a, Chan{}, b},
         {a, b, Chan{}},
         {"1>1 unchanged p1", "3>2 unchanged p1"}},
    };
    for (const Case& c : cases) {
        const ListPage before = PageOf(c.before, 2, 1);
        const ListPage after = PageOf(c.after, 2, 2);
        const ListComparison comparison = CompareLists(before, after);
        EXPECT_EQ(Describe(comparison), c.expected) << c.what;
        // The counts are those of the lines.
        for (const ChangeClass k : kAllChangeClasses) {
            const auto n = std::count_if(comparison.channels.begin(), comparison.channels.end(),
                                         [k](const ChannelDifference& x) { return x.has(k); });
            EXPECT_EQ(comparison.count(k), n) << c.what << " " << ChangeClassWord(k);
            EXPECT_EQ(comparison.ofClass(k).size(), static_cast<size_t>(n)) << c.what;
        }
    }
}

TEST(CompareLists, FavouritesAreTheListsNamingTheChannel) {
    ListPage before = PageOf({In({"A", 1}, {1, 8}), {"B", 2}});
    ListPage after = PageOf({In({"A", 1}, {8, 1}), {"B", 2}});
    // The same lists in another slot order are the same set.
    const ListComparison same = CompareLists(before, after);
    EXPECT_EQ(same.count(ChangeClass::FavouritesChanged), 0);
    EXPECT_EQ(same.channels[0].oldLists, 0x81);
    pages::AddFavourite(after, 4, 2);
    const ListComparison changed = CompareLists(before, after);
    ASSERT_EQ(changed.count(ChangeClass::FavouritesChanged), 1);
    EXPECT_EQ(changed.ofClass(ChangeClass::FavouritesChanged)[0].newLists, 0x08);
    EXPECT_EQ(changed.unchanged, 1);
}

// A list's last slot counts like any other: a channel held only there is in the list.
TEST(CompareLists, AChannelInTheLastSlotOfAListIsInThatList) {
    std::vector<Chan> chans;
    for (int n = 1; n <= fav::Slots; ++n) chans.push_back(In({"C" + std::to_string(n), n}, {1}));
    const ListPage before = PageOf(chans, 0, 1);
    ASSERT_EQ(before.favouriteGrids[0].cell(128, fav::Channel), "128");

    const ListComparison same = CompareLists(before, PageOf(chans, 0, 2));
    EXPECT_EQ(same.count(ChangeClass::FavouritesChanged), 0);
    ASSERT_EQ(same.channels.size(), 128u);
    EXPECT_EQ(same.channels.back().oldLists, 0x01);
    EXPECT_EQ(same.channels.back().newLists, 0x01);

    chans.back().lists = {};  // the rescan leaves channel 128 out of list 1
    const ListComparison dropped = CompareLists(before, PageOf(chans, 0, 2));
    const auto changed = dropped.ofClass(ChangeClass::FavouritesChanged);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].oldRow, 128);
    EXPECT_EQ(changed[0].oldLists, 0x01);
    EXPECT_EQ(changed[0].newLists, 0x00);
}

// ---- taking back ------------------------------------------------------------------

TEST(TakeRemoved, PastesAtTheEndReusingTransponders) {
    const ListPage before =
        PageOf({{"A", 1}, In({"B", 2, "12000", "V", 1200}, {2}), {"C", 3}, {"D", 4}}, 0, 1);
    ListPage after = PageOf({{"A", 1}, {"C", 3}}, 3, 2);
    const int transpondersInUse = 1;  // A and C share theirs
    const ListComparison comparison = CompareLists(before, after);
    ASSERT_EQ(comparison.count(ChangeClass::Removed), 2);
    ScriptedPrompts prompts;
    NullProgress progress;
    const EditResult result =
        TakeRemoved(after, before, comparison.ofClass(ChangeClass::Removed), prompts, progress);
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.focusRow, 3);
    EXPECT_TRUE(prompts.asked.empty());  // nor the paste's insert question
    EXPECT_EQ(NamesOf(after), (std::vector<std::string>{"A", "C", "B", "D", ""}));
    // D's transponder is A's and C's; B's is new.
    EXPECT_EQ(after.channelGrid.cell(4, ch::Transponder), "1");
    EXPECT_EQ(after.channelGrid.cell(3, ch::Transponder), std::to_string(transpondersInUse + 1));
    EXPECT_EQ(after.transponderGrid.cell(2, tp::Frequency), "12000");
    EXPECT_EQ(pages::Favourites(after, 2), (std::vector<int>{3}));
    EXPECT_TRUE(after.modified);
    const ListComparison again = CompareLists(before, after);
    EXPECT_EQ(again.count(ChangeClass::Removed), 0);
    EXPECT_EQ(again.count(ChangeClass::FavouritesChanged), 0);
    EXPECT_EQ(again.count(ChangeClass::Retuned), 0);
}

TEST(TakeRemoved, NeedsRoomAtTheEndOfTheList) {
    const ListPage before = PageOf({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}, 0, 1);
    struct Case {
        int free;  // empty rows at the end of the newer list
        bool taken;
    };
    // Three channels to take back (B, C, D).
    for (const Case c : {Case{2, false}, Case{3, true}}) {
        ListPage after = PageOf({{"A", 1}}, c.free, 2);
        const ListPage unchanged = after;
        ScriptedPrompts prompts;
        NullProgress progress;
        const ListComparison comparison = CompareLists(before, after);
        const EditResult result =
            TakeRemoved(after, before, comparison.ofClass(ChangeClass::Removed), prompts, progress);
        EXPECT_EQ(result.changed, c.taken) << c.free;
        if (c.taken) {
            EXPECT_EQ(NamesOf(after), (std::vector<std::string>{"A", "B", "C", "D"}));
        } else {
            ASSERT_EQ(prompts.asked.size(), 1u);
            EXPECT_EQ(prompts.asked[0].text,
                      "Non c'è posto in fondo alla lista per i canali da riprendere: ne servono 3, "
                      "le righe libere sono 2.");
            EXPECT_TRUE(after.channelGrid == unchanged.channelGrid);
            EXPECT_FALSE(after.modified);
        }
    }
}

TEST(TakeRemoved, GoesAfterTheLastChannelNotIntoAGap) {
    const ListPage before = PageOf({{"A", 1}, {"B", 2}, {"C", 3}}, 0, 1);
    ListPage after = PageOf({{"A", 1}, Chan{}, {"C", 3}}, 1, 2);
    EXPECT_EQ(FirstRowAfterChannels(after), 4);
    ScriptedPrompts prompts;
    NullProgress progress;
    TakeRemoved(after, before, CompareLists(before, after).ofClass(ChangeClass::Removed), prompts,
                progress);
    EXPECT_EQ(NamesOf(after), (std::vector<std::string>{"A", "", "C", "B"}));
}

// A channel with a name and no transponder (either way of writing "none") near the end
// of the newer list is still a channel: the taken-back ones go after it.
TEST(TakeRemoved, ANamedChannelWithoutTransponderIsNotOverwritten) {
    const ListPage before = PageOf({{"A", 1}, {"B", 2}, {"C", 3}}, 0, 1);
    for (const char* none : {"0", "255"}) {
        SCOPED_TRACE(none);
        ListPage after = PageOf({{"A", 1}, {"C", 3}, {"Senza", 9}}, 1, 2);
        after.channelGrid.setCell(3, ch::Transponder, none);
        EXPECT_EQ(FirstRowAfterChannels(after), 4);
        ScriptedPrompts prompts;
        NullProgress progress;
        const EditResult result =
            TakeRemoved(after, before, CompareLists(before, after).ofClass(ChangeClass::Removed),
                        prompts, progress);
        EXPECT_TRUE(result.changed);
        EXPECT_EQ(result.focusRow, 4);
        EXPECT_EQ(NamesOf(after), (std::vector<std::string>{"A", "C", "Senza", "B"}));
    }
}

TEST(TakeNamesAndFavourites, OnlyTheChosenChannels) {
    const ListPage before = PageOf({In({"A", 1}, {1}), In({"B", 2}, {2}), {"C", 3}});
    ListPage after = PageOf({In({"Aa", 1}, {1}), {"Bb", 2}, In({"C", 3}, {5})});
    const ListComparison comparison = CompareLists(before, after);
    const auto renamed = comparison.ofClass(ChangeClass::Renamed);
    ASSERT_EQ(renamed.size(), 2u);
    // Only A is chosen.
    EXPECT_TRUE(TakeNames(after, before, {renamed[0]}).changed);
    EXPECT_EQ(NamesOf(after), (std::vector<std::string>{"A", "Bb", "C", "", ""}));
    EXPECT_EQ(after.favouriteGrids[0].cell(1, fav::Name),
              "A");  // the entry shows the name taken back
    const auto favourites = comparison.ofClass(ChangeClass::FavouritesChanged);
    ASSERT_EQ(favourites.size(), 2u);  // B lost list 2, C gained list 5
    EXPECT_TRUE(TakeFavourites(after, favourites).changed);
    EXPECT_EQ(pages::Favourites(after, 2), (std::vector<int>{2}));
    EXPECT_TRUE(pages::Favourites(after, 5).empty());
    EXPECT_EQ(after.channelGrid.cell(2, ch::Favourites), "2");
    EXPECT_EQ(after.channelGrid.cell(3, ch::Favourites), "0");
    // Nothing left to take: no change.
    EXPECT_FALSE(
        TakeFavourites(after, CompareLists(before, after).ofClass(ChangeClass::FavouritesChanged))
            .changed);
}

// ---- a simulated rescan -------------------------------------------------------------

// The longest run through each position of values (strictly increasing), by the plain
// quadratic method: the planted moves are kept only where the unmoved channels are the
// one longest run, so that "moved" has one right answer.
bool UnmovedAreTheOnlyLongestRun(const std::vector<int>& values, const std::vector<bool>& isMoved) {
    const size_t n = values.size();
    std::vector<int> ending(n, 1), starting(n, 1);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < i; ++j)
            if (values[j] < values[i]) ending[i] = std::max(ending[i], ending[j] + 1);
    for (size_t i = n; i-- > 0;)
        for (size_t j = i + 1; j < n; ++j)
            if (values[i] < values[j]) starting[i] = std::max(starting[i], starting[j] + 1);
    const int unmoved = static_cast<int>(std::count(isMoved.begin(), isMoved.end(), false));
    for (size_t i = 0; i < n; ++i) {
        const int through = ending[i] + starting[i] - 1;
        if (through > unmoved) return false;
        if (isMoved[i] && through == unmoved) return false;
    }
    return true;
}

TEST(CompareLists, RandomRescanReportsThePlantedChangesAndTakingBackUndoesThem) {
    std::mt19937 random(27);
    for (int round = 0; round < 30; ++round) {
        const int count = 60 + static_cast<int>(random() % 60);
        const int transponders = 12;
        std::vector<Chan> old;
        for (int i = 0; i < count; ++i) {
            const int t = static_cast<int>(random() % transponders);
            Chan c{"Ch" + std::to_string(i), 100 + i, std::to_string(10700 + 40 * t),
                   t % 2 ? "V" : "H", 1000 + t};
            if (random() % 4 == 0) c.lists = {1 + static_cast<int>(random() % 8)};
            old.push_back(c);
        }
        // Plan: each old channel is dropped, renamed, given a new SID, or kept.
        std::set<int> dropped, renamed, newSid, lostFavourites;
        for (int i = 0; i < count; ++i) {
            switch (random() % 12) {
                case 0:
                    dropped.insert(i);
                    break;
                case 1:
                    renamed.insert(i);
                    break;
                case 2:
                    newSid.insert(i);
                    break;
                case 3:
                    if (!old[static_cast<size_t>(i)].lists.empty()) lostFavourites.insert(i);
                    break;
                default:
                    break;
            }
        }
        std::set<int> driftedTransponders;
        std::map<int, int> driftKHz;
        for (int t = 0; t < transponders; ++t)
            if (random() % 3 == 0) {
                int kHz = static_cast<int>(random() % 4001) - 2000;  // up to 2 MHz either way
                if (kHz == 0) kHz = 1;
                driftKHz[t] = kHz;
            }
        // The kept channels in old order, then a few blocks moved elsewhere.
        std::vector<int> order;  // old indexes; -1 - k for the k-th new channel
        std::vector<bool> isMovedAt;
        std::set<int> moved;
        for (int attempt = 0;; ++attempt) {
            order.clear();
            moved.clear();
            for (int i = 0; i < count; ++i)
                if (!dropped.count(i)) order.push_back(i);
            const int blocks = 1 + static_cast<int>(random() % 3);
            for (int b = 0; b < blocks; ++b) {
                const int size = 1 + static_cast<int>(random() % 4);
                const int from =
                    static_cast<int>(random() % (order.size() - static_cast<size_t>(size)));
                std::vector<int> block(order.begin() + from, order.begin() + from + size);
                order.erase(order.begin() + from, order.begin() + from + size);
                const int to = static_cast<int>(random() % (order.size() + 1));
                order.insert(order.begin() + to, block.begin(), block.end());
                for (const int i : block) moved.insert(i);
            }
            std::vector<int> values;
            isMovedAt.clear();
            // Positions in new order, listed in old order.
            std::vector<int> positionOf(static_cast<size_t>(count), -1);
            for (size_t p = 0; p < order.size(); ++p)
                positionOf[static_cast<size_t>(order[p])] = static_cast<int>(p);
            for (int i = 0; i < count; ++i) {
                if (positionOf[static_cast<size_t>(i)] < 0) continue;
                values.push_back(positionOf[static_cast<size_t>(i)]);
                isMovedAt.push_back(moved.count(i) != 0);
            }
            if (UnmovedAreTheOnlyLongestRun(values, isMovedAt)) break;
            ASSERT_LT(attempt, 1000);
        }
        // New channels mixed in.
        const int added = static_cast<int>(random() % 6);
        for (int k = 0; k < added; ++k)
            order.insert(order.begin() + static_cast<long>(random() % (order.size() + 1)), -1 - k);

        std::vector<Chan> rescan;
        for (const int i : order) {
            if (i < 0) {
                const int k = -1 - i;
                const int t = k % transponders;
                rescan.push_back({"New" + std::to_string(k), 5000 + k,
                                  std::to_string(10700 + 40 * t + 1), t % 2 ? "V" : "H", 1000 + t});
                continue;
            }
            Chan c = old[static_cast<size_t>(i)];
            const int t = c.tid - 1000;
            if (driftKHz.count(t)) {
                const int kHz = 1000 * (10700 + 40 * t) + driftKHz[t];
                c.frequency = std::to_string(kHz / 1000) +
                              (kHz % 1000 ? "," + std::to_string(kHz % 1000) : "");
                // Trailing zeros of the fraction are not written.
                while (c.frequency.find(',') != std::string::npos && c.frequency.back() == '0')
                    c.frequency.pop_back();
            }
            if (renamed.count(i)) c.name = "Renamed" + std::to_string(i);
            if (newSid.count(i)) c.sid = 9000 + i;
            if (lostFavourites.count(i)) c.lists = {};
            rescan.push_back(c);
        }
        const ListPage before = PageOf(old, 0, 1);
        ListPage after = PageOf(rescan, static_cast<int>(dropped.size()) + 3, 2);

        const ListComparison comparison = CompareLists(before, after);
        std::set<int> gotRemoved, gotMoved, gotRenamed, gotSid, gotDrift, gotFavourites;
        std::set<std::string> gotNew;
        for (const ChannelDifference& d : comparison.channels) {
            const int i = d.oldRow - 1;
            if (d.has(ChangeClass::New)) gotNew.insert(after.channelGrid.cell(d.newRow, ch::Name));
            if (d.has(ChangeClass::Removed)) gotRemoved.insert(i);
            if (d.has(ChangeClass::Moved)) gotMoved.insert(i);
            if (d.has(ChangeClass::Renamed)) gotRenamed.insert(i);
            if (d.fields & FieldBit(TuningField::Sid)) gotSid.insert(i);
            if (d.fields & FieldBit(TuningField::Frequency)) gotDrift.insert(i);
            if (d.has(ChangeClass::FavouritesChanged)) gotFavourites.insert(i);
            EXPECT_EQ(d.fields & ~(FieldBit(TuningField::Sid) | FieldBit(TuningField::Frequency)),
                      0u);
            if (d.oldRow != 0 && d.newRow != 0) {
                const int expectedPass = newSid.count(i) ? 4 : renamed.count(i) ? 2 : 1;
                EXPECT_EQ(d.pass, expectedPass) << "round " << round << " old row " << d.oldRow;
                EXPECT_EQ(d.uncertain, expectedPass == 4);
            }
        }
        std::set<std::string> plantedNew;
        for (int k = 0; k < added; ++k) plantedNew.insert("New" + std::to_string(k));
        std::set<int> plantedDrift;
        for (int i = 0; i < count; ++i)
            if (!dropped.count(i) && driftKHz.count(old[static_cast<size_t>(i)].tid - 1000))
                plantedDrift.insert(i);
        std::set<int> plantedMoved;
        for (const int i : moved)
            if (!dropped.count(i)) plantedMoved.insert(i);
        auto kept = [&](const std::set<int>& s) {
            std::set<int> out;
            for (const int i : s)
                if (!dropped.count(i)) out.insert(i);
            return out;
        };
        EXPECT_EQ(gotNew, plantedNew) << "round " << round;
        EXPECT_EQ(gotRemoved, dropped) << "round " << round;
        EXPECT_EQ(gotMoved, plantedMoved) << "round " << round;
        EXPECT_EQ(gotRenamed, kept(renamed)) << "round " << round;
        EXPECT_EQ(gotSid, kept(newSid)) << "round " << round;
        EXPECT_EQ(gotDrift, plantedDrift) << "round " << round;
        EXPECT_EQ(gotFavourites, kept(lostFavourites)) << "round " << round;

        // Taking everything back gives the old channels with their old names and lists.
        ScriptedPrompts prompts;
        NullProgress progress;
        TakeRemoved(after, before, comparison.ofClass(ChangeClass::Removed), prompts, progress);
        EXPECT_TRUE(prompts.asked.empty()) << "round " << round;
        TakeNames(after, before, comparison.ofClass(ChangeClass::Renamed));
        TakeFavourites(after, comparison.ofClass(ChangeClass::FavouritesChanged));
        const ListComparison again = CompareLists(before, after);
        EXPECT_EQ(again.count(ChangeClass::Removed), 0) << "round " << round;
        EXPECT_EQ(again.count(ChangeClass::Renamed), 0) << "round " << round;
        EXPECT_EQ(again.count(ChangeClass::FavouritesChanged), 0) << "round " << round;
        EXPECT_EQ(again.count(ChangeClass::New), added) << "round " << round;
        std::multiset<std::string> oldNames, newNames;
        for (const Chan& c : old) oldNames.insert(c.name);
        for (const std::string& name : NamesOf(after))
            if (!name.empty() && name.rfind("New", 0) != 0) newNames.insert(name);
        EXPECT_EQ(newNames, oldNames) << "round " << round;
    }
}

}  // namespace
}  // namespace rivo
