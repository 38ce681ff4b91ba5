// SPDX-License-Identifier: MIT
// "Host or Join a Game...": the command line of both choices, its settings keys and the restart,
// and its list of games where no Avahi daemon can be reached.
#include "windows/hostjoindialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace vrako;

class TestHostJoinDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandLines();
    void settingsAndStart();
    void withoutAvahi();

private:
    QTemporaryDir m_dir;
};

void TestHostJoinDialog::initTestCase() {
    // No system bus at all (the D-Bus library reads the address once, before the first use).
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + m_dir.filePath("no-bus").toUtf8());
}

void TestHostJoinDialog::commandLines() {
    HostJoinDialog d;
    auto* ok = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(!ok->isEnabled());
    QCOMPARE(d.arguments(), QStringList());
    QTest::keyClicks(d.findChild<QLineEdit*>(QStringLiteral("edit_name")),
                     QStringLiteral(" Ann Lee "));
    QVERIFY(ok->isEnabled());
    QCOMPARE(d.arguments(), (QStringList{QStringLiteral("Ann Lee"), QStringLiteral("127.0.0.1"),
                                         QStringLiteral("false")}));

    d.findChild<QRadioButton*>(QStringLiteral("radio_join"))->click();
    QVERIFY(!ok->isEnabled()); // joining needs an address
    auto* address = d.findChild<QLineEdit*>(QStringLiteral("edit_address"));
    QTest::keyClicks(address, QStringLiteral("game box.lan"));
    QCOMPARE(address->text(), QStringLiteral("gamebox.lan")); // no spaces in an address
    QVERIFY(ok->isEnabled());
    QCOMPARE(d.arguments(), (QStringList{QStringLiteral("Ann Lee"), QStringLiteral("gamebox.lan"),
                                         QStringLiteral("true")}));
    address->clear();
    QTest::keyClicks(address, QStringLiteral("fe80::1%eth0"));
    QCOMPARE(d.arguments().value(1), QStringLiteral("fe80::1%eth0"));

    // A port with the address is passed on, unless it is the game port; one out of range makes
    // no address.
    address->setText(QStringLiteral("gamebox.lan:7800"));
    QCOMPARE(d.arguments(), (QStringList{QStringLiteral("Ann Lee"), QStringLiteral("gamebox.lan"),
                                         QStringLiteral("true"), QStringLiteral("7800")}));
    address->setText(QStringLiteral("[fd00::2]:7772"));
    QCOMPARE(d.arguments(), (QStringList{QStringLiteral("Ann Lee"), QStringLiteral("fd00::2"),
                                         QStringLiteral("true")}));
    address->setText(QStringLiteral("gamebox.lan:65536"));
    QVERIFY(!ok->isEnabled());
    d.setJoinTarget(QStringLiteral("10.0.0.9"), 7801);
    QCOMPARE(address->text(), QStringLiteral("10.0.0.9:7801"));

    // Typing an address chooses joining.
    d.setJoining(false);
    QTest::keyClicks(address, QStringLiteral("2"));
    QVERIFY(d.isJoining());

    // The note names the port the game really uses.
    auto* note = d.findChild<QLabel*>(QStringLiteral("label_note"));
    QVERIFY(note->text().contains(QStringLiteral("port 7772 ")));
    d.setPort(7800);
    QVERIFY2(note->text().contains(QStringLiteral("port 7800 ")), qPrintable(note->text()));
}

void TestHostJoinDialog::settingsAndStart() {
    QMap<QString, QString> settings{{QStringLiteral("Lastname"), QStringLiteral("Bo")},
                                    {QStringLiteral("Lastaddress"), QStringLiteral("10.0.0.7")}};
    HostJoinDialog d;
    d.readSettings([&](const QString& key) { return settings.value(key); });
    QCOMPARE(d.lastName(), QStringLiteral("Bo"));
    QCOMPARE(d.lastAddress(), QStringLiteral("10.0.0.7"));
    // A stored address that is no address is not offered.
    settings[QStringLiteral("Lastaddress")] = QStringLiteral("x; rm -rf /");
    d.readSettings([&](const QString& key) { return settings.value(key); });
    QCOMPARE(d.lastAddress(), QString());

    d.setLastName(QStringLiteral("Cy"));
    d.setLastAddress(QStringLiteral("192.168.1.20"));
    d.setJoining(true);
    QMap<QString, QString> written;
    d.writeSettings([&](const QString& key, const QString& value) { written[key] = value; });
    QCOMPARE(written, (QMap<QString, QString>{
                          {QStringLiteral("Lastname"), QStringLiteral("Cy")},
                          {QStringLiteral("Lastaddress"), QStringLiteral("192.168.1.20")}}));

    QString program;
    QStringList args;
    d.setStarter([&](const QString& p, const QStringList& a) {
        program = p;
        args = a;
        return true;
    });
    QVERIFY(d.startGame());
    QCOMPARE(program, QCoreApplication::applicationFilePath());
    QCOMPARE(args, (QStringList{QStringLiteral("Cy"), QStringLiteral("192.168.1.20"),
                                QStringLiteral("true")}));
    d.setLastName(QString());
    QVERIFY(!d.startGame());
}

void TestHostJoinDialog::withoutAvahi() {
    QElapsedTimer clock;
    clock.start();
    HostJoinDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QVERIFY(clock.elapsed() < 5000); // a wait on D-Bus would take its 25 s
    QCOMPARE(d.findChild<QLabel*>(QStringLiteral("label_tables"))->text(),
             QStringLiteral("Looking for games on this network needs the Avahi service, which "
                            "is not running."));
    QVERIFY(d.tableList()->isHidden());
    // The rest works as ever.
    d.setLastName(QStringLiteral("Ann"));
    d.setLastAddress(QStringLiteral("10.0.0.7"));
    d.setJoining(true);
    QVERIFY(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
}

QTEST_MAIN(TestHostJoinDialog)
#include "tst_hostjoindialog.moc"
