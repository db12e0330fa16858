// Reading a main-code (firmware) image: the signature the type check looks for, and the
// extractor that finds the module directory and reads its modules and entries.
#include <algorithm>
#include <limits>
#include <string>

#include "image/byte_reader.h"
#include "image/image_extract.h"
#include "image/kvx_image.h"
#include "text/translate.h"

namespace rivo {

using image_detail::EntryBudget;
using image_detail::kRecordBytes;

namespace {

// "boot", NUL, "boot.app", NUL, two spaces.
constexpr std::uint8_t kSignature1[16] = {'b', 'o', 'o', 't', 0,   'b', 'o', 'o',
                                          't', '.', 'a', 'p', 'p', 0,   ' ', ' '};
// "boot", four NULs, "boot.app", four NULs, "boot", four NULs.
constexpr std::uint8_t kSignature2[28] = {'b', 'o', 'o', 't', 0, 0,   0,   0,   'b', 'o',
                                          'o', 't', '.', 'a', 'p', 'p', 0,   0,   0,   0,
                                          'b', 'o', 'o', 't', 0,   0,   0,   0};

bool MatchesAt(std::span<const std::uint8_t> data, std::size_t at, std::span<const std::uint8_t> pattern) {
    if (at > data.size() || pattern.size() > data.size() - at) return false;
    return std::equal(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

int image_detail::MainCodeSignatureTest(std::span<const std::uint8_t> content, int& variant) {
    // The whole file is in memory, so one pass finds a signature wherever it lies,
    // across 64 KiB boundaries included. The two signatures share their first five
    // bytes, so at most one begins at any position.
    static constexpr std::uint8_t kPrefix[5] = {'b', 'o', 'o', 't', 0};
    auto it = content.begin();
    while (true) {
        it = std::search(it, content.end(), std::begin(kPrefix), std::end(kPrefix));
        if (it == content.end()) return 0;
        auto at = static_cast<std::size_t>(it - content.begin());
        if (MatchesAt(content, at, kSignature1)) return 2;
        if (MatchesAt(content, at, kSignature2)) {
            variant = 4;
            return 2;
        }
        ++it;
    }
}

void KvxImage::extractMainCode(std::vector<ModuleRecord>& modules, std::vector<EntryRecord>& entries) {
    ByteReader in(content_);
    EntryBudget budget(content_.size());
    const std::span<const std::uint8_t> data(content_);
    // 1. The directory: "boot" and at least four NULs (five with the 28-byte signature).
    const std::size_t nuls = variant_ == 4 ? 5 : 4;
    std::size_t dir = 0;
    bool found = false;
    static constexpr std::uint8_t kBoot[4] = {'b', 'o', 'o', 't'};
    for (auto it = data.begin();;) {
        it = std::search(it, data.end(), std::begin(kBoot), std::end(kBoot));
        if (it == data.end()) break;
        std::size_t at = static_cast<std::size_t>(it - data.begin());
        bool ok = in.fits(at + 4, nuls);
        for (std::size_t i = 0; ok && i < nuls; ++i) ok = in.u8At(at + 4 + i) == 0;
        if (ok) {
            dir = at;
            found = true;
            break;
        }
        ++it;
    }
    if (!found) return;

    // 2. The module count, stored in either byte order in the four bytes before.
    if (dir < 4) return;
    std::size_t n = in.u8At(dir - 4);
    if (n == 0) n = in.u8At(dir - 1);
    if (n == 0) return;

    // 3. Entry width.
    if (!in.fits(dir + 16, std::size_t{1})) return;
    const std::size_t e = in.u8At(dir + 16) != 0 ? 16 : 32;
    if (e == 16) variant_ = 1;
    const bool v4 = variant_ == 4;

    // A directory that does not wholly lie in the file, counts included, is cut to the
    // modules whose directory entry and count field are both in the file.
    std::size_t usable = 0;
    while (usable < n && in.fits(dir + usable * e, e) && in.fits(dir + n * e + 4 * usable, std::size_t{4}))
        ++usable;
    if (usable < n)
        noteDamage(Fmt(TrN("la directory dichiara %1 moduli, ma il file ne contiene %2.",
                           "la directory dichiara %1 moduli, ma il file ne contiene %2.", n),
                       n, usable));
    if (usable == 0) return;

    // 5. Address byte order: with a single entry there is nothing to compare with, and
    // the next bytes are no longer the directory, so take little-endian.
    const std::size_t first = dir + 12;
    bool littleEndian = true;
    if (usable >= 2) littleEndian = in.u8At(first) != in.u8At(dir + e + 12);
    auto address = [&](std::size_t m) -> std::uint32_t {
        auto b = in.bytesAt(dir + m * e + 12, 4);
        if (littleEndian)
            return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                   (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
               (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
    };
    const std::uint32_t addr0 = address(0);
    const std::uint32_t base = v4 ? (addr0 & 0xFF000000u) + 0x20000u : addr0 & 0xFFF00000u;
    const std::int64_t extra = e == 16 ? 424 : 0;

    // 6. Modules, with their entry records in one shared run after the counts.
    std::size_t record = dir + n * (e + 4);
    bool recordsLeft = true;
    for (std::size_t m = 0; m < usable; ++m) {
        ModuleRecord mod;
        mod.name = in.nameAt(dir + m * e, 12);
        auto raw = in.bytesAt(dir + m * e + 12, 4);
        std::copy(raw.begin(), raw.end(), mod.rawAddress.begin());
        const std::uint32_t addr = address(m);
        mod.address = static_cast<std::int32_t>(addr);
        mod.offset = static_cast<std::int32_t>(addr - base);
        mod.kind = static_cast<std::int32_t>(ModuleKind::Packed);
        mod.source = 2;
        mod.sector = kUnplaced;
        mod.slot = kUnplaced;
        const std::size_t countAt = dir + n * e + 4 * m;
        std::size_t count = in.u8At(countAt);
        if (count == 0) count = in.u8At(countAt + 3);
        std::int64_t sum = 0;
        std::int32_t kept = 0;
        const std::string moduleText = Fmt(Tr("modulo %1"), image_detail::ShownName(mod.name));
        for (std::size_t i = 0; i < count && recordsLeft; ++i) {
            // Records are consecutive: once one is past the end, so are all the rest.
            if (!in.fits(record, kRecordBytes) || !budget.takeRecord()) {
                recordsLeft = false;
                noteDamage(Fmt(TrN("%1: dichiara %2 voci, ma i record dal %3 in poi non sono nel file; le voci da "
                                   "lì in avanti sono ignorate.",
                                   "%1: dichiara %2 voci, ma i record dal %3 in poi non sono nel file; le voci da "
                                   "lì in avanti sono ignorate.",
                                   count),
                               moduleText, count, i + 1));
                break;
            }
            EntryRecord s;
            s.name = in.nameAt(record, 12);
            std::uint32_t off = v4 ? in.be24At(record + 13) : in.le24At(record + 12);
            std::uint32_t size = v4 ? in.be24At(record + 17) : in.le24At(record + 16);
            s.offset = static_cast<std::int32_t>(off);
            std::int64_t pos = static_cast<std::int64_t>(mod.offset) + off + extra;
            // Data outside the file is cut to what the file holds.
            std::int64_t avail = (pos < 0 || pos >= static_cast<std::int64_t>(content_.size()))
                                     ? 0
                                     : static_cast<std::int64_t>(content_.size()) - pos;
            if (size > avail)
                noteDamage(Fmt(TrN("%1, voce %2: dichiarata di %3 byte, ma nel file ne restano %4; letti solo questi.",
                                   "%1, voce %2: dichiarata di %3 byte, ma nel file ne restano %4; letti solo questi.",
                                   avail),
                               moduleText, image_detail::ShownName(s.name), size, avail));
            const std::int64_t wanted = std::min<std::int64_t>(size, avail);
            s.size = static_cast<std::int32_t>(budget.takeBytes(wanted));
            if (s.size < wanted)
                noteDamage(Fmt(TrN("%1, voce %2: le voci occupano insieme più byte di quanti ne abbia il file; "
                                   "letti %3 byte.",
                                   "%1, voce %2: le voci occupano insieme più byte di quanti ne abbia il file; "
                                   "letti %3 byte.",
                                   s.size),
                               moduleText, image_detail::ShownName(s.name), s.size));
            s.filePos = static_cast<std::int32_t>(pos);
            s.kind = mod.kind;
            s.moduleIndex = static_cast<std::int32_t>(m);
            sum += s.size;
            entries.push_back(s);
            ++kept;
            record += kRecordBytes;
        }
        mod.declaredEntries = kept;
        mod.size = static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
        modules.push_back(mod);
    }
}

}  // namespace rivo
