// SPDX-License-Identifier: MIT
// Whatever goes into the container comes back out unchanged.
#include "support/lzrw1.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrako::Tlzrw1 doit;
    const std::span<const std::uint8_t> in(data, size);
    const std::vector<std::uint8_t> packed = doit.compressBuffer(in);
    if (packed.size() > vrako::Tlzrw1::compressBound(size))
        std::abort();
    const std::vector<std::uint8_t> back = vrako::Tlzrw1::decompressBuffer(packed);
    if (back.size() != size || !std::equal(back.begin(), back.end(), data))
        std::abort();
    return 0;
}
