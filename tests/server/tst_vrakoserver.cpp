// SPDX-License-Identifier: MIT
// The vrako-server program from outside: what it prints, how it stops, a taken port, no login
// deadline.
#include "client_helper.h"
#include "net/messages.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

using namespace vrako;
using namespace vrako::test;

namespace {
QString program() {
    QString dir = qEnvironmentVariable("VRAKO_BIN_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath() + "/../bin";
    return QDir(dir).filePath("vrako-server");
}

// Starts the server and returns the port it printed, or 0.
quint16 start(QProcess& p, const QStringList& args) {
    p.start(program(), args);
    if (!p.waitForStarted(5000) || !p.waitForReadyRead(10000))
        return 0;
    const QString line = QString::fromUtf8(p.readLine()).trimmed();
    const auto m = QRegularExpression("^Listening on port (\\d+)$").match(line);
    return m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
}
} // namespace

class TestVrakoServer : public QObject {
    Q_OBJECT
private slots:
    void servesAndStopsOnSignal_data();
    void servesAndStopsOnSignal();
    void takenPort();
    void badOption();
};

void TestVrakoServer::servesAndStopsOnSignal_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("fromEnvironment");
    QTest::addColumn<bool>("noLoginDeadline");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false << false;
    QTest::newRow("SIGINT, port from VRAKO_PORT, no login deadline") << int(SIGINT) << true << true;
}

void TestVrakoServer::servesAndStopsOnSignal() {
    QFETCH(int, signal);
    QFETCH(bool, fromEnvironment);
    QFETCH(bool, noLoginDeadline);
    QProcess p;
    QStringList args{"--seed", "5", "--bot-speed", "500"};
    if (noLoginDeadline)
        args << "--login-timeout"
             << "0";
    if (fromEnvironment) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VRAKO_PORT", "0");
        p.setProcessEnvironment(env);
    } else {
        args << "--port"
             << "0";
    }
    const quint16 port = start(p, args);
    QVERIFY(port != 0);
    TestClient host(port);
    QVERIFY(spinUntil([&] { return host.record() == 1; }));
    host.send(msg::logininfo(1, "1.0.17", "Host"));
    QVERIFY(spinUntil([&] { return host.has(msg::newplayerinfo(1, "Host")); }));
    if (noLoginDeadline) {
        // A connection that never logs in stays.
        TestClient silent(port);
        QVERIFY(spinUntil([&] { return silent.record() == 2; }));
        spinFor(300);
        QVERIFY(!silent.peerClosed);
    }

    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray()); // nothing logged after the first line
    QCOMPARE(p.readAllStandardError(), QByteArray());
}

void TestVrakoServer::takenPort() {
    QProcess first;
    const quint16 port = start(first, {"--port", "0"});
    QVERIFY(port != 0);
    QProcess second;
    second.start(program(), {"--port", QString::number(port)});
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitCode(), 1);
    const QByteArray err = second.readAllStandardError();
    QCOMPARE(err.count('\n'), 1);
    QVERIFY(err.contains(QByteArray::number(port)));
    QVERIFY(second.readAllStandardOutput().isEmpty());
    first.terminate();
    QVERIFY(first.waitForFinished(5000));
    QCOMPARE(first.exitCode(), 0);
}

void TestVrakoServer::badOption() {
    QProcess p;
    p.start(program(), {"--port", "seventy"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(p.readAllStandardError().count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestVrakoServer)
#include "tst_vrakoserver.moc"
