// Decoding packed entries: a bit stream of literal runs and back-references into a
// 2048-byte window.
#include <array>

#include "image/kvx_file.h"

namespace rivo {

namespace {

constexpr std::size_t kWindow = 2048;
constexpr std::size_t kWindowMask = kWindow - 1;

// Reads the stream most-significant bit first. A byte counts as loaded once a read has
// needed any of its bits; the decoder stops before a token once every byte is loaded.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data), totalBits_(data.size() * 8) {}

    // False, reading nothing, when the stream holds fewer than n more bits.
    bool read(unsigned n, unsigned& value) {
        if (totalBits_ - bitPos_ < n) return false;
        unsigned v = 0;
        while (n > 0) {
            const std::size_t byte = bitPos_ >> 3;
            const unsigned used = static_cast<unsigned>(bitPos_ & 7);
            const unsigned avail = 8 - used;
            const unsigned take = n < avail ? n : avail;
            const unsigned bits = (static_cast<unsigned>(data_[byte]) >> (avail - take)) & ((1u << take) - 1u);
            v = (v << take) | bits;
            bitPos_ += take;
            n -= take;
        }
        value = v;
        return true;
    }
    bool allLoaded() const { return (bitPos_ + 7) / 8 >= data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t totalBits_;
    std::size_t bitPos_ = 0;
};

}  // namespace

void UnpackBytes(std::span<const std::uint8_t> packed, Bytes& out) {
    out.clear();
    if (packed.empty()) return;
    // Packed entries rarely grow past a few times their stored size; reserving avoids
    // most reallocations without trusting the stream.
    out.reserve(packed.size() * 2);
    std::array<std::uint8_t, kWindow> window{};
    std::size_t w = 1;
    BitReader in(packed);
    unsigned flag = 0;
    if (!in.read(1, flag)) return;
    auto emit = [&](std::uint8_t b) {
        out.push_back(b);
        window[w] = b;
        w = (w + 1) & kWindowMask;
    };
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
                    emit(static_cast<std::uint8_t>(b));
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
        std::size_t s = (w + kWindow - d) & kWindowMask;
        for (unsigned i = 0; i < n; ++i) {
            emit(window[(s + i) & kWindowMask]);
        }
        if (!in.read(1, flag)) break;
    }
}

}  // namespace rivo
