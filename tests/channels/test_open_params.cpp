#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "channel_fixtures.h"
#include "channels/open_params.h"

using namespace rivo;

namespace {
std::array<std::int32_t, 16> Filled(std::int32_t v) {
    std::array<std::int32_t, 16> a{};
    a.fill(v);
    return a;
}
}  // namespace

TEST(SrIni, SectionsInFileOrderWithTheirRates) {
    const auto sets = ParseSymbolRateSets(
        "; symbol rates\r\n"
        "[Hotbird]\r\nSR00=27500\r\nSR01=22000\r\nSR0F=6111\r\n"
        "[Personalizzato]\r\n"
        "[Astra]\nsr00 = 22000\nSR0A=$10\nSR0B=0x20\n");
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].name, "Hotbird");
    EXPECT_EQ(sets[1].name, "Personalizzato");
    EXPECT_EQ(sets[2].name, "Astra");
    EXPECT_EQ(sets[0].rates[0], 27500);
    EXPECT_EQ(sets[0].rates[1], 22000);
    EXPECT_EQ(sets[0].rates[2], -1);
    EXPECT_EQ(sets[0].rates[15], 6111);
    EXPECT_EQ(sets[1].rates, Filled(-1));
    EXPECT_EQ(sets[2].rates[0], 22000);  // keys compare without regard to case
    EXPECT_EQ(sets[2].rates[10], 16);
    EXPECT_EQ(sets[2].rates[11], 32);
}

TEST(SrIni, ValuesThatAreNotIntegersReadAsMinusOne) {
    struct Case {
        const char* value;
        std::int32_t expected;
    } cases[] = {
        {"27500", 27500}, {" 30000 ", 30000}, {"-1", -1},       {"-5", -5},          {"", -1},
        {"abc", -1},      {"12x", -1},        {"2147483647", 2147483647}, {"2147483648", -1},
        {"1.5", -1},      {"+7", 7},
    };
    for (const auto& c : cases) {
        const auto sets = ParseSymbolRateSets(std::string("[S]\nSR03=") + c.value + "\n");
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(sets[0].rates[3], c.expected) << "value '" << c.value << "'";
    }
}

TEST(SrIni, RepeatedSectionIsOneSetAndFirstKeyWins) {
    const auto sets = ParseSymbolRateSets("[A]\nSR00=1\nSR00=2\n[B]\nSR00=3\n[a]\nSR01=4\n");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].rates[0], 1);
    EXPECT_EQ(sets[0].rates[1], 4);
    EXPECT_EQ(sets[1].rates[0], 3);
}

TEST(SrIni, MissingFileGivesNoSets) {
    EXPECT_TRUE(ReadSymbolRateSets("/nonexistent/folder/Sr.Ini").empty());
    testsupport::TempFolder folder;
    EXPECT_TRUE(ReadSymbolRateSets(folder.root()).empty());  // a folder is not readable as a file
}

TEST(SrIni, FilesThatCannotBeReadGiveNoSetsAndTheirReason) {
    // Read without blocking and never beyond the limit: a FIFO, a device, a folder or a
    // huge file gives no sets at once, and the reason for whoever wants to tell it.
    testsupport::TempFolder folder;
    const std::string fifo = folder.path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string header = "[Big]\r\nSR00=27500\r\n";
    const std::string atLimit = folder.path("limit.ini");
    {
        std::ofstream out(atLimit, std::ios::binary);
        out << header << std::string(kMaxSymbolRateFileSize - header.size(), ';');
    }
    const std::string overLimit = folder.path("over.ini");
    {
        std::ofstream out(overLimit, std::ios::binary);
        out << header << std::string(kMaxSymbolRateFileSize - header.size() + 1, ';');
    }
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {fifo, "non è un file normale"},
        {"/dev/zero", "non è un file normale"},
        {folder.root(), "Is a directory"},
        {folder.path("missing.ini"), "No such file or directory"},
        {overLimit, "è troppo grande"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error = "previous";
        EXPECT_TRUE(ReadSymbolRateSets(c.path, &error).empty());
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error = "previous";
    const auto sets = ReadSymbolRateSets(atLimit, &error);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].rates[0], 27500);
    EXPECT_EQ(error, "");
}

TEST(SrIni, ReadsAFile) {
    testsupport::TempFolder folder;
    {
        std::ofstream f(folder.path("Sr.Ini"), std::ios::binary);
        f << "\xEF\xBB\xBF[Sat]\r\nSR00=27500\r\nSR0C=-1\r\n";
    }
    const auto sets = ReadSymbolRateSets(folder.path("Sr.Ini"));
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].name, "Sat");
    EXPECT_EQ(sets[0].rates[0], 27500);
    EXPECT_EQ(sets[0].rates[12], -1);
}

TEST(SrIni, RatesForOpenTurnEmptyCellsIntoZero) {
    SymbolRateSet set;
    set.rates = Filled(-1);
    set.rates[0] = 27500;
    set.rates[1] = -5;  // shown as -5, so kept
    set.rates[2] = 0;
    const auto rates = RatesForOpen(set);
    EXPECT_EQ(rates[0], 27500);
    EXPECT_EQ(rates[1], -5);
    EXPECT_EQ(rates[2], 0);
    EXPECT_EQ(rates[12], 0);
}
