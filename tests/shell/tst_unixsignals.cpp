// SPDX-License-Identifier: MIT
#include "shell/unixsignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using namespace vrako;

class TestUnixSignals : public QObject {
    Q_OBJECT
private slots:
    void signalsArriveOnTheEventLoop();
};

void TestUnixSignals::signalsArriveOnTheEventLoop() {
    UnixSignals watcher;
    QVERIFY(watcher.isActive());
    UnixSignals second; // one per process
    QVERIFY(!second.isActive());

    QSignalSpy spy(&watcher, &UnixSignals::terminationRequested);
    QCOMPARE(std::raise(SIGTERM), 0);
    QCOMPARE(std::raise(SIGINT), 0);
    // Nothing is emitted inside the handler; the event loop delivers both.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
    QCOMPARE(spy.at(1).at(0).toInt(), SIGINT);
}

QTEST_MAIN(TestUnixSignals)
#include "tst_unixsignals.moc"
