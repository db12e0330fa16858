// Decoding packed entries: a bit stream of literal runs and back-references into a
// 2048-byte window.
#include <algorithm>

#include "image/kvx_image.h"

namespace rivo {

namespace {

// Reads the stream most-significant bit first, through a 64-bit buffer filled a byte at
// a time. A byte counts as loaded once a read has needed any of its bits; the decoder
// stops before a token once every byte is loaded.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    // False, reading nothing, when the stream holds fewer than n (1 to 16) more bits.
    bool read(unsigned n, unsigned& value) {
        while (buffered_ < n) {
            if (next_ == data_.size()) return false;
            buffer_ = (buffer_ << 8) | data_[next_++];
            buffered_ += 8;
        }
        buffered_ -= n;
        value = static_cast<unsigned>(buffer_ >> buffered_) & ((1u << n) - 1u);
        return true;
    }
    // Every byte has had a bit read from it.
    bool allLoaded() const { return next_ == data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;  // bytes taken into the buffer, each as soon as a bit of it was needed
    std::uint64_t buffer_ = 0;
    unsigned buffered_ = 0;
};

}  // namespace

// The window of 2048 bytes, zeroed at the start and written from index 1 on, always
// holds the last 2048 output bytes at fixed distances from the write index, and zeros
// for distances reaching before the first output byte. So a match copies from the
// output itself, d bytes back, or zeros, which is the same and needs no window.
bool UnpackBytes(std::span<const std::uint8_t> packed, Bytes& out, std::size_t limit) {
    out.clear();
    if (packed.empty()) return true;
    BitReader in(packed);
    unsigned flag = 0;
    if (!in.read(1, flag)) return true;
    bool matchNext = false;  // a short literal run is followed by a match without a flag
    while (true) {
        if (!matchNext) {
            if (in.allLoaded()) break;
            if (flag == 1) {
                unsigned n = 0;
                if (!in.read(3, n)) break;
                n += 1;
                bool cut = false;
                for (unsigned i = 0; i < n; ++i) {
                    unsigned b = 0;
                    if (!in.read(8, b)) {
                        cut = true;
                        break;
                    }
                    if (out.size() == limit) return false;
                    out.push_back(static_cast<std::uint8_t>(b));
                }
                if (cut) break;
                if (n < 8) {
                    matchNext = true;
                    continue;
                }
                if (!in.read(1, flag)) break;
                continue;
            }
        }
        matchNext = false;
        unsigned l = 0, d = 0, wbits = 0, n = 0;
        if (!in.read(3, l)) break;
        l += 4;
        if (!in.read(l, d)) break;
        d += 1;
        if (d == 1 && l >= 5 && l <= 8) break;  // end marker
        if (!in.read(2, wbits)) break;
        wbits += 3;
        if (!in.read(wbits, n)) break;
        n += 1;
        const std::size_t start = out.size();
        const bool pastLimit = n > limit - start;
        out.resize(pastLimit ? limit : start + n);
        for (std::size_t at = start; at < out.size(); ++at) out[at] = at >= d ? out[at - d] : 0;
        if (pastLimit) return false;
        if (!in.read(1, flag)) break;
    }
    return true;
}

// Literal runs of eight bytes, each after a flag bit; a last, shorter run is followed by
// a match without a flag, which here is the end marker (distance width 5, distance 1).
Bytes PackLiterals(std::span<const std::uint8_t> content) {
    Bytes out;
    out.reserve(content.size() + content.size() / 8 + 4);
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](std::uint32_t value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            acc = (acc << 1) | ((value >> i) & 1u);
            if (++bits == 8) {
                out.push_back(static_cast<std::uint8_t>(acc));
                acc = 0;
                bits = 0;
            }
        }
    };
    std::size_t at = 0;
    bool flagDue = true;
    while (at < content.size()) {
        const std::size_t n = std::min<std::size_t>(8, content.size() - at);
        put(1, 1);
        put(static_cast<std::uint32_t>(n - 1), 3);
        for (std::size_t i = 0; i < n; ++i) put(content[at + i], 8);
        at += n;
        flagDue = n == 8;
    }
    if (flagDue) put(0, 1);
    put(1, 3);
    put(0, 5);
    while (bits != 0) put(0, 1);
    return out;
}

}  // namespace rivo
