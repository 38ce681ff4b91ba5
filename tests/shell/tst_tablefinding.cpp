// SPDX-License-Identifier: MIT
// A hosted table on the local network, through a real Avahi daemon: listed in Host or Join a
// Game... while it lasts, followed as players join, and joined from the list.
#include "server/tserver.h"
#include "shell/tchat.h"
#include "table_helper.h"
#include "tests/net/avahi_daemon_helper.h"
#include "windows/hostjoindialog.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using namespace vrako;
using namespace vrako::tabletest;
using vrako::testing::AvahiTestDaemon;

namespace {

QTreeWidgetItem* row(HostJoinDialog& dialog, const QString& table) {
    const QList<QTreeWidgetItem*> found = dialog.tableList()->findItems(table, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestTableFinding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VRAKO_START_AVAHI(m_daemon); }
    void hostedTableIsListedAndJoined();

private:
    AvahiTestDaemon m_daemon;
};

void TestTableFinding::hostedTableIsListedAndJoined() {
    Lobby lobby;
    // A name no other test that uses the same daemon announces.
    const QString name = QStringLiteral("Ann%1").arg(QCoreApplication::applicationPid());
    const QString table = name + QStringLiteral("'s table");
    HostJoinDialog watcher;
    QVERIFY(!watcher.tableList()->isHidden());

    QElapsedTimer clock;
    clock.start();
    auto host = window(0, lobby.port());
    host->processparams({name, "x", "false"});
    QTRY_VERIFY_WITH_TIMEOUT(row(watcher, table), 2000);
    qInfo("Listed %lld ms after the host started", clock.elapsed());
    const quint16 port = host->server()->port();
    QTRY_COMPARE(row(watcher, table)->text(2), QStringLiteral("1 of 4"));
    QCOMPARE(row(watcher, table)->text(3), QStringLiteral("waiting"));
    // A port other than the game port is shown with the address.
    QVERIFY(row(watcher, table)->text(1).endsWith(QLatin1Char(':') + QString::number(port)));
    QVERIFY(row(watcher, table)->icon(0).isNull()); // the same version

    // Another copy, which would join on the game port, double-clicks the table in its dialog:
    // the copy it starts joins on the table's port.
    auto other = window(kDefaultGamePort, lobby.port());
    other->action("HostOrJoin1")->trigger();
    auto* dialog = other->findChild<HostJoinDialog*>();
    QVERIFY(dialog);
    dialog->setLastName(QStringLiteral("Bo"));
    QStringList started;
    std::unique_ptr<Tchat> joiner;
    dialog->setStarter([&](const QString&, const QStringList& args) {
        started = args;
        joiner = window(kDefaultGamePort, lobby.port());
        joiner->processparams(args);
        return true;
    });
    QTRY_VERIFY(row(*dialog, table));
    QTreeWidget* list = dialog->tableList();
    const QRect at = list->visualItemRect(row(*dialog, table));
    // A double-click: the first press and release, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
    QCOMPARE(started.size(), 4);
    QCOMPARE(started.at(0), QStringLiteral("Bo"));
    QCOMPARE(started.at(2), QStringLiteral("true"));
    QCOMPARE(started.at(3), QString::number(port));
    QTRY_COMPARE(joiner->game().myseat(), 2);
    QTRY_COMPARE(host->board().nameLabel(2)->text(), QStringLiteral("Bo"));

    // The record follows the second player, and the table goes with the host.
    QTRY_COMPARE_WITH_TIMEOUT(row(watcher, table)->text(2), QStringLiteral("2 of 4"), 5000);
    joiner.reset();
    host.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!row(watcher, table), 5000);
}

QTEST_MAIN(TestTableFinding)
#include "tst_tablefinding.moc"
