// SPDX-License-Identifier: MIT
// The container reader and the block decoder on arbitrary bytes: a clean error or a result,
// never a read or write out of bounds.
#include "support/lzrw1.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vrako::Lzrw1KHCoder;
    const std::span<const std::uint8_t> in(data, size);

    // The bare decoder on the whole input as one block.
    if (size <= Lzrw1KHCoder::MaxBlockLength) {
        std::vector<std::uint8_t> out(Lzrw1KHCoder::PieceSize + Lzrw1KHCoder::DecodeSlack);
        const auto n = Lzrw1KHCoder::decode(data, size, out.data(), Lzrw1KHCoder::PieceSize);
        if (n && *n > Lzrw1KHCoder::PieceSize)
            std::abort();
    }

    try {
        const std::size_t declared = vrako::Tlzrw1::decompressedSize(in);
        // Larger declared sizes only cost memory; the blocks are what is under test.
        if (declared > (1u << 20))
            return 0;
        const std::vector<std::uint8_t> out = vrako::Tlzrw1::decompressBuffer(in);
        if (out.size() != declared)
            std::abort();
    } catch (const vrako::ELzrw1Exception&) {
    }
    return 0;
}
