// The module table: entries (KvxEntry), modules (KvxModule) and the image's list of
// modules (KvxImage), as both image kinds are held once loaded. Loading is kvx_load.cpp
// with one extractor for each kind; writing is kvx_writer.cpp.
#include "image/kvx_image.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace rivo {

namespace {

// The element at index of a list held by pointer; nullptr when index is outside it.
template <typename List>
auto* ItemAt(List& items, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return decltype(items[0].get()){nullptr};
    return items[static_cast<std::size_t>(index)].get();
}

// The snapshot of an entry or module; none when there is none.
template <typename Item>
auto InfoOf(const Item* item) -> std::optional<decltype(item->record())> {
    if (!item) return std::nullopt;
    return item->record();
}

std::int32_t RoundUp4(std::int64_t v) {
    std::int64_t r = (v + 3) / 4 * 4;
    return static_cast<std::int32_t>(std::min<std::int64_t>(r, std::numeric_limits<std::int32_t>::max() - 3));
}

}  // namespace

// ---------------------------------------------------------------------------------
// KvxEntry

void KvxEntry::setRecord(const EntryRecord& info) {
    name_ = info.name.substr(0, 12);
    filePos_ = info.filePos;
    offset_ = info.offset;
    moduleIndex_ = info.moduleIndex;
    size_ = info.size;
    kind_ = info.kind;
}

EntryRecord KvxEntry::record() const {
    return EntryRecord{.name = name_,
                     .size = size_,
                     .offset = offset_,
                     .kind = kind_,
                     .moduleIndex = moduleIndex_,
                     .filePos = filePos_};
}

void KvxEntry::setData(const std::uint8_t* data, std::size_t count) {
    if (count == 0 || data == nullptr) {
        data_.clear();
    } else {
        data_.assign(data, data + count);
    }
    size_ = static_cast<std::int32_t>(std::min<std::size_t>(data_.size(), std::numeric_limits<std::int32_t>::max()));
}

void KvxEntry::setData(Bytes data) {
    data_ = std::move(data);
    size_ = static_cast<std::int32_t>(std::min<std::size_t>(data_.size(), std::numeric_limits<std::int32_t>::max()));
}

const Bytes& KvxEntry::storedBytes() {
    contentTooLarge_ = false;
    contentBuffer_ = data_;
    return contentBuffer_;
}

const Bytes& KvxEntry::content() {
    if (kind_ == static_cast<std::int32_t>(ModuleKind::Packed)) {
        unpack();
        return contentBuffer_;
    }
    return storedBytes();
}

void KvxEntry::unpack() { contentTooLarge_ = !UnpackBytes(data_, contentBuffer_); }

// ---------------------------------------------------------------------------------
// KvxModule

KvxEntry* KvxModule::entry(int index) { return ItemAt(entries_, index); }
const KvxEntry* KvxModule::entry(int index) const { return ItemAt(entries_, index); }
std::optional<EntryRecord> KvxModule::entryRecord(int index) const { return InfoOf(entry(index)); }

ModuleRecord KvxModule::record() const {
    return ModuleRecord{.name = name_,
                     .size = size_,
                     .declaredEntries = declaredEntries_,
                     .kind = kind_,
                     .offset = offset_,
                     .address = address_,
                     .source = source_,
                     .sector = sector_,
                     .slot = slot_};
}

void KvxModule::recomputeSize() {
    // A table module is laid out as header, one 20-byte record per entry and the data;
    // its size counts from header byte 12, hence the 4. Raw sectors and main-code
    // modules are just their data.
    bool tableModule = source_ == 1 && kind_ != static_cast<std::int32_t>(ModuleKind::Raw);
    std::int64_t size = tableModule ? 4 : 0;
    for (const auto& s : entries_) size += (tableModule ? 20 : 0) + s->size();
    size_ = RoundUp4(size);
}

KvxEntry* KvxModule::addEntry(const EntryRecord& info) {
    auto entry = std::make_unique<KvxEntry>();
    entry->setRecord(info);
    entries_.push_back(std::move(entry));
    recomputeSize();
    return entries_.back().get();
}

void KvxModule::copyEntry(const KvxEntry& source) {
    EntryRecord info = source.record();
    info.filePos = kUnplaced;
    if (entries_.empty()) {
        info.offset = 16;
    } else {
        const KvxEntry& last = *entries_.back();
        info.offset = static_cast<std::int32_t>(static_cast<std::int64_t>(last.offset()) + last.size());
    }
    auto entry = std::make_unique<KvxEntry>();
    entry->setRecord(info);
    entry->setData(source.data());
    entries_.push_back(std::move(entry));
    ++declaredEntries_;
    recomputeSize();
    // The entry records grew by one, so every entry's data moved 20 bytes on.
    for (auto& s : entries_) s->shiftOffset(20);
}

void KvxModule::setListIndex(int index) {
    if (index >= 0) listIndex_ = index;
}

void KvxModule::setPlace(std::int32_t sector, std::int32_t slot, std::int32_t offset) {
    sector_ = sector;
    slot_ = slot;
    offset_ = offset;
}

// ---------------------------------------------------------------------------------
// KvxImage: the module table

KvxImage::KvxImage() = default;
KvxImage::~KvxImage() = default;

KvxModule* KvxImage::module(int index) { return ItemAt(modules_, index); }
const KvxModule* KvxImage::module(int index) const { return ItemAt(modules_, index); }
std::optional<ModuleRecord> KvxImage::moduleRecord(int index) const { return InfoOf(module(index)); }

KvxModule* KvxImage::addModule(const ModuleRecord& info) {
    auto m = std::make_unique<KvxModule>(this);
    m->name_ = info.name;
    m->source_ = info.source;
    m->kind_ = info.kind;
    m->offset_ = info.offset;
    m->address_ = info.address;
    m->declaredEntries_ = info.declaredEntries;
    if (info.source == 1) {
        m->sector_ = info.sector;
        m->slot_ = info.slot;
    } else {
        m->sector_ = kUnplaced;
        m->slot_ = kUnplaced;
    }
    m->recomputeSize();
    modules_.push_back(std::move(m));
    return modules_.back().get();
}

void KvxImage::exchangeModulePosition(int index1, int index2) {
    if (index1 < 0 || index2 < 0 || index1 >= moduleCount() || index2 >= moduleCount()) return;
    std::swap(modules_[static_cast<std::size_t>(index1)], modules_[static_cast<std::size_t>(index2)]);
}

void KvxImage::orderModule() {
    std::stable_sort(modules_.begin(), modules_.end(), [](const auto& a, const auto& b) {
        if (a->sector_ != b->sector_) return a->sector_ < b->sector_;
        return a->slot_ < b->slot_;
    });
    struct Snapshot {
        std::int32_t sector, slot, offset, size;
    };
    Snapshot prev{};
    std::int64_t p = 0;
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        KvxModule& m = *modules_[i];
        Snapshot cur{m.sector_, m.slot_, m.offset_, m.size_};
        m.setListIndex(static_cast<int>(i));
        if (i == 0 || cur.sector != prev.sector) p = static_cast<std::int64_t>(cur.sector) * kSectorSize + 32;
        if (static_cast<std::uint32_t>(cur.offset) >= 0x100000u)
            m.setPlace(cur.sector, cur.slot, static_cast<std::int32_t>(p));
        p += static_cast<std::int64_t>(cur.size) + 12;
        if (i > 0 && prev.sector == cur.sector && static_cast<std::int64_t>(prev.slot) + 1 < cur.slot) {
            std::int64_t off = static_cast<std::int64_t>(prev.offset) + prev.size + 12;
            m.setPlace(cur.sector, prev.slot + 1, static_cast<std::int32_t>(off));
        }
        prev = cur;
    }
}

std::int64_t KvxImage::dataSize() const {
    std::int64_t sum = 0;
    for (const auto& m : modules_) sum += m->size_;
    return sum;
}

void KvxImage::duplicateModule(const KvxModule& module) {
    ModuleRecord info = module.record();
    info.address = kUnplaced;
    info.offset = kUnplaced;
    info.sector = kUnplaced;
    info.slot = kUnplaced;
    info.declaredEntries = 0;
    KvxModule* copy = addModule(info);
    // The source is usually a module of this very list; growing the list does not move
    // it, since modules are held by pointer.
    for (int i = 0; i < module.entryCount(); ++i) copy->copyEntry(*module.entry(i));
}

void KvxImage::deleteModule(int index) {
    if (index < 0 || index >= moduleCount()) return;
    declaredEntries_ -= modules_[static_cast<std::size_t>(index)]->declaredEntries_;
    modules_.erase(modules_.begin() + index);
    orderModule();
}

void KvxImage::replaceList(std::vector<std::unique_ptr<KvxModule>> modules) {
    modules_ = std::move(modules);
    std::int64_t total = 0;
    for (auto& m : modules_) {
        m->owner_ = this;
        total += m->declaredEntries_;
    }
    declaredEntries_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(total, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace rivo
