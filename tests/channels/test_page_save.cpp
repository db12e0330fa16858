#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "channels/page_io.h"
#include "channels/records.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// Reads a written file back as a flash image (without the type check, as a save may
// legitimately produce a file the check does not recognise) and builds its page.
std::unique_ptr<ListPage> Reopen(const std::string& path,
                                 const OpenParams& params = FixtureOpenParams()) {
    std::string error;
    auto bytes = ReadWholeFile(path, error);
    EXPECT_TRUE(bytes.has_value()) << error;
    auto file = std::make_shared<KvxImage>();
    EXPECT_TRUE(file->loadFlashBytes(std::move(*bytes), path).ok());
    NullProgress progress;
    return BuildPage(file, params, progress);
}

// The stored bytes of the first entry named entry in the first module named module.
Bytes EntryBytes(KvxImage& file, const std::string& module, const std::string& entry) {
    for (int i = 0; i < file.moduleCount(); ++i) {
        KvxModule* m = file.module(i);
        if (m->name() != module) continue;
        for (int e = 0; e < m->entryCount(); ++e)
            if (m->entry(e)->name() == entry) return m->entry(e)->data();
    }
    ADD_FAILURE() << "no entry " << module << "/" << entry;
    return {};
}

std::shared_ptr<KvxImage> Load(const std::string& path) {
    std::string error;
    auto bytes = ReadWholeFile(path, error);
    auto file = std::make_shared<KvxImage>();
    EXPECT_TRUE(bytes && file->loadFlashBytes(std::move(*bytes), path).ok()) << error;
    return file;
}

// Every entry's stored bytes, in module and entry order.
std::vector<Bytes> AllEntries(KvxImage& file) {
    std::vector<Bytes> out;
    for (int i = 0; i < file.moduleCount(); ++i)
        for (int e = 0; e < file.module(i)->entryCount(); ++e)
            out.push_back(file.module(i)->entry(e)->data());
    return out;
}

void ExpectSamePage(const ListPage& a, const ListPage& b) {
    EXPECT_EQ(a.layout, b.layout);
    EXPECT_EQ(a.channelGrid, b.channelGrid);
    EXPECT_EQ(a.transponderGrid, b.transponderGrid);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(a.favouriteGrids[k], b.favouriteGrids[k]) << "list " << k + 1;
    EXPECT_EQ(a.configGrid, b.configGrid);
    EXPECT_EQ(a.versionText, b.versionText);
}

}  // namespace

class RoundTrip : public ::testing::TestWithParam<ListLayout> {};

TEST_P(RoundTrip, UnchangedSaveKeepsThePage) {
    ChannelImageSpec spec = MakeChannelImageSpec(GetParam(), 1200, 30);
    if (GetParam() == ListLayout::Split) spec.favourites[5] = {3000};  // beyond the table: kept
    // An unused flag bit and a transponder named by no channel: both go as the format says.
    spec.transponders[0].flags |= 0x44;
    for (auto& c : spec.channels)
        if (c.transponder == 30) c.transponder = 29;
    const Bytes image = BuildChannelImage(spec);
    auto page = OpenChannelImage(image);
    page->modified = true;

    TempFolder folder;
    NullProgress progress;
    const auto result = SavePage(*page, folder.path("out.Bin"), progress);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.warning, "");
    EXPECT_FALSE(page->modified);

    auto again = Reopen(folder.path("out.Bin"));
    ExpectSamePage(*page, *again);

    auto original = std::make_shared<KvxImage>();
    ASSERT_TRUE(original->loadBytes(image).ok());
    auto saved = Load(folder.path("out.Bin"));
    if (GetParam() != ListLayout::None) {
        // Channel records come back byte for byte.
        Bytes before, after;
        for (const char* name : {"TCS", "TCS1"}) {
            if (GetParam() == ListLayout::Single && std::string(name) == "TCS1") break;
            const std::string entry = std::string(name) + ".dat";
            const Bytes b = EntryBytes(*original, name, entry), a = EntryBytes(*saved, name, entry);
            before.insert(before.end(), b.begin(), b.end());
            after.insert(after.end(), a.begin(), a.end());
        }
        EXPECT_EQ(before, after);
    }
    const Bytes tptBefore = EntryBytes(*original, "TPT", "TPT.dat");
    const Bytes tptAfter = EntryBytes(*saved, "TPT", "TPT.dat");
    ASSERT_EQ(tptAfter.size(), tptBefore.size());
    if (GetParam() != ListLayout::None) {
        EXPECT_EQ(tptAfter[11], tptBefore[11] & 0x0B);  // bits 2, 6 and 7 cleared
        EXPECT_EQ(Bytes(tptAfter.begin() + 12, tptAfter.begin() + 29 * 12),
                  Bytes(tptBefore.begin() + 12, tptBefore.begin() + 29 * 12));
    }
    EXPECT_EQ(Bytes(tptAfter.end() - 12, tptAfter.end() - 8),
              Bytes(4, 0));  // unreferenced: unused slot
    // The support module: written in Split only; otherwise left as it was.
    for (const char* entry : {"Lista1.pre", "Lista6.pre", "config.pre"})
        EXPECT_EQ(EntryBytes(*saved, "Support", entry), EntryBytes(*original, "Support", entry))
            << entry;
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip,
                         ::testing::Values(ListLayout::None, ListLayout::Single,
                                           ListLayout::Split));

TEST(SavePage, EditsAreWrittenWhereTheyBelong) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 2500, 12);
    spec.splitDigits = {0, 2, 1};
    spec.configTail = {1, 2, 3, 4, 5};
    auto page = OpenChannelImage(BuildChannelImage(spec));
    page->channelGrid.setCell(1000, ch::Name, "Mille");
    page->channelGrid.setCell(2500, ch::Sid, "70000");
    page->transponderGrid.setCell(1, tp::Frequency, "11747,000320");
    page->favouriteGrids[3].setCell(1, fav::Channel, "1000");
    page->configGrid.setCell(4, 1, "Nuova");
    page->modified = true;

    TempFolder folder;
    NullProgress progress;
    ASSERT_TRUE(SavePage(*page, folder.path("out.Bin"), progress).ok);
    auto saved = Load(folder.path("out.Bin"));
    const Bytes tcs1 = EntryBytes(*saved, "TCS1", "TCS1.dat");
    ASSERT_EQ(tcs1.size(), 29970u);
    EXPECT_EQ(std::string(tcs1.begin(), tcs1.begin() + 5), "Mille");  // channel 1000 opens TCS1
    const Bytes tcs2 = EntryBytes(*saved, "TCS2", "TCS2.dat");
    const std::size_t at = (2500 - 1999) * 30;
    EXPECT_EQ(tcs2[at + 18] << 8 | tcs2[at + 19], 4464);
    const Bytes config = EntryBytes(*saved, "Support", "config.pre");
    ASSERT_EQ(config.size(), 71u);
    EXPECT_EQ(config[0], 1);
    EXPECT_EQ(config[1], 4);
    EXPECT_EQ(std::string(config.begin() + 26, config.begin() + 31), "Nuova");
    EXPECT_EQ(Bytes(config.begin() + 66, config.end()), (Bytes{1, 2, 3, 4, 5}));
    const Bytes list4 = EntryBytes(*saved, "Support", "Lista4.pre");
    ASSERT_EQ(list4.size(), 256u);
    EXPECT_EQ(list4[0] << 8 | list4[1], 1000);

    auto again = Reopen(folder.path("out.Bin"));
    EXPECT_EQ(again->transponderGrid.cell(1, tp::Frequency), "11747,00032");
    EXPECT_EQ(again->channelGrid.cell(1000, ch::Favourites), "8");
}

TEST(SavePage, TheLargestSplitListComesBackWhole) {
    // All ten channel modules, TCS to TCS9: 9,990 channels. The last channel is the
    // last record of TCS9 and nothing is cut from either end.
    ChannelImageSpec spec = MakeLargestChannelImageSpec();
    ASSERT_EQ(spec.channels.size(), 9990u);
    spec.channels.front() = ChannelSpec{"Primo", 0x04, 2, 0x1234};
    spec.channels.back() = ChannelSpec{"Ultimo", 0x04, 255, 0xBEEF};
    auto page = OpenChannelImage(BuildChannelImage(spec));
    ASSERT_EQ(page->channelGrid.rowCount(), 9991);
    EXPECT_EQ(page->channelGrid.cell(9990, ch::Num), "9990");
    EXPECT_EQ(page->channelGrid.cell(9990, ch::Name), "Ultimo");
    EXPECT_EQ(page->channelGrid.cell(9990, ch::Sid), "48879");
    page->channelGrid.setCell(9990, ch::Name, "Fine lista");
    page->modified = true;

    TempFolder folder;
    NullProgress progress;
    const auto result = SavePage(*page, folder.path("out.Bin"), progress);
    ASSERT_TRUE(result.ok) << result.message;

    auto saved = Load(folder.path("out.Bin"));
    for (const char* name : {"TCS", "TCS1", "TCS5", "TCS9"})
        EXPECT_EQ(EntryBytes(*saved, name, std::string(name) + ".dat").size(), 999u * 30) << name;
    const Bytes tcs = EntryBytes(*saved, "TCS", "TCS.dat");
    EXPECT_EQ(Bytes(tcs.begin(), tcs.begin() + 30), EncodeChannel(spec.channels.front()));
    const Bytes tcs9 = EntryBytes(*saved, "TCS9", "TCS9.dat");
    ChannelSpec last = spec.channels.back();
    last.name = "Fine lista";
    EXPECT_EQ(Bytes(tcs9.end() - 30, tcs9.end()), EncodeChannel(last));

    auto again = Reopen(folder.path("out.Bin"));
    ExpectSamePage(*page, *again);
    EXPECT_EQ(again->channelGrid.cell(9990, ch::Name), "Fine lista");
}

TEST(SavePage, FailedEncodingChangesNothing) {
    struct Case {
        const char* name;
        void (*edit)(ListPage&);
        const char* message;
    } cases[] = {
        {"channel", [](ListPage& p) { p.channelGrid.setCell(12, ch::Sid, "abc"); },
         "Canali, riga 12, colonna SID: 'abc' is not a valid integer value"},
        {"status", [](ListPage& p) { p.channelGrid.setCell(3, ch::Status, "ZZ"); },
         "Canali, riga 3, colonna Status: '0xZZ' is not a valid integer value"},
        {"transponder",
         [](ListPage& p) { p.transponderGrid.setCell(2, tp::Frequency, "11747,1234567"); },
         "Transponder, riga 2, colonna Frequenza: '11747,1234567' is not a valid integer value"},
        {"favourite", [](ListPage& p) { p.favouriteGrids[1].setCell(5, fav::Channel, "x"); },
         "Preferiti, lista 2, riga 5, colonna Canale: 'x' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto page =
            OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 100, 8)));
        const auto before = AllEntries(*page->image);
        // A change that encodes fine comes before the bad cell: it must not reach the image either.
        page->transponderGrid.setCell(1, tp::Tid, "4242");
        c.edit(*page);
        page->modified = true;
        TempFolder folder;
        const std::string existing = folder.path("existing.Bin");
        ASSERT_EQ(WriteFileAtomically(existing, Bytes{1, 2, 3}), "");
        NullProgress progress;
        const auto result = SavePage(*page, existing, progress);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(page->modified);
        EXPECT_EQ(AllEntries(*page->image), before);
        std::string error;
        EXPECT_EQ(ReadWholeFile(existing, error), (Bytes{1, 2, 3}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()), {}), 1);
    }
}

// Every cell that cannot be encoded is named at once, in table order, so one round of
// mending is enough: up to twenty, then how many more.
TEST(SavePage, RefusalNamesEveryBadCell) {
    struct Case {
        int badSids;  // rows 1 .. badSids get SID "x"; two transponder cells and one list entry are
                      // bad too
        std::string header, lastLine;
        std::size_t lines;
    };
    const Case cases[] = {
        {1, "4 celle non contengono un numero valido:",
         "Preferiti, lista 3, riga 1, colonna Canale: 'z' is not a valid integer value", 5},
        {17, "20 celle non contengono un numero valido:",
         "Preferiti, lista 3, riga 1, colonna Canale: 'z' is not a valid integer value", 21},
        {18, "21 celle non contengono un numero valido:", "... e altri 1", 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.badSids);
        auto page =
            OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 100, 8)));
        page->transponderGrid.setCell(2, tp::Tid, "y");
        page->transponderGrid.setCell(5, tp::Nid, "-");
        for (int r = 1; r <= c.badSids; ++r) page->channelGrid.setCell(r, ch::Sid, "x");
        page->favouriteGrids[2].setCell(1, fav::Channel, "z");
        page->modified = true;
        TempFolder folder;
        NullProgress progress;
        const auto result = SavePage(*page, folder.path("out.Bin"), progress);
        EXPECT_FALSE(result.ok);
        std::vector<std::string> lines;
        std::string line;
        for (std::istringstream in(result.message); std::getline(in, line);) lines.push_back(line);
        ASSERT_EQ(lines.size(), c.lines) << result.message;
        EXPECT_EQ(lines[0], c.header);
        EXPECT_EQ(lines[1], "Transponder, riga 2, colonna TID: 'y' is not a valid integer value");
        EXPECT_EQ(lines[2], "Transponder, riga 5, colonna NID: '-' is not a valid integer value");
        EXPECT_EQ(lines[3], "Canali, riga 1, colonna SID: 'x' is not a valid integer value");
        EXPECT_EQ(lines.back(), c.lastLine);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()), {}), 0);
    }
}

TEST(SavePage, WriteFailureRestoresTheImage) {
    auto page =
        OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 100, 8)));
    page->configGrid.setCell(1, 1, "Altro");
    page->channelGrid.setCell(1, ch::Name, "Cambiato");
    page->modified = true;
    const auto before = AllEntries(*page->image);
    NullProgress progress;
    const auto result = SavePage(*page, "/nonexistent-folder/out.Bin", progress);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message, "");
    EXPECT_TRUE(page->modified);
    EXPECT_EQ(AllEntries(*page->image), before);
}

TEST(SavePage, SplitRowsThatDoNotCoverAModuleAreRefused) {
    struct Case {
        const char* name;
        std::vector<int> digits;
        int keepRows;  // rows of the page after building; -1 keeps them all
        const char* fragment;
    } cases[] = {
        {"rows removed", {0, 1}, 1500, "non copre il modulo \"TCS1\" (canali 1000-1998)"},
        {"missing block", {0, 2}, -1, "non copre il modulo \"TCS2\""},
        {"no TCS", {1, 2}, -1, "\"TCS1\" non contiene esattamente i canali 1000-1998"},
        {"rows added",
         {0, 1},
         2000,
         "La lista ha 2000 canali, ma i moduli dei canali ne contengono 1998"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 100, 8);
        spec.splitDigits = c.digits;
        auto page = OpenChannelImage(BuildChannelImage(spec));
        const int built = page->channelCount();
        if (c.keepRows >= 0) page->channelGrid.setRowCount(c.keepRows + 1);
        for (int r = built + 1; r <= c.keepRows; ++r)
            page->channelGrid.row(r).cells = page->channelGrid.row(1).cells;
        page->modified = true;
        const auto before = AllEntries(*page->image);
        TempFolder folder;
        NullProgress progress;
        const auto result = SavePage(*page, folder.path("out.Bin"), progress);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(c.fragment), std::string::npos) << result.message;
        EXPECT_FALSE(std::filesystem::exists(folder.path("out.Bin")));
        EXPECT_EQ(AllEntries(*page->image), before);
        EXPECT_TRUE(page->modified);
    }
}

TEST(SavePage, SplitModulesReadElsewhereThanWrittenAreRefused) {
    // A first module of 1500 records puts the second module's channels at 1501, where
    // saving would put them at 1000: writing would move channels between modules.
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 100, 8);
    auto sectors = ChannelImageSectors(spec);
    std::vector<ChannelSpec> big(1500, ChannelSpec{});
    SlotSpec second = sectors[1].slots[1];
    sectors[1].slots = {SlotSpec(ChannelModule("TCS", big))};
    sectors.push_back(SectorSpec::Table({second}));
    auto page = OpenChannelImage(BuildFlashImage(sectors));
    ASSERT_EQ(page->channelCount(), 2499);
    TempFolder folder;
    NullProgress progress;
    const auto result = SavePage(*page, folder.path("out.Bin"), progress);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("\"TCS\""), std::string::npos) << result.message;
}

TEST(SavePage, ShortSupportEntriesKeepTheirLength) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 20, 3);
    auto sectors = ChannelImageSectors(spec);
    ModuleSpec& support = *sectors[0].slots[1].module;
    support.entries[1].bytes = {0x00, 0x07, 0x00, 0x09, 0x00};           // Lista2.pre: 5 bytes
    support.entries[8].bytes = {3, 1, 'A', 'B', 0, 0, 0, 0, 0, 0, 'C'};  // config.pre: 11 bytes
    auto page = OpenChannelImage(BuildFlashImage(sectors));
    page->favouriteGrids[1].setCell(1, fav::Channel, "4");
    page->configGrid.setCell(2, 1, "XYZ");
    TempFolder folder;
    NullProgress progress;
    ASSERT_TRUE(SavePage(*page, folder.path("out.Bin"), progress).ok);
    auto saved = Load(folder.path("out.Bin"));
    EXPECT_EQ(EntryBytes(*saved, "Support", "Lista2.pre"), (Bytes{0x00, 0x04, 0x00, 0x09, 0x00}));
    EXPECT_EQ(EntryBytes(*saved, "Support", "config.pre"),
              (Bytes{3, 1, 'A', 'B', 0, 0, 0, 0, 0, 0, 'X'}));
}

TEST(SavePage, EveryModuleNamedSupportIsWritten) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 20, 3);
    spec.extraModules = {SupportModule(spec)};
    spec.extraModules[0].entries.push_back({"other.bin", Bytes{9, 9}});
    auto page = OpenChannelImage(BuildChannelImage(spec));
    page->favouriteGrids[0].setCell(128, fav::Channel, "17");
    TempFolder folder;
    NullProgress progress;
    ASSERT_TRUE(SavePage(*page, folder.path("out.Bin"), progress).ok);
    auto saved = Load(folder.path("out.Bin"));
    int written = 0;
    for (int i = 0; i < saved->moduleCount(); ++i) {
        KvxModule* m = saved->module(i);
        if (m->name() != "Support") continue;
        const Bytes& list = m->entry(0)->data();
        EXPECT_EQ(list[254] << 8 | list[255], 17);
        ++written;
    }
    EXPECT_EQ(written, 2);
    EXPECT_EQ(EntryBytes(*saved, "Support", "other.bin"),
              (Bytes{9, 9}));  // other entries untouched
}

TEST(SavePage, FileOpenedThroughALaterSectorOpensAgainAsTheSamePage) {
    // Sector 0's first slot is empty and its first module, "Support", has entries named
    // otherwise: the save keeps that slot empty, so that opening the file (type check
    // included, as the open command does) gives the same page back.
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 20, 3);
    auto sectors = ChannelImageSectors(spec);
    sectors[0].slots = {SlotSpec::Empty(), *sectors[0].slots[1].module,
                        *sectors[0].slots[0].module};
    auto page = OpenChannelImage(BuildFlashImage(sectors));
    TempFolder folder;
    NullProgress progress;
    const auto result = SavePage(*page, folder.path("out.Bin"), progress);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.warning, "");
    OpenParams params = FixtureOpenParams();
    params.fileName = folder.path("out.Bin");
    const OpenResult reopened = OpenPage(params, progress);
    ASSERT_EQ(reopened.status, OpenResult::Status::Ok) << reopened.message;
    ExpectSamePage(*reopened.page, *page);
}

TEST(SavePage, AWrittenFileThatWouldNotOpenIsRefused) {
    // The temporary file is damaged after writing so that the type check stops at the
    // first module (its first entry no longer begins with the module's name): the save
    // is refused with the reason, the target keeps its content, the page stays modified.
    auto page = OpenChannelImage(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 20, 3)));
    page->modified = true;
    TempFolder folder;
    const std::string target = folder.path("out.Bin");
    ASSERT_EQ(WriteFileAtomically(target, Bytes{1, 2, 3}), "");
    PageSaveOptions options;
    options.afterTempWritten = [](const std::string& tempPath) {
        std::string error;
        Bytes bytes = *ReadWholeFile(tempPath, error);
        const std::size_t header = static_cast<std::size_t>(bytes[0] | bytes[1] << 8);
        bytes[header + 16] = 'X';  // "TPT.dat" -> "XPT.dat"
        ASSERT_EQ(WriteFileAtomically(tempPath, bytes), "");
    };
    NullProgress progress;
    const auto result = SavePage(*page, target, progress, options);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "Il file scritto non verrebbe riconosciuto come immagine flash riaprendolo (il primo "
              "modulo del settore "
              "0 non ha un nome compatibile): salvataggio annullato, il file di destinazione non è "
              "stato modificato.");
    std::string error;
    EXPECT_EQ(*ReadWholeFile(target, error), (Bytes{1, 2, 3}));
    EXPECT_TRUE(page->modified);
}
