// The Ok paths of the reordering dialogs, without windows: the rows a sort takes, the
// open parameters of a reference, and the preview of a match.
#include <gtest/gtest.h>

#include "editing/reorder_dialog_logic.h"
#include "page_maker.h"
#include "text/language.h"

namespace rivo {
namespace {

using pages::MakePage;
using pages::SetChannel;
using pages::SetTransponder;
using pages::Transponder;

TEST(SortDialog, SelectionOrWholeList) {
    ListPage page = MakePage(6, 1);
    const char* names[] = {"f", "e", "d", "c", "b", "a"};
    for (int r = 1; r <= 6; ++r) SetChannel(page, r, names[r - 1], 1);
    EXPECT_EQ(SortDialogRows(page, {SortKey::Name, false}, 2, 4), std::make_pair(2, 4));
    EXPECT_EQ(SortDialogRows(page, {SortKey::Name, true}, 2, 4), std::make_pair(1, 6));
    ListPage selection = page;
    EXPECT_EQ(ApplySortDialog(selection, {SortKey::Name, false}, 2, 4).focusRow, 2);
    EXPECT_EQ(selection.channelGrid.cell(1, ch::Name), "f");
    EXPECT_EQ(selection.channelGrid.cell(2, ch::Name), "c");
    EXPECT_EQ(selection.channelGrid.cell(5, ch::Name), "b");
    ApplySortDialog(page, {SortKey::Name, true}, 2, 4);
    EXPECT_EQ(page.channelGrid.cell(1, ch::Name), "a");
    EXPECT_EQ(page.channelGrid.cell(6, ch::Name), "f");
}

TEST(ReferenceDialog, StartsFromThePagesOpenParameters) {
    ListPage page = MakePage(1, 1);
    page.lnbLow = 9751;
    page.lnbHigh = 10601;
    page.satelliteA = "Thor";
    page.symbolRates[3] = 12345;
    const ReferenceDialogValues start = ReferenceDialogStart(page);
    EXPECT_EQ(start.fileName, "");
    EXPECT_EQ(start.lnbLow, "9751");
    EXPECT_EQ(start.lnbHigh, "10601");
    EXPECT_EQ(start.satelliteA, "Thor");
    EXPECT_EQ(start.satelliteB, "Astra");
    EXPECT_FALSE(start.takeFavourites);
    EXPECT_FALSE(start.takeNames);

    ReferenceDialogValues values = start;
    values.fileName = "old.Bin";
    const auto params = ReferenceOpenParams(page, values);
    ASSERT_TRUE(params.has_value());
    EXPECT_EQ(params->fileName, "old.Bin");
    EXPECT_EQ(params->lnbLow, 9751);
    EXPECT_EQ(params->lnbHigh, 10601);
    EXPECT_EQ(params->symbolRates[3], 12345);
    EXPECT_EQ(params->satelliteA, "Thor");
}

TEST(ReferenceDialog, RefusedValues) {
    const ListPage page = MakePage(1, 1);
    struct Case {
        const char* what;
        void (*change)(ReferenceDialogValues&);
    };
    const Case cases[] = {
        {"no file", [](ReferenceDialogValues& v) { v.fileName.clear(); }},
        {"LNB low 0", [](ReferenceDialogValues& v) { v.lnbLow = "0"; }},
        {"LNB low not a number", [](ReferenceDialogValues& v) { v.lnbLow = "9750a"; }},
        {"LNB high negative", [](ReferenceDialogValues& v) { v.lnbHigh = "-1"; }},
        {"LNB high too large", [](ReferenceDialogValues& v) { v.lnbHigh = "2147483648"; }},
        {"satellite A empty", [](ReferenceDialogValues& v) { v.satelliteA.clear(); }},
        {"equal satellites", [](ReferenceDialogValues& v) { v.satelliteB = v.satelliteA; }},
    };
    for (const Case& c : cases) {
        ReferenceDialogValues values = ReferenceDialogStart(page);
        values.fileName = "old.Bin";
        ASSERT_TRUE(ReferenceOpenParams(page, values).has_value());
        c.change(values);
        EXPECT_FALSE(ReferenceOpenParams(page, values).has_value()) << c.what;
    }
}

// In English the counts take the language's plural forms: one channel, two channels.
TEST(ReferencePreview, InEnglishCountsTakeTheirPluralForms) {
    struct BackToItalian {
        ~BackToItalian() { UseLanguage(Language::Italian, {}, nullptr); }
    } restore;
    std::string error;
    ASSERT_TRUE(UseLanguage(Language::English, {RIVO_CATALOGUE_DIR}, &error)) << error;
    const ListPage current = MakePage(2, 1);
    ReferenceMatch match;
    match.passCounts = {1, 3, 0, 0};
    match.unmatchedCurrent = {1, 2};
    match.unmatchedReference = {1};
    const ReferencePreview preview = MakeReferencePreview(current, current, match);
    ASSERT_EQ(preview.passLines.size(), 4u);
    EXPECT_EQ(preview.passLines[0],
              "Pass 1 (name, SID, TID and NID, polarisation, frequency (within 3 MHz)): 1 channel");
    EXPECT_EQ(preview.passLines[1], "Pass 2 (SID, TID and NID): 3 channels");
    EXPECT_TRUE(preview.passLines[2].ends_with("): 0 channels")) << preview.passLines[2];
    EXPECT_EQ(preview.summary,
              "4 channels found in the reference, 2 channels of the list not found, 1 channel of "
              "the reference not "
              "found");
}

TEST(ReferencePreview, CountsAndUnmatchedRowsOfBothLists) {
    ListPage current = MakePage(4, 2);
    SetTransponder(current, 1, Transponder{.frequency = "11747,5"});
    SetTransponder(current, 2, Transponder{.frequency = "0"});
    SetChannel(current, 1, "Uno", 1);
    SetChannel(current, 2, "Solo qui", 1);
    current.channelGrid.setCell(2, ch::Sid, "55");
    SetChannel(current, 3, "Libero", 2);  // its transponder row is free
    ListPage reference = MakePage(3, 1);
    SetTransponder(reference, 1, Transponder{.frequency = "11747"});
    SetChannel(reference, 1, "Uno", 1);
    SetChannel(reference, 3, "Solo l\xEC", 1);
    reference.channelGrid.setCell(3, ch::Sid, "77");
    const ReferenceMatch match = MatchReference(current, reference);
    const ReferencePreview preview = MakeReferencePreview(current, reference, match);
    ASSERT_EQ(preview.passLines.size(), 4u);
    EXPECT_EQ(preview.passLines[0].rfind("Passo 1 (", 0), 0u);
    EXPECT_NE(preview.passLines[0].find("): 1 canale"), std::string::npos);
    EXPECT_NE(preview.passLines[3].find("): 0 canali"), std::string::npos);
    EXPECT_EQ(preview.summary,
              "1 canale trovato nel riferimento, 2 canali della lista non trovati, 1 canale del "
              "riferimento non trovato");
    EXPECT_EQ(preview.takes, "Dal riferimento verrà preso solo l'ordine.");
    struct Takes {
        bool names, favourites;
        const char* line;
    };
    for (const Takes& t :
         {Takes{true, false, "Dal riferimento verranno presi l'ordine e i nomi."},
          Takes{false, true, "Dal riferimento verranno presi l'ordine e i preferiti."},
          Takes{true, true, "Dal riferimento verranno presi l'ordine, i nomi e i preferiti."}}) {
        ReferenceOptions options;
        options.takeNames = t.names;
        options.takeFavourites = t.favourites;
        EXPECT_EQ(MakeReferencePreview(current, reference, match, options).takes, t.line);
    }
    ASSERT_EQ(preview.unmatchedCurrent.size(), 2u);  // the empty row 4 is left out
    EXPECT_EQ(preview.unmatchedCurrent[0].row, 2);
    EXPECT_EQ(preview.unmatchedCurrent[0].name, "Solo qui");
    EXPECT_EQ(preview.unmatchedCurrent[0].sid, "55");
    EXPECT_EQ(preview.unmatchedCurrent[0].frequency, "11747,5");
    EXPECT_EQ(preview.unmatchedCurrent[1].row, 3);
    EXPECT_EQ(preview.unmatchedCurrent[1].frequency, "");
    ASSERT_EQ(preview.unmatchedReference.size(), 1u);
    EXPECT_EQ(preview.unmatchedReference[0].row, 3);
    EXPECT_EQ(preview.unmatchedReference[0].name, "Solo l\xEC");
    EXPECT_EQ(preview.unmatchedReference[0].frequency, "11747");
}

}  // namespace
}  // namespace rivo
