// What the loader's parts share: the two image kinds' tests of the type check, and the
// limit every extractor puts on a damaged table (EntryBudget). Internal to src/image.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/byte_reader.h"

namespace rivo::image_detail {

// Every entry has a 20-byte record, in a flash table and in a main-code directory alike.
inline constexpr std::size_t kRecordBytes = 20;

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
        if (got < wanted) bytesCut_ = true;
        return got;
    }
    bool recordsRanOut() const { return recordsLeft_ == 0; }
    bool bytesCut() const { return bytesCut_; }

private:
    std::int64_t bytesLeft_;
    std::int64_t recordsLeft_;
    bool bytesCut_ = false;
};

// A module or entry name as the damage list shows it: in quotes, printable ASCII as is
// and every other byte as \xNN, since the list is plain text whatever the names hold.
std::string ShownName(const std::string& name);

// The flash test of the type check on one sector: 1 recognised, 0 not (the test ends
// here), -1 go on to the next sector.
int FlashTestSector(const ByteReader& in, std::size_t sector);

// The main-code test of the type check: 2 when either signature lies anywhere in
// content (variant receives 4 for the 28-byte one), 0 otherwise.
int MainCodeSignatureTest(std::span<const std::uint8_t> content, int& variant);

}  // namespace rivo::image_detail
