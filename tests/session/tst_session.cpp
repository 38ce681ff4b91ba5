// SPDX-License-Identifier: MIT
// The session handing the game port over to a copy started from it.
#include "server/tserver.h"
#include "session/session.h"

#include <QTest>

using namespace vrako;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void handOverFreesThePortAndTakesItBackOnFailure();
};

void TestSession::handOverFreesThePortAndTakesItBackOnFailure() {
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = 1;
    Session session(settings);
    session.processparams({QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("false")});
    QVERIFY(session.server());
    const quint16 port = session.server()->port();
    QVERIFY(port != 0);

    // The started copy could not run: this copy takes its port back.
    QVERIFY(!session.handOver([] { return false; }));
    QCOMPARE(session.server()->port(), port);
    TServer other(1);
    QVERIFY_THROWS_EXCEPTION(ESockException, other.listen(port));

    // The new copy hosts on the same port while this one is still running.
    bool newCopyListened = false;
    QVERIFY(session.handOver([&] {
        other.listen(port);
        newCopyListened = other.port() == port;
        return true;
    }));
    QVERIFY(newCopyListened);
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
