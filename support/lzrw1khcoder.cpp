// SPDX-License-Identifier: MIT
#include "support/lzrw1khcoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vrako {

namespace {

constexpr std::size_t MaxRun = 4095;
constexpr std::size_t MinRun = 16;
constexpr std::size_t MaxMatch = 18;
constexpr std::size_t MinMatch = 3;
constexpr std::size_t MaxOffset = 4095;
// The fast loop runs while every read it makes (up to 18 bytes at the position) stays inside
// the piece; the last positions go through the careful loop.
constexpr std::size_t FastMargin = MaxMatch;
// Slots start out this far back, so that no position reaches them: one comparison tells
// both an empty slot and one too far back.
constexpr std::int16_t EmptySlot = -4096;

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store64(std::uint8_t* p, std::uint64_t v) {
    std::memcpy(p, &v, sizeof v);
}

// Index of the first byte (in memory order) that is not zero in a non-zero word.
inline unsigned firstSetByte(std::uint64_t v) {
    if constexpr (std::endian::native == std::endian::little)
        return unsigned(std::countr_zero(v)) / 8;
    else
        return unsigned(std::countl_zero(v)) / 8;
}

// Byte i (in memory order) of a word loaded from memory.
inline std::uint8_t byteOf(std::uint64_t word, unsigned i) {
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::uint8_t>(word >> (8 * i));
    else
        return static_cast<std::uint8_t>(word >> (56 - 8 * i));
}

// Whether the XOR of two loaded words is non-zero in one of its first three bytes.
inline bool differsInFirst3(std::uint64_t d) {
    if constexpr (std::endian::native == std::endian::little)
        return (d & 0xFFFFFF) != 0;
    else
        return (d >> 40) != 0;
}

// Number of leading bytes of a and b that are equal, at most 10; both have 10 readable bytes.
inline std::size_t matchLength10(const std::uint8_t* a, const std::uint8_t* b) {
    const std::uint64_t d = load64(a) ^ load64(b);
    if (d)
        return firstSetByte(d);
    if (a[8] != b[8])
        return 8;
    return a[9] != b[9] ? 9 : 10;
}

// The items' kind bits of one group sit behind a marker bit; the group is full when the
// marker reaches bit 16.
constexpr std::uint32_t EmptyGroup = 1;
constexpr std::uint32_t FullGroup = 0x10000;

inline void putCommand(std::uint8_t* at, std::uint32_t bits) {
    at[0] = std::uint8_t(bits >> 8);
    at[1] = std::uint8_t(bits);
}

inline std::uint8_t* putRun(std::uint8_t* op, std::size_t n, std::uint8_t value) {
    const std::size_t code = n - MinRun;
    op[0] = 0;
    op[1] = std::uint8_t(code >> 8);
    op[2] = std::uint8_t(code);
    op[3] = value;
    return op + 4;
}

inline std::uint8_t* putCopy(std::uint8_t* op, std::size_t distance, std::size_t k) {
    const std::size_t code = distance * 16 + (k - MinMatch);
    op[0] = std::uint8_t(code >> 8);
    op[1] = std::uint8_t(code);
    return op + 2;
}

} // namespace

std::size_t Lzrw1KHCoder::encode(const std::uint8_t* in, std::size_t size, std::uint8_t* out) {
    std::int16_t* const table = m_table;
    std::fill_n(table, 4096, EmptySlot);
    out[0] = CompressedFlag;
    std::uint8_t* cmdAt = out + 1;
    std::uint8_t* op = out + 3;
    // Coding goes on while the output is no longer than the piece.
    std::uint8_t* const opLimit = out + size;
    std::uint32_t bits = EmptyGroup;
    const std::uint8_t* ip = in;
    const std::uint8_t* const end = in + size;
    const std::uint8_t* const fastEnd = size > FastMargin ? end - FastMargin : in;

    while (ip < fastEnd && op <= opLimit) {
        if (bits >= FullGroup) {
            putCommand(cmdAt, bits);
            cmdAt = op;
            op += 2;
            bits = EmptyGroup;
        }
        const std::uint64_t head = load64(ip);
        // All of the first eight bytes equal (adjacent lanes compared) and the next eight too.
        if (((head ^ (head >> 8)) & 0x00FFFFFFFFFFFFFFull) == 0 && load64(ip + 8) == head)
            [[unlikely]] {
            const std::size_t limit = std::min(MaxRun, std::size_t(end - ip));
            std::size_t n = MinRun;
            for (;;) {
                if (n + 8 > limit) {
                    while (n < limit && ip[n] == ip[0])
                        ++n;
                    break;
                }
                const std::uint64_t d = load64(ip + n) ^ head;
                if (d) {
                    n += firstSetByte(d);
                    break;
                }
                n += 8;
            }
            op = putRun(op, n, byteOf(head, 0));
            ip += n;
            bits = bits * 2 + 1;
            continue;
        }
        const unsigned h = hash(byteOf(head, 0), byteOf(head, 1), byteOf(head, 2));
        const std::size_t x = std::size_t(ip - in);
        // Modular arithmetic: an empty slot gives x + 4096, out of reach like an old one.
        const std::size_t distance = x - std::size_t(std::ptrdiff_t(table[h]));
        table[h] = std::int16_t(x);
        if (distance <= MaxOffset) {
            const std::uint8_t* ref = ip - distance;
            const std::uint64_t d = head ^ load64(ref);
            if (!differsInFirst3(d)) {
                const std::size_t k = d ? firstSetByte(d) : 8 + matchLength10(ip + 8, ref + 8);
                op = putCopy(op, distance, k);
                ip += k;
                bits = bits * 2 + 1;
                continue;
            }
        }
        *op++ = byteOf(head, 0);
        ++ip;
        bits <<= 1;
    }

    // The last positions, with every read checked against the piece's end.
    while (ip < end && op <= opLimit) {
        if (bits >= FullGroup) {
            putCommand(cmdAt, bits);
            cmdAt = op;
            op += 2;
            bits = EmptyGroup;
        }
        const std::size_t left = std::size_t(end - ip);
        std::size_t n = 1;
        while (n < std::min(MaxRun, left) && ip[n] == ip[0])
            ++n;
        if (n >= MinRun) {
            op = putRun(op, n, ip[0]);
            ip += n;
            bits = bits * 2 + 1;
            continue;
        }
        // Fewer than three bytes left can never match, and nothing later reads the table.
        if (left >= MinMatch) {
            const unsigned h = hash(ip[0], ip[1], ip[2]);
            const std::size_t x = std::size_t(ip - in);
            const std::size_t distance = x - std::size_t(std::ptrdiff_t(table[h]));
            table[h] = std::int16_t(x);
            if (distance <= MaxOffset) {
                const std::uint8_t* ref = ip - distance;
                const std::size_t most = std::min(MaxMatch, left);
                std::size_t k = 0;
                while (k < most && ip[k] == ref[k])
                    ++k;
                if (k >= MinMatch) {
                    op = putCopy(op, distance, k);
                    ip += k;
                    bits = bits * 2 + 1;
                    continue;
                }
            }
        }
        *op++ = *ip++;
        bits <<= 1;
    }
    // The last group's unused bits are zero.
    while (bits < FullGroup)
        bits <<= 1;
    putCommand(cmdAt, bits);

    const std::size_t y = std::size_t(op - out);
    if (y > size) {
        out[0] = StoredFlag;
        if (size)
            std::memcpy(out + 1, in, size);
        return size + 1;
    }
    return y;
}

std::optional<std::size_t> Lzrw1KHCoder::decode(const std::uint8_t* block, std::size_t length,
                                                std::uint8_t* out, std::size_t limit) {
    if (length <= 1)
        return 0;
    if (block[0] == StoredFlag) {
        const std::size_t n = length - 1;
        if (n > limit)
            return std::nullopt;
        std::memcpy(out, block + 1, n);
        return n;
    }
    // A compressed block holds at least its first command word; with no item after it, it
    // decodes to nothing.
    if (length < 3)
        return std::nullopt;

    const std::uint8_t* ip = block + 3;
    const std::uint8_t* const iend = block + length;
    std::uint8_t* op = out;
    std::uint8_t* const oend = out + limit;
    // The group's remaining kind bits, left-aligned, so that a literal stretch is the count
    // of leading zero bits.
    std::uint32_t bits = std::uint32_t(block[1] << 8 | block[2]) << 16;
    unsigned left = 16;

    while (ip < iend) {
        if (left == 0) {
            if (iend - ip < 3)
                return std::nullopt;
            bits = std::uint32_t(ip[0] << 8 | ip[1]) << 16;
            ip += 2;
            left = 16;
        }
        if (!(bits & 0x80000000u)) {
            std::size_t lits = std::min<std::size_t>(unsigned(std::countl_zero(bits)), left);
            lits = std::min<std::size_t>(lits, std::size_t(iend - ip));
            if (lits > std::size_t(oend - op))
                return std::nullopt;
            // At most sixteen literals; a full-width copy is cheaper than an exact one and
            // the output has slack for it.
            if (iend - ip >= 16)
                std::memcpy(op, ip, 16);
            else
                std::memcpy(op, ip, lits);
            op += lits;
            ip += lits;
            bits <<= lits;
            left -= unsigned(lits);
            continue;
        }
        if (iend - ip < 2)
            return std::nullopt;
        const std::size_t offset = std::size_t(ip[0]) << 4 | ip[1] >> 4;
        if (offset != 0) {
            const std::size_t len = (ip[1] & 15u) + MinMatch;
            if (offset > std::size_t(op - out) || len > std::size_t(oend - op))
                return std::nullopt;
            const std::uint8_t* src = op - offset;
            if (offset >= 16) {
                std::memcpy(op, src, 16);
                store64(op + 16, load64(src + 16));
            } else if (offset >= 8) {
                // Each word reads only bytes already final: the source trails by 8 or more.
                store64(op, load64(src));
                store64(op + 8, load64(src + 8));
                store64(op + 16, load64(src + 16));
            } else if (offset == 1) {
                std::memset(op, *src, len);
            } else {
                for (std::size_t i = 0; i < len; ++i)
                    op[i] = src[i];
            }
            op += len;
            ip += 2;
        } else {
            if (iend - ip < 4)
                return std::nullopt;
            const std::size_t n = (std::size_t(ip[1]) << 8 | ip[2]) + MinRun;
            if (n > std::size_t(oend - op))
                return std::nullopt;
            std::memset(op, ip[3], n);
            op += n;
            ip += 4;
        }
        bits <<= 1;
        --left;
    }
    return std::size_t(op - out);
}

} // namespace vrako
