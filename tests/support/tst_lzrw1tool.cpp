// SPDX-License-Identifier: MIT
#include "lzrw1_helper.h"
#include "support/lzrw1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vrako;
using lzrw1test::Bytes;
using lzrw1test::Kind;

namespace {

QByteArray toBytes(const Bytes& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

} // namespace

// The vrako-lzrw1 command-line tool, run as a separate process.
class TestLzrw1Tool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip();
    void failures_data();
    void failures();

private:
    // Runs the tool in `dir`; returns its exit code and stores its error output.
    int run(const QStringList& args, const QString& dir, QString* errors);

    QString m_tool;
};

void TestLzrw1Tool::initTestCase() {
    QString bin = qEnvironmentVariable("VRAKO_BIN_DIR");
    if (bin.isEmpty())
        bin = QCoreApplication::applicationDirPath() + "/../bin";
    m_tool = QDir(bin).filePath("vrako-lzrw1");
    QVERIFY2(QFile::exists(m_tool), qPrintable(m_tool + " is missing"));
}

int TestLzrw1Tool::run(const QStringList& args, const QString& dir, QString* errors) {
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(m_tool, args);
    if (!process.waitForFinished(30000))
        return -1;
    *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestLzrw1Tool::roundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Bytes data = lzrw1test::makeData(Kind::Mixed, 200000, 77);
    writeFile(dir.filePath("plain"), toBytes(data));
    QString errors;
    QCOMPARE(run({"compress", "plain", "packed"}, dir.path(), &errors), 0);
    QCOMPARE(errors, QString());
    Tlzrw1 doit;
    QCOMPARE(readFile(dir.filePath("packed")), toBytes(doit.compressBuffer(data)));
    QCOMPARE(run({"decompress", "packed", "back"}, dir.path(), &errors), 0);
    QCOMPARE(readFile(dir.filePath("back")), toBytes(data));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"back", "packed", "plain"}));
}

void TestLzrw1Tool::failures_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no arguments") << QStringList{} << "usage: vrako-lzrw1";
    QTest::newRow("unknown command")
        << QStringList{"pack", "plain", "out"} << "unknown command \"pack\"";
    QTest::newRow("too many") << QStringList{"compress", "plain", "out", "more"}
                              << "usage: vrako-lzrw1";
    QTest::newRow("plain file is no container")
        << QStringList{"decompress", "plain", "out"}
        << "plain : Lzrw1 decompression : this file has no valid header !";
    QTest::newRow("damaged container") << QStringList{"decompress", "damaged", "out"}
                                       << "Lzrw1 : Error reading from input file : damaged";
    QTest::newRow("missing input") << QStringList{"compress", "missing", "out"}
                                   << "Lzrw1 compression : Failed to obtain the size of : missing";
}

void TestLzrw1Tool::failures() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("plain"), "some plain words\n");
    Tlzrw1 doit;
    const Bytes packed = doit.compressBuffer(lzrw1test::makeData(Kind::Text, 50000, 1));
    writeFile(dir.filePath("damaged"), toBytes(Bytes(packed.begin(), packed.end() - 20)));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    QString errors;
    QCOMPARE(run(args, dir.path(), &errors), 1);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);

    // An output that already exists survives the failure.
    writeFile(dir.filePath("out"), "old tally");
    QCOMPARE(run(args, dir.path(), &errors), 1);
    QCOMPARE(readFile(dir.filePath("out")), QByteArray("old tally"));
}

QTEST_GUILESS_MAIN(TestLzrw1Tool)
#include "tst_lzrw1tool.moc"
