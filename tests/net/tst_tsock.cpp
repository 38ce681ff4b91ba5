// SPDX-License-Identifier: MIT
#include "tsock_helper.h"

#include <QPointer>
#include <QtTest>
#include <arpa/inet.h>
#include <cerrno>
#include <functional>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vrako;
using namespace vrako::testing;

class TestTSock : public QObject {
    Q_OBJECT
private slots:
    void connectionReports();
    void framedExchange_data();
    void framedExchange();
    void largeTransferArrivesWholeAndInOrder();
    void sendBeforeConnectedIsQueued();
    void refusedConnectionReportsOnlyError();
    void peerCloseGivesDisconnectThenClosed();
    void sendToClosedPeerStillSeesTheClose();
    void closeInsideDisconnectHandler();
    void resetConnectionIsReportedOnce();
    void pausedReadingKeepsWhatCameBeforeAReset();
    void closeTwice();
    void bothEndsProbeAnIdleConnection();
    void destructionReports();
    void listenerReports();
    void openWhileConnectingStartsNothing();
    void exceptions_data();
    void exceptions();
    void errorTable_data();
    void errorTable();
};

void TestTSock::connectionReports() {
    Pair p;
    QVERIFY(p.connect());
    QVERIFY(waitFor([&] { return p.clientRec.events.contains(QStringLiteral("connect")); }));
    const QStringList expected{"info:Lookup Of Port " + QString::number(p.listener.localPort()),
                               "info:Lookup Of Host 127.0.0.1",
                               "info:Non-Blocking Socket Connected", "connect"};
    QCOMPARE(p.clientRec.events.mid(0, 4), expected);
    QCOMPARE(p.listenerRec.texts(TSocketInfo::Listen), QStringList{"Listening Started"});

    // The accepted socket: born connected, a child of the listener, told its peer's address.
    QCOMPARE(p.listenerRec.texts(TSocketInfo::Accept), QStringList{"Created New TSock Structure"});
    QCOMPARE(p.servedRec.texts(TSocketInfo::Lookup),
             (QStringList{"Setting PortName While Connected Has No Effect",
                          "Setting HostName While Connected Has No Effect"}));
    QVERIFY(p.served->Connected());
    QCOMPARE(p.served->parent(), &p.listener);
    QCOMPARE(p.served->HostName(), QStringLiteral("127.0.0.1"));
    QCOMPARE(p.served->PortName(), QStringLiteral("0"));

    // Open on a connected socket and new settings change nothing but report.
    const qsizetype before = p.clientRec.reports.size();
    QVERIFY(p.client.Open());
    p.client.setHostName(QStringLiteral("10.0.0.5"));
    p.client.setPortName(QStringLiteral("7772"));
    QCOMPARE(
        p.clientRec.reports.mid(before),
        (QList<Report>{{TSocketInfo::Lookup, "Setting HostName While Connected Has No Effect"},
                       {TSocketInfo::Lookup, "Setting PortName While Connected Has No Effect"}}));
    QCOMPARE(p.client.HostName(), QStringLiteral("10.0.0.5"));
    QVERIFY(p.client.Connected());
}

void TestTSock::framedExchange_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("chunk"); // bytes per Send; 0 = one Send per message
    QTest::addColumn<bool>("toClient");
    QTest::newRow("one send per message") << "127.0.0.1" << 0 << false;
    QTest::newRow("byte by byte") << "127.0.0.1" << 1 << false;
    QTest::newRow("all in one send") << "127.0.0.1" << 100000 << false;
    QTest::newRow("server to client, odd splits") << "127.0.0.1" << 7 << true;
    QTest::newRow("host name, mixed case") << "LocalHost" << 0 << false;
}

void TestTSock::framedExchange() {
    QFETCH(QString, host);
    QFETCH(int, chunk);
    QFETCH(bool, toClient);
    Inbox inbox;
    Pair p;
    QVERIFY(p.connect(host));
    TSock* from = toClient ? p.served : &p.client;
    TSock* to = toClient ? &p.client : p.served;
    inbox.attach(to);

    const std::vector<std::string> sent{"CMD_login+1+Ann", "", "CMD_chat+2+h\xC3\xA9llo",
                                        "CMD_playcard+1+0+5"};
    QByteArray all;
    for (const auto& m : sent) {
        const QByteArray f = QByteArray::fromStdString(m) + kFrameEnd;
        all += f;
        if (chunk == 0)
            from->Send(f);
    }
    if (chunk > 0)
        for (qsizetype i = 0; i < all.size(); i += chunk)
            from->Send(all.mid(i, chunk));

    QVERIFY(waitFor([&] { return inbox.messages.size() >= sent.size(); }, 5000));
    QVERIFY(inbox.reads > 0);
    QCOMPARE(inbox.messages, sent);
    QCOMPARE(inbox.framer.pending(), size_t(0));
}

void TestTSock::largeTransferArrivesWholeAndInOrder() {
    Inbox inbox;
    Pair p;
    QVERIFY(p.connect());
    inbox.attach(p.served);
    // Megabytes handed over in single Sends until the kernel refuses part of one, so that the
    // rest must be queued and flushed on write readiness.
    QByteArray big;
    for (int block = 0; block < 32 && p.client.pendingOutput() == 0; ++block) {
        QByteArray mib(1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < mib.size(); ++i)
            mib[i] = char((i * 7 + i / 251 + block * 13) & 0x7F);
        big += mib;
        p.client.Send(mib);
    }
    QVERIFY2(p.client.pendingOutput() > 0, "the kernel took everything at once");

    p.client.Send(frame("tail"));

    QVERIFY(waitFor([&] { return inbox.raw.size() >= big.size() + 5; }, 20000));
    QCOMPARE(inbox.raw.size(), big.size() + 5);
    QVERIFY(inbox.raw.startsWith(big));
    QVERIFY(inbox.raw.endsWith(frame("tail")));
    QVERIFY(inbox.reads > 1);
    QCOMPARE(p.client.pendingOutput(), qsizetype(0));

    // With nothing left to write the socket must stop watching write readiness.
    const int sends = p.clientRec.count(QStringLiteral("Non-Blocking Outgoing Data"));
    settle();
    QCOMPARE(p.clientRec.count(QStringLiteral("Non-Blocking Outgoing Data")), sends);
}

void TestTSock::sendBeforeConnectedIsQueued() {
    Inbox inbox;
    Pair p;
    p.start();
    QVERIFY(!p.client.Connected());
    p.client.Send(frame("first"));
    p.client.Send(frame("second"));
    QCOMPARE(p.client.pendingOutput(), qsizetype(13)); // nothing goes out before the connection
    QVERIFY(waitFor([&] { return p.served && p.client.Connected(); }));
    inbox.attach(p.served);
    p.client.Send(frame("third"));
    QVERIFY(waitFor([&] { return inbox.messages.size() >= 3; }));
    QCOMPARE(inbox.messages, (std::vector<std::string>{"first", "second", "third"}));
}

void TestTSock::refusedConnectionReportsOnlyError() {
    const quint16 port = freePort();
    Recorder rec;
    TSock client;
    rec.attach(&client);
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(port));
    QVERIFY(!client.Open());
    QVERIFY(waitFor([&] { return !rec.texts(TSocketInfo::Error).isEmpty(); }, 5000));
    settle();
    QCOMPARE(rec.texts(TSocketInfo::Error), QStringList{"Error #10061 (WSAECONNREFUSED)"});
    QCOMPARE(rec.count(QStringLiteral("Socket Closed")), 0);
    QVERIFY(!rec.events.contains(QStringLiteral("disconnect")));
    QVERIFY(!client.Connected());
    QVERIFY(client.hasHandle()); // stays in the connecting state until closed
}

void TestTSock::peerCloseGivesDisconnectThenClosed() {
    Inbox inbox;
    Pair p;
    QVERIFY(p.connect());
    inbox.attach(p.served);
    p.client.Send(frame("bye"));
    QVERIFY(p.client.Close());
    QCOMPARE(p.clientRec.count(QStringLiteral("Socket Closed")), 1);
    QVERIFY(waitFor([&] { return !p.served->hasHandle(); }, 5000));
    QCOMPARE(inbox.messages, std::vector<std::string>{"bye"}); // data before the close survives
    const auto& ev = p.servedRec.events;
    const qsizetype d = ev.indexOf(QStringLiteral("disconnect"));
    QVERIFY(d >= 0);
    QCOMPARE(ev.mid(d), (QStringList{"disconnect", "info:Socket Closed"}));
    QVERIFY(!p.served->Connected());
}

void TestTSock::sendToClosedPeerStillSeesTheClose() {
    // Writing after the peer has gone fails; the close must still be noticed on reading.
    Pair p;
    QVERIFY(p.connect());
    p.client.Close();
    for (int i = 0; i < 20 && p.servedRec.texts(TSocketInfo::Error).isEmpty(); ++i) {
        p.served->Send(frame("into the void"));
        QTest::qSleep(2);
    }
    QVERIFY(waitFor([&] { return !p.served->hasHandle(); }));
    QCOMPARE(p.servedRec.count(QStringLiteral("Socket Closed")), 1);
    QVERIFY(p.servedRec.events.contains(QStringLiteral("disconnect")));
    QCOMPARE(p.servedRec.texts(TSocketInfo::Error), QStringList{"Error #10058 (WSAESHUTDOWN)"});
}

void TestTSock::closeInsideDisconnectHandler() {
    // The server closes and discards a connection from inside its own disconnect event.
    Pair p;
    QVERIFY(p.connect());
    QPointer<TSock> served = p.served;
    QObject::connect(served, &TSock::OnDisconnect, served, [&] {
        served->Close();
        served->deleteLater();
    });
    p.client.Close();
    QVERIFY(waitFor([&] { return served.isNull(); }, 5000));
    QCOMPARE(p.servedRec.count(QStringLiteral("Socket Closed")), 2);
}

void TestTSock::resetConnectionIsReportedOnce() {
    Recorder rec;
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    TSock* served = nullptr;
    QObject::connect(&listener, &TSock::OnAccept, &listener,
                     [&] { listener.Accept(served, [&](TSock* s) { rec.attach(s); }); });

    // A plain socket that aborts its connection, which the peer sees as a reset.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(listener.localPort());
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    QVERIFY(waitFor([&] { return served != nullptr; }, 5000));
    linger lg{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
    ::close(fd);

    QVERIFY(waitFor([&] { return !rec.texts(TSocketInfo::Error).isEmpty(); }, 5000));
    settle();
    QCOMPARE(rec.texts(TSocketInfo::Error), QStringList{"Error #10054 (WSAECONNRESET)"});
    QVERIFY(served->Connected()); // the owner decides when to close
    QVERIFY(served->Send(frame("lost")));
    settle();
    QCOMPARE(rec.texts(TSocketInfo::Error).size(), 1);
    served->Close();
    QCOMPARE(rec.count(QStringLiteral("Socket Closed")), 1);
}

void TestTSock::pausedReadingKeepsWhatCameBeforeAReset() {
    Inbox inbox;
    Recorder rec;
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    TSock* served = nullptr;
    QObject::connect(&listener, &TSock::OnAccept, &listener,
                     [&] { listener.Accept(served, [&](TSock* s) { rec.attach(s); }); });
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(listener.localPort());
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    QVERIFY(waitFor([&] { return served != nullptr; }));
    inbox.attach(served);
    qsizetype readBeforeClose = -1;
    QObject::connect(served, &TSock::OnDisconnect, served,
                     [&] { readBeforeClose = qsizetype(inbox.messages.size()); });

    // While reading is paused the peer sends, and once all of it has arrived, resets.
    served->setReadPaused(true);
    const std::string sent = frame("first").toStdString() + std::string(50000, 'x') + kFrameEnd;
    QCOMPARE(::send(fd, sent.data(), sent.size(), 0), ssize_t(sent.size()));
    QVERIFY(waitFor([&] {
        int unacknowledged = -1;
        ::ioctl(fd, SIOCOUTQ, &unacknowledged);
        return unacknowledged == 0;
    }));
    linger lg{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
    ::close(fd);
    settle();
    QCOMPARE(inbox.reads, 0);
    // A write fails on the reset, yet reading goes on and finds all of it, then the close.
    served->Send(frame("lost"));
    QCOMPARE(rec.texts(TSocketInfo::Error), QStringList{"Error #10054 (WSAECONNRESET)"});
    QVERIFY(served->writeFailed() && !served->readFailed());
    served->setReadPaused(false);
    QVERIFY(waitFor([&] { return readBeforeClose >= 0; }));
    QCOMPARE(readBeforeClose, qsizetype(2));
    QCOMPARE(inbox.messages.at(0), std::string("first"));
    QCOMPARE(inbox.messages.at(1).size(), std::size_t(50000));
}

void TestTSock::closeTwice() {
    Pair p;
    QVERIFY(p.connect());
    QSignalSpy spy(&p.client, &TSock::OnInfo);
    QVERIFY(p.client.Close());
    QVERIFY(!p.client.Close());
    QCOMPARE(spy.size(), 2);
    for (const auto& args : spy) {
        QCOMPARE(args.at(0).value<TSocketInfo>(), TSocketInfo::Close);
        QCOMPARE(args.at(1).toString(), QStringLiteral("Socket Closed"));
    }
    QVERIFY(!p.client.hasHandle());
    settle(); // notifiers of the closed socket are gone; nothing fires
    QCOMPARE(p.clientRec.count(QStringLiteral("Socket Closed")), 2);
}

void TestTSock::bothEndsProbeAnIdleConnection() {
    Pair p;
    QVERIFY(p.connect());
    const auto option = [](int fd, int level, int name) {
        int value = -1;
        socklen_t len = sizeof value;
        return ::getsockopt(fd, level, name, &value, &len) == 0 ? value : -1;
    };
    // A dead peer is found within about 25 s: 10 s idle, then 3 probes 5 s apart.
    for (TSock* s : {&p.client, p.served}) {
        const int fd = s->handle();
        QVERIFY(option(fd, SOL_SOCKET, SO_KEEPALIVE) != 0);
        QCOMPARE(option(fd, IPPROTO_TCP, TCP_KEEPIDLE), 10);
        QCOMPARE(option(fd, IPPROTO_TCP, TCP_KEEPINTVL), 5);
        QCOMPARE(option(fd, IPPROTO_TCP, TCP_KEEPCNT), 3);
        QCOMPARE(option(fd, IPPROTO_TCP, TCP_USER_TIMEOUT), 25000);
    }
}

void TestTSock::destructionReports() {
    Recorder connectedRec, connectingRec, listenerRec;
    Pair p;
    QVERIFY(p.connect());

    auto* connected = new TSock;
    auto* connecting = new TSock; // towards a port nobody listens on: never connects
    auto* listener = new TSock;
    connectedRec.attach(connected);
    connectingRec.attach(connecting);
    listenerRec.attach(listener);
    connected->setHostName(QStringLiteral("127.0.0.1"));
    connected->setPortName(QString::number(p.listener.localPort()));
    connected->Open();
    connecting->setHostName(QStringLiteral("127.0.0.1"));
    connecting->setPortName(QString::number(freePort()));
    connecting->Open();
    listener->setPortName(QStringLiteral("0"));
    listener->setListen(true);
    QVERIFY(waitFor([&] { return connected->Connected(); }));

    delete connected;
    delete connecting;
    delete listener;
    QCOMPARE(connectedRec.count(QStringLiteral("Socket Closed")), 1);
    QCOMPARE(connectingRec.count(QStringLiteral("Socket Closed")), 0);
    QCOMPARE(listenerRec.count(QStringLiteral("Socket Closed")), 0);
}

void TestTSock::listenerReports() {
    Recorder rec;
    TSock listener;
    rec.attach(&listener);
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    QVERIFY(listener.Listen());
    const quint16 port = listener.localPort();
    QVERIFY(port != 0);
    listener.setListen(true);
    QCOMPARE(listener.localPort(), port);

    TSock rival;
    rival.setPortName(QString::number(port));
    QCOMPARE(thrown([&] { rival.setListen(true); }),
             QStringLiteral("Listen - Error Binding Socket"));
    QVERIFY(!rival.Listen());

    listener.setListen(false);
    QVERIFY(!listener.Listen());
    QVERIFY(!listener.hasHandle());
    QCOMPARE(rec.texts(TSocketInfo::Listen),
             (QStringList{"Listening Started", "Listening Already Running", "Listening Stopped"}));
    QCOMPARE(rec.count(QStringLiteral("Socket Closed")), 0); // a listener closes silently

    // The port is free again and can be listened on anew.
    TSock again;
    again.setPortName(QString::number(port));
    again.setListen(true);
    QVERIFY(again.Listen());
}

void TestTSock::openWhileConnectingStartsNothing() {
    Recorder rec;
    TSock connecting;
    rec.attach(&connecting);
    connecting.setHostName(QStringLiteral("127.0.0.1"));
    connecting.setPortName(QString::number(freePort()));
    QVERIFY(!connecting.Open());
    QCOMPARE(rec.texts(TSocketInfo::Lookup).size(), 2);
    QVERIFY(!connecting.Open());
    QCOMPARE(rec.texts(TSocketInfo::Lookup).size(), 2);
}

void TestTSock::exceptions_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("send closed") << "send closed"
                                 << "Send - Socket Not Connected";
    QTest::newRow("send listener") << "send listener"
                                   << "Send - Cannot Send On A Listener Socket";
    QTest::newRow("receive closed") << "receive closed"
                                    << "Receive - Socket Not Connected";
    QTest::newRow("receive listener") << "receive listener"
                                      << "Receive - Cannot Receive On A Listener Socket";
    QTest::newRow("accept closed") << "accept closed"
                                   << "Accept - Socket Not In Listening Mode";
    QTest::newRow("listen while open") << "listen open"
                                       << "Listen - Socket Already In Use";
    QTest::newRow("no host") << "open host="
                             << "Host Lookup - Could Not Find Host Entry";
    QTest::newRow("bad dotted host") << "open host=300.1.2.3"
                                     << "Host Lookup - Could Not Find Host Entry";
    QTest::newRow("unknown service") << "open port=no-such-service-xyz"
                                     << "Port Lookup - Could Not Find Service Entry";
    QTest::newRow("port not a number") << "open port=77x"
                                       << "Port Lookup - Invalid Port Number 77x";
    QTest::newRow("port too large") << "open port=70000"
                                    << "Port Lookup - Invalid Port Number 70000";
}

void TestTSock::exceptions() {
    QFETCH(QString, action);
    QFETCH(QString, message);
    TSock s;
    s.setHostName(QStringLiteral("127.0.0.1"));
    s.setPortName(QStringLiteral("0"));
    std::function<void()> run;
    if (action.endsWith(QStringLiteral("listener")))
        s.setListen(true);
    if (action == QStringLiteral("listen open")) {
        s.setPortName(QStringLiteral("9"));
        s.Open();
    }
    if (action.startsWith(QStringLiteral("send")))
        run = [&] { s.Send("x"); };
    else if (action.startsWith(QStringLiteral("receive")))
        run = [&] { s.Receive(); };
    else if (action.startsWith(QStringLiteral("accept")))
        run = [&] {
            TSock* n = nullptr;
            s.Accept(n);
        };
    else if (action.startsWith(QStringLiteral("listen")))
        run = [&] { s.setListen(true); };
    else if (action.startsWith(QStringLiteral("open host=")))
        run = [&] {
            s.setPortName(QStringLiteral("9"));
            s.setHostName(action.mid(10));
            s.Open();
        };
    else if (action.startsWith(QStringLiteral("open port=")))
        run = [&] {
            s.setPortName(action.mid(10));
            s.Open();
        };
    QVERIFY(run);
    QCOMPARE(thrown(run), message);
}

void TestTSock::errorTable_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("refused") << ECONNREFUSED << 10061 << "WSAECONNREFUSED";
    QTest::newRow("reset") << ECONNRESET << 10054 << "WSAECONNRESET";
    QTest::newRow("timed out") << ETIMEDOUT << 10060 << "WSAETIMEDOUT";
    QTest::newRow("host unreachable") << EHOSTUNREACH << 10065 << "WSAEHOSTUNREACH";
    QTest::newRow("address in use") << EADDRINUSE << 10048 << "WSAEADDRINUSE";
    QTest::newRow("would block") << EWOULDBLOCK << 10035 << "WSAEWOULDBLOCK";
    QTest::newRow("interrupted") << EINTR << 10004 << "WSAEINTR";
    QTest::newRow("too many files") << EMFILE << 10024 << "WSAEMFILE";
    QTest::newRow("remote") << EREMOTE << 10071 << "WSAEREMOTE";
    QTest::newRow("no counterpart") << ENOENT << ENOENT << "UNKNOWN ERROR";
}

void TestTSock::errorTable() {
    QFETCH(int, err);
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(winsockCodeFromErrno(err), code);
    QCOMPARE(winsockErrorName(code), name);
    // Names exist only for the codes of the table; neighbours outside it are unknown.
    QCOMPARE(winsockErrorName(10072), QStringLiteral("UNKNOWN ERROR"));
    QCOMPARE(winsockErrorName(11001), QStringLiteral("WSAHOST_NOT_FOUND"));
}

QTEST_GUILESS_MAIN(TestTSock)
#include "tst_tsock.moc"
