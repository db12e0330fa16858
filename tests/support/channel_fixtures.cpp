#include "channel_fixtures.h"

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <grp.h>
#include <unistd.h>

#include "channels/page_io.h"
#include "image/byte_reader.h"

namespace rivo::testsupport {

Bytes EncodeChannel(const ChannelSpec& c) {
    Bytes out;
    ByteWriter w(out);
    w.name(c.name, 16);
    w.u8(c.status);
    w.u8(c.transponder);
    for (std::uint16_t v : {c.sid, c.vpid, c.apid, c.vecm, c.aecm, c.pcr}) w.be16(v);
    return out;
}

Bytes EncodeTransponder(const TransponderSpec& t) {
    Bytes out;
    ByteWriter w(out);
    w.be32(static_cast<std::uint32_t>(t.offsetHz));
    w.be16(t.tid);
    w.be16(t.nid);
    w.u8(t.channels);
    w.u8(t.srCode);
    w.u8(t.fec);
    w.u8(t.flags);
    return out;
}

ModuleSpec TransponderModule(const std::vector<TransponderSpec>& transponders, const std::string& name) {
    Bytes table;
    for (const auto& t : transponders) {
        const Bytes r = EncodeTransponder(t);
        table.insert(table.end(), r.begin(), r.end());
    }
    return ModuleSpec{name, {EntrySpec{name + ".dat", std::move(table)}}, {}, {}};
}

ModuleSpec ChannelModule(const std::string& name, const std::vector<ChannelSpec>& channels) {
    Bytes table;
    table.reserve(channels.size() * 30);
    for (const auto& c : channels) {
        const Bytes r = EncodeChannel(c);
        table.insert(table.end(), r.begin(), r.end());
    }
    return ModuleSpec{name, {EntrySpec{name + ".dat", std::move(table)}}, {}, {}};
}

ModuleSpec SupportModule(const ChannelImageSpec& spec) {
    ModuleSpec support{"Support", {}, {}, {}};
    for (int k = 0; k < 8; ++k) {
        Bytes list(256, 0);
        const auto& slots = spec.favourites[static_cast<std::size_t>(k)];
        if (slots.size() > 128) throw std::invalid_argument("a favourites list holds 128 slots");
        for (std::size_t s = 0; s < slots.size(); ++s) {
            list[2 * s] = static_cast<std::uint8_t>(slots[s] >> 8);
            list[2 * s + 1] = static_cast<std::uint8_t>(slots[s] & 0xFF);
        }
        support.entries.push_back({"Lista" + std::to_string(k + 1) + ".pre", std::move(list)});
    }
    Bytes config;
    ByteWriter w(config);
    w.u8(spec.versionMajor);
    w.u8(spec.versionMinor);
    for (const auto& name : spec.listNames) w.name(name, 8);
    w.bytes(spec.configTail);
    support.entries.push_back({"config.pre", std::move(config)});
    return support;
}

std::vector<SectorSpec> ChannelImageSectors(const ChannelImageSpec& spec) {
    std::vector<SlotSpec> first{SlotSpec(TransponderModule(spec.transponders))};
    if (spec.withSupport) first.emplace_back(SupportModule(spec));
    std::vector<SectorSpec> sectors{SectorSpec::Table(std::move(first))};

    std::vector<ModuleSpec> channelModules;
    if (spec.layout == ListLayout::Single) {
        channelModules.push_back(ChannelModule("TCS", spec.channels));
    } else if (spec.layout == ListLayout::Split) {
        std::vector<int> digits = spec.splitDigits;
        if (digits.empty()) {
            const std::size_t needed = std::max<std::size_t>(2, (spec.channels.size() + 998) / 999);
            for (std::size_t d = 0; d < needed; ++d) digits.push_back(static_cast<int>(d));
        }
        for (int d : digits) {
            std::vector<ChannelSpec> block(999, ChannelSpec{"", 0, 0, 0, 0, 0, 0, 0, 0});
            for (std::size_t i = 0; i < 999; ++i) {
                const std::size_t n = static_cast<std::size_t>(d) * 999 + i;
                if (n < spec.channels.size()) block[i] = spec.channels[n];
            }
            channelModules.push_back(ChannelModule(d == 0 ? "TCS" : "TCS" + std::to_string(d), block));
        }
    }
    for (std::size_t i = 0; i < channelModules.size(); i += 2) {
        std::vector<SlotSpec> slots{SlotSpec(channelModules[i])};
        if (i + 1 < channelModules.size()) slots.emplace_back(channelModules[i + 1]);
        sectors.push_back(SectorSpec::Table(std::move(slots)));
    }
    if (!spec.extraModules.empty()) {
        std::vector<SlotSpec> slots;
        for (const auto& m : spec.extraModules) slots.emplace_back(m);
        sectors.push_back(SectorSpec::Table(std::move(slots)));
    }
    if (sectors.size() > 8) throw std::invalid_argument("the list needs more than eight sectors");
    return sectors;
}

Bytes BuildChannelImage(const ChannelImageSpec& spec) { return BuildFlashImage(ChannelImageSectors(spec)); }

const std::array<std::int32_t, 16>& FixtureRates() {
    static const std::array<std::int32_t, 16> rates{27500, 22000, 29900, 30000, 5632, 6111, 28000, 27000,
                                                    26000, 24500, 4340,  2960,  3300, 6666, 1000,  0};
    return rates;
}

OpenParams FixtureOpenParams() {
    OpenParams params;
    params.symbolRates = FixtureRates();
    return params;
}

ChannelImageSpec MakeChannelImageSpec(ListLayout layout, int channels, int transponders, bool fullFavourites) {
    ChannelImageSpec spec;
    spec.layout = layout;
    for (int t = 0; t < transponders; ++t) {
        TransponderSpec tp;
        // 10700-12700 MHz in 0,5 MHz steps spread over the band; the high band (tone on)
        // from 11700 MHz.
        const std::int64_t mhzTimes2 = 21400 + (t * 97) % 4000;
        const bool high = mhzTimes2 >= 23400;
        const std::int64_t hz = mhzTimes2 * 500000 - std::int64_t{high ? 10600 : 9750} * 1000000;
        tp.offsetHz = static_cast<std::int32_t>(hz);
        tp.tid = static_cast<std::uint16_t>(1000 + t);
        tp.nid = static_cast<std::uint16_t>(t < transponders / 2 ? 318 : 1);
        tp.channels = static_cast<std::uint8_t>(t % 20);
        tp.srCode = static_cast<std::uint8_t>(t % 6);
        tp.fec = static_cast<std::uint8_t>(t % 5);
        tp.flags = static_cast<std::uint8_t>((high ? 1 : 0) | (t % 3 == 0 ? 2 : 0) | (t >= transponders / 2 ? 8 : 0));
        spec.transponders.push_back(tp);
    }
    for (int n = 1; n <= channels; ++n) {
        ChannelSpec c;
        c.name = "Canale " + std::to_string(n);
        c.transponder = static_cast<std::uint8_t>(transponders == 0 ? 0 : 1 + (n - 1) % std::min(transponders, 255));
        c.sid = static_cast<std::uint16_t>(n);
        switch (n % 4) {
            case 1:  // radio
                c.vpid = 0xFFFF;
                break;
            case 2:  // data
                c.vpid = 0xFFFF;
                c.apid = 0xFFFF;
                break;
            default:
                c.vpid = static_cast<std::uint16_t>(0x100 + n % 7000);
        }
        c.status = static_cast<std::uint8_t>(n % 7 == 0 ? 0x00 : 0x04 | (n % 5 == 0 ? 0x21 : 0));
        c.pcr = c.vpid == 0xFFFF ? 0x1FFF : c.vpid;
        spec.channels.push_back(c);
    }
    if (layout == ListLayout::Split) {
        spec.listNames = {"TV", "Radio", "Sport", "", "", "", "", ""};
        if (fullFavourites) {
            for (int k = 0; k < 8; ++k) {
                for (int s = 0; s < 128; ++s)
                    spec.favourites[static_cast<std::size_t>(k)].push_back(
                        static_cast<std::uint16_t>(1 + (k * 1231 + s * 37) % std::max(channels, 1)));
                spec.listNames[static_cast<std::size_t>(k)] = "Lista " + std::to_string(k + 1);
            }
        } else if (channels > 0) {
            for (int s = 0; s < 10; ++s) spec.favourites[0].push_back(static_cast<std::uint16_t>(1 + (s * 4 + 3) % channels));
            for (int s = 0; s < 5; ++s) spec.favourites[1].push_back(static_cast<std::uint16_t>(1 + (s * 4) % channels));
            spec.favourites[2] = {static_cast<std::uint16_t>(1 + 3 % channels), 0,
                                  static_cast<std::uint16_t>(std::min(channels, 20))};
        }
        spec.configTail = {0xDE, 0xAD, 0xBE, 0xEF};
    }
    return spec;
}

Bytes PackAsLiterals(const Bytes& content) { return PackLiterals(content); }

ChannelImageSpec MakeLargestChannelImageSpec() { return MakeChannelImageSpec(ListLayout::Split, 9990, 255, true); }

std::unique_ptr<ListPage> OpenChannelImage(const Bytes& image, const OpenParams& params) {
    auto file = std::make_shared<KvxImage>();
    const LoadResult load = file->loadBytes(image, params.fileName);
    if (!load.ok() || file->imageType() != 1) throw std::runtime_error("fixture is not a flash image: " + load.message);
    NullProgress progress;
    return BuildPage(std::move(file), params, progress);
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("rivo800-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            root_ = candidate.string();
            break;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string TempFolder::path(const std::string& name) const { return (std::filesystem::path(root_) / name).string(); }

bool DropRootPrivileges() {
    if (::geteuid() != 0) return true;
    constexpr ::uid_t kNobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && ::geteuid() == kNobody;
}

void OpenToEveryone(const TempFolder& folder) {
    std::filesystem::permissions(folder.root(), std::filesystem::perms::others_exec | std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
}

}  // namespace rivo::testsupport
