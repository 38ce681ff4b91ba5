// SPDX-License-Identifier: MIT
// The client's message handlers, fed with the server's messages one at a time.
#include "game/clientgame.h"

#include <QSignalSpy>
#include <QTest>

using namespace vrako;

namespace {

struct Recorder {
    QList<QByteArray> sent;
    QList<QPair<QString, quint32>> lines;
    QStringList sounds;
    QList<int> wins;
    int closes = 0;

    explicit Recorder(ClientGame& g) {
        QObject::connect(&g, &ClientGame::sendRequested,
                         [this](const QByteArray& b) { sent.append(b); });
        QObject::connect(&g, &ClientGame::systemLine, [this](const QString& t, quint32 c) {
            lines.append({t, c});
        });
        QObject::connect(&g, &ClientGame::soundRequested,
                         [this](const QString& s) { sounds.append(s); });
        QObject::connect(&g, &ClientGame::gameWon, [this](int seat) { wins.append(seat); });
        QObject::connect(&g, &ClientGame::closeRequested, [this] { ++closes; });
    }
    QStringList lineTexts() const {
        QStringList out;
        for (const auto& l : lines)
            out.append(l.first);
        return out;
    }
};

void feed(ClientGame& g, const char* message) {
    g.dispatch(message);
}

// A logged-in player in the given seat, whose turn it is, holding the given cards in slots 1..n.
void seatPlayer(ClientGame& g, int seat, const QList<int>& codes = {}) {
    g.setPlayerName(QStringLiteral("Ann"));
    g.dispatch("CMD_sendlogininfo+" + std::to_string(seat));
    g.dispatch("CMD_newplayerinfo+" + std::to_string(seat) + "+Ann+0");
    for (int i = 0; i < codes.size(); ++i)
        g.dispatch("CMD_acard+" + std::to_string(seat) + "+" + std::to_string(i + 1) + "+" +
                   std::to_string(codes[i]));
    g.dispatch("CMD_nextplayer+" + std::to_string(seat) + "+l");
}

QList<int> handCodes(const ClientGame& g) {
    QList<int> out;
    for (int id : g.handIds())
        out.append(g.card(id)->code);
    return out;
}

} // namespace

class TestClientGame : public QObject {
    Q_OBJECT
private slots:
    void seatsTurnRoundTheLocalPlayer_data();
    void seatsTurnRoundTheLocalPlayer();
    void loginAndArrivals();
    void spectatorAndDepartures();
    void ownSeatRemovedCloses();
    void rejoinStartsAfreshOrWaitsForTheSeat();
    void malformedMessagesChangeNothing();
    void handPlacesAndPlaying();
    void sortKeepsEqualCodesInOrder();
    void wildOpensChooserAndSendsColour();
    void refusedPlayGivesTurnBack();
    void actionCardsAndColours();
    void fansFollowTheSeating();
    void turnsArrowsAndRounds();
    void gameWinnerAndTally();
    void spectatorsDoNotTally();
    void justWatchAndRemoval();
    void chatActionsSoundsAndStart();
};

void TestClientGame::seatsTurnRoundTheLocalPlayer_data() {
    QTest::addColumn<int>("myseat");
    QTest::addColumn<QList<int>>("bottomLeftTopRight");
    QTest::newRow("seat 1") << 1 << QList<int>{1, 2, 3, 4};
    QTest::newRow("seat 2") << 2 << QList<int>{2, 3, 4, 1};
    QTest::newRow("seat 3") << 3 << QList<int>{3, 4, 1, 2};
    QTest::newRow("seat 4") << 4 << QList<int>{4, 1, 2, 3};
    QTest::newRow("spectator 6") << 6 << QList<int>{1, 2, 3, 4};
}

void TestClientGame::seatsTurnRoundTheLocalPlayer() {
    QFETCH(int, myseat);
    QFETCH(QList<int>, bottomLeftTopRight);
    ClientGame g;
    seatPlayer(g, myseat);
    QList<int> got;
    for (int pos = 0; pos < 4; ++pos)
        got.append(g.seatAt(static_cast<SeatPosition>(pos)));
    QCOMPARE(got, bottomLeftTopRight);
}

void TestClientGame::loginAndArrivals() {
    ClientGame g;
    Recorder r(g);
    g.setPlayerName(QStringLiteral("Ann"));
    feed(g, "CMD_sendlogininfo+2");
    QCOMPARE(r.sent, QList<QByteArray>{QByteArray("CMD_logininfo+2+1.0.17+Ann\xFF\xFF")});
    QVERIFY(g.loggedin());
    // Empty seats show the computer players' names; seat 1 not yet announced is empty.
    QCOMPARE(g.seat(1).name, QString());
    QCOMPARE(g.seat(2).name, QStringLiteral("Klot"));
    QCOMPARE(g.seat(4).name, QStringLiteral("Kling"));

    feed(g, "CMD_newplayerinfo+2+Ann+0");
    feed(g, "CMD_existingplayers+1+Host+0+3+Cy+1+7+Eve+0");
    QCOMPARE(r.lineTexts(),
             (QStringList{"You are Connected.", "Host is Connected.", "Cy is Connected.",
                          "Eve is Connected.", "Eve is spying."}));
    for (const auto& l : r.lines)
        QCOMPARE(l.second, ClientGame::kBlue);
    QCOMPARE(r.sounds, (QStringList{"entered", "entered"})); // one per message
    QCOMPARE(g.seat(1).name, QStringLiteral("Host"));
    QVERIFY(g.seat(3).watching);
    QVERIFY(!g.seat(1).watching);
    QCOMPARE(g.spies(), (QList<Spectator>{{7, "Eve"}}));

    feed(g, "CMD_havewrongversion+Bo");
    feed(g, "CMD_wrongversion+");
    QCOMPARE(r.lineTexts().mid(5),
             (QStringList{"Bo has a different version of the game then you.",
                          "You have a differnt version of the game then the host."}));
}

void TestClientGame::spectatorAndDepartures() {
    ClientGame g;
    Recorder r(g);
    g.setPlayerName(QStringLiteral("Spy"));
    feed(g, "CMD_sendlogininfo+6");
    feed(g, "CMD_newplayerinfo+6+Spy+0");
    QCOMPARE(r.lineTexts(), (QStringList{"You are Connected.", "You are spying."}));
    QCOMPARE(g.spies(), (QList<Spectator>{{6, "Spy"}}));

    feed(g, "CMD_existingplayers+2+Bo+0+8+Di+0");
    r.lines.clear();
    feed(g, "CMD_playerdisconnected+2+Bo");
    feed(g, "CMD_playerdisconnected+3+Klitz");  // a computer seat: no line
    feed(g, "CMD_playerdisconnected+9+Nobody"); // not in the list: no line
    feed(g, "CMD_playerdisconnected+8+Di");
    QCOMPARE(r.lines.size(), 2);
    QCOMPARE(r.lines[0].first, QStringLiteral("Bo disconnected."));
    QCOMPARE(r.lines[0].second, ClientGame::kGrey);
    QCOMPARE(r.lines[1].first, QStringLiteral("Di has left."));
    QCOMPARE(r.lines[1].second, ClientGame::kGreen);
    QCOMPARE(g.seat(2).name, QStringLiteral("Klot"));
    QCOMPARE(g.spies(), (QList<Spectator>{{6, "Spy"}}));
    QCOMPARE(r.closes, 0);
}

void TestClientGame::ownSeatRemovedCloses() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 3);
    feed(g, "CMD_playerdisconnected+3+Ann");
    QCOMPARE(r.closes, 1);
    QVERIFY(!g.loggedin());
}

void TestClientGame::rejoinStartsAfreshOrWaitsForTheSeat() {
    ClientGame g;
    Recorder r(g);
    QSignalSpy notFree(&g, &ClientGame::seatNotFree);
    seatPlayer(g, 2, {5, 17});
    feed(g, "CMD_existingplayers+1+Host+0+6+Eve+0");
    feed(g, "CMD_cardcount+3+7");
    g.prepareRejoin();
    QVERIFY(!g.loggedin());
    QVERIFY(!g.sendChat(QStringLiteral("lost"), 0));
    // A player offered only a spectator's record waits for the seat: no login is sent.
    r.sent.clear();
    feed(g, "CMD_sendlogininfo+5");
    QCOMPARE(notFree.count(), 1);
    QVERIFY(r.sent.isEmpty());
    QVERIFY(!g.loggedin());
    // Any seat will do; the old table is forgotten, for the catch-up to fill again.
    feed(g, "CMD_sendlogininfo+3");
    QVERIFY(g.loggedin());
    QCOMPARE(g.myseat(), 3);
    QCOMPARE(r.sent, QList<QByteArray>{QByteArray("CMD_logininfo+3+1.0.17+Ann\xFF\xFF")});
    QVERIFY(g.handIds().isEmpty());
    QVERIFY(g.spies().isEmpty());
    QCOMPARE(g.seat(1).name, QString());
    QCOMPARE(g.seat(2).name, QStringLiteral("Klot"));
    QCOMPARE(g.seat(3).fanCount, 0);
    // A spectator takes any spectator's record.
    ClientGame spy;
    spy.setPlayerName(QStringLiteral("Spy"));
    feed(spy, "CMD_sendlogininfo+6");
    spy.prepareRejoin();
    QSignalSpy spyNotFree(&spy, &ClientGame::seatNotFree);
    feed(spy, "CMD_sendlogininfo+8");
    QVERIFY(spy.loggedin());
    QCOMPARE(spy.myseat(), 8);
    QCOMPARE(spyNotFree.count(), 0);
}

void TestClientGame::malformedMessagesChangeNothing() {
    ClientGame g;
    Recorder r(g);
    for (const char* m :
         {"CMD_goplay", "CMD_sendlogininfo+x", "CMD_sendlogininfo+12", "CMD_acard+1+99+5",
          "CMD_acard+1+3+77", "CMD_nextplayer+9+l", "CMD_cardcount+x+3", "CMD_playwild+99",
          "CMD_winner+0+", "", "+", "CMD_unknown+1", "CMD_thecards+1+1"})
        g.dispatch(m);
    QVERIFY(!g.loggedin());
    QVERIFY(r.sent.isEmpty());
    QVERIFY(g.handIds().isEmpty());
    QCOMPARE(g.whoseturn(), 0);
    QCOMPARE(g.statusText(), QStringLiteral("Welcome to Vrako by Dovi42 Software"));
}

void TestClientGame::handPlacesAndPlaying() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 1, {10, 20, 30, 40, 50});
    QCOMPARE(g.handIds(), (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(r.sounds.count(QStringLiteral("draw")), 5);

    g.movingimagesMouseDown(2, false);
    QCOMPARE(r.sent.last(), QByteArray("CMD_playcard+1+0+2\xFF"));
    QVERIFY(g.card(2)->raised);
    QCOMPARE(g.whoseturn(), 0);
    // No second play while the server has not answered.
    g.movingimagesMouseDown(3, false);
    g.image_drawClick();
    QCOMPARE(r.sent.size(), 2);

    feed(g, "CMD_playcard+1+20");
    QCOMPARE(g.handIds(), (QList<int>{1, 3, 4, 5}));
    QCOMPARE(g.card(2), nullptr);
    QCOMPARE(g.topCard(), 20);
    QCOMPARE(g.statusText(), QStringLiteral("Color is Green"));
    QCOMPARE(r.sounds.last(), QStringLiteral("placecard"));

    // A drawn card fills the server's free slot 2 and goes to the end of the row.
    feed(g, "CMD_nextplayer+1+l");
    g.image_drawClick();
    QCOMPARE(r.sent.last(), QByteArray("CMD_drawcard+1\xFF"));
    feed(g, "CMD_acard+1+2+7");
    feed(g, "CMD_goplay+");
    QCOMPARE(g.handIds(), (QList<int>{1, 3, 4, 5, 2}));
    QCOMPARE(g.whoseturn(), 1);

    // The computer plays a watching seat's card: the server names it first.
    feed(g, "CMD_setdeletecard+1+4+");
    feed(g, "CMD_playcard+1+40");
    QCOMPARE(g.handIds(), (QList<int>{1, 3, 5, 2}));
}

void TestClientGame::sortKeepsEqualCodesInOrder() {
    ClientGame g;
    seatPlayer(g, 2, {30, 5, 30, 2});
    g.movingimagesMouseDown(1, true); // right click sorts, whoever's turn it is
    QCOMPARE(handCodes(g), (QList<int>{2, 5, 30, 30}));
    QCOMPARE(g.handIds(), (QList<int>{4, 2, 1, 3}));

    ClientGame automatic;
    automatic.setAutoSort(true);
    seatPlayer(automatic, 1, {44, 6, 17});
    QCOMPARE(handCodes(automatic), (QList<int>{6, 17, 44}));
}

void TestClientGame::wildOpensChooserAndSendsColour() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 1, {12, 2});
    g.movingimagesMouseDown(2, false);
    QVERIFY(g.colourChooserShown());
    QVERIFY(r.sent.size() == 1); // only the login so far
    g.Image3Click(54);
    QVERIFY(!g.colourChooserShown());
    QCOMPARE(r.sent.last(), QByteArray("CMD_playcard+1+54+2\xFF"));
    QCOMPARE(g.pendingcard(), 2);
    // No second play leaves before the server answers: the answer removes the Wild, not it.
    g.movingimagesMouseDown(1, false);
    QCOMPARE(r.sent.size(), 2);
    feed(g, "CMD_playcard+1+2");
    feed(g, "CMD_playwild+54");
    QCOMPARE(g.statusText(), QStringLiteral("New Color is Green!"));
    QCOMPARE(g.colourInFront(), 1);
    QCOMPARE(g.handIds(), QList<int>{1});
}

void TestClientGame::refusedPlayGivesTurnBack() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 1, {12, 30, 2});
    // Another card clicked while the Wild waits for its colour: the Wild stays raised.
    g.movingimagesMouseDown(3, false);
    g.movingimagesMouseDown(2, false);
    QVERIFY(!g.colourChooserShown());
    QVERIFY(g.card(3)->raised);
    QCOMPARE(r.sent.last(), QByteArray("CMD_playcard+1+0+2\xFF"));
    feed(g, "CMD_nomatch+");
    QCOMPARE(g.statusText(), QStringLiteral("Invalid Play"));
    QCOMPARE(g.whoseturn(), 1);
    QVERIFY(!g.card(2)->raised);
    QVERIFY(g.card(3)->raised);
    QCOMPARE(g.pendingcard(), 2);
    QCOMPARE(r.sounds.last(), QStringLiteral("invalid"));
    QCOMPARE(g.handIds(), (QList<int>{1, 2, 3}));
}

void TestClientGame::actionCardsAndColours() {
    ClientGame g;
    seatPlayer(g, 2);
    feed(g, "CMD_existingplayers+1+Host+0");
    feed(g, "CMD_playcard+3+35");
    QCOMPARE(g.topCard(), 35);
    QCOMPARE(g.statusText(), QStringLiteral("Color is Red"));
    feed(g, "CMD_playcard+3+3");
    QCOMPARE(g.otherCard(), 3);
    QCOMPARE(g.statusText(), QStringLiteral("DOUBLE UP"));
    QCOMPARE(g.topCard(), 35);
    QCOMPARE(g.colourInFront(), 2);
    feed(g, "CMD_playcard+1+1");
    QCOMPARE(g.statusText(), QStringLiteral("Host Reversed Play"));
    feed(g, "CMD_playcard+2+1");
    QCOMPARE(g.statusText(), QStringLiteral("You Reversed Play"));
    feed(g, "CMD_playcard+4+0");
    QCOMPARE(g.statusText(), QStringLiteral("VRAKO"));
    feed(g, "CMD_playcard+4+4");
    QCOMPARE(g.statusText(), QStringLiteral("Bomb"));
    feed(g, "CMD_playcard+4+44");
    QCOMPARE(g.otherCard(), -1);
    feed(g, "CMD_vrako+");
    QCOMPARE(g.statusText(), QStringLiteral("You've been Vrakod!"));
    feed(g, "CMD_bomb+");
    QCOMPARE(g.statusText(), QStringLiteral("You've been Bombed!"));
    feed(g, "CMD_nomorecards+2");
    QCOMPARE(g.statusText(), QStringLiteral("You can not hold anymore cards."));
    feed(g, "CMD_nomorecards+4");
    QCOMPARE(g.statusText(), QStringLiteral("Kling can hold no more cards."));
}

void TestClientGame::fansFollowTheSeating() {
    ClientGame g;
    seatPlayer(g, 2);
    feed(g, "CMD_cardcount+4+6");
    feed(g, "CMD_cardcount+2+9"); // own seat: nothing
    QCOMPARE(g.seat(4).fanCount, 6);
    QCOMPARE(g.seat(2).fanCount, 0);
    QVERIFY(g.fanIsHorizontal(4)); // opposite seat 2, at the top
    QVERIFY(!g.fanIsHorizontal(1));
    QVERIFY(!g.fanIsHorizontal(3));

    ClientGame spy;
    seatPlayer(spy, 5);
    QVERIFY(spy.fanIsHorizontal(1));
    QVERIFY(spy.fanIsHorizontal(3));
    QVERIFY(!spy.fanIsHorizontal(2));
}

void TestClientGame::turnsArrowsAndRounds() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 1, {5});
    feed(g, "CMD_startgame+Ann+25+s+");
    QCOMPARE(g.playToScoreText(), QStringLiteral("Play to Score: 25"));
    QCOMPARE(g.gameTypeText(), QStringLiteral("Same Number Game"));
    QCOMPARE(r.lineTexts().last(), QStringLiteral("You have started a game."));
    QVERIFY(g.handIds().isEmpty());
    QCOMPARE(g.topCard(), 5);

    feed(g, "CMD_nextplayer+1+r");
    QCOMPARE(g.turnText(), QStringLiteral("Your Turn."));
    QVERIFY(g.arrowRightShown() && !g.arrowLeftShown() && g.drawLabelShown());
    QCOMPARE(r.sounds.last(), QStringLiteral("turn"));
    g.setTurnSoundNew(true);
    feed(g, "CMD_nextplayer+1+l");
    QCOMPARE(r.sounds.last(), QStringLiteral("turnnew"));
    QVERIFY(g.arrowLeftShown());

    feed(g, "CMD_nextplayer+3+l");
    QCOMPARE(g.turnText(), QStringLiteral("Klitz's turn."));
    QVERIFY(!g.arrowLeftShown() && !g.arrowRightShown() && !g.drawLabelShown());
    QVERIFY(g.seat(3).highlighted && !g.seat(1).highlighted);

    // Seat 0 greys everyone and leaves the turn text as it was.
    feed(g, "CMD_nextplayer+0+l");
    QCOMPARE(g.whoseturn(), 0);
    QVERIFY(!g.seat(3).highlighted);
    QCOMPARE(g.turnText(), QStringLiteral("Klitz's turn."));

    feed(g, "CMD_thescores+2+5+0+7+");
    QCOMPARE(g.seat(4).score, QStringLiteral("7"));
    feed(g, "CMD_winner+3+");
    QCOMPARE(g.statusText(), QStringLiteral("Klitz Won the Round!"));
    QVERIFY(g.waitingShown());
    QCOMPARE(r.sounds.last(), QStringLiteral("roundwinner"));
    QVERIFY(!g.startButtonShown()); // comes back only with the game's end
    feed(g, "CMD_startround+");
    QCOMPARE(g.statusText(), QStringLiteral("New Round!"));
    QVERIFY(!g.waitingShown() && g.arrowLeftShown());
}

void TestClientGame::gameWinnerAndTally() {
    ClientGame g;
    Recorder r(g);
    g.setHosting(true);
    seatPlayer(g, 1, {5, 6});
    feed(g, "CMD_startgame+Ann+20+d+");
    QVERIFY(!g.startButtonShown());
    feed(g, "CMD_cardcount+2+4");
    feed(g, "CMD_wingame+2");
    QCOMPARE(g.statusText(), QStringLiteral("Klot Wins!"));
    QVERIFY(g.seat(2).winnerShown);
    QCOMPARE(g.seat(2).fanCount, 0);
    QVERIFY(g.startButtonShown());
    QCOMPARE(r.wins, QList<int>{2});
    feed(g, "CMD_wingame+1");
    QCOMPARE(r.wins.last(), 1);
    QCOMPARE(r.sounds.last(), QStringLiteral("winner"));
}

void TestClientGame::spectatorsDoNotTally() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 7);
    feed(g, "CMD_startgame+Ann+20+d+");
    QCOMPARE(r.lineTexts().last(), QStringLiteral("Ann has started a game."));
    feed(g, "CMD_wingame+1");
    QVERIFY(r.wins.isEmpty());
}

void TestClientGame::justWatchAndRemoval() {
    ClientGame g;
    Recorder r(g);
    seatPlayer(g, 2);
    feed(g, "CMD_existingplayers+1+Host+0+3+Cy+0");
    g.JustWatch1Click();
    QCOMPARE(r.sent.last(), QByteArray("CMD_justwatch+2+1\xFF"));
    QVERIFY(!g.justWatchChecked()); // only the server's answer checks it
    feed(g, "CMD_justwatching+2+1");
    QVERIFY(g.justWatchChecked());
    QVERIFY(g.seat(2).watching);
    QCOMPARE(r.lines.last().first, QStringLiteral("Ann is just watching"));
    QCOMPARE(r.lines.last().second, ClientGame::kWatchColour);
    g.JustWatch1Click();
    QCOMPARE(r.sent.last(), QByteArray("CMD_justwatch+2+2\xFF"));
    feed(g, "CMD_justwatching+2+2");
    QVERIFY(!g.justWatchChecked());
    QCOMPARE(r.lines.last().first, QStringLiteral("Ann now playing again"));

    // Removal and the seat popup are the host's alone.
    const int before = int(r.sent.size());
    g.kicking(3);
    QVERIFY(!g.seatPopupEnabled(3));
    QCOMPARE(r.sent.size(), before);

    ClientGame host;
    Recorder hr(host);
    host.setHosting(true);
    seatPlayer(host, 1);
    host.dispatch("CMD_existingplayers+3+Cy+0+6+Spy+0");
    QVERIFY(host.seatPopupEnabled(3));
    QVERIFY(!host.seatPopupEnabled(2)); // a computer player's seat
    host.kicking(6);
    QCOMPARE(hr.sent.last(), QByteArray("CMD_kickhim+1+6+\xFF"));
    host.setSeatWatching(3, true);
    QCOMPARE(hr.sent.last(), QByteArray("CMD_justwatch+3+1\xFF"));
}

// What the chat panel, the phrase buttons and the start dialog hand over goes out as exact bytes
// of the own record, and nothing goes out before the login or from a spectator's sound.
void TestClientGame::chatActionsSoundsAndStart() {
    ClientGame g;
    Recorder r(g);
    QVERIFY(!g.sendChat(QStringLiteral("early"), 0));
    QVERIFY(!g.sendAction(QStringLiteral("early"), 0));
    QVERIFY(r.sent.isEmpty());
    seatPlayer(g, 3);
    r.sent.clear();
    QVERIFY(g.sendChat(QStringLiteral("hello there"), 0));
    QVERIFY(g.sendChat(QStringLiteral(" a+b|c "), 0x0000FF));
    QVERIFY(g.sendChat(QStringLiteral("grüß 😀"), 0x123456));
    QVERIFY(g.sendAction(QStringLiteral("waves"), 0));
    QVERIFY(g.sendSound(5));
    g.startGame(25, GameType::SameNumber);
    g.startGame(0, GameType::OneMoreOrLess);
    QCOMPARE(r.sent, (QList<QByteArray>{
                         "CMD_chat+3+hello there|clBlack\xFF", "CMD_chat+3+ a+b|c |clRed\xFF",
                         "CMD_chat+3+gr\xc3\xbc\xc3\x9f \xf0\x9f\x98\x80|$00123456\xFF",
                         "CMD_action+3+waves|clBlack\xFF", "CMD_playasound+3+wave5+\xFF",
                         "CMD_startgame+Ann+25+s+\xFF", "CMD_startgame+Ann+0+d+\xFF"}));

    ClientGame spy;
    Recorder rs(spy);
    seatPlayer(spy, 7);
    rs.sent.clear();
    QVERIFY(!spy.sendSound(1));
    QVERIFY(spy.sendChat(QStringLiteral("hi"), 0));
    QCOMPARE(rs.sent, (QList<QByteArray>{"CMD_chat+7+hi|clBlack\xFF"}));
}

QTEST_GUILESS_MAIN(TestClientGame)
#include "tst_clientgame.moc"
