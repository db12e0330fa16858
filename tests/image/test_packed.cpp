// Decoding packed entries.
#include <gtest/gtest.h>

#include <variant>

#include "image/kvx_image.h"
#include "image_builder.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Unpack(const Bytes& packed) {
    Bytes out;
    UnpackBytes(packed, out);
    return out;
}

struct Lit {
    Bytes bytes;
};
struct Ref {
    int distance, length, distanceWidth = 0, lengthWidth = 0;
};
using Token = std::variant<Lit, Ref>;

// The output of a token list worked out without a window: a match copies from its
// own output, and anything before the first byte is zero.
Bytes LinearExpectation(const std::vector<Token>& tokens) {
    Bytes out;
    for (const auto& t : tokens) {
        if (auto* l = std::get_if<Lit>(&t)) {
            out.insert(out.end(), l->bytes.begin(), l->bytes.end());
        } else {
            const auto& r = std::get<Ref>(t);
            for (int k = 0; k < r.length; ++k) {
                std::int64_t from = static_cast<std::int64_t>(out.size()) - r.distance;
                out.push_back(from >= 0 ? out[static_cast<std::size_t>(from)] : 0);
            }
        }
    }
    return out;
}

Bytes Encode(const std::vector<Token>& tokens, bool endMarker, int markerWidth = 5, const Bytes& trailing = {}) {
    PackedEncoder enc;
    for (const auto& t : tokens) {
        if (auto* l = std::get_if<Lit>(&t)) {
            enc.Literals(l->bytes);
        } else {
            const auto& r = std::get<Ref>(t);
            enc.Match(r.distance, r.length, r.distanceWidth, r.lengthWidth);
        }
    }
    if (endMarker) enc.EndMarker(markerWidth);
    Bytes out = enc.Finish(trailing);
    EXPECT_EQ(enc.Expected(), LinearExpectation(tokens));
    return out;
}

}  // namespace

TEST(Packed, HandWorkedStreams) {
    struct Case {
        const char* what;
        Bytes packed;
        Bytes expected;
    } cases[] = {
        {"empty input", {}, {}},
        {"single byte: nothing after the first flag", {0xFF}, {}},
        // flag 0, L=4 (000), d-1=0000, W=3 (00), n-1=000: one byte from the zero window;
        // the next token is cut short.
        {"first flag 0 produces zeros", {0x00, 0x00, 0x00}, {0x00}},
        // flag 1, n-1=000, 'A' (01000001), then a match without flag:
        // L=4 (000), d-1=0000, W=3 (00), n-1=011 -> 4 copies of 'A'; flag 0, stop.
        // bits: 1000 01000001 000 0000 00 011 0 -> 10000100 00010000 00000011 0
        {"short literal run then implied match", {0x84, 0x10, 0x03, 0x00}, Text("AAAAA")},
    };
    for (const auto& c : cases) EXPECT_EQ(Unpack(c.packed), c.expected) << c.what;
}

TEST(Packed, EveryTokenForm) {
    std::vector<std::vector<Token>> streams;
    // Literal runs of every length; a short run is followed directly by a match, a run
    // of 8 by a flag and another literal run.
    for (int n = 1; n <= 8; ++n) {
        Bytes run = PatternBytes(static_cast<std::size_t>(n), static_cast<std::uint32_t>(n));
        streams.push_back({Lit{run}, Ref{n, 3}});
        streams.push_back({Lit{PatternBytes(8, 99)}, Lit{run}, Ref{1, 2}});
    }
    // Every distance width with its smallest and largest distance, after enough output
    // that the source is real data, and every length width with its extremes.
    std::vector<Token> wide;
    for (int i = 0; i < 300; ++i) wide.push_back(Lit{PatternBytes(8, static_cast<std::uint32_t>(i + 1))});
    for (int width = 4; width <= 11; ++width) {
        wide.push_back(Ref{(1 << width), 5, width});
        wide.push_back(Ref{(1 << (width - 1)) + 1, 7, width});
        if (width < 5 || width > 8) wide.push_back(Ref{1, 3, width});  // d = 1 is a match here
    }
    for (int lw = 3; lw <= 6; ++lw) {
        wide.push_back(Ref{100, 1, 0, lw});
        wide.push_back(Ref{100, 1 << lw, 0, lw});
    }
    streams.push_back(wide);
    // Overlapping matches repeat the last d bytes.
    streams.push_back({Lit{Text("abc")}, Ref{3, 64}, Ref{1, 10}, Lit{Text("xy")}, Ref{2, 33}});
    // Matches reaching before the first output byte read zeros, mixed with data.
    streams.push_back({Ref{5, 3}, Lit{Text("A")}, Ref{3, 4}, Ref{2048, 64, 11, 6}});
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const Bytes expected = LinearExpectation(streams[i]);
        EXPECT_EQ(Unpack(Encode(streams[i], true)), expected) << "stream " << i << " with end marker";
        EXPECT_EQ(Unpack(Encode(streams[i], false)), expected) << "stream " << i << " without end marker";
    }
}

TEST(Packed, DistanceOneEndsDataOnlyWithWidthsFiveToEight) {
    for (int width = 4; width <= 11; ++width) {
        // The same bits that the end marker uses: flag 0, width, distance value 0,
        // then a length of 3 for the widths where it is a match.
        PackedEncoder enc;
        enc.Literals({'q'});
        if (width >= 5 && width <= 8) {
            enc.EndMarker(width);
            // Data after the marker (a literal run that would decode) is not read.
            Bytes more = Pack(Text("never seen"), true);
            EXPECT_EQ(Unpack(enc.Finish(more)), Text("q")) << width;
        } else {
            enc.Match(1, 3, width);
            EXPECT_EQ(Unpack(enc.Finish()), Text("qqqq")) << width;
        }
    }
}

TEST(Packed, StopsAtTokenBoundaryOnceAllBytesAreLoaded) {
    // Without an end marker the stream ends after the flag that would start the next
    // token; padding bits in the last byte are not decoded.
    PackedEncoder enc;
    enc.Literals(PatternBytes(8, 1)).Literals({1, 2}).Match(2, 6);
    Bytes packed = enc.Finish();
    EXPECT_EQ(Unpack(packed), enc.Expected());
    EXPECT_EQ(enc.Expected().size(), 16u);
}

TEST(Packed, StreamCutShortStopsWithTheBytesProducedSoFar) {
    std::vector<Token> tokens = {Lit{PatternBytes(8, 3)}, Lit{Text("hello")}, Ref{5, 20},
                                 Lit{PatternBytes(8, 4)}, Ref{300, 64},       Lit{Text("z")},
                                 Ref{1, 9}};
    const Bytes full = LinearExpectation(tokens);
    for (bool marker : {true, false}) {
        Bytes packed = Encode(tokens, marker);
        ASSERT_EQ(Unpack(packed), full);
        for (std::size_t cut = 0; cut < packed.size(); ++cut) {
            Bytes shortened(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
            Bytes out = Unpack(shortened);
            ASSERT_LE(out.size(), full.size()) << cut;
            EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin())) << "cut at " << cut;
        }
        // A literal run cut inside its bytes keeps the bytes read before the cut: the
        // stream up to the middle of "hello" (68 + 4 bits, two bytes of 8 bits: 88 bits)
        // gives the first run and "he".
        Bytes shortened(packed.begin(), packed.begin() + 11);
        Bytes out = Unpack(shortened);
        EXPECT_EQ(out.size(), 8u + 2u);
    }
}

TEST(Packed, PackedContentRoundTrips) {
    Bytes repetitive;
    for (int i = 0; i < 3000; ++i) {
        std::string line = "channel " + std::to_string(i % 37) + " ";
        repetitive.insert(repetitive.end(), line.begin(), line.end());
    }
    const Bytes contents[] = {{}, Text("a"), Text("abcabcabcabcabc"), Bytes(5000, 0), Bytes(70000, 0x55),
                              PatternBytes(65536, 7), repetitive};
    for (const auto& c : contents) {
        for (bool marker : {true, false}) {
            EXPECT_EQ(Unpack(Pack(c, marker)), c) << c.size() << (marker ? " with" : " without") << " end marker";
        }
    }
}

TEST(Packed, ContentDecodesPackedEntriesAndHandsOthersOut) {
    Bytes content = Text("the content of the support entry, the content repeated");
    Bytes packed = Pack(content);
    ModuleSpec support{"Support", {{"Support.bin", packed}}};
    ModuleSpec tpt{"TPT", {{"tpt.bin", packed}}};
    KvxImage f;
    ASSERT_TRUE(f.loadBytes(BuildFlashImage({SectorSpec::Table({support, tpt}), SectorSpec::Raw(MakeRawSector(1))})).ok());
    KvxEntry* p = f.module(0)->entry(0);
    KvxEntry* plain = f.module(1)->entry(0);
    KvxEntry* raw = f.module(2)->entry(0);
    const Bytes& s1 = p->content();
    EXPECT_EQ(s1, content);
    // The same buffer, refilled by every call: a change to the stored bytes shows.
    p->setData(Pack(Text("other")));
    const Bytes& s2 = p->content();
    EXPECT_EQ(&s1, &s2);
    EXPECT_EQ(s2, Text("other"));
    EXPECT_EQ(&p->storedBytes(), &s1);
    EXPECT_EQ(p->storedBytes(), Pack(Text("other")));
    EXPECT_EQ(plain->content(), packed);
    EXPECT_EQ(raw->content(), MakeRawSector(1));
    // Entries without stored bytes give empty content.
    p->setData(Bytes{});
    EXPECT_TRUE(p->content().empty());
}

TEST(Packed, DecodingStopsAtTheLimitInsideALiteralRunOrAMatch) {
    // "abcdefgh" then a match of 40 eight back and a run of 3: 51 bytes in all.
    PackedEncoder encoder;
    encoder.Literals(Text("abcdefgh")).Match(8, 40).Literals(Text("xyz")).EndMarker();
    const Bytes packed = encoder.Finish();
    const Bytes whole = encoder.Expected();
    ASSERT_EQ(whole.size(), 51u);
    struct Case {
        std::size_t limit;
        bool complete;
    };
    // At the end of the run, inside the match, at the match's last byte, inside the last
    // run, exactly at the content's size, and above it.
    const Case cases[] = {{8, false}, {20, false}, {48, false}, {49, false}, {50, false}, {51, true}, {52, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        Bytes out;
        EXPECT_EQ(UnpackBytes(packed, out, c.limit), c.complete);
        const std::size_t kept = std::min(c.limit, whole.size());
        EXPECT_EQ(out, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept)));
    }
}

// Eight literal bytes, then k matches of 64 bytes eight back, cut inside the next
// token: 8 + 64 k bytes. Each match is 16 bits, so after the first ten bytes the stream
// repeats every two bytes; it is made by repeating them rather than by the encoder,
// which would take seconds for millions of matches.
Bytes RepeatStream(std::size_t k) {
    PackedEncoder encoder;
    encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
    for (int i = 0; i < 6; ++i) encoder.Match(8, 64);
    const Bytes small = encoder.Finish();
    EXPECT_EQ(Bytes(small.begin() + 10, small.begin() + 12), Bytes(small.begin() + 12, small.begin() + 14));
    Bytes out(small.begin(), small.begin() + 10);
    for (std::size_t i = 0; i < k; ++i) out.insert(out.end(), small.begin() + 10, small.begin() + 12);
    return out;
}

TEST(Packed, AnEntryDecodingBeyondSixteenMebibytesIsCutAndSaysSo) {
    // The stream made by repetition decodes as the encoder says.
    {
        PackedEncoder encoder;
        encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
        for (int i = 0; i < 5; ++i) encoder.Match(8, 64);
        EXPECT_EQ(Unpack(RepeatStream(5)), encoder.Expected());
    }
    struct Case {
        std::size_t matches;
        bool tooLarge;
    };
    // 8 + 64 * 262144 is eight bytes over the limit (where the limit itself falls is
    // tested with small limits above); a short stream is not cut.
    const Case cases[] = {{5, false}, {262144, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.matches);
        KvxModule module;
        EntryRecord record;
        record.kind = static_cast<std::int32_t>(ModuleKind::Packed);
        KvxEntry* entry = module.addEntry(record);
        entry->setData(RepeatStream(c.matches));
        EXPECT_EQ(entry->content().size(), std::min<std::size_t>(8 + 64 * c.matches, std::size_t{16} << 20));
        EXPECT_EQ(entry->contentTooLarge(), c.tooLarge);
        entry->storedBytes();
        EXPECT_FALSE(entry->contentTooLarge());
    }
}
