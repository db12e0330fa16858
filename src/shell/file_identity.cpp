// Reading a file's identity (device, inode, size, modification time, content hash) and
// telling whether the file changed since it was read.
#include "shell/file_identity.h"

#include <sys/stat.h>

#include <optional>

#include "image/kvx_image.h"

FileIdentity ReadFileIdentity(const std::string& path) {
    FileIdentity identity;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return identity;
    std::string error;
    const std::optional<rivo::Bytes> content = rivo::ReadWholeFile(path, error);
    if (!content) return identity;
    identity.known = true;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
    identity.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    // FNV-1a over the content: a rewrite within the same nanosecond and size still shows.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint8_t byte : *content) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    identity.contentHash = hash;
    return identity;
}

bool FileChangedSince(const std::string& path, const FileIdentity& remembered) {
    if (!remembered.known) return false;
    return !(ReadFileIdentity(path) == remembered);
}
