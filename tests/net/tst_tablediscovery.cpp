// SPDX-License-Identifier: MIT
// Tables announced through a real Avahi daemon and found by the browser: the record, its live
// changes, its withdrawal, and a name that is already taken.
#include "avahi_daemon_helper.h"
#include "net/commands.h"
#include "net/tableannouncer.h"
#include "net/tablebrowser.h"
#include "tsock_helper.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>

using namespace vrako;
using namespace vrako::testing;

namespace {

// Names and ports no other test running at the same time uses.
QString uniqueOwner(const char* what) {
    return QStringLiteral("tst-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QLatin1String(what));
}

quint16 uniquePort(int offset) {
    return quint16(20000 + (QCoreApplication::applicationPid() * 2 + offset) % 40000);
}

// The signals a spy caught about the table called name: other tests announce on the same
// daemon at the same time.
qsizetype about(const QSignalSpy& spy, const QString& name) {
    return std::count_if(spy.begin(), spy.end(), [&](const QList<QVariant>& args) {
        const QVariant& v = args.at(0);
        return (v.metaType() == QMetaType::fromType<QString>()
                    ? v.toString()
                    : v.value<FoundTable>().name) == name;
    });
}

std::optional<FoundTable> find(const TableBrowser& browser, const QString& name) {
    for (const FoundTable& t : browser.tables()) {
        if (t.name == name)
            return t;
    }
    return std::nullopt;
}

} // namespace

class TestTableDiscovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VRAKO_START_AVAHI(m_daemon); }
    void announcedTableIsFollowed();
    void takenNameGetsTheAlternative();

private:
    AvahiTestDaemon m_daemon;
};

void TestTableDiscovery::announcedTableIsFollowed() {
    const QString name = uniqueOwner("follow") + QStringLiteral("'s table");
    const quint16 port = uniquePort(0);
    TableBrowser browser;
    QVERIFY(browser.isAvailable());
    QSignalSpy found(&browser, &TableBrowser::tableFound);
    QSignalSpy removed(&browser, &TableBrowser::tableRemoved);

    QElapsedTimer clock;
    clock.start();
    auto announcer =
        std::make_unique<TableAnnouncer>(uniqueOwner("follow"), port, TableStatus{1, 0, false});
    QVERIFY(announcer->isAvailable());
    QVERIFY(waitFor([&] { return find(browser, name).has_value(); }, 2000));
    qInfo("The table was found %lld ms after it was announced", clock.elapsed());
    QVERIFY(announcer->isAnnounced());
    QCOMPARE(announcer->instanceName(), name);

    FoundTable t = *find(browser, name);
    QCOMPARE(t.port, port);
    QCOMPARE(t.seats, 1);
    QCOMPARE(t.spectators, 0);
    QCOMPARE(t.running, false);
    QCOMPARE(t.version, QString::fromLatin1(cmd::version.data(), qsizetype(cmd::version.size())));
    QVERIFY(t.hostName.endsWith(QLatin1String(".local")));
    QVERIFY(!t.address.isEmpty() && !t.address.contains(QLatin1Char(':'))); // IPv4
    QCOMPARE(about(found, name), 1);

    // The record changes in place: the table stays in the list throughout.
    QSignalSpy changed(&browser, &TableBrowser::tableChanged);
    clock.restart();
    announcer->update({4, 5, true});
    QVERIFY(waitFor([&] { return find(browser, name)->seats == 4; }, 5000));
    qInfo("The change was seen %lld ms after it was made", clock.elapsed());
    t = *find(browser, name);
    QCOMPARE(t.spectators, 5);
    QCOMPARE(t.running, true);
    QVERIFY(about(changed, name) > 0);
    QCOMPARE(about(removed, name), 0);

    clock.restart();
    announcer.reset();
    QVERIFY(waitFor([&] { return !find(browser, name); }, 5000));
    qInfo("The table was gone %lld ms after it was withdrawn", clock.elapsed());
    QCOMPARE(about(removed, name), 1);
}

void TestTableDiscovery::takenNameGetsTheAlternative() {
    const QString owner = uniqueOwner("twice");
    TableAnnouncer first(owner, uniquePort(1));
    TableAnnouncer second(owner, uniquePort(2), TableStatus{2, 0, true});
    QVERIFY(waitFor([&] { return first.isAnnounced() && second.isAnnounced(); }, 5000));
    QCOMPARE(first.instanceName(), owner + QStringLiteral("'s table"));
    QCOMPARE(second.instanceName(), owner + QStringLiteral("'s table #2"));

    // A browser that starts later finds both, each with its own port and record.
    TableBrowser browser;
    QVERIFY(waitFor([&] { return find(browser, second.instanceName()).has_value(); }, 5000));
    QVERIFY(waitFor([&] { return find(browser, first.instanceName()).has_value(); }, 5000));
    QCOMPARE(find(browser, first.instanceName())->port, uniquePort(1));
    QCOMPARE(find(browser, second.instanceName())->port, uniquePort(2));
    QCOMPARE(find(browser, second.instanceName())->seats, 2);
}

QTEST_GUILESS_MAIN(TestTableDiscovery)
#include "tst_tablediscovery.moc"
