// SPDX-License-Identifier: MIT
// Invite links read and written, the addresses an invitation offers, and table names that fit
// DNS-SD.
#include "net/invitelink.h"
#include "net/tableservice.h"

#include <QTest>

using namespace vrako;

class TestTableLinks : public QObject {
    Q_OBJECT
private slots:
    void goodLink_data();
    void goodLink();
    void badLink_data();
    void badLink();
    void formatRoundTrips();
    void addressOrder();
    void reachableAddressesAreLinks();
    void instanceNameFits();
};

void TestTableLinks::goodLink_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("address and port") << "vrako://192.168.1.20:7772"
                                      << "192.168.1.20" << 7772;
    QTest::newRow("default port") << "vrako://ann-pc.local"
                                  << "ann-pc.local" << 7772;
    QTest::newRow("lowest port, scheme in capitals") << "VRAKO://host:1"
                                                     << "host" << 1;
    QTest::newRow("highest port, one slash, spaces") << "  vrako://10.0.0.1:65535/\n"
                                                     << "10.0.0.1" << 65535;
    QTest::newRow("IPv6 in brackets") << "vrako://[fd00::2]:8000"
                                      << "fd00::2" << 8000;
    QTest::newRow("IPv6 without port") << "vrako://[::1]"
                                       << "::1" << 7772;
}

void TestTableLinks::goodLink() {
    QFETCH(QString, link);
    QFETCH(QString, host);
    QFETCH(int, port);
    const ParsedInviteLink parsed = parseInviteLink(link);
    QVERIFY2(parsed.target.has_value(), qPrintable(parsed.error));
    QCOMPARE(parsed.target->host, host);
    QCOMPARE(int(parsed.target->port), port);
    QVERIFY(parsed.error.isEmpty());
    QVERIFY(looksLikeInviteLink(link));
}

void TestTableLinks::badLink_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("says"); // a word the message must contain
    QTest::newRow("other scheme") << "http://192.168.1.20:7772"
                                  << "vrako://";
    QTest::newRow("no slashes") << "vrako:192.168.1.20"
                                << "vrako://";
    QTest::newRow("no host") << "vrako://"
                             << "no computer";
    QTest::newRow("port but no host") << "vrako://:7772"
                                      << "no computer";
    QTest::newRow("port 0") << "vrako://host:0"
                            << "1 to 65535";
    QTest::newRow("port 65536") << "vrako://host:65536"
                                << "1 to 65535";
    QTest::newRow("huge port") << "vrako://host:99999999999999999999"
                               << "1 to 65535";
    QTest::newRow("empty port") << "vrako://host:"
                                << "1 to 65535";
    QTest::newRow("signed port") << "vrako://host:+7772"
                                 << "1 to 65535";
    QTest::newRow("path after port") << "vrako://host:7772/join"
                                     << "after the port";
    QTest::newRow("query after port") << "vrako://host:7772?seat=2"
                                      << "after the port";
    QTest::newRow("letters after port") << "vrako://host:7772x"
                                        << "after the port";
    QTest::newRow("two slashes") << "vrako://host:7772//"
                                 << "after the port";
    QTest::newRow("path without port") << "vrako://host/join"
                                       << "after the computer";
    QTest::newRow("user name") << "vrako://ann@host"
                               << "not a computer name";
    QTest::newRow("space in host") << "vrako://ann pc"
                                   << "not a computer name";
    QTest::newRow("no IPv4") << "vrako://192.168.1.300"
                             << "not a computer name";
    QTest::newRow("hyphen at the end") << "vrako://host-:7772"
                                       << "not a computer name";
    QTest::newRow("IPv6 without brackets") << "vrako://fd00::2"
                                           << "in brackets";
    QTest::newRow("IPv6 zone") << "vrako://[fe80::1%eth0]:7772"
                               << "not an IPv6";
    QTest::newRow("bracket not closed") << "vrako://[fd00::2:7772"
                                        << "not closed";
}

void TestTableLinks::badLink() {
    QFETCH(QString, link);
    QFETCH(QString, says);
    const ParsedInviteLink parsed = parseInviteLink(link);
    QVERIFY(!parsed.target.has_value());
    QVERIFY2(parsed.error.contains(says), qPrintable(parsed.error));
}

void TestTableLinks::formatRoundTrips() {
    QCOMPARE(formatInviteLink(QStringLiteral("192.168.1.20"), 7772),
             QStringLiteral("vrako://192.168.1.20:7772"));
    QCOMPARE(formatInviteLink(QStringLiteral("fd00::2"), 1), QStringLiteral("vrako://[fd00::2]:1"));
    const auto parsed = parseInviteLink(formatInviteLink(QStringLiteral("fd00::2"), 65535));
    QCOMPARE(parsed.target, (InviteTarget{QStringLiteral("fd00::2"), 65535}));
    QVERIFY(!looksLikeInviteLink(QStringLiteral("Ann")));
}

void TestTableLinks::addressOrder() {
    // Private ranges at their edges first, link-local last, the rest between; repeats and
    // anything that is no IPv4 address dropped.
    const QStringList given{"169.254.3.4",    "8.8.8.8",     "172.31.255.255", "172.32.0.1",
                            "10.255.255.255", "192.168.0.1", "192.169.0.1",    "172.16.0.0",
                            "11.0.0.1",       "8.8.8.8",     "fd00::2",        "9.255.255.255"};
    const QStringList expected{"172.31.255.255", "10.255.255.255", "192.168.0.1", "172.16.0.0",
                               "8.8.8.8",        "172.32.0.1",     "192.169.0.1", "11.0.0.1",
                               "9.255.255.255",  "169.254.3.4"};
    QCOMPARE(inviteAddressOrder(given), expected);
}

void TestTableLinks::reachableAddressesAreLinks() {
    // Whatever this machine has: IPv4, never loopback, each link naming it and the port.
    const QStringList addresses = reachableAddresses();
    const QStringList links = inviteLinks(4321);
    QCOMPARE(links.size(), addresses.size());
    QCOMPARE(inviteAddressOrder(addresses), addresses);
    for (int i = 0; i < links.size(); ++i) {
        QVERIFY(!addresses[i].startsWith(QLatin1String("127.")));
        QCOMPARE(parseInviteLink(links[i]).target, (InviteTarget{addresses[i], 4321}));
    }
}

void TestTableLinks::instanceNameFits() {
    QCOMPARE(tableInstanceName(QStringLiteral(" Ann ")), QStringLiteral("Ann's table"));
    QVERIFY(tableInstanceName(QString()).endsWith(QLatin1String("'s table")));
    QVERIFY(tableInstanceName(QString()).size() > 8);
    // 63 bytes of UTF-8 at most: 55 for the name, whose last character is not split.
    const QString exact(55, QLatin1Char('a'));
    QCOMPARE(tableInstanceName(exact), exact + QStringLiteral("'s table"));
    const QString longer = QString(54, QLatin1Char('a')) + QString::fromUtf8("é");
    QCOMPARE(tableInstanceName(longer), QString(54, QLatin1Char('a')) + QStringLiteral("'s table"));
    const QString emoji = QString(52, QLatin1Char('a')) + QString::fromUtf8("😀");
    QCOMPARE(tableInstanceName(emoji), QString(52, QLatin1Char('a')) + QStringLiteral("'s table"));
    QCOMPARE(
        tableInstanceName(QString(51, QLatin1Char('a')) + QString::fromUtf8("😀")).toUtf8().size(),
        63);
}

QTEST_GUILESS_MAIN(TestTableLinks)
#include "tst_tablelinks.moc"
