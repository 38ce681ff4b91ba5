// SPDX-License-Identifier: MIT
// Plays, draws, rounds and scoring through the game logic, checked byte by byte.
#include "logic_helper.h"
#include "net/messages.h"

#include <QTest>

using namespace vrako;
using namespace vrako::test;

using Sent = std::vector<std::pair<int, std::string>>;

namespace {
// The same message to each of records 1..n.
void toAll(Sent& out, int n, const std::string& bytes) {
    for (int r = 1; r <= n; ++r)
        out.emplace_back(r, bytes);
}

// A rig with four seated players and one spectator, seat on turn, the given current card.
void prepare(LogicRig& rig, int seat, int topcard, char type) {
    GameState& st = rig.table().setupState();
    st.gamerunning = true;
    st.currentseat = seat;
    st.topcard = topcard;
    st.gametype = static_cast<GameType>(type);
    st.playtoscore = 20;
    for (int s = 1; s <= 4; ++s)
        rig.setHand(s, {9, 10, 11});
    rig.host.clear();
}
} // namespace

class TestGameTable : public QObject {
    Q_OBJECT
private slots:
    void colouredPlayOrder();
    void doubleKeepsTurn();
    void wildOrder();
    void refusals_data();
    void refusals();
    void playsFromOthersIgnored();
    void vrakoFillsAtMostThirteen();
    void bombAsLastCardCounts();
    void reverseBySeat2();
    void scoring_data();
    void scoring();
    void drawing();
    void startgameDealsAndStopsTimers();
    void newRoundGoesToSeatsOnly();
};

void TestGameTable::colouredPlayOrder() {
    LogicRig rig(5);
    prepare(rig, 2, 35, 's');
    rig.setHand(2, {47, 9});
    rig.deliver(2, msg::playcard(2, 0, 1));
    Sent expected;
    toAll(expected, 5, msg::playcardAll(2, 47));
    toAll(expected, 5, msg::cardcount(2, 1));
    toAll(expected, 5, msg::nextplayer(3, 'l'));
    QCOMPARE(rig.host.sent, expected);
    QCOMPARE(rig.table().state().topcard, 47);
    QCOMPARE(rig.table().player(2).cards[1], card::kEmpty);
    QVERIFY(!rig.host.computerArmed);
}

void TestGameTable::doubleKeepsTurn() {
    LogicRig rig(5);
    prepare(rig, 2, 35, 's');
    rig.setHand(2, {9, 3, 10});
    rig.deliver(2, msg::playcard(2, 0, 2));
    Sent expected;
    for (int r = 1; r <= 5; ++r) {
        expected.emplace_back(r, msg::playcardAll(2, 3));
        expected.emplace_back(r, msg::cardcount(2, 2));
    }
    toAll(expected, 5, msg::nextplayer(2, 'l'));
    QCOMPARE(rig.host.sent, expected);
    QCOMPARE(rig.table().state().topcard, 35);
    QCOMPARE(rig.table().state().currentseat, 2);
}

void TestGameTable::wildOrder() {
    LogicRig rig(5);
    prepare(rig, 4, 35, 'd');
    rig.setHand(4, {9, 2});
    rig.deliver(4, msg::playcard(4, 55, 2));
    Sent expected;
    for (int r = 1; r <= 5; ++r) {
        expected.emplace_back(r, msg::playcardAll(4, 2));
        expected.emplace_back(r, msg::playwild(55));
        expected.emplace_back(r, msg::cardcount(4, 1));
    }
    toAll(expected, 5, msg::nextplayer(1, 'l'));
    QCOMPARE(rig.host.sent, expected);
    QCOMPARE(rig.table().state().topcard, 55);
}

void TestGameTable::refusals_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("slot");
    QTest::newRow("no match") << 0 << 1;
    QTest::newRow("empty slot") << 0 << 5;
    QTest::newRow("slot 14") << 0 << 14;
    QTest::newRow("wild without colour") << 0 << 2;
    QTest::newRow("wild naming a card") << 9 << 2;
    QTest::newRow("wild colour 57") << 57 << 2;
}

void TestGameTable::refusals() {
    QFETCH(int, colour);
    QFETCH(int, slot);
    LogicRig rig(5);
    prepare(rig, 3, 35, 's');
    rig.setHand(3, {48, 2, 9});
    const Hand before = rig.table().player(3).cards;
    rig.deliver(3, msg::playcard(3, colour, slot));
    QCOMPARE(rig.host.sent, (Sent{{3, msg::nomatch()}}));
    QVERIFY(rig.table().player(3).cards == before);
    QCOMPARE(rig.table().player(3).cardcount, 3);
    QCOMPARE(rig.table().state().currentseat, 3);
    QCOMPARE(rig.table().state().topcard, 35);
}

void TestGameTable::playsFromOthersIgnored() {
    LogicRig rig(5);
    prepare(rig, 3, 35, 's');
    rig.setHand(2, {35});
    rig.deliver(2, msg::playcard(2, 0, 1)); // not on turn
    rig.deliver(2, msg::drawcard(2));
    rig.deliver(2, msg::playcard(3, 0, 1)); // someone else's seat
    rig.deliver(2, msg::drawcard(3));
    rig.deliver(3, "CMD_playcard+3+0+x\xFF"); // not a number
    rig.deliver(3, "CMD_playcard+3+0+99999\xFF");
    rig.deliver(3, "CMD_playcard+3\xFF");
    rig.table().setupState().currentseat = 0; // between rounds
    rig.deliver(3, msg::drawcard(3));
    QVERIFY(rig.host.sent.empty());
    QCOMPARE(rig.table().player(3).cardcount, 3);
}

void TestGameTable::vrakoFillsAtMostThirteen() {
    LogicRig rig(5);
    prepare(rig, 1, 35, 's');
    rig.setHand(1, {0, 9});
    rig.setHand(2, {5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    rig.random.push({5, 20, 21, 22}); // nine cards wanted, three fit
    rig.deliver(1, msg::playcard(1, 0, 1));
    QCOMPARE(rig.table().player(2).cardcount, 13);
    QCOMPARE(rig.table().player(2).cards[13], 22);
    QVERIFY(rig.random.script.empty());
    QVERIFY(!rig.random.outOfRange);
    const std::vector<std::string> expected{msg::playcardAll(1, 0), msg::cardcount(1, 1),
                                            msg::acard(2, 11, 20),  msg::cardcount(2, 11),
                                            msg::acard(2, 12, 21),  msg::cardcount(2, 12),
                                            msg::acard(2, 13, 22),  msg::cardcount(2, 13),
                                            msg::vrako(),           msg::nextplayer(2, 'l')};
    QCOMPARE(rig.host.to(2), expected);
    // The spectator sees the counts but never the cards or the penalty notice.
    const std::vector<std::string> spectator{msg::playcardAll(1, 0), msg::cardcount(1, 1),
                                             msg::cardcount(2, 11),  msg::cardcount(2, 12),
                                             msg::cardcount(2, 13),  msg::nextplayer(2, 'l')};
    QCOMPARE(rig.host.to(5), spectator);
}

void TestGameTable::bombAsLastCardCounts() {
    LogicRig rig(5);
    prepare(rig, 3, 35, 's');
    rig.setHand(3, {4});
    rig.setHand(1, {9});
    rig.setHand(2, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    rig.setHand(4, {});
    rig.random.push({10, 11, 12, 13, 14, 15});
    rig.deliver(3, msg::playcard(3, 0, 1));
    const GameState& st = rig.table().state();
    QCOMPARE(st.currentseat, 0);
    QCOMPARE(rig.table().player(1).score, 3);
    QCOMPARE(rig.table().player(2).score, 13); // only one of the two fitted
    QCOMPARE(rig.table().player(4).score, 2);
    QCOMPARE(rig.table().player(3).score, 0);
    const std::vector<std::string> tail{msg::bomb(), msg::thescores({3, 13, 0, 2}), msg::winner(3)};
    const auto got = rig.host.to(4);
    QCOMPARE(std::vector<std::string>(got.end() - 3, got.end()), tail);
    QVERIFY(rig.host.roundArmed);
    QCOMPARE(rig.host.roundMs, 10000);
}

void TestGameTable::reverseBySeat2() {
    LogicRig rig(4);
    prepare(rig, 2, 35, 's');
    rig.setHand(2, {1, 9});
    rig.deliver(2, msg::playcard(2, 0, 1));
    QCOMPARE(rig.host.to(3).back(), msg::nextplayer(1, 'r'));
    QCOMPARE(rig.table().state().currentseat, 1);
    QVERIFY(rig.table().state().direction);
}

void TestGameTable::scoring_data() {
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("winner");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<int>("gameWinner");
    QTest::newRow("2 5 0 7") << QList<int>{0, 0, 0, 0} << QList<int>{2, 5, 1, 7} << 3
                             << QList<int>{2, 5, 0, 7} << 0;
    QTest::newRow("winner floors at 0")
        << QList<int>{0, 0, 3, 0} << QList<int>{1, 1, 1, 1} << 3 << QList<int>{1, 1, 0, 1} << 0;
    QTest::newRow("tie for lowest goes on") << QList<int>{20, 4, 14, 29} << QList<int>{1, 5, 1, 1}
                                            << 3 << QList<int>{21, 9, 9, 30} << 0;
    QTest::newRow("seat 2 wins") << QList<int>{20, 13, 4, 29} << QList<int>{1, 1, 5, 1} << 2
                                 << QList<int>{21, 8, 9, 30} << 2;
}

void TestGameTable::scoring() {
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, counts);
    QFETCH(int, winner);
    QFETCH(QList<int>, after);
    QFETCH(int, gameWinner);
    LogicRig rig(5);
    prepare(rig, winner, 35, 's');
    for (int s = 1; s <= 4; ++s) {
        PlayerRecord& p = rig.table().setupPlayer(s);
        p.score = before[s - 1];
        p.cards = emptyHand();
        for (int i = 1; i <= counts[s - 1]; ++i)
            p.cards[i] = 30;
        p.cardcount = counts[s - 1];
    }
    rig.table().setupPlayer(winner).cards[1] = 29;
    rig.deliver(winner, msg::playcard(winner, 0, 1));
    std::vector<std::string> tail{msg::thescores({after[0], after[1], after[2], after[3]}),
                                  msg::winner(winner)};
    if (gameWinner)
        tail.push_back(msg::wingame(gameWinner));
    const auto got = rig.host.to(5);
    QCOMPARE(std::vector<std::string>(got.end() - qsizetype(tail.size()), got.end()), tail);
    QCOMPARE(rig.table().state().gamerunning, gameWinner == 0);
    QCOMPARE(rig.host.roundArmed, gameWinner == 0);
    QCOMPARE(rig.table().state().currentseat, 0);
    // Nothing is played while nobody is on turn.
    rig.host.clear();
    rig.deliver(1, msg::drawcard(1));
    QVERIFY(rig.host.sent.empty());
}

void TestGameTable::drawing() {
    LogicRig rig(5);
    prepare(rig, 1, 35, 's');
    rig.table().setupPlayer(1).cards[2] = card::kEmpty;
    rig.table().setupPlayer(1).cardcount = 2;
    rig.random.push({40});
    rig.deliver(1, msg::drawcard(1));
    Sent expected{{1, msg::acard(1, 2, 40)}};
    toAll(expected, 5, msg::cardcount(1, 3));
    expected.emplace_back(1, msg::goplay());
    QCOMPARE(rig.host.sent, expected);
    QCOMPARE(rig.table().state().currentseat, 1);

    rig.setHand(1, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    rig.host.clear();
    rig.deliver(1, msg::drawcard(1));
    expected.clear();
    toAll(expected, 5, msg::nomorecards(1));
    toAll(expected, 5, msg::nextplayer(2, 'l'));
    QCOMPARE(rig.host.sent, expected);
    QCOMPARE(rig.table().player(1).cardcount, 13);
}

void TestGameTable::startgameDealsAndStopsTimers() {
    LogicRig rig(5);
    rig.host.roundArmed = true;
    rig.host.computerArmed = true;
    rig.deliver(2, msg::startgame("Two", 20, GameType::SameNumber)); // only the host starts games
    QVERIFY(rig.host.sent.empty());
    QVERIFY(!rig.table().state().gamerunning);

    rig.random.push({3}); // first seat 4, so seat 1 begins
    rig.deliver(1, "CMD_startgame+Ann+25+x+\xFF");
    QVERIFY(!rig.host.roundArmed);
    QVERIFY(!rig.host.computerArmed);
    const GameState& st = rig.table().state();
    QCOMPARE(st.gametype, GameType::OneMoreOrLess);
    QCOMPARE(st.playtoscore, 25);
    QCOMPARE(st.currentseat, 1);
    for (int s = 1; s <= 5; ++s) {
        std::vector<std::string> expected{msg::startgame("Ann", 25, GameType::OneMoreOrLess)};
        for (int t = 1; t <= 4; ++t) {
            for (int slot = 1; slot <= 5; ++slot) {
                if (t == s)
                    expected.push_back(msg::acard(t, slot, rig.table().player(t).cards[slot]));
                expected.push_back(msg::cardcount(t, slot));
            }
        }
        expected.push_back(msg::nextplayer(1, 'l'));
        QCOMPARE(rig.host.to(s), expected);
    }
}

void TestGameTable::newRoundGoesToSeatsOnly() {
    LogicRig rig(6);
    prepare(rig, 0, 35, 's');
    rig.table().setupPlayer(2).score = 7;
    rig.random.push({0});
    rig.logic.roundTimerFired();
    for (int s = 1; s <= 4; ++s)
        QCOMPARE(rig.host.to(s).front(), msg::startround());
    QCOMPARE(rig.host.to(5).front(), msg::cardcount(1, 1));
    QCOMPARE(rig.host.to(6).size(), std::size_t(21));
    QCOMPARE(rig.table().player(2).score, 7);
    QCOMPARE(rig.table().state().topcard, card::kRoundStart);
    QCOMPARE(rig.table().state().currentseat, 2);
}

QTEST_APPLESS_MAIN(TestGameTable)
#include "tst_gametable.moc"
