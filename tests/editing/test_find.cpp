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
    // The multiplication sign is no capital letter.
    EXPECT_EQ(FoldCase1252(0xD7), 0xD7);
    EXPECT_EQ(FindChannel(PageWithNames({"x"}), "x", 0), 1);
    EXPECT_EQ(FindChannel(ListPage{}, "x", 0), 0) << "no channels";
}

}  // namespace
}  // namespace rivo
