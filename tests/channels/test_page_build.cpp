#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "channel_fixtures.h"
#include "channels/page_io.h"
#include "channels/records.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

using Cells = std::vector<std::string>;

// Records what the build reports through the gauge.
struct RecordingProgress : Progress {
    std::vector<std::string> calls;
    std::vector<int> values;
    void show(int p) override { calls.push_back("show " + std::to_string(p)); }
    void set(int p) override { values.push_back(p); }
    void hide() override { calls.push_back("hide"); }
    void status(const std::string& t) override { calls.push_back("status " + t); }
};

std::unique_ptr<ListPage> Build(const Bytes& image, Progress& progress, const OpenParams& params = FixtureOpenParams()) {
    auto file = std::make_shared<KvxImage>();
    EXPECT_TRUE(file->loadBytes(image, "x.Bin").ok());
    return BuildPage(file, params, progress);
}

ChannelSpec ChannelAt(const std::string& name, std::uint8_t transponder, std::uint16_t vpid = 0x200,
                    std::uint16_t apid = 0x28A, std::uint8_t status = 0x04) {
    ChannelSpec c;
    c.name = name;
    c.transponder = transponder;
    c.vpid = vpid;
    c.apid = apid;
    c.status = status;
    return c;
}

TransponderSpec TransponderAt(std::int32_t offset, std::uint16_t tid = 1) {
    TransponderSpec t;
    t.offsetHz = offset;
    t.tid = tid;
    return t;
}

}  // namespace

TEST(BuildPage, SplitPageCellsColoursAndFavourites) {
    ChannelImageSpec spec;
    spec.layout = ListLayout::Split;
    spec.transponders = {TransponderAt(1997000000, 1100), TransponderAt(1147000000, 2), TransponderAt(0, 3),
                         TransponderAt(1500000000, 4)};
    spec.transponders[1].flags = 0x0B;  // high band, H, satellite B
    spec.channels = {
        ChannelAt("NEWS", 1),                              // 1 TV
        ChannelAt("Radio", 2, 0xFFFF),                     // 2 radio
        ChannelAt("Dati", 2, 0xFFFF, 0xFFFF),              // 3 data
        ChannelAt("Spento", 3, 0x200, 0x28A, 0x00),        // 4 inactive
    };
    spec.favourites[0] = {1, 0, 4, 1};   // channel 1 twice: its bit is added once
    spec.favourites[2] = {1, 2};
    spec.favourites[7] = {2000};         // beyond the table: kept, names nothing
    spec.listNames = {"TV", "", "Sport", "", "", "", "", "ABCDEFGH"};
    spec.versionMajor = 1;
    spec.versionMinor = 4;

    RecordingProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->layout, ListLayout::Split);
    EXPECT_EQ(page->channelCount(), 1998);  // two modules of 999
    EXPECT_EQ(page->transponderCount(), 4);
    EXPECT_FALSE(page->modified);
    EXPECT_EQ(page->fileName, "");
    EXPECT_EQ(page->symbolRates, FixtureRates());

    const Grid& ch = page->channelGrid;
    EXPECT_EQ(ch.cells(1), (Cells{"1", "NEWS", "1", "0", "512", "650", "65535", "65535", "512", "04", "5"}));
    EXPECT_EQ(ch.cell(2, ch::Favourites), "4");
    EXPECT_EQ(ch.cell(3, ch::Favourites), "0");
    EXPECT_EQ(ch.cell(4, ch::Favourites), "1");
    EXPECT_EQ(ch.colour(1), kColourChannel);
    EXPECT_EQ(ch.colour(2), kColourRadio);
    EXPECT_EQ(ch.colour(3), kColourNoAudioVideo);
    EXPECT_EQ(ch.colour(4), kColourGrey);
    EXPECT_EQ(ch.cell(1000, ch::Num), "1000");  // an empty record of the second module
    EXPECT_EQ(ch.colour(1000), kColourGrey);

    const Grid& tpg = page->transponderGrid;
    EXPECT_EQ(tpg.row(1).cells, (Cells{"1", "11747", "1100", "0", "0", "27500", "3/4", "V", "Off", "HotBird"}));
    EXPECT_EQ(tpg.colour(1), kColourInUse);
    EXPECT_EQ(tpg.cell(2, tp::Frequency), "11747");
    EXPECT_EQ(tpg.cell(2, tp::Polarisation), "H");
    EXPECT_EQ(tpg.cell(2, tp::Tone), "On");
    EXPECT_EQ(tpg.cell(2, tp::Satellite), "Astra");
    EXPECT_EQ(tpg.colour(3), kColourGrey);  // offset 0
    EXPECT_EQ(tpg.cell(3, tp::Frequency), "0");
    // Transponder 4 is named by no channel: "0" and grey whatever it stores.
    EXPECT_EQ(tpg.cell(4, tp::Frequency), "0");
    EXPECT_EQ(tpg.colour(4), kColourGrey);
    EXPECT_EQ(tpg.cell(4, tp::Tid), "4");

    const Grid& list1 = page->favouriteGrids[0];
    EXPECT_EQ(list1.cells(1), (Cells{"1", "NEWS", "1"}));
    EXPECT_EQ(list1.colour(1), kColourChannel);
    EXPECT_EQ(list1.cells(2), (Cells{"2", "", "0"}));
    EXPECT_EQ(list1.colour(2), kColourGrey);
    EXPECT_EQ(list1.cells(3), (Cells{"3", "Spento", "4"}));
    EXPECT_EQ(list1.colour(3), kColourGrey);  // the inactive channel's colour
    EXPECT_EQ(list1.cells(128), (Cells{"128", "", "0"}));
    EXPECT_EQ(page->favouriteGrids[2].colour(2), kColourRadio);
    EXPECT_EQ(page->favouriteGrids[7].cells(1), (Cells{"1", "", "2000"}));

    EXPECT_EQ(page->versionText, "Versione: 1.4");
    EXPECT_EQ(page->configGrid.cell(1, 0), "1");
    EXPECT_EQ(page->configGrid.cell(1, 1), "TV");
    EXPECT_EQ(page->configGrid.cell(3, 1), "Sport");
    EXPECT_EQ(page->configGrid.cell(8, 0), "8");
    EXPECT_EQ(page->configGrid.cell(8, 1), "ABCDEFGH");

    // The gauge: shown and hidden around each channel module. After row n it shows
    // n * 100 / 1999 (the grid's row count, title row included), moved once per whole
    // percent: 0 to 49 over the first module, 50 to 99 over the second. It never
    // reaches 100, since the last row is 1998 of 1999.
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"show 0", "hide", "show 0", "hide"}));
    std::vector<int> everyPercent(100);
    std::iota(everyPercent.begin(), everyPercent.end(), 0);
    EXPECT_EQ(progress.values, everyPercent);
}

TEST(BuildPage, FavouritesEntryNamingTheLastChannelIsThatChannel) {
    // Two modules: channels 1..1998. Entries for 1998 and 1999 sit on either side of the end.
    ChannelImageSpec spec;
    spec.layout = ListLayout::Split;
    spec.transponders = {TransponderAt(1997000000, 1100)};
    spec.channels.resize(1998, ChannelAt("", 1, 0x200, 0x28A, 0x00));
    spec.channels[1997] = ChannelAt("Ultimo", 1, 0xFFFF);
    spec.favourites[0] = {1998, 1999};
    spec.favourites[5] = {1997, 1998};
    RecordingProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->channelCount(), 1998);
    const Grid& list1 = page->favouriteGrids[0];
    EXPECT_EQ(list1.cells(1), (Cells{"1", "Ultimo", "1998"}));
    EXPECT_EQ(list1.colour(1), kColourRadio);
    EXPECT_EQ(list1.cells(2), (Cells{"2", "", "1999"}));  // beyond the table
    EXPECT_EQ(list1.colour(2), kColourNone);
    EXPECT_EQ(page->favouriteGrids[5].cells(2), (Cells{"2", "Ultimo", "1998"}));
    EXPECT_EQ(page->channelGrid.cell(1998, ch::Favourites), std::to_string(1 + 32));
    EXPECT_EQ(page->channelGrid.cell(1997, ch::Favourites), "32");
}

TEST(BuildPage, SingleLayoutIgnoresTheSupportModule) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Single, 50, 10);
    spec.favourites[0] = {1, 2, 3};
    spec.listNames[0] = "TV";
    NullProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    EXPECT_EQ(page->layout, ListLayout::Single);
    EXPECT_EQ(page->channelCount(), 50);
    for (int r = 1; r <= 50; ++r) EXPECT_EQ(page->channelGrid.cell(r, ch::Favourites), "0");
    EXPECT_EQ(page->favouriteGrids[0].cells(1), (Cells{"1", "", "0"}));
    EXPECT_EQ(page->configGrid.cell(1, 1), "");
    EXPECT_EQ(page->versionText, "Versione: ");
}

TEST(BuildPage, NoChannelModule) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::None, 0, 5);
    spec.favourites[0] = {1};
    NullProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    EXPECT_EQ(page->layout, ListLayout::None);
    EXPECT_EQ(page->channelGrid.rowCount(), 1);
    EXPECT_EQ(page->transponderCount(), 5);
    for (int t = 1; t <= 5; ++t) {
        EXPECT_EQ(page->transponderGrid.cell(t, tp::Frequency), "0");
        EXPECT_EQ(page->transponderGrid.colour(t), kColourGrey);
    }
    EXPECT_EQ(page->favouriteGrids[0].cells(1), (Cells{"1", "", "0"}));
}

TEST(BuildPage, SplitModulesAreReadInTheOrderOfTheirDigit) {
    ChannelImageSpec spec;
    spec.transponders = {TransponderAt(1997000000)};
    spec.channels.resize(3 * 999, ChannelAt("", 1, 0x200, 0x28A, 0));
    spec.channels[0] = ChannelAt("Primo", 1);
    spec.channels[999] = ChannelAt("Mille", 1);
    spec.channels[1998] = ChannelAt("Duemila", 1);
    spec.splitDigits = {2, 0, 1};  // image order: TCS2, TCS, TCS1
    NullProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    ASSERT_EQ(page->channelCount(), 2997);
    EXPECT_EQ(page->channelGrid.cell(1, ch::Name), "Primo");
    EXPECT_EQ(page->channelGrid.cell(1000, ch::Name), "Mille");
    EXPECT_EQ(page->channelGrid.cell(1999, ch::Name), "Duemila");
    EXPECT_EQ(page->channelGrid.cell(1999, ch::Num), "1999");
}

TEST(BuildPage, OnlyTheFirstModuleOfEachName) {
    // Two transponder tables read into one numbering (the second is packed by its name);
    // a repeated name (any case) is skipped.
    ModuleSpec second = TransponderModule({TransponderAt(1000000000, 2), TransponderAt(1100000000, 3)}, "TPTB");
    second.entries[0].bytes = PackAsLiterals(second.entries[0].bytes);
    const std::vector<SectorSpec> sectors{
        SectorSpec::Table({SlotSpec(TransponderModule({TransponderAt(1997000000, 1)}, "TPT")),
                           SlotSpec(second),
                           SlotSpec(TransponderModule({TransponderAt(1200000000, 9)}, "TPTb")),
                           SlotSpec(TransponderModule({TransponderAt(1200000000, 9)}, "TPT"))}),
        SectorSpec::Table({SlotSpec(ChannelModule("TCS", {ChannelAt("A", 1), ChannelAt("B", 3)})),
                           SlotSpec(ChannelModule("TCS", {ChannelAt("C", 1)}))}),
    };
    NullProgress progress;
    auto page = Build(BuildFlashImage(sectors), progress);
    EXPECT_EQ(page->layout, ListLayout::Single);
    EXPECT_EQ(page->channelCount(), 2);
    ASSERT_EQ(page->transponderCount(), 3);
    EXPECT_EQ(page->transponderGrid.cell(3, tp::Tid), "3");
    EXPECT_EQ(page->transponderGrid.cell(3, tp::Frequency), "10850");
    EXPECT_EQ(page->transponderGrid.cell(2, tp::Frequency), "0");  // no channel names 2
}

TEST(BuildPage, TransponderBeyond255IsNeverReferenced) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Single, 10, 0);
    for (int t = 0; t < 257; ++t) spec.transponders.push_back(TransponderAt(1000000000 + t, static_cast<std::uint16_t>(t)));
    spec.channels[0].transponder = 1;  // 257 mod 256 would be 1 as well
    NullProgress progress;
    auto page = Build(BuildChannelImage(spec), progress);
    ASSERT_EQ(page->transponderCount(), 257);
    EXPECT_EQ(page->transponderGrid.colour(1), kColourInUse);
    EXPECT_EQ(page->transponderGrid.colour(256), kColourGrey);
    EXPECT_EQ(page->transponderGrid.colour(257), kColourGrey);
}

TEST(BuildPage, ShortSupportEntriesReadMissingBytesAsZero) {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 20, 3);
    auto sectors = ChannelImageSectors(spec);
    ModuleSpec& support = *sectors[0].slots[1].module;
    ASSERT_EQ(support.name, "Support");
    support.entries[0].bytes = {0x00, 0x07, 0x00};       // Lista1.pre: one slot and a half
    support.entries[8].bytes = {3, 1, 'N', 'o', 'm', 'e'};  // config.pre of 6 bytes
    NullProgress progress;
    auto page = Build(BuildFlashImage(sectors), progress);
    EXPECT_EQ(page->favouriteGrids[0].cell(1, fav::Channel), "7");
    EXPECT_EQ(page->favouriteGrids[0].cell(2, fav::Channel), "0");
    EXPECT_EQ(page->versionText, "Versione: 3.1");
    EXPECT_EQ(page->configGrid.cell(1, 1), "Nome");
    EXPECT_EQ(page->configGrid.cell(2, 1), "");
}

TEST(OpenPage, StatusesOfFilesThatAreNoChannelList) {
    TempFolder folder;
    NullProgress progress;
    OpenParams params;
    params.fileName = folder.path("missing.Bin");
    auto missing = OpenPage(params, progress);
    EXPECT_EQ(missing.status, OpenResult::Status::Unreadable);
    EXPECT_NE(missing.message.find("missing.Bin"), std::string::npos);
    EXPECT_FALSE(missing.page);

    params.fileName = folder.path("zeros.Bin");
    ASSERT_EQ(WriteFileAtomically(params.fileName, Bytes(70000, 0)), "");
    auto zeros = OpenPage(params, progress);
    EXPECT_EQ(zeros.status, OpenResult::Status::Unrecognised);
    EXPECT_EQ(zeros.message, "Formato file sconosciuto");

    MainCodeSpec mainCode;
    mainCode.modules = {{"boot", {{"boot.app", Bytes(100, 1)}}}, {"main", {{"main.bin", Bytes(50, 2)}}}};
    params.fileName = folder.path("firm.Bin");
    ASSERT_EQ(WriteFileAtomically(params.fileName, BuildMainCodeImage(mainCode).bytes), "");
    auto firm = OpenPage(params, progress);
    EXPECT_EQ(firm.status, OpenResult::Status::MainCode);
    EXPECT_EQ(firm.message, kMainCodeMessage);

    params.fileName = folder.path("list.Bin");
    ASSERT_EQ(WriteFileAtomically(params.fileName, BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 30, 4))), "");
    auto ok = OpenPage(params, progress);
    ASSERT_EQ(ok.status, OpenResult::Status::Ok);
    ASSERT_TRUE(ok.page);
    EXPECT_EQ(ok.page->fileName, params.fileName);
    EXPECT_EQ(ok.page->configGrid.cell(1, 1), "TV");
}

TEST(BuildPage, RepeatedSupportEntryNamesReadTheFirstAndSaveBackTheSamePage) {
    // A damaged support module with two "Lista3.pre" and two "config.pre" entries: the
    // first of each name is shown, the favourites column agrees with the list shown, and
    // the page saved and opened again is the same page.
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 20, 3);
    spec.favourites = {};
    spec.favourites[0] = {1};
    spec.favourites[2] = {1, 2};
    spec.favourites[3] = {5};
    spec.listNames[0] = "Primo";
    auto sectors = ChannelImageSectors(spec);
    ModuleSpec& support = *sectors[0].slots[1].module;
    ASSERT_EQ(support.entries[3].name, "Lista4.pre");
    support.entries[3].name = "Lista3.pre";
    Bytes secondConfig = support.entries[8].bytes;
    secondConfig[0] = 9;
    secondConfig[2] = 'X';
    support.entries.push_back({"config.pre", secondConfig});
    NullProgress progress;
    auto image = std::make_shared<KvxImage>();
    ASSERT_TRUE(image->loadBytes(BuildFlashImage(sectors), "x.Bin").ok());
    auto page = BuildPage(image, FixtureOpenParams(), progress);
    EXPECT_EQ(page->favouriteGrids[2].cell(1, fav::Channel), "1");
    EXPECT_EQ(page->favouriteGrids[2].cell(2, fav::Channel), "2");
    EXPECT_EQ(page->favouriteGrids[3].cell(1, fav::Channel), "0");
    EXPECT_EQ(page->channelGrid.cell(1, ch::Favourites), std::to_string(1 | 4));  // lists 1 and 3
    EXPECT_EQ(page->channelGrid.cell(5, ch::Favourites), "0");
    EXPECT_EQ(page->configGrid.cell(1, 1), "Primo");

    Bytes saved;
    ASSERT_TRUE(SavePageToBytes(*page, saved, progress).ok);
    auto again = std::make_shared<KvxImage>();
    ASSERT_TRUE(again->loadFlashBytes(saved, "x.Bin").ok());
    auto reopened = BuildPage(again, FixtureOpenParams(), progress);
    EXPECT_EQ(reopened->channelGrid, page->channelGrid);
    EXPECT_EQ(reopened->favouriteGrids, page->favouriteGrids);
    EXPECT_EQ(reopened->configGrid, page->configGrid);
    EXPECT_EQ(reopened->versionText, page->versionText);
}

namespace {

// A packed stream of eight literal bytes and then matches eight back: it decodes to
// `size` bytes from a couple of kilobytes, as a crafted table would.
Bytes PackedRepeats(std::size_t size) {
    PackedEncoder encoder;
    encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
    for (std::size_t left = size - 8; left > 0;) {
        const int length = static_cast<int>(std::min<std::size_t>(64, left));
        encoder.Match(8, length);
        left -= static_cast<std::size_t>(length);
    }
    encoder.EndMarker();
    Bytes packed = encoder.Finish();
    EXPECT_EQ(encoder.Expected().size(), size);
    return packed;
}

// Modules "TPT1", "TPT2", ... (packed: the name holds "TPT" but is not "TPT"), each a
// table decoding to the given size, all in sector 0.
Bytes PackedTransponderTables(const std::vector<std::size_t>& sizes) {
    std::vector<SlotSpec> slots;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = "TPT" + std::to_string(i + 1);
        slots.push_back(ModuleSpec{.name = name, .entries = {EntrySpec{.name = name, .bytes = PackedRepeats(sizes[i])}}});
    }
    return BuildFlashImage({SectorSpec::Table(slots)});
}

}  // namespace

TEST(BuildPage, PackedTablesAreDecodedNoFurtherThanAModuleCanHold) {
    struct Case {
        const char* label;
        std::vector<std::size_t> sizes;
        int transponders;     // rows of the page built; -1 when refused
        const char* refusal;  // the message of the refusal
    };
    const std::vector<std::size_t> eightFull(8, 65468);
    auto withLast = [&](std::size_t last) {
        auto sizes = eightFull;
        sizes.push_back(last);
        return sizes;
    };
    const Case cases[] = {
        {"one table at the limit", {65468}, 5455, nullptr},
        {"one table a byte over", {65469}, -1,
         "La tabella del modulo \"TPT1\" supera 65468 byte, il massimo che un modulo può contenere in un settore: "
         "la lista non può essere aperta."},
        {"a table of a megabyte", {1 << 20}, -1,
         "La tabella del modulo \"TPT1\" supera 65468 byte, il massimo che un modulo può contenere in un settore: "
         "la lista non può essere aperta."},
        {"all tables at the limit", withLast(524288 - 8 * 65468), 8 * 5455 + 45, nullptr},
        {"all tables a byte over", withLast(524288 - 8 * 65468 + 1), -1,
         "Con la tabella del modulo \"TPT9\" le tabelle della lista superano insieme 524288 byte, quanti ne contiene "
         "un'immagine intera: la lista non può essere aperta."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        NullProgress progress;
        const Bytes image = PackedTransponderTables(c.sizes);
        if (c.refusal) {
            try {
                Build(image, progress);
                ADD_FAILURE() << "built";
            } catch (const PageLimitError& refused) {
                EXPECT_STREQ(refused.what(), c.refusal);
            }
        } else {
            const auto page = Build(image, progress);
            EXPECT_EQ(page->transponderCount(), c.transponders);
        }
    }
}
