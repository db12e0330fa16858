// Builds a whole 512 KiB flash image from a compact input and runs the page round trip
// of page_roundtrip.h on it. The byte-level targets mostly stop at the type check or a
// slot's first bytes; here every input is an image: eight sectors (blank, raw or a
// table), table slots (empty, a module, a slot naming an earlier header, a stray
// offset), module headers with their stated size and entry count, entries whose records
// say more or less than their data, packed streams of literals and matches, channel
// and transponder records, favourites lists and the configuration entry.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "channel_fixtures.h"
#include "image_builder.h"
#include "packed_encoder.h"
#include "page_roundtrip.h"

namespace {

using rivo::Bytes;

void PutLe16(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void PutName(std::span<std::uint8_t> out, std::size_t at, const std::string& name, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out[at + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0;
}

std::string ModuleName(FuzzedDataProvider& in) {
    static const std::array<const char*, 14> names{"TPT",  "TCS",  "TCS1", "TCS2",    "TCS3", "TCS9", "Support",
                                                   "xTPT", "TPT2", "tcs",  "Support2", "Code", "UCR",  "MAIL"};
    if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeRandomLengthString(10);
    return names[in.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
}

std::string EntryName(FuzzedDataProvider& in) {
    static const std::array<const char*, 7> names{"Lista1.pre", "Lista2.pre", "Lista8.pre", "config.pre",
                                                  "tpt.bin",    "tcs.bin",    "Support.pre"};
    if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeRandomLengthString(12);
    return names[in.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
}

// A table's content: records made from a few fields, so that channels name
// transponders that exist (or not) and numbers are near their fields' limits.
Bytes Records(FuzzedDataProvider& in) {
    using namespace rivo::testsupport;
    Bytes out;
    // Mostly short tables, which keep a run quick; now and then a long one.
    const int count = in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegralInRange(0, 1000)
                                                             : in.ConsumeIntegralInRange(0, 24);
    const bool channels = in.ConsumeBool();
    const std::uint8_t transponders = in.ConsumeIntegral<std::uint8_t>();
    const std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>();
    for (int i = 0; i < count; ++i) {
        const std::uint32_t x = seed * 2654435761u + static_cast<std::uint32_t>(i) * 40503u;
        if (channels) {
            ChannelSpec c;
            c.name = "C" + std::to_string(x % 1000);
            c.status = static_cast<std::uint8_t>(x >> 8);
            c.transponder = static_cast<std::uint8_t>(transponders == 0 ? x >> 16 : 1 + (x >> 16) % transponders);
            c.sid = static_cast<std::uint16_t>(x);
            c.vpid = (x & 0x30) == 0 ? 0xFFFF : static_cast<std::uint16_t>(x >> 4);
            c.apid = (x & 0xC0) == 0 ? 0xFFFF : static_cast<std::uint16_t>(x >> 5);
            const Bytes r = EncodeChannel(c);
            out.insert(out.end(), r.begin(), r.end());
        } else {
            TransponderSpec t;
            t.offsetHz = (x & 7) == 0 ? 0 : static_cast<std::int32_t>(x % 2100000000u);
            t.tid = static_cast<std::uint16_t>(x >> 3);
            t.srCode = static_cast<std::uint8_t>((x >> 11) % 20);
            t.fec = static_cast<std::uint8_t>((x >> 13) % 10);
            t.flags = static_cast<std::uint8_t>(x >> 17);
            const Bytes r = EncodeTransponder(t);
            out.insert(out.end(), r.begin(), r.end());
        }
    }
    // A few bytes of the input over the records, and a cut last record now and then.
    const std::size_t patches = in.ConsumeIntegralInRange<std::size_t>(0, 4);
    for (std::size_t i = 0; i < patches && !out.empty(); ++i)
        out[in.ConsumeIntegralInRange<std::size_t>(0, out.size() - 1)] = in.ConsumeIntegral<std::uint8_t>();
    if (!out.empty() && in.ConsumeIntegralInRange(0, 7) == 0) out.resize(out.size() - 1);
    return out;
}

// A packed stream: literal runs and matches chosen by the input (any distance, length
// and widths the format allows), ending with or without the end marker.
Bytes PackedStream(FuzzedDataProvider& in) {
    rivo::testsupport::PackedEncoder encoder;
    const int tokens = in.ConsumeIntegralInRange(1, 40);
    bool needMatch = false;
    for (int i = 0; i < tokens; ++i) {
        if (!needMatch && in.ConsumeBool()) {
            const Bytes bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(1, 8));
            if (bytes.empty()) break;
            encoder.Literals(bytes);
            needMatch = bytes.size() < 8;
        } else {
            const int lengthWidth = in.ConsumeIntegralInRange(3, 6);
            const int distanceWidth = in.ConsumeIntegralInRange(4, 11);
            const int distance = in.ConsumeIntegralInRange(2, 1 << distanceWidth);
            const int length = in.ConsumeIntegralInRange(1, 1 << lengthWidth);
            encoder.Match(distance, length, distanceWidth, lengthWidth);
            needMatch = false;
        }
    }
    if (in.ConsumeBool()) encoder.EndMarker(in.ConsumeIntegralInRange(5, 8));
    return encoder.Finish();
}

Bytes EntryData(FuzzedDataProvider& in, const std::string& name) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return Records(in);
        case 1: {
            Bytes records = Records(in);
            return rivo::testsupport::Pack(records, in.ConsumeBool());
        }
        case 2:
            return PackedStream(in);
        case 3: {
            // A favourites list (128 big-endian channel numbers) or the configuration.
            Bytes out(name == "config.pre" ? 66 : 256, 0);
            const std::size_t set = in.ConsumeIntegralInRange<std::size_t>(0, 16);
            for (std::size_t i = 0; i < set; ++i)
                out[in.ConsumeIntegralInRange<std::size_t>(0, out.size() - 1)] = in.ConsumeIntegral<std::uint8_t>();
            return out;
        }
        default:
            return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 600));
    }
}

// Writes one module at header (sector-relative) and returns the first byte after it.
std::size_t PutModule(FuzzedDataProvider& in, std::span<std::uint8_t> sector, std::size_t header, bool firstSlot) {
    const std::string name = ModuleName(in);
    const int count = in.ConsumeIntegralInRange(0, 4);
    std::vector<std::string> names;
    std::vector<Bytes> data;
    for (int i = 0; i < count; ++i) {
        // The first slot of the first sectors decides the type check: its first entry is
        // usually named as the module.
        names.push_back(i == 0 && firstSlot && in.ConsumeBool() ? name : EntryName(in));
        data.push_back(EntryData(in, names.back()));
    }
    std::size_t length = 16 + 20 * data.size();
    for (const Bytes& d : data) length += d.size();
    length = (length + 3) / 4 * 4;
    if (header + length > sector.size()) return header;  // does not fit: the slot stays stray
    PutName(sector, header, name, 10);
    PutLe16(sector, header + 10, in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegral<std::uint16_t>()
                                                                      : static_cast<std::uint32_t>(length - 12));
    PutLe16(sector, header + 12, in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegral<std::uint16_t>()
                                                                      : static_cast<std::uint32_t>(data.size()));
    std::size_t at = header + 16 + 20 * data.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t record = header + 16 + 20 * i;
        PutName(sector, record, names[i], 12);
        // Now and then a record that says another offset or size than its data has.
        std::uint32_t offset = static_cast<std::uint32_t>(at - header - 12);
        std::uint32_t size = static_cast<std::uint32_t>(data[i].size());
        if (in.ConsumeIntegralInRange(0, 15) == 0) size = in.ConsumeIntegral<std::uint16_t>();
        if (in.ConsumeIntegralInRange(0, 31) == 0) offset = in.ConsumeIntegral<std::uint16_t>();
        if (in.ConsumeIntegralInRange(0, 7) == 0) {
            PutLe16(sector, record + 12, 0);
            sector[record + 14] = static_cast<std::uint8_t>(offset >> 8);
            sector[record + 15] = static_cast<std::uint8_t>(offset);
            PutLe16(sector, record + 16, 0);
            sector[record + 18] = static_cast<std::uint8_t>(size >> 8);
            sector[record + 19] = static_cast<std::uint8_t>(size);
        } else {
            PutLe16(sector, record + 12, offset);
            PutLe16(sector, record + 16, size);
        }
        std::copy(data[i].begin(), data[i].end(), sector.begin() + static_cast<std::ptrdiff_t>(at));
        at += data[i].size();
    }
    return header + length;
}

void PutSector(FuzzedDataProvider& in, Bytes& image, std::size_t k) {
    // The sector is written in place: a buffer of its own per sector would cost as much
    // as the rest of a small run under the sanitizers.
    const std::size_t start = k * static_cast<std::size_t>(rivo::kSectorSize);
    const std::span<std::uint8_t> sector(image.data() + start, static_cast<std::size_t>(rivo::kSectorSize));
    if (in.ConsumeBool()) std::fill(sector.begin(), sector.end(), std::uint8_t{0xFF});
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:  // blank
            break;
        case 1: {  // raw
            sector[0] = 'u';
            sector[1] = 'c';
            sector[2] = 'r';
            const Bytes tail = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 64));
            std::copy(tail.begin(), tail.end(), sector.begin() + 3);
            break;
        }
        default: {  // a table of slots
            const std::size_t slots = in.ConsumeIntegralInRange<std::size_t>(0, 16);
            std::size_t cursor = 32;
            std::vector<std::size_t> headers;
            for (std::size_t t = 0; t < slots; ++t) {
                std::uint32_t value = 0;
                switch (in.ConsumeIntegralInRange(0, 9)) {
                    case 0:
                        value = in.ConsumeBool() ? 0 : 0xFFFF;
                        break;
                    case 1:  // the header of an earlier slot
                        value = headers.empty() ? 0 : static_cast<std::uint32_t>(
                                                           headers[in.ConsumeIntegralInRange<std::size_t>(0, headers.size() - 1)]);
                        break;
                    case 2:  // anywhere
                        value = in.ConsumeIntegral<std::uint16_t>();
                        break;
                    default: {
                        // The next free place, or a little before it (overlapping).
                        std::size_t at = cursor;
                        if (in.ConsumeIntegralInRange(0, 15) == 0) at -= std::min<std::size_t>(at - 32, 4 * in.ConsumeIntegralInRange(1, 16));
                        const std::size_t end = PutModule(in, sector, at, t == 0);
                        if (end == at) continue;
                        value = static_cast<std::uint32_t>(at);
                        headers.push_back(at);
                        cursor = std::max(cursor, end);
                        break;
                    }
                }
                PutLe16(sector, 2 * t, value);
            }
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Bytes image(static_cast<std::size_t>(rivo::kFlashImageSize), 0);
    // Sectors in an order the input chooses, so that later sectors are reached without
    // first spending the input on the earlier ones.
    const std::uint8_t order = in.ConsumeIntegral<std::uint8_t>();
    for (std::size_t i = 0; i < static_cast<std::size_t>(rivo::kSectorCount) && in.remaining_bytes() > 0; ++i)
        PutSector(in, image, (i + order) % static_cast<std::size_t>(rivo::kSectorCount));
    // The file's length: nearly always a whole image.
    if (in.ConsumeIntegralInRange(0, 31) == 0) image.resize(in.ConsumeIntegralInRange<std::size_t>(65536, image.size()));

    auto loaded = std::make_shared<rivo::KvxImage>();
    const rivo::LoadResult result = loaded->loadBytes(std::move(image), "whole.Bin");
    check(result.ok() || result.status == rivo::LoadResult::Status::Unrecognised);
    if (!result.ok() || loaded->imageType() != 1) return 0;
    check(loaded->damage().size() <= rivo::KvxImage::kMaxDamageLines);
    check(result.damageWarning.empty() == loaded->damage().empty());
    fuzzing::PageRoundTrip(loaded);
    return 0;
}
