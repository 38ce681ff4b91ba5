// SPDX-License-Identifier: MIT
// Whole games played through the windows over loopback: the test clicks the cards, the draw
// pile and the colour chooser as a player would, and compares every window with the server.
#include "chat/phrasebar.h"
#include "table_helper.h"
#include "windows/gamestartdialog.h"

#include <QRegularExpression>
#include <QToolButton>

using namespace vrako;
using namespace vrako::tabletest;

namespace {

constexpr int kMaxTurns = 600;

// The winner as the server decided it: the lowest score.
int serverWinner(const GameTable& t) {
    int best = 1;
    for (int s = 2; s <= 4; ++s)
        if (t.player(s).score < t.player(best).score)
            best = s;
    return best;
}

} // namespace

class TestTableGame : public QObject {
    Q_OBJECT
private slots:
    void soloGameThroughTheStartButton();
    void twoPlayersAndASpectator();
};

void TestTableGame::soloGameThroughTheStartButton() {
    Lobby lobby;
    auto w = window(0, lobby.port());
    start(*w, {});
    QTRY_COMPARE(w->game().myseat(), 1);
    GameTable& t = table(*w);
    w->server()->setBotSpeed(1);
    w->server()->setRoundPause(20);
    w->server()->setComputerRetry(1);
    w->server()->setSeed(7);
    Recorder rec(*w, &t);
    QTRY_COMPARE(w->board().nameLabel(1)->text(), QStringLiteral("You"));

    // The start button opens the dialog; play to 10 with the down arrow, Same Number Game.
    QVERIFY(shown(*w, "button_start"));
    click(widget(*w, QStringLiteral("button_start")));
    GameStartDialog* dialog = w->gameStart();
    QTRY_VERIFY(dialog->isVisible());
    for (int i = 0; i < 2; ++i)
        click(dialog->findChild<QToolButton*>(QStringLiteral("UpDown1_down")));
    QCOMPARE(dialog->playToScore(), QStringLiteral("10"));
    click(dialog->findChild<QToolButton*>(QStringLiteral("box_same")));
    click(dialog->findChild<QToolButton*>(QStringLiteral("button_start")));
    QVERIFY(!dialog->isVisible());
    QTRY_VERIFY(t.state().gamerunning);
    QTRY_COMPARE(text(*w, "label_playtoscore"), QStringLiteral("Play to Score: 10"));
    QCOMPARE(text(*w, "label_thegametype"), QStringLiteral("Same Number Game"));
    QVERIFY(!shown(*w, "button_start"));
    QCOMPARE(t.state().playtoscore, 10);
    QCOMPARE(t.state().gametype, GameType::SameNumber);

    bool refused = false;
    bool wildChosen = false;
    int turns = 0;
    int draws = 0;
    while (Tchat* ready = nextTurn({w.get()}, {w.get()}, t)) {
        QVERIFY2(++turns < kMaxTurns, "the game does not end");
        QVERIFY(!shown(*w, "button_start"));
        QCOMPARE(text(*w, "label_turn"), QStringLiteral("Your Turn."));
        QVERIFY(shown(*w, "label_draw"));
        QString why;
        QVERIFY2(fansMatch(*w, t, &why), qPrintable(why));
        QVERIFY(centreMatches(*w, t));

        // Once: a card that does not follow goes up, is refused and drops back.
        const int wrong = refused ? 0 : findCard(*w, [&](int c) { return !mayPlay(c, t); });
        if (wrong) {
            clickCard(*w, wrong);
            QCOMPARE(w->board().cardPicture(wrong)->y(), 247);
            QCOMPARE(w->game().whoseturn(), 0);
            QTRY_COMPARE(text(*w, "label_status"), QStringLiteral("Invalid Play"));
            QCOMPARE(w->board().cardPicture(wrong)->y(), 254);
            QCOMPARE(w->game().whoseturn(), 1);
            refused = true;
            QVERIFY(readyToPlay(*w, t));
        }
        // Once: a Wild through the colour chooser, naming red.
        if (const int wild =
                wildChosen ? 0 : findCard(*w, [](int c) { return c == card::kWild; })) {
            clickCard(*w, wild);
            QVERIFY(shown(*w, "panel_choosecolor"));
            QCOMPARE(w->board().cardPicture(wild)->y(), 247);
            click(chooserBar(*w, 55));
            QVERIFY(!shown(*w, "panel_choosecolor"));
            QTRY_VERIFY(rec.saw(QStringLiteral("New Color is Red!")));
            wildChosen = true;
            continue;
        }
        if (playPlainTurn(*ready, t) < 0)
            ++draws;
    }
    QVERIFY(!t.state().gamerunning);
    QVERIFY(refused);
    QVERIFY(wildChosen);
    QVERIFY(draws > 0);

    // Round winners: the waiting text shows, the start button stays hidden.
    const auto rounds = rec.ending(QStringLiteral(" Won the Round!"));
    QVERIFY(!rounds.empty());
    for (const Snapshot& s : rounds) {
        QVERIFY(s.waiting);
        QVERIFY(!s.startButton);
        QVERIFY(!s.arrows);
        QCOMPARE(s.turn, QString());
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(s.scores[seat], QString::number(s.serverScores[seat]));
    }
    // The start button comes back with the game's winner only.
    const auto firstWin = std::find_if(rec.log().begin(), rec.log().end(), [](const Snapshot& s) {
        return s.status.endsWith(QStringLiteral(" Wins!"));
    });
    QVERIFY(firstWin != rec.log().end());
    for (auto it = rec.log().begin(); it != firstWin; ++it)
        QVERIFY2(!it->startButton || it->status.startsWith(QStringLiteral("Welcome")),
                 qPrintable(it->status));

    const int winner = serverWinner(t);
    const QString name = w->board().nameLabel(winner)->text();
    QCOMPARE(text(*w, "label_status"), name + QStringLiteral(" Wins!"));
    QVERIFY(shown(*w, "button_start"));
    QVERIFY(!shown(*w, "label_waiting"));
    QCOMPARE(text(*w, "label_turn"), QString());
    QLabel* animation = widget<QLabel>(*w, QStringLiteral("image_winner%1").arg(winner));
    QVERIFY(!animation->isHidden());
    QCOMPARE(animation->geometry(), QRect(kWinnerAt[positionIndex(*w, winner)], QSize(134, 28)));
    for (int s = 1; s <= 4; ++s) {
        QCOMPARE(!widget(*w, QStringLiteral("image_winner%1").arg(s))->isHidden(), s == winner);
        QVERIFY(w->board().fan(s)->isHidden());
    }
    QVERIFY(w->game().handIds().isEmpty());
    QVERIFY(w->board().findChildren<ClickLabel*>(QRegularExpression("^card\\d+$")).isEmpty());
}

void TestTableGame::twoPlayersAndASpectator() {
    Lobby lobby;
    auto host = fastHost(lobby, 11);
    QTRY_COMPARE(host->game().myseat(), 1);
    TServer& server = *host->server();
    GameTable& t = table(*host);
    const quint16 port = server.port();

    auto bo = window(port, lobby.port());
    start(*bo, {"Bo", "127.0.0.1", "true"});
    QTRY_COMPARE(bo->game().myseat(), 2);
    // Two connections that never log in hold seats 3 and 4 while the spectator comes in.
    std::vector<std::unique_ptr<QTcpSocket>> holders;
    for (int i = 0; i < 2; ++i) {
        holders.push_back(std::make_unique<QTcpSocket>());
        holders.back()->connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(server.connectionCount(), 3 + i);
    }
    auto eve = window(port, lobby.port());
    start(*eve, {"Eve", "127.0.0.1", "true"});
    QTRY_COMPARE(eve->game().myseat(), 5);
    // The spectator's chatter-sound button is off and says why; the players' stays on.
    QToolButton* eveSounds = eve->phraseBar().button(PhraseBar::kButtons);
    QVERIFY(!eveSounds->isEnabled());
    QCOMPARE(eveSounds->toolTip(), QStringLiteral("Spectators cannot play chatter sounds"));
    QVERIFY(bo->phraseBar().button(PhraseBar::kButtons)->isEnabled());
    holders.clear();
    QTRY_COMPARE(server.connectionCount(), 3);

    const std::vector<Tchat*> players = {host.get(), bo.get()};
    const std::vector<Tchat*> all = {host.get(), bo.get(), eve.get()};
    Recorder annRec(*host, &t);
    Recorder boRec(*bo, &t);
    Recorder eveRec(*eve, &t);
    QTRY_COMPARE(eve->board().nameLabel(2)->text(), QStringLiteral("Bo"));
    QTRY_COMPARE(bo->board().nameLabel(1)->text(), QStringLiteral("Ann"));
    QCOMPARE(bo->board().nameLabel(3)->text(), QStringLiteral("Klitz"));

    host->gameStart()->setPlayToScore(QStringLiteral("10"));
    host->gameStart()->changebox(GameType::OneMoreOrLess);
    host->gameStart()->button_startClick();
    for (Tchat* w : all)
        QTRY_COMPARE(text(*w, "label_thegametype"), QStringLiteral("One More or Less Game"));
    QVERIFY(chatText(*host).contains(QStringLiteral("You have started a game.")));
    QTRY_VERIFY(chatText(*eve).contains(QStringLiteral("Ann has started a game.")));
    QVERIFY(chatText(*bo).contains(QStringLiteral("Ann has started a game.")));

    bool vrakoDone = false;
    bool bombDone = false;
    std::array<bool, 5> sorted{};
    int wilds = 0;
    int turns = 0;
    while (Tchat* ready = nextTurn(players, all, t)) {
        QVERIFY2(++turns < kMaxTurns, "the game does not end");
        const int seat = ready->game().myseat();
        const int other = seat == 1 ? 2 : 1;
        const bool left = t.state().direction == false;
        // Every window agrees with the server while a person thinks.
        for (Tchat* w : all) {
            QString why;
            QTRY_VERIFY2(fansMatch(*w, t, &why), qPrintable(why));
            QTRY_VERIFY(handMatches(*w, t, &why));
            QTRY_VERIFY(centreMatches(*w, t));
            QTRY_VERIFY(highlightMatches(*w, seat));
            const bool mine = w == ready;
            QCOMPARE(shown(*w, "arrow_left"), mine && left);
            QCOMPARE(shown(*w, "arrow_right"), mine && !left);
            QCOMPARE(shown(*w, "label_draw"), mine);
            QCOMPARE(text(*w, "label_turn"),
                     mine ? QStringLiteral("Your Turn.")
                          : w->board().nameLabel(seat)->text() + QStringLiteral("'s turn."));
            QVERIFY(!shown(*w, "button_start"));
        }

        // A right click sorts the hand by code, whoever is on turn.
        if (!sorted[seat] && ready->game().handIds().size() >= 4) {
            clickCard(*ready, ready->game().handIds().constFirst(), Qt::RightButton);
            QString why;
            const QList<int> codes = handCodes(*ready, &why);
            QVERIFY2(why.isEmpty(), qPrintable(why));
            QVERIFY(std::is_sorted(codes.begin(), codes.end()));
            QVERIFY(readyToPlay(*ready, t));
            sorted[seat] = true;
        }

        // The other person sits next in the direction of play: hit them with a Vrako, then a
        // Bomb, drawn from the pile by choosing the server's next card.
        const bool otherIsNext = (seat == 1) == left;
        const int penalty =
            !vrakoDone ? (otherIsNext ? card::kVrako : -1) : (!bombDone ? card::kBomb : -1);
        if (penalty >= 0 && ready->game().handIds().size() < kMaxHand) {
            server.setSeed(seedForCard(penalty));
            const qsizetype before = ready->game().handIds().size();
            QVERIFY(drawAndWait(*ready, t));
            QCOMPARE(ready->game().handIds().size(), before + 1);
            QTRY_VERIFY(readyToPlay(*ready, t));
            const int id = findCard(*ready, [penalty](int c) { return c == penalty; });
            QVERIFY(id);
            clickCard(*ready, id);
            const bool bomb = penalty == card::kBomb;
            Recorder& victim = other == 1 ? annRec : boRec;
            QTRY_VERIFY(victim.saw(bomb ? QStringLiteral("You've been Bombed!")
                                        : QStringLiteral("You've been Vrakod!")));
            (bomb ? bombDone : vrakoDone) = true;
            continue;
        }

        const int played = playPlainTurn(*ready, t);
        if (played == card::kWild)
            ++wilds;
    }
    QVERIFY(vrakoDone);
    QVERIFY(bombDone);
    QVERIFY(sorted[1] && sorted[2]);
    QVERIFY(wilds > 0);
    QVERIFY(!t.state().gamerunning);

    // A spectator is never hit; every window saw each Wild's new colour with its bar in front.
    for (const char* hit : {"You've been Vrakod!", "You've been Bombed!"})
        QVERIFY(!eveRec.saw(QLatin1String(hit)));
    for (Recorder* r : {&annRec, &boRec, &eveRec}) {
        const auto colours = r->ending(QStringLiteral("!"));
        int newColours = 0;
        for (const Snapshot& s : colours) {
            static const char* const words[4] = {"Blue", "Green", "Red", "Yellow"};
            for (int i = 0; i < 4; ++i)
                if (s.status == QStringLiteral("New Color is %1!").arg(QLatin1String(words[i]))) {
                    QCOMPARE(s.bar, i);
                    ++newColours;
                }
        }
        QVERIFY(newColours > 0);
        const auto rounds = r->ending(QStringLiteral(" Won the Round!"));
        QVERIFY(!rounds.empty());
        for (const Snapshot& s : rounds) {
            QVERIFY(s.waiting);
            QVERIFY(!s.startButton);
            for (int seat = 1; seat <= 4; ++seat)
                QCOMPARE(s.scores[seat], QString::number(s.serverScores[seat]));
        }
    }

    // The game's winner, at the winner's place on each rotated table.
    const int winner = serverWinner(t);
    for (Tchat* w : all) {
        QCOMPARE(text(*w, "label_status"), w->board().nameLabel(winner)->text() + " Wins!");
        QLabel* animation = widget<QLabel>(*w, QStringLiteral("image_winner%1").arg(winner));
        QVERIFY(!animation->isHidden());
        QCOMPARE(animation->pos(), kWinnerAt[positionIndex(*w, winner)]);
        QCOMPARE(shown(*w, "button_start"), w == host.get());
        for (int s = 1; s <= 4; ++s) {
            QVERIFY(w->board().fan(s)->isHidden());
            QCOMPARE(w->board().scoreLabel(s)->text(), QString::number(t.player(s).score));
        }
        QVERIFY(w->game().handIds().isEmpty());
    }
    // Joiners go before the host, whose leaving would close them.
    eve.reset();
    bo.reset();
}

QTEST_MAIN(TestTableGame)
#include "tst_tablegame.moc"
