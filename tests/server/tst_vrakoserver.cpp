// SPDX-License-Identifier: MIT
// The vrako-server program from outside: what it prints, how it stops, a taken port, no login
// deadline, and its announcement on the local network.
#include "client_helper.h"
#include "net/messages.h"
#include "net/tablebrowser.h"
#include "tests/net/avahi_daemon_helper.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <optional>

using namespace vrako;
using namespace vrako::test;
using vrako::testing::AvahiTestDaemon;

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

std::optional<FoundTable> findTable(const TableBrowser& browser, const QString& name) {
    for (const FoundTable& t : browser.tables()) {
        if (t.name == name)
            return t;
    }
    return std::nullopt;
}
} // namespace

class TestVrakoServer : public QObject {
    Q_OBJECT
private slots:
    void servesAndStopsOnSignal_data();
    void servesAndStopsOnSignal();
    void takenPort();
    void badOption();
    void announcesTheTable();
    void announcesNothingWithoutTheBus();
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
    QStringList args{"--seed", "5", "--bot-speed", "500", "--no-announce"};
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

void TestVrakoServer::announcesTheTable() {
    AvahiTestDaemon avahi;
    VRAKO_START_AVAHI(avahi);
    const QString owner = QStringLiteral("tst-server-%1").arg(QCoreApplication::applicationPid());
    const QString name = owner + QStringLiteral("'s table");
    // Started first, so it has had longer than the other to appear, had it been announced.
    QProcess quiet;
    QVERIFY(start(quiet, {"--port", "0", "--no-announce", "--name", owner + "-quiet"}) != 0);
    QProcess p;
    const quint16 port = start(p, {"--port", "0", "--name", owner, "--bot-speed", "100000"});
    QVERIFY(port != 0);

    TableBrowser browser;
    QVERIFY(spinUntil([&] { return findTable(browser, name).has_value(); }));
    FoundTable t = *findTable(browser, name);
    QCOMPARE(t.port, port);
    QCOMPARE(t.seats, 0);
    QCOMPARE(t.spectators, 0);
    QCOMPARE(t.running, false);
    QCOMPARE(t.version, QStringLiteral("1.0.17"));
    QVERIFY(p.canReadLine() || p.waitForReadyRead(5000));
    QCOMPARE(p.readLine(), "Announced on the local network as \"" + name.toUtf8() + "\"\n");

    // The record follows people coming in, four to the seats and one watching, and the game
    // starting (Avahi takes about two seconds to pass on a change, so all are made at once).
    std::vector<std::unique_ptr<TestClient>> people;
    for (int record = 1; record <= 5; ++record) {
        people.push_back(std::make_unique<TestClient>(port));
        TestClient& c = *people.back();
        QVERIFY(spinUntil([&] { return c.record() == record; }));
        c.send(msg::logininfo(record, "1.0.17", "P" + std::to_string(record)));
    }
    people.front()->send(msg::startgame("P1", 20, GameType::SameNumber));
    QVERIFY(spinUntil([&] {
        const auto now = findTable(browser, name);
        return now && now->seats == 4 && now->spectators == 1 && now->running;
    }));
    QVERIFY(!findTable(browser, owner + QStringLiteral("-quiet's table")));

    // And is withdrawn when the server is stopped.
    ::kill(pid_t(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(spinUntil([&] { return !findTable(browser, name); }));
    quiet.terminate();
    QVERIFY(quiet.waitForFinished(5000));
}

void TestVrakoServer::announcesNothingWithoutTheBus() {
    // No system bus at all: the server plays on, says once why it is not announced, and still
    // stops at once.
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + dir.filePath("no-bus"));
    p.setProcessEnvironment(env);
    const quint16 port = start(p, {"--port", "0"});
    QVERIFY(port != 0);
    TestClient host(port);
    QVERIFY(spinUntil([&] { return host.record() == 1; }));
    ::kill(pid_t(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(err.count('\n'), 1);
    QVERIFY(err.contains("Avahi service is not running"));
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(TestVrakoServer)
#include "tst_vrakoserver.moc"
