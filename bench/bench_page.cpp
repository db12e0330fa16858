// Opening and saving the largest channel list the format allows: ten channel modules of
// 999 records, 255 transponders, all eight favourites lists full.
//
// BM_ReadFile is the yardstick: reading the file into memory. BM_OpenPage is the whole
// open (load, decode, build the page) from the same file; BM_BuildPage the page alone
// from an image already loaded; BM_SavePage encoding every table and writing the file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "channel_fixtures.h"
#include "channels/page_io.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

struct LargestImage {
    TempFolder folder;
    std::string path;
    LargestImage() : path(folder.path("largest.Bin")) {
        const std::string error = WriteFileAtomically(path, BuildChannelImage(MakeLargestChannelImageSpec()));
        if (!error.empty()) throw std::runtime_error(error);
    }
};

LargestImage& Largest() {
    static LargestImage image;
    return image;
}

void BM_ReadFile(benchmark::State& state) {
    const std::string& path = Largest().path;
    for (auto _ : state) {
        std::string error;
        auto bytes = ReadWholeFile(path, error);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMicrosecond);

void BM_OpenPage(benchmark::State& state) {
    OpenParams params = FixtureOpenParams();
    params.fileName = Largest().path;
    NullProgress progress;
    for (auto _ : state) {
        OpenResult opened = OpenPage(params, progress);
        if (!opened.page || opened.page->channelCount() != 9990) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(opened);
        // Closing the page is not part of opening it.
        state.PauseTiming();
        opened.page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPage)->Unit(benchmark::kMicrosecond);

void BM_BuildPage(benchmark::State& state) {
    std::string error;
    const Bytes bytes = *ReadWholeFile(Largest().path, error);
    auto image = std::make_shared<KvxImage>();
    image->loadBytes(bytes);
    NullProgress progress;
    for (auto _ : state) {
        auto page = BuildPage(image, FixtureOpenParams(), progress);
        benchmark::DoNotOptimize(page);
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildPage)->Unit(benchmark::kMicrosecond);

void BM_SavePage(benchmark::State& state) {
    OpenParams params = FixtureOpenParams();
    params.fileName = Largest().path;
    NullProgress progress;
    OpenResult opened = OpenPage(params, progress);
    const std::string out = Largest().folder.path("saved.Bin");
    for (auto _ : state) {
        opened.page->modified = true;
        const PageSaveResult saved = SavePage(*opened.page, out, progress);
        if (!saved.ok) state.SkipWithError(saved.message.c_str());
    }
}
BENCHMARK(BM_SavePage)->Unit(benchmark::kMicrosecond);

}  // namespace
