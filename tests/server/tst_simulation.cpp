// SPDX-License-Identifier: MIT
// Ten thousand complete games of four computer players, every message checked against a model
// of the table that is built only from what the seats and a spectator were told.
#include "gamecheck_helper.h"
#include "logic_helper.h"
#include "net/messages.h"

#include <QTest>
#include <algorithm>

using namespace vrako;
using namespace vrako::test;

namespace {
constexpr int kGames = 10000;
constexpr int kSpectator = 5;
} // namespace

class TestSimulation : public QObject {
    Q_OBJECT
private slots:
    void computerGames();
};

void TestSimulation::computerGames() {
    constexpr int kPlayTo = 5; // low, so that ten thousand games fit the time of a test
    LogicRig rig(kSpectator);
    rig.random = ScriptedRandom(20261208);
    for (int s = 1; s <= 4; ++s)
        rig.deliver(s, msg::justwatch(s, 1));
    rig.host.clear();
    Checker checker(&rig.table(), kPlayTo, kSpectator, true);
    rig.host.keep = false;
    rig.host.onSend = [&](int r, std::string_view b) { checker.onSend(r, b); };

    long rounds = 0;
    for (int game = 0; game < kGames; ++game) {
        checker.model().wins = 0;
        rig.deliver(1, msg::startgame("Sim", kPlayTo,
                                      game % 2 ? GameType::SameNumber : GameType::OneMoreOrLess));
        int steps = 0;
        while (rig.table().state().gamerunning) {
            if (rig.host.roundArmed) {
                rig.host.roundArmed = false;
                ++rounds;
                rig.logic.roundTimerFired();
            } else if (rig.host.computerArmed) {
                rig.logic.computerTimerFired();
            } else {
                QFAIL("the game stalled");
            }
            if (!checker.failure().empty())
                QFAIL(checker.failure().c_str());
            QVERIFY2(++steps < 200000, "a game did not finish");
        }
        QCOMPARE(checker.model().wins, 1);
    }
    qInfo("%d games, %ld rounds, %ld messages", kGames, rounds + kGames, checker.messages);
}

QTEST_APPLESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
