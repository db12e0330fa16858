// The pages the list benchmarks share: the full page (9,990 channels on 255
// transponders, all eight favourites lists full) and that page with its channels
// shuffled, as a new scan leaves them. Each is built once per program.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "channel_fixtures.h"
#include "editing/reorder.h"

namespace bench_pages {

inline const rivo::ListPage& LargestPage() {
    static const auto page = rivo::testsupport::OpenChannelImage(
        rivo::testsupport::BuildChannelImage(rivo::testsupport::MakeLargestChannelImageSpec()));
    return *page;
}

inline rivo::ListPage Shuffled(const rivo::ListPage& base, unsigned seed) {
    rivo::ListPage shuffled = base;
    std::vector<int> order(static_cast<size_t>(shuffled.channelCount()));
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i) + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    rivo::ReorderChannels(shuffled, 1, order);
    return shuffled;
}

inline const rivo::ListPage& ShuffledPage() {
    static const rivo::ListPage page = Shuffled(LargestPage(), 3);
    return page;
}

}  // namespace bench_pages
