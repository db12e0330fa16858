// Loading an image: type check, the two extractors, and the module table.
#include "image/kvx_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "image/byte_reader.h"

namespace rivo {

namespace {

constexpr std::size_t kTableBytes = 32;
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kRecordBytes = 20;
constexpr std::size_t kTableSlots = 16;

// "boot", NUL, "boot.app", NUL, two spaces.
constexpr std::uint8_t kSignature1[16] = {'b', 'o', 'o', 't', 0,   'b', 'o', 'o',
                                          't', '.', 'a', 'p', 'p', 0,   ' ', ' '};
// "boot", four NULs, "boot.app", four NULs, "boot", four NULs.
constexpr std::uint8_t kSignature2[28] = {'b', 'o', 'o', 't', 0, 0,   0,   0,   'b', 'o',
                                          'o', 't', '.', 'a', 'p', 'p', 0,   0,   0,   0,
                                          'b', 'o', 'o', 't', 0,   0,   0,   0};

bool startsWithUcr(const ByteReader& in, std::size_t at) {
    return in.fits(at, std::size_t{3}) && in.u8At(at) == 'u' && in.u8At(at + 1) == 'c' &&
           in.u8At(at + 2) == 'r';
}

bool matchesAt(std::span<const std::uint8_t> data, std::size_t at, std::span<const std::uint8_t> pattern) {
    if (at > data.size() || pattern.size() > data.size() - at) return false;
    return std::equal(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Plain modules are the ones the channel list is stored in unencoded.
std::int32_t flashKindForName(const std::string& name) {
    std::string u = upper(name);
    if (u == "TPT" || u == "TCS" || u == "PATCH" || u == "MAIL" || u.find("TCS") != std::string::npos)
        return static_cast<std::int32_t>(ModuleKind::Plain);
    return static_cast<std::int32_t>(ModuleKind::Packed);
}

// Entries are copies of the file's bytes, and nothing stops a damaged table from
// pointing thousands of entries at the same 64 KiB. In a well-formed image every entry
// has a 20-byte record of its own and the entries' bytes do not overlap, so there are
// at most (file size / 20) entries holding at most the file's size in bytes. Past that
// the table is corrupt: further records are dropped and further bytes cut.
class EntryBudget {
public:
    explicit EntryBudget(std::size_t fileSize)
        : bytesLeft_(static_cast<std::int64_t>(fileSize)), recordsLeft_(static_cast<std::int64_t>(fileSize / 20)) {}
    bool takeRecord() {
        if (recordsLeft_ == 0) return false;
        --recordsLeft_;
        return true;
    }
    std::int64_t takeBytes(std::int64_t wanted) {
        std::int64_t got = std::clamp<std::int64_t>(wanted, 0, bytesLeft_);
        bytesLeft_ -= got;
        return got;
    }

private:
    std::int64_t bytesLeft_;
    std::int64_t recordsLeft_;
};

std::int32_t roundUp4(std::int64_t v) {
    std::int64_t r = (v + 3) / 4 * 4;
    return static_cast<std::int32_t>(std::min<std::int64_t>(r, std::numeric_limits<std::int32_t>::max() - 3));
}

// The flash test of the type check on one sector: 1 recognised, 0 not (the test ends
// here), -1 go on to the next sector.
int flashTestSector(const ByteReader& in, std::size_t sector) {
    std::size_t start = sector * kSectorSize;
    if (!in.fits(start, kTableBytes)) return -1;  // the sector is not in the file
    if (startsWithUcr(in, start)) return -1;
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

}  // namespace

int CheckImageType(std::span<const std::uint8_t> content, int& variant) {
    variant = 0;
    ByteReader in(content);
    if (content.size() < static_cast<std::size_t>(kSectorSize)) return 0;
    for (std::size_t sector = 0; sector < 3; ++sector) {
        int r = flashTestSector(in, sector);
        if (r == 1) return 1;
        if (r == 0) break;
    }
    // The whole file is in memory, so one pass finds a signature wherever it lies,
    // across 64 KiB boundaries included. The two signatures share their first five
    // bytes, so at most one begins at any position.
    static constexpr std::uint8_t kPrefix[5] = {'b', 'o', 'o', 't', 0};
    auto it = content.begin();
    while (true) {
        it = std::search(it, content.end(), std::begin(kPrefix), std::end(kPrefix));
        if (it == content.end()) return 0;
        auto at = static_cast<std::size_t>(it - content.begin());
        if (matchesAt(content, at, kSignature1)) return 2;
        if (matchesAt(content, at, kSignature2)) {
            variant = 4;
            return 2;
        }
        ++it;
    }
}

// ---------------------------------------------------------------------------------
// TKVXScript

void TKVXScript::SetInfo(const TmpScript& info) {
    Name_ = info.Name.substr(0, 12);
    FilePos_ = info.FilePos;
    Offset_ = info.Offset;
    ModuleIndex_ = info.ModuleIndex;
    Size_ = info.Size;
    Kind_ = info.Kind;
}

TmpScript TKVXScript::GetInfo() const {
    TmpScript s;
    s.Name = Name_;
    s.Size = Size_;
    s.Offset = Offset_;
    s.Kind = Kind_;
    s.ModuleIndex = ModuleIndex_;
    s.FilePos = FilePos_;
    return s;
}

void TKVXScript::SetData(const std::uint8_t* data, std::size_t count) {
    if (count == 0 || data == nullptr) {
        Data_.clear();
    } else {
        Data_.assign(data, data + count);
    }
    Size_ = static_cast<std::int32_t>(std::min<std::size_t>(Data_.size(), std::numeric_limits<std::int32_t>::max()));
}

void TKVXScript::SetData(Bytes data) {
    Data_ = std::move(data);
    Size_ = static_cast<std::int32_t>(std::min<std::size_t>(Data_.size(), std::numeric_limits<std::int32_t>::max()));
}

const Bytes& TKVXScript::GetRawStream() {
    Stream_ = Data_;
    return Stream_;
}

const Bytes& TKVXScript::GetStream() {
    if (Kind_ == static_cast<std::int32_t>(ModuleKind::Packed)) {
        Unpack();
        return Stream_;
    }
    return GetRawStream();
}

void TKVXScript::Unpack() { UnpackBytes(Data_, Stream_); }

// ---------------------------------------------------------------------------------
// TKVXModule

TKVXScript* TKVXModule::GetScript(int index) {
    if (index < 0 || index >= GetNumScript()) return nullptr;
    return Scripts_[static_cast<std::size_t>(index)].get();
}

const TKVXScript* TKVXModule::GetScript(int index) const {
    if (index < 0 || index >= GetNumScript()) return nullptr;
    return Scripts_[static_cast<std::size_t>(index)].get();
}

std::optional<TmpScript> TKVXModule::GetScriptInfo(int index) const {
    const TKVXScript* s = GetScript(index);
    if (!s) return std::nullopt;
    return s->GetInfo();
}

TmpModule TKVXModule::GetInfo() const {
    TmpModule m;
    m.Name = Name_;
    m.Size = Size_;
    m.NumScript = NumScript_;
    m.Kind = Kind_;
    m.Offset = Offset_;
    m.Address = Address_;
    m.Source = Source_;
    m.Sector = Sector_;
    m.Slot = Slot_;
    return m;
}

void TKVXModule::RecomputeSize() {
    // A table module is laid out as header, one 20-byte record per entry and the data;
    // its size counts from header byte 12, hence the 4. Raw sectors and main-code
    // modules are just their data.
    bool tableModule = Source_ == 1 && Kind_ != static_cast<std::int32_t>(ModuleKind::Raw);
    std::int64_t size = tableModule ? 4 : 0;
    for (const auto& s : Scripts_) size += (tableModule ? 20 : 0) + s->Size();
    Size_ = roundUp4(size);
}

TKVXScript* TKVXModule::AddScript(const TmpScript& info) {
    auto script = std::make_unique<TKVXScript>();
    script->SetInfo(info);
    Scripts_.push_back(std::move(script));
    RecomputeSize();
    return Scripts_.back().get();
}

void TKVXModule::CopyScript(const TKVXScript& source) {
    TmpScript info = source.GetInfo();
    info.FilePos = kUnplaced;
    if (Scripts_.empty()) {
        info.Offset = 16;
    } else {
        const TKVXScript& last = *Scripts_.back();
        info.Offset = static_cast<std::int32_t>(static_cast<std::int64_t>(last.Offset()) + last.Size());
    }
    auto script = std::make_unique<TKVXScript>();
    script->SetInfo(info);
    script->SetData(source.Data());
    Scripts_.push_back(std::move(script));
    ++NumScript_;
    RecomputeSize();
    // The entry records grew by one, so every entry's data moved 20 bytes on.
    for (auto& s : Scripts_) s->ShiftOffset(20);
}

void TKVXModule::SetListIndex(int index) {
    if (index >= 0) ListIndex_ = index;
}

void TKVXModule::SetPlace(std::int32_t sector, std::int32_t slot, std::int32_t offset) {
    Sector_ = sector;
    Slot_ = slot;
    Offset_ = offset;
}

// ---------------------------------------------------------------------------------
// TKVXFile: the module table

TKVXFile::TKVXFile() = default;
TKVXFile::~TKVXFile() = default;

TKVXModule* TKVXFile::GetModule(int index) {
    if (index < 0 || index >= GetNumModule()) return nullptr;
    return Modules_[static_cast<std::size_t>(index)].get();
}

const TKVXModule* TKVXFile::GetModule(int index) const {
    if (index < 0 || index >= GetNumModule()) return nullptr;
    return Modules_[static_cast<std::size_t>(index)].get();
}

std::optional<TmpModule> TKVXFile::GetModuleInfo(int index) const {
    const TKVXModule* m = GetModule(index);
    if (!m) return std::nullopt;
    return m->GetInfo();
}

TKVXModule* TKVXFile::AddModule(const TmpModule& info) {
    auto m = std::make_unique<TKVXModule>(this);
    m->Name_ = info.Name;
    m->Source_ = info.Source;
    m->Kind_ = info.Kind;
    m->Offset_ = info.Offset;
    m->Address_ = info.Address;
    m->NumScript_ = info.NumScript;
    if (info.Source == 1) {
        m->Sector_ = info.Sector;
        m->Slot_ = info.Slot;
    } else {
        m->Sector_ = kUnplaced;
        m->Slot_ = kUnplaced;
    }
    m->RecomputeSize();
    Modules_.push_back(std::move(m));
    return Modules_.back().get();
}

void TKVXFile::ExchangeModulePosition(int index1, int index2) {
    if (index1 < 0 || index2 < 0 || index1 >= GetNumModule() || index2 >= GetNumModule()) return;
    std::swap(Modules_[static_cast<std::size_t>(index1)], Modules_[static_cast<std::size_t>(index2)]);
}

void TKVXFile::OrderModule() {
    std::stable_sort(Modules_.begin(), Modules_.end(), [](const auto& a, const auto& b) {
        if (a->Sector_ != b->Sector_) return a->Sector_ < b->Sector_;
        return a->Slot_ < b->Slot_;
    });
    struct Snapshot {
        std::int32_t sector, slot, offset, size;
    };
    Snapshot prev{};
    std::int64_t p = 0;
    for (std::size_t i = 0; i < Modules_.size(); ++i) {
        TKVXModule& m = *Modules_[i];
        Snapshot cur{m.Sector_, m.Slot_, m.Offset_, m.Size_};
        m.SetListIndex(static_cast<int>(i));
        if (i == 0 || cur.sector != prev.sector) p = static_cast<std::int64_t>(cur.sector) * kSectorSize + 32;
        if (static_cast<std::uint32_t>(cur.offset) >= 0x100000u)
            m.SetPlace(cur.sector, cur.slot, static_cast<std::int32_t>(p));
        p += static_cast<std::int64_t>(cur.size) + 12;
        if (i > 0 && prev.sector == cur.sector && static_cast<std::int64_t>(prev.slot) + 1 < cur.slot) {
            std::int64_t off = static_cast<std::int64_t>(prev.offset) + prev.size + 12;
            m.SetPlace(cur.sector, prev.slot + 1, static_cast<std::int32_t>(off));
        }
        prev = cur;
    }
}

std::int64_t TKVXFile::GetDataSize() const {
    std::int64_t sum = 0;
    for (const auto& m : Modules_) sum += m->Size_;
    return sum;
}

void TKVXFile::DuplicateModule(const TKVXModule& module) {
    TmpModule info = module.GetInfo();
    info.Address = kUnplaced;
    info.Offset = kUnplaced;
    info.Sector = kUnplaced;
    info.Slot = kUnplaced;
    info.NumScript = 0;
    TKVXModule* copy = AddModule(info);
    // The source is usually a module of this very list; growing the list does not move
    // it, since modules are held by pointer.
    for (int i = 0; i < module.GetNumScript(); ++i) copy->CopyScript(*module.GetScript(i));
}

void TKVXFile::DeleteModule(int index) {
    if (index < 0 || index >= GetNumModule()) return;
    NumScript_ -= Modules_[static_cast<std::size_t>(index)]->NumScript_;
    Modules_.erase(Modules_.begin() + index);
    OrderModule();
}

void TKVXFile::ReplaceList(std::vector<std::unique_ptr<TKVXModule>> modules) {
    Modules_ = std::move(modules);
    std::int64_t total = 0;
    for (auto& m : Modules_) {
        m->Owner_ = this;
        total += m->NumScript_;
    }
    NumScript_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(total, 0, std::numeric_limits<std::int32_t>::max()));
}

// ---------------------------------------------------------------------------------
// TKVXFile: loading

LoadResult TKVXFile::LoadFile(const std::string& path) {
    std::string error;
    std::optional<Bytes> content = ReadWholeFile(path, error);
    if (!content) {
        // The type check would call this file type 0; the status keeps the reason
        // for callers that can show it.
        FileName_ = path;
        FileSize_ = 0;
        Type_ = 0;
        LoadResult r;
        r.status = LoadResult::Status::Unreadable;
        r.message = error;
        return r;
    }
    return LoadBytes(std::move(*content), path);
}

namespace {
void resetState(std::string& fileName, const std::string& name, Bytes& content, Bytes&& newContent,
                std::int64_t& fileSize) {
    fileName = name;
    content = std::move(newContent);
    fileSize = static_cast<std::int64_t>(content.size());
}
}  // namespace

std::string FlashSizeWarning(std::int64_t actualSize) {
    const std::string sizes = "Il file è lungo " + std::to_string(actualSize) + " byte, ma un'immagine flash ne ha " +
                              std::to_string(kFlashImageSize) + ".";
    if (actualSize < kFlashImageSize)
        return sizes + " Il file salvato potrebbe non contenere quello che conteneva la parte mancante.";
    return sizes + " I byte oltre i " + std::to_string(kFlashImageSize) + " non vengono letti e non saranno salvati.";
}

LoadResult TKVXFile::LoadBytes(Bytes content, const std::string& name) {
    resetState(FileName_, name, Content_, std::move(content), FileSize_);
    Modules_.clear();
    NumScript_ = 0;
    UcrSector_ = -1;
    RawSectors_.clear();
    Variant_ = 0;
    Type_ = CheckFileType();
    LoadResult r;
    std::vector<TmpModule> modules;
    std::vector<TmpScript> scripts;
    if (Type_ == 1) {
        ExtractFlash(modules, scripts);
    } else if (Type_ == 2) {
        ExtractMainCode(modules, scripts);
    } else {
        Content_.clear();
        Content_.shrink_to_fit();
        r.status = LoadResult::Status::Unrecognised;
        r.message = kUnknownFormatMessage;
        return r;
    }
    TranslateList(modules, scripts);
    Content_.clear();
    Content_.shrink_to_fit();
    r.status = LoadResult::Status::Ok;
    if (UnexpectedSize()) r.sizeWarning = FlashSizeWarning(FileSize_);
    return r;
}

LoadResult TKVXFile::LoadFlashBytes(Bytes content, const std::string& name) {
    resetState(FileName_, name, Content_, std::move(content), FileSize_);
    Modules_.clear();
    NumScript_ = 0;
    UcrSector_ = -1;
    RawSectors_.clear();
    Variant_ = 0;
    Type_ = 1;
    std::vector<TmpModule> modules;
    std::vector<TmpScript> scripts;
    ExtractFlash(modules, scripts);
    TranslateList(modules, scripts);
    Content_.clear();
    Content_.shrink_to_fit();
    LoadResult r;
    r.status = LoadResult::Status::Ok;
    return r;
}

int TKVXFile::CheckFileType() {
    FileSize_ = static_cast<std::int64_t>(Content_.size());
    int variant = 0;
    int type = CheckImageType(Content_, variant);
    if (variant == 4) Variant_ = 4;
    return type;
}

void TKVXFile::ExtractFlash(std::vector<TmpModule>& modules, std::vector<TmpScript>& scripts) {
    ByteReader in(Content_);
    EntryBudget budget(Content_.size());
    for (std::size_t k = 0; k < static_cast<std::size_t>(kSectorCount); ++k) {
        const std::size_t start = k * kSectorSize;
        const std::size_t sectorEnd = start + kSectorSize;
        if (!in.fits(start, kTableBytes)) break;  // sectors beyond the end yield nothing
        if (startsWithUcr(in, start)) {
            UcrSector_ = static_cast<int>(k);
            RawSectors_.push_back(static_cast<int>(k));
            // A raw sector cut short by the end of the file keeps what is there.
            auto bytes = in.bytesUpTo(static_cast<std::int64_t>(start), kSectorSize);
            TmpModule m;
            m.Name = "UCR";
            m.Size = kSectorSize;
            m.NumScript = 1;
            m.Kind = static_cast<std::int32_t>(ModuleKind::Raw);
            m.Offset = static_cast<std::int32_t>(start);
            m.Address = 0;
            m.Source = 1;
            m.Sector = static_cast<std::int32_t>(k);
            m.Slot = 0;
            modules.push_back(m);
            TmpScript s;
            s.Name = "UCR";
            s.Size = static_cast<std::int32_t>(bytes.size());
            s.Offset = 0;
            s.Kind = m.Kind;
            s.FilePos = m.Offset;
            scripts.push_back(s);
            continue;
        }
        std::int32_t slot = 0;
        for (std::size_t t = 0; t < kTableSlots; ++t) {
            std::uint16_t v = in.le16At(start + 2 * t);
            if (v == 0 || v == 0xFFFF) continue;
            const std::size_t header = start + v;
            // A header that does not lie wholly inside its sector (and the file) is
            // dropped; it still takes no slot number, as the writer would not give
            // it one either.
            if (header + kHeaderBytes > sectorEnd || !in.fits(header, kHeaderBytes)) continue;
            TmpModule m;
            m.Name = in.nameAt(header, 10);
            m.Size = in.le16At(header + 10);
            const std::uint16_t declared = in.le16At(header + 12);
            m.Kind = flashKindForName(m.Name);
            m.Offset = static_cast<std::int32_t>(header);
            m.Address = 0;
            m.Source = 1;
            m.Sector = static_cast<std::int32_t>(k);
            m.Slot = slot++;
            // Entry records past the end of the sector (or the file) are cut off: the
            // module keeps the entries whose records are whole.
            std::int32_t kept = 0;
            for (std::size_t i = 0; i < declared; ++i) {
                const std::size_t rec = header + kHeaderBytes + kRecordBytes * i;
                if (rec + kRecordBytes > sectorEnd || !in.fits(rec, kRecordBytes) || !budget.takeRecord()) break;
                TmpScript s;
                s.Name = in.nameAt(rec, 12);
                std::uint16_t off = in.le16At(rec + 12);
                if (in.u8At(rec + 12) == 0 && in.u8At(rec + 13) == 0) off = in.be16At(rec + 14);
                std::uint16_t size = in.le16At(rec + 16);
                if (in.u8At(rec + 16) == 0 && in.u8At(rec + 17) == 0) size = in.be16At(rec + 18);
                s.Offset = static_cast<std::int32_t>(off) + 12;
                s.FilePos = static_cast<std::int32_t>(header) + s.Offset;
                // A module lives in one sector, and the writer keeps it there: data
                // past the end of the sector (or the file) is cut off.
                const std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(Content_.size()),
                                                                static_cast<std::int64_t>(sectorEnd));
                std::int64_t avail = std::max<std::int64_t>(0, end - s.FilePos);
                s.Size = static_cast<std::int32_t>(budget.takeBytes(std::min<std::int64_t>(size, avail)));
                s.Kind = m.Kind;
                s.ModuleIndex = 0;
                scripts.push_back(s);
                ++kept;
            }
            m.NumScript = kept;
            modules.push_back(m);
        }
    }
}

void TKVXFile::ExtractMainCode(std::vector<TmpModule>& modules, std::vector<TmpScript>& scripts) {
    ByteReader in(Content_);
    EntryBudget budget(Content_.size());
    const std::span<const std::uint8_t> data(Content_);
    // 1. The directory: "boot" and at least four NULs (five with the 28-byte signature).
    const std::size_t nuls = Variant_ == 4 ? 5 : 4;
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
    if (e == 16) Variant_ = 1;
    const bool v4 = Variant_ == 4;

    // A directory that does not wholly lie in the file, counts included, is cut to the
    // modules whose directory entry and count field are both in the file.
    std::size_t usable = 0;
    while (usable < n && in.fits(dir + usable * e, e) && in.fits(dir + n * e + 4 * usable, std::size_t{4}))
        ++usable;
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
        TmpModule mod;
        mod.Name = in.nameAt(dir + m * e, 12);
        auto raw = in.bytesAt(dir + m * e + 12, 4);
        std::copy(raw.begin(), raw.end(), mod.RawAddress.begin());
        const std::uint32_t addr = address(m);
        mod.Address = static_cast<std::int32_t>(addr);
        mod.Offset = static_cast<std::int32_t>(addr - base);
        mod.Kind = static_cast<std::int32_t>(ModuleKind::Packed);
        mod.Source = 2;
        mod.Sector = kUnplaced;
        mod.Slot = kUnplaced;
        const std::size_t countAt = dir + n * e + 4 * m;
        std::size_t count = in.u8At(countAt);
        if (count == 0) count = in.u8At(countAt + 3);
        std::int64_t sum = 0;
        std::int32_t kept = 0;
        for (std::size_t i = 0; i < count && recordsLeft; ++i) {
            // Records are consecutive: once one is past the end, so are all the rest.
            if (!in.fits(record, kRecordBytes) || !budget.takeRecord()) {
                recordsLeft = false;
                break;
            }
            TmpScript s;
            s.Name = in.nameAt(record, 12);
            std::uint32_t off = v4 ? in.be24At(record + 13) : in.le24At(record + 12);
            std::uint32_t size = v4 ? in.be24At(record + 17) : in.le24At(record + 16);
            s.Offset = static_cast<std::int32_t>(off);
            std::int64_t pos = static_cast<std::int64_t>(mod.Offset) + off + extra;
            // Data outside the file is cut to what the file holds.
            std::int64_t avail = (pos < 0 || pos >= static_cast<std::int64_t>(Content_.size()))
                                     ? 0
                                     : static_cast<std::int64_t>(Content_.size()) - pos;
            s.Size = static_cast<std::int32_t>(budget.takeBytes(std::min<std::int64_t>(size, avail)));
            s.FilePos = static_cast<std::int32_t>(pos);
            s.Kind = mod.Kind;
            s.ModuleIndex = static_cast<std::int32_t>(m);
            sum += s.Size;
            scripts.push_back(s);
            ++kept;
            record += kRecordBytes;
        }
        mod.NumScript = kept;
        mod.Size = static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
        modules.push_back(mod);
    }
}

void TKVXFile::TranslateList(const std::vector<TmpModule>& modules, const std::vector<TmpScript>& scripts) {
    ByteReader in(Content_);
    std::size_t next = 0;
    for (std::size_t j = 0; j < modules.size(); ++j) {
        TKVXModule* m = AddModule(modules[j]);
        m->SetListIndex(static_cast<int>(Modules_.size() - 1));
        for (std::int32_t i = 0; i < modules[j].NumScript && next < scripts.size(); ++i) {
            TmpScript info = scripts[next++];
            info.Kind = m->Kind();
            // As AddScript, but the module's size is computed once below rather than
            // after every entry: a module may declare thousands of entries.
            auto script = std::make_unique<TKVXScript>();
            script->SetInfo(info);
            auto bytes = in.bytesUpTo(info.FilePos, info.Size);
            script->SetData(bytes.data(), bytes.size());
            m->Scripts_.push_back(std::move(script));
            if (NumScript_ < std::numeric_limits<std::int32_t>::max()) ++NumScript_;
        }
        m->RecomputeSize();
    }
}

}  // namespace rivo
