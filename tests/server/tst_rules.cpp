// SPDX-License-Identifier: MIT
// Which card may follow which, and how cards are made.
#include "server/rules.h"

#include <QTest>
#include <map>

using namespace vrako;

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void follows_data();
    void follows();
    void everyCodeUnderMapping();
    void drawOdds();
    void freeSlots();
};

void TestRules::follows_data() {
    QTest::addColumn<char>("type");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("ok");
    QTest::newRow("d on 12: green 11") << 'd' << 16 << 27 << true;
    QTest::newRow("d on 12: green 12 refused") << 'd' << 16 << 28 << false;
    QTest::newRow("d on 12: any blue") << 'd' << 16 << 9 << true;
    QTest::newRow("d on 12: green 1 no wrap") << 'd' << 16 << 17 << false;
    QTest::newRow("d on 1: green 2") << 'd' << 5 << 18 << true;
    QTest::newRow("d on 1: yellow 2") << 'd' << 5 << 42 << true;
    QTest::newRow("d on 1: green 12 no wrap") << 'd' << 5 << 28 << false;
    QTest::newRow("d on 1: green 1 same face refused") << 'd' << 5 << 17 << false;
    QTest::newRow("d on 1: blue 12 same colour") << 'd' << 5 << 16 << true;
    QTest::newRow("d on red 7: yellow 6") << 'd' << 35 << 46 << true;
    QTest::newRow("d on red 7: yellow 8") << 'd' << 35 << 48 << true;
    QTest::newRow("d on red 7: yellow 9") << 'd' << 35 << 49 << false;
    QTest::newRow("s on red 7: yellow 7") << 's' << 35 << 47 << true;
    QTest::newRow("s on red 7: yellow 8 refused") << 's' << 35 << 48 << false;
    QTest::newRow("s on red 7: red 1") << 's' << 35 << 29 << true;
    QTest::newRow("after wild green: green 5") << 's' << 54 << 21 << true;
    QTest::newRow("after wild green: blue 7 refused") << 's' << 54 << 11 << false;
    // A blue 3 is one more than the face the colour code reads as; numbers do not count.
    QTest::newRow("after wild green: face of code refused") << 'd' << 54 << 7 << false;
    QTest::newRow("empty slot refused") << 's' << 5 << -1 << false;
    QTest::newRow("special is no coloured card") << 's' << 5 << 4 << false;
}

void TestRules::follows() {
    QFETCH(char, type);
    QFETCH(int, current);
    QFETCH(int, code);
    QFETCH(bool, ok);
    QCOMPARE(mayFollow(code, current, static_cast<GameType>(type)), ok);
}

void TestRules::everyCodeUnderMapping() {
    std::map<int, int> weight;
    for (int r = 0; r < kCardDraws; ++r)
        ++weight[makeCard(r)];
    QCOMPARE(weight[card::kVrako], 4);
    QCOMPARE(weight[card::kReverse], 4);
    QCOMPARE(weight[card::kWild], 5);
    QCOMPARE(weight[card::kDouble], 5);
    QCOMPARE(weight[card::kBomb], 2);
    QCOMPARE(weight.count(52), std::size_t(0));
    for (int code = 5; code <= 51; ++code)
        QCOMPARE(weight[code], 1);
}

void TestRules::drawOdds() {
    SeededRandom random(42);
    constexpr int kDraws = 67 * 20000;
    std::map<int, int> seen;
    for (int i = 0; i < kDraws; ++i)
        ++seen[makeCard(random.uniform(kCardDraws))];
    QCOMPARE(seen.count(52), std::size_t(0));
    const std::map<int, int> weights{{0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 2}, {5, 1}, {30, 1}};
    for (const auto& [code, w] : weights) {
        const double expected = 20000.0 * w;
        QVERIFY2(std::abs(seen[code] - expected) < expected * 0.05,
                 qPrintable(QString::number(code)));
    }
}

void TestRules::freeSlots() {
    Hand h = emptyHand();
    QCOMPARE(lowestFreeSlot(h), 1);
    for (int s = 1; s <= 13; ++s)
        h[s] = 9;
    QCOMPARE(lowestFreeSlot(h), 0); // slot 14 never receives a card
    h[6] = card::kEmpty;
    QCOMPARE(lowestFreeSlot(h), 6);
}

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
