// The one way file data is read and written: a span with a position, every access
// checked against the span's end. Nothing else in the program does pointer arithmetic
// on bytes that came from a file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace rivo {

// A read that would go past the end of the data. Callers that can meet short data
// either check fits() first or catch this.
struct ReadPastEnd : std::out_of_range {
    using std::out_of_range::out_of_range;
};

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data, std::size_t pos = 0)
        : data_(data), pos_(pos) {}

    std::size_t size() const { return data_.size(); }
    std::size_t pos() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }
    std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }

    // True when count bytes from at lie wholly inside the data.
    bool fits(std::size_t at, std::size_t count) const {
        return at <= data_.size() && count <= data_.size() - at;
    }
    // The same for a position that may be negative or beyond any size_t.
    bool fits(std::int64_t at, std::int64_t count) const {
        return at >= 0 && count >= 0 && static_cast<std::uint64_t>(at) <= data_.size() &&
               static_cast<std::uint64_t>(count) <= data_.size() - static_cast<std::uint64_t>(at);
    }

    // Reads at an absolute position; the position of the reader is not used or moved.
    std::uint8_t u8At(std::size_t at) const {
        need(at, 1);
        return data_[at];
    }
    std::uint16_t le16At(std::size_t at) const {
        need(at, 2);
        return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    std::uint16_t be16At(std::size_t at) const {
        need(at, 2);
        return static_cast<std::uint16_t>((data_[at] << 8) | data_[at + 1]);
    }
    std::uint32_t le24At(std::size_t at) const {
        need(at, 3);
        return static_cast<std::uint32_t>(data_[at]) | (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[at + 2]) << 16);
    }
    std::uint32_t be24At(std::size_t at) const {
        need(at, 3);
        return (static_cast<std::uint32_t>(data_[at]) << 16) |
               (static_cast<std::uint32_t>(data_[at + 1]) << 8) | static_cast<std::uint32_t>(data_[at + 2]);
    }
    std::span<const std::uint8_t> bytesAt(std::size_t at, std::size_t count) const {
        need(at, count);
        return data_.subspan(at, count);
    }
    // The bytes of a NUL-padded name field: up to the first NUL or the whole field.
    std::string nameAt(std::size_t at, std::size_t width) const {
        auto field = bytesAt(at, width);
        std::string name;
        for (std::uint8_t c : field) {
            if (c == 0) break;
            name.push_back(static_cast<char>(c));
        }
        return name;
    }
    // As many of count bytes from at as the data holds (none when at is past the end).
    std::span<const std::uint8_t> bytesUpTo(std::int64_t at, std::int64_t count) const {
        if (at < 0 || count <= 0 || static_cast<std::uint64_t>(at) >= data_.size()) return {};
        std::uint64_t avail = data_.size() - static_cast<std::uint64_t>(at);
        std::uint64_t take = std::min<std::uint64_t>(avail, static_cast<std::uint64_t>(count));
        return data_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(take));
    }

    // Sequential reads from the current position.
    std::uint8_t u8() { return u8At(advance(1)); }
    std::uint16_t le16() { return le16At(advance(2)); }
    std::uint16_t be16() { return be16At(advance(2)); }

private:
    void need(std::size_t at, std::size_t count) const {
        if (!fits(at, count)) throw ReadPastEnd("read past the end of the data");
    }
    std::size_t advance(std::size_t count) {
        std::size_t at = pos_;
        need(at, count);
        pos_ += count;
        return at;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_;
};

// Appends little- and big-endian values and padded names to a byte vector.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    std::size_t size() const { return out_.size(); }
    void u8(std::uint8_t v) { out_.push_back(v); }
    void le16(std::uint16_t v) {
        out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void be16(std::uint16_t v) {
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
        out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    void le32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
    void be32(std::uint32_t v) {
        for (int i = 3; i >= 0; --i) out_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    void fill(std::size_t count, std::uint8_t value) { out_.insert(out_.end(), count, value); }
    void bytes(std::span<const std::uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }
    // name cut to width bytes, then NUL-padded to width.
    void name(const std::string& name, std::size_t width) {
        std::size_t n = std::min(name.size(), width);
        for (std::size_t i = 0; i < n; ++i) out_.push_back(static_cast<std::uint8_t>(name[i]));
        zeros(width - n);
    }
    void padTo(std::size_t multiple) {
        while (out_.size() % multiple != 0) out_.push_back(0);
    }
    // Overwrites bytes already written (checked).
    void le16At(std::size_t at, std::uint16_t v) {
        if (at + 2 > out_.size()) throw std::out_of_range("write past the end of the buffer");
        out_[at] = static_cast<std::uint8_t>(v & 0xFF);
        out_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace rivo
