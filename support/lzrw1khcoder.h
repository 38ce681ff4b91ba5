// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vrako {

// Codes one piece of at most 32768 bytes as an LZRW1-KH block and decodes such blocks back.
//
// A block starts with 0x80 (the piece stored unchanged) or 0x40 (compressed). A compressed
// block holds groups of up to sixteen items, each group preceded by a 16-bit command word
// (high byte first, one bit per item from the top: 0 literal, 1 copy). Items are a literal
// byte, a two-byte copy (offset * 16 + length - 3, big-endian) or a four-byte run
// (0, n - 16 high, n - 16 low, byte).
class Lzrw1KHCoder {
public:
    static constexpr std::size_t PieceSize = 32768;
    // Bytes the coder may write beyond the piece length before it gives up compressing.
    static constexpr std::size_t EncodeSlack = 16;
    // Bytes the decoder may scribble beyond the decoded length with word-wide copies.
    static constexpr std::size_t DecodeSlack = 32;
    // The longest block a reader accepts: a piece plus the coder's slack.
    static constexpr std::size_t MaxBlockLength = PieceSize + 16;

    static constexpr std::uint8_t CompressedFlag = 0x40;
    static constexpr std::uint8_t StoredFlag = 0x80;

    // Codes `size` (at most PieceSize) bytes of `piece` into `out`, which must have room for
    // size + EncodeSlack bytes, and returns the block length. Reads only inside the piece.
    std::size_t encode(const std::uint8_t* piece, std::size_t size, std::uint8_t* out);

    // Decodes the `length` bytes of `block` into `out`, which must have room for
    // limit + DecodeSlack bytes. Returns the decoded length, or nothing when the block is
    // damaged: an item runs past the block, reaches back before the block's output, or the
    // output would grow past `limit`. Reads only inside the block.
    static std::optional<std::size_t> decode(const std::uint8_t* block, std::size_t length,
                                             std::uint8_t* out, std::size_t limit);

    // The hash of three bytes that picks a slot of the coder's table.
    static unsigned hash(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
        const std::uint32_t v = ((((std::uint32_t(b0) << 4) ^ b1) << 4) ^ b2) * 40543u;
        return (v >> 4) & 0xFFF;
    }

private:
    // The last input position seen with each hash; reset for every piece.
    std::int16_t m_table[4096];
};

} // namespace vrako
