// Reading a channel order back from a spreadsheet file: separators, encodings, quoting,
// headers in both languages, the plain reference list, and the files that are refused
// with the line at fault.
#include <gtest/gtest.h>

#include "channels/csv_export.h"
#include "channels/csv_import.h"

using namespace rivo;

namespace {

ReferenceFile Read(const std::string& bytes) {
    ReferenceFileResult result = ReadReferenceFile(bytes);
    EXPECT_TRUE(result.file.has_value()) << result.error;
    return result.file ? *result.file : ReferenceFile{};
}

std::vector<std::string> NamesOf(const ReferenceFile& file) {
    std::vector<std::string> out;
    for (const auto& row : file.rows) out.push_back(row.name);
    return out;
}

}  // namespace

TEST(ReadReferenceFile, SemicolonsWithByteOrderMarkAndQuoting) {
    const ReferenceFile file = Read(
        "\xEF\xBB\xBFNum.;Nome canale;SID;Frequenza;Polarizzazione;TID;NID;Satellite\r\n"
        "1;\"Rai; \"\"Uno\"\"\";3401;11766,5;V;5000;318;HotBird\r\n"
        "2;\"due\r\nrighe\";17;11747;h;1;2;\r\n"
        "3;'=1+2;8;;;;;\r\n");
    EXPECT_EQ(file.separator, ';');
    EXPECT_FALSE(file.windows1252);
    EXPECT_FALSE(file.plainList);
    EXPECT_TRUE(file.hasNumber && file.hasName && file.hasSid && file.hasFrequency &&
                file.hasPolarisation && file.hasTid && file.hasNid && file.hasSatellite);
    EXPECT_FALSE(file.hasFavourites);
    ASSERT_EQ(file.rows.size(), 3u);
    EXPECT_EQ(NamesOf(file), (std::vector<std::string>{"Rai; \"Uno\"", "due\r\nrighe", "=1+2"}));
    const ReferenceFileRow& first = file.rows[0];
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.sid, 3401);
    EXPECT_EQ(first.hertz, 11'766'500'000);
    EXPECT_EQ(first.frequency, "11766,5");
    EXPECT_EQ(first.polarisation, "V");
    EXPECT_EQ(first.tid, 5000);
    EXPECT_EQ(first.nid, 318);
    EXPECT_EQ(first.satellite, "HotBird");
    EXPECT_EQ(file.rows[1].polarisation, "H");
    // The quoted line break counts: the third row starts on line 5.
    EXPECT_EQ(file.rows[2].line, 5);
    EXPECT_EQ(file.rows[2].hertz, 0);
    EXPECT_EQ(file.rows[2].tid, -1);
}

TEST(ReadReferenceFile, Windows1252WhenTheBytesAreNotUtf8) {
    const ReferenceFile file = Read("name,sid\nCaff\xE8,1\n\x80uro,2\n");
    EXPECT_TRUE(file.windows1252);
    EXPECT_EQ(NamesOf(file), (std::vector<std::string>{"Caff\xC3\xA8",
                                                       "\xE2\x82\xAC"
                                                       "uro"}));
    // The same text in UTF-8 stays UTF-8.
    const ReferenceFile utf8 = Read("name,sid\nCaff\xC3\xA8,1\n");
    EXPECT_FALSE(utf8.windows1252);
    EXPECT_EQ(NamesOf(utf8), (std::vector<std::string>{"Caff\xC3\xA8"}));
}

TEST(ReadReferenceFile, SeparatorIsWhatTheFirstLinesUse) {
    struct Case {
        const char* what;
        std::string text;
        char separator;
        std::vector<std::string> names;
    } cases[] = {
        {"comma", "Nome canale,SID\nA;1,1\nB;2,2\n", ',', {"A;1", "B;2"}},
        {"semicolon", "Nome canale;SID\nA,1;1\nB,2;2\n", ';', {"A,1", "B,2"}},
        {"tab", "name\tsid\nA, B\t1\nC; D\t2\n", '\t', {"A, B", "C; D"}},
        {"comma inside quotes does not count", "name;sid\n\"a,b,c\";1\n", ';', {"a,b,c"}},
        {"one column", "name\nA\nB\n", ',', {"A", "B"}},
        {"LF, CR LF and CR line ends", "name;sid\rA;1\r\nB;2\nC;3", ';', {"A", "B", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReferenceFile file = Read(c.text);
        EXPECT_EQ(file.separator, c.separator);
        EXPECT_EQ(NamesOf(file), c.names);
    }
}

TEST(ReadReferenceFile, EnglishHeaderAnySubsetAndFavourites) {
    const ReferenceFile file = Read(
        "Satellite,SID,list1,List3,Frequency,polarisation,extra,list8\n"
        "Astra,5,1,x,12000.25,Vertical,?,\n"
        "Astra,6,,0,,,,1\n");
    EXPECT_FALSE(file.hasName);
    EXPECT_TRUE(file.hasSid && file.hasFavourites && file.hasFrequency && file.hasPolarisation);
    ASSERT_EQ(file.rows.size(), 2u);
    EXPECT_EQ(file.rows[0].favourites, 0b101);
    EXPECT_EQ(file.rows[1].favourites, 0b10000000);
    EXPECT_EQ(file.rows[0].hertz, 12'000'250'000);
    EXPECT_EQ(file.rows[0].polarisation, "V");
    // "Preferenza" gives the bits as a number.
    const ReferenceFile bits = Read("Nome canale,Preferenza\nA,5\nB,\n");
    EXPECT_EQ(bits.rows[0].favourites, 5);
    EXPECT_EQ(bits.rows[1].favourites, -1);
    // The whole range, both ends.
    const ReferenceFile ends = Read("Nome canale;Preferenza\nA;0\nB;255\n");
    ASSERT_EQ(ends.rows.size(), 2u);
    EXPECT_EQ(ends.rows[0].favourites, 0);
    EXPECT_EQ(ends.rows[1].favourites, 255);
}

TEST(ReadReferenceFile, PlainReferenceList) {
    const ReferenceFile file =
        Read("1;Rai 1;318-5000-3401\n2;Rai 2;318-5000-3402\n\n10;Canale, con virgola;1-2-3\n");
    EXPECT_TRUE(file.plainList);
    EXPECT_TRUE(file.hasNumber && file.hasName && file.hasSid && file.hasTid && file.hasNid);
    EXPECT_FALSE(file.hasFrequency);
    ASSERT_EQ(file.rows.size(), 3u);
    EXPECT_EQ(file.rows[0].nid, 318);
    EXPECT_EQ(file.rows[0].tid, 5000);
    EXPECT_EQ(file.rows[0].sid, 3401);
    EXPECT_EQ(file.rows[2].number, 10);
    EXPECT_EQ(file.rows[2].name, "Canale, con virgola");
    EXPECT_EQ(file.rows[2].line, 4);
}

TEST(ReadReferenceFile, NumberColumnGivesTheOrder) {
    // Ties keep the file's order; a row without a number stays after the row above it.
    const ReferenceFile file = Read("number,name\n3,c\n1,a\n,a2\n3,c2\n2,b\n");
    EXPECT_EQ(NamesOf(file), (std::vector<std::string>{"a", "a2", "b", "c", "c2"}));
    const ReferenceFile none = Read("name\nc\na\n");
    EXPECT_EQ(NamesOf(none), (std::vector<std::string>{"c", "a"}));
}

TEST(ReadReferenceFile, EmptyRowsAreLeftOut) {
    const ReferenceFile file = Read("name;sid\n;\nA;1\n ; \n");
    EXPECT_EQ(NamesOf(file), (std::vector<std::string>{"A"}));
    EXPECT_EQ(file.rows[0].line, 3);
}

TEST(ReadReferenceFile, BadFilesNameTheLine) {
    std::string longLine = "name\n" + std::string(kReferenceLineLimit + 1, 'x') + "\n";
    std::string manyLines = "name\n";
    for (std::size_t i = 1; i < kReferenceLinesLimit + 1; ++i) manyLines += "x\n";
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> parts;  // the message holds each
    } cases[] = {
        {"binary junk", std::string("name\nok\nA\0B\n", 12), {"Riga 3", "binari"}},
        {"a line over 64 KiB", longLine, {"Riga 2", "65537", "65536"}},
        {"more than 100,000 lines", manyLines, {"Riga 100001", "100000"}},
        {"a number column with text",
         "Num.;Nome canale\n1;A\n2;B\nsette;C\n",
         {"Riga 4", "\"Num.\"", "'sette'"}},
        {"a SID with text", "name;sid\nA;12a\n", {"Riga 2", "'12a'"}},
        {"a frequency with text", "name;frequency\nA;11 GHz\n", {"Riga 2", "'11 GHz'"}},
        {"a favourites number over 255",
         "name;Preferenza\nA;255\nB;256\n",
         {"Riga 3", "'256'", "da 0 a 255"}},
        {"a negative favourites number", "name;Preferenza\nA;0\nB;-1\n", {"Riga 3", "'-1'"}},
        {"no usable column", "Trasponder;VPid\n1;2\n", {"Riga 1", "nessuna colonna utilizzabile"}},
        {"no header and not a reference list",
         "Rai 1;Rai 2\n",
         {"Riga 1", "nessuna colonna utilizzabile"}},
        {"a reference list line out of form",
         "1;A;1-2-3\n2;B;1-2\n",
         {"Riga 2", "NUMERO;NOME;NID-TID-SID"}},
        {"a quote never closed", "name\nA\n\"B\nC\n", {"Riga 3", "virgolette"}},
        {"a byte-order mark before bytes that are not UTF-8",
         "\xEF\xBB\xBFname\nCaff\xE8\n",
         {"UTF-8"}},
        {"nothing but empty lines", "\r\n\r\n", {"non contiene righe"}},
        {"a line of 1,001 fields",
         "name\nA" + std::string(1000, ',') + "\n",
         {"Riga 2", "più di 1000 campi"}},
        {"a header of 1,001 fields",
         "name" + std::string(1000, ';') + "\n",
         {"Riga 1", "più di 1000 campi"}},
        // The error of a line stops the reading there: what follows is not looked at.
        {"line 2 wrong, line 3 binary",
         std::string("name;sid\nA;x\nB\0;1\n", 18),
         {"Riga 2", "'x'"}},
        {"line 2 wrong, line 3 too long",
         "name;sid\nA;x\n" + std::string(kReferenceLineLimit + 1, 'y') + "\n",
         {"Riga 2", "'x'"}},
        {"line 2 too many fields, line 3 binary",
         std::string("name\n") + std::string(1000, ',') + "\nB\0\n",
         {"Riga 2", "più di 1000 campi"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReferenceFileResult result = ReadReferenceFile(c.text);
        EXPECT_FALSE(result.file.has_value());
        for (const auto& part : c.parts)
            EXPECT_NE(result.error.find(part), std::string::npos) << result.error;
    }
}

TEST(ReadReferenceFile, LimitsAreExact) {
    // A header and lines of exactly 1,000 fields are read; the fields past the columns
    // used are not kept.
    const ReferenceFile fields =
        Read("name" + std::string(999, ',') + "\nA" + std::string(999, ',') + "x\n");
    ASSERT_EQ(fields.rows.size(), 1u);
    EXPECT_EQ(fields.rows[0].name, "A");
    // A line of exactly 64 KiB and exactly 100,000 lines are read.
    const std::string longest = "name\n" + std::string(kReferenceLineLimit, 'x') + "\n";
    EXPECT_EQ(Read(longest).rows.at(0).name.size(), kReferenceLineLimit);
    std::string most = "name\n";
    for (std::size_t i = 1; i < kReferenceLinesLimit; ++i) most += "x" + std::to_string(i) + "\n";
    const ReferenceFile file = Read(most);
    ASSERT_EQ(file.rows.size(), kReferenceLinesLimit - 1);
    EXPECT_EQ(file.rows.back().line, static_cast<int>(kReferenceLinesLimit));
}

TEST(SpreadsheetGuard, FormulaStartsGetAnApostropheAndLoseItOnReading) {
    struct Case {
        std::string field, guarded;
    } cases[] = {
        {"=1+2", "'=1+2"},
        {"-2+3", "'-2+3"},
        {"+39", "'+39"},
        {"@cmd", "'@cmd"},
        {"\tx", "'\tx"},
        {"\rx", "'\rx"},
        {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
        {"Rai 1", "Rai 1"},
        {"", ""},
        {"'90", "'90"},
        {"a=b", "a=b"},
        {"'=x", "''=x"},
        {"''+1", "'''+1"},
        {"'", "'"},
        {"''", "''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(GuardSpreadsheetField(c.field), c.guarded);
        EXPECT_EQ(UnguardSpreadsheetField(c.guarded), c.field);
    }
    // A name of the page goes out guarded and comes back as it was; --raw keeps it bare.
    ListPage page;
    page.channelGrid.setRowCount(2);
    page.channelGrid.setCell(1, ch::Name, "=HYPERLINK(\"x\")");
    page.channelGrid.setCell(1, ch::Sid, "7");
    const std::string guarded = ExportCsv(page, CsvTable::Channels);
    EXPECT_NE(guarded.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos) << guarded;
    const std::string raw = ExportCsv(page, CsvTable::Channels, CsvCells::Raw);
    EXPECT_NE(raw.find(",\"=HYPERLINK(\"\"x\"\")\","), std::string::npos) << raw;
    EXPECT_EQ(Read(guarded).rows.at(0).name, "=HYPERLINK(\"x\")");
}
