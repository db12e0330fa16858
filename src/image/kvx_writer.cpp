// Writing a flash image back, and the file helpers it and the loader share.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "image/byte_reader.h"
#include "image/image_compare.h"
#include "image/image_extract.h"
#include "image/kvx_image.h"
#include "image/temp_cleanup.h"
#include "text/translate.h"

namespace rivo {

namespace {

constexpr std::size_t kTableBytes = 32;
constexpr std::size_t kTableSlots = 16;

std::string SystemReason(int err) { return std::strerror(err); }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Why the type check will not take a just-written image for a flash image: the sector
// whose first table slot the check stopped at, or no usable table in sectors 0 to 2.
std::string UnrecognisedReason(const Bytes& image) {
    ByteReader in(image);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t start = k * kSectorSize;
        if (in.u8At(start) == 'u' && in.u8At(start + 1) == 'c' && in.u8At(start + 2) == 'r') continue;
        const std::uint16_t v = in.le16At(start);
        if (v == 0 || in.u8At(start) == 0xFF || in.u8At(start + 1) == 0xFF) continue;
        return Fmt(Tr("il primo modulo del settore %1 non ha un nome compatibile"), k);
    }
    return Tr("nessuno dei settori 0, 1 e 2 contiene moduli");
}

std::string UnrecognisedWarning(const Bytes& image) {
    return Fmt(Tr("Attenzione: il file salvato non verrà riconosciuto come immagine flash (%1)."),
               UnrecognisedReason(image));
}

constexpr std::size_t kTypeTestSectors = 3;

// The eight sectors of the image: raw sectors as read, the others a table of module
// offsets followed by the modules back to back. A sector of skipFirst leaves its first
// table slot empty. False, with message naming the sector, when a sector does not fit.
bool WriteSectors(const KvxImage& file, const std::array<bool, kTypeTestSectors>& skipFirst, Bytes& image,
                  std::string& message) {
    image.clear();
    image.reserve(kFlashImageSize);
    for (std::int32_t k = 0; k < kSectorCount; ++k) {
        std::vector<const KvxModule*> inSector;
        bool raw = false;
        for (int i = 0; i < file.moduleCount(); ++i) {
            const KvxModule* m = file.module(i);
            if (m->sector() != k) continue;
            inSector.push_back(m);
            if (m->kind() == static_cast<std::int32_t>(ModuleKind::Raw)) raw = true;
        }
        // Every raw sector is written back as it was read, without a table; a raw
        // sector has no room for anything else.
        if (raw && inSector.size() > 1) {
            message = Fmt(Tr("Impossibile salvare: il settore %1 contiene un settore grezzo insieme ad altri moduli."), k);
            return false;
        }
        if (!raw && inSector.size() > kTableSlots) {
            message = Fmt(Tr("Impossibile salvare: il settore %1 contiene %2 moduli, ma la tabella del settore ne può "
                             "indicare al massimo 16."),
                          k, inSector.size());
            return false;
        }
        const std::size_t firstSlot =
            static_cast<std::size_t>(k) < kTypeTestSectors && skipFirst[static_cast<std::size_t>(k)] ? 1 : 0;
        Bytes sector;
        sector.reserve(kSectorSize);
        ByteWriter w(sector);
        std::array<std::uint16_t, kTableSlots> table{};
        if (!raw) w.zeros(kTableBytes);
        for (std::size_t n = 0; n < inSector.size(); ++n) {
            Bytes module = inSector[n]->saveToStream();
            if (sector.size() + module.size() > static_cast<std::size_t>(kSectorSize)) {
                message = Fmt(Tr("Impossibile salvare: i moduli del settore %1 occupano più di 65536 byte."), k);
                return false;
            }
            if (!raw) table[firstSlot + n] = static_cast<std::uint16_t>(sector.size());
            w.bytes(module);
        }
        w.zeros(static_cast<std::size_t>(kSectorSize) - sector.size());
        if (!raw)
            for (std::size_t t = 0; t < kTableSlots; ++t) w.le16At(2 * t, table[t]);
        image.insert(image.end(), sector.begin(), sector.end());
    }
    return true;
}

// The sector of the type check's flash test that stops it without recognising image,
// when keeping that sector's first slot empty lets the test go on: not yet kept empty,
// and with a free slot for its modules to move into. kTypeTestSectors otherwise (the
// test passes, or nothing the writer may change would make it pass).
std::size_t SectorToShift(const Bytes& image, const std::array<bool, kTypeTestSectors>& skipFirst,
                          const KvxImage& file) {
    ByteReader in(image);
    for (std::size_t k = 0; k < kTypeTestSectors; ++k) {
        const int r = image_detail::FlashTestSector(in, k);
        if (r == 1) return kTypeTestSectors;
        if (r == -1) continue;
        if (skipFirst[k]) return kTypeTestSectors;
        std::size_t modules = 0;
        for (int i = 0; i < file.moduleCount(); ++i)
            if (file.module(i)->sector() == static_cast<std::int32_t>(k)) ++modules;
        return modules < kTableSlots ? k : kTypeTestSectors;
    }
    return kTypeTestSectors;
}

}  // namespace

Bytes KvxModule::saveToStream() const {
    Bytes out;
    ByteWriter w(out);
    if (kind_ == static_cast<std::int32_t>(ModuleKind::Raw)) {
        for (const auto& s : entries_) w.bytes(s->data());
        w.padTo(4);
        return out;
    }
    const std::size_t n = entries_.size();
    // The size written is what the layout below really occupies, from header byte 12
    // on; it follows entries whose bytes were replaced since loading.
    std::size_t data = 0;
    for (const auto& s : entries_) data += s->data().size();
    const std::size_t length = ((16 + 20 * n + data) + 3) / 4 * 4;
    w.name(name_, 10);
    w.le16(static_cast<std::uint16_t>(length - 12));
    // The count is read back as a 16-bit value, so write it as one: identical to a
    // count byte and a zero for up to 255 entries, and still right beyond.
    w.le16(static_cast<std::uint16_t>(n));
    w.zeros(2);
    std::size_t offset = 16 + 20 * n;
    for (const auto& s : entries_) {
        w.name(s->name(), 12);
        w.le16(static_cast<std::uint16_t>(offset - 12));
        w.zeros(2);
        w.le16(static_cast<std::uint16_t>(s->data().size()));
        w.zeros(2);
        offset += s->data().size();
    }
    for (const auto& s : entries_) w.bytes(s->data());
    w.padTo(4);
    return out;
}

SaveResult KvxImage::saveToBytes(Bytes& out) {
    SaveResult result;
    out.clear();
    if (type_ != 1) {
        result.message = Tr("Solo le immagini flash possono essere salvate.");
        return result;
    }
    // An entry cut at its sector's end (or where the table claimed more bytes than the
    // file has) holds less than the file did: writing it would drop the rest without a
    // word, so the image is not saved at all.
    if (!cutEntries_.empty()) {
        const std::size_t others = cutEntries_.size() - 1;
        if (others == 0)
            result.message = Fmt(Tr("Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio "
                                    "perderebbe dei byte: %1"),
                                 cutEntries_.front());
        else
            result.message = Fmt(TrN("Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio "
                                     "perderebbe dei byte: %1 (e altre %2 voci tagliate)",
                                     "Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio "
                                     "perderebbe dei byte: %1 (e altre %2 voci tagliate)",
                                     static_cast<long long>(others)),
                                 cutEntries_.front(), others);
        return result;
    }
    orderModule();
    // Sectors 0 to 2 whose first table slot is written empty. The type check takes the
    // first module of the first sector whose first slot is used: packing the table can
    // move a module into a first slot that was empty on input, and when that module's
    // first entry is named otherwise the saved file would no longer open. Such a sector
    // keeps its first slot empty instead (modules from slot 1; slot numbers, counted
    // over used slots, stay the same). Only then: otherwise the layout is the packed one.
    std::array<bool, kTypeTestSectors> skipFirst{};
    Bytes image;
    for (;;) {
        if (!WriteSectors(*this, skipFirst, image, result.message)) return result;
        const std::size_t shift = SectorToShift(image, skipFirst, *this);
        if (shift >= kTypeTestSectors) break;
        skipFirst[shift] = true;
    }
    int variant = 0;
    if (CheckImageType(image, variant) != 1) result.warning = UnrecognisedWarning(image);
    out = std::move(image);
    result.ok = true;
    return result;
}

SaveResult KvxImage::saveToFile(const SaveRequest& request) {
    Bytes image;
    SaveResult result = saveToBytes(image);
    if (!result.ok) return result;
    // A file the type check would not take is refused by the read-back check below,
    // which says why: the warning is for images serialised to memory only.
    result.warning.clear();
    int variant = 0;
    AtomicWriteOptions options;
    options.backup = request.backup;
    options.warnings = &result.warning;
    options.check = [&](const std::string& tempPath) -> std::string {
        if (request.afterTempWritten) request.afterTempWritten(tempPath);
        std::string readError;
        auto content = ReadWholeFile(tempPath, readError);
        if (!content) return Fmt(Tr("Verifica del salvataggio non riuscita: %1"), readError);
        if (content->size() != image.size())
            return Fmt(TrN("Verifica del salvataggio non riuscita: il file scritto ha %1 byte invece di %2",
                           "Verifica del salvataggio non riuscita: il file scritto ha %1 byte invece di %2",
                           static_cast<long long>(content->size())),
                       content->size(), image.size());
        // Read back exactly as opening the file would, type check included: a file
        // that would not open again as a flash image is not saved at all.
        auto written = std::make_shared<KvxImage>();
        const int writtenType = CheckImageType(*content, variant);
        const std::string unrecognised = writtenType == 1 ? std::string() : UnrecognisedReason(*content);
        const LoadResult loaded = written->loadBytes(std::move(*content), tempPath);
        if (!loaded.ok() || written->imageType() != 1) {
            result.readBackFailed = true;
            return Fmt(Tr("Il file scritto non verrebbe riconosciuto come immagine flash riaprendolo (%1): "
                          "salvataggio annullato, il file di destinazione non è stato modificato."),
                       unrecognised.empty() ? loaded.message : unrecognised);
        }
        std::string difference = FirstImageDifference(*this, *written);
        if (difference.empty() && request.verify) difference = request.verify(written);
        if (!difference.empty()) {
            result.readBackFailed = true;
            return Fmt(Tr("Il file scritto non corrisponde alla lista in memoria (%1): salvataggio annullato, il "
                          "file di destinazione non è stato modificato."),
                       difference);
        }
        return {};
    };
    std::string error = WriteFileAtomically(request.fileName, image, options);
    if (!error.empty()) {
        result.ok = false;
        result.message = error;
        result.warning.clear();
    }
    return result;
}

namespace {

// The file a save replaces: the path itself, or the file its symlinks lead to (each link
// read relative to its own folder). Saving through a link must change what the user
// sees through it, not turn the link into a file of its own. A dangling link yields the
// name it points to, which the save then creates. Empty with error set when the links
// go round in circles or cannot be read.
std::string FollowLinks(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current.string();
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            error = Fmt(Tr("Impossibile seguire il collegamento %1: %2"), Quoted(current.string()), SystemReason(errno));
            return {};
        }
        const fs::path next(std::string(buffer.data(), static_cast<std::size_t>(n)));
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = Fmt(Tr("Impossibile seguire il collegamento %1: %2"), Quoted(path), SystemReason(ELOOP));
    return {};
}

// Makes the rename durable: until the folder itself is on disk, a power cut can leave
// the folder naming the old file (or, for a new name, nothing).
int SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    // Some file systems cannot sync a folder and say so; there is nothing more to do there.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) err = errno;
    ::close(fd);
    return err;
}

void AddWarning(std::string* warnings, const std::string& text) {
    if (!warnings) return;
    if (!warnings->empty()) *warnings += "\n";
    *warnings += text;
}

// Every extended attribute of the file at from, given to the open file fd: user
// attributes, and the POSIX ACL (system.posix_acl_access), which would otherwise be lost
// to the new file and its mask turned into the group's permissions. Returns the names
// this process may not set (security.* and trusted.* need privileges); empty when all
// were kept or the file had none.
std::string CopyExtendedAttributes(const std::string& from, int fd) {
    std::vector<char> names;
    for (int tries = 0; tries < 4; ++tries) {
        const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
        if (size <= 0) return {};  // none, or a file system without them
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return {};
        names.clear();
    }
    std::string lost;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        if (name.empty()) continue;
        ssize_t size = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (size >= 0) {
            value.resize(static_cast<std::size_t>(size));
            size = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
        }
        if (size < 0 || ::fsetxattr(fd, name.c_str(), value.data(), static_cast<std::size_t>(size), 0) != 0)
            lost += (lost.empty() ? "" : ", ") + name;
    }
    return lost;
}

// Closes the descriptor holding a temporary file's lock when the save is over.
struct LockHolder {
    int fd = -1;
    ~LockHolder() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::string WriteFileAtomically(const std::string& path, const Bytes& bytes, const AtomicWriteOptions& options) {
    namespace fs = std::filesystem;
    std::string linkError;
    const std::string targetPath = FollowLinks(path, linkError);
    if (targetPath.empty()) return linkError;
    const fs::path target(targetPath);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    struct stat st {};
    const bool replacing = ::stat(targetPath.c_str(), &st) == 0;
    if (replacing) {
        if (!S_ISREG(st.st_mode))
            return Fmt(Tr("Impossibile scrivere il file %1: non è un file normale"), Quoted(path));
        // The owner took the write permission away on purpose; even when this process
        // could replace the file (as root, or through the folder's permission), it does not.
        if ((st.st_mode & S_IWUSR) == 0)
            return Fmt(Tr("Il file %1 è protetto da scrittura e non viene sostituito: salvare con un altro nome."),
                       Quoted(path));
    }

    // What saves killed half-way left in this folder goes first.
    RemoveAbandonedTempFiles(folder.string());
    // The temporary name does not grow with the target's name, so that every name the
    // file system accepts can be saved; it is hidden and stays in the target's folder,
    // so that the rename is within one file system. It carries this process's id, and
    // is locked while the save lasts, so that a later save can tell it from a leftover.
    std::string tmpl = TempFileTemplate(folder.string());
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return Fmt(Tr("Impossibile creare un file nella cartella %1: %2"), Quoted(folder.string()), SystemReason(errno));
    const std::string tmpPath(name.data());
    const PendingTempFile pending(tmpPath);
    const LockHolder lock{LockTempFile(tmpPath)};
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return Fmt(Tr("Impossibile scrivere il file %1: %2"), Quoted(path), SystemReason(err));
    };
    // mkstemp creates the file readable by its owner only; give it the permissions an
    // ordinary new file would get, or those of the file it replaces, whose owner and
    // group it also keeps where this process may set them (a user may still set the
    // group to one of their own groups). Ownership first: changing it can clear the
    // set-id bits that the mode then puts back.
    mode_t mode;
    if (replacing) {
        mode = st.st_mode & 07777;
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return fail(errno);
    // After the mode: an ACL set afterwards keeps its mask as the group bits, as the
    // replaced file had them.
    std::string attributesLost;
    if (replacing) attributesLost = CopyExtendedAttributes(targetPath, fd);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpPath.c_str());
        return Fmt(Tr("Impossibile scrivere il file %1: %2"), Quoted(path), SystemReason(err));
    }
    if (options.check) {
        std::string problem = options.check(tmpPath);
        if (!problem.empty()) {
            ::unlink(tmpPath.c_str());
            return problem;
        }
    }
    if (options.backup) {
        // The first save over a file keeps the file as it was; the backup is itself
        // written atomically, and a backup that cannot be made stops the save.
        const std::string backupPath = targetPath + ".bak";
        std::error_code ec;
        if (replacing && !fs::exists(fs::path(backupPath), ec)) {
            std::string readError;
            auto original = ReadWholeFile(targetPath, readError);
            std::string backupError =
                original ? WriteFileAtomically(backupPath, *original) : readError;
            if (!backupError.empty()) {
                ::unlink(tmpPath.c_str());
                return Fmt(Tr("Impossibile creare la copia di sicurezza %1: %2"), Quoted(backupPath), backupError);
            }
        }
    }
    if (::rename(tmpPath.c_str(), targetPath.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpPath.c_str());
        return Fmt(Tr("Impossibile scrivere il file %1: %2"), Quoted(path), SystemReason(err));
    }
    if (const int err = SyncFolder(folder.string()); err != 0)
        return Fmt(Tr("Il file %1 è stato scritto, ma la cartella %2 non è stata registrata sul disco: %3"),
                   Quoted(path), Quoted(folder.string()), SystemReason(err));
    if (!attributesLost.empty())
        AddWarning(options.warnings,
                   Fmt(Tr("Attenzione: il file %1 non ha potuto conservare questi attributi estesi: %2."),
                       Quoted(path), attributesLost));
    // The rename gives the new image to this name only: other hard links of the file
    // still lead to the old inode.
    if (replacing && st.st_nlink > 1)
        AddWarning(options.warnings,
                   Fmt(TrN("Attenzione: il file %1 aveva un altro nome (collegamento fisico), che mantiene il "
                           "contenuto precedente.",
                           "Attenzione: il file %1 aveva altri %2 nomi (collegamenti fisici), che mantengono il "
                           "contenuto precedente.",
                           static_cast<long long>(st.st_nlink - 1)),
                       Quoted(path), st.st_nlink - 1));
    return {};
}

std::optional<Bytes> ReadWholeFile(const std::string& path, std::string& error, std::uint64_t limit) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Fmt(Tr("Impossibile aprire il file %1: %2"), Quoted(path), SystemReason(errno));
        return std::nullopt;
    }
    auto refuse = [&](const std::string& reason) {
        ::close(fd);
        error = Fmt(Tr("Impossibile leggere il file %1: %2"), Quoted(path), reason);
        return std::nullopt;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return refuse(SystemReason(errno));
    if (S_ISDIR(st.st_mode)) return refuse(SystemReason(EISDIR));
    if (!S_ISREG(st.st_mode)) return refuse(Tr("non è un file normale (dispositivo, FIFO o socket)"));
    auto tooLarge = [&](std::uint64_t size) {
        return refuse(Fmt(TrN("è troppo grande (%1 byte; al massimo %2 byte)",
                              "è troppo grande (%1 byte; al massimo %2 byte)", static_cast<long long>(size)),
                          size, limit));
    };
    if (static_cast<std::uint64_t>(st.st_size) > limit) return tooLarge(static_cast<std::uint64_t>(st.st_size));
    Bytes content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refuse(SystemReason(errno));
        }
        if (n == 0) break;
        content.insert(content.end(), buffer, buffer + n);
        // The file may grow while it is read.
        if (content.size() > limit) return tooLarge(content.size());
    }
    ::close(fd);
    return content;
}

}  // namespace rivo
