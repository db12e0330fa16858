// The channel filter: which rows the filter bar and `dump --where` let through.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editing/channel_filter.h"

namespace rivo {
namespace {

struct Channel {
    const char* name;  // Windows-1252 bytes
    const char* transponder;
    const char* sid;
    const char* vPid;
    const char* aPid;
    const char* status;
    const char* favourites;
};

// Rows 1 .. 8; transponder 1 on satellite A at 11747 MHz, 2 on B at 12188,5 MHz,
// 3 on B at 10714 MHz.
ListPage FilterPage() {
    static const Channel channels[] = {
        {"Rai 1", "1", "3401", "512", "650", "04", "1"},  // 1 TV, clear, list 1
        {"\xC8lite Caf\xE9", "2", "11747", "65535", "660", "24",
         "0"},                                                  // 2 "Èlite Café" radio, coded
        {"RAI NEWS", "2", "5", "65535", "65535", "05", "6"},    // 3 data, locked, lists 2 and 3
        {"Sport HD", "3", "12188", "520", "700", "00", "128"},  // 4 inactive, list 8
        {"ARTE", "1", "7", "700", "701", "A4", "0"},            // 5 coded (encoding 5)
        {"", "255", "0", "65535", "65535", "00", "0"},          // 6 empty slot
        {"Caf\xE8 Noir", "9", "70", "600", "601", "04", "4"},   // 7 transponder beyond the table
        {"Rete 4", "2", "3402", "800", "801", "04", "x"},       // 8 "Preferenza" no number
    };
    ListPage page;
    page.satelliteA = "HotBird";
    page.satelliteB = "Astra";
    page.channelGrid.setRowCount(9);
    for (int r = 1; r <= 8; ++r) {
        const Channel& c = channels[r - 1];
        page.channelGrid.row(r).cells = {
            std::to_string(r), c.name,  c.transponder, c.sid,    c.vPid,      c.aPid,
            "65535",           "65535", "0",           c.status, c.favourites};
    }
    page.transponderGrid.setRowCount(4);
    page.transponderGrid.row(1).cells = {"1",     "11747", "1", "1",   "1",
                                         "27500", "3/4",   "H", "Off", "HotBird"};
    page.transponderGrid.row(2).cells = {"2",     "12188,5", "1", "1",  "1",
                                         "27500", "3/4",     "H", "On", "Astra"};
    page.transponderGrid.row(3).cells = {"3",     "10714", "1", "1",   "1",
                                         "27500", "3/4",   "V", "Off", "Astra"};
    return page;
}

ChannelFilter Text(const char* text) {
    ChannelFilter f;
    f.text = text;
    return f;
}
ChannelFilter State(ChannelState state) {
    ChannelFilter f;
    f.state = state;
    return f;
}
ChannelFilter Satellite(int satellite) {
    ChannelFilter f;
    f.satellite = satellite;
    return f;
}
ChannelFilter List(int list) {
    ChannelFilter f;
    f.list = list;
    return f;
}

TEST(ChannelFilter, RowsLetThrough) {
    struct Case {
        const char* what;
        ChannelFilter filter;
        std::vector<int> rows;
    } cases[] = {
        {"no condition", {}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"case ignored", Text("rai"), {1, 3}},
        {"accent typed, plain name", Text("Élite"), {2}},
        {"plain typed, accented names", Text("cafe"), {2, 7}},
        {"inner substring", Text("ws"), {3}},
        {"SID as text, exact, or name", Text("5"), {3}},  // SID 5 only; 3401 does not count
        {"SID that is also a frequency",
         Text("11747"),
         {1, 2, 5}},  // SID 11747, and tp 1 at 11747 MHz
        {"frequency with a fraction, whole MHz",
         Text("12188"),
         {2, 3, 4, 8}},  // tp 2 12188,5; SID 12188
        {"text no Windows-1252 name holds", Text("\xE2\x86\x92"), {}},
        {"satellite A", Satellite(kSatelliteA), {1, 5}},
        {"satellite B", Satellite(kSatelliteB), {2, 3, 4, 8}},
        {"active", State(ChannelState::Active), {1, 2, 3, 5, 7, 8}},
        {"inactive", State(ChannelState::Inactive), {4, 6}},
        {"locked", State(ChannelState::Locked), {3}},
        {"coded", State(ChannelState::Coded), {2, 5}},
        {"clear", State(ChannelState::Clear), {1, 3, 4, 6, 7, 8}},
        {"tv", State(ChannelState::Tv), {1, 4, 5, 7, 8}},
        {"radio", State(ChannelState::Radio), {2}},
        {"data", State(ChannelState::Data), {3, 6}},
        {"in no list", List(kNoList), {2, 5, 6, 8}},
        {"list 1", List(1), {1}},
        {"list 3", List(3), {3, 7}},
        {"list 8", List(8), {4}},
        {"list 4: none", List(4), {}},
    };
    const ListPage page = FilterPage();
    const std::vector<std::string> keys = ChannelNameKeys(page);
    for (const Case& c : cases) {
        EXPECT_EQ(FilterRows(page, c.filter), c.rows) << c.what;
        EXPECT_EQ(FilterRows(page, c.filter, &keys), c.rows) << c.what << " (with kept keys)";
    }
}

TEST(ChannelFilter, ConditionsCombine) {
    const ListPage page = FilterPage();
    ChannelFilter f = State(ChannelState::Coded);
    f.satellite = kSatelliteB;
    EXPECT_EQ(FilterRows(page, f), (std::vector<int>{2}));
    f.transponder = 1;
    EXPECT_EQ(FilterRows(page, f), (std::vector<int>{}));
    ChannelFilter t;
    t.transponder = 2;
    EXPECT_EQ(FilterRows(page, t), (std::vector<int>{2, 3, 8}));
}

TEST(ChannelFilter, ExpressionsOfTheTool) {
    const ListPage page = FilterPage();
    struct Case {
        const char* expression;
        std::vector<int> rows;
    } cases[] = {
        {"sat=A", {1, 5}},      {"sat=B,state=coded", {2}},
        {"state=radio", {2}},   {"state=data", {3, 6}},
        {"list=3", {3, 7}},     {"list=8", {4}},  // the last list
        {"none", {2, 5, 6, 8}}, {"name~cafe", {2, 7}},
        {"name~5", {}},  // a name text is not a SID
        {"sid=5", {3}},         {"freq=12188", {2, 3, 8}},
        {"tp=3", {4}},          {"none,sat=B,state=active", {2, 8}},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto filter = ParseFilterExpression(c.expression, error);
        ASSERT_TRUE(filter) << c.expression << ": " << error;
        EXPECT_EQ(FilterRows(page, *filter), c.rows) << c.expression;
    }
    for (const char* bad : {"", "sat=C", "state=blue", "list=0", "list=9", "sid=x", "name~",
                            "colour=red", "sat=A,"}) {
        std::string error;
        EXPECT_FALSE(ParseFilterExpression(bad, error)) << bad;
        EXPECT_NE(error, "") << bad;
    }
}

// What the filter bar sets: its satellite, state, list and transponder choices.
ChannelFilter Bar(int satellite, ChannelState state, int list = kAnyList,
                  int transponder = kAnyTransponder) {
    ChannelFilter f;
    f.satellite = satellite;
    f.state = state;
    f.list = list;
    f.transponder = transponder;
    return f;
}

// Every condition of an expression holds, a repeated field included; where the filter
// bar can say the same, it shows the same rows.
TEST(ChannelFilter, EveryConditionOfAnExpressionCountsAsInTheFilterBar) {
    const ListPage page = FilterPage();
    struct Case {
        const char* expression;
        std::optional<ChannelFilter> bar;  // the filter bar's choices saying the same, if it can
        std::vector<int> rows;
    } cases[] = {
        {"sat=B,state=coded", Bar(kSatelliteB, ChannelState::Coded), {2}},
        {"sat=B,state=active,list=3", Bar(kSatelliteB, ChannelState::Active, 3), {3}},
        {"state=inactive,sat=B", Bar(kSatelliteB, ChannelState::Inactive), {4}},
        {"none,tp=1", Bar(kAnySatellite, ChannelState::All, kNoList, 1), {5}},
        {"tp=2,state=locked", Bar(kAnySatellite, ChannelState::Locked, kAnyList, 2), {3}},
        {"sat=A,sat=B", std::nullopt, {}},
        {"sat=B,sat=B", Bar(kSatelliteB, ChannelState::All), {2, 3, 4, 8}},
        {"state=coded,state=active", std::nullopt, {2, 5}},
        {"state=tv,state=inactive", std::nullopt, {4}},
        {"state=active,state=locked,state=data", std::nullopt, {3}},
        {"state=coded,state=clear", std::nullopt, {}},
        {"list=2,list=3", std::nullopt, {3}},
        {"list=3,none", std::nullopt, {}},
        {"name~rai,name~news", std::nullopt, {3}},
        {"name~caf,name~noir", std::nullopt, {7}},
        {"sid=5,sid=7", std::nullopt, {}},
        {"freq=12188,freq=10714", std::nullopt, {}},
        {"tp=1,tp=2", std::nullopt, {}},
        {"sat=A,name~arte,state=coded,sid=7,tp=1,freq=11747,none", std::nullopt, {5}},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto filter = ParseFilterExpression(c.expression, error);
        ASSERT_TRUE(filter) << c.expression << ": " << error;
        EXPECT_EQ(FilterRows(page, *filter), c.rows) << c.expression;
        EXPECT_EQ(filter->empty(), false) << c.expression;
        if (c.bar) {
            EXPECT_EQ(FilterRows(page, *c.bar), c.rows) << c.expression << " (filter bar)";
        }
    }
}

}  // namespace
}  // namespace rivo
