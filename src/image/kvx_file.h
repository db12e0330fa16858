// The image container: a receiver file read into a table of modules and entries.
//
// Two kinds of file are understood: a flash image (eight 64 KiB sectors, each either a
// raw "ucr" sector or a table of up to 16 modules) and a main-code (firmware) image whose
// module directory is found by a signature. Only flash images are written back.
//
// Names inside images are byte strings (Windows-1252 in practice); they are kept here as
// std::string holding the bytes, never converted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace rivo {

using Bytes = std::vector<std::uint8_t>;

enum class ModuleKind : std::int32_t { Packed = 1, Plain = 2, Raw = 3 };

inline constexpr std::int32_t kUnplaced = -10;
inline constexpr std::int32_t kSectorSize = 65536;
inline constexpr std::int32_t kSectorCount = 8;
inline constexpr std::int32_t kFlashImageSize = kSectorSize * kSectorCount;

// Description of a module, handed out as a snapshot the caller owns.
struct TmpModule {
    std::string Name;
    std::array<std::uint8_t, 4> RawAddress{};  // main code only, during extraction
    std::int32_t Size = 0;
    std::int32_t NumScript = 0;  // entries the module declares
    std::int32_t Kind = 0;       // ModuleKind as an integer
    std::int32_t Offset = 0;
    std::int32_t Address = 0;
    std::int32_t Source = 0;  // 1 flash image, 2 main-code image
    std::int32_t Sector = 0;
    std::int32_t Slot = 0;
};

// Description of an entry, handed out as a snapshot the caller owns.
struct TmpScript {
    std::string Name;  // at most 12 bytes
    std::int32_t Size = 0;
    std::int32_t Offset = 0;  // from the start of the module header
    std::int32_t Kind = 0;
    std::int32_t ModuleIndex = 0;
    std::int32_t FilePos = 0;  // absolute position read from; kUnplaced for a copy
};

class TKVXFile;
class TKVXModule;

// One entry: a named run of bytes inside a module.
class TKVXScript {
public:
    void SetInfo(const TmpScript& info);
    TmpScript GetInfo() const;

    // Replaces the stored bytes; Size becomes their count. The module's Size and the
    // offsets of later entries keep their recorded values.
    void SetData(const std::uint8_t* data, std::size_t count);
    void SetData(Bytes data);

    // The stored bytes, exactly as read or as last set.
    const Bytes& GetRawStream();
    // The content: decoded for packed entries, the stored bytes for the others.
    // Both return the same buffer, refilled at each call.
    const Bytes& GetStream();
    // Decodes the stored bytes into the content buffer.
    void Unpack();
    void ShiftOffset(std::int32_t delta) { Offset_ += delta; }

    const std::string& Name() const { return Name_; }
    std::int32_t Size() const { return Size_; }
    std::int32_t Offset() const { return Offset_; }
    std::int32_t Kind() const { return Kind_; }
    std::int32_t FilePos() const { return FilePos_; }
    std::int32_t ModuleIndex() const { return ModuleIndex_; }
    const Bytes& Data() const { return Data_; }

private:
    Bytes Data_;
    std::int32_t Kind_ = 0;
    std::string Name_;
    std::int32_t Size_ = 0;
    std::int32_t Offset_ = 0;
    std::int32_t ModuleIndex_ = 0;
    std::int32_t FilePos_ = 0;
    Bytes Stream_;  // the content buffer handed out by GetStream/GetRawStream
};

// One module: an ordered list of entries.
class TKVXModule {
public:
    explicit TKVXModule(TKVXFile* owner = nullptr) : Owner_(owner) {}

    int GetNumScript() const { return static_cast<int>(Scripts_.size()); }
    TKVXScript* GetScript(int index);
    const TKVXScript* GetScript(int index) const;
    std::optional<TmpScript> GetScriptInfo(int index) const;
    TmpModule GetInfo() const;

    TKVXScript* AddScript(const TmpScript& info);
    void CopyScript(const TKVXScript& source);
    // The module in flash layout (header, entry records, data, fill to 4 bytes);
    // a raw module is its single entry's bytes.
    Bytes SaveToStream() const;
    void SetListIndex(int index);
    void SetPlace(std::int32_t sector, std::int32_t slot, std::int32_t offset);

    const std::string& Name() const { return Name_; }
    std::int32_t Size() const { return Size_; }
    std::int32_t Kind() const { return Kind_; }
    std::int32_t Offset() const { return Offset_; }
    std::int32_t Address() const { return Address_; }
    std::int32_t Source() const { return Source_; }
    std::int32_t Sector() const { return Sector_; }
    std::int32_t Slot() const { return Slot_; }
    std::int32_t ListIndex() const { return ListIndex_; }
    std::int32_t DeclaredScripts() const { return NumScript_; }

private:
    friend class TKVXFile;
    void RecomputeSize();

    std::string Name_;
    std::int32_t Source_ = 0;
    TKVXFile* Owner_ = nullptr;
    std::vector<std::unique_ptr<TKVXScript>> Scripts_;
    std::int32_t NumScript_ = 0;
    std::int32_t Size_ = 0;
    std::int32_t Kind_ = 0;
    std::int32_t Offset_ = 0;
    std::int32_t Address_ = 0;
    std::int32_t Sector_ = 0;
    std::int32_t Slot_ = 0;
    std::int32_t ListIndex_ = kUnplaced;
};

// The save request handed to SaveToFile.
struct KVXSaveFlash {
    KVXSaveFlash() = default;
    KVXSaveFlash(std::string fileName) : FileName(std::move(fileName)) {}  // NOLINT: implicit on purpose

    std::string FileName;
    // Before the new file replaces the target it is read back from disk and must hold
    // exactly the modules and entry bytes of the image in memory; Verify, when set, may
    // check the image read back further (returns "" when it agrees, else the reason).
    std::function<std::string(const std::shared_ptr<TKVXFile>& written)> Verify;
    // When the target exists and FileName + ".bak" does not, keep the target as it was
    // under that name first. Later saves leave that first backup alone.
    bool Backup = false;
    // Called with the temporary file's path once it is written and closed, before it
    // is read back: lets tests damage it to prove the check catches that.
    std::function<void(const std::string& tempPath)> AfterTempWritten;
};

// What loading a file came to. Unreadable and Unrecognised are distinct so that the
// command-line tool can name the system's reason; the editor shows both as the
// container's "Formato file sconosciuto".
struct LoadResult {
    enum class Status { Ok, Unreadable, Unrecognised };
    Status status = Status::Unrecognised;
    std::string message;  // empty on success; a text for the user otherwise
    // A flash image whose file is not exactly kFlashImageSize bytes long: the text for
    // the user (expected and actual sizes); empty otherwise. The image is loaded all the
    // same, but what a short file lacks is not in memory and will not be saved.
    std::string sizeWarning;
    bool ok() const { return status == Status::Ok; }
};

// What writing an image came to. On failure nothing was written (an existing target
// file is untouched) and message says why, naming the sector where a limit was hit.
struct SaveResult {
    bool ok = false;
    std::string message;
    // A save that succeeded but whose file the type check will no longer recognise
    // (the first table slot of every tried sector fails the name test): the caller
    // warns the user. Also what replacing the file calls for (other hard links keep the
    // old content). Lines of their own; empty otherwise.
    std::string warning;
    // The file was written but refused because reading it back did not give the image
    // (or, through Verify, the list) in memory.
    bool readBackFailed = false;
};

inline constexpr const char* kUnknownFormatMessage = "Formato file sconosciuto";

// The opened image.
class TKVXFile {
public:
    TKVXFile();
    ~TKVXFile();
    TKVXFile(const TKVXFile&) = delete;
    TKVXFile& operator=(const TKVXFile&) = delete;

    // Reads the file at path (whole, once) and builds the module table.
    LoadResult LoadFile(const std::string& path);
    // The same from bytes already in memory; name is recorded as the file name.
    LoadResult LoadBytes(Bytes content, const std::string& name = {});
    // Reads bytes as a flash image without the type check: for reading back an image
    // this program has just written, which the type check may not recognise (its first
    // table slot can end up holding a module whose first entry is named differently).
    LoadResult LoadFlashBytes(Bytes content, const std::string& name = {});

    int CheckFileType();
    void ExtractFlash(std::vector<TmpModule>& modules, std::vector<TmpScript>& scripts);
    void ExtractMainCode(std::vector<TmpModule>& modules, std::vector<TmpScript>& scripts);
    void TranslateList(const std::vector<TmpModule>& modules, const std::vector<TmpScript>& scripts);

    int GetType() const { return Type_; }
    int GetNumModule() const { return static_cast<int>(Modules_.size()); }
    TKVXModule* GetModule(int index);
    const TKVXModule* GetModule(int index) const;
    std::optional<TmpModule> GetModuleInfo(int index) const;
    TKVXModule* AddModule(const TmpModule& info);
    void ExchangeModulePosition(int index1, int index2);
    void OrderModule();
    std::int64_t GetDataSize() const;
    void DuplicateModule(const TKVXModule& module);
    void DeleteModule(int index);
    void ReplaceList(std::vector<std::unique_ptr<TKVXModule>> modules);
    void ModulePlace() {}
    void ChangeModuleSection(int, int, int) {}

    // Serialises the flash image (eight sectors) without touching the disk.
    // Fails, naming the sector, when a sector would need more than 16 table slots or
    // more than 65536 bytes, or when the image is not a flash image.
    SaveResult SaveToBytes(Bytes& out);
    // SaveToBytes, then writes atomically: a temporary file in the target's folder,
    // renamed over the target only when everything was written.
    SaveResult SaveToFile(const KVXSaveFlash& request);

    const std::string& FileName() const { return FileName_; }
    std::int64_t FileSize() const { return FileSize_; }
    // A flash image read from a file of another size than kFlashImageSize.
    bool UnexpectedSize() const { return Type_ == 1 && FileSize_ != kFlashImageSize; }
    int Variant() const { return Variant_; }
    int UcrSector() const { return UcrSector_; }
    // Every raw sector met while loading, in sector order (UcrSector is the last).
    const std::vector<int>& RawSectors() const { return RawSectors_; }
    std::int32_t TotalScripts() const { return NumScript_; }

private:
    // The steps every load takes: take the bytes and forget the previous image; build the
    // module table with the extractor of Type_; let the bytes go once the entries hold
    // their copies.
    void StartLoading(Bytes content, const std::string& name);
    void BuildTable();
    void DropContent();

    std::string FileName_;
    Bytes Content_;  // the file's bytes while loading
    std::int64_t FileSize_ = 0;
    int Type_ = 0;
    int Variant_ = 0;
    int UcrSector_ = -1;
    std::vector<int> RawSectors_;
    std::int32_t NumScript_ = 0;
    std::vector<std::unique_ptr<TKVXModule>> Modules_;
};

// Decodes packed bytes (the format of packed entries) into out, which is emptied first.
// Never reads outside packed; a stream cut short inside a token ends with the bytes
// produced so far.
void UnpackBytes(std::span<const std::uint8_t> packed, Bytes& out);

// Encodes content as the packed format's literal runs only (no back-references), ended
// by the end marker: about one byte in eight larger, but UnpackBytes gives content back.
// For entries of packed modules whose content the program has to replace.
Bytes PackLiterals(std::span<const std::uint8_t> content);

// The warning for a flash image read from a file of actualSize bytes instead of
// kFlashImageSize: both sizes, and what the difference means for a save.
std::string FlashSizeWarning(std::int64_t actualSize);

// The type check on bytes in memory: 0 unrecognised, 1 flash image, 2 main-code image.
// variant receives 4 when the 28-byte signature decided, else 0.
int CheckImageType(std::span<const std::uint8_t> content, int& variant);

// What WriteFileAtomically does between writing the temporary file and renaming it.
struct AtomicWriteOptions {
    // Checks the written temporary file; a non-empty result refuses the write, and the
    // message is returned as the failure.
    std::function<std::string(const std::string& tempPath)> check;
    // Keep an existing target as path + ".bak" unless that file exists already.
    bool backup = false;
    // Receives, on its own line, what the user should know about a write that succeeded
    // (other hard links of the replaced file keep its old content). May be null.
    std::string* warnings = nullptr;
};

// Writes bytes to path atomically (temporary file in the same folder, then rename).
// A symlink is followed and the file it leads to is replaced (the link stays); the
// replaced file's mode, and its owner and group where allowed, are kept; a target
// without its owner's write permission is refused. Returns an empty string on success,
// otherwise a message naming the file (or the folder, when no file can be created
// there) and the reason; on failure the target and its backup are as they were.
std::string WriteFileAtomically(const std::string& path, const Bytes& bytes,
                                const AtomicWriteOptions& options = {});

// The largest file taken as an image. A flash image is 512 KiB. A main-code image
// places its modules and entries with 24-bit offsets from its base (module at most
// 16 MiB past the base, entry at most 16 MiB further and 16 MiB long), so nothing its
// directory can describe lies beyond 48 MiB; 64 MiB leaves room above that and still
// refuses, before reading a byte, the devices, sparse files and logs that would
// otherwise be read whole into memory.
inline constexpr std::uint64_t kMaxImageFileSize = std::uint64_t{64} << 20;

// Reads a whole regular file of at most limit bytes. The file is opened without
// blocking and checked before anything is read, so that a FIFO, a device or a folder
// is refused at once instead of hanging or filling memory. Returns std::nullopt and
// sets error (naming the file and the reason) when it cannot be read.
std::optional<Bytes> ReadWholeFile(const std::string& path, std::string& error,
                                   std::uint64_t limit = kMaxImageFileSize);

}  // namespace rivo
