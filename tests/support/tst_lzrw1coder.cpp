// SPDX-License-Identifier: MIT
#include "lzrw1_helper.h"
#include "support/lzrw1khcoder.h"

#include <QTest>
#include <algorithm>
#include <cstring>
#include <optional>

using namespace vrako;
using lzrw1test::Bytes;
using lzrw1test::Kind;

Q_DECLARE_METATYPE(Bytes)

namespace {

// A second coder written plainly, step by step, from the description of the block format;
// the fast coder must produce exactly its bytes. `pad` fills the bytes that the hash of the
// last positions reads past the piece.
Bytes referenceEncode(const Bytes& piece, std::uint8_t pad) {
    const std::size_t size = piece.size();
    Bytes in(piece);
    in.resize(size + 32, pad);
    Bytes out(size + 16);
    std::vector<std::int16_t> table(4096, -1);
    out[0] = 0x40;
    std::uint16_t x = 0, y = 3, z = 1, b = 0, c = 0;
    while (x < size && y <= size) {
        if (b > 15) {
            out[z] = std::uint8_t(c >> 8);
            out[z + 1] = std::uint8_t(c);
            z = y;
            b = 0;
            y += 2;
        }
        unsigned n = 1;
        while (in[x + n] == in[x] && n < 4095 && x + n < size)
            ++n;
        if (n >= 16) {
            out[y] = 0;
            out[y + 1] = std::uint8_t((n - 16) >> 8);
            out[y + 2] = std::uint8_t(n - 16);
            out[y + 3] = in[x];
            y += 4;
            x = std::uint16_t(x + n);
            c = std::uint16_t(c * 2 + 1);
        } else {
            const std::uint32_t h =
                (((((std::uint32_t(in[x]) * 16) ^ in[x + 1]) * 16 ^ in[x + 2]) * 40543u) >> 4) &
                0xFFF;
            const int p = table[h];
            unsigned k = 0;
            if (p != -1 && x - p < 4096)
                while (k < 18 && in[x + k] == in[p + k] && x + k < size)
                    ++k;
            table[h] = std::int16_t(x);
            if (k >= 3) {
                const unsigned v = (x - p) * 16 + (k - 3);
                out[y] = std::uint8_t(v >> 8);
                out[y + 1] = std::uint8_t(v);
                y += 2;
                x = std::uint16_t(x + k);
                c = std::uint16_t(c * 2 + 1);
            } else {
                out[y++] = in[x++];
                c = std::uint16_t(c * 2);
            }
        }
        ++b;
    }
    c = std::uint16_t(c << (16 - b));
    out[z] = std::uint8_t(c >> 8);
    out[z + 1] = std::uint8_t(c);
    if (y > size) {
        out[0] = 0x80;
        std::copy(piece.begin(), piece.end(), out.begin() + 1);
        out.resize(size + 1);
    } else {
        out.resize(y);
    }
    return out;
}

Bytes encode(const Bytes& piece) {
    static Lzrw1KHCoder coder;
    // Exactly sized buffers, so that the sanitizer sees any access outside them.
    Bytes out(piece.size() + Lzrw1KHCoder::EncodeSlack);
    out.resize(coder.encode(piece.data(), piece.size(), out.data()));
    return out;
}

std::optional<Bytes> decode(const Bytes& block, std::size_t limit = Lzrw1KHCoder::PieceSize) {
    Bytes out(limit + Lzrw1KHCoder::DecodeSlack);
    const auto n = Lzrw1KHCoder::decode(block.data(), block.size(), out.data(), limit);
    if (!n)
        return std::nullopt;
    out.resize(*n);
    return out;
}

Bytes bytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

Bytes repeated(std::size_t n, char c) {
    return Bytes(n, std::uint8_t(c));
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

// A valid compressed block of random items, and what it decodes to; the items are chosen
// to reach every copy width the decoder handles separately.
std::pair<Bytes, Bytes> randomBlock(std::mt19937& rng) {
    Bytes block{0x40, 0, 0};
    Bytes plain;
    std::size_t at = 1;
    unsigned count = 0, bits = 0;
    const std::size_t target = 1 + rng() % Lzrw1KHCoder::PieceSize;
    while (plain.size() < target) {
        if (count == 16) {
            block[at] = std::uint8_t(bits >> 8);
            block[at + 1] = std::uint8_t(bits);
            at = block.size();
            block.resize(block.size() + 2);
            count = bits = 0;
        }
        const unsigned kind = rng() % 8;
        const std::size_t room = Lzrw1KHCoder::PieceSize - plain.size();
        if (kind < 4 || plain.empty() || room < 18) {
            const std::uint8_t v = std::uint8_t(rng());
            block.push_back(v);
            plain.push_back(v);
            bits <<= 1;
        } else if (kind < 7) {
            const std::size_t widths[] = {1, 2, 7, 8, 15, 16, 17, 4095};
            std::size_t offset = kind == 6 ? 1 + rng() % 4095 : widths[rng() % std::size(widths)];
            offset = std::min(offset, plain.size());
            const std::size_t len = 3 + rng() % 16;
            const unsigned v = unsigned(offset * 16 + len - 3);
            block.push_back(std::uint8_t(v >> 8));
            block.push_back(std::uint8_t(v));
            for (std::size_t i = 0; i < len; ++i)
                plain.push_back(plain[plain.size() - offset]);
            bits = bits << 1 | 1;
        } else {
            const std::size_t n = 16 + rng() % std::min<std::size_t>(room - 15, 4096);
            block.push_back(0);
            block.push_back(std::uint8_t((n - 16) >> 8));
            block.push_back(std::uint8_t(n - 16));
            block.push_back(std::uint8_t(rng()));
            plain.insert(plain.end(), n, block.back());
            bits = bits << 1 | 1;
        }
        ++count;
    }
    bits <<= 16 - count;
    block[at] = std::uint8_t(bits >> 8);
    block[at + 1] = std::uint8_t(bits);
    return {block, plain};
}

} // namespace

// The LZRW1-KH block coder and decoder on single pieces.
class TestLzrw1Coder : public QObject {
    Q_OBJECT

private slots:
    void hashValues();
    void exactBlocks_data();
    void exactBlocks();
    void sameAsPlainCoder_data();
    void sameAsPlainCoder();
    void roundTrip_data();
    void roundTrip();
    void decodesEveryItemWidth();
    void rejectsDamagedBlocks_data();
    void rejectsDamagedBlocks();
    void respectsTheLimit();
};

void TestLzrw1Coder::hashValues() {
    // Worked by hand: ((0x61 * 16 ^ 0x62) * 16 ^ 0x63) = 26435; 26435 * 40543 >> 4 & 0xFFF.
    QCOMPARE(Lzrw1KHCoder::hash('a', 'b', 'c'), 2749u);
    QCOMPARE(Lzrw1KHCoder::hash('b', 'c', 'd'), 306u);
    QCOMPARE(Lzrw1KHCoder::hash(0, 0, 0), 0u);
    QCOMPARE(Lzrw1KHCoder::hash(0xFF, 0xFF, 0xFF), 1401u);
}

void TestLzrw1Coder::exactBlocks_data() {
    QTest::addColumn<Bytes>("piece");
    QTest::addColumn<Bytes>("block");

    QTest::newRow("empty piece") << Bytes{} << bytes({0x80});
    QTest::newRow("two bytes are stored") << text("ab") << bytes({0x80, 'a', 'b'});
    // Four literals, then a copy of 16 from 4 back: 4 * 16 + 13 = 0x004D; command 00001.
    QTest::newRow("literals and a copy")
        << text("abcdabcdabcdabcdabcd") << bytes({0x40, 0x08, 0x00, 'a', 'b', 'c', 'd', 0, 0x4D});
    // Sixteen literals fill the first group; the second group is a literal and a copy of 17
    // from 17 back (0x011E), its command word 01 placed right before its items.
    QTest::newRow("second command word") << text("abcdefghijklmnopqabcdefghijklmnopq")
                                         << bytes({0x40, 0x00, 0x00}) + text("abcdefghijklmnop") +
                                                bytes({0x40, 0x00, 'q', 0x01, 0x1E});
    // Fifteen equal bytes are not a run: a literal and a copy of 14 from 1 back.
    QTest::newRow("15 equal") << repeated(15, 'x') << bytes({0x40, 0x40, 0x00, 'x', 0x00, 0x1B});
    QTest::newRow("16 equal") << repeated(16, 'x') << bytes({0x40, 0x80, 0x00, 0, 0, 0, 'x'});
    QTest::newRow("4095 equal") << repeated(4095, 'x')
                                << bytes({0x40, 0x80, 0x00, 0, 0x0F, 0xEF, 'x'});
    QTest::newRow("4096 equal") << repeated(4096, 'x')
                                << bytes({0x40, 0x80, 0x00, 0, 0x0F, 0xEF, 'x', 'x'});
    QTest::newRow("4097 equal") << repeated(4097, 'x')
                                << bytes({0x40, 0x80, 0x00, 0, 0x0F, 0xEF, 'x', 'x', 'x'});
    std::mt19937 rng(7);
    const Bytes noise = lzrw1test::randomBytes(Lzrw1KHCoder::PieceSize, rng);
    QTest::newRow("random piece is stored") << noise << bytes({0x80}) + noise;
}

void TestLzrw1Coder::exactBlocks() {
    QFETCH(Bytes, piece);
    QFETCH(Bytes, block);
    QCOMPARE(encode(piece), block);
    QCOMPARE(decode(block), std::optional<Bytes>(piece));
}

void TestLzrw1Coder::sameAsPlainCoder_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("random") << int(Kind::Random);
    QTest::newRow("text") << int(Kind::Text);
    QTest::newRow("runs") << int(Kind::Runs);
    QTest::newRow("repeats") << int(Kind::Repeats);
    QTest::newRow("mixed") << int(Kind::Mixed);
}

void TestLzrw1Coder::sameAsPlainCoder() {
    QFETCH(int, kind);
    const std::size_t sizes[] = {0,  1,  2,  3,  4,   15,   16,   17,    18,    19,    20,
                                 33, 34, 35, 36, 100, 4095, 4096, 32000, 32766, 32767, 32768};
    unsigned seed = 1;
    for (std::size_t size : sizes) {
        for (int i = 0; i < 3; ++i) {
            const Bytes piece = lzrw1test::makeData(Kind(kind), size, seed++);
            const Bytes fast = encode(piece);
            if (fast != referenceEncode(piece, 0x00) || fast != referenceEncode(piece, 0xFF))
                QFAIL(qPrintable(QString("size %1 seed %2 differs").arg(size).arg(seed - 1)));
        }
    }
}

void TestLzrw1Coder::roundTrip_data() {
    sameAsPlainCoder_data();
}

void TestLzrw1Coder::roundTrip() {
    QFETCH(int, kind);
    for (unsigned seed = 100; seed < 140; ++seed) {
        const Bytes piece =
            lzrw1test::makeData(Kind(kind), seed % 5 ? 32768 : seed * 331 % 32768, seed);
        const Bytes block = encode(piece);
        QVERIFY(block.size() <= piece.size() + 1);
        QCOMPARE(decode(block), std::optional<Bytes>(piece));
    }
}

void TestLzrw1Coder::decodesEveryItemWidth() {
    std::mt19937 rng(2024);
    for (int i = 0; i < 200; ++i) {
        const auto [block, plain] = randomBlock(rng);
        QCOMPARE(decode(block), std::optional<Bytes>(plain));
    }
}

void TestLzrw1Coder::rejectsDamagedBlocks_data() {
    QTest::addColumn<Bytes>("block");
    QTest::newRow("copy before the start") << bytes({0x40, 0x80, 0x00, 0x00, 0x13});
    QTest::newRow("copy further back than written")
        << bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x30});
    QTest::newRow("copy cut off") << bytes({0x40, 0x40, 0x00, 'a', 0x00});
    QTest::newRow("run cut off") << bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x05});
    QTest::newRow("command word cut off") << bytes({0x40, 0x00});
    QTest::newRow("command word without items")
        << bytes({0x40, 0x00, 0x00}) + text("abcdefghijklmnop") + bytes({0x00, 0x00});
    Bytes tooLong = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i)
        tooLong = tooLong + bytes({0x00, 0x0F, 0xFF, 'z'});
    QTest::newRow("runs past 32768") << tooLong;
    QTest::newRow("stored past 32768") << bytes({0x80}) + repeated(32769, 'q');
}

void TestLzrw1Coder::rejectsDamagedBlocks() {
    QFETCH(Bytes, block);
    QVERIFY(!decode(block));
}

void TestLzrw1Coder::respectsTheLimit() {
    const Bytes piece = lzrw1test::makeData(Kind::Text, 5000, 3);
    const Bytes block = encode(piece);
    QCOMPARE(decode(block, 5000), std::optional<Bytes>(piece));
    QVERIFY(!decode(block, 4999));
    QVERIFY(!decode(bytes({0x80, 1, 2, 3}), 2));
    // Empty blocks decode to nothing whatever their first byte.
    QCOMPARE(decode(Bytes{}), std::optional<Bytes>(Bytes{}));
    QCOMPARE(decode(bytes({0x40})), std::optional<Bytes>(Bytes{}));
    // So does a compressed block of its command word alone, which the coder never writes.
    QCOMPARE(decode(bytes({0x40, 0x00, 0x00})), std::optional<Bytes>(Bytes{}));
}

QTEST_APPLESS_MAIN(TestLzrw1Coder)
#include "tst_lzrw1coder.moc"
