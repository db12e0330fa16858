// Decodes arbitrary bytes as a packed entry, and packs them and decodes them back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/kvx_image.h"
#include "packed_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> input(data, size);
    rivo::Bytes out;
    rivo::UnpackBytes(input, out);
    // Every 12 bits give at most 64 bytes.
    if (out.size() > (size * 8 / 12 + 1) * 64) std::abort();
    const bool marker = size > 0 && (data[0] & 1);
    rivo::UnpackBytes(rivo::testsupport::Pack(input, marker), out);
    if (out != rivo::Bytes(input.begin(), input.end())) std::abort();
    return 0;
}
