// The worst inputs crafted against the module table: each is loaded and its page built
// (what `dump` does before printing), or refused. Every case must stay well under a
// second and 200 MB; "peak_rss_mb" is the process's peak, so run one case at a time
// (--benchmark_filter) to read it for that case. With RIVO_CRAFTED_DIR set, the images
// are also written there (to time the tool itself on them).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "channels/page_io.h"
#include "image/kvx_image.h"
#include "image_builder.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

void PutLe16(Bytes& out, std::size_t at, std::uint32_t v) {
    out.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    out.at(at + 1) = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void PutName(Bytes& out, std::size_t at, const std::string& name, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out.at(at + i) = i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0;
}

// A packed stream of `matches` long repeats: two bytes each, 64 bytes decoded each.
Bytes RepeatStream(int matches) {
    PackedEncoder encoder;
    encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
    for (int i = 0; i < matches; ++i) encoder.Match(8, 64);
    encoder.EndMarker();
    return encoder.Finish();
}

// Seven sectors, each one module "TPTn" (packed, as the name is not exactly "TPT") with
// about 64,000 bytes of repeats decoding to about 2 MB.
Bytes SevenPackedBombs() {
    std::vector<SectorSpec> sectors;
    const Bytes stream = RepeatStream(32000);
    for (int k = 0; k < 7; ++k) {
        const std::string name = "TPT" + std::to_string(k + 1);
        sectors.push_back(SectorSpec::Table({ModuleSpec{.name = name, .entries = {EntrySpec{.name = name, .bytes = stream}}}}));
    }
    return BuildFlashImage(sectors);
}

// Two sectors of sixteen module headers each, all with one entry pointing at the same
// packed stream after them (16 x 2 = 32 headers sharing one stream per sector).
Bytes SharedStreamHeaders(bool packed) {
    Bytes image = BuildFlashImage({});
    const Bytes stream = packed ? RepeatStream(31000) : PatternBytes(62000, 7);
    for (std::size_t k = 0; k < 2; ++k) {
        const std::size_t sector = k * 65536;
        const std::size_t streamAt = 32 + 16 * 36;
        for (std::size_t t = 0; t < 16; ++t) {
            const std::size_t header = 32 + t * 36;
            PutLe16(image, sector + 2 * t, static_cast<std::uint32_t>(header));
            // Names hold "TPT" (packed) or "TCS" (plain); the first names its entry alike
            // so that the type check takes the file.
            const std::string name = std::string(packed ? "TPT" : "TCS") + std::to_string(k * 16 + t + 10);
            PutName(image, sector + header, name, 10);
            PutLe16(image, sector + header + 10, 65000);
            PutLe16(image, sector + header + 12, 1);
            PutName(image, sector + header + 16, name, 12);
            PutLe16(image, sector + header + 16 + 12, static_cast<std::uint32_t>(streamAt - header - 12));
            PutLe16(image, sector + header + 16 + 16, static_cast<std::uint32_t>(stream.size()));
        }
        std::copy(stream.begin(), stream.end(), image.begin() + static_cast<std::ptrdiff_t>(sector + streamAt));
    }
    return image;
}

// Every slot of every sector a module declaring 65,535 entries over pattern bytes.
Bytes EntryCountsEverywhere() {
    Bytes image = PatternBytes(kFlashImageSize, 11);
    for (std::size_t k = 0; k < 8; ++k) {
        const std::size_t sector = k * 65536;
        for (std::size_t t = 0; t < 16; ++t) {
            const std::size_t header = 32 + t * 4000;
            PutLe16(image, sector + 2 * t, static_cast<std::uint32_t>(header));
            PutName(image, sector + header, "TCS" + std::to_string(t), 10);
            PutName(image, sector + header + 16, "TCS" + std::to_string(t), 12);
            PutLe16(image, sector + header + 12, 65535);
        }
    }
    return image;
}

// A 64 MiB main-code image whose directory declares 255 modules of 255 entries, every
// entry 16 MiB long from the module's start.
Bytes LargestMainCode() {
    MainCodeSpec spec;
    for (int m = 0; m < 255; ++m) {
        MainCodeModuleSpec module;
        module.name = m == 0 ? "boot" : "m" + std::to_string(m);
        for (int e = 0; e < 255; ++e) module.entries.push_back({"e" + std::to_string(e), Bytes(1, 1)});
        spec.modules.push_back(std::move(module));
    }
    spec.minimumSize = std::size_t{64} << 20;
    Bytes bytes = BuildMainCodeImage(spec).bytes;
    const std::size_t records = spec.directoryAt + 255 * (32 + 4);
    for (std::size_t r = 0; r < 255 * 255; ++r) {
        bytes.at(records + 20 * r + 12) = 0;  // offset 0
        bytes.at(records + 20 * r + 13) = 0;
        bytes.at(records + 20 * r + 14) = 0;
        for (std::size_t i = 16; i < 19; ++i) bytes.at(records + 20 * r + i) = 0xFF;  // 16 MiB
    }
    bytes.resize(std::size_t{64} << 20);
    return bytes;
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Crafted(benchmark::State& state, const char* name, const std::function<Bytes()>& make) {
    const Bytes image = make();
    if (const char* dir = std::getenv("RIVO_CRAFTED_DIR")) {
        std::ofstream(std::string(dir) + "/" + name + ".Bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    std::string outcome;
    std::size_t rows = 0;
    std::size_t damage = 0;
    for (auto _ : state) {
        auto file = std::make_shared<KvxImage>();
        const LoadResult loaded = file->loadBytes(image, name);
        damage = file->damage().size();
        if (!loaded.ok()) {
            outcome = "unrecognised";
            continue;
        }
        if (file->imageType() != 1) {
            outcome = "main code";
            continue;
        }
        try {
            NullProgress progress;
            OpenParams params;
            const auto page = BuildPage(file, params, progress);
            rows = static_cast<std::size_t>(page->transponderCount() + page->channelCount());
            outcome = "opened";
        } catch (const PageLimitError&) {
            outcome = "refused";
        }
    }
    state.SetLabel(outcome);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["damage_lines"] = static_cast<double>(damage);
    state.counters["peak_rss_mb"] = PeakRssMb();
}

void BM_SevenPackedBombs(benchmark::State& state) { Crafted(state, "seven-packed-bombs", SevenPackedBombs); }
void BM_SharedPackedStream(benchmark::State& state) {
    Crafted(state, "shared-packed-stream", [] { return SharedStreamHeaders(true); });
}
void BM_SharedPlainStream(benchmark::State& state) {
    Crafted(state, "shared-plain-stream", [] { return SharedStreamHeaders(false); });
}
void BM_EntryCountsEverywhere(benchmark::State& state) { Crafted(state, "entry-counts", EntryCountsEverywhere); }
void BM_LargestMainCode(benchmark::State& state) { Crafted(state, "main-code-64mib", LargestMainCode); }

}  // namespace

BENCHMARK(BM_SevenPackedBombs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedPackedStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedPlainStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryCountsEverywhere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestMainCode)->Unit(benchmark::kMillisecond)->Iterations(3);
