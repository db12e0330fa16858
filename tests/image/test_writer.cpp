// Writing flash images back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "image/byte_reader.h"
#include "image/kvx_image.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Load(KvxImage& f, const Bytes& image) {
    LoadResult r = f.loadBytes(image);
    EXPECT_TRUE(r.ok()) << r.message;
    return image;
}

Bytes SaveBytes(KvxImage& f) {
    Bytes out;
    SaveResult r = f.saveToBytes(out);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.warning.empty()) << r.warning;
    return out;
}

struct EntryData {
    std::string name;
    Bytes bytes;
    bool operator==(const EntryData&) const = default;
};
struct ModuleData {
    std::string name;
    int sector, slot;
    std::vector<EntryData> entries;
    bool operator==(const ModuleData&) const = default;
};

std::vector<ModuleData> ContentOf(const KvxImage& f) {
    std::vector<ModuleData> out;
    for (int i = 0; i < f.moduleCount(); ++i) {
        const KvxModule* m = f.module(i);
        ModuleData md{m->name(), m->sector(), m->slot(), {}};
        for (int j = 0; j < m->entryCount(); ++j) md.entries.push_back({m->entry(j)->name(), m->entry(j)->data()});
        out.push_back(md);
    }
    return out;
}

std::string TempDir() {
    auto dir = std::filesystem::temp_directory_path() /
               ("rivo-image-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// A flash module added in memory, not yet placed in its sector.
ModuleRecord AddedModule(const std::string& name, int sector, int slot) {
    ModuleRecord m;
    m.name = name;
    m.source = 1;
    m.kind = 2;
    m.sector = sector;
    m.slot = slot;
    m.offset = kUnplaced;
    return m;
}

Bytes ReadFile(const std::string& path) {
    std::string err;
    auto b = ReadWholeFile(path, err);
    return b ? *b : Bytes{};
}

// An image with gaps, 0xFFFF slots, big-endian fields, two raw sectors and 0xFF
// filler: everything the writer normalises.
Bytes IrregularImage() {
    ModuleSpec support{"Support", {{"Support.a", PatternBytes(33, 1)}, {"b", PatternBytes(5, 2), true}}};
    ModuleSpec tpt{"TPT", {{"tpt.bin", PatternBytes(120, 3)}}};
    ModuleSpec tcs{"TCS", {{"tcs.bin", PatternBytes(999, 4), true}}};
    ModuleSpec tcs1{"TCS1", {{"tcs1.bin", PatternBytes(3, 5)}, {"e", {}}}};
    SlotSpec gapped = tcs1;
    gapped.at = 0x4000;
    return BuildFlashImage({SectorSpec::Table({support, SlotSpec::Empty(0xFFFF), tpt}, 0xFF),
                            SectorSpec::Raw(MakeRawSector(7)), SectorSpec::Table({SlotSpec::Empty(0), tcs, gapped}),
                            SectorSpec::Blank(0xFF), SectorSpec::Raw(MakeRawSector(8))});
}

}  // namespace

TEST(Writer, UnchangedImageKeepsModulesEntriesAndRawSectors) {
    Bytes input = IrregularImage();
    KvxImage f;
    Load(f, input);
    auto before = ContentOf(f);
    Bytes out = SaveBytes(f);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(kFlashImageSize));
    // Every raw sector comes back byte for byte, the first as well as the last.
    EXPECT_TRUE(std::equal(out.begin() + 65536, out.begin() + 131072, input.begin() + 65536));
    EXPECT_TRUE(std::equal(out.begin() + 4 * 65536, out.begin() + 5 * 65536, input.begin() + 4 * 65536));
    // A sector without modules: 32 zero bytes of table and 65504 zero bytes.
    EXPECT_TRUE(std::all_of(out.begin() + 3 * 65536, out.begin() + 4 * 65536, [](auto b) { return b == 0; }));

    KvxImage again;
    Load(again, out);
    auto after = ContentOf(again);
    // Slots are renumbered from 0 in each sector, which they already were.
    EXPECT_EQ(after, before);
    // Saving the saved image once more gives the same bytes.
    EXPECT_EQ(SaveBytes(again), out);
}

TEST(Writer, LayoutIsCanonical) {
    ModuleSpec a{"AAA", {{"AAA1", Text("x")}, {"2", Text("y")}, {"3", Text("z")}}};
    ModuleSpec b{"BBB", {{"b", Text("12345")}}};
    KvxImage f;
    Load(f, BuildFlashImage({SectorSpec::Table({a, SlotSpec::Empty(0xFFFF), SlotSpec::Empty(0), b}, 0xEE)}));
    Bytes out = SaveBytes(f);
    ByteReader in(out);
    // Table: slots packed from 0, empty slots written as 0.
    EXPECT_EQ(in.le16At(0), 32);
    // Three one-byte entries: 16 + 60 + 3 = 79 bytes, one fill byte: 80, size field 68.
    EXPECT_EQ(in.le16At(2), 32 + 80);
    for (std::size_t t = 2; t < 16; ++t) EXPECT_EQ(in.le16At(2 * t), 0);
    EXPECT_EQ(in.nameAt(32, 10), "AAA");
    EXPECT_EQ(in.le16At(32 + 10), 68);
    EXPECT_EQ(in.le16At(32 + 12), 3);
    EXPECT_EQ(in.le16At(32 + 14), 0);
    // Entry records: offset - 12 little-endian, zero upper halves.
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t rec = 32 + 16 + 20 * i;
        EXPECT_EQ(in.le16At(rec + 12), 76 + i - 12);
        EXPECT_EQ(in.le16At(rec + 14), 0);
        EXPECT_EQ(in.le16At(rec + 16), 1);
        EXPECT_EQ(in.le16At(rec + 18), 0);
    }
    EXPECT_EQ(in.u8At(32 + 76), 'x');
    EXPECT_EQ(in.u8At(32 + 79), 0);
    // Everything after the last module is zero, whatever the input held there.
    const std::size_t end = 32 + 80 + 44;  // BBB: 16 + 20 + 5, filled to 44
    EXPECT_TRUE(std::all_of(out.begin() + end, out.begin() + 65536, [](auto v) { return v == 0; }));
}

TEST(Writer, LongerEntryMovesFollowingEntriesAndModules) {
    ModuleSpec a{"AAA", {{"AAA1", Text("12")}, {"after", Text("tail")}}};
    ModuleSpec b{"BBB", {{"b", Text("next")}}};
    KvxImage f;
    Load(f, BuildFlashImage({SectorSpec::Table({a, b})}));
    f.module(0)->entry(0)->setData(PatternBytes(1000, 9));
    Bytes out = SaveBytes(f);
    KvxImage again;
    ASSERT_TRUE(again.loadFlashBytes(out).ok());
    ASSERT_EQ(again.moduleCount(), 2);
    EXPECT_EQ(again.module(0)->entry(0)->data(), PatternBytes(1000, 9));
    EXPECT_EQ(again.module(0)->entry(1)->data(), Text("tail"));
    EXPECT_EQ(again.module(1)->entry(0)->data(), Text("next"));
    ByteReader in(out);
    // Header size and offset table describe the new layout: 16 + 40 + 1004 = 1060.
    EXPECT_EQ(in.le16At(32 + 10), 1060 - 12);
    EXPECT_EQ(in.le16At(2), 32 + 1060);
}

TEST(Writer, RefusesSectorsThatDoNotFitAndWritesNothing) {
    std::string dir = TempDir();
    std::string target = dir + "/out.Bin";
    {
        std::ofstream(target) << "previous";
    }
    struct Case {
        const char* what;
        std::function<void(KvxImage&)> edit;
        const char* needle;
    };
    std::vector<Case> cases = {
        {"more than 65536 bytes",
         [](KvxImage& f) { f.module(1)->entry(0)->setData(PatternBytes(65500, 1)); }, "settore 0"},
        {"more than 16 modules",
         [](KvxImage& f) {
             for (int i = 0; i < 16; ++i) f.addModule(AddedModule("X", 2, i));
             f.addModule(AddedModule("Y", 2, 20));
         },
         "settore 2"},
        {"raw sector with company",
         [](KvxImage& f) { f.addModule(AddedModule("Z", 1, 3)); },
         "settore 1"},
    };
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    ModuleSpec b{"BBB", {{"b", PatternBytes(1000, 2)}}};
    const Bytes image = BuildFlashImage({SectorSpec::Table({a, b}), SectorSpec::Raw(MakeRawSector(1))});
    for (auto& c : cases) {
        KvxImage f;
        Load(f, image);
        c.edit(f);
        SaveResult r = f.saveToFile({target});
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.message.find(c.needle), std::string::npos) << c.what << ": " << r.message;
        Bytes out;
        EXPECT_FALSE(f.saveToBytes(out).ok) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
        EXPECT_EQ(ReadFile(target), Text("previous")) << c.what;
    }
    // Nothing but the untouched target is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove_all(dir);
}

TEST(Writer, ASectorFilledToItsLastByteIsWrittenAndOneByteMoreIsRefused) {
    // A 32-byte table, module AAA, then BBB whose one entry grows until the sector is
    // exactly full: modules are padded to 4 bytes, so one byte more needs 4 more.
    const ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    const std::size_t room = 65536 - 32 - BuildFlashModule(a).size() - BuildFlashModule({"BBB", {{"b", {}}}}).size();
    for (const std::size_t size : {room, room + 1}) {
        SCOPED_TRACE(size);
        KvxImage f;
        Load(f, BuildFlashImage({SectorSpec::Table({a, ModuleSpec{"BBB", {{"b", Text("2")}}}})}));
        const Bytes data = PatternBytes(size, 9);
        f.module(1)->entry(0)->setData(data);
        Bytes out;
        const SaveResult r = f.saveToBytes(out);
        ASSERT_EQ(r.ok, size == room) << r.message;
        if (!r.ok) continue;
        KvxImage back;
        Load(back, out);
        ASSERT_EQ(back.moduleCount(), 2);
        EXPECT_EQ(back.module(1)->entry(0)->data(), data);
    }
}

TEST(Writer, ASectorOfSixteenModulesIsWrittenWhole) {
    // The table's sixteen slots all used: the sixteenth module sits in the last slot,
    // and its offset is the table's last word. A seventeenth has no slot.
    std::vector<SlotSpec> slots;
    for (int i = 0; i < 16; ++i) {
        const std::string name = "M" + std::to_string(i + 1);
        slots.push_back(ModuleSpec{name, {{name, PatternBytes(10, static_cast<std::uint32_t>(i))}}});
    }
    KvxImage f;
    Load(f, BuildFlashImage({SectorSpec::Table(slots)}));
    ASSERT_EQ(f.moduleCount(), 16);
    ASSERT_EQ(f.module(15)->name(), "M16");
    const auto before = ContentOf(f);
    const Bytes out = SaveBytes(f);

    // Each module: 16-byte header, one 20-byte record, 10 bytes of data, filled to 48.
    ByteReader in(out);
    EXPECT_EQ(in.le16At(2 * 15), 32 + 15 * 48);
    EXPECT_EQ(in.nameAt(32 + 15 * 48, 10), "M16");
    KvxImage back;
    Load(back, out);
    ASSERT_EQ(back.moduleCount(), 16);
    EXPECT_EQ(ContentOf(back), before);
    EXPECT_EQ(back.module(15)->slot(), 15);
    EXPECT_EQ(back.module(15)->entry(0)->data(), PatternBytes(10, 15));

    back.addModule(AddedModule("M17", 0, 16));
    Bytes refused;
    const SaveResult r = back.saveToBytes(refused);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("contiene 17 moduli"), std::string::npos) << r.message;
}

TEST(Writer, SaveToFileReplacesTargetAtomically) {
    std::string dir = TempDir();
    std::string target = dir + "/out.Bin";
    {
        std::ofstream(target) << "previous";
    }
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    KvxImage f;
    Load(f, BuildFlashImage({SectorSpec::Table({a})}));
    SaveResult r = f.saveToFile({target});
    ASSERT_TRUE(r.ok) << r.message;
    Bytes expected;
    ASSERT_TRUE(f.saveToBytes(expected).ok);
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    // A folder that does not exist: a result that names the folder (what cannot be
    // written), nothing written.
    SaveResult bad = f.saveToFile({dir + "/missing/out.Bin"});
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.message.find("cartella \"" + dir + "/missing\""), std::string::npos) << bad.message;
    std::filesystem::remove_all(dir);
}

TEST(Writer, MainCodeImagesAreNotWritten) {
    MainCodeSpec spec;
    spec.modules = {{"boot", {{"boot.app", Text("x")}}}, {"app", {{"a", Text("y")}}}};
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildMainCodeImage(spec).bytes).ok());
    ASSERT_EQ(f.imageType(), 2);
    Bytes out;
    SaveResult r = f.saveToBytes(out);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty());
}

// Images the type check recognises through a later sector, because the first slot of
// an earlier one is empty (0 or 0xFFFF, as erased flash is), while that earlier sector's
// first module has entries named otherwise. Packing that sector's table would put such
// a module in the first slot and stop the check there: the saved image must keep the
// first slot of that sector empty, and only of that sector. The expected file is built
// by the test image builder, which lays modules out from byte 32 as the writer does.
TEST(Writer, ImagesRecognisedThroughALaterSectorStillOpenOnceSaved) {
    const ModuleSpec code{"Code", {{"main.bin", Text("x")}, {"Code2", Text("yz")}}};
    const ModuleSpec menu{"Menu", {{"items", Text("abc")}}};
    const ModuleSpec support{"Support", {{"Support.a", Text("y")}}};
    const ModuleSpec tpt{"TPT", {{"TPT", Text("t")}}};
    const Bytes raw = MakeRawSector(3);
    struct Case {
        const char* what;
        std::vector<SectorSpec> input;
        std::vector<SectorSpec> expected;  // the saved image's layout
    };
    const std::vector<Case> cases = {
        {"sector 0 starts with a zero slot",
         {SectorSpec::Table({SlotSpec::Empty(0), code}), SectorSpec::Table({support})},
         {SectorSpec::Table({SlotSpec::Empty(0), code}), SectorSpec::Table({support})}},
        {"sector 0 starts with a 0xFFFF slot, two modules, a gap, 0xFF fill",
         {SectorSpec::Table({SlotSpec::Empty(0xFFFF), code, SlotSpec::Empty(0), menu}, 0xFF),
          SectorSpec::Table({support, tpt})},
         {SectorSpec::Table({SlotSpec::Empty(0), code, menu}), SectorSpec::Table({support, tpt})}},
        {"sector 0 raw, sector 1 starts with an empty slot",
         {SectorSpec::Raw(raw), SectorSpec::Table({SlotSpec::Empty(0xFFFF), menu}), SectorSpec::Table({support})},
         {SectorSpec::Raw(raw), SectorSpec::Table({SlotSpec::Empty(0), menu}), SectorSpec::Table({support})}},
        {"sectors 0 and 1 both start with an empty slot",
         {SectorSpec::Table({SlotSpec::Empty(0), code}), SectorSpec::Table({SlotSpec::Empty(0xFFFF), menu}),
          SectorSpec::Table({support})},
         {SectorSpec::Table({SlotSpec::Empty(0), code}), SectorSpec::Table({SlotSpec::Empty(0), menu}),
          SectorSpec::Table({support})}},
        {"sector 1 starts with an empty slot, sector 0 is empty",
         {SectorSpec::Blank(0xFF), SectorSpec::Table({SlotSpec::Empty(0), menu}), SectorSpec::Table({support})},
         {SectorSpec::Blank(0), SectorSpec::Table({SlotSpec::Empty(0), menu}), SectorSpec::Table({support})}},
        // The packed table passes the check: the layout stays packed from slot 0.
        {"empty first slot before a module named like its entry",
         {SectorSpec::Table({SlotSpec::Empty(0), support, code}), SectorSpec::Table({tpt})},
         {SectorSpec::Table({support, code}), SectorSpec::Table({tpt})}},
        {"empty first slot of sector 3 (not looked at by the check)",
         {SectorSpec::Table({support}), SectorSpec::Blank(), SectorSpec::Blank(),
          SectorSpec::Table({SlotSpec::Empty(0xFFFF), code})},
         {SectorSpec::Table({support}), SectorSpec::Blank(), SectorSpec::Blank(), SectorSpec::Table({code})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KvxImage f;
        Load(f, BuildFlashImage(c.input));
        const auto before = ContentOf(f);
        Bytes out = SaveBytes(f);
        EXPECT_EQ(out, BuildFlashImage(c.expected));
        int variant = 0;
        EXPECT_EQ(CheckImageType(out, variant), 1);
        KvxImage again;
        Load(again, out);
        // The same modules in the same sectors and slots, with the same entries.
        EXPECT_EQ(ContentOf(again), before);
        // And saving again gives the same file.
        EXPECT_EQ(SaveBytes(again), out);
    }
}

// When nothing the writer may change makes the type check recognise the image (here
// sector 0 is full and its first module is named unlike its entry, read without the
// check), serialising warns, and a save to a file is refused by the read-back check,
// which runs the type check, with the reason: the target keeps its content.
TEST(Writer, AFileTheTypeCheckWouldNotOpenIsNotSaved) {
    std::vector<SlotSpec> slots;
    for (int i = 0; i < 16; ++i) slots.push_back(ModuleSpec{"M" + std::to_string(i), {{"e", Text("x")}}});
    const Bytes input = BuildFlashImage({SectorSpec::Table(slots), SectorSpec::Table({ModuleSpec{"S", {{"S", Text("s")}}}})});
    KvxImage f;
    ASSERT_TRUE(f.loadFlashBytes(input).ok());
    Bytes out;
    SaveResult inMemory = f.saveToBytes(out);
    ASSERT_TRUE(inMemory.ok);
    EXPECT_EQ(inMemory.warning,
              "Attenzione: il file salvato non verrà riconosciuto come immagine flash (il primo modulo del settore 0 "
              "non ha un nome compatibile).");

    const std::string dir = TempDir();
    const std::string target = dir + "/out.Bin";
    {
        std::ofstream(target) << "previous";
    }
    SaveResult r = f.saveToFile({target});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.readBackFailed);
    EXPECT_EQ(r.message,
              "Il file scritto non verrebbe riconosciuto come immagine flash riaprendolo (il primo modulo del settore "
              "0 non ha un nome compatibile): salvataggio annullato, il file di destinazione non è stato modificato.");
    EXPECT_EQ(ReadFile(target), Text("previous"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    // A file damaged after writing so that the check no longer takes it is refused
    // the same way, even though its modules were all written.
    ModuleSpec a{"AAA", {{"AAA", Text("1")}}};
    KvxImage good;
    Load(good, BuildFlashImage({SectorSpec::Table({a})}));
    SaveRequest request(target);
    request.afterTempWritten = [](const std::string& tempPath) {
        std::fstream file(tempPath, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(32 + 16);
        file.put('B');  // the first entry's name, AAA -> BAA
    };
    SaveResult damaged = good.saveToFile(request);
    EXPECT_FALSE(damaged.ok);
    EXPECT_NE(damaged.message.find("non verrebbe riconosciuto"), std::string::npos) << damaged.message;
    EXPECT_EQ(ReadFile(target), Text("previous"));
    std::filesystem::remove_all(dir);
}
