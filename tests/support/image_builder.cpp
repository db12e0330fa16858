#include "image_builder.h"

#include <algorithm>
#include <stdexcept>

#include "image/byte_reader.h"

namespace rivo::testsupport {

namespace {

void PutName(Bytes& out, std::size_t at, const std::string& name, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out[at + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0;
}
void PutLe16(Bytes& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void PutBe16(Bytes& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}
void PutLe24(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 3; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
void PutBe24(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 3; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * (2 - i))) & 0xFF);
}
void PutLe32(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
void PutBe32(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * (3 - i))) & 0xFF);
}

}  // namespace

Bytes PatternBytes(std::size_t count, std::uint32_t seed) {
    Bytes out(count);
    std::uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return out;
}

Bytes MakeRawSector(std::uint8_t seed) {
    Bytes out = PatternBytes(kSectorSize, seed);
    out[0] = 'u';
    out[1] = 'c';
    out[2] = 'r';
    return out;
}

void Patch(Bytes& image, std::size_t at, const Bytes& bytes) {
    if (image.size() < at + bytes.size()) image.resize(at + bytes.size(), 0);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

Bytes BuildFlashModule(const ModuleSpec& module) {
    const std::size_t n = module.entries.size();
    std::size_t data = 0;
    for (const auto& e : module.entries) data += e.bytes.size();
    const std::size_t length = (16 + 20 * n + data + 3) / 4 * 4;
    Bytes out(length, 0);
    PutName(out, 0, module.name, 10);
    PutLe16(out, 10, module.storedSize.value_or(static_cast<std::uint16_t>(length - 12)));
    PutLe16(out, 12, module.storedCount.value_or(static_cast<std::uint16_t>(n)));
    std::size_t offset = 16 + 20 * n;
    for (std::size_t i = 0; i < n; ++i) {
        const EntrySpec& e = module.entries[i];
        const std::size_t rec = 16 + 20 * i;
        PutName(out, rec, e.name, 12);
        if (e.bigEndian) {
            PutBe16(out, rec + 14, static_cast<std::uint32_t>(offset - 12));
            PutBe16(out, rec + 18, static_cast<std::uint32_t>(e.bytes.size()));
        } else {
            PutLe16(out, rec + 12, static_cast<std::uint32_t>(offset - 12));
            PutLe16(out, rec + 16, static_cast<std::uint32_t>(e.bytes.size()));
        }
        std::copy(e.bytes.begin(), e.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
        offset += e.bytes.size();
    }
    return out;
}

Bytes BuildFlashImage(const std::vector<SectorSpec>& sectors) {
    if (sectors.size() > static_cast<std::size_t>(kSectorCount))
        throw std::invalid_argument("a flash image has eight sectors");
    Bytes image;
    image.reserve(kFlashImageSize);
    for (std::size_t k = 0; k < static_cast<std::size_t>(kSectorCount); ++k) {
        const SectorSpec blank;
        const SectorSpec& spec = k < sectors.size() ? sectors[k] : blank;
        Bytes sector(kSectorSize, spec.fill);
        if (spec.form == SectorSpec::Form::Raw) {
            if (spec.raw.size() > sector.size()) throw std::invalid_argument("raw sector too long");
            std::copy(spec.raw.begin(), spec.raw.end(), sector.begin());
        } else if (spec.form == SectorSpec::Form::Table) {
            if (spec.slots.size() > 16) throw std::invalid_argument("a sector table has 16 slots");
            std::fill(sector.begin(), sector.begin() + 32, 0);
            std::size_t cursor = 32;
            for (std::size_t t = 0; t < spec.slots.size(); ++t) {
                const SlotSpec& slot = spec.slots[t];
                if (!slot.module) {
                    PutLe16(sector, 2 * t, slot.emptyValue);
                    continue;
                }
                Bytes module = BuildFlashModule(*slot.module);
                const std::size_t pos = slot.at ? *slot.at : cursor;
                if (pos + module.size() > sector.size())
                    throw std::invalid_argument("modules do not fit in sector " + std::to_string(k));
                std::copy(module.begin(), module.end(), sector.begin() + static_cast<std::ptrdiff_t>(pos));
                PutLe16(sector, 2 * t, static_cast<std::uint32_t>(pos));
                cursor = std::max(cursor, pos + module.size());
            }
        }
        image.insert(image.end(), sector.begin(), sector.end());
    }
    return image;
}

MainCodeBuilt BuildMainCodeImage(const MainCodeSpec& spec) {
    using Layout = MainCodeSpec::Layout;
    const bool sig2 = spec.layout == Layout::Signature2 || spec.layout == Layout::Signature2With16;
    const bool e16 = spec.layout == Layout::Entries16 || spec.layout == Layout::Signature2With16;
    const bool fields24be = spec.layout == Layout::Signature2;
    const std::size_t e = e16 ? 16 : 32;
    const std::size_t extra = e16 ? 424 : 0;
    const std::size_t n = spec.modules.size();
    std::size_t totalEntries = 0;
    for (const auto& m : spec.modules) totalEntries += m.entries.size();

    const std::size_t recordsAt = spec.directoryAt + n * (e + 4);
    const std::size_t recordsEnd = recordsAt + 20 * totalEntries;

    // Lay the modules out after the records.
    MainCodeBuilt built;
    std::size_t cursor = std::max(spec.dataAt, recordsEnd);
    for (std::size_t m = 0; m < n; ++m) {
        cursor = (cursor + 15) / 16 * 16;
        // Little-endian addresses are told apart by their first stored byte, which
        // must differ between the first two modules.
        if (m == 1 && !spec.bigEndianAddresses && (cursor & 0xFF) == (built.moduleOffsets[0] & 0xFF)) cursor += 16;
        built.moduleOffsets.push_back(cursor);
        std::size_t size = extra;
        for (const auto& en : spec.modules[m].entries) size += en.bytes.size();
        cursor += size;
    }
    const std::size_t total = std::max(spec.minimumSize, cursor);
    Bytes out(total, 0);

    if (sig2) {
        static const std::uint8_t s2[28] = {'b', 'o', 'o', 't', 0, 0,   0,   0,   'b', 'o',
                                            'o', 't', '.', 'a', 'p', 'p', 0,   0,   0,   0,
                                            'b', 'o', 'o', 't', 0, 0,   0,   0};
        std::copy(std::begin(s2), std::end(s2), out.begin() + static_cast<std::ptrdiff_t>(spec.signatureAt));
        out[spec.signatureAt + 28] = 0xAA;  // so the last "boot" is not a directory
    } else {
        static const std::uint8_t s1[16] = {'b', 'o', 'o', 't', 0, 'b', 'o', 'o', 't', '.', 'a', 'p', 'p', 0, ' ', ' '};
        std::copy(std::begin(s1), std::end(s1), out.begin() + static_cast<std::ptrdiff_t>(spec.signatureAt));
    }

    // Firmware files are tried as flash images first. Point the first table slot of
    // sector 0 at the directory, whose name ("boot") is not followed by an entry of that
    // name 16 bytes on, so the flash test ends there whatever the rest of the file holds.
    if (spec.directoryAt < 0xFF00) PutLe16(out, 0, static_cast<std::uint32_t>(spec.directoryAt));

    const std::uint32_t base = fields24be ? 0x80020000u : 0x80000000u;
    if (spec.countBigEndian) {
        PutBe32(out, spec.directoryAt - 4, static_cast<std::uint32_t>(n));
    } else {
        PutLe32(out, spec.directoryAt - 4, static_cast<std::uint32_t>(n));
    }
    std::size_t rec = recordsAt;
    for (std::size_t m = 0; m < n; ++m) {
        const auto& mod = spec.modules[m];
        const std::uint32_t address = base + static_cast<std::uint32_t>(built.moduleOffsets[m]);
        built.addresses.push_back(address);
        const std::size_t entry = spec.directoryAt + m * e;
        PutName(out, entry, mod.name, 12);
        if (spec.bigEndianAddresses) {
            PutBe32(out, entry + 12, address);
        } else {
            PutLe32(out, entry + 12, address);
        }
        const std::size_t countAt = spec.directoryAt + n * e + 4 * m;
        if (spec.countBigEndian) {
            PutBe32(out, countAt, static_cast<std::uint32_t>(mod.entries.size()));
        } else {
            PutLe32(out, countAt, static_cast<std::uint32_t>(mod.entries.size()));
        }
        std::size_t offset = 0;
        for (const auto& en : mod.entries) {
            PutName(out, rec, en.name, 12);
            if (fields24be) {
                PutBe24(out, rec + 13, static_cast<std::uint32_t>(offset));
                PutBe24(out, rec + 17, static_cast<std::uint32_t>(en.bytes.size()));
            } else {
                PutLe24(out, rec + 12, static_cast<std::uint32_t>(offset));
                PutLe24(out, rec + 16, static_cast<std::uint32_t>(en.bytes.size()));
            }
            std::copy(en.bytes.begin(), en.bytes.end(),
                      out.begin() + static_cast<std::ptrdiff_t>(built.moduleOffsets[m] + extra + offset));
            offset += en.bytes.size();
            rec += 20;
        }
    }
    built.bytes = std::move(out);
    return built;
}

Bytes EntryPastItsSectorImage() {
    SlotSpec slot(ModuleSpec{.name = "TPT", .entries = {EntrySpec{.name = "TPT", .bytes = PatternBytes(536, 1)}}});
    slot.at = 64964;
    Bytes image = BuildFlashImage(
        {SectorSpec::Table({ModuleSpec{.name = "TCS", .entries = {EntrySpec{.name = "TCS", .bytes = PatternBytes(60, 2)}}}}),
         SectorSpec::Table({slot})});
    Patch(image, 65536 + 64964 + 32, {0xD0, 0x07});  // the entry's size: 2000
    return image;
}

}  // namespace rivo::testsupport
