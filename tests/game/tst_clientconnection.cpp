// SPDX-License-Identifier: MIT
// The client's connection hands out what the server said before it went, in order, and then
// reports the end, telling a server that closed the connection from one that reset it.
#include "game/clientconnection.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <sys/socket.h>

using namespace vrako;

class TestClientConnection : public QObject {
    Q_OBJECT
private slots:
    void lossComesAfterTheLastMessages_data();
    void lossComesAfterTheLastMessages();
};

void TestClientConnection::lossComesAfterTheLastMessages_data() {
    QTest::addColumn<bool>("reset");
    QTest::newRow("orderly close") << false;
    QTest::newRow("reset") << true;
}

void TestClientConnection::lossComesAfterTheLastMessages() {
    QFETCH(bool, reset);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    ClientConnection conn;
    QStringList order;
    connect(&conn, &ClientConnection::messageReceived, this,
            [&](const std::string& m) { order.append(QString::fromStdString(m)); });
    // The window tells the player which it was.
    connect(&conn, &ClientConnection::socketClosed, this, [&](ClientConnection::Ending e) {
        order.append(e == ClientConnection::Ending::Closed ? QStringLiteral("closed")
                                                           : QStringLiteral("lost"));
    });
    conn.open(QStringLiteral("127.0.0.1"), server.serverPort());
    QVERIFY(server.waitForNewConnection(5000));
    QTcpSocket* peer = server.nextPendingConnection();
    QTRY_VERIFY(conn.sock().Connected());

    peer->write("CMD_full+\xFF"
                "CMD_chat+1+bye\xFF");
    QVERIFY(peer->waitForBytesWritten(5000));
    QTRY_COMPARE(order.size(), 2);
    if (reset) {
        // Unread data on our side makes the kernel reset instead of closing in order.
        conn.send(QByteArray("CMD_drawcard+1\xFF"));
        const linger hard{1, 0};
        ::setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    peer->close();
    QTRY_COMPARE(order, (QStringList{"CMD_full+", "CMD_chat+1+bye", reset ? "lost" : "closed"}));
    QTest::qWait(50);
    QCOMPARE(order.size(), 3); // reported once
}

QTEST_GUILESS_MAIN(TestClientConnection)
#include "tst_clientconnection.moc"
