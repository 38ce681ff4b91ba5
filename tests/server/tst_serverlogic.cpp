// SPDX-License-Identifier: MIT
// Logins and catch-up, relays, kicks, just watching, and messages that lie about their sender
// or carry numbers out of range, through the server logic without sockets.
#include "logic_helper.h"
#include "net/commands.h"
#include "net/messages.h"

#include <QTest>

using namespace vrako;
using namespace vrako::test;

using Msgs = std::vector<std::string>;

class TestServerLogic : public QObject {
    Q_OBJECT
private slots:
    void loginAnnouncements();
    void catchUpOfLateJoiner();
    void catchUpBetweenRounds();
    void seatBeforeLogin();
    void tenthConnectionIsFull();
    void namesCannotShiftFields();
    void relays();
    void kicks_data();
    void kicks();
    void leaverOnTurnPassesIt();
    void badMessagesChangeNothing_data();
    void badMessagesChangeNothing();
};

void TestServerLogic::loginAnnouncements() {
    LogicRig rig;
    rig.join("Host");
    QCOMPARE(rig.host.to(1), (Msgs{msg::sendlogininfo(1), msg::newplayerinfo(1, "Host")}));
    rig.host.clear();
    rig.join("Bo");
    rig.deliver(1, msg::justwatch(1, 1));
    rig.host.clear();
    const int r = rig.logic.placeConnection();
    QCOMPARE(r, 3);
    rig.logic.welcome(r);
    rig.deliver(3, msg::logininfo(3, "1.0.16", "Cy"));
    QCOMPARE(rig.host.to(3), (Msgs{msg::sendlogininfo(3), msg::newplayerinfo(3, "Cy"),
                                   msg::existingplayers({{1, "Host", true}, {2, "Bo", false}}),
                                   msg::wrongversion()}));
    QCOMPARE(rig.host.to(1), (Msgs{msg::newplayerinfo(3, "Cy"), msg::havewrongversion("Cy")}));
    QCOMPARE(rig.host.to(2), (Msgs{msg::newplayerinfo(3, "Cy")}));
}

void TestServerLogic::catchUpOfLateJoiner() {
    LogicRig rig(5);
    rig.random.push({0});
    rig.deliver(1, msg::startgame("P1", 20, GameType::SameNumber));
    rig.logic.connectionClosed(3);
    QCOMPARE(rig.host.to(5).back(), msg::playerdisconnected(3, "P3"));
    rig.setHand(3, {});
    PlayerRecord& seat = rig.table().setupPlayer(3);
    seat.cards[1] = 17;
    seat.cards[2] = 5;
    seat.cards[6] = 40;
    seat.cardcount = 3;
    rig.table().setupPlayer(4).score = 6;
    rig.host.clear();

    QCOMPARE(rig.join("Newcomer"), 3);
    const GameState& st = rig.table().state();
    QCOMPARE(
        rig.host.to(3),
        (Msgs{msg::sendlogininfo(3), msg::newplayerinfo(3, "Newcomer"),
              msg::existingplayers(
                  {{1, "P1", false}, {2, "P2", false}, {4, "P4", false}, {5, "P5", false}}),
              msg::gamestats(3, st.topcard, 20, GameType::SameNumber), msg::thescores({0, 0, 0, 6}),
              msg::cardcount(1, 5), msg::cardcount(2, 5), frame("CMD_thecards+3+1+17+2+5+6+40"),
              msg::cardcount(4, 5), msg::nextplayer(2, 'l')}));
}

void TestServerLogic::catchUpBetweenRounds() {
    LogicRig rig(5);
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = 0;
    st.gametype = GameType::OneMoreOrLess;
    rig.logic.connectionClosed(5);
    rig.host.clear();
    rig.join("Late");
    const Msgs got = rig.host.to(5);
    QCOMPARE(got.at(3), msg::gamestats(5, 5, 20, GameType::OneMoreOrLess));
    QCOMPARE(got.back(), msg::nextplayer(0, 'l'));
    QCOMPARE(got.size(), std::size_t(10)); // spectator: four counts, no hand
}

void TestServerLogic::seatBeforeLogin() {
    LogicRig rig(2);
    QCOMPARE(rig.logic.placeConnection(), 3);
    rig.logic.welcome(3);
    rig.join("P4");
    rig.join("P5");
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = 2;
    st.topcard = 35;
    for (int s = 1; s <= 4; ++s)
        rig.setHand(s, {35, 36, 37});
    rig.table().setupPlayer(2).cards[1] = card::kBomb;
    rig.host.clear();

    // Until its connection logs in, seat 3 is the computer's; the connection is told only what
    // everyone is told, not the penalty cards of its seat.
    rig.deliver(2, msg::playcard(2, 0, 1));
    QCOMPARE(st.currentseat, 3);
    QVERIFY(rig.host.computerArmed);
    QCOMPARE(rig.table().player(3).cardcount, 5);
    QCOMPARE(rig.host.to(3), rig.host.to(5));

    // The login hands over each card once.
    rig.host.clear();
    rig.deliver(3, msg::logininfo(3, cmd::version, "Late"));
    std::vector<std::pair<int, int>> held;
    for (int slot = 1; slot <= 5; ++slot)
        held.emplace_back(slot, rig.table().player(3).cards[slot]);
    const Msgs got = rig.host.to(3);
    QCOMPARE(std::count(got.begin(), got.end(), msg::thecards(3, held)), 1);
    QVERIFY(std::none_of(got.begin(), got.end(),
                         [](const std::string& m) { return m.starts_with("CMD_acard+"); }));

    // The computer's timer still runs out, but the seat is its player's now.
    rig.host.clear();
    rig.logic.computerTimerFired();
    QVERIFY(rig.host.sent.empty());
    QCOMPARE(st.currentseat, 3);
    QCOMPARE(rig.table().player(3).cardcount, 5);
}

void TestServerLogic::tenthConnectionIsFull() {
    LogicRig rig(9);
    QCOMPARE(rig.logic.placeConnection(), ServerLogic::kFullRecord);
    QVERIFY(rig.host.sent.empty());
    QCOMPARE(rig.logic.connectionCount(), 9);
    rig.logic.connectionClosed(2);
    rig.logic.connectionClosed(6);
    QCOMPARE(rig.logic.placeConnection(), 2);
    QCOMPARE(rig.logic.placeConnection(), 6);
    QCOMPARE(rig.logic.placeConnection(), ServerLogic::kFullRecord);
}

void TestServerLogic::namesCannotShiftFields() {
    LogicRig rig(1);
    rig.join("a+b\x01\x1f\x7f"
             "c");
    QCOMPARE(rig.table().player(2).name, std::string("a_b___c"));
    rig.logic.connectionClosed(2);
    QCOMPARE(rig.host.to(1).back(), msg::playerdisconnected(2, "a_b___c"));
    QCOMPARE(ServerLogic::cleanName("Zoë Ünal"), std::string("Zoë Ünal"));
    // Long names are cut at 64 characters, and bytes that are no UTF-8 at 256.
    std::string euros;
    for (int i = 0; i < 70; ++i)
        euros += "\u20AC";
    QCOMPARE(ServerLogic::cleanName(euros), euros.substr(0, 3 * 64));
    QCOMPARE(ServerLogic::cleanName(std::string(1000, '\x80')), std::string(256, '\x80'));
}

void TestServerLogic::relays() {
    LogicRig rig(6);
    rig.deliver(2, msg::chat(2, "1+1=2 :)", "clRed"));
    rig.deliver(6, msg::action(6, "waves + smiles", "$00FF0000"));
    rig.deliver(3, msg::playasound(3, 4));
    rig.deliver(3, msg::chat(2, "spoofed", "clRed"));
    rig.deliver(3, msg::playasound(4, 1));
    for (int r = 1; r <= 6; ++r) {
        QCOMPARE(rig.host.to(r), (Msgs{frame("CMD_chat+2+P2 chats: 1+1=2 :)|clRed"),
                                       frame("CMD_action+6+P6 waves + smiles|$00FF0000"),
                                       frame("CMD_playasound+3+wave4+")}));
    }
}

void TestServerLogic::kicks_data() {
    QTest::addColumn<int>("connection");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("kicked");
    QTest::newRow("host kicks 3") << 1 << QByteArray("CMD_kickhim+1+3+") << true;
    QTest::newRow("host kicks spectator") << 1 << QByteArray("CMD_kickhim+1+5+") << true;
    QTest::newRow("player claims to be host") << 2 << QByteArray("CMD_kickhim+1+3+") << false;
    QTest::newRow("host sends other sender") << 1 << QByteArray("CMD_kickhim+2+3+") << false;
    QTest::newRow("target absent") << 1 << QByteArray("CMD_kickhim+1+7+") << false;
    QTest::newRow("target 0") << 1 << QByteArray("CMD_kickhim+1+0+") << false;
    QTest::newRow("target 10") << 1 << QByteArray("CMD_kickhim+1+10+") << false;
    QTest::newRow("target text") << 1 << QByteArray("CMD_kickhim+1+x+") << false;
}

void TestServerLogic::kicks() {
    QFETCH(int, connection);
    QFETCH(QByteArray, message);
    QFETCH(bool, kicked);
    LogicRig rig(5);
    rig.logic.handleMessage(connection, message.toStdString());
    QCOMPARE(rig.host.closed.empty(), !kicked);
    if (kicked) {
        const int target = rig.host.closed.front();
        QVERIFY(!rig.table().player(target).connected);
        QCOMPARE(rig.host.to(1).back(),
                 msg::playerdisconnected(target, "P" + std::to_string(target)));
    }
}

void TestServerLogic::leaverOnTurnPassesIt() {
    LogicRig rig(5);
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = 3;
    rig.logic.connectionClosed(3);
    QCOMPARE(rig.host.to(5), (Msgs{msg::playerdisconnected(3, "P3"), msg::nextplayer(4, 'l')}));
    QCOMPARE(rig.host.to(3), Msgs{});
    QVERIFY(!rig.host.computerArmed);
    // A second report of the same close changes nothing.
    rig.host.clear();
    rig.logic.connectionClosed(3);
    QVERIFY(rig.host.sent.empty());
}

void TestServerLogic::badMessagesChangeNothing_data() {
    QTest::addColumn<int>("connection");
    QTest::addColumn<QByteArray>("message");
    auto row = [](const char* name, int c, const char* m) {
        QTest::newRow(name) << c << QByteArray(m);
    };
    row("login for another record", 2, "CMD_logininfo+3+1.0.17+Mallory");
    row("login without number", 2, "CMD_logininfo+two+1.0.17+Mallory");
    row("chat for another record", 2, "CMD_chat+1+hi|clRed");
    row("chat record out of range", 2, "CMD_chat+12+hi|clRed");
    row("chat huge number", 2, "CMD_chat+99999999999999+hi");
    row("chat negative", 2, "CMD_chat+-2+hi");
    row("start by a player", 2, "CMD_startgame+P2+20+s+");
    row("start without score", 1, "CMD_startgame+P1+twenty+s+");
    row("play not on turn", 2, "CMD_playcard+2+0+1");
    row("play for the seat on turn", 2, "CMD_playcard+3+0+1");
    row("play slot 0", 3, "CMD_playcard+3+0+0");
    row("play slot 15", 3, "CMD_playcard+3+0+15");
    row("play slot text", 3, "CMD_playcard+3+0+one");
    row("play missing fields", 3, "CMD_playcard+3");
    row("draw for another seat", 2, "CMD_drawcard+3");
    row("draw garbage", 3, "CMD_drawcard+3x");
    row("watch another seat", 2, "CMD_justwatch+3+1");
    row("watch seat 5", 5, "CMD_justwatch+5+1");
    row("watch seat 0", 1, "CMD_justwatch+0+1");
    row("watch odd mode", 3, "CMD_justwatch+3+7");
    row("watch mode text", 3, "CMD_justwatch+3+on");
    row("sound for another record", 2, "CMD_playasound+4+wave1+");
    row("sound from a spectator", 5, "CMD_playasound+5+wave1+");
    row("unknown word", 1, "CMD_sleep+1");
    row("no plus", 1, "CMD_chat");
    row("empty", 1, "");
    row("binary", 1, "\x01\x02\x03+\x04");
    row("not connected sender", 7, "CMD_chat+7+hi|clRed");
    row("sender out of range", 42, "CMD_chat+42+hi|clRed");
}

void TestServerLogic::badMessagesChangeNothing() {
    QFETCH(int, connection);
    QFETCH(QByteArray, message);
    LogicRig rig(5);
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = 3;
    st.topcard = 35;
    for (int s = 1; s <= 4; ++s)
        rig.setHand(s, {35, 36, 37});
    rig.logic.handleMessage(connection, message.toStdString());
    QVERIFY(rig.host.sent.empty());
    QVERIFY(rig.host.closed.empty());
    QVERIFY(!rig.host.computerArmed);
    QCOMPARE(st.currentseat, 3);
    for (int s = 1; s <= 4; ++s) {
        QCOMPARE(rig.table().player(s).cardcount, 3);
        QVERIFY(!rig.table().player(s).watching);
        QCOMPARE(rig.table().player(s).name, "P" + std::to_string(s));
    }
}

QTEST_APPLESS_MAIN(TestServerLogic)
#include "tst_serverlogic.moc"
