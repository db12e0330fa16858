// Opens arbitrary bytes as a channel list the way the editor does, and runs the page
// round trip of page_roundtrip.h on it.
#include "page_roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto image = std::make_shared<rivo::KvxImage>();
    if (!image->loadBytes(rivo::Bytes(data, data + size), "fuzz.Bin").ok() || image->imageType() != 1) return 0;
    fuzzing::PageRoundTrip(image);
    return 0;
}
