// Loading an image: reading the file, the type check, and turning what the extractor of
// the image's kind found (flash_extract.cpp, main_code_extract.cpp) into the module table.
#include <limits>

#include "image/byte_reader.h"
#include "image/image_extract.h"
#include "image/kvx_file.h"

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

void TKVXFile::StartLoading(Bytes content, const std::string& name) {
    FileName_ = name;
    Content_ = std::move(content);
    FileSize_ = static_cast<std::int64_t>(Content_.size());
    Modules_.clear();
    NumScript_ = 0;
    UcrSector_ = -1;
    RawSectors_.clear();
    Variant_ = 0;
}

void TKVXFile::BuildTable() {
    std::vector<TmpModule> modules;
    std::vector<TmpScript> scripts;
    if (Type_ == 1)
        ExtractFlash(modules, scripts);
    else
        ExtractMainCode(modules, scripts);
    TranslateList(modules, scripts);
}

void TKVXFile::DropContent() {
    Content_.clear();
    Content_.shrink_to_fit();
}

LoadResult TKVXFile::LoadBytes(Bytes content, const std::string& name) {
    StartLoading(std::move(content), name);
    Type_ = CheckFileType();
    LoadResult r;
    if (Type_ != 1 && Type_ != 2) {
        DropContent();
        r.status = LoadResult::Status::Unrecognised;
        r.message = kUnknownFormatMessage;
        return r;
    }
    BuildTable();
    DropContent();
    r.status = LoadResult::Status::Ok;
    if (UnexpectedSize()) r.sizeWarning = FlashSizeWarning(FileSize_);
    return r;
}

LoadResult TKVXFile::LoadFlashBytes(Bytes content, const std::string& name) {
    StartLoading(std::move(content), name);
    Type_ = 1;
    BuildTable();
    DropContent();
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
