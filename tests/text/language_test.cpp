#include "text/language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "text/translate.h"

namespace rivo {
namespace {

std::map<std::string, std::string>& FakeEnvironment() {
    static std::map<std::string, std::string> variables;
    return variables;
}

const char* LookUp(const char* name) {
    const auto it = FakeEnvironment().find(name);
    return it == FakeEnvironment().end() ? nullptr : it->second.c_str();
}

TEST(LanguageFromEnvironment, ItalianForItalyTheCLocaleAndNothingEnglishOtherwise) {
    const struct {
        std::map<std::string, std::string> variables;
        Language expected;
    } cases[] = {
        {{}, Language::Italian},
        {{{"LANG", ""}}, Language::Italian},
        {{{"LANG", "C"}}, Language::Italian},
        {{{"LANG", "POSIX"}}, Language::Italian},
        {{{"LANG", "C.UTF-8"}}, Language::Italian},
        {{{"LANG", "it_IT.UTF-8"}}, Language::Italian},
        {{{"LANG", "it_CH"}}, Language::Italian},
        {{{"LANG", "en_GB.UTF-8"}}, Language::English},
        {{{"LANG", "de_DE.UTF-8"}}, Language::English},
        {{{"LANG", "fr"}}, Language::English},
        // The first of LC_ALL, LC_MESSAGES and LANG that is set decides.
        {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "it_IT.UTF-8"}}, Language::English},
        {{{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, Language::Italian},
        {{{"LC_MESSAGES", "it_IT.UTF-8"}, {"LANG", "en_US.UTF-8"}}, Language::Italian},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "it_IT.UTF-8"}},
         Language::English},
        // LANGUAGE lists preferences; the first one we have a language for wins.
        {{{"LANGUAGE", "it"}, {"LANG", "en_GB.UTF-8"}}, Language::Italian},
        {{{"LANGUAGE", "fr:it:en"}, {"LANG", "en_GB.UTF-8"}}, Language::Italian},
        {{{"LANGUAGE", "en_GB:en"}, {"LANG", "it_IT.UTF-8"}}, Language::English},
        {{{"LANGUAGE", "fr:de"}, {"LANG", "it_IT.UTF-8"}}, Language::Italian},
        {{{"LANGUAGE", "fr:de"}, {"LANG", "es_ES.UTF-8"}}, Language::English},
        // ...but not under the C locale, as in gettext: a script with LC_ALL=C stays Italian.
        {{{"LANGUAGE", "en"}, {"LC_ALL", "C"}}, Language::Italian},
        {{{"LANGUAGE", "en"}}, Language::Italian},
    };
    for (const auto& c : cases) {
        FakeEnvironment() = c.variables;
        std::string shown;
        for (const auto& [name, value] : c.variables) shown += name + "=" + value + " ";
        SCOPED_TRACE(shown);
        EXPECT_EQ(LanguageFromEnvironment(&LookUp), c.expected);
    }
    FakeEnvironment().clear();
}

TEST(LanguageCode, NamesBothLanguagesAndNothingElse) {
    EXPECT_EQ(ParseLanguageCode("it"), Language::Italian);
    EXPECT_EQ(ParseLanguageCode("en"), Language::English);
    for (const char* other : {"", "IT", "en_GB", "english", "de", " en"}) {
        EXPECT_EQ(ParseLanguageCode(other), std::nullopt) << other;
    }
    EXPECT_STREQ(LanguageCode(Language::Italian), "it");
    EXPECT_STREQ(LanguageCode(Language::English), "en");
}

// Restores Italian however a test ends, so the other tests keep reading Italian texts.
struct BackToItalian {
    ~BackToItalian() { UseLanguage(Language::Italian, {}, nullptr); }
};

TEST(UseLanguage, EnglishComesFromTheFirstFolderThatHasItsCatalogue) {
    BackToItalian restore;
    std::string error;
    ASSERT_TRUE(UseLanguage(Language::English, {"/nonexistent/locale", RIVO_CATALOGUE_DIR}, &error))
        << error;
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_STREQ(Tr("Annulla"), "Cancel");
    // A text the catalogue lacks comes back as it was written.
    EXPECT_STREQ(Tr("Testo che nessun catalogo contiene"), "Testo che nessun catalogo contiene");

    ASSERT_TRUE(UseLanguage(Language::Italian, {}, &error));
    EXPECT_EQ(CurrentLanguage(), Language::Italian);
    EXPECT_STREQ(Tr("Annulla"), "Annulla");
}

TEST(UseLanguage, WithoutACatalogueTheTextsStayItalianAndTheReasonIsGiven) {
    BackToItalian restore;
    std::string error;
    EXPECT_FALSE(UseLanguage(Language::English, {"/nonexistent/locale"}, &error));
    EXPECT_EQ(error, "nessun catalogo per \"en\"");
    EXPECT_EQ(CurrentLanguage(), Language::Italian);
    EXPECT_STREQ(Tr("Annulla"), "Annulla");

    EXPECT_FALSE(UseCatalogueFile(Language::English, RIVO_POT_FILE, &error));
    EXPECT_EQ(error, "non è un catalogo gettext (numero magico errato)");
    EXPECT_EQ(CurrentLanguage(), Language::Italian);
}

}  // namespace
}  // namespace rivo
