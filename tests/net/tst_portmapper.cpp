// SPDX-License-Identifier: MIT
// Opening the game port on a home router, against a router on loopback.
#include "net/portmapper.h"
#include "tsock_helper.h"
#include "upnprouter_helper.h"

#include <QSignalSpy>
#include <QTest>

using namespace vrako;
using namespace vrako::testing;

namespace {

constexpr quint16 kPort = 7772; // only a number the router records; nothing listens on it

QString arg(const RouterRequest& r, const char* name) {
    return r.args.value(QLatin1String(name));
}

} // namespace

class TestPortMapper : public QObject {
    Q_OBJECT
private slots:
    void mapsRenewsAndRemovesAtStop();
    void permanentOnlyRouterAndRemovalAtDestruction();
    void externalAddressOnlyWhenReachable_data();
    void externalAddressOnlyWhenReachable();
    void refusedMapping_data();
    void refusedMapping();
    void noRouter();
    void startReturnsAtOnceAndStopCancelsTheRequest();
};

void TestPortMapper::mapsRenewsAndRemovesAtStop() {
    UpnpRouter router;
    PortMapper mapper;
    mapper.setRouterUrl(router.descriptionUrl());
    mapper.setLeaseSeconds(2);
    QSignalSpy mapped(&mapper, &PortMapper::mapped);
    QSignalSpy failed(&mapper, &PortMapper::failed);
    mapper.start(kPort, QStringLiteral("Vrako game"));

    QVERIFY(waitFor([&] { return mapped.size() == 1; }));
    QCOMPARE(mapped.at(0).at(0).toString(), UpnpRouter::kExternalAddress);
    QCOMPARE(mapped.at(0).at(1).toUInt(), uint(kPort));
    QVERIFY(mapper.isMapped());
    QCOMPARE(mapper.externalAddress(), UpnpRouter::kExternalAddress);
    const auto adds = router.requests(QStringLiteral("AddPortMapping"));
    QCOMPARE(adds.size(), 1);
    QCOMPARE(arg(adds[0], "NewExternalPort"), QStringLiteral("7772"));
    QCOMPARE(arg(adds[0], "NewInternalPort"), QStringLiteral("7772"));
    QCOMPARE(arg(adds[0], "NewProtocol"), QStringLiteral("TCP"));
    // The address the router sees this computer at on its side of the network.
    QCOMPARE(arg(adds[0], "NewInternalClient"), QStringLiteral("127.0.0.1"));
    QCOMPARE(arg(adds[0], "NewPortMappingDescription"), QStringLiteral("Vrako game"));
    QCOMPARE(arg(adds[0], "NewLeaseDuration"), QStringLiteral("2"));

    // Renewed at half the lease, without a second report.
    QVERIFY(waitFor([&] { return router.requests(QStringLiteral("AddPortMapping")).size() == 2; },
                    4000));
    settle(100);
    QCOMPARE(mapped.size(), 1);
    QVERIFY(router.requests(QStringLiteral("DeletePortMapping")).isEmpty());

    // stop() waits for the router, so the removal has arrived when it returns.
    mapper.stop();
    const auto deletes = router.requests(QStringLiteral("DeletePortMapping"));
    QCOMPARE(deletes.size(), 1);
    QCOMPARE(arg(deletes[0], "NewExternalPort"), QStringLiteral("7772"));
    QCOMPARE(arg(deletes[0], "NewProtocol"), QStringLiteral("TCP"));
    QVERIFY(!mapper.isMapped());
    QCOMPARE(failed.size(), 0);
}

void TestPortMapper::permanentOnlyRouterAndRemovalAtDestruction() {
    UpnpRouter router;
    router.refuse(QStringLiteral("AddPortMapping"), 725, true); // OnlyPermanentLeasesSupported
    {
        PortMapper mapper;
        mapper.setRouterUrl(router.descriptionUrl());
        QSignalSpy mapped(&mapper, &PortMapper::mapped);
        QSignalSpy failed(&mapper, &PortMapper::failed);
        mapper.start(kPort, QStringLiteral("Vrako"));
        QVERIFY(waitFor([&] { return mapped.size() == 1; }));
        QCOMPARE(failed.size(), 0);
        const auto adds = router.requests(QStringLiteral("AddPortMapping"));
        QCOMPARE(adds.size(), 2);
        QCOMPARE(arg(adds[0], "NewLeaseDuration"), QStringLiteral("3600"));
        QCOMPARE(arg(adds[1], "NewLeaseDuration"), QStringLiteral("0"));
        QVERIFY(router.requests(QStringLiteral("DeletePortMapping")).isEmpty());
    }
    QCOMPARE(router.requests(QStringLiteral("DeletePortMapping")).size(), 1);
}

void TestPortMapper::externalAddressOnlyWhenReachable_data() {
    QTest::addColumn<QString>("reported");
    QTest::addColumn<bool>("reachable");
    // A router behind another one reports its address on the outer network.
    QTest::newRow("before shared") << QStringLiteral("100.63.255.255") << true;
    QTest::newRow("shared, first") << QStringLiteral("100.64.0.0") << false;
    QTest::newRow("shared, last") << QStringLiteral("100.127.255.255") << false;
    QTest::newRow("after shared") << QStringLiteral("100.128.0.0") << true;
    QTest::newRow("before private 172") << QStringLiteral("172.15.255.255") << true;
    QTest::newRow("private 172") << QStringLiteral("172.31.255.255") << false;
    QTest::newRow("private 192.168") << QStringLiteral("192.168.0.1") << false;
    QTest::newRow("private 10") << QStringLiteral("10.0.0.1") << false;
    QTest::newRow("unspecified") << QStringLiteral("0.0.0.0") << false;
    QTest::newRow("not an address") << QStringLiteral("unknown") << false;
}

void TestPortMapper::externalAddressOnlyWhenReachable() {
    QFETCH(QString, reported);
    QFETCH(bool, reachable);
    UpnpRouter router;
    router.setExternalAddress(reported);
    PortMapper mapper;
    mapper.setRouterUrl(router.descriptionUrl());
    QSignalSpy mapped(&mapper, &PortMapper::mapped);
    mapper.start(kPort, QStringLiteral("Vrako"));
    QVERIFY(waitFor([&] { return mapped.size() == 1; }));
    // The port is open either way; only a reachable address is offered to friends.
    QCOMPARE(mapped.at(0).at(0).toString(), reachable ? reported : QString());
    QVERIFY(mapper.isMapped());
}

void TestPortMapper::refusedMapping_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("ConflictInMappingEntry") << 718;
    QTest::newRow("ActionFailed") << 501;
}

void TestPortMapper::refusedMapping() {
    QFETCH(int, code);
    UpnpRouter router;
    router.refuse(QStringLiteral("AddPortMapping"), code);
    PortMapper mapper;
    mapper.setRouterUrl(router.descriptionUrl());
    QSignalSpy mapped(&mapper, &PortMapper::mapped);
    QSignalSpy failed(&mapper, &PortMapper::failed);
    mapper.start(kPort, QStringLiteral("Vrako"));
    QVERIFY(waitFor([&] { return failed.size() == 1; }));
    QCOMPARE(failed.at(0).at(0).toString(),
             QStringLiteral("Your router did not open port 7772; friends outside your network "
                            "need it forwarded to this computer."));
    QVERIFY(failed.at(0).at(1).toString().contains(QString::number(code)));
    mapper.stop();
    QCOMPARE(mapped.size(), 0);
    QVERIFY(!mapper.isMapped());
    // The port may be another computer's: what was not added is not removed.
    QVERIFY(router.requests(QStringLiteral("DeletePortMapping")).isEmpty());
}

void TestPortMapper::noRouter() {
    PortMapper mapper;
    mapper.setRouterUrl(QStringLiteral("http://127.0.0.1:%1/rootDesc.xml").arg(freePort()));
    QSignalSpy failed(&mapper, &PortMapper::failed);
    mapper.start(4321, QStringLiteral("Vrako"));
    QVERIFY(waitFor([&] { return failed.size() == 1; }));
    QCOMPARE(failed.at(0).at(0).toString(), PortMapper::failureText(4321));
    QVERIFY(failed.at(0).at(0).toString().contains(u"port 4321;"));
    QVERIFY(!mapper.isMapped());
}

void TestPortMapper::startReturnsAtOnceAndStopCancelsTheRequest() {
    UpnpRouter router;
    router.hold();
    auto mapper = std::make_unique<PortMapper>();
    mapper->setRouterUrl(router.descriptionUrl());
    QSignalSpy mapped(mapper.get(), &PortMapper::mapped);
    QSignalSpy failed(mapper.get(), &PortMapper::failed);
    mapper->start(kPort, QStringLiteral("Vrako"));
    // The router has not answered, yet start() has returned and the loop runs.
    QVERIFY(waitFor([&] { return router.requests().size() == 1; }));
    QCOMPARE(mapped.size() + failed.size(), 0);

    // The host ends while the router is still silent: stop() gives up waiting, and the answer
    // that comes afterwards adds no forwarding that nobody would remove.
    mapper->stop();
    router.release();
    settle(500);
    mapper.reset();
    settle(100);
    QCOMPARE(router.requests(QStringLiteral("AddPortMapping")).size(), 0);
    QCOMPARE(mapped.size() + failed.size(), 0);
}

QTEST_GUILESS_MAIN(TestPortMapper)
#include "tst_portmapper.moc"
