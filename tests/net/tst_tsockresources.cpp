// SPDX-License-Identifier: MIT
// A listener must not make the event loop spin when nobody takes the connection it offers.
#include "net/tsock.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vrako;

namespace {

// A plain blocking client socket connected to 127.0.0.1:port, or -1.
int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void runEvents(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

class TestTSockResources : public QObject {
    Q_OBJECT
private slots:
    void listenerRestsWhileNobodyAccepts();
};

void TestTSockResources::listenerRestsWhileNobodyAccepts() {
    // A waiting connection that is not taken keeps the listener readable; the socket must rest
    // instead of being woken again at once (the same rest covers running out of descriptors).
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    auto* notifier = listener.findChild<QSocketNotifier*>();
    QVERIFY(notifier);
    int wakeups = 0;
    connect(notifier, &QSocketNotifier::activated, this, [&] { ++wakeups; });
    const int client = connectTo(listener.localPort());
    QVERIFY(client >= 0);
    runEvents(450);
    QVERIFY2(wakeups >= 1 && wakeups <= 5, qPrintable(QString::number(wakeups)));

    // Once somebody accepts, the connection is taken.
    bool accepted = false;
    connect(&listener, &TSock::OnAccept, this, [&] {
        TSock* s = nullptr;
        accepted = listener.Accept(s);
    });
    QTRY_VERIFY(accepted);
    ::close(client);
}

QTEST_GUILESS_MAIN(TestTSockResources)
#include "tst_tsockresources.moc"
