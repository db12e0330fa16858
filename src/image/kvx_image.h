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

#include "text/translate.h"

namespace rivo {

using Bytes = std::vector<std::uint8_t>;

enum class ModuleKind : std::int32_t { Packed = 1, Plain = 2, Raw = 3 };

inline constexpr std::int32_t kUnplaced = -10;
inline constexpr std::int32_t kSectorSize = 65536;
inline constexpr std::int32_t kSectorCount = 8;
inline constexpr std::int32_t kFlashImageSize = kSectorSize * kSectorCount;

// Description of a module, handed out as a snapshot the caller owns.
struct ModuleRecord {
    std::string name;
    std::array<std::uint8_t, 4> rawAddress{};  // main code only, during extraction
    std::int32_t size = 0;
    std::int32_t declaredEntries = 0;  // entries the module declares
    std::int32_t kind = 0;             // ModuleKind as an integer
    std::int32_t offset = 0;
    std::int32_t address = 0;
    std::int32_t source = 0;  // 1 flash image, 2 main-code image
    std::int32_t sector = 0;
    std::int32_t slot = 0;
};

// Description of an entry, handed out as a snapshot the caller owns.
struct EntryRecord {
    std::string name;  // at most 12 bytes
    std::int32_t size = 0;
    std::int32_t offset = 0;  // from the start of the module header
    std::int32_t kind = 0;
    std::int32_t moduleIndex = 0;
    std::int32_t filePos = 0;  // absolute position read from; kUnplaced for a copy
};

class KvxImage;
class KvxModule;

// One entry: a named run of bytes inside a module.
class KvxEntry {
public:
    void setRecord(const EntryRecord& info);
    EntryRecord record() const;

    // Replaces the stored bytes; Size becomes their count. The module's Size and the
    // offsets of later entries keep their recorded values.
    void setData(const std::uint8_t* data, std::size_t count);
    void setData(Bytes data);

    // The stored bytes, exactly as read or as last set.
    const Bytes& storedBytes();
    // The content: decoded for packed entries, the stored bytes for the others.
    // Both return the same buffer, refilled at each call.
    const Bytes& content();
    // Decodes the stored bytes into the content buffer.
    void unpack();
    // The last content() decoded more than kMaxDecodedEntrySize bytes and was cut there.
    bool contentTooLarge() const { return contentTooLarge_; }
    void shiftOffset(std::int32_t delta) { offset_ += delta; }

    const std::string& name() const { return name_; }
    std::int32_t size() const { return size_; }
    std::int32_t offset() const { return offset_; }
    std::int32_t kind() const { return kind_; }
    std::int32_t filePos() const { return filePos_; }
    std::int32_t moduleIndex() const { return moduleIndex_; }
    const Bytes& data() const { return data_; }

private:
    Bytes data_;
    std::int32_t kind_ = 0;
    std::string name_;
    std::int32_t size_ = 0;
    std::int32_t offset_ = 0;
    std::int32_t moduleIndex_ = 0;
    std::int32_t filePos_ = 0;
    Bytes contentBuffer_;  // the content buffer handed out by content() and storedBytes()
    bool contentTooLarge_ = false;
};

// One module: an ordered list of entries.
class KvxModule {
public:
    explicit KvxModule(KvxImage* owner = nullptr) : owner_(owner) {}

    int entryCount() const { return static_cast<int>(entries_.size()); }
    KvxEntry* entry(int index);
    const KvxEntry* entry(int index) const;
    std::optional<EntryRecord> entryRecord(int index) const;
    ModuleRecord record() const;

    KvxEntry* addEntry(const EntryRecord& info);
    void copyEntry(const KvxEntry& source);
    // The module in flash layout (header, entry records, data, fill to 4 bytes);
    // a raw module is its single entry's bytes.
    Bytes saveToStream() const;
    void setListIndex(int index);
    void setPlace(std::int32_t sector, std::int32_t slot, std::int32_t offset);

    const std::string& name() const { return name_; }
    std::int32_t size() const { return size_; }
    std::int32_t kind() const { return kind_; }
    std::int32_t offset() const { return offset_; }
    std::int32_t address() const { return address_; }
    std::int32_t source() const { return source_; }
    std::int32_t sector() const { return sector_; }
    std::int32_t slot() const { return slot_; }
    std::int32_t listIndex() const { return listIndex_; }
    std::int32_t declaredEntries() const { return declaredEntries_; }

private:
    friend class KvxImage;
    void recomputeSize();

    std::string name_;
    std::int32_t source_ = 0;
    KvxImage* owner_ = nullptr;
    std::vector<std::unique_ptr<KvxEntry>> entries_;
    std::int32_t declaredEntries_ = 0;
    std::int32_t size_ = 0;
    std::int32_t kind_ = 0;
    std::int32_t offset_ = 0;
    std::int32_t address_ = 0;
    std::int32_t sector_ = 0;
    std::int32_t slot_ = 0;
    std::int32_t listIndex_ = kUnplaced;
};

// The save request handed to saveToFile.
struct SaveRequest {
    SaveRequest() = default;
    SaveRequest(std::string fileName)
        : fileName(std::move(fileName)) {}  // NOLINT: implicit on purpose

    std::string fileName;
    // Before the new file replaces the target it is read back from disk as opening it
    // would (type check included: a file that would not open as a flash image is
    // refused) and must hold exactly the modules and entry bytes of the image in
    // memory; Verify, when set, may
    // check the image read back further (returns "" when it agrees, else the reason).
    std::function<std::string(const std::shared_ptr<KvxImage>& written)> verify;
    // When the target exists and fileName + ".bak" does not, keep the target as it was
    // under that name first. Later saves leave that first backup alone.
    bool backup = false;
    // Called with the temporary file's path once it is written and closed, before it
    // is read back: lets tests damage it to prove the check catches that.
    std::function<void(const std::string& tempPath)> afterTempWritten;
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
    // A table the loader found damaged (KvxImage::damage()), as one text for the user:
    // a heading line and one line per problem; empty for a sound table.
    std::string damageWarning;
    bool ok() const { return status == Status::Ok; }
};

// The warnings of a load that succeeded, one text: the size warning, then the damage,
// each on lines of its own; empty when there is nothing to say.
std::string LoadWarnings(const LoadResult& result);

// What writing an image came to. On failure nothing was written (an existing target
// file is untouched) and message says why, naming the sector where a limit was hit.
struct SaveResult {
    bool ok = false;
    std::string message;
    // From saveToBytes only: an image whose bytes the type check will not recognise
    // (nothing the writer may change makes the first module it looks at pass the name
    // test); saveToFile refuses such a file instead. From saveToFile: what replacing
    // the file calls for (other hard links keep the old content). Lines of their own;
    // empty otherwise.
    std::string warning;
    // The file was written but refused because reading it back did not give the image
    // (or, through Verify, the list) in memory.
    bool readBackFailed = false;
};

// Marked only: pass it through Tr() where it is shown.
inline constexpr const char* kUnknownFormatMessage = TrNoop("Formato file sconosciuto");

// The opened image.
class KvxImage {
public:
    KvxImage();
    ~KvxImage();
    KvxImage(const KvxImage&) = delete;
    KvxImage& operator=(const KvxImage&) = delete;

    // Reads the file at path (whole, once) and builds the module table.
    LoadResult loadFile(const std::string& path);
    // The same from bytes already in memory; name is recorded as the file name.
    LoadResult loadBytes(Bytes content, const std::string& name = {});
    // Reads bytes as a flash image without the type check (tests and fuzzing: images
    // the check would not take). Saves read back with loadBytes, as opening does.
    LoadResult loadFlashBytes(Bytes content, const std::string& name = {});

    int checkFileType();
    void extractFlash(std::vector<ModuleRecord>& modules, std::vector<EntryRecord>& entries);
    void extractMainCode(std::vector<ModuleRecord>& modules, std::vector<EntryRecord>& entries);
    void translateList(const std::vector<ModuleRecord>& modules,
                       const std::vector<EntryRecord>& entries);

    int imageType() const { return type_; }
    int moduleCount() const { return static_cast<int>(modules_.size()); }
    KvxModule* module(int index);
    const KvxModule* module(int index) const;
    std::optional<ModuleRecord> moduleRecord(int index) const;
    KvxModule* addModule(const ModuleRecord& info);
    void exchangeModulePosition(int index1, int index2);
    void orderModule();
    std::int64_t dataSize() const;
    void duplicateModule(const KvxModule& module);
    void deleteModule(int index);
    void replaceList(std::vector<std::unique_ptr<KvxModule>> modules);
    void modulePlace() {}
    void changeModuleSection(int, int, int) {}

    // Serialises the flash image (eight sectors) without touching the disk: each table
    // packed from slot 0, except that a sector among 0 to 2 keeps its first slot empty
    // when packing it would stop the type check at a module whose first entry is named
    // otherwise (the check then goes on to the next sector, as it did on input).
    // Fails, naming the sector, when a sector would need more than 16 table slots or
    // more than 65536 bytes, or when the image is not a flash image.
    SaveResult saveToBytes(Bytes& out);
    // saveToBytes, then writes atomically: a temporary file in the target's folder,
    // renamed over the target only when everything was written.
    SaveResult saveToFile(const SaveRequest& request);

    const std::string& fileName() const { return fileName_; }
    std::int64_t fileSize() const { return fileSize_; }
    // A flash image read from a file of another size than kFlashImageSize.
    bool unexpectedSize() const { return type_ == 1 && fileSize_ != kFlashImageSize; }
    int variant() const { return variant_; }
    int ucrSector() const { return ucrSector_; }
    // Every raw sector met while loading, in sector order (ucrSector() is the last).
    const std::vector<int>& rawSectors() const { return rawSectors_; }
    std::int32_t totalEntries() const { return declaredEntries_; }

    // What the loader met in a damaged table, one line each, in the order met (at most
    // kMaxDamageLines, the last then saying how many more there were). Empty for a
    // sound table. The loader still builds what it can; see docs/cli.md for each case.
    const std::vector<std::string>& damage() const { return damage_; }
    // Entries whose declared data ran on past the end of their sector while the file
    // went on, or that were cut or dropped because the table claimed more bytes or
    // records than the file has: the loader kept only a part, so saving would write
    // them shorter than the file holds them. saveToBytes refuses while there are any.
    const std::vector<std::string>& cutEntries() const { return cutEntries_; }
    static constexpr std::size_t kMaxDamageLines = 20;

private:
    // The steps every load takes: take the bytes and forget the previous image; build the
    // module table with the extractor of type_; let the bytes go once the entries hold
    // their copies.
    void startLoading(Bytes content, const std::string& name);
    void buildTable();
    void dropContent();

    std::string fileName_;
    Bytes content_;  // the file's bytes while loading
    std::int64_t fileSize_ = 0;
    int type_ = 0;
    int variant_ = 0;
    int ucrSector_ = -1;
    std::vector<int> rawSectors_;
    std::int32_t declaredEntries_ = 0;
    std::vector<std::unique_ptr<KvxModule>> modules_;
    std::vector<std::string> damage_;
    std::size_t damageNotListed_ = 0;  // problems beyond kMaxDamageLines
    std::vector<std::string> cutEntries_;

    // Records one problem of a damaged table (see damage()).
    void noteDamage(std::string line);
    // The same, with the line made by makeLine() only when it is listed: a crafted
    // table names thousands of problems, and all but the first few are only counted.
    template <class MakeLine>
    void noteDamageBy(MakeLine&& makeLine) {
        if (damage_.size() < kMaxDamageLines - 1)
            damage_.push_back(makeLine());
        else
            ++damageNotListed_;
    }
    void closeDamageList();
};

// The longest content a packed entry is decoded to. Sizes in the images are at most 24
// bits wide (16 MiB), so nothing a receiver loads from an entry is larger; a stream
// that decodes to more is damaged or crafted (64 KiB of matches can state 2 MiB, and a
// main-code entry may be 16 MiB long).
inline constexpr std::size_t kMaxDecodedEntrySize = std::size_t{16} << 20;

// Decodes packed bytes (the format of packed entries) into out, which is emptied first.
// Never reads outside packed; a stream cut short inside a token ends with the bytes
// produced so far.
// Returns false when the content would be longer than limit bytes: out then holds the
// first limit bytes and decoding stopped there, so a small stream of long repeats cannot
// fill memory.
bool UnpackBytes(std::span<const std::uint8_t> packed, Bytes& out, std::size_t limit = kMaxDecodedEntrySize);

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
// replaced file's mode, its extended attributes (POSIX ACL included) and its owner and
// group, where allowed, are kept; a target without its owner's write permission is
// refused. Temporary files that earlier saves abandoned in the folder are removed first
// (see RemoveAbandonedTempFiles). Returns an empty string on success,
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
