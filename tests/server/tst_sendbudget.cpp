// SPDX-License-Identifier: MIT
// The send budget at the edges of its buckets: spent to the last token, one token more, and a
// refill that stops at the burst.
#include "server/sendbudget.h"

#include <QTest>

using namespace vrako;

namespace {
constexpr SendBudget::Limits kLimits{10, 4, 1000, 5000};
} // namespace

class TestSendBudget : public QObject {
    Q_OBJECT
private slots:
    void spentToTheBurstIsWithinOneMoreOverdraws();
    void refillStopsAtTheBurst();
    void waitsUntilTheDeficitHasRefilled();
};

void TestSendBudget::spentToTheBurstIsWithinOneMoreOverdraws() {
    SendBudget bytes(kLimits);
    QVERIFY(bytes.charge(1, 4999, 0));
    QVERIFY(bytes.charge(1, 1, 0)); // both buckets now exactly empty
    QCOMPARE(bytes.msUntilWithin(0), std::int64_t(0));
    QVERIFY(!bytes.charge(0, 1, 0));

    SendBudget messages(kLimits);
    QVERIFY(messages.charge(4, 0, 0));
    QVERIFY(!messages.charge(1, 0, 0));
}

void TestSendBudget::refillStopsAtTheBurst() {
    SendBudget budget(kLimits);
    QVERIFY(budget.charge(4, 5000, 0));
    // An hour later both buckets are full again, but no fuller than their bursts.
    QVERIFY(!budget.charge(0, 5001, 3600 * 1000));
    SendBudget again(kLimits);
    QVERIFY(again.charge(0, 0, 0));
    QVERIFY(!again.charge(5, 0, 3600 * 1000));
}

void TestSendBudget::waitsUntilTheDeficitHasRefilled() {
    SendBudget budget(kLimits);
    QVERIFY(!budget.charge(1, 5250, 1000)); // 250 bytes short: a quarter of a second
    QCOMPARE(budget.msUntilWithin(1000), std::int64_t(250));
    QCOMPARE(budget.msUntilWithin(1100), std::int64_t(150));
    QCOMPARE(budget.msUntilWithin(1250), std::int64_t(0));
    QVERIFY(budget.charge(0, 0, 1250));
    // Six messages over the burst of four: two short, refilled at ten a second.
    QVERIFY(!budget.charge(6, 0, 1250));
    QCOMPARE(budget.msUntilWithin(1250), std::int64_t(200));
}

QTEST_GUILESS_MAIN(TestSendBudget)
#include "tst_sendbudget.moc"
