// SPDX-License-Identifier: MIT
// The server over real loopback connections: logins, catch-up, the full table, relays, kicks,
// just watching, whole games, and peers that misbehave.
#include "client_helper.h"
#include "gamecheck_helper.h"
#include "net/commands.h"
#include "net/messages.h"
#include "server/tserver.h"

#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace vrako;
using namespace vrako::test;

namespace {

bool startsWith(const std::string& m, std::string_view prefix) {
    return m.starts_with(prefix);
}

// A server on a free port with a fixed seed and clients that log in.
struct Table {
    Table() {
        server.setBotSpeed(100000); // the computer stays still unless a test wants it
        server.setRoundPause(100000);
        server.listen(0);
    }
    TestClient& connect(const std::string& from = {}) {
        clients.push_back(std::make_unique<TestClient>(server.port(), 0, true, from));
        TestClient& c = *clients.back();
        spinUntil([&] { return c.record() != 0 || c.peerClosed; });
        return c;
    }
    TestClient& join(const std::string& name, std::string_view version = cmd::version,
                     const std::string& from = {}) {
        TestClient& c = connect(from);
        c.send(msg::logininfo(c.record(), version, name));
        spinUntil([&] { return c.has(msg::newplayerinfo(c.record(), name)); });
        return c;
    }
    // Waits until client has a message starting with prefix.
    static bool waitFor(TestClient& c, std::string_view prefix, int ms = 5000) {
        return spinUntil(
            [&] {
                return std::any_of(c.messages.begin(), c.messages.end(),
                                   [&](const std::string& m) { return startsWith(m, prefix); });
            },
            ms);
    }
    std::vector<std::pair<int, int>> hand(int seat) {
        std::vector<std::pair<int, int>> held;
        const PlayerRecord& p = server.logic().table().player(seat);
        for (int slot = 1; slot <= kSlots; ++slot) {
            if (p.cards[slot] != card::kEmpty)
                held.emplace_back(slot, p.cards[slot]);
        }
        return held;
    }

    TServer server{777};
    std::vector<std::unique_ptr<TestClient>> clients;
};

// A seat that plays the first card that may be played, else draws, from what it was told.
struct AutoPlayer {
    AutoPlayer(TestClient& c, int ownSeat) : client(c), seat(ownSeat) {
        hand = emptyHand();
        c.onMessage = [this](const std::string& m) { onMessage(m); };
    }
    void onMessage(const std::string& bytes) {
        const ParsedMessage m = splitCommand(std::string_view(bytes).substr(0, bytes.size() - 1));
        FieldReader f(m.args);
        if (m.command == "CMD_startgame") {
            f.field();
            f.field();
            type = gameTypeOf(f.field());
            hand = emptyHand();
            top = card::kRoundStart;
        } else if (m.command == "CMD_startround") {
            hand = emptyHand();
            top = card::kRoundStart;
        } else if (m.command == "CMD_acard") {
            f.field();
            const int slot = f.number().value_or(0);
            hand.at(std::size_t(slot)) = f.number().value_or(-1);
        } else if (m.command == "CMD_playcard") {
            const int who = f.number().value_or(0), code = f.number().value_or(-1);
            if (isColoured(code))
                top = code;
            if (who == seat && lastSlot)
                hand[lastSlot] = card::kEmpty;
            lastSlot = 0;
        } else if (m.command == "CMD_playwild") {
            top = f.number().value_or(0);
        } else if (m.command == "CMD_nomatch") {
            refused = true;
        } else if (m.command == "CMD_goplay" ||
                   (m.command == "CMD_nextplayer" && f.number() == seat)) {
            move();
        }
    }
    void move() {
        for (int slot = 1; slot <= kMaxHand; ++slot) {
            const int code = hand[slot];
            if (isSpecial(code) || mayFollow(code, top, type)) {
                lastSlot = slot;
                client.send(msg::playcard(seat, code == card::kWild ? 56 : 0, slot));
                return;
            }
        }
        client.send(msg::drawcard(seat));
    }

    TestClient& client;
    int seat;
    Hand hand;
    int top = card::kRoundStart;
    GameType type = GameType::SameNumber;
    int lastSlot = 0;
    bool refused = false;
};

} // namespace

class TestTServer : public QObject {
    Q_OBJECT
private slots:
    void loginsAndCatchUp();
    void tenthConnectionIsRefused();
    void newcomerTakesOverALeftSeat();
    void droppedSeatWaitsForItsAddress();
    void relaysAndKicks();
    void justWatchingOnTurn();
    void completeGames_data();
    void completeGames();
    void seatThatNeverLogsIn();
    void badPeers();
    void gameTimersArePrecise();
    void floodOfLargeMessages_data();
    void floodOfLargeMessages();
};

void TestTServer::loginsAndCatchUp() {
    Table t;
    TestClient& host = t.join("Host");
    TestClient& bo = t.join("Bo");
    QCOMPARE(bo.messages,
             (std::vector<std::string>{msg::sendlogininfo(2), msg::newplayerinfo(2, "Bo"),
                                       msg::existingplayers({{1, "Host", false}})}));
    QVERIFY(host.has(msg::newplayerinfo(2, "Bo")));

    host.send(msg::startgame("Host", 20, GameType::SameNumber));
    QVERIFY(Table::waitFor(bo, "CMD_nextplayer+"));
    QVERIFY(bo.has(msg::startgame("Host", 20, GameType::SameNumber)));
    TestClient& cy = t.join("Cy", "1.0.9");
    QVERIFY(Table::waitFor(cy, "CMD_nextplayer+"));
    QVERIFY(Table::waitFor(host, "CMD_havewrongversion+"));
    const GameState& st = t.server.logic().table().state();
    QCOMPARE(cy.messages,
             (std::vector<std::string>{
                 msg::sendlogininfo(3), msg::newplayerinfo(3, "Cy"),
                 msg::existingplayers({{1, "Host", false}, {2, "Bo", false}}), msg::wrongversion(),
                 msg::gamestats(3, 5, 20, GameType::SameNumber), msg::thescores({0, 0, 0, 0}),
                 msg::cardcount(1, 5), msg::cardcount(2, 5), msg::thecards(3, t.hand(3)),
                 msg::cardcount(4, 5), msg::nextplayer(st.currentseat, 'l')}));
    QCOMPARE(host.messages.back(), msg::havewrongversion("Cy"));
}

void TestTServer::tenthConnectionIsRefused() {
    Table t;
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(t.connect().record(), i);
    TestClient& tenth = t.connect();
    QVERIFY(spinUntil([&] { return tenth.peerClosed; }));
    QCOMPARE(tenth.messages, std::vector<std::string>{msg::full()});
    QCOMPARE(t.server.connectionCount(), 9);
    t.clients[8]->send(msg::chat(9, "still here", "clRed"));
    QVERIFY(Table::waitFor(*t.clients[0], "CMD_chat+9+"));
}

void TestTServer::newcomerTakesOverALeftSeat() {
    Table t;
    for (int i = 1; i <= 5; ++i)
        t.join("P" + std::to_string(i));
    t.clients[0]->send(msg::startgame("P1", 15, GameType::OneMoreOrLess));
    QVERIFY(Table::waitFor(*t.clients[4], "CMD_nextplayer+"));
    t.clients[1]->close();
    QVERIFY(Table::waitFor(*t.clients[4], "CMD_playerdisconnected+2+P2"));
    QVERIFY(t.clients[0]->has(msg::playerdisconnected(2, "P2")));
    TestClient& again = t.join("Ida");
    QCOMPARE(again.record(), 2);
    QVERIFY(Table::waitFor(again, "CMD_nextplayer+"));
    QVERIFY(again.has(msg::thecards(2, t.hand(2))));
    QVERIFY(again.has(msg::existingplayers(
        {{1, "P1", false}, {3, "P3", false}, {4, "P4", false}, {5, "P5", false}})));
}

void TestTServer::droppedSeatWaitsForItsAddress() {
    Table t;
    t.server.setSeatHold(10000);
    for (int i = 1; i <= 4; ++i)
        t.join("P" + std::to_string(i));
    TestClient& host = *t.clients[0];
    const std::string start = msg::startgame("P1", 20, GameType::SameNumber);
    host.send(start);
    QVERIFY(Table::waitFor(*t.clients[3], "CMD_nextplayer+"));
    const std::string elsewhere = "127.0.0.2";
    // Ends the connection of seat by act and waits until the host hears that it left.
    const auto leaves = [&](int seat, const std::function<void()>& act) {
        const std::string left = msg::playerdisconnected(seat, "P" + std::to_string(seat));
        const std::size_t before = host.count(left);
        act();
        return spinUntil([&] { return host.count(left) > before; });
    };

    // A dropped link: the seat waits for its player; a newcomer from elsewhere watches.
    QVERIFY(leaves(2, [&] { t.clients[1]->reset(); }));
    QCOMPARE(t.join("Stranger", cmd::version, elsewhere).record(), 5);
    TestClient& back = t.join("P2");
    QCOMPARE(back.record(), 2);
    QVERIFY(Table::waitFor(back, "CMD_nextplayer+"));
    QVERIFY(back.has(msg::thecards(2, t.hand(2))));

    // Once the hold has passed, anyone may take the seat.
    t.server.setSeatHold(200);
    QVERIFY(leaves(2, [&] { back.close(); }));
    spinFor(300);
    QCOMPARE(t.connect(elsewhere).record(), 2);

    // A removed player's seat is not held.
    QVERIFY(leaves(3, [&] { host.send(msg::kickhim(1, 3)); }));
    QCOMPARE(t.connect(elsewhere).record(), 3);

    // Nor is a seat held into a new game.
    t.server.setSeatHold(10000);
    QVERIFY(leaves(4, [&] { t.clients[3]->close(); }));
    host.send(start);
    QVERIFY(spinUntil([&] { return host.count(start) == 2; }));
    QCOMPARE(t.connect(elsewhere).record(), 4);
}

void TestTServer::relaysAndKicks() {
    Table t;
    TestClient& host = t.join("Host");
    TestClient& two = t.join("Two");
    TestClient& three = t.join("Three");
    two.send(msg::chat(2, "a+b=c :)", "clRed"));
    two.send(msg::kickhim(1, 3)); // not the host: ignored
    two.send(msg::action(2, "waits", "clBlue"));
    const std::string action = msg::actionRelay(2, "Two", "waits|clBlue");
    QVERIFY(spinUntil([&] { return three.has(action) && host.has(action); }));
    QVERIFY(three.has(msg::chatRelay(2, "Two", "a+b=c :)|clRed")));
    QVERIFY(!three.peerClosed);

    host.send(msg::kickhim(1, 3));
    QVERIFY(spinUntil([&] { return three.peerClosed; }));
    QVERIFY(Table::waitFor(two, "CMD_playerdisconnected+3+Three"));
    QCOMPARE(t.server.connectionCount(), 2);
}

void TestTServer::justWatchingOnTurn() {
    Table t;
    for (int i = 1; i <= 4; ++i)
        t.join("P" + std::to_string(i));
    t.clients[0]->send(msg::startgame("P1", 20, GameType::SameNumber));
    QVERIFY(Table::waitFor(*t.clients[0], "CMD_nextplayer+"));
    const int seat = t.server.logic().table().state().currentseat;
    TestClient& player = *t.clients[std::size_t(seat - 1)];
    player.send(msg::justwatch(seat, 1));
    QVERIFY(Table::waitFor(*t.clients[0], msg::justwatching(seat, 1)));
    // The computer plays this turn for the player half a second later, or draws for it.
    const std::string deleted = "CMD_setdeletecard+" + std::to_string(seat) + "+";
    const std::string drew = "CMD_acard+" + std::to_string(seat) + "+6+";
    QVERIFY(spinUntil(
        [&] {
            return std::any_of(player.messages.begin(), player.messages.end(),
                               [&](const std::string& m) {
                                   return startsWith(m, deleted) || startsWith(m, drew);
                               });
        },
        3000));
    t.clients[0]->send(msg::justwatch(seat, 2)); // the host takes it back for the player
    QVERIFY(Table::waitFor(player, msg::justwatching(seat, 2)));
    QVERIFY(!t.server.logic().table().player(seat).watching);
}

void TestTServer::completeGames_data() {
    QTest::addColumn<QString>("type");
    QTest::newRow("same number") << "s";
    QTest::newRow("one more or less") << "d";
}

void TestTServer::completeGames() {
    QFETCH(QString, type);
    Table t;
    t.server.setRoundPause(1);
    std::vector<std::unique_ptr<AutoPlayer>> players;
    for (int i = 1; i <= 4; ++i)
        players.push_back(std::make_unique<AutoPlayer>(t.join("P" + std::to_string(i)), i));
    TestClient& watcher = t.join("Watcher");
    Checker checker(nullptr, 10, 5, false);
    watcher.onMessage = [&](const std::string& m) { checker.onSend(5, m); };
    t.clients[0]->send(msg::startgame("P1", 10, gameTypeOf(type.toStdString())));
    QVERIFY2(Table::waitFor(watcher, "CMD_wingame+", 60000), checker.failure().c_str());
    QVERIFY2(checker.failure().empty(), checker.failure().c_str());
    QCOMPARE(checker.model().wins, 1);
    for (const auto& p : players)
        QVERIFY(!p->refused);
    QCOMPARE(t.server.connectionCount(), 5);
}

void TestTServer::seatThatNeverLogsIn() {
    Table t;
    t.server.setBotSpeed(1);
    t.server.setComputerRetry(1);
    t.server.setRoundPause(1);
    std::vector<std::unique_ptr<AutoPlayer>> players;
    for (int i = 1; i <= 4; ++i) {
        if (i == 3)
            QCOMPARE(t.connect().record(), 3);
        else
            players.push_back(std::make_unique<AutoPlayer>(t.join("P" + std::to_string(i)), i));
    }
    TestClient& silent = *t.clients[2];
    TestClient& watcher = t.join("Watcher");
    Checker checker(nullptr, 10, 5, false);
    watcher.onMessage = [&](const std::string& m) { checker.onSend(5, m); };
    t.clients[0]->send(msg::startgame("P1", 10, GameType::SameNumber));
    // The computer plays seat 3, so the game does not wait for it.
    QVERIFY2(Table::waitFor(watcher, "CMD_wingame+", 30000), checker.failure().c_str());
    QVERIFY2(checker.failure().empty(), checker.failure().c_str());
    QVERIFY(Table::waitFor(silent, "CMD_wingame+"));
    // The silent connection heard what everyone hears, nothing meant for seat 3 alone.
    for (const std::string& m : silent.messages) {
        QVERIFY2(!m.starts_with("CMD_acard+") && !m.starts_with("CMD_setdeletecard+") &&
                     m != msg::goplay() && m != msg::nomatch() && m != msg::vrako() &&
                     m != msg::bomb(),
                 m.c_str());
    }
    QVERIFY(silent.has(msg::startgame("P1", 10, GameType::SameNumber)));
}

void TestTServer::badPeers() {
    Table t;
    TestClient& host = t.join("Host");
    TestClient& good = t.join("Good");

    // Garbage, false numbers and fields out of range from a logged-in peer.
    TestClient& bad = t.join("Bad");
    bad.send("garbage without command\xFF\xFF\xFF");
    bad.send(msg::chat(1, "I am the host", "clRed"));
    bad.send(msg::kickhim(1, 2));
    bad.send(msg::startgame("Bad", 20, GameType::SameNumber));
    bad.send("CMD_justwatch+2+1\xFF"
             "CMD_chat+99+x\xFF"
             "CMD_playcard+3+0+99\xFF"
             "CMD_logininfo+1+1.0.17+Evil\xFF"
             "CMD_drawcard+-3\xFF");

    // A login split into single bytes still arrives whole.
    TestClient& slow = t.connect();
    const std::string login = msg::logininfo(slow.record(), cmd::version, "Slow");
    for (char c : login) {
        slow.send(std::string_view(&c, 1));
        spinFor(1);
    }
    QVERIFY(Table::waitFor(good, msg::newplayerinfo(4, "Slow")));

    // A message that never ends is cut off at 64 KiB with its connection.
    TestClient& endless = t.connect();
    endless.send(std::string(70 * 1024, 'x'));
    QVERIFY(spinUntil([&] { return endless.peerClosed; }));

    // A flood of complete messages is held back, not closed: the others go on meanwhile, and
    // a kick drops what it still has waiting.
    TestClient& flood = t.join("Flood");
    std::string burst;
    for (int i = 0; i < 3000; ++i)
        burst += msg::playasound(flood.record(), 1);
    flood.send(burst);
    good.send(msg::chat(2, "during the flood", "clRed"));
    QVERIFY(Table::waitFor(host, "CMD_chat+2+Good chats: during the flood"));
    QVERIFY(t.server.queuedMessages() <= std::size_t(TServer::kMaxQueuedPerConnection));
    host.send(msg::kickhim(1, flood.record()));
    QVERIFY(spinUntil([&] { return flood.peerClosed; }));

    // Leaving in the middle of a message, or with a reset.
    TestClient& half = t.join("Half");
    half.send("CMD_chat+");
    half.close();
    TestClient& rude = t.join("Rude");
    rude.reset();
    QVERIFY(Table::waitFor(good, "CMD_playerdisconnected+" + std::to_string(rude.record())));

    good.send(msg::chat(2, "still on", "clRed"));
    QVERIFY(Table::waitFor(host, "CMD_chat+2+Good chats: still on"));
    QVERIFY(!host.peerClosed && !good.peerClosed && !bad.peerClosed);
    QVERIFY(!good.has(msg::chatRelay(1, "Host", "I am the host|clRed")));
    QVERIFY(!host.has(msg::startgame("Bad", 20, GameType::SameNumber)));
    QCOMPARE(t.server.logic().table().player(1).name, std::string("Host"));
    QVERIFY(!t.server.logic().table().player(2).watching);
    QCOMPARE(t.server.connectionCount(), 4);
    QCOMPARE(t.server.queuedMessages(), std::size_t(0));
}

void TestTServer::gameTimersArePrecise() {
    TServer server(1);
    for (const char* name : {"Timer2", "computertimer"}) {
        const auto* timer = server.findChild<QTimer*>(name);
        QVERIFY2(timer, name);
        QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    }
}

void TestTServer::floodOfLargeMessages_data() {
    QTest::addColumn<int>("peers");
    QTest::addColumn<int>("kib");
    QTest::newRow("one peer, 16 KiB messages") << 1 << 16;
    QTest::newRow("three peers, 60 KiB messages") << 3 << 60;
}

void TestTServer::floodOfLargeMessages() {
    QFETCH(int, peers);
    QFETCH(int, kib);
    Table t;
    TestClient& host = t.join("Host");
    TestClient& good = t.join("Good");
    // The flooding peers send chat messages faster than the server handles them.
    std::vector<TestClient*> floods;
    for (int i = 0; i < peers; ++i) {
        TestClient& f = t.join("Flood" + std::to_string(i));
        f.flood(msg::chat(f.record(), std::string(std::size_t(kib) * 1024, 'x'), "clRed"));
        floods.push_back(&f);
    }
    good.send(msg::chat(2, "during", "clRed"));
    // The floods are held back, never closed; what they have waiting stays within their
    // shares, and the others' messages pass them.
    std::size_t most = 0;
    const auto during = msg::chatRelay(2, "Good", "during|clRed");
    QVERIFY(spinUntil([&] {
        most = std::max(most, t.server.queuedBytes());
        return host.has(during);
    }));
    spinUntil(
        [&] {
            most = std::max(most, t.server.queuedBytes());
            return false;
        },
        1000);
    // Each flood may hold its share plus the one message that passes it.
    QVERIFY2(most <= std::size_t(peers) * (TServer::kMaxQueuedBytesPerConnection + 64 * 1024),
             std::to_string(most).c_str());
    QVERIFY(std::none_of(floods.begin(), floods.end(),
                         [](const TestClient* f) { return f->peerClosed; }));
    for (TestClient* f : floods)
        host.send(msg::kickhim(1, f->record()));
    QVERIFY(spinUntil([&] { return t.server.connectionCount() == 2; }));
    for (TestClient* f : floods)
        f->close();
    good.send(msg::chat(2, "after", "clRed"));
    QVERIFY(Table::waitFor(host, "CMD_chat+2+Good chats: after"));
    QVERIFY(!host.peerClosed && !good.peerClosed);
}

QTEST_GUILESS_MAIN(TestTServer)
#include "tst_tserver.moc"
