#include "text/catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "mo_builder.h"

namespace rivo {
namespace {

using test::BuildMo;
using test::Header;
using test::MoEntry;

using namespace std::string_literals;

// Polish has three forms; its rule exercises every operator a real catalogue uses.
const char* const kPolishRule =
    "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";

TEST(Catalogue, FindsTranslationsAndFallsBackOnMissingOrEmptyOnes) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        const auto bytes = BuildMo({{"", Header("nplurals=2; plural=(n != 1);")},
                                    {"Annulla", "Cancel"},
                                    {"Nessuna traduzione", ""},
                                    {"Salva %1", "Save %1"}},
                                   bigEndian);
        std::string error;
        const auto catalogue = Catalogue::FromBytes(bytes, &error);
        ASSERT_TRUE(catalogue) << error;
        ASSERT_NE(catalogue->find("Annulla"), nullptr);
        EXPECT_STREQ(catalogue->find("Annulla"), "Cancel");
        EXPECT_STREQ(catalogue->find("Salva %1"), "Save %1");
        EXPECT_EQ(catalogue->find("Nessuna traduzione"), nullptr);
        EXPECT_EQ(catalogue->find("Assente"), nullptr);
        EXPECT_EQ(catalogue->find(""), nullptr);
    }
}

TEST(Catalogue, PicksThePluralFormByTheCataloguesRule) {
    const auto bytes = BuildMo(
        {{"", Header(kPolishRule)}, {"%1 canale\0%1 canali"s, "%1 kanał\0%1 kanały\0%1 kanałów"s}});
    std::string error;
    const auto catalogue = Catalogue::FromBytes(bytes, &error);
    ASSERT_TRUE(catalogue) << error;
    EXPECT_EQ(catalogue->pluralFormCount(), 3);
    const struct {
        long long count;
        const char* form;
    } cases[] = {{0, "%1 kanałów"},  {1, "%1 kanał"},     {2, "%1 kanały"},   {4, "%1 kanały"},
                 {5, "%1 kanałów"},  {12, "%1 kanałów"},  {14, "%1 kanałów"}, {22, "%1 kanały"},
                 {25, "%1 kanałów"}, {112, "%1 kanałów"}, {1002, "%1 kanały"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ASSERT_NE(catalogue->findPlural("%1 canale", c.count), nullptr);
        EXPECT_STREQ(catalogue->findPlural("%1 canale", c.count), c.form);
    }
    EXPECT_EQ(catalogue->findPlural("%1 riga", 3), nullptr);
}

TEST(Catalogue, WithoutARuleOneIsSingularAndEverythingElsePlural) {
    const auto bytes = BuildMo({{"%1 riga\0%1 righe"s, "%1 row\0%1 rows"s}});
    const auto catalogue = Catalogue::FromBytes(bytes, nullptr);
    ASSERT_TRUE(catalogue);
    EXPECT_STREQ(catalogue->findPlural("%1 riga", 1), "%1 row");
    EXPECT_STREQ(catalogue->findPlural("%1 riga", 0), "%1 rows");
    EXPECT_STREQ(catalogue->findPlural("%1 riga", 2), "%1 rows");
}

TEST(Catalogue, RefusesDamagedFilesAndRules) {
    const auto good =
        BuildMo({{"", Header("nplurals=2; plural=(n != 1);")}, {"Annulla", "Cancel"}});
    // Every truncation is either refused or read without touching a byte past the end
    // (the sanitizers watch the second case).
    for (std::size_t size = 0; size < good.size(); ++size) {
        std::string error;
        const auto catalogue = Catalogue::FromBytes(std::span(good.data(), size), &error);
        EXPECT_FALSE(catalogue) << "a catalogue cut to " << size << " bytes was read";
        EXPECT_EQ(error,
                  size < 28 ? "troppo corto per un catalogo" : "catalogo troncato o danneggiato")
            << size;
    }
    auto badMagic = good;
    badMagic[0] ^= 0xFF;
    std::string error;
    EXPECT_FALSE(Catalogue::FromBytes(badMagic, &error));
    EXPECT_EQ(error, "non è un catalogo gettext (numero magico errato)");

    // A length that runs past the end of the file.
    auto longText = good;
    longText[28 + 8] = 0xFF;
    longText[28 + 9] = 0xFF;
    EXPECT_FALSE(Catalogue::FromBytes(longText, &error));

    // A count far beyond what the file could hold.
    auto manyEntries = good;
    manyEntries[11] = 0x7F;
    EXPECT_FALSE(Catalogue::FromBytes(manyEntries, &error));

    for (const char* rule :
         {"nplurals=2; plural=(n != 1;", "nplurals=2; plural=n % 0;", "nplurals=0; plural=0;",
          "nplurals=2; plural=n ? 1;", "nplurals=2;",
          "nplurals=2; "
          "plural=!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!n;",
          "nplurals=2; "
          "plural=((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((n))))))))))))))"
          "))))))))))))))))))))))))))))))))))))))))))))))))))));"}) {
        SCOPED_TRACE(rule);
        EXPECT_FALSE(
            Catalogue::FromBytes(BuildMo({{"", Header(rule)}, {"Annulla", "Cancel"}}), &error));
        EXPECT_EQ(error, "regola dei plurali danneggiata");
    }
}

TEST(Catalogue, AnIndexOutsideTheFormsFallsBackToTheFirstForm) {
    // A rule that answers more forms than the catalogue declares must not index past them.
    const auto bytes = BuildMo(
        {{"", Header("nplurals=2; plural=n;")}, {"%1 riga\0%1 righe"s, "%1 row\0%1 rows"s}});
    const auto catalogue = Catalogue::FromBytes(bytes, nullptr);
    ASSERT_TRUE(catalogue);
    EXPECT_STREQ(catalogue->findPlural("%1 riga", 1), "%1 rows");
    EXPECT_STREQ(catalogue->findPlural("%1 riga", 7), "%1 row");
}

}  // namespace
}  // namespace rivo
