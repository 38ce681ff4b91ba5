// SPDX-License-Identifier: MIT
#include "support/lzrw1.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <unistd.h>

namespace vrako {

namespace {

constexpr std::size_t PieceSize = Lzrw1KHCoder::PieceSize;
constexpr std::uint64_t MaxDeclared = std::uint64_t(std::numeric_limits<std::int32_t>::max());

void putLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

std::uint32_t getLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

[[noreturn]] void failRead(const std::string& name) {
    throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + name);
}

[[noreturn]] void failSizes() {
    throw ELzrw1Exception(
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
}

[[noreturn]] void failDamaged(const std::string& name) {
    throw ELzrw1Exception("Lzrw1 (decompression LZRW1/KH) : damaged compressed block in : " + name);
}

void checkIdentifier(std::uint32_t id, const std::string& name) {
    if (id == Tlzrw1::LzhId)
        throw ELzrw1Exception(name +
                              " : Lzrw1 decompression : LZH compressed files are not supported !");
    if (id != Tlzrw1::Lzrw1KHId)
        throw ELzrw1Exception(name + " : Lzrw1 decompression : this file has no valid header !");
}

std::unique_ptr<std::uint8_t[]> allocate(std::size_t size) {
    try {
        return std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to get memory for I/O buffers !");
    }
}

// Bytes of a buffer handed out front to back.
class MemorySource {
public:
    explicit MemorySource(std::span<const std::uint8_t> data) : m_data(data) {}
    // Up to n bytes from the reading position, fewer at the end.
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, m_data.size() - m_pos);
        const auto part = m_data.subspan(m_pos, n);
        m_pos += n;
        return part;
    }
    bool failed() const { return false; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

// An open file read through one buffer of `capacity` bytes.
class FileSource {
public:
    FileSource(std::FILE* file, std::uint8_t* buffer, std::size_t capacity)
        : m_file(file), m_buffer(buffer), m_capacity(capacity) {}
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, m_capacity);
        return {m_buffer, std::fread(m_buffer, 1, n, m_file)};
    }
    bool failed() const { return std::ferror(m_file) != 0; }

private:
    std::FILE* m_file;
    std::uint8_t* m_buffer;
    std::size_t m_capacity;
};

// A caller's buffer filled front to back; room() hands out the space after the bytes kept.
class MemorySink {
public:
    MemorySink(std::uint8_t* out, std::size_t capacity) : m_out(out), m_capacity(capacity) {}
    std::uint8_t* room(std::size_t n) {
        if (n > m_capacity - m_pos)
            throw std::length_error("vrako::Tlzrw1: output buffer too small");
        return m_out + m_pos;
    }
    void commit(std::size_t n) { m_pos += n; }
    std::size_t written() const { return m_pos; }

private:
    std::uint8_t* m_out;
    std::size_t m_capacity;
    std::size_t m_pos = 0;
};

// An open file written from one buffer; every write is checked for its full count.
class FileSink {
public:
    FileSink(std::FILE* file, std::uint8_t* buffer, std::string name)
        : m_file(file), m_buffer(buffer), m_name(std::move(name)) {}
    std::uint8_t* room(std::size_t) { return m_buffer; }
    void commit(std::size_t n) {
        if (std::fwrite(m_buffer, 1, n, m_file) != n)
            throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + m_name);
        m_written += n;
    }
    std::size_t written() const { return m_written; }

private:
    std::FILE* m_file;
    std::uint8_t* m_buffer;
    std::string m_name;
    std::size_t m_written = 0;
};

template <class Source, class Sink>
std::size_t compressStream(Lzrw1KHCoder& coder, Source& source, Sink& sink, std::uint64_t declared,
                           const std::string& name) {
    std::uint8_t* header = sink.room(Tlzrw1::HeaderSize);
    putLe32(header, Tlzrw1::Lzrw1KHId);
    putLe32(header + 4, std::uint32_t(declared));
    sink.commit(Tlzrw1::HeaderSize);
    std::uint64_t total = 0;
    for (;;) {
        const auto piece = source.take(PieceSize);
        if (source.failed())
            throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + name +
                                  " (LZRW1/KH)");
        total += piece.size();
        // The header was written first; a file that changed meanwhile would not match it.
        if (total > declared)
            throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + name +
                                  " (LZRW1/KH)");
        std::uint8_t* block = sink.room(2 + piece.size() + Lzrw1KHCoder::EncodeSlack);
        const std::size_t length = coder.encode(piece.data(), piece.size(), block + 2);
        block[0] = std::uint8_t(length);
        block[1] = std::uint8_t(length >> 8);
        sink.commit(2 + length);
        if (piece.size() < PieceSize)
            break;
    }
    if (total != declared)
        throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + name + " (LZRW1/KH)");
    return sink.written();
}

template <class Source, class Sink>
std::size_t decompressStream(Source& source, Sink& sink, const std::string& name) {
    const auto need = [&](std::size_t n) {
        const auto part = source.take(n);
        if (part.size() != n)
            failRead(name);
        return part;
    };
    checkIdentifier(getLe32(need(4).data()), name);
    const std::int64_t declared = std::int32_t(getLe32(need(4).data()));
    const std::uint64_t expected = declared < 0 ? 0 : std::uint64_t(declared);

    std::uint64_t total = 0;
    for (;;) {
        const auto lengthBytes = need(2);
        const std::size_t length = std::size_t(lengthBytes[0]) | std::size_t(lengthBytes[1]) << 8;
        if (length > Lzrw1KHCoder::MaxBlockLength)
            failDamaged(name);
        const auto block = need(length);
        // Never decode past the declared size: what the header promises bounds the output.
        const std::size_t limit = std::size_t(std::min<std::uint64_t>(PieceSize, expected - total));
        std::uint8_t* out = sink.room(limit + Lzrw1KHCoder::DecodeSlack);
        const auto decoded = Lzrw1KHCoder::decode(block.data(), length, out, limit);
        if (!decoded) {
            // Tell a sound block that outgrows the declared size from a damaged one.
            if (limit < PieceSize) {
                std::vector<std::uint8_t> scratch(PieceSize + Lzrw1KHCoder::DecodeSlack);
                if (Lzrw1KHCoder::decode(block.data(), length, scratch.data(), PieceSize))
                    failSizes();
            }
            failDamaged(name);
        }
        sink.commit(*decoded);
        total += *decoded;
        if (*decoded != PieceSize)
            break;
    }
    if (std::int64_t(total) != declared)
        failSizes();
    return sink.written();
}

// The size a container's header declares, checking the header as decompressStream() does.
std::int64_t declaredSize(std::span<const std::uint8_t> in, const std::string& name) {
    if (in.size() < 4)
        failRead(name);
    checkIdentifier(getLe32(in.data()), name);
    if (in.size() < Tlzrw1::HeaderSize)
        failRead(name);
    return std::int32_t(getLe32(in.data() + 4));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr openInput(const std::string& path) {
    FilePtr file(path.empty() ? nullptr : std::fopen(path.c_str(), "rb"));
    if (!file)
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + path);
    // Block lengths are read two bytes at a time; a large buffer keeps the reads large.
    std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 16);
    return file;
}

// A sibling of the output file that takes its place only when complete, so that a failure
// neither destroys an existing file nor leaves a partial one.
class PendingOutput {
public:
    explicit PendingOutput(std::string path) : m_path(std::move(path)) {
        static std::atomic<unsigned> serial{0};
        for (int attempt = 0; attempt < 100 && !m_path.empty(); ++attempt) {
            m_temp = m_path + ".part-" + std::to_string(::getpid()) + "-" +
                     std::to_string(serial.fetch_add(1));
            // "x": created here and now, never an existing file or a planted link.
            m_file.reset(std::fopen(m_temp.c_str(), "wbx"));
            if (m_file || errno != EEXIST)
                break;
        }
        if (!m_file)
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + m_path);
    }
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput() {
        if (!m_done) {
            m_file.reset();
            std::remove(m_temp.c_str());
        }
    }

    std::FILE* file() const { return m_file.get(); }

    void commit() {
        std::FILE* f = m_file.release();
        const bool flushed = std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
        const bool closed = std::fclose(f) == 0;
        if (!flushed || !closed || std::rename(m_temp.c_str(), m_path.c_str()) != 0)
            throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + m_path);
        m_done = true;
    }

private:
    std::string m_path;
    std::string m_temp;
    FilePtr m_file;
    bool m_done = false;
};

} // namespace

std::int64_t Tlzrw1::Compress() {
    if (m_mode == TCompressMode::Good)
        throw ELzrw1Exception("Lzrw1 compression : the LZH method is not available, use Fast !");
    auto input = allocate(PieceSize + Lzrw1KHCoder::EncodeSlack);
    auto output = allocate(2 + PieceSize + Lzrw1KHCoder::EncodeSlack);

    std::error_code error;
    const auto size = std::filesystem::file_size(m_inputFile, error);
    if (error)
        throw ELzrw1Exception("Lzrw1 compression : Failed to obtain the size of : " + m_inputFile);
    // The header holds the size as a signed 32-bit number.
    if (size > MaxDeclared)
        throw ELzrw1Exception("Lzrw1 compression : File too large to compress : " + m_inputFile);

    FilePtr in = openInput(m_inputFile);
    PendingOutput out(m_outputFile);
    FileSource source(in.get(), input.get(), PieceSize);
    FileSink sink(out.file(), output.get(), m_outputFile);
    const std::size_t written = compressStream(m_coder, source, sink, size, m_inputFile);
    out.commit();
    return std::int64_t(written);
}

std::int64_t Tlzrw1::Decompress() {
    auto input = allocate(Lzrw1KHCoder::MaxBlockLength + Lzrw1KHCoder::EncodeSlack);
    auto output = allocate(PieceSize + Lzrw1KHCoder::DecodeSlack);

    FilePtr in = openInput(m_inputFile);
    PendingOutput out(m_outputFile);
    FileSource source(in.get(), input.get(), Lzrw1KHCoder::MaxBlockLength);
    FileSink sink(out.file(), output.get(), m_outputFile);
    const std::size_t written = decompressStream(source, sink, m_inputFile);
    out.commit();
    return std::int64_t(written);
}

std::size_t Tlzrw1::compressBound(std::size_t size) {
    const std::size_t blocks = size / PieceSize + 1;
    return HeaderSize + size + blocks * 3 + Lzrw1KHCoder::EncodeSlack;
}

std::size_t Tlzrw1::compressBuffer(std::span<const std::uint8_t> in, std::uint8_t* out) {
    if (in.size() > MaxDeclared)
        throw ELzrw1Exception("Lzrw1 compression : File too large to compress : buffer");
    MemorySource source(in);
    MemorySink sink(out, compressBound(in.size()));
    return compressStream(m_coder, source, sink, in.size(), "buffer");
}

std::vector<std::uint8_t> Tlzrw1::compressBuffer(std::span<const std::uint8_t> in) {
    std::vector<std::uint8_t> out(compressBound(in.size()));
    out.resize(compressBuffer(in, out.data()));
    return out;
}

std::size_t Tlzrw1::decompressedSize(std::span<const std::uint8_t> in, const std::string& name) {
    const std::int64_t declared = declaredSize(in, name);
    if (declared < 0)
        failSizes();
    return std::size_t(declared);
}

std::size_t Tlzrw1::decompressBuffer(std::span<const std::uint8_t> in, std::uint8_t* out,
                                     std::size_t capacity, const std::string& name) {
    MemorySource source(in);
    MemorySink sink(out, capacity);
    return decompressStream(source, sink, name);
}

std::vector<std::uint8_t> Tlzrw1::decompressBuffer(std::span<const std::uint8_t> in,
                                                   const std::string& name) {
    // A negative size is reported like any other mismatch, after the blocks.
    const std::size_t declared = std::size_t(std::max<std::int64_t>(0, declaredSize(in, name)));
    // A four-byte run item yields at most 4111 bytes, so the blocks read so far bound the
    // output; a damaged header declaring more cannot make this allocate more.
    const std::size_t reachable = in.size() * 1028 + PieceSize;
    std::vector<std::uint8_t> out(decompressCapacity(std::min(declared, reachable)));
    out.resize(decompressBuffer(in, out.data(), out.size(), name));
    return out;
}

} // namespace vrako
