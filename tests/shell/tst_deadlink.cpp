// SPDX-License-Identifier: MIT
// A joiner's link to the host goes silent in the middle of a game: packets are dropped both ways,
// with no close and no reset, as when a network drops. The program runs in a network namespace
// of its own, so the packet filter it sets touches nothing else on the machine.
#include "game/clientconnection.h"
#include "game/clientgame.h"
#include "server/tserver.h"
#include "session/session.h"
#include "shell/tchat.h"
#include "table_helper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vrako;
using namespace vrako::tabletest;

namespace {

// Why packets cannot be dropped here; empty when they can.
QString g_noNamespace;

// Moves the process into a new network namespace with its loopback up.
QString isolate() {
    if (::unshare(CLONE_NEWNET) != 0)
        return QStringLiteral("no network namespace of our own (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq lo{};
    std::strncpy(lo.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &lo) == 0;
    lo.ifr_flags = static_cast<short>(lo.ifr_flags | IFF_UP);
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &lo) == 0;
    if (fd >= 0)
        ::close(fd);
    return up ? QString() : QStringLiteral("loopback cannot be brought up in the namespace");
}

// Runs an nft script; returns what went wrong, empty on success.
QString nft(const QString& script) {
    QProcess p;
    p.start(QStringLiteral("nft"), {QStringLiteral("-f"), QStringLiteral("-")});
    if (!p.waitForStarted())
        return QStringLiteral("nft cannot be run: ") + p.errorString();
    p.write(script.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished() || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("nft failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}

// Drops every packet to or from the given loopback port on arrival: the senders see nothing.
QString blackHole(quint16 port) {
    return nft(QStringLiteral("table inet blackhole {\n"
                              "  chain in { type filter hook input priority 0; policy accept;\n"
                              "    tcp sport %1 drop\n"
                              "    tcp dport %1 drop\n"
                              "  }\n"
                              "}\n")
                   .arg(port));
}

quint16 portOf(const sockaddr_in& a) {
    return ntohs(a.sin_port);
}

// This process's TCP socket from localPort to peerPort, or -1: the host's end of a joiner's
// connection, which the server keeps to itself.
int socketBetween(quint16 localPort, quint16 peerPort) {
    for (int fd = 0; fd < 4096; ++fd) {
        sockaddr_in here{};
        sockaddr_in there{};
        socklen_t hereLen = sizeof here;
        socklen_t thereLen = sizeof there;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&here), &hereLen) == 0 &&
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&there), &thereLen) == 0 &&
            here.sin_family == AF_INET && portOf(here) == localPort && portOf(there) == peerPort)
            return fd;
    }
    return -1;
}

quint16 localPort(int fd) {
    sockaddr_in here{};
    socklen_t len = sizeof here;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&here), &len);
    return portOf(here);
}

// Bytes sent on a TCP socket and not yet acknowledged by the peer.
int unacknowledged(int fd) {
    int n = -1;
    ::ioctl(fd, SIOCOUTQ, &n);
    return n;
}

void say(Tchat& w, const QString& line) {
    w.chat().findChild<QLineEdit*>(QStringLiteral("mychat"))->setText(line);
    w.chat().sendit();
}

} // namespace

class TestDeadLink : public QObject {
    Q_OBJECT
private slots:
    void silentLinkGivesTheSeatBack();
};

// Every seat is taken by a person. The joiner hears nothing after the cut and gives the link up
// after 25 s; the host goes on sending to it and gives it up 25 s after its first unanswered send,
// 3 s after the cut. So the joiner's first attempt, 2 s after it noticed, finds its seat still
// taken and is offered a spectator's record; it closes and tries again until the host has freed
// the seat, which waits for the joiner's address, and it is back with its hand.
void TestDeadLink::silentLinkGivesTheSeatBack() {
    if (!g_noNamespace.isEmpty())
        QSKIP(qPrintable(g_noNamespace));
    if (const QString error = nft(QStringLiteral("list tables\n")); !error.isEmpty())
        QSKIP(qPrintable(error));
    Lobby lobby;
    auto host = fastHost(lobby, 11);
    QTRY_COMPARE(host->game().myseat(), 1);
    const quint16 port = host->server()->port();
    std::vector<std::unique_ptr<Tchat>> joiners;
    for (const char* name : {"Bo", "Cy", "Di"}) {
        joiners.push_back(window(port, lobby.port()));
        start(*joiners.back(),
              {QLatin1String(name), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
        QTRY_VERIFY(joiners.back()->game().loggedin());
    }
    Tchat& bo = *joiners[0];
    Tchat& cy = *joiners[1];
    QCOMPARE(bo.game().myseat(), 2);
    host->game().startGame(20, GameType::OneMoreOrLess);
    const GameTable& t = table(*host);
    QTRY_VERIFY(!bo.game().handIds().isEmpty() && handMatches(bo, t));

    // Both ends have just heard from each other and owe each other nothing when the link dies.
    const int boSide = bo.connection().sock().handle();
    const quint16 boPort = localPort(boSide);
    const int hostSide = socketBetween(port, boPort);
    QVERIFY(hostSide >= 0);
    say(bo, QStringLiteral("still here"));
    QTRY_VERIFY(chatText(bo).contains(QStringLiteral("Bo chats: still here")));
    QTRY_VERIFY(unacknowledged(hostSide) == 0 && unacknowledged(boSide) == 0);
    QSignalSpy notFree(&bo.game(), &ClientGame::seatNotFree);
    QSignalSpy back(&bo.session(), &Session::reconnected);
    QElapsedTimer sinceCut;
    sinceCut.start();
    QVERIFY2(blackHole(boPort).isEmpty(), "the packet filter refused the rule");

    // The others chat on: what the host sends Bo now is never acknowledged.
    QTest::qWait(3000);
    say(cy, QStringLiteral("anyone there?"));
    QTRY_VERIFY(unacknowledged(hostSide) > 0);

    constexpr qint64 kBackWithin = 35000;
    QTRY_VERIFY_WITH_TIMEOUT(back.count() == 1 && bo.game().loggedin() && bo.game().myseat() == 2 &&
                                 !bo.game().handIds().isEmpty() && handMatches(bo, t) &&
                                 bo.game().whoseturn() == t.state().currentseat,
                             int(kBackWithin - sinceCut.elapsed()));
    qInfo("back in the seat %lld ms after the cut", sinceCut.elapsed());
    // It came back while the host still held its old connection, as a spectator first.
    QVERIFY(notFree.count() >= 1);
    QVERIFY(bo.isVisible());
}

int main(int argc, char** argv) {
    // Before any socket or thread, so that all of them live in the namespace.
    g_noNamespace = isolate();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestDeadLink test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_deadlink.moc"
