// SPDX-License-Identifier: MIT
#include "store/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace vrako;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void keepsEveryOtherByte();
    void addsSectionAndKeys();
    void readsLatin1Lines();
    void failedSaveKeepsTheOldFile();
};

void TestIniFile::keepsEveryOtherByte() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dovilobby.ini"));
    // CRLF lines, comments, blank lines, another program's sections before and after, keys in
    // mixed case, spaces round "=", a Latin-1 byte in a foreign section and no final line break.
    const QByteArray before = "; lobby settings\r\n"
                              "[Lobby]\r\n"
                              "Name=Ren\xe9\r\n"
                              "top=99\r\n"
                              "\r\n"
                              "[VRAKO]\r\n"
                              "TOP = 10\r\n"
                              "; a comment inside\r\n"
                              "Sort=true\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "Width=1";
    writeAll(path, before);

    IniFile ini;
    QVERIFY(ini.load(path));
    QCOMPARE(ini.value(QStringLiteral("vrako"), QStringLiteral("Top")), QStringLiteral("10"));
    QCOMPARE(ini.value(QStringLiteral("Lobby"), QStringLiteral("TOP")), QStringLiteral("99"));
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("Width")), std::nullopt);
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("comment")), std::nullopt);
    QCOMPARE(ini.value(QStringLiteral("Nowhere"), QStringLiteral("Top")), std::nullopt);

    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Top"), QStringLiteral("20"));
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Width"), QStringLiteral("700"));
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Phrase1"),
                 QStringLiteral("Caf\u00e9\nTop=1"));
    QVERIFY(ini.save());
    const QByteArray after = "; lobby settings\r\n"
                             "[Lobby]\r\n"
                             "Name=Ren\xe9\r\n"
                             "top=99\r\n"
                             "\r\n"
                             "[VRAKO]\r\n"
                             "TOP = 20\r\n"
                             "; a comment inside\r\n"
                             "Sort=true\r\n"
                             "Width=700\r\n"
                             "Phrase1=Caf\xc3\xa9 Top=1\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "Width=1";
    QCOMPARE(readAll(path), after);

    IniFile again;
    QVERIFY(again.load(path));
    QCOMPARE(again.value(QStringLiteral("Vrako"), QStringLiteral("phrase1")),
             QStringLiteral("Caf\u00e9 Top=1"));
    QCOMPARE(again.value(QStringLiteral("Lobby"), QStringLiteral("Name")),
             QStringLiteral("Ren\u00e9"));
}

void TestIniFile::addsSectionAndKeys() {
    QTemporaryDir dir;
    // A folder that does not exist yet is created.
    const QString path = dir.filePath(QStringLiteral("home/dovilobby.ini"));
    IniFile ini;
    QVERIFY(ini.load(path));
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("Top")), std::nullopt);
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Top"), QStringLiteral("3"));
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Left"), QString());
    QVERIFY(ini.save());
    QCOMPARE(readAll(path), QByteArray("[Vrako]\nTop=3\nLeft=\n"));

    // A file that ends without a line break gets one before the new section.
    writeAll(path, "[Lobby]\nName=x");
    QVERIFY(ini.load(path));
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Sort"), QStringLiteral("false"));
    QCOMPARE(ini.toBytes(), QByteArray("[Lobby]\nName=x\n[Vrako]\nSort=false\n"));
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("Left")), std::nullopt);
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("SORT")), QStringLiteral("false"));
}

void TestIniFile::readsLatin1Lines() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dovilobby.ini"));
    // A line the lobby wrote in an 8-bit code page beside one in UTF-8.
    writeAll(path, "[Vrako]\nPhrase1=Sch\xf6n!\nPhrase2=Sch\xc3\xb6n!\n");
    IniFile ini;
    QVERIFY(ini.load(path));
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("Phrase1")),
             QStringLiteral("Sch\u00f6n!"));
    QCOMPARE(ini.value(QStringLiteral("Vrako"), QStringLiteral("Phrase2")),
             QStringLiteral("Sch\u00f6n!"));
}

void TestIniFile::failedSaveKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dovilobby.ini"));
    const QByteArray old = "[Lobby]\nName=Ann\n[Vrako]\nTop=5\n";
    writeAll(path, old);
    IniFile ini;
    QVERIFY(ini.load(path));
    ini.setValue(QStringLiteral("Vrako"), QStringLiteral("Phrase1"),
                 QString(4000, QLatin1Char('x')));

    // The disk fills up half way through the write: the file size limit stops it.
    struct rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = ini.save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!saved1);
    QCOMPARE(readAll(path), old);

    // A folder the program may not write to (root may write anywhere, so only for others).
    if (geteuid() != 0) {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!ini.save());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readAll(path), old);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("dovilobby.ini")});
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
