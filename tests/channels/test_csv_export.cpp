// The CSV form of a page's tables: exact bytes for small pages, so that quoting, line
// ends, the header and the favourites' list column are pinned down.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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
        // Transponder 102 is not in the table: the five identity fields stay empty.
        const std::string expected = "1," + c.field + ",102,103,104,105,106,107,108,109,110,,,,,\r\n";
        EXPECT_EQ(csv.substr(csv.find("\r\n") + 2, expected.size()), expected);
    }
}

TEST(ExportCsv, HeaderIsTheGridTitlesAndEveryRowEndsInCrLf) {
    const std::string csv = ExportCsv(TwoChannels("a", "b"), CsvTable::Channels);
    std::string titles;
    for (const char* title : ChannelColumnTitles()) titles += (titles.empty() ? "" : ",") + std::string(title);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), titles + ",Frequenza,Polarizzazione,TID,NID,Satellite");
    EXPECT_EQ(SecondLine(csv), "1,a,102,103,104,105,106,107,108,109,110,,,,,");
    const std::string last = "2,b,202,203,204,205,206,207,208,209,210,,,,,\r\n";
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

TEST(ExportCsv, ChannelRowsEndWithTheirTransponderIdentity) {
    ListPage page;
    page.transponderGrid.setRowCount(3);
    const std::vector<std::string> tp1{"", "11766,5", "5000", "318", "2", "27500", "3/4", "V", "Off", "Hot\xE8ird"};
    const std::vector<std::string> tp2{"", "0", "0", "0", "0", "0", "1/2", "H", "Off", "Astra"};
    for (int c = 1; c < tp::Count; ++c) {
        page.transponderGrid.setCell(1, c, tp1[static_cast<size_t>(c)]);
        page.transponderGrid.setCell(2, c, tp2[static_cast<size_t>(c)]);
    }
    page.channelGrid.setRowCount(6);
    // On transponder 1, on the free transponder 2, on none (255), beyond the table, not a number.
    const char* references[] = {"1", "2", "255", "3", "x"};
    for (int r = 1; r <= 5; ++r) page.channelGrid.setCell(r, ch::Transponder, references[r - 1]);
    const std::string csv = ExportCsv(page, CsvTable::Channels);
    std::vector<std::string> lines;
    for (std::size_t at = csv.find("\r\n"); at + 2 < csv.size(); at = csv.find("\r\n", at + 2))
        lines.push_back(csv.substr(at + 2, csv.find("\r\n", at + 2) - at - 2));
    const std::vector<std::string> tails{",\"11766,5\",V,5000,318,Hot\xC3\xA8ird", ",0,H,0,0,Astra", ",,,,,", ",,,,,", ",,,,,"};
    ASSERT_EQ(lines.size(), tails.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // The channel's own eleven fields come first: ten commas before the tail.
        const std::string& line = lines[i];
        ASSERT_GE(line.size(), tails[i].size());
        EXPECT_EQ(line.substr(line.size() - tails[i].size()), tails[i]) << line;
        EXPECT_EQ(std::count(line.begin(), line.end() - static_cast<long>(tails[i].size()), ','), 10) << line;
    }
}

TEST(ExportCsv, FormulaFieldsAreGuardedUnlessRaw) {
    struct Case {
        std::string name, guarded, raw;
    } cases[] = {
        {"=1+2", "'=1+2", "=1+2"},
        {"-2+3", "'-2+3", "-2+3"},
        {"@cmd", "'@cmd", "@cmd"},
        {"+1", "'+1", "+1"},
        {"\tTab", "'\tTab", "\tTab"},
        {"\rCr", "\"'\rCr\"", "\"\rCr\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"=HYPERLINK(\"\"x\"\")\""},
        {"Rai=1", "Rai=1", "Rai=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ListPage page = TwoChannels(c.name, "x");
        EXPECT_EQ(SecondLine(ExportCsv(page, CsvTable::Channels)).substr(0, 2 + c.guarded.size() + 1), "1," + c.guarded + ",");
        EXPECT_EQ(SecondLine(ExportCsv(page, CsvTable::Channels, CsvCells::Raw)).substr(0, 2 + c.raw.size() + 1),
                  "1," + c.raw + ",");
    }
    // The other tables are guarded too.
    ListPage page;
    page.favouriteGrids[0].setCell(1, fav::Name, "=A1");
    EXPECT_NE(ExportCsv(page, CsvTable::Favourites).find("\r\n1,1,'=A1,0\r\n"), std::string::npos);
}
