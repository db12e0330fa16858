// Flash images: type check, extraction, module table after loading.
#include <gtest/gtest.h>

#include "image/kvx_image.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A small image in the shape of a receiver's: the support module first (its first
// entry begins with its name, which is what the type check looks at), then the list
// modules, a raw sector in sector 3.
Bytes TypicalImage() {
    ModuleSpec support{"Support", {{"Support.bin", Text("support-data")}, {"Lista1.pre", PatternBytes(50, 1)}}};
    ModuleSpec tpt{"TPT", {{"tpt.bin", PatternBytes(120, 2)}}};
    ModuleSpec tcs{"TCS", {{"tcs.bin", PatternBytes(301, 3)}}};
    ModuleSpec code{"Code", {{"code.bin", PatternBytes(7, 4)}}};
    return BuildFlashImage({SectorSpec::Table({support, tpt}), SectorSpec::Table({tcs}), SectorSpec::Blank(0xFF),
                            SectorSpec::Raw(MakeRawSector(9)), SectorSpec::Table({code})});
}

struct ModuleView {
    std::string name;
    int kind, sector, slot, entries;
};

std::vector<ModuleView> ModulesOf(const KvxImage& f) {
    std::vector<ModuleView> out;
    for (int i = 0; i < f.moduleCount(); ++i) {
        const KvxModule* m = f.module(i);
        out.push_back({m->name(), m->kind(), m->sector(), m->slot(), m->entryCount()});
    }
    return out;
}

}  // namespace

TEST(FlashImage, LoadsModulesEntriesAndBytesInFileOrder) {
    Bytes image = TypicalImage();
    KvxImage f;
    LoadResult r = f.loadBytes(image, "x.Bin");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(f.imageType(), 1);
    EXPECT_EQ(f.fileSize(), kFlashImageSize);
    EXPECT_EQ(f.variant(), 0);
    EXPECT_EQ(f.ucrSector(), 3);
    ASSERT_EQ(f.moduleCount(), 5);
    const char* names[] = {"Support", "TPT", "TCS", "UCR", "Code"};
    const int kinds[] = {1, 2, 2, 3, 1};
    const int sectors[] = {0, 0, 1, 3, 4};
    const int slots[] = {0, 1, 0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        const KvxModule* m = f.module(i);
        EXPECT_EQ(m->name(), names[i]);
        EXPECT_EQ(m->kind(), kinds[i]);
        EXPECT_EQ(m->sector(), sectors[i]);
        EXPECT_EQ(m->slot(), slots[i]);
        EXPECT_EQ(m->listIndex(), i);
        EXPECT_EQ(m->source(), 1);
    }
    EXPECT_EQ(f.totalEntries(), 6);
    // Entry data, positions and offsets as the layout puts them.
    const KvxModule* support = f.module(0);
    EXPECT_EQ(support->offset(), 32);
    const KvxEntry* first = support->entry(0);
    EXPECT_EQ(first->name(), "Support.bin");
    EXPECT_EQ(first->offset(), 16 + 40);
    EXPECT_EQ(first->filePos(), 32 + 56);
    EXPECT_EQ(first->data(), Text("support-data"));
    EXPECT_EQ(support->entry(1)->data(), PatternBytes(50, 1));
    EXPECT_EQ(support->entry(1)->offset(), 56 + 12);
    // Sizes are computed, not read: 4 + (20 + 12) + (20 + 50) = 106, rounded to 108.
    EXPECT_EQ(support->size(), 108);
    EXPECT_EQ(f.module(3)->size(), 65536);
    EXPECT_EQ(f.module(3)->entry(0)->data(), MakeRawSector(9));
    EXPECT_EQ(f.module(3)->offset(), 3 * 65536);
}

TEST(FlashImage, EmptySlotsAreSkippedAndSlotsCountNonEmptyOnly) {
    ModuleSpec a{"AAA", {{"AAA.x", Text("1")}}};
    ModuleSpec b{"BBB", {{"b", Text("22")}}};
    ModuleSpec c{"CCC", {{"c", Text("333")}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({a, SlotSpec::Empty(0), b, SlotSpec::Empty(0xFFFF), c})});
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(image).ok());
    auto mods = ModulesOf(f);
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(mods[1].name, "BBB");
    EXPECT_EQ(mods[1].slot, 1);
    EXPECT_EQ(mods[2].name, "CCC");
    EXPECT_EQ(mods[2].slot, 2);
}

TEST(FlashImage, BigEndianStoredOffsetAndSizeAreRead) {
    ModuleSpec a{"AAA", {{"AAA1", Text("hello")}, {"be", Text("big-endian!"), true}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({a})});
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(image).ok());
    const KvxEntry* s = f.module(0)->entry(1);
    EXPECT_EQ(s->data(), Text("big-endian!"));
    EXPECT_EQ(s->size(), 11);
}

TEST(FlashImage, KindFollowsNameIgnoringCase) {
    struct Case {
        const char* name;
        int kind;
    } cases[] = {{"tpt", 2},   {"TPT", 2},      {"TCS", 2},   {"TCS1", 2},   {"xtcsy", 2}, {"PATCH", 2},
                 {"mail", 2},  {"TPTX", 1},     {"Support", 1}, {"PATCHES", 1}, {"MAILBOX", 1}};
    std::vector<SlotSpec> slots;
    slots.push_back(ModuleSpec{"First", {{"First", Text("f")}}});
    for (const auto& c : cases) slots.push_back(ModuleSpec{c.name, {{"e", Text("x")}}});
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildFlashImage({SectorSpec::Table(slots)})).ok());
    ASSERT_EQ(f.moduleCount(), 1 + static_cast<int>(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const KvxModule* m = f.module(static_cast<int>(i + 1));
        EXPECT_EQ(m->kind(), cases[i].kind) << cases[i].name;
        EXPECT_EQ(m->entry(0)->kind(), cases[i].kind) << cases[i].name;
    }
}

TEST(FlashImage, BlankSectorsYieldNoModules) {
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        Bytes image = BuildFlashImage({SectorSpec::Table({a}), SectorSpec::Blank(fill), SectorSpec::Blank(fill)});
        KvxImage f;
        ASSERT_TRUE(f.loadBytes(image).ok());
        EXPECT_EQ(f.moduleCount(), 1);
    }
}

TEST(FlashImage, UcrTestIsCaseSensitive) {
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    Bytes upper = MakeRawSector(1);
    upper[0] = 'U';
    upper[1] = 'C';
    upper[2] = 'R';
    // Read as a table: its first slot's bytes are 'U','C' = 0x4355, pointing at noise.
    Bytes image = BuildFlashImage({SectorSpec::Table({a}), SectorSpec::Raw(upper)});
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(image).ok());
    EXPECT_EQ(f.ucrSector(), -1);
    for (int i = 0; i < f.moduleCount(); ++i) EXPECT_NE(f.module(i)->kind(), 3);
}

// The type check: which sector's first slot decides, and what happens otherwise.
TEST(FlashImage, TypeCheckTable) {
    ModuleSpec good{"Support", {{"Support.bin", Text("x")}}};
    ModuleSpec bad{"Support", {{"Other.bin", Text("x")}}};
    ModuleSpec ten{"ABCDEFGHIJ", {{"ABCDEFGHIJ", Text("x")}}};
    struct Case {
        const char* what;
        Bytes image;
        int type;
    };
    std::vector<Case> cases;
    cases.push_back({"first module matches", BuildFlashImage({SectorSpec::Table({good})}), 1});
    cases.push_back({"names differ", BuildFlashImage({SectorSpec::Table({bad}), SectorSpec::Table({good})}), 0});
    cases.push_back({"empty first slot goes on to sector 1",
                     BuildFlashImage({SectorSpec::Table({SlotSpec::Empty(0), bad}), SectorSpec::Table({good})}), 1});
    cases.push_back({"0xFF slot goes on", BuildFlashImage({SectorSpec::Blank(0xFF), SectorSpec::Table({good})}), 1});
    cases.push_back({"raw sectors go on",
                     BuildFlashImage({SectorSpec::Raw(MakeRawSector(1)), SectorSpec::Raw(MakeRawSector(2)),
                                      SectorSpec::Table({good})}),
                     1});
    cases.push_back({"only sectors 0 to 2 are tried",
                     BuildFlashImage({SectorSpec::Blank(), SectorSpec::Blank(), SectorSpec::Blank(),
                                      SectorSpec::Table({good})}),
                     0});
    // A ten-character name runs on into the size field; the entry name then is too
    // short to match.
    cases.push_back({"ten-character name", BuildFlashImage({SectorSpec::Table({ten})}), 0});
    Bytes shortFile = BuildFlashImage({SectorSpec::Table({good})});
    shortFile.resize(65535);
    cases.push_back({"shorter than 64 KiB", shortFile, 0});
    Bytes oneSector = BuildFlashImage({SectorSpec::Table({good})});
    oneSector.resize(65536);
    cases.push_back({"exactly one sector", oneSector, 1});
    for (auto& c : cases) {
        KvxImage f;
        LoadResult r = f.loadBytes(c.image);
        EXPECT_EQ(f.imageType(), c.type) << c.what;
        EXPECT_EQ(r.ok(), c.type != 0) << c.what;
        if (c.type == 0) {
            EXPECT_EQ(r.status, LoadResult::Status::Unrecognised) << c.what;
            EXPECT_EQ(r.message, "Formato file sconosciuto") << c.what;
            EXPECT_EQ(f.moduleCount(), 0) << c.what;
        }
    }
}

TEST(FlashImage, TenCharacterNameMatchesWhenEntryNameCarriesTheSizeBytes) {
    // The module name read for the check continues into the size field up to the first
    // NUL (here the size 28 = 0x1C, then 0x00); an entry named with that byte too passes.
    ModuleSpec ten{"ABCDEFGHIJ", {{"ABCDEFGHIJ\x1C", Text("x")}}};
    ASSERT_EQ(BuildFlashModule(ten)[10], 0x1C);
    ASSERT_EQ(BuildFlashModule(ten)[11], 0x00);
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildFlashImage({SectorSpec::Table({ten})})).ok());
    EXPECT_EQ(f.module(0)->name(), "ABCDEFGHIJ");
}

TEST(FlashImage, UnreadableFileNamesFileAndReason) {
    KvxImage f;
    LoadResult r = f.loadFile("/nonexistent-dir/none.Bin");
    EXPECT_EQ(r.status, LoadResult::Status::Unreadable);
    EXPECT_NE(r.message.find("/nonexistent-dir/none.Bin"), std::string::npos);
    EXPECT_NE(r.message.find("No such file"), std::string::npos);
    EXPECT_EQ(f.imageType(), 0);
}
