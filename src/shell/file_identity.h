// What tells one state of a file from another: where it lives (device and inode), its
// size, its modification time and a hash of its content. A page remembers its file's
// identity when it reads or saves it, so that a save does not overwrite, without asking,
// what another page or another program wrote there since.
#pragma once

#include <cstdint>
#include <string>

struct FileIdentity {
    bool known = false;  // false: the file could not be read (missing, unreadable)
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // modification time in nanoseconds
    std::uint64_t contentHash = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at path as it is now (the file is read whole).
FileIdentity ReadFileIdentity(const std::string& path);

// Whether the file at path is no longer the one a page remembered: replaced, rewritten
// or removed since. A page that remembers nothing (never read from a file) sees no change.
bool FileChangedSince(const std::string& path, const FileIdentity& remembered);
