// Reading a flash image: eight 64 KiB sectors, each a raw "ucr" sector or a table of
// up to 16 module slots. The type check's flash test and the flash extractor.
#include <algorithm>
#include <cctype>
#include <limits>
#include <string>
#include <utility>

#include "image/byte_reader.h"
#include "image/image_extract.h"
#include "image/kvx_image.h"
#include "text/translate.h"

namespace rivo {

using image_detail::EntryBudget;
using image_detail::kRecordBytes;

namespace {

constexpr std::size_t kTableBytes = 32;
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kTableSlots = 16;

bool StartsWithUcr(const ByteReader& in, std::size_t at) {
    return in.fits(at, std::size_t{3}) && in.u8At(at) == 'u' && in.u8At(at + 1) == 'c' &&
           in.u8At(at + 2) == 'r';
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Plain modules are the ones the channel list is stored in unencoded.
std::int32_t FlashKindForName(const std::string& name) {
    std::string u = Upper(name);
    if (u == "TPT" || u == "TCS" || u == "PATCH" || u == "MAIL" || u.find("TCS") != std::string::npos)
        return static_cast<std::int32_t>(ModuleKind::Plain);
    return static_cast<std::int32_t>(ModuleKind::Packed);
}

}  // namespace

int image_detail::FlashTestSector(const ByteReader& in, std::size_t sector) {
    std::size_t start = sector * kSectorSize;
    if (!in.fits(start, kTableBytes)) return -1;  // the sector is not in the file
    if (StartsWithUcr(in, start)) return -1;
    std::uint16_t v = in.le16At(start);
    if (v == 0 || in.u8At(start) == 0xFF || in.u8At(start + 1) == 0xFF) return -1;
    std::size_t header = start + v;
    // A header whose names are not in the file cannot match.
    if (!in.fits(header, std::size_t{32})) return 0;
    // The module name may run on into the size field when it fills its 10 bytes.
    std::string a = in.nameAt(header, 16);
    std::string b = in.nameAt(header + 16, 16);
    if (b.size() > a.size()) b.resize(a.size());
    return a == b ? 1 : 0;
}

std::string FlashSizeWarning(std::int64_t actualSize) {
    if (actualSize < kFlashImageSize)
        return Fmt(TrN("Il file è lungo %1 byte, ma un'immagine flash ne ha %2. Il file salvato potrebbe non "
                       "contenere quello che conteneva la parte mancante.",
                       "Il file è lungo %1 byte, ma un'immagine flash ne ha %2. Il file salvato potrebbe non "
                       "contenere quello che conteneva la parte mancante.",
                       actualSize),
                   actualSize, kFlashImageSize);
    return Fmt(Tr("Il file è lungo %1 byte, ma un'immagine flash ne ha %2. I byte oltre i %2 non vengono letti e "
                  "non saranno salvati."),
               actualSize, kFlashImageSize);
}

std::string image_detail::ShownName(const std::string& name) {
    static const char* hex = "0123456789ABCDEF";
    std::string shown = "\"";
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"') {
            shown += c;
        } else {
            shown += "\\x";
            shown += hex[b >> 4];
            shown += hex[b & 15];
        }
    }
    return shown + "\"";
}

void KvxImage::extractFlash(std::vector<ModuleRecord>& modules, std::vector<EntryRecord>& entries) {
    using image_detail::ShownName;
    ByteReader in(content_);
    // Only the eight sectors are read, however long the file: the budget is theirs.
    EntryBudget budget(std::min<std::size_t>(content_.size(), static_cast<std::size_t>(kFlashImageSize)));
    bool budgetNoted = false;
    const auto fileSize = static_cast<std::int64_t>(content_.size());
    for (std::size_t k = 0; k < static_cast<std::size_t>(kSectorCount); ++k) {
        const std::size_t start = k * kSectorSize;
        const std::size_t sectorEnd = start + kSectorSize;
        if (!in.fits(start, kTableBytes)) break;  // sectors beyond the end yield nothing
        if (StartsWithUcr(in, start)) {
            ucrSector_ = static_cast<int>(k);
            rawSectors_.push_back(static_cast<int>(k));
            // A raw sector cut short by the end of the file keeps what is there.
            auto bytes = in.bytesUpTo(static_cast<std::int64_t>(start), kSectorSize);
            ModuleRecord m;
            m.name = "UCR";
            m.size = kSectorSize;
            m.declaredEntries = 1;
            m.kind = static_cast<std::int32_t>(ModuleKind::Raw);
            m.offset = static_cast<std::int32_t>(start);
            m.address = 0;
            m.source = 1;
            m.sector = static_cast<std::int32_t>(k);
            m.slot = 0;
            modules.push_back(m);
            EntryRecord s;
            s.name = "UCR";
            s.size = static_cast<std::int32_t>(bytes.size());
            s.offset = 0;
            s.kind = m.kind;
            s.filePos = m.offset;
            entries.push_back(s);
            continue;
        }
        // The places a damage line names are spelt out only for a line that is listed:
        // a crafted sector has thousands of slots, modules and entries to name.
        const auto sectorText = [k] { return Fmt(Tr("settore %1"), k); };
        // The modules of this sector so far: header, first byte past them, name, slot.
        struct Extent {
            std::size_t header, end;
            std::string name;
            std::size_t tableSlot;
        };
        std::vector<Extent> extents;
        std::int32_t slot = 0;
        for (std::size_t t = 0; t < kTableSlots; ++t) {
            std::uint16_t v = in.le16At(start + 2 * t);
            if (v == 0 || v == 0xFFFF) continue;
            const std::size_t header = start + v;
            const auto slotText = [k, t] { return Fmt(Tr("settore %1, posizione %2 della tabella"), k, t); };
            // A header that does not lie wholly inside its sector (and the file) is
            // dropped; it still takes no slot number, as the writer would not give
            // it one either.
            if (header + kHeaderBytes > sectorEnd || !in.fits(header, kHeaderBytes)) {
                noteDamageBy([&] { return Fmt(header + kHeaderBytes > sectorEnd
                                   ? Tr("%1: l'intestazione di modulo a %2 non sta nel settore; ignorata.")
                                   : Tr("%1: l'intestazione di modulo a %2 non sta nel file; ignorata."),
                               slotText(), v); });
                continue;
            }
            // Two slots naming one header are one module: reading it twice would save
            // it twice.
            const auto same = std::find_if(extents.begin(), extents.end(), [&](const Extent& e) { return e.header == header; });
            if (same != extents.end()) {
                noteDamageBy([&] { return Fmt(Tr("%1: indica la stessa intestazione della posizione %2 (modulo %3); il modulo è "
                                  "letto e salvato una volta sola."),
                               slotText(), same->tableSlot, ShownName(same->name)); });
                continue;
            }
            ModuleRecord m;
            m.name = in.nameAt(header, 10);
            m.size = in.le16At(header + 10);
            const std::uint16_t declared = in.le16At(header + 12);
            m.kind = FlashKindForName(m.name);
            m.offset = static_cast<std::int32_t>(header);
            m.address = 0;
            m.source = 1;
            m.sector = static_cast<std::int32_t>(k);
            m.slot = slot++;
            const auto moduleText = [&m, k] { return Fmt(Tr("modulo %1 (settore %2)"), ShownName(m.name), k); };
            // The records follow the 16-byte header inside the module's stated size
            // (counted from header byte 12) and inside the sector.
            const std::size_t moduleEnd = header + 12 + static_cast<std::size_t>(m.size);
            const std::size_t recordsEnd = std::min({moduleEnd, sectorEnd, content_.size()});
            const std::size_t room = recordsEnd > header + kHeaderBytes ? (recordsEnd - header - kHeaderBytes) / kRecordBytes : 0;
            if (declared > room)
                noteDamageBy([&] { return Fmt(TrN("%1: dichiara %2 voci, ma nel suo spazio ne stanno %3.",
                                   "%1: dichiara %2 voci, ma nel suo spazio ne stanno %3.", declared),
                               moduleText(), declared, room); });
            std::size_t extentEnd = std::min(moduleEnd, sectorEnd);
            // Entry records past the end of the sector (or the file) are cut off: the
            // module keeps the entries whose records are whole.
            std::int32_t kept = 0;
            for (std::size_t i = 0; i < declared; ++i) {
                const std::size_t rec = header + kHeaderBytes + kRecordBytes * i;
                if (rec + kRecordBytes > sectorEnd || !in.fits(rec, kRecordBytes)) break;
                if (!budget.takeRecord()) {
                    if (!std::exchange(budgetNoted, true))
                        noteDamageBy([&] { return Fmt(Tr("%1: le voci dichiarate sono più di quante ne possa descrivere il file; le "
                                          "altre sono ignorate, il salvataggio sarà rifiutato."),
                                       moduleText()); });
                    cutEntries_.push_back(Fmt(Tr("%1: le voci dichiarate sono più di quante ne possa descrivere il "
                                                 "file; le altre sono ignorate."),
                                              moduleText()));
                    break;
                }
                EntryRecord s;
                s.name = in.nameAt(rec, 12);
                std::uint16_t off = in.le16At(rec + 12);
                if (in.u8At(rec + 12) == 0 && in.u8At(rec + 13) == 0) off = in.be16At(rec + 14);
                std::uint16_t size = in.le16At(rec + 16);
                if (in.u8At(rec + 16) == 0 && in.u8At(rec + 17) == 0) size = in.be16At(rec + 18);
                s.offset = static_cast<std::int32_t>(off) + 12;
                s.filePos = static_cast<std::int32_t>(header) + s.offset;
                // A module lives in one sector, and the writer keeps it there: data
                // past the end of the sector (or the file) is cut off.
                const std::int64_t end = std::min<std::int64_t>(fileSize, static_cast<std::int64_t>(sectorEnd));
                std::int64_t avail = std::max<std::int64_t>(0, end - s.filePos);
                if (size > avail) {
                    const bool pastSector = s.filePos + std::int64_t{size} > static_cast<std::int64_t>(sectorEnd) &&
                                            static_cast<std::int64_t>(sectorEnd) < fileSize;
                    const auto entryName = [&s] { return ShownName(s.name); };
                    if (pastSector) {
                        noteDamageBy([&] { return Fmt(TrN("%1, voce %2: dichiarata di %3 byte, va oltre la fine del settore; letti "
                                           "%4 byte, il salvataggio sarà rifiutato.",
                                           "%1, voce %2: dichiarata di %3 byte, va oltre la fine del settore; letti "
                                           "%4 byte, il salvataggio sarà rifiutato.",
                                           avail),
                                       moduleText(), entryName(), size, avail); });
                        cutEntries_.push_back(
                            Fmt(TrN("%1, voce %2: dichiarata di %3 byte, va oltre la fine del settore; letti %4 byte.",
                                    "%1, voce %2: dichiarata di %3 byte, va oltre la fine del settore; letti %4 byte.",
                                    avail),
                                moduleText(), entryName(), size, avail));
                    } else {
                        noteDamageBy([&] {
                            return                             Fmt(TrN("%1, voce %2: dichiarata di %3 byte, va oltre la fine del file; letti %4 byte.",
                                    "%1, voce %2: dichiarata di %3 byte, va oltre la fine del file; letti %4 byte.",
                                    avail),
                                moduleText(), entryName(), size, avail); });
                    }
                }
                const std::int64_t wanted = std::min<std::int64_t>(size, avail);
                s.size = static_cast<std::int32_t>(budget.takeBytes(wanted));
                if (s.size < wanted) {
                    // What is cut here may be in no other entry: a save would drop it.
                    if (!std::exchange(budgetNoted, true))
                        noteDamageBy([&] { return Fmt(TrN("%1: le voci occupano insieme più byte di quanti ne abbia il file; la voce "
                                           "%2 è tagliata a %3 byte, il salvataggio sarà rifiutato.",
                                           "%1: le voci occupano insieme più byte di quanti ne abbia il file; la voce "
                                           "%2 è tagliata a %3 byte, il salvataggio sarà rifiutato.",
                                           s.size),
                                       moduleText(), ShownName(s.name), s.size); });
                    cutEntries_.push_back(Fmt(TrN("%1: le voci occupano insieme più byte di quanti ne abbia il file; "
                                                  "la voce %2 è tagliata a %3 byte.",
                                                  "%1: le voci occupano insieme più byte di quanti ne abbia il file; "
                                                  "la voce %2 è tagliata a %3 byte.",
                                                  s.size),
                                              moduleText(), ShownName(s.name), s.size));
                }
                extentEnd = std::max(extentEnd, static_cast<std::size_t>(s.filePos) + static_cast<std::size_t>(s.size));
                s.kind = m.kind;
                s.moduleIndex = 0;
                entries.push_back(s);
                ++kept;
            }
            // Modules of a sector lie one after another; one reaching into another
            // means one of them (or both) is not what its header says.
            // Only the first module it overlaps is named: modules sharing one stream
            // would otherwise fill the list with every pair.
            for (const Extent& other : extents) {
                if (header < other.end && other.header < extentEnd) {
                    noteDamageBy([&] { return Fmt(Tr("%1: i moduli %2 e %3 si sovrappongono."), sectorText(), ShownName(other.name),
                                   ShownName(m.name)); });
                    break;
                }
            }
            extents.push_back({header, extentEnd, m.name, t});
            m.declaredEntries = kept;
            modules.push_back(m);
        }
    }
}

}  // namespace rivo
