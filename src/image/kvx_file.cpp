// The module table: entries (TKVXScript), modules (TKVXModule) and the image's list of
// modules (TKVXFile), as both image kinds are held once loaded. Loading is kvx_load.cpp
// with one extractor for each kind; writing is kvx_writer.cpp.
#include "image/kvx_file.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace rivo {

namespace {

// The element at index of a list held by pointer; nullptr when index is outside it.
template <typename List>
auto* itemAt(List& items, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return decltype(items[0].get()){nullptr};
    return items[static_cast<std::size_t>(index)].get();
}

// The snapshot of an entry or module; none when there is none.
template <typename Item>
auto infoOf(const Item* item) -> std::optional<decltype(item->GetInfo())> {
    if (!item) return std::nullopt;
    return item->GetInfo();
}

std::int32_t roundUp4(std::int64_t v) {
    std::int64_t r = (v + 3) / 4 * 4;
    return static_cast<std::int32_t>(std::min<std::int64_t>(r, std::numeric_limits<std::int32_t>::max() - 3));
}

}  // namespace

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
    return TmpScript{.Name = Name_,
                     .Size = Size_,
                     .Offset = Offset_,
                     .Kind = Kind_,
                     .ModuleIndex = ModuleIndex_,
                     .FilePos = FilePos_};
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

TKVXScript* TKVXModule::GetScript(int index) { return itemAt(Scripts_, index); }
const TKVXScript* TKVXModule::GetScript(int index) const { return itemAt(Scripts_, index); }
std::optional<TmpScript> TKVXModule::GetScriptInfo(int index) const { return infoOf(GetScript(index)); }

TmpModule TKVXModule::GetInfo() const {
    return TmpModule{.Name = Name_,
                     .Size = Size_,
                     .NumScript = NumScript_,
                     .Kind = Kind_,
                     .Offset = Offset_,
                     .Address = Address_,
                     .Source = Source_,
                     .Sector = Sector_,
                     .Slot = Slot_};
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

TKVXModule* TKVXFile::GetModule(int index) { return itemAt(Modules_, index); }
const TKVXModule* TKVXFile::GetModule(int index) const { return itemAt(Modules_, index); }
std::optional<TmpModule> TKVXFile::GetModuleInfo(int index) const { return infoOf(GetModule(index)); }

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

}  // namespace rivo
