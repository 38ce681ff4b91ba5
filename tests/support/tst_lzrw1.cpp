// SPDX-License-Identifier: MIT
#include "lzrw1_helper.h"
#include "support/lzrw1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace vrako;
using lzrw1test::Bytes;
using lzrw1test::Kind;

Q_DECLARE_METATYPE(Bytes)

namespace {

constexpr std::size_t Piece = 32768;

Bytes readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return Bytes(data.begin(), data.end());
}

void writeFile(const QString& path, const Bytes& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(reinterpret_cast<const char*>(data.data()), qint64(data.size())),
             qint64(data.size()));
}

Bytes bytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

Bytes le32(std::uint32_t v) {
    return bytes({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The lengths of the container's blocks, read straight from the bytes.
std::vector<std::size_t> blockLengths(const Bytes& container) {
    std::vector<std::size_t> lengths;
    std::size_t at = Tlzrw1::HeaderSize;
    while (at + 2 <= container.size()) {
        const std::size_t length = container[at] | std::size_t(container[at + 1]) << 8;
        lengths.push_back(length);
        at += 2 + length;
    }
    return at == container.size() ? lengths : std::vector<std::size_t>{};
}

// Decompresses a file and returns the error message, or nothing on success.
std::optional<std::string> decompressFile(const QString& in, const QString& out) {
    Tlzrw1 doit;
    doit.setInputFile(in.toStdString());
    doit.setOutputFile(out.toStdString());
    try {
        doit.Decompress();
    } catch (const ELzrw1Exception& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

std::optional<std::string> decompressMemory(const Bytes& in, const std::string& name,
                                            Bytes* result) {
    try {
        *result = Tlzrw1::decompressBuffer(in, name);
    } catch (const ELzrw1Exception& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

} // namespace

// The compressed container in memory and on disk: layout, round trips and rejection of
// damaged files without leaving output behind.
class TestLzrw1 : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void containerLayout_data();
    void containerLayout();
    void filesMatchMemory();
    void readsBlocksTheCoderNeverWrites();
    void rejectsDamagedFiles_data();
    void rejectsDamagedFiles();
    void reportsFileErrors();
    void survivesRandomDamage();
};

void TestLzrw1::roundTrip_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    const std::pair<const char*, Kind> kinds[] = {{"random", Kind::Random},
                                                  {"text", Kind::Text},
                                                  {"runs", Kind::Runs},
                                                  {"repeats", Kind::Repeats},
                                                  {"mixed", Kind::Mixed}};
    const int sizes[] = {0, 1, 15, 16, 4095, 4096, 32767, 32768, 32769, 65536};
    for (const auto& [name, kind] : kinds)
        for (int size : sizes)
            QTest::addRow("%s %d", name, size) << int(kind) << size;
    QTest::addRow("mixed 3 MiB") << int(Kind::Mixed) << (3 << 20);
}

void TestLzrw1::roundTrip() {
    QFETCH(int, kind);
    QFETCH(int, size);
    const Bytes data = lzrw1test::makeData(Kind(kind), std::size_t(size), unsigned(size) + 11);
    Tlzrw1 doit;
    const Bytes packed = doit.compressBuffer(data);
    QVERIFY(packed.size() <= Tlzrw1::compressBound(data.size()));
    QCOMPARE(Tlzrw1::decompressedSize(packed), data.size());
    // One block per full piece plus the last, shorter (maybe empty) one.
    const auto lengths = blockLengths(packed);
    QCOMPARE(lengths.size(), data.size() / Piece + 1);
    for (std::size_t length : lengths)
        QVERIFY(length >= 1 && length <= Piece + 1);
    QCOMPARE(Tlzrw1::decompressBuffer(packed), data);
}

void TestLzrw1::containerLayout_data() {
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<Bytes>("expected");
    const Bytes header = le32(0x4C5A5257);
    QTest::newRow("empty") << Bytes{} << header + le32(0) + bytes({0x01, 0x00, 0x80});
    std::mt19937 rng(5);
    const Bytes small = lzrw1test::randomBytes(1000, rng);
    QTest::newRow("random 1000 stored")
        << small << header + le32(1000) + bytes({0xE9, 0x03, 0x80}) + small;
    const Bytes full = lzrw1test::randomBytes(Piece, rng);
    QTest::newRow("random 32768: stored piece, then an empty one")
        << full << header + le32(Piece) + bytes({0x01, 0x80, 0x80}) + full + bytes({1, 0, 0x80});
    const Bytes runs(Piece, 'r');
    // Eight runs of 4095 and the last eight bytes as a literal and a copy of 7 from 1 back.
    Bytes runBlock = bytes({0x40, 0xFF, 0x40});
    for (int i = 0; i < 8; ++i)
        runBlock = runBlock + bytes({0x00, 0x0F, 0xEF, 'r'});
    runBlock = runBlock + bytes({'r', 0x00, 0x14});
    QTest::newRow("32768 equal bytes: two blocks")
        << runs
        << header + le32(Piece) + bytes({int(runBlock.size()), 0}) + runBlock + bytes({1, 0, 0x80});
}

void TestLzrw1::containerLayout() {
    QFETCH(Bytes, data);
    QFETCH(Bytes, expected);
    Tlzrw1 doit;
    QCOMPARE(doit.compressBuffer(data), expected);
    QCOMPARE(Tlzrw1::decompressBuffer(expected), data);
}

void TestLzrw1::filesMatchMemory() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString plain = dir.filePath("plain.txt");
    const QString packed = dir.filePath("Vrakotally.tld");
    const QString back = dir.filePath("back.txt");
    Tlzrw1 doit;
    for (std::size_t size : {std::size_t(0), std::size_t(1), Piece, Piece + 1, 5 * Piece + 77}) {
        const Bytes data = lzrw1test::makeData(Kind::Mixed, size, unsigned(size));
        writeFile(plain, data);
        doit.setInputFile(plain.toStdString());
        doit.setOutputFile(packed.toStdString());
        const std::int64_t written = doit.Compress();
        const Bytes file = readFile(packed);
        QCOMPARE(file, doit.compressBuffer(data));
        QCOMPARE(written, std::int64_t(file.size()));

        doit.setInputFile(packed.toStdString());
        doit.setOutputFile(back.toStdString());
        QCOMPARE(doit.Decompress(), std::int64_t(size));
        QCOMPARE(readFile(back), data);
    }
    // Nothing but the three files: no work files left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void TestLzrw1::readsBlocksTheCoderNeverWrites() {
    // An empty last piece coded as a compressed block: the flag and a command word, no item.
    const Bytes file = le32(0x4C5A5257) + le32(0) + bytes({3, 0, 0x40, 0x00, 0x00});
    Bytes result{1};
    QCOMPARE(decompressMemory(file, "x", &result), std::nullopt);
    QCOMPARE(result, Bytes{});
}

void TestLzrw1::rejectsDamagedFiles_data() {
    QTest::addColumn<Bytes>("file");
    QTest::addColumn<QString>("message");
    const QString header = "%1 : Lzrw1 decompression : this file has no valid header !";
    const QString sizes =
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    const QString reading = "Lzrw1 : Error reading from input file : %1";
    const QString damaged = "Lzrw1 (decompression LZRW1/KH) : damaged compressed block in : %1";

    Tlzrw1 doit;
    const Bytes text = lzrw1test::makeData(Kind::Text, 40000, 9);
    const Bytes good = doit.compressBuffer(text);
    const Bytes id = le32(0x4C5A5257);
    auto withSize = [&](std::uint32_t size) {
        Bytes f = good;
        const Bytes s = le32(size);
        std::copy(s.begin(), s.end(), f.begin() + 4);
        return f;
    };

    QTest::newRow("plain text") << Bytes{'h', 'e', 'l', 'l', 'o', '\n', 0, 0, 0, 0} << header;
    QTest::newRow("LZH") << le32(0x4C5A4821) + le32(3) + bytes({1, 2, 3})
                         << "%1 : Lzrw1 decompression : LZH compressed files are not supported !";
    QTest::newRow("empty file") << Bytes{} << reading;
    QTest::newRow("no size") << id + bytes({0, 0}) << reading;
    QTest::newRow("no blocks") << id + le32(0) << reading;
    QTest::newRow("size one more") << withSize(40001) << sizes;
    QTest::newRow("size one less") << withSize(39999) << sizes;
    QTest::newRow("size negative") << withSize(0xFFFFFFFF) << sizes;
    QTest::newRow("cut in a block") << Bytes(good.begin(), good.begin() + 100) << reading;
    QTest::newRow("cut before the last block")
        << Bytes(good.begin(), good.begin() + Tlzrw1::HeaderSize + 2 + good[8] + (good[9] << 8))
        << reading;
    QTest::newRow("block too long")
        << id + le32(5) + bytes({0x11, 0x80, 0x40}) + Bytes(40000, 0) << damaged;
    QTest::newRow("copy before the start")
        << id + le32(3) + bytes({5, 0, 0x40, 0x80, 0x00, 0x00, 0x13}) << damaged;
    QTest::newRow("stored piece too long")
        << id + le32(Piece + 1) + bytes({0x02, 0x80, 0x80}) + Bytes(Piece + 1, 7) << damaged;
    QTest::newRow("block longer than declared")
        << id + le32(3) + bytes({5, 0, 0x80, 1, 2, 3, 4}) << sizes;
    const Bytes onePiece = doit.compressBuffer(lzrw1test::makeData(Kind::Text, Piece, 4));
    QTest::newRow("trailing empty block missing")
        << Bytes(onePiece.begin(), onePiece.end() - 3) << reading;
    QTest::newRow("bad header, short") << bytes({'a', 'b', 'c', 'd', 0}) << header;
}

void TestLzrw1::rejectsDamagedFiles() {
    QFETCH(Bytes, file);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString in = dir.filePath("in.tld");
    const QString out = dir.filePath("out.txt");
    writeFile(in, file);
    const std::string expected = (message.contains("%1") ? message.arg(in) : message).toStdString();

    QCOMPARE(decompressFile(in, out), std::optional<std::string>(expected));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.tld"});

    // An existing output file is left as it was.
    writeFile(out, Bytes{'k', 'e', 'e', 'p'});
    QCOMPARE(decompressFile(in, out), std::optional<std::string>(expected));
    QCOMPARE(readFile(out), (Bytes{'k', 'e', 'e', 'p'}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    Bytes ignored;
    QCOMPARE(decompressMemory(file, in.toStdString(), &ignored),
             std::optional<std::string>(expected));
}

void TestLzrw1::reportsFileErrors() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string missing = dir.filePath("missing.txt").toStdString();
    const std::string plain = dir.filePath("plain.txt").toStdString();
    const std::string nowhere = dir.filePath("no/such/dir/out.tld").toStdString();
    writeFile(QString::fromStdString(plain), Bytes{'a', 'b', 'c'});
    auto failure = [](Tlzrw1& doit, bool compress) -> std::string {
        try {
            compress ? doit.Compress() : doit.Decompress();
        } catch (const ELzrw1Exception& e) {
            return e.what();
        }
        return "no error";
    };
    Tlzrw1 doit;
    doit.setInputFile(missing);
    doit.setOutputFile(dir.filePath("out").toStdString());
    QCOMPARE(failure(doit, true), "Lzrw1 compression : Failed to obtain the size of : " + missing);
    QCOMPARE(failure(doit, false),
             "Lzrw1 (de)compression : Failed to open input file : " + missing);
    doit.setInputFile(plain);
    doit.setOutputFile(nowhere);
    QCOMPARE(failure(doit, true),
             "Lzrw1 (de)compression : Failed to open output file : " + nowhere);
    doit.setOutputFile(dir.filePath("out").toStdString());
    doit.setCompressMode(TCompressMode::Good);
    QVERIFY(failure(doit, true).find("LZH") != std::string::npos);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plain.txt"});
}

void TestLzrw1::survivesRandomDamage() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString in = dir.filePath("in.tld");
    const QString out = dir.filePath("out.txt");
    Tlzrw1 doit;
    std::vector<Bytes> samples;
    for (auto [kind, size] : {std::pair{Kind::Text, 36000},
                              {Kind::Runs, 34000},
                              {Kind::Repeats, 33000},
                              {Kind::Text, 3000},
                              {Kind::Random, 500}})
        samples.push_back(doit.compressBuffer(lzrw1test::makeData(kind, std::size_t(size), 3)));

    std::mt19937 rng(4242);
    int rejected = 0;
    for (int round = 0; round < 1000; ++round) {
        Bytes file = samples[rng() % samples.size()];
        for (auto n = 1 + rng() % 3; n > 0; --n) {
            const std::size_t at = rng() % file.size();
            switch (rng() % 5) {
            case 0:
                file[at] = std::uint8_t(rng());
                break;
            case 1:
                file[at] ^= std::uint8_t(1u << (rng() % 8));
                break;
            case 2:
                file.resize(at);
                break;
            case 3:
                file.erase(file.begin() + at,
                           file.begin() + std::min(file.size(), at + 1 + rng() % 8));
                break;
            default:
                file.insert(file.begin() + at, 1 + rng() % 8, std::uint8_t(rng()));
            }
            if (file.empty())
                break;
        }
        writeFile(in, file);
        const auto error = decompressFile(in, out);
        Bytes memory;
        const auto memoryError = decompressMemory(file, in.toStdString(), &memory);
        QVERIFY2(error == memoryError, qPrintable(QString("round %1: %2 / %3")
                                                      .arg(round)
                                                      .arg(error.value_or("-").c_str())
                                                      .arg(memoryError.value_or("-").c_str())));
        if (error) {
            ++rejected;
            QVERIFY(!QFile::exists(out));
        } else {
            QCOMPARE(readFile(out), memory);
            QCOMPARE(memory.size(), Tlzrw1::decompressedSize(file));
            QVERIFY(QFile::remove(out));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.tld"});
    }
    // Most damage must be noticed; a changed literal byte cannot be.
    QVERIFY2(rejected > 500, qPrintable(QString::number(rejected)));
}

QTEST_GUILESS_MAIN(TestLzrw1)
#include "tst_lzrw1.moc"
