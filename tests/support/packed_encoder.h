// Produces the packed format of entries, token by token, for tests, benchmarks and the
// fuzz corpus. The program itself never packs: this is the other half of its decoder.
//
// The format is a most-significant-bit-first bit stream. A flag bit precedes each
// token (1 literal run, 0 match), except that a literal run shorter than 8 bytes is
// always followed by a match, with no flag:
//   literal run: 3 bits n-1, then n bytes (n = 1..8)
//   match:       3 bits L-4, L bits d-1, 2 bits W-3, W bits n-1
//                (distance width L = 4..11, distance d = 1..2048 back from the write
//                position of a 2048-byte window that starts zeroed with write index 1,
//                length width W = 3..6, length n = 1..64)
//   end marker:  a match whose distance is 1 with a width of 5 to 8.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "image/kvx_image.h"

namespace rivo::testsupport {

class PackedEncoder {
public:
    // A literal run of 1 to 8 bytes. A run shorter than 8 must be followed by a match
    // or the end marker (or nothing more).
    PackedEncoder& Literals(std::span<const std::uint8_t> bytes);
    PackedEncoder& Literals(std::initializer_list<std::uint8_t> bytes) {
        return Literals(std::span<const std::uint8_t>(bytes.begin(), bytes.size()));
    }
    // A back-reference. Widths of 0 take the smallest width that holds the value
    // (never an end-marker form: a distance of 1 gets width 4 unless told otherwise).
    PackedEncoder& Match(int distance, int length, int distanceWidth = 0, int lengthWidth = 0);
    // The end marker, with a distance width of 5 to 8.
    PackedEncoder& EndMarker(int width = 5);
    // The encoded stream. Without an end marker the stream ends after the flag bit of
    // the token that does not follow, so the decoder stops there. trailing is appended
    // after the last byte (for streams that go on past their end marker).
    Bytes Finish(const Bytes& trailing = {});

    // What decoding the stream gives, worked out token by token from the window.
    const Bytes& Expected() const { return expected_; }

private:
    void bits(unsigned value, int count);
    void flag(unsigned value);
    void emit(std::uint8_t b);

    Bytes out_;
    int bitCount_ = 0;  // bits used in the last byte of out_ (0 = none)
    bool first_ = true;
    bool matchNext_ = false;  // after a short literal run
    bool ended_ = false;
    Bytes expected_;
    std::vector<std::uint8_t> window_ = std::vector<std::uint8_t>(2048, 0);
    std::size_t w_ = 1;
};

// Packs content with greedy matching in the 2048-byte window; decoding the result
// gives content back.
Bytes Pack(std::span<const std::uint8_t> content, bool endMarker = true);

}  // namespace rivo::testsupport
