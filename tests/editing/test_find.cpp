#include <gtest/gtest.h>

#include "editing/find.h"

namespace rivo {
namespace {

ListPage PageWithNames(const std::vector<std::string>& names) {
    ListPage page;
    page.channelGrid.setRowCount(static_cast<int>(names.size()) + 1);
    for (size_t i = 0; i < names.size(); ++i) page.channelGrid.setCell(static_cast<int>(i) + 1, ch::Name, names[i]);
    return page;
}

TEST(FindChannel, WrapsAroundInBothDirectionsIgnoringCase) {
    const ListPage page = PageWithNames({"Rai 1", "", "RAI 2", "Canale 5", "rai news"});
    struct Case {
        std::string text;
        int from;
        bool forward;
        int expected;
    };
    const Case cases[] = {
        {"rai", 0, true, 1},   // no current row: from the top
        {"rai", 1, true, 3},   {"RAI", 3, true, 5},  {"rai", 5, true, 1},  // wraps
        {"rai", 1, false, 5},  {"rai", 5, false, 3},                        // backwards
        {"rai", 0, false, 5},  {"canale", 0, false, 4}, {"rai 1", 0, false, 1},  // no current row: from the bottom
        {"rai", 6, false, 5},  {"rai", 6, true, 1},                         // no such row: the same
        {"rai 1", 1, true, 1},                                              // only itself matches: found last
        {"canale", 4, true, 4}, {"mediaset", 1, true, 0}, {"", 1, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindChannel(page, c.text, c.from, c.forward), c.expected)
            << c.text << " from " << c.from << (c.forward ? " forward" : " backward");
}

TEST(FindChannel, FoldsAccentedWindows1252Letters) {
    // "ÀÉ" and "Š" in Windows-1252 bytes match their lower-case forms.
    const ListPage page = PageWithNames({"TV \xC0\xC9", "\x8A" "port"});
    EXPECT_EQ(FindChannel(page, "\xE0\xE9", 0), 1);
    EXPECT_EQ(FindChannel(page, "\x9A" "PORT", 0), 2);
    // The multiplication sign is no capital letter: it does not find the division sign.
    EXPECT_EQ(FindChannel(PageWithNames({"1 \xF7 2"}), "\xD7", 0), 0);
    EXPECT_EQ(FindChannel(PageWithNames({"x"}), "x", 0), 1);
    EXPECT_EQ(FindChannel(ListPage{}, "x", 0), 0) << "no channels";
}

// Find compares as sorting does: accents, case and surrounding spaces do not count,
// whichever side carries them.
TEST(FindChannel, IgnoresAccentsAndCaseInBothDirections) {
    // 1 "Télé Monte", 2 "Tele Città +2", 3 "TELEVIDEO", 4 "Rai 1", 5 "Città Nuova"
    const ListPage page =
        PageWithNames({"T\xE9l\xE9 Monte", "Tele Citt\xE0 +2", "TELEVIDEO", "Rai 1", "Citt\xE0 Nuova"});
    struct Case {
        const char* what;
        std::string text;
        int from;
        bool forward;
        int expected;
    };
    const Case cases[] = {
        {"plain finds accented", "tele", 0, true, 1},
        {"plain, F3 goes on to the plain name", "tele", 1, true, 2},
        {"plain, F3 goes on to the upper-case name", "tele", 2, true, 3},
        {"plain, wraps back to the accented name", "tele", 3, true, 1},
        {"accented finds plain", "t\xE9l\xE9", 1, true, 2},
        {"accented upper case finds plain upper case", "T\xC9L\xC9", 2, true, 3},
        {"upper case finds accented", "TELE", 3, true, 1},
        {"backwards, accented finds upper case", "t\xE9l\xE9", 1, false, 3},
        {"backwards from the top wraps to the plain name", "citta", 0, false, 5},
        {"backwards, accent in the text", "CITT\xC0", 5, false, 2},
        {"surrounding spaces of the text do not count", "  rai 1 ", 0, true, 4},
        {"inner spaces do", "rai  1", 0, true, 0},
        {"only spaces find nothing", "   ", 0, true, 0},
        {"a letter the names lack", "televisione", 0, true, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(FindChannel(page, c.text, c.from, c.forward), c.expected) << c.what;
}

}  // namespace
}  // namespace rivo
