// SPDX-License-Identifier: MIT
#pragma once

#include "server/rules.h"
#include "server/serverhost.h"
#include "support/seating.h"

#include <array>
#include <string>
#include <string_view>

namespace vrako {

// One connection record: records 1 to 4 are the seats, 5 to 9 the spectators.
struct PlayerRecord {
    std::string name;
    bool connected = false;
    // A valid login arrived on this connection; until then the seat is the computer's and its
    // private messages are not sent.
    bool loggedIn = false;
    int score = 0;
    Hand cards = emptyHand();
    int cardcount = 0;
    // The seat is set to just watching: the computer plays its cards.
    bool watching = false;
};

// The values of the game in progress.
struct GameState {
    bool gamerunning = false;
    int currentseat = 0; // 0: nobody on turn
    int topcard = card::kRoundStart;
    int playtoscore = 20;
    GameType gametype = GameType::SameNumber;
    bool direction = false; // false: ascending seats ("l"), true: descending ("r")
};

// Owns the record table and the game state, and applies the flow of a game: starting games and
// rounds, dealing, drawing, judging and applying plays, scoring, deciding the game, announcing
// every change to the records through the ServerHost.
class GameTable {
public:
    static constexpr int kSeats = seating::kSeats;
    static constexpr int kRecords = seating::kRecords;

    GameTable(ServerHost& host, RandomSource& random) : m_host(host), m_random(random) {}

    void setBotSpeed(int ms) { m_botSpeed = ms; }
    int botSpeed() const { return m_botSpeed; }
    void setRoundPause(int ms) { m_roundPause = ms; }
    int roundPause() const { return m_roundPause; }
    // Delay of the computer after its own draw, and when a seat on turn is set to watching.
    void setComputerRetry(int ms) { m_computerRetry = ms; }
    int computerRetry() const { return m_computerRetry; }

    // record must be 1..9 (callers check their numbers first).
    const PlayerRecord& player(int record) const { return m_players[record]; }
    const GameState& state() const { return m_state; }
    // The one way to write a record or the game state directly: for setting up a position in
    // tests and tools. The server changes them only through the operations below, which
    // announce every change.
    PlayerRecord& setupPlayer(int record) { return m_players[record]; }
    GameState& setupState() { return m_state; }

    // A connection was placed in record: present, not logged in, no name, not watching.
    void take(int record);
    // The connection of record closed: the record is free again; a seat's hand and score stay,
    // and the computer plays them from now on.
    void release(int record);
    // The connection of record logged in under name (already cleaned).
    void logIn(int record, std::string name);
    void setWatching(int seat, bool on) { m_players[seat].watching = on; }

    static bool isSeat(int n) { return seating::isSeat(n); }
    static bool isRecord(int n) { return seating::isRecord(n); }
    bool isPresent(int record) const { return isRecord(record) && m_players[record].connected; }
    // A seat with no connection, one whose connection has not logged in, or one set to just
    // watching, is played by the computer.
    bool isComputerPlayed(int seat) const;
    char directionLetter() const { return m_state.direction ? 'r' : 'l'; }
    RandomSource& random() { return m_random; }
    ServerHost& host() { return m_host; }

    void sendTo(int record, std::string_view bytes);
    void sendToAll(std::string_view bytes);
    void sendToOthers(int except, std::string_view bytes);
    // Sends what only the seat's own player may see: to a logged-in connection only, as the
    // login hands over the whole hand anyway.
    void sendToSeat(int seat, std::string_view bytes);

    void startgame(std::string_view starter, int playToScore, GameType type);
    void startnewround();
    // A play by seat of the card in slot; ignored unless seat is on turn. colour matters for a
    // Wild only. Returns true when the card was played.
    bool playcard(int seat, int colour, int slot);
    // A draw by seat; ignored unless seat is on turn.
    void drawcard(int seat);
    // Passes the turn one seat on in the direction of play.
    void findplayer();

private:
    void dealcards();
    void getcard(int seat, int slot);
    void giveCards(int seat, int n);
    void removeCard(int seat, int slot);
    void announcePlay(int seat, int slot, int code);
    bool itiscolor(int seat, int code, int slot);
    void oktoplay(int seat, int code, int slot);
    void playvrako(int seat, int slot);
    void playreverse(int seat, int slot);
    bool playwild(int seat, int colour, int slot);
    void playdouble(int seat, int slot);
    void playbomb(int seat, int slot);
    int nextSeat(int seat) const;
    void endTurn(int seat);
    bool checkforwin(int seat);
    bool checkforgamewin();
    void resetHands();
    void resetConnection(int record, bool connected);
    void sendNoMatch(int seat);

    ServerHost& m_host;
    RandomSource& m_random;
    std::array<PlayerRecord, kRecords + 1> m_players{}; // index 0 unused
    GameState m_state;
    int m_botSpeed = 1000;
    int m_computerRetry = 500;
    int m_roundPause = 10000;
};

} // namespace vrako
