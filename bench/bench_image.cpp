// The image container's hot paths, each beside a memcpy of the same number of bytes so
// that the ratio to the memory bandwidth shows.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "image/kvx_image.h"
#include "image_builder.h"
#include "packed_encoder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

constexpr std::size_t kEntry = 65536;

Bytes LiteralHeavy() { return PatternBytes(kEntry, 1); }

Bytes MatchHeavy() {
    Bytes out;
    for (int i = 0; out.size() < kEntry; ++i) {
        std::string line = "channel " + std::to_string(i % 97) + " on transponder " + std::to_string(i % 13) + "; ";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(kEntry);
    return out;
}

void Decode(benchmark::State& state, const Bytes& content) {
    const Bytes packed = Pack(content);
    Bytes out;
    for (auto _ : state) {
        UnpackBytes(packed, out);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != content) state.SkipWithError("decoded content differs");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * content.size()));
    state.counters["packed_bytes"] = static_cast<double>(packed.size());
}

void BM_DecodeLiteralHeavy(benchmark::State& state) { Decode(state, LiteralHeavy()); }
void BM_DecodeMatchHeavy(benchmark::State& state) { Decode(state, MatchHeavy()); }

void MemcpyOf(benchmark::State& state, std::size_t size) {
    Bytes src = PatternBytes(size, 3), dst(size);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), size);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
void BM_Memcpy64KiB(benchmark::State& state) { MemcpyOf(state, kEntry); }
void BM_Memcpy512KiB(benchmark::State& state) { MemcpyOf(state, kFlashImageSize); }

// Eight well-filled sectors: a raw sector, the list modules, packed modules.
Bytes FullImage() {
    std::vector<SectorSpec> sectors;
    sectors.push_back(SectorSpec::Table({ModuleSpec{"Support", {{"Support.pre", Pack(MatchHeavy())}, {"config.pre", PatternBytes(2000, 1)}}},
                                         ModuleSpec{"TPT", {{"tpt.bin", PatternBytes(12000, 2)}}}}));
    sectors.push_back(SectorSpec::Raw(MakeRawSector(4)));
    for (int k = 2; k < 8; ++k) {
        std::vector<SlotSpec> slots;
        for (int m = 0; m < 8; ++m) {
            ModuleSpec mod{"TCS" + std::to_string(m), {}};
            for (int e = 0; e < 4; ++e) mod.entries.push_back({"e" + std::to_string(e), PatternBytes(1900, static_cast<std::uint32_t>(k * 100 + m * 10 + e))});
            slots.push_back(mod);
        }
        sectors.push_back(SectorSpec::Table(slots));
    }
    return BuildFlashImage(sectors);
}

void BM_LoadFlashImage(benchmark::State& state) {
    const Bytes image = FullImage();
    for (auto _ : state) {
        KvxImage f;
        LoadResult r = f.loadBytes(image);
        benchmark::DoNotOptimize(r);
        if (!r.ok()) state.SkipWithError("not loaded");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}

void BM_SaveFlashImage(benchmark::State& state) {
    KvxImage f;
    if (!f.loadBytes(FullImage()).ok()) state.SkipWithError("not loaded");
    Bytes out;
    for (auto _ : state) {
        SaveResult r = f.saveToBytes(out);
        benchmark::DoNotOptimize(out.data());
        if (!r.ok) state.SkipWithError("not saved");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFlashImageSize));
}

}  // namespace

BENCHMARK(BM_DecodeLiteralHeavy);
BENCHMARK(BM_DecodeMatchHeavy);
BENCHMARK(BM_Memcpy64KiB);
BENCHMARK(BM_LoadFlashImage);
BENCHMARK(BM_SaveFlashImage);
BENCHMARK(BM_Memcpy512KiB);
