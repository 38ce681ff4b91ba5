// SPDX-License-Identifier: MIT
// Seats during a game over loopback: a player who only watches for a while, the host switching
// another seat and removing a player and a spectator through the popup menus.
#include "game/clientconnection.h"
#include "table_helper.h"
#include "windows/gamestartdialog.h"
#include "windows/spylist.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

using namespace vrako;
using namespace vrako::tabletest;

namespace {

QAction* popupItem(Tchat& w, const char* name) {
    return w.board().seatPopup()->findChild<QAction*>(QLatin1String(name));
}

// Whether the seat's eyes show on the window exactly when watching, over the seat's name.
bool eyesMatch(Tchat& w, int seat, bool watching) {
    const QWidget* eyes = widget(w, QStringLiteral("image_watching%1").arg(seat));
    return eyes->isHidden() != watching &&
           w.board().nameLabel(seat)->geometry().contains(eyes->geometry());
}

} // namespace

class TestTableSeats : public QObject {
    Q_OBJECT
private slots:
    void watchingAndRemoval();
};

void TestTableSeats::watchingAndRemoval() {
    Lobby lobby;
    auto host = fastHost(lobby, 5);
    QTRY_COMPARE(host->game().myseat(), 1);
    TServer& server = *host->server();
    GameTable& t = table(*host);
    const quint16 port = server.port();

    auto bo = window(port, lobby.port());
    start(*bo, {"Bo", "127.0.0.1", "true"});
    QTRY_COMPARE(bo->game().myseat(), 2);
    auto cy = window(port, lobby.port());
    start(*cy, {"Cy", "127.0.0.1", "true"});
    QTRY_COMPARE(cy->game().myseat(), 3);
    // A connection that never logs in holds seat 4 while the spectator comes in.
    auto holder = std::make_unique<QTcpSocket>();
    holder->connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(server.connectionCount(), 4);
    auto eve = window(port, lobby.port());
    start(*eve, {"Eve", "127.0.0.1", "true"});
    QTRY_COMPARE(eve->game().myseat(), 5);
    holder.reset();
    QTRY_COMPARE(server.connectionCount(), 4);
    const std::vector<Tchat*> all = {host.get(), bo.get(), cy.get(), eve.get()};
    for (Tchat* w : all)
        QTRY_COMPARE(w->board().nameLabel(3)->text(), QStringLiteral("Cy"));

    host->gameStart()->setPlayToScore(QStringLiteral("30"));
    host->gameStart()->changebox(GameType::SameNumber);
    host->gameStart()->button_startClick();
    QTRY_VERIFY(t.state().gamerunning);

    // Bo only watches: the check mark waits for the server's answer.
    QAction* boWatch = bo->action("JustWatch1");
    boWatch->trigger();
    QVERIFY(!boWatch->isChecked());
    QTRY_VERIFY(boWatch->isChecked());
    QVERIFY(t.player(2).watching);
    for (Tchat* w : all) {
        QTRY_VERIFY(eyesMatch(*w, 2, true));
        QTRY_VERIFY(chatText(*w).contains(QStringLiteral("Bo is just watching")));
    }

    // The computer plays Bo's seat; Bo's window loses each card it plays.
    int deletes = 0;
    int boPlays = 0;
    QObject context;
    connect(&bo->connection(), &ClientConnection::messageReceived, &context,
            [&](const std::string& m) {
                deletes += m.starts_with("CMD_setdeletecard+2+");
                boPlays += m.starts_with("CMD_playcard+2+");
            });
    const std::vector<Tchat*> people = {host.get(), cy.get()};
    for (int turns = 0; deletes < 3; ++turns) {
        QVERIFY2(turns < 300, "the computer never plays the watching seat");
        Tchat* ready = nextTurn(people, all, t);
        QVERIFY(ready);
        QString why;
        QTRY_VERIFY2(handMatches(*bo, t, &why), qPrintable(why));
        QVERIFY(bo->game().pendingcard() == 0);
        playPlainTurn(*ready, t);
    }
    QCOMPARE(boPlays, deletes);

    // And plays again.
    boWatch->trigger();
    QVERIFY(boWatch->isChecked());
    QTRY_VERIFY(!boWatch->isChecked());
    QVERIFY(!t.player(2).watching);
    for (Tchat* w : all) {
        QTRY_VERIFY(eyesMatch(*w, 2, false));
        QTRY_VERIFY(chatText(*w).contains(QStringLiteral("Bo now playing again")));
    }

    // The seat popup: all items only for a person's seat in the host's window.
    QTRY_COMPARE(host->board().nameLabel(4)->text(), QStringLiteral("Kling"));
    host->board().label_name2ContextPopup(4);
    for (const char* item : {"RemoveFromGame1", "SettoJustWatch1", "UnsettoJustWatch1"})
        QVERIFY(!popupItem(*host, item)->isEnabled());
    bo->board().label_name2ContextPopup(3);
    for (const char* item : {"RemoveFromGame1", "SettoJustWatch1", "UnsettoJustWatch1"})
        QVERIFY(!popupItem(*bo, item)->isEnabled());
    QVERIFY(!bo->spyList()->removeAction()->isEnabled());

    // A right click on Cy's name opens it with all items, and the host sets Cy to watch.
    QLabel* cyLabel = host->board().nameLabel(3);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                cyLabel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(cyLabel, &menuEvent);
    QCOMPARE(host->board().popupSeat(), 3);
    QTRY_VERIFY(host->board().seatPopup()->isVisible());
    for (const char* item : {"RemoveFromGame1", "SettoJustWatch1", "UnsettoJustWatch1"})
        QVERIFY(popupItem(*host, item)->isEnabled());
    popupItem(*host, "SettoJustWatch1")->trigger();
    host->board().seatPopup()->close();
    QAction* cyWatch = cy->action("JustWatch1");
    QTRY_VERIFY(cyWatch->isChecked());
    QVERIFY(t.player(3).watching);
    for (Tchat* w : all)
        QTRY_VERIFY(eyesMatch(*w, 3, true));
    QVERIFY(!bo->action("JustWatch1")->isChecked());

    host->board().label_name2ContextPopup(3);
    popupItem(*host, "UnsettoJustWatch1")->trigger();
    QTRY_VERIFY(!cyWatch->isChecked());
    QVERIFY(!t.player(3).watching);
    for (Tchat* w : all)
        QTRY_VERIFY(eyesMatch(*w, 3, false));

    // The host removes Cy: Cy is told, the window closes and the seat goes back to the computer.
    host->board().label_name2ContextPopup(3);
    popupItem(*host, "RemoveFromGame1")->trigger();
    QCOMPARE(acceptMessage(*cy), QStringLiteral("The host removed you from the game."));
    QTRY_VERIFY(!cy->isVisible());
    for (Tchat* w : {host.get(), bo.get(), eve.get()}) {
        QTRY_COMPARE(w->board().nameLabel(3)->text(), QStringLiteral("Klitz"));
        QTRY_VERIFY(chatText(*w).contains(QStringLiteral("Cy disconnected.")));
    }
    QVERIFY(t.isComputerPlayed(3));

    // The host removes the spectator through the spy list's popup.
    SpyList* spies = host->spyList();
    QVERIFY(spies->removeAction()->isEnabled());
    QCOMPARE(spies->entries(), QStringList{"5: Eve"});
    QCOMPARE(bo->spyList()->entries(), QStringList{"5: Eve"});
    spies->setHoveredIndex(-1);
    spies->removeAction()->trigger();
    QTest::qWait(100);
    QVERIFY(eve->isVisible());
    spies->setHoveredIndex(0);
    spies->removeAction()->trigger();
    QCOMPARE(acceptMessage(*eve), QStringLiteral("The host removed you from the game."));
    QTRY_VERIFY(!eve->isVisible());
    QTRY_VERIFY(spies->entries().isEmpty());
    QTRY_VERIFY(bo->spyList()->entries().isEmpty());
    for (Tchat* w : {host.get(), bo.get()})
        QTRY_VERIFY(chatText(*w).contains(QStringLiteral("Eve has left.")));
    QCOMPARE(server.connectionCount(), 2);

    // The game goes on with the two people left.
    const std::vector<Tchat*> left = {host.get(), bo.get()};
    for (int turns = 0; turns < 4; ++turns) {
        Tchat* ready = nextTurn(left, left, t);
        QVERIFY(ready);
        QString why;
        for (Tchat* w : left)
            QTRY_VERIFY2(fansMatch(*w, t, &why), qPrintable(why));
        playPlainTurn(*ready, t);
    }

    eve.reset();
    cy.reset();
    bo.reset();
}

QTEST_MAIN(TestTableSeats)
#include "tst_tableseats.moc"
