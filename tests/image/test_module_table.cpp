// The module table: sizes, lookups, ordering, copies, deletion.
#include <gtest/gtest.h>

#include "image/kvx_image.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

ModuleRecord FlashModule(const std::string& name, int sector, int slot, int offset = 0x20) {
    ModuleRecord m;
    m.name = name;
    m.kind = 2;
    m.source = 1;
    m.sector = sector;
    m.slot = slot;
    m.offset = offset;
    return m;
}

EntryRecord EntryOfSize(const std::string& name, int size) {
    EntryRecord s;
    s.name = name;
    s.size = size;
    return s;
}

std::vector<std::string> NamesOf(const KvxImage& f) {
    std::vector<std::string> out;
    for (int i = 0; i < f.moduleCount(); ++i) out.push_back(f.module(i)->name());
    return out;
}

}  // namespace

TEST(ModuleTable, SizeIsComputedFromEntries) {
    KvxImage f;
    KvxModule* flash = f.addModule(FlashModule("TPT", 0, 0));
    EXPECT_EQ(flash->size(), 4);
    flash->addEntry(EntryOfSize("a", 100));
    flash->addEntry(EntryOfSize("b", 30));
    EXPECT_EQ(flash->size(), 176);  // 4 + 120 + 50 = 174, rounded up

    ModuleRecord mc;
    mc.name = "kernel";
    mc.kind = 1;
    mc.source = 2;
    mc.sector = 3;  // not taken over for a main-code module
    KvxModule* main = f.addModule(mc);
    EXPECT_EQ(main->sector(), kUnplaced);
    main->addEntry(EntryOfSize("a", 10));
    main->addEntry(EntryOfSize("b", 7));
    EXPECT_EQ(main->size(), 20);

    ModuleRecord raw = FlashModule("UCR", 1, 0);
    raw.kind = 3;
    KvxModule* r = f.addModule(raw);
    r->addEntry(EntryOfSize("UCR", 65536));
    EXPECT_EQ(r->size(), 65536);
    EXPECT_EQ(f.dataSize(), 176 + 20 + 65536);

    // Replacing bytes changes the entry only.
    flash->entry(0)->setData(Bytes(500, 1));
    EXPECT_EQ(flash->entry(0)->size(), 500);
    EXPECT_EQ(flash->size(), 176);
    EXPECT_EQ(flash->entry(1)->offset(), 0);
}

TEST(ModuleTable, LookupsOutOfRangeGiveNone) {
    KvxImage f;
    KvxModule* m = f.addModule(FlashModule("A", 0, 0));
    m->addEntry(EntryOfSize("e", 1));
    for (int bad : {-1, 1, 5}) {
        EXPECT_EQ(f.module(bad), nullptr);
        EXPECT_FALSE(f.moduleRecord(bad).has_value());
        EXPECT_EQ(m->entry(bad), nullptr);
        EXPECT_FALSE(m->entryRecord(bad).has_value());
    }
    ASSERT_TRUE(f.moduleRecord(0).has_value());
    EXPECT_EQ(f.moduleRecord(0)->name, "A");
    EXPECT_EQ(m->entryRecord(0)->name, "e");
}

TEST(ModuleTable, CopyEntryLaysOffsetsOutAfterTheRecords) {
    KvxImage f;
    KvxModule* src = f.addModule(FlashModule("S", 0, 0));
    KvxEntry* a = src->addEntry(EntryOfSize("a", 0));
    a->setData(Text("12345"));
    KvxEntry* b = src->addEntry(EntryOfSize("b", 0));
    b->setData(Text("xy"));
    KvxModule* dst = f.addModule(FlashModule("D", 0, 1));
    dst->copyEntry(*a);
    ASSERT_EQ(dst->entryCount(), 1);
    EXPECT_EQ(dst->entry(0)->offset(), 36);  // 16, then 20 more for its record
    EXPECT_EQ(dst->entry(0)->filePos(), kUnplaced);
    dst->copyEntry(*b);
    // 16 + 20 x 2: where the writer puts the first entry's data, the second after it.
    EXPECT_EQ(dst->entry(0)->offset(), 56);
    EXPECT_EQ(dst->entry(1)->offset(), 61);
    EXPECT_EQ(dst->entry(1)->data(), Text("xy"));
    EXPECT_EQ(dst->declaredEntries(), 2);
    EXPECT_EQ(dst->size(), 52);  // 4 + 25 + 22 = 51, rounded
}

TEST(ModuleTable, OrderModuleSortsPlacesAndClosesSlotGaps) {
    KvxImage f;
    f.addModule(FlashModule("C", 1, 0, 0x10020));
    f.addModule(FlashModule("B2", 0, 3, 0x100));
    f.addModule(FlashModule("B0", 0, 0, 0x20));
    f.addModule(FlashModule("U", 1, 1, kUnplaced));  // no place yet
    f.module(2)->addEntry(EntryOfSize("e", 40));          // B0: size 4 + 60 = 64
    f.orderModule();
    EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"B0", "B2", "C", "U"}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.module(i)->listIndex(), i);
    // B2 followed B0 with a gap in the slots: it takes slot 1, right after B0.
    EXPECT_EQ(f.module(1)->slot(), 1);
    EXPECT_EQ(f.module(1)->offset(), 0x20 + 64 + 12);
    // U had no place: it goes after C in sector 1 (C is 4 + 12 bytes long).
    EXPECT_EQ(f.module(3)->offset(), 65536 + 32 + 4 + 12);
    EXPECT_EQ(f.module(3)->slot(), 1);
    // Equal keys keep their order.
    KvxImage g;
    g.addModule(FlashModule("x", 2, 0));
    g.addModule(FlashModule("y", 2, 0));
    g.orderModule();
    EXPECT_EQ(NamesOf(g), (std::vector<std::string>{"x", "y"}));
}

TEST(ModuleTable, DuplicateIsUnplacedAndNotWritten) {
    ModuleSpec a{"AAA", {{"AAA", Text("one")}, {"b", Text("two")}}};
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildFlashImage({SectorSpec::Table({a})})).ok());
    Bytes before;
    ASSERT_TRUE(f.saveToBytes(before).ok);
    f.duplicateModule(*f.module(0));
    ASSERT_EQ(f.moduleCount(), 2);
    const KvxModule* copy = f.module(1);
    EXPECT_EQ(copy->sector(), kUnplaced);
    EXPECT_EQ(copy->slot(), kUnplaced);
    EXPECT_EQ(copy->address(), kUnplaced);
    EXPECT_EQ(copy->declaredEntries(), 2);
    EXPECT_EQ(copy->entry(1)->data(), Text("two"));
    EXPECT_EQ(copy->size(), f.module(0)->size());
    Bytes after;
    ASSERT_TRUE(f.saveToBytes(after).ok);
    EXPECT_EQ(after, before);
    // Sorted ahead of every placed module.
    EXPECT_EQ(f.module(0)->sector(), kUnplaced);
}

TEST(ModuleTable, DeleteExchangeAndReplace) {
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    ModuleSpec b{"BBB", {{"b", Text("2")}, {"c", Text("3")}}};
    ModuleSpec c{"CCC", {{"c", Text("4")}}};
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildFlashImage({SectorSpec::Table({a, b}), SectorSpec::Table({c})})).ok());
    EXPECT_EQ(f.totalEntries(), 4);
    f.deleteModule(3);
    EXPECT_EQ(f.moduleCount(), 3);
    f.deleteModule(1);
    EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"AAA", "CCC"}));
    EXPECT_EQ(f.totalEntries(), 2);
    for (int i = 0; i < f.moduleCount(); ++i) EXPECT_EQ(f.module(i)->listIndex(), i);

    f.exchangeModulePosition(0, 1);
    EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"CCC", "AAA"}));
    f.exchangeModulePosition(0, 2);  // out of range: nothing
    EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"CCC", "AAA"}));

    std::vector<std::unique_ptr<KvxModule>> list;
    list.push_back(std::make_unique<KvxModule>());
    f.replaceList(std::move(list));
    EXPECT_EQ(f.moduleCount(), 1);
    EXPECT_EQ(f.totalEntries(), 0);
}

// Damaged tables: nothing is read outside the file or the module's sector.
TEST(DamagedImage, HeadersAndEntriesOutsideTheirSectorAreDroppedOrCut) {
    ModuleSpec first{"AAA", {{"AAA", Text("1")}}};
    ModuleSpec last{"ZZZ", {{"z", Text("9")}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({first, ModuleSpec{"MID", {{"m", Text("5")}}}, last})});
    // Slot 1 points at a header that crosses the end of sector 0: dropped, and ZZZ takes
    // slot 1.
    image[2] = 0xF8;
    image[3] = 0xFF;
    // Sector 1: a module declaring 5000 entries (records cut at the sector end) whose
    // first entry claims 0xFFFF bytes from near the end of the sector (cut there).
    Bytes s1 = BuildFlashModule(ModuleSpec{"BIG", {{"e", Text("x")}}, std::nullopt, 5000});
    s1[16 + 12] = 0x00;  // data offset - 12 = 0xFF00: 212 bytes before the sector ends
    s1[16 + 13] = 0xFF;
    s1[16 + 16] = 0xFF;
    s1[16 + 17] = 0xFF;
    Patch(image, 65536, Bytes{0x20, 0x00});
    Patch(image, 65536 + 0x20, s1);
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(image).ok());
    ASSERT_EQ(f.moduleCount(), 3);
    EXPECT_EQ(f.module(1)->name(), "ZZZ");
    EXPECT_EQ(f.module(1)->slot(), 1);
    const KvxModule* big = f.module(2);
    EXPECT_EQ(big->entryCount(), (65536 - 0x20 - 16) / 20);
    EXPECT_EQ(big->declaredEntries(), big->entryCount());
    const KvxEntry* e = big->entry(0);
    EXPECT_EQ(e->filePos(), 65536 + 0x20 + 0xFF00 + 12);
    EXPECT_EQ(e->size(), 2 * 65536 - e->filePos());
}

TEST(DamagedImage, TruncatedFileKeepsWhatIsThere) {
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    ModuleSpec b{"BBB", {{"b", PatternBytes(200, 1)}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({a}), SectorSpec::Table({b}), SectorSpec::Table({a})});
    // Cut inside BBB's data: its entry keeps the bytes in the file; sector 2 is gone.
    image.resize(65536 + 32 + 36 + 50);
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(image).ok());
    ASSERT_EQ(f.moduleCount(), 2);
    const Bytes data = PatternBytes(200, 1);
    EXPECT_EQ(f.module(1)->entry(0)->data(), Bytes(data.begin(), data.begin() + 50));
}

TEST(DamagedImage, AnEntryRecordEndingExactlyAtTheSectorEndIsKept) {
    // Records are 20 bytes after a 16-byte header. With the header at byte 40 of sector
    // 1, record 3274 ends exactly on the sector's last byte; at byte 44 it would cross it.
    struct Case {
        std::uint16_t headerAt;
        std::uint16_t declared;
        int kept;
    };
    for (const Case& c : {Case{40, 3274, 3274}, Case{40, 3275, 3274}, Case{40, 3273, 3273}, Case{44, 3274, 3273}}) {
        SCOPED_TRACE(std::to_string(c.headerAt) + " " + std::to_string(c.declared));
        SlotSpec big = ModuleSpec{"BIG", {{"e", Text("x")}}, std::nullopt, c.declared};
        big.at = c.headerAt;
        const Bytes image = BuildFlashImage({SectorSpec::Table({ModuleSpec{"AAA", {{"AAA", Text("1")}}}}),
                                             SectorSpec::Table({big})});
        KvxImage f;
        ASSERT_TRUE(f.loadBytes(image).ok());
        ASSERT_EQ(f.moduleCount(), 2);
        EXPECT_EQ(f.module(1)->entryCount(), c.kept);
        EXPECT_EQ(f.module(1)->entry(0)->data(), Text("x"));
    }
}
