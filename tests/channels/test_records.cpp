#include <gtest/gtest.h>

#include "channel_colour_cases.h"
#include "channels/records.h"

using namespace rivo;

namespace {

using Cells = std::vector<std::string>;

TransponderContext MakeContext(std::int32_t rate3 = 27500) {
    TransponderContext c;
    c.lnbLow = 9750;
    c.lnbHigh = 10600;
    c.symbolRates = {22000, 29900, 30000, rate3, 5632, 6111, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    c.satelliteA = "HotBird";
    c.satelliteB = "Astra";
    return c;
}

template <std::size_t N>
std::vector<std::uint8_t> Vec(const std::array<std::uint8_t, N>& a) {
    return {a.begin(), a.end()};
}

const std::vector<std::uint8_t> kNewsRecord{0x4E, 0x45, 0x57, 0x53, 0, 0, 0, 0, 0,    0,    0,    0,    0,    0,    0,
                                            0,    0x04, 0x03, 0x00, 0x65, 0x02, 0x00, 0x02, 0x8A, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0x02, 0x00};
const std::vector<std::uint8_t> kTransponderRecord{0x77, 0x07, 0xCD, 0x40, 0x04, 0x4C,
                                                   0x00, 0x01, 0x0A, 0x03, 0x02, 0x02};

}  // namespace

TEST(ChannelRecord, WorkedRecordBothWays) {
    const Cells cells = ReadChannelRecord(kNewsRecord.data(), 7);
    EXPECT_EQ(cells, (Cells{"7", "NEWS", "3", "101", "512", "650", "65535", "65535", "512", "04", "0"}));
    EXPECT_EQ(Vec(WriteChannelRecord(cells)), kNewsRecord);
}

TEST(ChannelRecord, Names) {
    auto withName = [](const std::string& name) {
        Cells cells{"1", name, "1", "0", "0", "0", "0", "0", "0", "04", "0"};
        return Vec(WriteChannelRecord(cells));
    };
    // Exactly 16 bytes: no terminator, reads back whole.
    auto full = withName("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(full[15], 'P');
    EXPECT_EQ(ReadChannelRecord(full.data(), 1)[ch::Name], "ABCDEFGHIJKLMNOP");
    // Longer: cut to the first 16.
    EXPECT_EQ(ReadChannelRecord(withName("ABCDEFGHIJKLMNOPQRS").data(), 1)[ch::Name], "ABCDEFGHIJKLMNOP");
    // Shorter: zero bytes up to offset 15; bytes outside ASCII kept as they are.
    auto shortName = withName("Rai\xE8");
    EXPECT_EQ(std::vector<std::uint8_t>(shortName.begin(), shortName.begin() + 16),
              (std::vector<std::uint8_t>{'R', 'a', 'i', 0xE8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ReadChannelRecord(shortName.data(), 1)[ch::Name], "Rai\xE8");
}

TEST(ChannelRecord, NumbersWrapAndStatusIsHex) {
    Cells cells{"1", "X", "258", "70000", "-1", "65536", "0", "1", "2", "C4", "0"};
    const auto bytes = WriteChannelRecord(cells);
    EXPECT_EQ(bytes[16], 0xC4);
    EXPECT_EQ(bytes[17], 2);                         // 258 mod 256
    EXPECT_EQ(bytes[18] << 8 | bytes[19], 4464);     // 70000 mod 65536
    EXPECT_EQ(bytes[20] << 8 | bytes[21], 65535);    // -1
    EXPECT_EQ(bytes[22] << 8 | bytes[23], 0);        // 65536
    struct Case {
        std::uint8_t status;
        const char* text;
    } cases[] = {{0x04, "04"}, {0x0C, "0C"}, {0xC4, "C4"}, {0x00, "00"}, {0xFF, "FF"}};
    for (const auto& c : cases) {
        EXPECT_EQ(StatusText(c.status), c.text);
        EXPECT_EQ(StatusValue(c.text), c.status);
    }
    EXPECT_EQ(StatusValue("c4"), 0xC4);
    EXPECT_EQ(StatusValue("4"), 0x04);
}

TEST(ChannelRecord, ConversionErrorsNameTheColumnAndText) {
    struct Case {
        int column;
        std::string text;
        std::string message;
    } cases[] = {
        {ch::Sid, "abc", "'abc' is not a valid integer value"},
        {ch::Transponder, "", "'' is not a valid integer value"},
        {ch::Pcr, "1 2", "'1 2' is not a valid integer value"},
        {ch::Status, "G1", "'0xG1' is not a valid integer value"},
        {ch::Status, "", "'0x' is not a valid integer value"},
        {ch::VPid, "99999999999", "'99999999999' is not a valid integer value"},
        {ch::APid, "2147483648", "'2147483648' is not a valid integer value"},  // one above 32 bits
        {ch::VEcm, "-2147483649", "'-2147483649' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        Cells cells{"1", "X", "1", "0", "0", "0", "0", "0", "0", "04", "0"};
        cells[static_cast<std::size_t>(c.column)] = c.text;
        try {
            WriteChannelRecord(cells);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const CellConversionError& e) {
            EXPECT_EQ(e.column(), c.column);
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.text(), c.text);
        }
    }
    // Columns 0 and 10 are not written, so they never fail.
    Cells cells{"x", "X", "1", "0", "0", "0", "0", "0", "0", "04", "y"};
    EXPECT_NO_THROW(WriteChannelRecord(cells));
}

TEST(TransponderRecord, WorkedRecordBothWays) {
    const auto ctx = MakeContext(27500);
    const Cells cells = ReadTransponderRecord(kTransponderRecord.data(), 4, ctx);
    EXPECT_EQ(cells, (Cells{"4", "11747", "1100", "1", "10", "27500", "3/4", "H", "Off", "HotBird"}));
    EXPECT_EQ(Vec(WriteTransponderRecord(cells, ctx)), kTransponderRecord);
}

TEST(TransponderRecord, SymbolRateCodes) {
    auto ctx = MakeContext(27500);
    ctx.symbolRates[7] = 22000;  // the same rate as code 0: writing picks code 0
    Cells cells = ReadTransponderRecord(kTransponderRecord.data(), 1, ctx);
    cells[tp::SymbolRate] = "22000";
    EXPECT_EQ(WriteTransponderRecord(cells, ctx)[9], 0);
    cells[tp::SymbolRate] = "12345";  // in no entry
    EXPECT_EQ(WriteTransponderRecord(cells, ctx)[9], 255);
    auto record = kTransponderRecord;
    record[9] = 16;  // codes above 15 stand for nothing
    EXPECT_EQ(ReadTransponderRecord(record.data(), 1, ctx)[tp::SymbolRate], "0");
    record[9] = 255;
    EXPECT_EQ(ReadTransponderRecord(record.data(), 1, ctx)[tp::SymbolRate], "0");
}

// The set holds sixteen rates, codes 0 to 15: the last code is a rate like any other,
// read from the set's last entry and written back as 15, while 16 already stands for
// nothing (above).
TEST(TransponderRecord, LastSymbolRateCodeIsTheSixteenthRate) {
    auto ctx = MakeContext(27500);
    ctx.symbolRates[15] = 45000;  // in no other entry
    auto record = kTransponderRecord;
    record[9] = 15;
    Cells cells = ReadTransponderRecord(record.data(), 1, ctx);
    EXPECT_EQ(cells[tp::SymbolRate], "45000");
    EXPECT_EQ(WriteTransponderRecord(cells, ctx)[9], 15);
}

TEST(TransponderRecord, FecTexts) {
    struct Case {
        std::uint8_t byte;
        const char* text;
        std::uint8_t written;
    } cases[] = {{0x00, "1/2", 0}, {0x01, "2/3", 1}, {0x02, "3/4", 2}, {0x03, "5/6", 3}, {0x04, "7/8", 4},
                 {0x08, "1/2", 0}, {0x0D, "0D", 0x0D}, {0x05, "05", 0x05}, {0xFF, "FF", 0xFF}};
    for (const auto& c : cases) {
        EXPECT_EQ(FecText(c.byte), c.text);
        EXPECT_EQ(FecCode(c.text), c.written);
    }
    try {
        FecCode("9/10");
        ADD_FAILURE();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'0x9/10' is not a valid integer value");
    }
}

TEST(TransponderRecord, TuningFlags) {
    const auto ctx = MakeContext();
    struct Case {
        std::uint8_t flags;
        const char* pol;
        const char* tone;
        const char* sat;
        std::uint8_t written;
    } cases[] = {
        {0x00, "V", "Off", "HotBird", 0x00}, {0x02, "H", "Off", "HotBird", 0x02},
        {0x01, "V", "On", "HotBird", 0x01},  {0x08, "V", "Off", "Astra", 0x08},
        {0x10, "V", "Off", "Astra", 0x08},   // satellite field 2 is satellite B
        {0x38, "V", "Off", "Astra", 0x08},   {0xC4, "V", "Off", "HotBird", 0x00},  // unused bits dropped
        {0xFF, "H", "On", "Astra", 0x0B},
    };
    for (const auto& c : cases) {
        auto record = kTransponderRecord;
        record[11] = c.flags;
        const Cells cells = ReadTransponderRecord(record.data(), 1, ctx);
        EXPECT_EQ(cells[tp::Polarisation], c.pol);
        EXPECT_EQ(cells[tp::Tone], c.tone);
        EXPECT_EQ(cells[tp::Satellite], c.sat);
        EXPECT_EQ(WriteTransponderRecord(cells, ctx)[11], c.written) << int(c.flags);
    }
    // With equal satellite names every transponder is written as satellite B.
    auto same = ctx;
    same.satelliteB = same.satelliteA;
    const Cells cells = ReadTransponderRecord(kTransponderRecord.data(), 1, same);
    EXPECT_EQ(WriteTransponderRecord(cells, same)[11] & 0x38, 0x08);
}

TEST(Frequency, TextsAndOffsets) {
    struct Case {
        const char* text;
        std::int32_t oscillator;
        std::int64_t offset;
        const char* readBack;
    } cases[] = {
        {"11747", 9750, 1997000000, "11747"},
        {"11747,5", 9750, 1997500000, "11747,5"},
        {"11747,000320", 9750, 1997000320, "11747,00032"},
        {"12603,125", 10600, 2003125000, "12603,125"},
        {"3700", 5150, -1450000000, "3700"},  // below the oscillator: negative offset
        {"0", 9750, 0, "0"},
        {"0,000", 10600, 0, "0"},
        {"", 9750, 0, "0"},          // no digits at all is "0" MHz
        {",5", 0, 500000, "0,5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrequencyOffset(c.text, c.oscillator), c.offset) << c.text;
        EXPECT_EQ(FrequencyText(static_cast<std::int32_t>(c.offset), c.oscillator), c.readBack) << c.text;
    }
    // An offset that does not fit 32 bits keeps its low 32 bits.
    EXPECT_EQ(FrequencyOffset("14000", 9750), static_cast<std::int32_t>(4250000000u));
}

TEST(Frequency, WrittenBytesFollowTheToneCell) {
    const auto ctx = MakeContext();
    Cells cells{"1", "11747", "1", "1", "0", "22000", "3/4", "V", "Off", "HotBird"};
    auto bytes = WriteTransponderRecord(cells, ctx);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4),
              (std::vector<std::uint8_t>{0x77, 0x07, 0xCD, 0x40}));
    cells[tp::Tone] = "On";  // high band: 11747 - 10600 MHz
    bytes = WriteTransponderRecord(cells, ctx);
    EXPECT_EQ((bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]), 1147000000);
    cells[tp::Frequency] = "0";  // an unused slot stays 0 with the tone on
    bytes = WriteTransponderRecord(cells, ctx);
    EXPECT_EQ((bytes[0] | bytes[1] | bytes[2] | bytes[3]), 0);
}

TEST(Frequency, BadTextsAreConversionErrors) {
    const char* bad[] = {"11747,1234567", "abc", "11747,5x", "1,2,3", "11 747", "+-5", "99999999999999,5"};
    for (const char* text : bad) {
        try {
            FrequencyOffset(text, 9750);
            ADD_FAILURE() << text;
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
        }
    }
    Cells cells{"1", "11747,1234567", "1", "1", "0", "22000", "3/4", "V", "Off", "HotBird"};
    try {
        WriteTransponderRecord(cells, MakeContext());
        ADD_FAILURE();
    } catch (const CellConversionError& e) {
        EXPECT_EQ(e.column(), tp::Frequency);
    }
}

TEST(FavouriteList, ReadAndWrite) {
    std::vector<std::uint8_t> bytes(256, 0);
    bytes[1] = 5;
    bytes[254] = 0x27;
    bytes[255] = 0x0F;
    const auto slots = ReadFavouriteList(bytes);
    EXPECT_EQ(slots[0], 5);
    EXPECT_EQ(slots[1], 0);
    EXPECT_EQ(slots[127], 9999);
    // A short entry: what it lacks reads as zero, a half slot keeps its high byte.
    const auto shortSlots = ReadFavouriteList({0x00, 0x05, 0x01});
    EXPECT_EQ(shortSlots[0], 5);
    EXPECT_EQ(shortSlots[1], 0x100);
    EXPECT_EQ(shortSlots[2], 0);

    Grid grid(3, 129);
    for (int s = 1; s <= 128; ++s) grid.setCell(s, 2, "0");
    grid.setCell(1, 2, "5");
    grid.setCell(128, 2, "9999");
    EXPECT_EQ(WriteFavouriteList(grid), bytes);
    grid.setCell(7, 2, "x");
    try {
        WriteFavouriteList(grid);
        ADD_FAILURE();
    } catch (const CellConversionError& e) {
        EXPECT_EQ(e.row(), 7);
        EXPECT_EQ(e.column(), 2);
    }
}

TEST(CellInteger, ThirtyTwoBitLimitsExactly) {
    struct Case {
        const char* text;
        std::int64_t value;  // 0 with ok false: refused
        bool ok;
    } cases[] = {
        {"2147483647", 2147483647, true},   {"2147483648", 0, false},   {"+2147483647", 2147483647, true},
        {"-2147483648", -2147483648LL, true}, {"-2147483649", 0, false}, {"4294967296", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.ok) {
            EXPECT_EQ(CellInteger(c.text), c.value);
            EXPECT_EQ(CellIntegerOr(c.text, 7), c.value);
        } else {
            EXPECT_THROW(CellInteger(c.text), ConversionError);
            EXPECT_EQ(CellIntegerOr(c.text, 7), 7);
        }
    }
}

TEST(ConfigBlock, EmptiedNamesClearTheirWholeField) {
    // Every name byte set, then each list in turn emptied: its eight bytes read zero,
    // the other names and the bytes around the names keep theirs.
    std::vector<std::uint8_t> block(70, 0x5A);
    for (int k = 1; k <= fav::Lists; ++k) {
        SCOPED_TRACE(k);
        Grid config(2, 9);
        for (int j = 1; j <= fav::Lists; ++j) config.setCell(j, 1, j == k ? "" : "NAME" + std::to_string(j) + "XYZ");
        const auto written = WriteConfigBlock(block, config);
        ASSERT_EQ(written.size(), block.size());
        const std::size_t at = 2 + 8 * static_cast<std::size_t>(k - 1);
        for (std::size_t i = 0; i < written.size(); ++i) {
            std::uint8_t expected = 0x5A;
            if (i >= at && i < at + 8) expected = 0;
            else if (i >= 2 && i < 66) expected = static_cast<std::uint8_t>(config.cell(static_cast<int>((i - 2) / 8) + 1, 1)[(i - 2) % 8]);
            EXPECT_EQ(written[i], expected) << "byte " << i;
        }
    }
}

TEST(ConfigBlock, VersionAndNames) {
    std::vector<std::uint8_t> block(70, 0);
    block[0] = 1;
    block[1] = 4;
    const std::string first = "TV";
    std::copy(first.begin(), first.end(), block.begin() + 2);
    const std::string full = "ABCDEFGH";  // all 8 bytes, no terminator
    std::copy(full.begin(), full.end(), block.begin() + 10);
    block[66] = 0xAA;
    block[69] = 0xBB;
    EXPECT_EQ(ReadVersionText(block), "Versione: 1.4");
    const auto names = ReadListNames(block);
    EXPECT_EQ(names[0], "TV");
    EXPECT_EQ(names[1], "ABCDEFGH");
    EXPECT_EQ(names[2], "");

    Grid config(2, 9);
    config.setCell(1, 1, "Film");
    config.setCell(8, 1, "Ultima");
    const auto written = WriteConfigBlock(block, config);
    ASSERT_EQ(written.size(), 70u);
    EXPECT_EQ(written[0], 1);
    EXPECT_EQ(written[1], 4);
    EXPECT_EQ(written[66], 0xAA);
    EXPECT_EQ(written[69], 0xBB);
    const auto namesBack = ReadListNames(written);
    EXPECT_EQ(namesBack[0], "Film");
    EXPECT_EQ(namesBack[1], "");  // cleared
    EXPECT_EQ(namesBack[7], "Ultima");
}

TEST(ConfigBlock, ShortBlockKeepsItsLength) {
    const std::vector<std::uint8_t> block{2, 7, 'A', 'B', 'C', 0, 0, 0, 0, 0, 'Q', 'R'};
    EXPECT_EQ(ReadVersionText(block), "Versione: 2.7");
    EXPECT_EQ(ReadListNames(block)[1], "QR");
    EXPECT_EQ(ReadVersionText({}), "Versione: 0.0");
    Grid config(2, 9);
    config.setCell(1, 1, "X");
    config.setCell(2, 1, "LONGNAME");
    const auto written = WriteConfigBlock(block, config);
    EXPECT_EQ(written, (std::vector<std::uint8_t>{2, 7, 'X', 0, 0, 0, 0, 0, 0, 0, 'L', 'O'}));
    EXPECT_EQ(WriteConfigBlock({9}, config), std::vector<std::uint8_t>{9});
}

TEST(ChannelColour, RulesInOrder) {
    for (const auto& c : testsupport::ChannelColourCases()) {
        SCOPED_TRACE(std::string(c.vpid) + " " + c.apid + " " + c.status);
        EXPECT_EQ(ChannelColour(c.vpid, c.apid, c.status), c.colour);
        EXPECT_EQ(ChannelColour(CellIntegerOr(c.vpid, -1), CellIntegerOr(c.apid, -1), CellHex(c.status)), c.colour);
    }
}
