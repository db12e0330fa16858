// The module table: sizes, lookups, ordering, copies, deletion.
#include <gtest/gtest.h>

#include "image/kvx_file.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TmpModule flashModule(const std::string& name, int sector, int slot, int offset = 0x20) {
    TmpModule m;
    m.Name = name;
    m.Kind = 2;
    m.Source = 1;
    m.Sector = sector;
    m.Slot = slot;
    m.Offset = offset;
    return m;
}

TmpScript entry(const std::string& name, int size) {
    TmpScript s;
    s.Name = name;
    s.Size = size;
    return s;
}

std::vector<std::string> names(const TKVXFile& f) {
    std::vector<std::string> out;
    for (int i = 0; i < f.GetNumModule(); ++i) out.push_back(f.GetModule(i)->Name());
    return out;
}

}  // namespace

TEST(ModuleTable, SizeIsComputedFromEntries) {
    TKVXFile f;
    TKVXModule* flash = f.AddModule(flashModule("TPT", 0, 0));
    EXPECT_EQ(flash->Size(), 4);
    flash->AddScript(entry("a", 100));
    flash->AddScript(entry("b", 30));
    EXPECT_EQ(flash->Size(), 176);  // 4 + 120 + 50 = 174, rounded up

    TmpModule mc;
    mc.Name = "kernel";
    mc.Kind = 1;
    mc.Source = 2;
    mc.Sector = 3;  // not taken over for a main-code module
    TKVXModule* main = f.AddModule(mc);
    EXPECT_EQ(main->Sector(), kUnplaced);
    main->AddScript(entry("a", 10));
    main->AddScript(entry("b", 7));
    EXPECT_EQ(main->Size(), 20);

    TmpModule raw = flashModule("UCR", 1, 0);
    raw.Kind = 3;
    TKVXModule* r = f.AddModule(raw);
    r->AddScript(entry("UCR", 65536));
    EXPECT_EQ(r->Size(), 65536);
    EXPECT_EQ(f.GetDataSize(), 176 + 20 + 65536);

    // Replacing bytes changes the entry only.
    flash->GetScript(0)->SetData(Bytes(500, 1));
    EXPECT_EQ(flash->GetScript(0)->Size(), 500);
    EXPECT_EQ(flash->Size(), 176);
    EXPECT_EQ(flash->GetScript(1)->Offset(), 0);
}

TEST(ModuleTable, LookupsOutOfRangeGiveNone) {
    TKVXFile f;
    TKVXModule* m = f.AddModule(flashModule("A", 0, 0));
    m->AddScript(entry("e", 1));
    for (int bad : {-1, 1, 5}) {
        EXPECT_EQ(f.GetModule(bad), nullptr);
        EXPECT_FALSE(f.GetModuleInfo(bad).has_value());
        EXPECT_EQ(m->GetScript(bad), nullptr);
        EXPECT_FALSE(m->GetScriptInfo(bad).has_value());
    }
    ASSERT_TRUE(f.GetModuleInfo(0).has_value());
    EXPECT_EQ(f.GetModuleInfo(0)->Name, "A");
    EXPECT_EQ(m->GetScriptInfo(0)->Name, "e");
}

TEST(ModuleTable, CopyScriptLaysOffsetsOutAfterTheRecords) {
    TKVXFile f;
    TKVXModule* src = f.AddModule(flashModule("S", 0, 0));
    TKVXScript* a = src->AddScript(entry("a", 0));
    a->SetData(text("12345"));
    TKVXScript* b = src->AddScript(entry("b", 0));
    b->SetData(text("xy"));
    TKVXModule* dst = f.AddModule(flashModule("D", 0, 1));
    dst->CopyScript(*a);
    ASSERT_EQ(dst->GetNumScript(), 1);
    EXPECT_EQ(dst->GetScript(0)->Offset(), 36);  // 16, then 20 more for its record
    EXPECT_EQ(dst->GetScript(0)->FilePos(), kUnplaced);
    dst->CopyScript(*b);
    // 16 + 20 x 2: where the writer puts the first entry's data, the second after it.
    EXPECT_EQ(dst->GetScript(0)->Offset(), 56);
    EXPECT_EQ(dst->GetScript(1)->Offset(), 61);
    EXPECT_EQ(dst->GetScript(1)->Data(), text("xy"));
    EXPECT_EQ(dst->DeclaredScripts(), 2);
    EXPECT_EQ(dst->Size(), 52);  // 4 + 25 + 22 = 51, rounded
}

TEST(ModuleTable, OrderModuleSortsPlacesAndClosesSlotGaps) {
    TKVXFile f;
    f.AddModule(flashModule("C", 1, 0, 0x10020));
    f.AddModule(flashModule("B2", 0, 3, 0x100));
    f.AddModule(flashModule("B0", 0, 0, 0x20));
    f.AddModule(flashModule("U", 1, 1, kUnplaced));  // no place yet
    f.GetModule(2)->AddScript(entry("e", 40));          // B0: size 4 + 60 = 64
    f.OrderModule();
    EXPECT_EQ(names(f), (std::vector<std::string>{"B0", "B2", "C", "U"}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.GetModule(i)->ListIndex(), i);
    // B2 followed B0 with a gap in the slots: it takes slot 1, right after B0.
    EXPECT_EQ(f.GetModule(1)->Slot(), 1);
    EXPECT_EQ(f.GetModule(1)->Offset(), 0x20 + 64 + 12);
    // U had no place: it goes after C in sector 1 (C is 4 + 12 bytes long).
    EXPECT_EQ(f.GetModule(3)->Offset(), 65536 + 32 + 4 + 12);
    EXPECT_EQ(f.GetModule(3)->Slot(), 1);
    // Equal keys keep their order.
    TKVXFile g;
    g.AddModule(flashModule("x", 2, 0));
    g.AddModule(flashModule("y", 2, 0));
    g.OrderModule();
    EXPECT_EQ(names(g), (std::vector<std::string>{"x", "y"}));
}

TEST(ModuleTable, DuplicateIsUnplacedAndNotWritten) {
    ModuleSpec a{"AAA", {{"AAA", text("one")}, {"b", text("two")}}};
    TKVXFile f;
    ASSERT_TRUE(f.LoadBytes(BuildFlashImage({SectorSpec::Table({a})})).ok());
    Bytes before;
    ASSERT_TRUE(f.SaveToBytes(before).ok);
    f.DuplicateModule(*f.GetModule(0));
    ASSERT_EQ(f.GetNumModule(), 2);
    const TKVXModule* copy = f.GetModule(1);
    EXPECT_EQ(copy->Sector(), kUnplaced);
    EXPECT_EQ(copy->Slot(), kUnplaced);
    EXPECT_EQ(copy->Address(), kUnplaced);
    EXPECT_EQ(copy->DeclaredScripts(), 2);
    EXPECT_EQ(copy->GetScript(1)->Data(), text("two"));
    EXPECT_EQ(copy->Size(), f.GetModule(0)->Size());
    Bytes after;
    ASSERT_TRUE(f.SaveToBytes(after).ok);
    EXPECT_EQ(after, before);
    // Sorted ahead of every placed module.
    EXPECT_EQ(f.GetModule(0)->Sector(), kUnplaced);
}

TEST(ModuleTable, DeleteExchangeAndReplace) {
    ModuleSpec a{"AAA", {{"AAA", text("1")}}};
    ModuleSpec b{"BBB", {{"b", text("2")}, {"c", text("3")}}};
    ModuleSpec c{"CCC", {{"c", text("4")}}};
    TKVXFile f;
    ASSERT_TRUE(f.LoadBytes(BuildFlashImage({SectorSpec::Table({a, b}), SectorSpec::Table({c})})).ok());
    EXPECT_EQ(f.TotalScripts(), 4);
    f.DeleteModule(3);
    EXPECT_EQ(f.GetNumModule(), 3);
    f.DeleteModule(1);
    EXPECT_EQ(names(f), (std::vector<std::string>{"AAA", "CCC"}));
    EXPECT_EQ(f.TotalScripts(), 2);
    for (int i = 0; i < f.GetNumModule(); ++i) EXPECT_EQ(f.GetModule(i)->ListIndex(), i);

    f.ExchangeModulePosition(0, 1);
    EXPECT_EQ(names(f), (std::vector<std::string>{"CCC", "AAA"}));
    f.ExchangeModulePosition(0, 2);  // out of range: nothing
    EXPECT_EQ(names(f), (std::vector<std::string>{"CCC", "AAA"}));

    std::vector<std::unique_ptr<TKVXModule>> list;
    list.push_back(std::make_unique<TKVXModule>());
    f.ReplaceList(std::move(list));
    EXPECT_EQ(f.GetNumModule(), 1);
    EXPECT_EQ(f.TotalScripts(), 0);
}

// Damaged tables: nothing is read outside the file or the module's sector.
TEST(DamagedImage, HeadersAndEntriesOutsideTheirSectorAreDroppedOrCut) {
    ModuleSpec first{"AAA", {{"AAA", text("1")}}};
    ModuleSpec last{"ZZZ", {{"z", text("9")}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({first, ModuleSpec{"MID", {{"m", text("5")}}}, last})});
    // Slot 1 points at a header that crosses the end of sector 0: dropped, and ZZZ takes
    // slot 1.
    image[2] = 0xF8;
    image[3] = 0xFF;
    // Sector 1: a module declaring 5000 entries (records cut at the sector end) whose
    // first entry claims 0xFFFF bytes from near the end of the sector (cut there).
    Bytes s1 = BuildFlashModule(ModuleSpec{"BIG", {{"e", text("x")}}, std::nullopt, 5000});
    s1[16 + 12] = 0x00;  // data offset - 12 = 0xFF00: 212 bytes before the sector ends
    s1[16 + 13] = 0xFF;
    s1[16 + 16] = 0xFF;
    s1[16 + 17] = 0xFF;
    Patch(image, 65536, Bytes{0x20, 0x00});
    Patch(image, 65536 + 0x20, s1);
    TKVXFile f;
    ASSERT_TRUE(f.LoadBytes(image).ok());
    ASSERT_EQ(f.GetNumModule(), 3);
    EXPECT_EQ(f.GetModule(1)->Name(), "ZZZ");
    EXPECT_EQ(f.GetModule(1)->Slot(), 1);
    const TKVXModule* big = f.GetModule(2);
    EXPECT_EQ(big->GetNumScript(), (65536 - 0x20 - 16) / 20);
    EXPECT_EQ(big->DeclaredScripts(), big->GetNumScript());
    const TKVXScript* e = big->GetScript(0);
    EXPECT_EQ(e->FilePos(), 65536 + 0x20 + 0xFF00 + 12);
    EXPECT_EQ(e->Size(), 2 * 65536 - e->FilePos());
}

TEST(DamagedImage, TruncatedFileKeepsWhatIsThere) {
    ModuleSpec a{"AAA", {{"AAA", text("1")}}};
    ModuleSpec b{"BBB", {{"b", PatternBytes(200, 1)}}};
    Bytes image = BuildFlashImage({SectorSpec::Table({a}), SectorSpec::Table({b}), SectorSpec::Table({a})});
    // Cut inside BBB's data: its entry keeps the bytes in the file; sector 2 is gone.
    image.resize(65536 + 32 + 36 + 50);
    TKVXFile f;
    ASSERT_TRUE(f.LoadBytes(image).ok());
    ASSERT_EQ(f.GetNumModule(), 2);
    const Bytes data = PatternBytes(200, 1);
    EXPECT_EQ(f.GetModule(1)->GetScript(0)->Data(), Bytes(data.begin(), data.begin() + 50));
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
        SlotSpec big = ModuleSpec{"BIG", {{"e", text("x")}}, std::nullopt, c.declared};
        big.at = c.headerAt;
        const Bytes image = BuildFlashImage({SectorSpec::Table({ModuleSpec{"AAA", {{"AAA", text("1")}}}}),
                                             SectorSpec::Table({big})});
        TKVXFile f;
        ASSERT_TRUE(f.LoadBytes(image).ok());
        ASSERT_EQ(f.GetNumModule(), 2);
        EXPECT_EQ(f.GetModule(1)->GetNumScript(), c.kept);
        EXPECT_EQ(f.GetModule(1)->GetScript(0)->Data(), text("x"));
    }
}
