// Channel-list flash images for tests, benchmarks and the fuzz corpus: a transponder
// table, the channel table in any of the three layouts, and the support module with
// favourites lists and list names, built on the image builder.
//
// Typical use:
//   auto spec = MakeChannelImageSpec(ListLayout::Split, 1500, 40);  // 2 modules, favourites
//   Bytes image = BuildChannelImage(spec);
//   auto page = OpenChannelImage(image);                             // the page as built
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/open_params.h"
#include "image_builder.h"

namespace rivo::testsupport {

// One channel record; the defaults make an active TV channel.
struct ChannelSpec {
    std::string name;            // Windows-1252 bytes, up to 16 stored
    std::uint8_t status = 0x04;  // active
    std::uint8_t transponder = 1;
    std::uint16_t sid = 0, vpid = 0x200, apid = 0x28A, vecm = 0xFFFF, aecm = 0xFFFF, pcr = 0x200;
};
Bytes EncodeChannel(const ChannelSpec& channel);  // 30 bytes

// One transponder record.
struct TransponderSpec {
    std::int32_t offsetHz = 0;  // received frequency minus the oscillator, Hz; 0 = unused
    std::uint16_t tid = 0, nid = 0;
    std::uint8_t channels = 0, srCode = 0, fec = 2, flags = 0;  // flags: tone 1, H 2, sat B 8
};
Bytes EncodeTransponder(const TransponderSpec& transponder);  // 12 bytes

struct ChannelImageSpec {
    ListLayout layout = ListLayout::Split;
    std::vector<TransponderSpec> transponders;
    // Split: each module holds 999 records; channels beyond those given are empty records.
    std::vector<ChannelSpec> channels;
    // Split: the block digit of each channel module, in image order (0 is "TCS", d is
    // "TCS" + d). Empty: as many modules as the channels need (at least two), in order.
    std::vector<int> splitDigits;
    // Favourites lists 1..8: channel numbers, slot 1 first (at most 128; 0 = empty slot).
    std::array<std::vector<std::uint16_t>, 8> favourites;
    std::array<std::string, 8> listNames;  // bytes, up to 8 stored
    std::uint8_t versionMajor = 1, versionMinor = 4;
    Bytes configTail;          // config.pre from offset 66
    bool withSupport = true;   // a "Support" module (read in Split only)
    std::vector<ModuleSpec> extraModules;  // further modules, in a sector of their own
};

// The sectors of the image, for tests that want to alter something before building:
// sector 0 holds "TPT" (entry "TPT.dat") then "Support" (Lista1.pre .. Lista8.pre,
// config.pre); channel modules follow two to a sector from sector 1; extra modules last.
std::vector<SectorSpec> ChannelImageSectors(const ChannelImageSpec& spec);
Bytes BuildChannelImage(const ChannelImageSpec& spec);

// The modules one by one.
ModuleSpec TransponderModule(const std::vector<TransponderSpec>& transponders, const std::string& name = "TPT");
ModuleSpec ChannelModule(const std::string& name, const std::vector<ChannelSpec>& channels);
ModuleSpec SupportModule(const ChannelImageSpec& spec);

// A varied list: `channels` channels over `transponders` transponders (TV, radio, data
// channels, every seventh inactive, names "Canale N"), half the transponders on each
// satellite. Split: lists 1-3 partly filled and named; fullFavourites fills all eight
// lists' 128 slots.
ChannelImageSpec MakeChannelImageSpec(ListLayout layout, int channels, int transponders,
                                      bool fullFavourites = false);

// A packed stream that decodes to content: literal runs of up to eight bytes and the end
// marker (no back-references), for modules whose kind is packed.
Bytes PackAsLiterals(const Bytes& content);

// The largest list the format allows: ten channel modules of 999 records, 255
// transponders, all eight favourites lists full.
ChannelImageSpec MakeLargestChannelImageSpec();

// Open parameters the fixtures' symbol-rate codes are meant for (code i: FixtureRates()[i]).
const std::array<std::int32_t, 16>& FixtureRates();
OpenParams FixtureOpenParams();

// Loads image bytes and builds the page (fails the calling test through an exception
// when the bytes are not a flash image).
std::unique_ptr<ListPage> OpenChannelImage(const Bytes& image,
                                           const OpenParams& params = FixtureOpenParams());

// A fresh empty folder for files a test writes; removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path(const std::string& name) const;
    const std::string& root() const { return root_; }

private:
    std::string root_;
};

// For a check that a file without read permission is refused: root reads any file,
// so a process running as root first becomes the unprivileged user "nobody" (call it
// in a child process, e.g. inside EXPECT_EXIT). Returns false when that fails. The
// files it reads must then be reachable by anyone: see OpenToEveryone.
bool DropRootPrivileges();
// Lets every user pass through the folder (TempFolder's own is private to its owner).
void OpenToEveryone(const TempFolder& folder);

}  // namespace rivo::testsupport
