// What a save writes is what the page shows: images with several transponder tables
// are saved table by table, cells the format cannot hold are listed (and the save can
// be declined), and a refused read-back of a cut input blames the input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "channel_fixtures.h"
#include "channels/page_io.h"
#include "channels/records.h"

namespace rivo {
namespace {

using namespace testsupport;

std::shared_ptr<KvxImage> LoadFlash(const std::string& path) {
    std::string error;
    auto bytes = ReadWholeFile(path, error);
    auto file = std::make_shared<KvxImage>();
    EXPECT_TRUE(bytes && file->loadFlashBytes(std::move(*bytes), path).ok()) << error;
    return file;
}

std::unique_ptr<ListPage> Reopen(const std::string& path) {
    NullProgress progress;
    return BuildPage(LoadFlash(path), FixtureOpenParams(), progress);
}

// The first entry's stored bytes of the module named name.
Bytes FirstEntry(KvxImage& file, const std::string& name) {
    for (int i = 0; i < file.moduleCount(); ++i)
        if (file.module(i)->name() == name) return file.module(i)->entry(0)->data();
    ADD_FAILURE() << "no module " << name;
    return {};
}

TransponderSpec TransponderAt(std::int32_t offsetHz, std::uint16_t tid) {
    TransponderSpec t;
    t.offsetHz = offsetHz;
    t.tid = tid;
    t.channels = 1;
    return t;
}

// Six transponders in "TPT", four more in "TPT2" (rows 7 to 10), every one of them in
// use. Only a module named exactly "TPT" is stored plain: "TPT2" is packed.
ChannelImageSpec TwoTransponderTables(ListLayout layout) {
    ChannelImageSpec spec = MakeChannelImageSpec(layout, 1200, 6);
    std::vector<TransponderSpec> second;
    for (int i = 0; i < 4; ++i) second.push_back(TransponderAt(1100000000 + i * 20000000, static_cast<std::uint16_t>(700 + i)));
    ModuleSpec packed = TransponderModule(second, "TPT2");
    packed.entries[0].bytes = PackAsLiterals(packed.entries[0].bytes);
    spec.extraModules.push_back(packed);
    for (std::size_t c = 0; c < 8; ++c) spec.channels[c].transponder = static_cast<std::uint8_t>(7 + c % 4);
    return spec;
}

class SeveralTransponderTables : public ::testing::TestWithParam<ListLayout> {};

TEST_P(SeveralTransponderTables, EachTableGetsBackItsOwnRowsSaveAfterSave) {
    auto page = OpenChannelImage(BuildChannelImage(TwoTransponderTables(GetParam())));
    ASSERT_EQ(page->transponderCount(), 10);
    ASSERT_EQ(page->transponderGrid.cell(8, tp::Tid), "701");

    TempFolder folder;
    NullProgress progress;
    ListPage* current = page.get();
    std::unique_ptr<ListPage> again;
    for (int save = 1; save <= 2; ++save) {
        // A transponder changed in each table.
        current->transponderGrid.setCell(2, tp::Tid, std::to_string(100 + save));
        current->transponderGrid.setCell(8, tp::Tid, std::to_string(800 + save));
        current->modified = true;
        const std::string out = folder.path("out" + std::to_string(save) + ".Bin");
        const PageSaveResult result = SavePage(*current, out, progress);
        ASSERT_TRUE(result.ok) << "save " << save << ": " << result.message;
        EXPECT_TRUE(result.differences.empty()) << DescribeDifferences(result.differences);

        auto file = LoadFlash(out);
        EXPECT_EQ(FirstEntry(*file, "TPT").size(), 6u * kTransponderRecordSize);
        Bytes second;
        UnpackBytes(FirstEntry(*file, "TPT2"), second);
        EXPECT_EQ(second.size(), 4u * kTransponderRecordSize);
        again = Reopen(out);
        EXPECT_EQ(again->transponderGrid, current->transponderGrid) << "save " << save;
        EXPECT_EQ(again->channelGrid, current->channelGrid) << "save " << save;
        EXPECT_EQ(again->transponderGrid.cell(2, tp::Tid), std::to_string(100 + save));
        EXPECT_EQ(again->transponderGrid.cell(8, tp::Tid), std::to_string(800 + save));
        current = again.get();
        page = std::move(again);
    }
}

TEST(SeveralTransponderTables, AnUnchangedPackedTableKeepsItsStoredBytes) {
    const Bytes image = BuildChannelImage(TwoTransponderTables(ListLayout::Single));
    auto page = OpenChannelImage(image);
    page->transponderGrid.setCell(2, tp::Tid, "4321");  // the plain "TPT" only
    page->modified = true;
    TempFolder folder;
    NullProgress progress;
    const PageSaveResult result = SavePage(*page, folder.path("out.Bin"), progress);
    ASSERT_TRUE(result.ok) << result.message;
    KvxImage original;
    ASSERT_TRUE(original.loadBytes(image).ok());
    auto saved = LoadFlash(folder.path("out.Bin"));
    EXPECT_EQ(FirstEntry(*saved, "TPT2"), FirstEntry(original, "TPT2"));
    EXPECT_NE(FirstEntry(*saved, "TPT"), FirstEntry(original, "TPT"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SeveralTransponderTables, ::testing::Values(ListLayout::Single, ListLayout::Split));

// One edit the format cannot keep, and the difference the save must report for it.
struct ForcedCase {
    const char* what;
    const char* table;
    int row;
    int column;
    const char* typed;
    const char* saved;
};

class ForcedDifference : public ::testing::TestWithParam<ForcedCase> {};

ListPage& EditedPage(std::unique_ptr<ListPage>& page, const ForcedCase& c) {
    // Transponder 3 is named by no channel (saved as free); the others are in use.
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Single, 60, 6);
    for (auto& channel : spec.channels)
        if (channel.transponder == 3) channel.transponder = 4;
    page = OpenChannelImage(BuildChannelImage(spec));
    Grid& grid = std::string(c.table) == "Canali" ? page->channelGrid : page->transponderGrid;
    grid.setCell(c.row, c.column, c.typed);
    if (std::string(c.table) == "Transponder") grid.setCell(c.row, tp::Tone, "Off");
    page->modified = true;
    return *page;
}

TEST_P(ForcedDifference, IsListedAndTheFileIsSaved) {
    const ForcedCase& c = GetParam();
    std::unique_ptr<ListPage> holder;
    ListPage& page = EditedPage(holder, c);
    TempFolder folder;
    NullProgress progress;
    std::vector<CellDifference> asked;
    PageSaveOptions options;
    options.acceptDifferences = [&](const std::vector<CellDifference>& d) {
        asked = d;
        return true;
    };
    const PageSaveResult result = SavePage(page, folder.path("out.Bin"), progress, options);
    ASSERT_TRUE(result.ok) << result.message;
    const auto& titles = std::string(c.table) == "Canali" ? std::vector<const char*>(ChannelColumnTitles().begin(), ChannelColumnTitles().end())
                                                          : std::vector<const char*>(TransponderColumnTitles().begin(), TransponderColumnTitles().end());
    const CellDifference expected{c.table, c.row, titles[static_cast<std::size_t>(c.column)], c.typed, c.saved};
    EXPECT_EQ(asked, std::vector<CellDifference>{expected});
    EXPECT_EQ(result.differences, asked);
    const auto again = Reopen(folder.path("out.Bin"));
    const Grid& reread = std::string(c.table) == "Canali" ? again->channelGrid : again->transponderGrid;
    EXPECT_EQ(reread.cell(c.row, c.column), c.saved);
    // The page now shows what the file holds, and is clean because it equals it.
    const Grid& shown = std::string(c.table) == "Canali" ? page.channelGrid : page.transponderGrid;
    EXPECT_EQ(shown.cell(c.row, c.column), c.saved);
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(page.channelGrid, again->channelGrid);
    EXPECT_EQ(page.transponderGrid, again->transponderGrid);
}

TEST_P(ForcedDifference, DecliningLeavesTargetImageAndPageAsTheyWere) {
    const ForcedCase& c = GetParam();
    std::unique_ptr<ListPage> holder;
    ListPage& page = EditedPage(holder, c);
    Bytes before;
    ASSERT_TRUE(page.image->saveToBytes(before).ok);
    TempFolder folder;
    NullProgress progress;
    PageSaveOptions options;
    int asked = 0;
    options.acceptDifferences = [&](const std::vector<CellDifference>&) {
        ++asked;
        return false;
    };
    const PageSaveResult result = SavePage(page, folder.path("out.Bin"), progress, options);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.declined);
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(page.channelGrid.cell(1, ch::Num), "1");
    Bytes after;
    ASSERT_TRUE(page.image->saveToBytes(after).ok);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(std::filesystem::is_empty(folder.root()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForcedDifference,
    ::testing::Values(
        // 12345 MHz on the low band (9750) is 2595 MHz above the oscillator: more hertz
        // than a signed 32-bit offset holds, so the offset wraps.
        ForcedCase{"FrequencyOutOfRange", "Transponder", 2, tp::Frequency, "12345", "8050,032704"},
        ForcedCase{"UnusedTransponder", "Transponder", 3, tp::Frequency, "11000", "0"},
        ForcedCase{"SixteenBitField", "Canali", 5, ch::Sid, "70000", "4464"},
        ForcedCase{"LongName", "Canali", 60, ch::Name, "Nome di venti lette", "Nome di venti le"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(PageDifferences, AnUnchangedPageHasNone) {
    for (ListLayout layout : {ListLayout::Single, ListLayout::Split}) {
        auto page = OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(layout, 2100, 40)));
        page->modified = true;
        TempFolder folder;
        NullProgress progress;
        bool asked = false;
        PageSaveOptions options;
        options.acceptDifferences = [&](const std::vector<CellDifference>&) { return asked = true; };
        const PageSaveResult result = SavePage(*page, folder.path("out.Bin"), progress, options);
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_FALSE(asked);
        EXPECT_TRUE(result.differences.empty());
    }
}

TEST(PageDifferences, CoversEveryTableAndDescribesTheFirstTen) {
    auto shown = OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1500, 20)));
    auto saved = OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1500, 20)));
    for (int r = 1; r <= 9; ++r) shown->channelGrid.setCell(r, ch::Pcr, "x" + std::to_string(r));
    shown->transponderGrid.setCell(20, tp::Nid, "n");
    shown->favouriteGrids[7].setCell(128, fav::Channel, "7");
    shown->configGrid.setCell(8, 1, "Lista");
    const auto differences = PageDifferences(*shown, *saved);
    ASSERT_EQ(differences.size(), 12u);
    EXPECT_EQ(differences[0], (CellDifference{"Canali", 1, "PCR", "x1", saved->channelGrid.cell(1, ch::Pcr)}));
    EXPECT_EQ(differences[9], (CellDifference{"Transponder", 20, "NID", "n", saved->transponderGrid.cell(20, tp::Nid)}));
    EXPECT_EQ(differences[10], (CellDifference{"Preferiti 8", 128, "Canale", "7", "0"}));
    EXPECT_EQ(differences[11], (CellDifference{"Nomi delle liste", 8, "Nome", "Lista", saved->configGrid.cell(8, 1)}));

    const std::string text = DescribeDifferences(differences);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);
    EXPECT_EQ(text.rfind("Canali, riga 1, colonna PCR: \"x1\" \u2192 \"", 0), 0u) << text;
    EXPECT_NE(text.find("Transponder, riga 20, colonna NID"), std::string::npos);
    EXPECT_EQ(text.find("Preferiti 8"), std::string::npos);
    EXPECT_NE(text.find("... e altre 2 differenze\n"), std::string::npos);
    EXPECT_EQ(DescribeDifferences({differences.begin(), differences.begin() + 10}).find("altre"), std::string::npos);
}

// The heading names one cell in words and several by their number.
TEST(SavedDifferencesHeading, OneCellAndSeveral) {
    const struct {
        std::size_t count;
        const char* expected;
    } cases[] = {
        {1, "Attenzione: il formato del file non può conservare una cella come è mostrata; riaprendo il file si "
            "leggerà (tabella, riga, colonna: mostrato \u2192 salvato):\n"},
        {2, "Attenzione: il formato del file non può conservare 2 celle come sono mostrate; riaprendo il file si "
            "leggerà (tabella, riga, colonna: mostrato \u2192 salvato):\n"},
        {31, "Attenzione: il formato del file non può conservare 31 celle come sono mostrate; riaprendo il file si "
             "leggerà (tabella, riga, colonna: mostrato \u2192 salvato):\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(SavedDifferencesHeading(c.count), c.expected) << c.count;
}

// A file shorter or longer than an image: a save that the read-back check refuses
// says the opened file was the cause, with its size.
// The image ends with a raw sector: cut short, it is read shorter than a sector, and
// the writer (which writes whole sectors) cannot give it back as read.
TEST(ReadBackRefusal, BlamesAnOpenedFileOfTheWrongSize) {
    std::vector<SectorSpec> sectors = ChannelImageSectors(MakeChannelImageSpec(ListLayout::Split, 2100, 40));
    while (sectors.size() < 7) sectors.push_back(SectorSpec::Blank());
    sectors.push_back(SectorSpec::Raw(MakeRawSector(7), 0x5A));
    const Bytes whole = BuildFlashImage(sectors);
    TempFolder folder;
    const std::string cut = folder.path("cut.Bin");
    {
        std::ofstream out(cut, std::ios::binary);
        out.write(reinterpret_cast<const char*>(whole.data()), static_cast<std::streamsize>(whole.size() - 1));
    }
    auto image = std::make_shared<KvxImage>();
    ASSERT_TRUE(image->loadFile(cut).ok());
    NullProgress progress;
    OpenParams params = FixtureOpenParams();
    params.fileName = cut;
    auto page = BuildPage(image, params, progress);
    page->modified = true;
    const PageSaveResult result = SavePage(*page, folder.path("out.Bin"), progress);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("Il file aperto \"" + cut + "\" ha 524287 byte invece di 524288", 0), 0u)
        << result.message;
}

}  // namespace
}  // namespace rivo
