// Main-code (firmware) images: signatures, directory layouts, addresses.
#include <gtest/gtest.h>

#include "image/kvx_image.h"
#include "image_builder.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Three modules whose entries hold packed content, so that every entry can be checked
// to decode to what was packed.
std::vector<Bytes> Contents() {
    return {Text("boot loader code"), PatternBytes(300, 1), Text("app app app app app app"), Bytes(90, 0x11),
            PatternBytes(7, 2)};
}

std::vector<MainCodeModuleSpec> ThreeModules() {
    auto c = Contents();
    return {{"boot", {{"boot.app", Pack(c[0])}}},
            {"kernel", {{"k1", Pack(c[1])}, {"k2", Pack(c[2])}}},
            {"resources", {{"r1", Pack(c[3])}, {"r2", Pack(c[4])}}}};
}

void ExpectModules(const KvxImage& f, const MainCodeSpec& spec, const MainCodeBuilt& built, int extra) {
    ASSERT_EQ(f.moduleCount(), static_cast<int>(spec.modules.size()));
    const std::uint32_t base = built.addresses[0] - static_cast<std::uint32_t>(built.moduleOffsets[0]);
    auto c = Contents();
    std::size_t k = 0;
    for (int m = 0; m < f.moduleCount(); ++m) {
        const KvxModule* mod = f.module(m);
        const auto& ms = spec.modules[static_cast<std::size_t>(m)];
        EXPECT_EQ(mod->name(), ms.name);
        EXPECT_EQ(static_cast<std::uint32_t>(mod->address()), built.addresses[static_cast<std::size_t>(m)]);
        EXPECT_EQ(mod->offset(), static_cast<std::int32_t>(built.addresses[static_cast<std::size_t>(m)] - base));
        EXPECT_EQ(mod->kind(), 1);
        EXPECT_EQ(mod->source(), 2);
        EXPECT_EQ(mod->sector(), kUnplaced);
        EXPECT_EQ(mod->slot(), kUnplaced);
        EXPECT_EQ(mod->listIndex(), m);
        ASSERT_EQ(mod->entryCount(), static_cast<int>(ms.entries.size()));
        std::int64_t sum = 0;
        std::int32_t offset = 0;
        for (int i = 0; i < mod->entryCount(); ++i) {
            KvxEntry* s = const_cast<KvxModule*>(mod)->entry(i);
            const auto& es = ms.entries[static_cast<std::size_t>(i)];
            EXPECT_EQ(s->name(), es.name);
            EXPECT_EQ(s->data(), es.bytes);
            EXPECT_EQ(s->offset(), offset);
            EXPECT_EQ(s->filePos(), static_cast<std::int32_t>(built.moduleOffsets[static_cast<std::size_t>(m)]) + offset + extra);
            EXPECT_EQ(s->moduleIndex(), m);
            EXPECT_EQ(s->content(), c[k++]);
            offset += s->size();
            sum += s->size();
        }
        EXPECT_EQ(mod->size(), (sum + 3) / 4 * 4);
    }
}

}  // namespace

TEST(MainCode, EveryLayoutLoads) {
    using L = MainCodeSpec::Layout;
    struct Case {
        const char* what;
        L layout;
        bool bigEndianAddresses, countBigEndian;
        int variant, extra;
    } cases[] = {
        {"16-byte signature, 32-byte entries", L::Signature1, false, false, 0, 0},
        {"big-endian addresses", L::Signature1, true, false, 0, 0},
        {"counts in the last byte", L::Signature1, false, true, 0, 0},
        {"28-byte signature: variant 4", L::Signature2, false, false, 4, 0},
        {"variant 4 with big-endian addresses", L::Signature2, true, true, 4, 0},
        {"16-byte entries: variant 1, +424", L::Entries16, false, false, 1, 424},
        {"16-byte entries under the 28-byte signature read as variant 1", L::Signature2With16, false, false, 1, 424},
        {"the same with big-endian addresses", L::Signature2With16, true, false, 1, 424},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MainCodeSpec spec;
        spec.layout = c.layout;
        spec.bigEndianAddresses = c.bigEndianAddresses;
        spec.countBigEndian = c.countBigEndian;
        spec.modules = ThreeModules();
        MainCodeBuilt built = BuildMainCodeImage(spec);
        KvxImage f;
        LoadResult r = f.loadBytes(built.bytes, "main.bin");
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(f.imageType(), 2);
        EXPECT_EQ(f.variant(), c.variant);
        EXPECT_EQ(f.ucrSector(), -1);
        EXPECT_EQ(f.totalEntries(), 5);
        ExpectModules(f, spec, built, c.extra);
    }
}

TEST(MainCode, SignatureIsFoundAcrossA64KiBBoundary) {
    using L = MainCodeSpec::Layout;
    for (L layout : {L::Signature1, L::Signature2}) {
        for (std::size_t at : {std::size_t{65536 - 7}, std::size_t{65536 - 1}, std::size_t{2 * 65536 - 15},
                               std::size_t{2 * 65536 - 27}}) {
            MainCodeSpec spec;
            spec.layout = layout;
            spec.signatureAt = at;
            spec.minimumSize = 3 * 65536;
            spec.modules = ThreeModules();
            MainCodeBuilt built = BuildMainCodeImage(spec);
            KvxImage f;
            ASSERT_TRUE(f.loadBytes(built.bytes).ok()) << at;
            EXPECT_EQ(f.variant(), layout == L::Signature2 ? 4 : 0) << at;
            EXPECT_EQ(f.moduleCount(), 3) << at;
        }
    }
}

TEST(MainCode, NoSignatureIsUnrecognised) {
    MainCodeSpec spec;
    spec.modules = ThreeModules();
    Bytes bytes = BuildMainCodeImage(spec).bytes;
    bytes[spec.signatureAt + 13] = 'x';  // S1 broken: "boot.app" no longer followed by NUL
    KvxImage f;
    LoadResult r = f.loadBytes(bytes);
    EXPECT_EQ(r.status, LoadResult::Status::Unrecognised);
    EXPECT_EQ(f.imageType(), 0);
}

TEST(MainCode, Variant4IgnoresBootFollowedByExactlyFourNuls) {
    MainCodeSpec spec;
    spec.layout = MainCodeSpec::Layout::Signature2;
    spec.modules = ThreeModules();
    MainCodeBuilt built = BuildMainCodeImage(spec);
    // A decoy before the directory: "boot", four NULs, then data.
    Patch(built.bytes, 0x300, Bytes{'b', 'o', 'o', 't', 0, 0, 0, 0, 0x42, 0x42});
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(built.bytes).ok());
    ExpectModules(f, spec, built, 0);

    // Under the 16-byte signature the same decoy is the directory.
    MainCodeSpec plain = spec;
    plain.layout = MainCodeSpec::Layout::Signature1;
    MainCodeBuilt p = BuildMainCodeImage(plain);
    Patch(p.bytes, 0x300, Bytes{'b', 'o', 'o', 't', 0, 0, 0, 0, 0x42, 0x42});
    KvxImage g;
    ASSERT_TRUE(g.loadBytes(p.bytes).ok());
    EXPECT_EQ(g.moduleCount(), 0);  // its count bytes (0x2FC..0x2FF) are zero
}

TEST(MainCode, SingleModuleDirectoryTakesLittleEndianAddresses) {
    for (bool be : {false, true}) {
        MainCodeSpec spec;
        spec.bigEndianAddresses = be;
        spec.modules = {{"boot", {{"boot.app", Pack(Text("only"))}}}};
        MainCodeBuilt built = BuildMainCodeImage(spec);
        KvxImage f;
        ASSERT_TRUE(f.loadBytes(built.bytes).ok());
        ASSERT_EQ(f.moduleCount(), 1);
        const std::uint32_t a = built.addresses[0];
        const std::uint32_t swapped = ((a & 0xFF) << 24) | ((a & 0xFF00) << 8) | ((a >> 8) & 0xFF00) | (a >> 24);
        EXPECT_EQ(static_cast<std::uint32_t>(f.module(0)->address()), be ? swapped : a);
        if (!be) {
            EXPECT_EQ(f.module(0)->entry(0)->content(), Text("only"));
        }
    }
}

TEST(MainCode, DirectoryCutByTheEndOfTheFile) {
    MainCodeSpec spec;
    spec.modules = ThreeModules();
    spec.directoryAt = 65536 - 200;  // records run past 64 KiB, data after them
    spec.dataAt = 0;
    MainCodeBuilt built = BuildMainCodeImage(spec);
    Bytes bytes(built.bytes.begin(), built.bytes.begin() + 65536);
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(bytes).ok());
    ASSERT_EQ(f.moduleCount(), 3);
    // Directory 3 x 32, counts 3 x 4: records from 65536 - 92; four whole records.
    EXPECT_EQ(f.module(0)->entryCount(), 1);
    EXPECT_EQ(f.module(1)->entryCount(), 2);
    EXPECT_EQ(f.module(2)->entryCount(), 1);
    EXPECT_EQ(f.totalEntries(), 4);
    // Their data lay past the end of the file: nothing is read.
    for (int m = 0; m < 3; ++m)
        for (int i = 0; i < f.module(m)->entryCount(); ++i) EXPECT_EQ(f.module(m)->entry(i)->size(), 0);
}
