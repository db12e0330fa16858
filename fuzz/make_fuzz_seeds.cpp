// Writes the seed corpus of the fuzz targets: images made by the fixture builder.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "channel_fixtures.h"
#include "image_builder.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

void Write(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: make_fuzz_seeds IMAGE_DIR PACKED_DIR PAGE_DIR INI_DIR WHOLE_DIR\n";
        return 1;
    }
    std::filesystem::path images(argv[1]), packed(argv[2]), pages(argv[3]), inis(argv[4]), whole(argv[5]);
    for (const auto& dir : {images, packed, pages, inis, whole}) std::filesystem::create_directories(dir);

    const Bytes listText = Text("list list list of channels, channels and more channels");
    ModuleSpec support{"Support", {{"Support.pre", Pack(listText)}, {"config.pre", Pack(PatternBytes(64, 1), false)}}};
    ModuleSpec tpt{"TPT", {{"tpt.bin", PatternBytes(120, 2), true}}};
    ModuleSpec tcs{"TCS", {{"tcs.bin", PatternBytes(300, 3)}}};
    ModuleSpec code{"Code", {{"a", Pack(Bytes(900, 7))}, {"b", {}}}};
    // The fuzz runs keep inputs short (two sectors and a bit) so that each run is
    // quick; the loader reads a cut-off flash image as far as it goes.
    auto cut = [](Bytes b, std::size_t size) {
        b.resize(size);
        return b;
    };
    Write(images, "flash.bin",
          cut(BuildFlashImage({SectorSpec::Table({support, SlotSpec::Empty(0xFFFF), tpt}), SectorSpec::Table({tcs})}),
              2 * 65536 + 100));
    Write(images, "flash-raw.bin",
          cut(BuildFlashImage({SectorSpec::Raw(MakeRawSector(1)), SectorSpec::Table({SlotSpec::Empty(0), code, tcs}),
                               SectorSpec::Raw(MakeRawSector(2))}),
              2 * 65536 + 3000));
    Write(images, "flash-short.bin", cut(BuildFlashImage({SectorSpec::Table({support, tcs})}), 65536 + 64));
    using L = MainCodeSpec::Layout;
    int n = 0;
    for (L layout : {L::Signature1, L::Signature2, L::Entries16, L::Signature2With16}) {
        MainCodeSpec spec;
        spec.layout = layout;
        spec.bigEndianAddresses = (n % 2) == 1;
        spec.minimumSize = 65536 + 256;
        spec.modules = {{"boot", {{"boot.app", Pack(Text("boot code"))}}},
                        {"kernel", {{"k", Pack(PatternBytes(100, 4))}, {"l", Pack(Bytes(50, 1))}}}};
        Write(images, "main-" + std::to_string(n++) + ".bin", BuildMainCodeImage(spec).bytes);
    }

    // Channel lists: every layout, a few transponders and channels, favourites. The split
    // list keeps its first two channel modules (sector 1), the rest cut off.
    Write(pages, "single.bin", cut(BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 40, 6)), 2 * 65536));
    Write(pages, "split.bin", cut(BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1200, 12)), 2 * 65536));
    {
        ChannelImageSpec none = MakeChannelImageSpec(ListLayout::None, 0, 4);
        none.withSupport = false;
        Write(pages, "transponders-only.bin", cut(BuildChannelImage(none), 65536));
    }
    // Whole images for the byte-level targets: a full split list, and images with the
    // damage the loader names (two slots on one header, an entry past its sector).
    Write(images, "whole-split.bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1500, 40, true)));
    Write(pages, "whole-split.bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1500, 40, true)));
    Write(pages, "whole-single.bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 300, 20)));
    {
        const ModuleSpec named{"TPT", {{"TPT", PatternBytes(120, 2)}}};  // passes the type check
        SlotSpec again(named);
        again.at = 32;
        SlotSpec first(named);
        first.at = 32;
        Bytes damaged = BuildFlashImage({SectorSpec::Table({first, again, tcs}), SectorSpec::Raw(MakeRawSector(3))});
        Write(images, "whole-damaged.bin", damaged);
        Write(pages, "whole-damaged.bin", damaged);
    }
    // The structured target reads its choices from any bytes; a few starts of each kind.
    for (int i = 0; i < 8; ++i) Write(whole, "whole-" + std::to_string(i) + ".in", PatternBytes(64 + 96 * i, 20 + i));

    Write(inis, "sets.ini",
          Text("; rates\r\n[Standard]\r\nSR00=27500\r\nSR01=$55F0\r\nSR02=0x7530\r\nSR0F=-1\r\n\r\n"
               "[astra]\nsr00 = 22000\nSR01=x\n[Standard]\nSR03=1\n[Personalizzato]\n"));
    Write(inis, "bom.ini", Text("\xEF\xBB\xBF[Set]\r\nSR0A=4340\r\nSR0B=+2960\r\nSR0C=99999999999\r\n"));

    Write(packed, "text.pk", Pack(listText));
    Write(packed, "zeros.pk", Pack(Bytes(3000, 0), false));
    Write(packed, "random.pk", Pack(PatternBytes(500, 9)));
    return 0;
}
