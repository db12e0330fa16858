#include "text/translate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace rivo {
namespace {

TEST(FormatPlaceholders, FillsNumberedPlaceholdersInOnePass) {
    const struct {
        const char* pattern;
        std::string expected;
    } cases[] = {
        {"Impossibile scrivere il file %1: %2", "Impossibile scrivere il file \"a%2b\": 100%"},
        {"%2 prima di %1", "100% prima di \"a%2b\""},
        {"%1%1", "\"a%2b\"\"a%2b\""},
        {"%3 e %9 restano", "%3 e %9 restano"},
        {"100% e %0 e %", "100% e %0 e %"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        // The first argument carries a "%2" of its own: it must come out as it went in.
        EXPECT_EQ(Fmt(c.pattern, "\"a%2b\"", std::string("100%")), c.expected);
    }
}

TEST(FormatPlaceholders, WritesWholeNumbersInDecimal) {
    EXPECT_EQ(Fmt("%1 %2 %3 %4", 0, -12, std::size_t{9990}, std::uint8_t{255}), "0 -12 9990 255");
    EXPECT_EQ(Fmt("%1", std::string_view("vista")), "vista");
    EXPECT_EQ(Fmt("[%1]", static_cast<const char*>(nullptr)), "[]");
}

TEST(Translate, WithoutACatalogueTheItalianTextComesBack) {
    const char* text = "Testo che nessun catalogo contiene";
    EXPECT_EQ(Tr(text), text);
    EXPECT_STREQ(TrN("%1 canale", "%1 canali", 1), "%1 canale");
    EXPECT_STREQ(TrN("%1 canale", "%1 canali", 0), "%1 canali");
    EXPECT_STREQ(TrN("%1 canale", "%1 canali", 2), "%1 canali");
    EXPECT_STREQ(TrNoop("resta"), "resta");
}

}  // namespace
}  // namespace rivo
