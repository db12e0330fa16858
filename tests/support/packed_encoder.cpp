#include "packed_encoder.h"

#include <algorithm>
#include <array>

namespace rivo::testsupport {

void PackedEncoder::bits(unsigned value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (bitCount_ == 0) out_.push_back(0);
        if ((value >> i) & 1u) out_.back() |= static_cast<std::uint8_t>(0x80u >> bitCount_);
        bitCount_ = (bitCount_ + 1) % 8;
    }
}

void PackedEncoder::flag(unsigned value) {
    if (ended_) throw std::logic_error("token after the end marker");
    if (matchNext_) {
        if (value == 1) throw std::logic_error("a short literal run must be followed by a match");
        matchNext_ = false;
        return;  // no flag bit: the match is implied
    }
    bits(value, 1);
    first_ = false;
}

void PackedEncoder::emit(std::uint8_t b) {
    expected_.push_back(b);
    window_[w_] = b;
    w_ = (w_ + 1) % 2048;
}

PackedEncoder& PackedEncoder::Literals(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > 8) throw std::invalid_argument("a literal run holds 1 to 8 bytes");
    flag(1);
    bits(static_cast<unsigned>(bytes.size() - 1), 3);
    for (std::uint8_t b : bytes) {
        bits(b, 8);
        emit(b);
    }
    matchNext_ = bytes.size() < 8;
    return *this;
}

PackedEncoder& PackedEncoder::Match(int distance, int length, int distanceWidth, int lengthWidth) {
    if (distance < 1 || distance > 2048) throw std::invalid_argument("distance 1 to 2048");
    if (length < 1 || length > 64) throw std::invalid_argument("length 1 to 64");
    if (distanceWidth == 0) {
        distanceWidth = 4;
        while ((1 << distanceWidth) < distance) ++distanceWidth;
    }
    if (lengthWidth == 0) {
        lengthWidth = 3;
        while ((1 << lengthWidth) < length) ++lengthWidth;
    }
    if (distanceWidth < 4 || distanceWidth > 11 || (1 << distanceWidth) < distance)
        throw std::invalid_argument("distance width 4 to 11, wide enough for the distance");
    if (lengthWidth < 3 || lengthWidth > 6 || (1 << lengthWidth) < length)
        throw std::invalid_argument("length width 3 to 6, wide enough for the length");
    if (distance == 1 && distanceWidth >= 5 && distanceWidth <= 8)
        throw std::invalid_argument("that is the end marker");
    flag(0);
    bits(static_cast<unsigned>(distanceWidth - 4), 3);
    bits(static_cast<unsigned>(distance - 1), distanceWidth);
    bits(static_cast<unsigned>(lengthWidth - 3), 2);
    bits(static_cast<unsigned>(length - 1), lengthWidth);
    const std::size_t s = (w_ + 2048 - static_cast<std::size_t>(distance)) % 2048;
    for (int i = 0; i < length; ++i) emit(window_[(s + static_cast<std::size_t>(i)) % 2048]);
    return *this;
}

PackedEncoder& PackedEncoder::EndMarker(int width) {
    if (width < 5 || width > 8) throw std::invalid_argument("end marker width 5 to 8");
    flag(0);
    bits(static_cast<unsigned>(width - 4), 3);
    bits(0, width);
    ended_ = true;
    return *this;
}

Bytes PackedEncoder::Finish(const Bytes& trailing) {
    // Without an end marker the decoder stops before a token once every byte has been
    // loaded: writing the next flag bit loads the last byte. After a short literal run
    // no flag follows, and the few padding bits cannot hold the match it expects.
    if (!ended_ && !matchNext_ && !first_) bits(0, 1);
    Bytes out = out_;
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

Bytes Pack(std::span<const std::uint8_t> content, bool endMarker) {
    PackedEncoder enc;
    constexpr std::size_t kMaxDistance = 2048;
    constexpr std::size_t kMaxLength = 64;
    constexpr int kChain = 48;
    std::vector<std::int64_t> head(1 << 14, -1);
    std::vector<std::int64_t> prev(content.size(), -1);
    auto hashAt = [&](std::size_t i) {
        return ((content[i] << 7) ^ (content[i + 1] << 4) ^ content[i + 2]) & ((1u << 14) - 1);
    };
    std::vector<std::uint8_t> pending;
    auto flush = [&] {
        if (!pending.empty()) enc.Literals(pending);
        pending.clear();
    };
    std::size_t i = 0;
    auto insert = [&](std::size_t at) {
        if (at + 2 < content.size()) {
            auto h = hashAt(at);
            prev[at] = head[h];
            head[h] = static_cast<std::int64_t>(at);
        }
    };
    while (i < content.size()) {
        std::size_t bestLen = 0, bestDist = 0;
        if (i + 2 < content.size()) {
            std::int64_t cand = head[hashAt(i)];
            for (int c = 0; c < kChain && cand >= 0; ++c, cand = prev[static_cast<std::size_t>(cand)]) {
                std::size_t dist = i - static_cast<std::size_t>(cand);
                if (dist > kMaxDistance) break;
                std::size_t len = 0;
                while (len < kMaxLength && i + len < content.size() &&
                       content[static_cast<std::size_t>(cand) + len] == content[i + len])
                    ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = dist;
                }
            }
        }
        if (bestLen >= 3) {
            flush();
            enc.Match(static_cast<int>(bestDist), static_cast<int>(bestLen));
            for (std::size_t k = 0; k < bestLen; ++k) insert(i + k);
            i += bestLen;
        } else {
            pending.push_back(content[i]);
            insert(i);
            ++i;
            if (pending.size() == 8) flush();
        }
    }
    flush();
    if (endMarker) enc.EndMarker();
    return enc.Finish();
}

}  // namespace rivo::testsupport
