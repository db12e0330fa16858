// The CSV form of a page's tables: exact bytes for small pages, so that quoting, line
// ends, the header and the favourites' list column are pinned down.
#include <gtest/gtest.h>

#include <algorithm>

#include "channels/csv_export.h"

using namespace rivo;

namespace {

ListPage TwoChannels(const std::string& first, const std::string& second) {
    ListPage page;
    page.channelGrid.setRowCount(3);
    for (int r = 1; r <= 2; ++r)
        for (int c = 0; c < ch::Count; ++c) page.channelGrid.setCell(r, c, std::to_string(r * 100 + c));
    // "Num." reads each row's position, whatever was written to it.
    page.channelGrid.setCell(1, ch::Name, first);
    page.channelGrid.setCell(2, ch::Name, second);
    return page;
}

// The fields of the first data line after the name (the header comes first).
std::string SecondLine(const std::string& csv) {
    const auto start = csv.find("\r\n") + 2;
    return csv.substr(start, csv.find("\r\n", start) - start);
}

}  // namespace

TEST(ExportCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        std::string name;
        std::string field;
    } cases[] = {
        {"Rai Uno", "Rai Uno"},
        {"", ""},
        {"A,B", "\"A,B\""},
        {"Il \"Canale\"", "\"Il \"\"Canale\"\"\""},
        {"\"", "\"\"\"\""},
        {"due\nrighe", "\"due\nrighe\""},
        {"cr\rsolo", "\"cr\rsolo\""},
        {" spazi ", " spazi "},
        {"Citt\xE0", "Citt\xC3\xA0"},  // Windows-1252 in, UTF-8 out
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string csv = ExportCsv(TwoChannels(c.name, "x"), CsvTable::Channels);
        const std::string expected = "1," + c.field + ",102,103,104,105,106,107,108,109,110\r\n";
        EXPECT_EQ(csv.substr(csv.find("\r\n") + 2, expected.size()), expected);
    }
}

TEST(ExportCsv, HeaderIsTheGridTitlesAndEveryRowEndsInCrLf) {
    const std::string csv = ExportCsv(TwoChannels("a", "b"), CsvTable::Channels);
    std::string titles;
    for (const char* title : ChannelColumnTitles()) titles += (titles.empty() ? "" : ",") + std::string(title);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), titles);
    EXPECT_EQ(SecondLine(csv), "1,a,102,103,104,105,106,107,108,109,110");
    const std::string last = "2,b,202,203,204,205,206,207,208,209,210\r\n";
    ASSERT_GE(csv.size(), last.size());
    EXPECT_EQ(csv.substr(csv.size() - last.size()), last);
    // No line feed without its carriage return.
    for (std::size_t at = csv.find('\n'); at != std::string::npos; at = csv.find('\n', at + 1))
        EXPECT_EQ(csv[at - 1], '\r');

    // A table without rows is its header alone.
    const std::string empty = ExportCsv(ListPage(), CsvTable::Transponders);
    std::string transponderTitles;
    for (const char* title : TransponderColumnTitles())
        transponderTitles += (transponderTitles.empty() ? "" : ",") + std::string(title);
    EXPECT_EQ(empty, transponderTitles + "\r\n");
}

TEST(ExportCsv, FavouritesAreTheEightListsEachRowLedByItsNumber) {
    ListPage page;
    page.favouriteGrids[0].setCell(1, fav::Name, "Primo");
    page.favouriteGrids[0].setCell(1, fav::Channel, "12");
    page.favouriteGrids[7].setCell(128, fav::Name, "Ultimo, davvero");
    page.favouriteGrids[7].setCell(128, fav::Channel, "9990");
    const std::string csv = ExportCsv(page, CsvTable::Favourites);
    EXPECT_EQ(csv.rfind("Lista,Pos.,Nome canale,Canale\r\n1,1,Primo,12\r\n1,2,,0\r\n", 0), 0u);
    const std::string tail = "8,128,\"Ultimo, davvero\",9990\r\n";
    ASSERT_GE(csv.size(), tail.size());
    EXPECT_EQ(csv.substr(csv.size() - tail.size()), tail);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 8 * 128);
    EXPECT_NE(csv.find("\r\n5,64,,0\r\n"), std::string::npos);
}
