// Loading an image: reading the file, the type check, and turning what the extractor of
// the image's kind found (flash_extract.cpp, main_code_extract.cpp) into the module table.
#include <limits>

#include "image/byte_reader.h"
#include "image/image_extract.h"
#include "image/kvx_image.h"
#include "text/translate.h"

namespace rivo {

int CheckImageType(std::span<const std::uint8_t> content, int& variant) {
    variant = 0;
    ByteReader in(content);
    if (content.size() < static_cast<std::size_t>(kSectorSize)) return 0;
    for (std::size_t sector = 0; sector < 3; ++sector) {
        int r = image_detail::FlashTestSector(in, sector);
        if (r == 1) return 1;
        if (r == 0) break;
    }
    return image_detail::MainCodeSignatureTest(content, variant);
}

LoadResult KvxImage::loadFile(const std::string& path) {
    std::string error;
    std::optional<Bytes> content = ReadWholeFile(path, error);
    if (!content) {
        // The type check would call this file type 0; the status keeps the reason
        // for callers that can show it.
        fileName_ = path;
        fileSize_ = 0;
        type_ = 0;
        LoadResult r;
        r.status = LoadResult::Status::Unreadable;
        r.message = error;
        return r;
    }
    return loadBytes(std::move(*content), path);
}

void KvxImage::startLoading(Bytes content, const std::string& name) {
    fileName_ = name;
    content_ = std::move(content);
    fileSize_ = static_cast<std::int64_t>(content_.size());
    modules_.clear();
    declaredEntries_ = 0;
    ucrSector_ = -1;
    rawSectors_.clear();
    variant_ = 0;
    damage_.clear();
    damageNotListed_ = 0;
    cutEntries_.clear();
}

void KvxImage::noteDamage(std::string line) {
    // A crafted table can hold thousands of bad records; the first ones say enough.
    if (damage_.size() < kMaxDamageLines - 1)
        damage_.push_back(std::move(line));
    else
        ++damageNotListed_;
}

void KvxImage::closeDamageList() {
    if (damageNotListed_ > 0)
        damage_.push_back(Fmt(TrN("e un altro problema.", "e altri %1 problemi.", damageNotListed_), damageNotListed_));
}

std::string LoadWarnings(const LoadResult& result) {
    std::string text = result.sizeWarning;
    if (!result.damageWarning.empty()) text += (text.empty() ? "" : "\n") + result.damageWarning;
    return text;
}

namespace {

std::string DamageWarning(const std::vector<std::string>& damage) {
    if (damage.empty()) return {};
    std::string text = Tr("La tabella dei moduli è danneggiata:");
    for (const std::string& line : damage) text += "\n- " + line;
    return text;
}

}  // namespace

void KvxImage::buildTable() {
    std::vector<ModuleRecord> modules;
    std::vector<EntryRecord> entries;
    if (type_ == 1)
        extractFlash(modules, entries);
    else
        extractMainCode(modules, entries);
    translateList(modules, entries);
    closeDamageList();
}

void KvxImage::dropContent() {
    content_.clear();
    content_.shrink_to_fit();
}

LoadResult KvxImage::loadBytes(Bytes content, const std::string& name) {
    startLoading(std::move(content), name);
    type_ = checkFileType();
    LoadResult r;
    if (type_ != 1 && type_ != 2) {
        dropContent();
        r.status = LoadResult::Status::Unrecognised;
        r.message = Tr(kUnknownFormatMessage);
        return r;
    }
    buildTable();
    dropContent();
    r.status = LoadResult::Status::Ok;
    if (unexpectedSize()) r.sizeWarning = FlashSizeWarning(fileSize_);
    r.damageWarning = DamageWarning(damage_);
    return r;
}

LoadResult KvxImage::loadFlashBytes(Bytes content, const std::string& name) {
    startLoading(std::move(content), name);
    type_ = 1;
    buildTable();
    dropContent();
    LoadResult r;
    r.status = LoadResult::Status::Ok;
    r.damageWarning = DamageWarning(damage_);
    return r;
}

int KvxImage::checkFileType() {
    fileSize_ = static_cast<std::int64_t>(content_.size());
    int variant = 0;
    int type = CheckImageType(content_, variant);
    if (variant == 4) variant_ = 4;
    return type;
}

void KvxImage::translateList(const std::vector<ModuleRecord>& modules, const std::vector<EntryRecord>& entries) {
    ByteReader in(content_);
    std::size_t next = 0;
    for (std::size_t j = 0; j < modules.size(); ++j) {
        KvxModule* m = addModule(modules[j]);
        m->setListIndex(static_cast<int>(modules_.size() - 1));
        for (std::int32_t i = 0; i < modules[j].declaredEntries && next < entries.size(); ++i) {
            EntryRecord info = entries[next++];
            info.kind = m->kind();
            // As addEntry, but the module's size is computed once below rather than
            // after every entry: a module may declare thousands of entries.
            auto entry = std::make_unique<KvxEntry>();
            entry->setRecord(info);
            auto bytes = in.bytesUpTo(info.filePos, info.size);
            entry->setData(bytes.data(), bytes.size());
            m->entries_.push_back(std::move(entry));
            if (declaredEntries_ < std::numeric_limits<std::int32_t>::max()) ++declaredEntries_;
        }
        m->recomputeSize();
    }
}

}  // namespace rivo
