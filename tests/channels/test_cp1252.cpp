#include <gtest/gtest.h>

#include "channels/cp1252.h"

using namespace rivo;

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string text = Cp1252ToUtf8(all);
    const auto back = Utf8ToCp1252(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, KnownCharacters) {
    struct Case {
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"Rai 1", "Rai 1"},
        {"\x80", "\xE2\x82\xAC"},             // euro sign
        {"\xE8", "\xC3\xA8"},                 // e grave
        {"\x9F", "\xC5\xB8"},                 // Y diaeresis
        {"\x81", "\xC2\x81"},                 // undefined byte: the C1 control of the same value
        {"\x9D", "\xC2\x9D"},
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes);
    }
}

TEST(Cp1252, TextWindows1252CannotHoldIsRefused) {
    const char* refused[] = {
        "\xE2\x82\xAB",      // dong sign
        "\xC2\x80",          // U+0080: byte 0x80 is the euro sign
        "\xF0\x9F\x98\x80",  // emoji
        "\xC3",              // cut short
        "\xC0\xA0",          // overlong
        "\xED\xA0\x80",      // surrogate
        "\xFF",
    };
    for (const char* text : refused) EXPECT_FALSE(Utf8ToCp1252(text).has_value()) << text;
}
