// SPDX-License-Identifier: MIT
// The computer players' choices on fixed hands with a scripted random source.
#include "logic_helper.h"
#include "net/messages.h"

#include <QTest>

using namespace vrako;
using namespace vrako::test;

namespace {
// Seat 1 is a person; seat 2, without a connection, is played by the computer and on turn.
void prepare(LogicRig& rig, int topcard, char type, std::initializer_list<int> hand) {
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = 2;
    st.topcard = topcard;
    st.gametype = static_cast<GameType>(type);
    for (int s = 1; s <= 4; ++s)
        rig.setHand(s, {30, 31, 32});
    rig.setHand(2, hand);
    rig.host.clear();
}
} // namespace

class TestComputer : public QObject {
    Q_OBJECT
private slots:
    void choices_data();
    void choices();
    void drawsUntilThirteen();
    void watchingSeatIsPlayedForItsOwner();
    void doubleByComputerKeepsItsTimer();
};

void TestComputer::choices_data() {
    QTest::addColumn<QList<int>>("hand");
    QTest::addColumn<int>("topcard");
    QTest::addColumn<char>("type");
    QTest::addColumn<QList<int>>("rolls");
    QTest::addColumn<int>("playedSlot"); // 0: the computer drew
    QTest::addColumn<int>("wildColour");

    const QList<int> specials{0, 4, 9, 10};
    QTest::newRow("vrako on a roll of 6") << specials << 35 << 's' << QList<int>{6} << 1 << 0;
    QTest::newRow("vrako declined, bomb taken")
        << specials << 35 << 's' << QList<int>{5, 9} << 2 << 0;
    QTest::newRow("reverse after vrako and bomb")
        << QList<int>{0, 4, 1, 30} << 35 << 's' << QList<int>{0, 0, 9} << 3 << 0;
    QTest::newRow("colour tries the double first")
        << QList<int>{3, 9, 30} << 5 << 's' << QList<int>{6} << 1 << 0;
    QTest::newRow("colour when the double is declined")
        << QList<int>{3, 9, 30} << 5 << 's' << QList<int>{5} << 2 << 0;
    QTest::newRow("colour after a wild")
        << QList<int>{30, 21} << 54 << 's' << QList<int>{} << 2 << 0;
    QTest::newRow("number, one more") << QList<int>{30, 40} << 5 << 'd' << QList<int>{} << 1 << 0;
    QTest::newRow("number, same face")
        << QList<int>{31, 42, 30} << 6 << 's' << QList<int>{} << 2 << 0;
    QTest::newRow("no number after a wild")
        << QList<int>{31, 30, 32} << 53 << 'd' << QList<int>{} << 0 << 0;
    QTest::newRow("bomb read as face 12")
        << QList<int>{4, 30, 31} << 16 << 's' << QList<int>{0} << 1 << 0;
    QTest::newRow("wild names the first colour")
        << QList<int>{2, 32} << 5 << 's' << QList<int>{} << 1 << 55;
    QTest::newRow("wild with no colour names blue")
        << QList<int>{2, 3} << 5 << 's' << QList<int>{} << 1 << 53;
    QTest::newRow("double after the wild is missing")
        << QList<int>{3, 31, 43} << 5 << 's' << QList<int>{7} << 1 << 0;
    QTest::newRow("second vrako try")
        << QList<int>{0, 1, 30, 31, 42} << 5 << 's' << QList<int>{0, 0, 8} << 1 << 0;
    QTest::newRow("second reverse try")
        << QList<int>{0, 1, 30, 31, 42} << 5 << 's' << QList<int>{0, 0, 0, 7} << 2 << 0;
    QTest::newRow("all declined: draw")
        << QList<int>{0, 1, 30, 31, 42} << 5 << 's' << QList<int>{0, 0, 0, 0, 30} << 0 << 0;
    QTest::newRow("two cards: reverse always")
        << QList<int>{1, 30} << 5 << 's' << QList<int>{0} << 1 << 0;
}

void TestComputer::choices() {
    QFETCH(QList<int>, hand);
    QFETCH(int, topcard);
    QFETCH(char, type);
    QFETCH(QList<int>, rolls);
    QFETCH(int, playedSlot);
    QFETCH(int, wildColour);
    LogicRig rig(1);
    prepare(rig, topcard, type, {});
    PlayerRecord& seat = rig.table().setupPlayer(2);
    for (int i = 0; i < hand.size(); ++i)
        seat.cards[i + 1] = hand[i];
    seat.cardcount = int(hand.size());
    for (int r : rolls)
        rig.random.script.push_back(r);

    rig.logic.computerTimerFired();
    QVERIFY(rig.random.script.empty());
    QVERIFY(!rig.random.outOfRange);
    const auto seen = rig.host.to(1);
    if (playedSlot == 0) {
        QCOMPARE(seat.cardcount, hand.size() + 1);
        QCOMPARE(seen, std::vector<std::string>{msg::cardcount(2, int(hand.size() + 1))});
        QVERIFY(rig.host.computerArmed);
        QCOMPARE(rig.host.computerMs, 500);
        return;
    }
    QCOMPARE(seat.cards[playedSlot], card::kEmpty);
    QCOMPARE(seen.at(0), msg::playcardAll(2, hand[playedSlot - 1]));
    if (wildColour) {
        QCOMPARE(seen.at(1), msg::playwild(wildColour));
        QCOMPARE(rig.table().state().topcard, wildColour);
    }
}

void TestComputer::drawsUntilThirteen() {
    LogicRig rig(1);
    prepare(rig, 5, 's', {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 42});
    rig.random.push({43});
    rig.logic.computerTimerFired();
    QCOMPARE(rig.table().player(2).cardcount, 13);
    QCOMPARE(rig.table().state().currentseat, 2);
    QVERIFY(rig.host.computerArmed);
    QCOMPARE(rig.host.computerMs, 500);

    rig.host.clear();
    rig.logic.computerTimerFired();
    QCOMPARE(rig.host.to(1),
             (std::vector<std::string>{msg::nomorecards(2), msg::nextplayer(3, 'l')}));
    QCOMPARE(rig.table().state().currentseat, 3);
    QVERIFY(rig.host.computerArmed); // seat 3 is the computer's too
}

void TestComputer::watchingSeatIsPlayedForItsOwner() {
    LogicRig rig(5);
    prepare(rig, 35, 's', {});
    rig.setHand(2, {41, 47});
    rig.deliver(3, msg::justwatch(2, 1)); // not the owner, not the host
    QVERIFY(!rig.table().player(2).watching);
    rig.deliver(2, msg::justwatch(2, 1));
    QVERIFY(rig.table().player(2).watching);
    QVERIFY(rig.host.computerArmed);
    QCOMPARE(rig.host.computerMs, 500);
    rig.host.clear();
    rig.logic.computerTimerFired();
    const auto own = rig.host.to(2);
    QCOMPARE(own.at(0), msg::setdeletecard(2, 2));
    QCOMPARE(own.at(1), msg::playcardAll(2, 47));
    QVERIFY(rig.host.to(5).at(0) != msg::setdeletecard(2, 2));

    // A refused card of a watching seat stays on the player's display, and the computer
    // still plays the turn.
    rig.table().setupState().currentseat = 2;
    rig.table().setupPlayer(2).cards[1] = 30;
    rig.table().setComputerRetry(250);
    rig.host.startComputerTimer(1000);
    rig.host.clear();
    rig.deliver(2, msg::playcard(2, 0, 1));
    QCOMPARE(rig.host.to(2), std::vector<std::string>{msg::nomatch()});
    QVERIFY(rig.host.computerArmed);
    QCOMPARE(rig.host.computerMs, 250);
    rig.logic.computerTimerFired();
    QCOMPARE(rig.table().player(2).cardcount, 2); // drew, as nothing follows
    QVERIFY(rig.host.computerArmed);

    // The host takes the seat back for the player.
    rig.deliver(1, msg::justwatch(2, 2));
    QVERIFY(!rig.table().player(2).watching);
    QCOMPARE(rig.host.to(5).back(), msg::justwatching(2, 2));
}

void TestComputer::doubleByComputerKeepsItsTimer() {
    LogicRig rig(1);
    prepare(rig, 35, 's', {3, 30, 31, 32});
    rig.random.push({9});
    rig.logic.computerTimerFired();
    QCOMPARE(rig.host.to(1).back(), msg::nextplayer(2, 'l'));
    QVERIFY(rig.host.computerArmed);
    QCOMPARE(rig.host.computerMs, 1000);
}

QTEST_APPLESS_MAIN(TestComputer)
#include "tst_computer.moc"
