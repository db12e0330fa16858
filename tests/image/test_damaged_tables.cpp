// Damaged module tables: each crafted case loads with the problems it has named in the
// damage list, and a save either refuses (an entry cut at its sector's end) or writes
// what was loaded, each module once.
#include <gtest/gtest.h>

#include <functional>

#include "image/kvx_image.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

void PutLe16(Bytes& image, std::size_t at, std::uint16_t v) {
    image.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    image.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

ModuleSpec OneEntry(const std::string& name, const std::string& entry, std::size_t size, std::uint32_t seed = 1) {
    return ModuleSpec{.name = name, .entries = {EntrySpec{.name = entry, .bytes = PatternBytes(size, seed)}}};
}

// Sector 0 holds a sound TCS module; sector 1 a TPT module at 64964 whose entry of 536
// bytes (from 65000 to the sector's end) is declared as 2000, 1464 bytes too many.
Bytes EntryPastSector() {
    SlotSpec slot(OneEntry("TPT", "TPT", 536));
    slot.at = 64964;
    Bytes image = BuildFlashImage({SectorSpec::Table({OneEntry("TCS", "TCS", 60, 3)}), SectorSpec::Table({slot}),
                                   SectorSpec::Table({OneEntry("NEXT", "n.bin", 40, 2)})});
    PutLe16(image, 65536 + 64964 + 16 + 16, 2000);
    return image;
}

// Nine TCS modules whose headers lie one after another, all with one entry pointing at
// the same 60,000 bytes: 540,000 bytes of entries from a file of 524,288.
Bytes SharedStream() {
    Bytes image = BuildFlashImage({});
    const std::size_t streamAt = 32 + 9 * 36;
    for (std::size_t t = 0; t < 9; ++t) {
        const std::size_t header = 32 + 36 * t;
        const std::string name = "TCS" + std::to_string(t + 1);
        PutLe16(image, 2 * t, static_cast<std::uint16_t>(header));
        std::copy(name.begin(), name.end(), image.begin() + static_cast<std::ptrdiff_t>(header));
        PutLe16(image, header + 10, static_cast<std::uint16_t>(streamAt + 60000 - header - 12));
        PutLe16(image, header + 12, 1);
        std::copy(name.begin(), name.end(), image.begin() + static_cast<std::ptrdiff_t>(header + 16));
        PutLe16(image, header + 16 + 12, static_cast<std::uint16_t>(streamAt - header - 12));
        PutLe16(image, header + 16 + 16, 60000);
    }
    const Bytes stream = PatternBytes(60000, 5);
    std::copy(stream.begin(), stream.end(), image.begin() + static_cast<std::ptrdiff_t>(streamAt));
    return image;
}

std::vector<std::string> SharedStreamDamage() {
    std::vector<std::string> lines;
    for (int m = 2; m <= 9; ++m) {
        if (m == 9)
            lines.push_back("modulo \"TCS9\" (settore 0): le voci occupano insieme più byte di quanti ne abbia il file; "
                            "la voce \"TCS9\" è tagliata a 44288 byte, il salvataggio sarà rifiutato.");
        lines.push_back("settore 0: i moduli \"TCS1\" e \"TCS" + std::to_string(m) + "\" si sovrappongono.");
    }
    return lines;
}

struct Case {
    const char* label;
    std::function<Bytes()> build;
    std::vector<std::string> damage;  // the damage list, exactly
    std::vector<std::string> modules;  // the modules loaded, in order
    const char* saveRefusal;           // part of the save's message; nullptr: saves
    std::vector<std::string> savedModules;  // the modules of the saved image read back
};

const Case kCases[] = {
    {"sound image",
     [] { return BuildFlashImage({SectorSpec::Table({OneEntry("TPT", "TPT", 120), OneEntry("TCS", "tcs.bin", 60, 2)})}); },
     {},
     {"TPT", "TCS"},
     nullptr,
     {"TPT", "TCS"}},
    {"entry past its sector", EntryPastSector,
     {"modulo \"TPT\" (settore 1), voce \"TPT\": dichiarata di 2000 byte, va oltre la fine del settore; "
      "letti 536 byte, il salvataggio sarà rifiutato."},
     {"TCS", "TPT", "NEXT"},
     "Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio perderebbe dei byte: "
     "modulo \"TPT\" (settore 1), voce \"TPT\": dichiarata di 2000 byte, va oltre la fine del settore; letti 536 byte.",
     {}},
    {"entry past the file",
     [] {
         Bytes image = EntryPastSector();
         image.resize(65536 + 65000 + 300);
         return image;
     },
     {"modulo \"TPT\" (settore 1), voce \"TPT\": dichiarata di 2000 byte, va oltre la fine del file; letti 300 byte."},
     {"TCS", "TPT"},
     nullptr,
     {"TCS", "TPT"}},
    {"three slots naming one header",
     [] {
         std::vector<SlotSpec> slots;
         for (int i = 0; i < 3; ++i) {
             SlotSpec slot(OneEntry("TPT", "TPT", 120));
             slot.at = 32;
             slots.push_back(slot);
         }
         slots.push_back(SlotSpec(OneEntry("TCS", "tcs.bin", 60, 2)));
         slots.back().at = 200;
         return BuildFlashImage({SectorSpec::Table(slots)});
     },
     {"settore 0, posizione 1 della tabella: indica la stessa intestazione della posizione 0 (modulo \"TPT\"); "
      "il modulo è letto e salvato una volta sola.",
      "settore 0, posizione 2 della tabella: indica la stessa intestazione della posizione 0 (modulo \"TPT\"); "
      "il modulo è letto e salvato una volta sola."},
     {"TPT", "TCS"},
     nullptr,
     {"TPT", "TCS"}},
    {"overlapping modules",
     [] {
         // AAA takes 32..168 (16 + 20 + 100 bytes); BBB's header is put at 96.
         SlotSpec second(OneEntry("BBB", "b.bin", 20, 2));
         second.at = 96;
         return BuildFlashImage({SectorSpec::Table({OneEntry("AAA", "AAA", 100), second})});
     },
     {"settore 0: i moduli \"AAA\" e \"BBB\" si sovrappongono."},
     {"AAA", "BBB"},
     nullptr,
     {"AAA", "BBB"}},
    {"entry count beyond the module's space",
     [] {
         ModuleSpec module = OneEntry("TPT", "TPT", 12);
         module.storedCount = 65535;
         return BuildFlashImage({SectorSpec::Table({module}), SectorSpec::Table({OneEntry("TCS", "t.bin", 30, 2)})});
     },
     {"modulo \"TPT\" (settore 0): dichiara 65535 voci, ma nel suo spazio ne stanno 1."},
     {"TPT", "TCS"},
     // The records up to the sector's end are loaded and written back: they need more
     // room than the sector has with the table.
     nullptr,
     {"TPT", "TCS"}},
    {"header that does not fit its sector",
     [] {
         Bytes image = BuildFlashImage({SectorSpec::Table({OneEntry("TPT", "TPT", 120)})});
         PutLe16(image, 2, 65530);  // slot 1
         return image;
     },
     {"settore 0, posizione 1 della tabella: l'intestazione di modulo a 65530 non sta nel settore; ignorata."},
     {"TPT"},
     nullptr,
     {"TPT"}},
    {"entries sharing more bytes than the file has", SharedStream, SharedStreamDamage(),
     {"TCS1", "TCS2", "TCS3", "TCS4", "TCS5", "TCS6", "TCS7", "TCS8", "TCS9"},
     "Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio perderebbe dei byte: modulo \"TCS9\" "
     "(settore 0): le voci occupano insieme più byte di quanti ne abbia il file; la voce \"TCS9\" è tagliata a 44288 "
     "byte.",
     {}},
    {"name that is no text",
     [] {
         ModuleSpec module = OneEntry(std::string("T\xE8\"\\", 4), std::string("T\xE8\"\\", 4), 10);
         module.storedCount = 3;
         return BuildFlashImage({SectorSpec::Table({module})});
     },
     {"modulo \"T\\xE8\\x22\\x5C\" (settore 0): dichiara 3 voci, ma nel suo spazio ne stanno 1."},
     {std::string("T\xE8\"\\", 4)},
     nullptr,
     {std::string("T\xE8\"\\", 4)}},
};

std::vector<std::string> NamesOf(const KvxImage& image) {
    std::vector<std::string> names;
    for (int i = 0; i < image.moduleCount(); ++i) names.push_back(image.module(i)->name());
    return names;
}

}  // namespace

TEST(DamagedTables, EachDamageIsNamedAndNoSaveLosesBytes) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        KvxImage image;
        const LoadResult loaded = image.loadBytes(c.build(), "x.Bin");
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(image.damage(), c.damage);
        EXPECT_EQ(NamesOf(image), c.modules);
        if (c.damage.empty()) {
            EXPECT_EQ(loaded.damageWarning, "");
        } else {
            std::string expected = "La tabella dei moduli è danneggiata:";
            for (const auto& line : c.damage) expected += "\n- " + line;
            EXPECT_EQ(loaded.damageWarning, expected);
        }
        Bytes saved;
        const SaveResult result = image.saveToBytes(saved);
        if (c.saveRefusal) {
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.message, c.saveRefusal);
            EXPECT_TRUE(saved.empty());
            continue;
        }
        if (c.label == std::string("entry count beyond the module's space")) {
            // 3274 records to the sector's end, 20 bytes each, and the header: too many
            // for the sector, so the writer refuses on its own, naming the sector.
            EXPECT_FALSE(result.ok);
            EXPECT_NE(result.message.find("settore 0"), std::string::npos) << result.message;
            continue;
        }
        ASSERT_TRUE(result.ok) << result.message;
        KvxImage back;
        ASSERT_TRUE(back.loadBytes(saved, "back.Bin").ok());
        EXPECT_EQ(NamesOf(back), c.savedModules);
        EXPECT_TRUE(back.damage().empty()) << back.damage().front();
        // What was loaded is what was written, entry for entry.
        ASSERT_EQ(back.moduleCount(), image.moduleCount());
        for (int m = 0; m < image.moduleCount(); ++m) {
            ASSERT_EQ(back.module(m)->entryCount(), image.module(m)->entryCount());
            for (int e = 0; e < image.module(m)->entryCount(); ++e)
                EXPECT_EQ(back.module(m)->entry(e)->data(), image.module(m)->entry(e)->data());
        }
    }
}

TEST(DamagedTables, LongDamageListsEndWithACount) {
    // Sixteen slots of each of eight sectors pointing past the sector: 128 problems.
    Bytes image = BuildFlashImage({});
    for (std::size_t k = 0; k < 8; ++k) {
        PutLe16(image, k * 65536, 65530);  // slot 0 would not pass the type check
        for (std::size_t t = 1; t < 16; ++t) PutLe16(image, k * 65536 + 2 * t, 65530);
    }
    KvxImage f;
    f.loadFlashBytes(image, "x.Bin");
    ASSERT_EQ(f.damage().size(), KvxImage::kMaxDamageLines);
    EXPECT_EQ(f.damage().back(), "e altri 109 problemi.");  // 128 - 19 listed
    EXPECT_EQ(f.damage().front(),
              "settore 0, posizione 0 della tabella: l'intestazione di modulo a 65530 non sta nel settore; ignorata.");
}

TEST(DamagedTables, MainCodeEntryPastTheEndIsNamed) {
    MainCodeSpec spec;
    spec.modules = {{"boot", {{"boot.app", PatternBytes(100, 1)}}}, {"kernel", {{"k.bin", PatternBytes(100, 2)}}}};
    MainCodeBuilt built = BuildMainCodeImage(spec);
    // Records follow the directory (two 32-byte entries) and the two 4-byte counts; the
    // second record's 24-bit size is at its byte 16.
    const std::size_t record = spec.directoryAt + 2 * (32 + 4) + 20;
    built.bytes.at(record + 16) = 0xC0;  // 600000 = 0x0927C0
    built.bytes.at(record + 17) = 0x27;
    built.bytes.at(record + 18) = 0x09;
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(built.bytes, "fw.bin").ok());
    ASSERT_EQ(f.imageType(), 2);
    ASSERT_EQ(f.moduleCount(), 2);
    const std::size_t left = built.bytes.size() - built.moduleOffsets[1];
    ASSERT_EQ(f.damage().size(), 1u);
    EXPECT_EQ(f.damage()[0], "modulo \"kernel\", voce \"k.bin\": dichiarata di 600000 byte, ma nel file ne restano " +
                                 std::to_string(left) + "; letti solo questi.");
    EXPECT_EQ(f.module(1)->entry(0)->size(), static_cast<std::int32_t>(left));
}
