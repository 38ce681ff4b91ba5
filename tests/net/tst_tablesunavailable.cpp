// SPDX-License-Identifier: MIT
// Without an Avahi daemon on the bus, announcing and looking for tables say they cannot, at
// once, and do nothing else.
#include "net/tableannouncer.h"
#include "net/tablebrowser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vrako;

class TestTablesUnavailable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void nothingWithoutTheDaemon();

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
};

void TestTablesUnavailable::initTestCase() {
    // A system bus of our own on which no Avahi daemon is, nor can be started.
    QVERIFY(m_dir.isValid());
    QFile conf(m_dir.filePath(QStringLiteral("bus.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("<busconfig><type>system</type><listen>unix:path=%1</listen>"
                              "<auth>EXTERNAL</auth><policy context=\"default\">"
                              "<allow user=\"*\"/><allow own=\"*\"/>"
                              "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                              "</policy></busconfig>\n")
                   .arg(m_dir.filePath(QStringLiteral("bus")))
                   .toUtf8());
    conf.close();
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--config-file=") + conf.fileName(), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    QVERIFY2(m_bus.waitForReadyRead(10000), "dbus-daemon did not start");
    const QByteArray address = m_bus.readLine().trimmed();
    QVERIFY(address.startsWith("unix:"));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
}

void TestTablesUnavailable::cleanupTestCase() {
    m_bus.terminate();
    m_bus.waitForFinished(5000);
}

void TestTablesUnavailable::nothingWithoutTheDaemon() {
    QElapsedTimer clock;
    clock.start();
    TableBrowser browser;
    TableAnnouncer announcer(QStringLiteral("Ann"), 7772);
    // Known before the constructors return; a wait on the daemon would take D-Bus's 25 s.
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(!browser.isAvailable());
    QVERIFY(!announcer.isAvailable());
    QVERIFY(!announcer.isAnnounced());

    QSignalSpy availability(&browser, &TableBrowser::availabilityChanged);
    QSignalSpy announced(&announcer, &TableAnnouncer::announced);
    announcer.update({2, 1, true});
    QTest::qWait(300);
    QVERIFY(availability.isEmpty());
    QVERIFY(announced.isEmpty());
    QVERIFY(browser.tables().isEmpty());
    QCOMPARE(announcer.status(), (TableStatus{2, 1, true}));
}

QTEST_GUILESS_MAIN(TestTablesUnavailable)
#include "tst_tablesunavailable.moc"
