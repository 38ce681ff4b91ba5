// SPDX-License-Identifier: MIT
#pragma once

#include "net/messages.h"
#include "server/computerplayer.h"
#include "server/gametable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrako {

// How a connection ended, for holding its seat: the peer's address, when (in ms on the server's
// clock), and whether the host removed it.
struct Departure {
    std::string address;
    std::int64_t at = 0;
    bool removed = false;
};

// Handles everything that reaches the server for one record: placing new connections, every
// received message (checked against the connection it came from), closes and the two timers.
class ServerLogic {
public:
    // Record number that only carries the "game is full" answer.
    static constexpr int kFullRecord = seating::kRecords + 1;

    ServerLogic(ServerHost& host, RandomSource& random)
        : m_host(host), m_table(host, random), m_computer(m_table) {}

    GameTable& table() { return m_table; }
    const GameTable& table() const { return m_table; }
    ComputerPlayer& computer() { return m_computer; }
    int connectionCount() const { return m_connectionCount; }

    // How long a seat whose player dropped out of a game waits for that player by default.
    static constexpr int kSeatHoldMs = 60000;

    // Places a new connection from address, at now (ms on the clock Departure uses): returns
    // its record 1..9, now present, or kFullRecord when nine are present (the caller answers
    // and drops that one). A seat held for address is given back first; a seat held for
    // another address is passed over. Once the host can reach the record, welcome() tells it
    // its number.
    int placeConnection(std::string_view address = {}, std::int64_t now = 0);
    void welcome(int record);
    // The connection of record has closed; frees the record. A seat whose logged-in player
    // left a running game, other than by removal, is held for the player's address for the
    // hold time (a departure without an address holds nothing).
    void connectionClosed(int record, const Departure& how = {});
    void setSeatHold(int ms) { m_seatHoldMs = ms; }

    // One received message from the connection of record sender.
    void handleMessage(int sender, std::string_view message);

    void computerTimerFired();
    void roundTimerFired() { m_table.startnewround(); }

    // A login name cut to msg::kMaxNameLength characters, with "+" and control characters
    // replaced, so it cannot shift fields.
    static std::string cleanName(std::string_view name);

private:
    // Records are read here and changed only through the table's operations.
    const PlayerRecord& player(int record) const { return m_table.player(record); }
    // Hands the fields of a message from sender to its handler, if they read.
    template <typename Fields>
    void apply(int sender, const std::optional<Fields>& fields,
               void (ServerLogic::*handler)(int, const Fields&)) {
        if (fields)
            (this->*handler)(sender, *fields);
    }
    // Whether seat waits, at now, for the player who dropped out of it.
    bool isHeld(int seat, std::int64_t now) const;
    void receivedlogininfo(int sender, const msg::Login& login);
    void sendCatchUp(int record);
    void chat(int sender, const msg::ChatLine& line) { relay(sender, line, true); }
    void action(int sender, const msg::ChatLine& line) { relay(sender, line, false); }
    void relay(int sender, const msg::ChatLine& line, bool isChat);
    // Sends a relayed message to all, unless it is longer than a reader accepts.
    void sendRelay(const std::string& bytes);
    void playasound(int sender, const msg::Sound& sound);
    void kickhim(int sender, const msg::Kick& kick);
    void startgame(int sender, const msg::GameStart& start);
    void playcard(int sender, const msg::Play& play);
    void drawcard(int sender, const msg::Seat& draw);
    void justwatch(int sender, const msg::WatchRequest& request);

    ServerHost& m_host;
    GameTable m_table;
    ComputerPlayer m_computer;
    int m_connectionCount = 0;
    // A seat held for a dropped player: its address and until when (no hold while until is 0).
    struct SeatHold {
        std::string address;
        std::int64_t until = 0;
    };
    std::array<SeatHold, seating::kSeats + 1> m_holds{}; // index 0 unused
    int m_seatHoldMs = kSeatHoldMs;
};

} // namespace vrako
