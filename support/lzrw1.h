// SPDX-License-Identifier: MIT
#pragma once

#include "support/lzrw1khcoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vrako {

// The error raised by Tlzrw1 for every failure, carrying a message for the user.
class ELzrw1Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TCompressMode { Good, Fast, Auto };

// Compresses a file into the LZRW1-KH container and back, replacing the output file only
// when the whole result has been written.
//
// The container is the method identifier 0x4C5A5257 and the signed uncompressed size (both
// 32-bit little-endian), then blocks of a 16-bit little-endian length and one coded piece of
// at most 32768 bytes. The last block always codes fewer than 32768 bytes, possibly none.
// The same container can be built from and read into memory.
class Tlzrw1 {
public:
    static constexpr std::uint32_t Lzrw1KHId = 0x4C5A5257;
    static constexpr std::uint32_t LzhId = 0x4C5A4821;
    static constexpr std::size_t HeaderSize = 8;

    const std::string& InputFile() const { return m_inputFile; }
    void setInputFile(const std::string& path) { m_inputFile = path; }
    const std::string& OutputFile() const { return m_outputFile; }
    void setOutputFile(const std::string& path) { m_outputFile = path; }
    // Only the LZRW1-KH method (`Fast`) is built; `Auto` always chooses it and `Good` is
    // refused by Compress().
    TCompressMode CompressMode() const { return m_mode; }
    void setCompressMode(TCompressMode mode) { m_mode = mode; }

    // Compresses InputFile into OutputFile and returns the bytes written.
    std::int64_t Compress();
    // Decompresses InputFile into OutputFile and returns the bytes written.
    std::int64_t Decompress();

    // The most bytes compressBuffer() writes for `size` input bytes.
    static std::size_t compressBound(std::size_t size);
    // Writes the container for `in` to `out` (compressBound(in.size()) bytes of room) and
    // returns its length.
    std::size_t compressBuffer(std::span<const std::uint8_t> in, std::uint8_t* out);
    std::vector<std::uint8_t> compressBuffer(std::span<const std::uint8_t> in);

    // The uncompressed size a container declares; `name` names it in error messages.
    static std::size_t decompressedSize(std::span<const std::uint8_t> in,
                                        const std::string& name = "buffer");
    // Room decompressBuffer() needs for a container that declares `size` bytes.
    static std::size_t decompressCapacity(std::size_t size) {
        return size + Lzrw1KHCoder::DecodeSlack;
    }
    // Decodes the container `in` into `out` (`capacity` bytes, at least
    // decompressCapacity(decompressedSize(in))) and returns the decoded length.
    static std::size_t decompressBuffer(std::span<const std::uint8_t> in, std::uint8_t* out,
                                        std::size_t capacity, const std::string& name = "buffer");
    static std::vector<std::uint8_t> decompressBuffer(std::span<const std::uint8_t> in,
                                                      const std::string& name = "buffer");

private:
    std::string m_inputFile;
    std::string m_outputFile;
    TCompressMode m_mode = TCompressMode::Fast;
    Lzrw1KHCoder m_coder;
};

} // namespace vrako
