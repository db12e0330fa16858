// Builds receiver images in memory for tests, benchmarks and the fuzz corpus.
//
// Flash images: eight 64 KiB sectors, each blank, a raw "ucr" sector, or a table of up
// to 16 slots. Modules are laid out back to back from byte 32 of their sector, each
// at a multiple of 4, as the program's own writer does, unless a slot says otherwise.
//
// Main-code images: a signature, the module count, the directory (16- or 32-byte
// entries), the entry counts, the entry records and the modules' data. The first two
// bytes of the file point at the directory, so that the flash test fails on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/kvx_image.h"

namespace rivo::testsupport {

struct EntrySpec {
    std::string name;
    Bytes bytes;
    // Store the data offset and size big-endian in the upper halves of their fields,
    // with the lower halves zero.
    bool bigEndian = false;
};

struct ModuleSpec {
    std::string name;
    std::vector<EntrySpec> entries;
    // Overrides for odd headers: the stored size and entry count.
    std::optional<std::uint16_t> storedSize = std::nullopt;
    std::optional<std::uint16_t> storedCount = std::nullopt;
};

// One slot of a sector's offset table.
struct SlotSpec {
    std::optional<ModuleSpec> module;  // none: an empty slot holding emptyValue
    std::uint16_t emptyValue = 0;      // 0 or 0xFFFF
    // Place the module header at this sector offset instead of the next free one.
    std::optional<std::uint16_t> at;

    SlotSpec(ModuleSpec m) : module(std::move(m)) {}  // NOLINT: a module is a slot
    static SlotSpec Empty(std::uint16_t value = 0) {
        SlotSpec s;
        s.emptyValue = value;
        return s;
    }

private:
    SlotSpec() = default;
};

struct SectorSpec {
    enum class Form { Blank, Table, Raw };
    Form form = Form::Blank;
    std::vector<SlotSpec> slots;  // Table: at most 16
    Bytes raw;                    // Raw: the sector's bytes (padded with fill to 64 KiB)
    std::uint8_t fill = 0x00;     // bytes not covered by the table and modules

    static SectorSpec Blank(std::uint8_t fill = 0x00) {
        SectorSpec s;
        s.fill = fill;
        return s;
    }
    static SectorSpec Table(std::vector<SlotSpec> slots, std::uint8_t fill = 0x00) {
        SectorSpec s;
        s.form = Form::Table;
        s.slots = std::move(slots);
        s.fill = fill;
        return s;
    }
    // bytes must begin with "ucr" for the image to read it as raw.
    static SectorSpec Raw(Bytes bytes, std::uint8_t fill = 0x00) {
        SectorSpec s;
        s.form = Form::Raw;
        s.raw = std::move(bytes);
        s.fill = fill;
        return s;
    }
};

// A whole flash image of 524288 bytes; sectors past the list are blank (zero).
// Throws std::invalid_argument when a sector's content does not fit.
Bytes BuildFlashImage(const std::vector<SectorSpec>& sectors);

// The bytes of one module as laid out in a sector (header, records, data, fill to 4).
Bytes BuildFlashModule(const ModuleSpec& module);

// A raw sector: "ucr" followed by a recognisable pattern derived from seed.
Bytes MakeRawSector(std::uint8_t seed);

// Deterministic pseudo-random bytes.
Bytes PatternBytes(std::size_t count, std::uint32_t seed);

// Overwrites bytes of an image (grown with zeros when needed).
void Patch(Bytes& image, std::size_t at, const Bytes& bytes);

// A flash image whose sector 1 holds a TPT module with a 536-byte entry that ends at
// the sector's end but is declared 2000 bytes long: it opens with a damage note, and
// saving it would lose bytes.
Bytes EntryPastItsSectorImage();

// ---- main-code images --------------------------------------------------------------

struct MainCodeModuleSpec {
    std::string name;  // at most 12 bytes; the first module is normally "boot"
    std::vector<EntrySpec> entries;  // bigEndian is ignored: the layout decides
};

struct MainCodeSpec {
    enum class Layout {
        Signature1,      // 16-byte signature, 32-byte directory entries, variant 0
        Signature2,      // 28-byte signature, 32-byte entries, big-endian 24-bit fields: variant 4
        Entries16,       // 16-byte signature, 16-byte entries (+424): variant 1
        Signature2With16 // 28-byte signature but 16-byte entries: read as variant 1
    };
    Layout layout = Layout::Signature1;
    std::vector<MainCodeModuleSpec> modules;
    bool bigEndianAddresses = false;  // store load addresses big-endian
    bool countBigEndian = false;      // module count and entry counts in the last byte
    std::size_t signatureAt = 0x100;  // where the signature lies
    std::size_t directoryAt = 0x400;  // where the directory lies
    std::size_t dataAt = 0x2000;      // where the first module's data lies
    std::size_t minimumSize = 65536 + 4096;
};

// The base address used for the modules: load address = base + file position.
struct MainCodeBuilt {
    Bytes bytes;
    std::vector<std::uint32_t> addresses;   // per module
    std::vector<std::size_t> moduleOffsets;  // per module, in the file
};
MainCodeBuilt BuildMainCodeImage(const MainCodeSpec& spec);

}  // namespace rivo::testsupport
