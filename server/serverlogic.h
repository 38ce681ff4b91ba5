// SPDX-License-Identifier: MIT
#pragma once

#include "net/messages.h"
#include "server/computerplayer.h"
#include "server/gametable.h"

#include <optional>
#include <string>
#include <string_view>

namespace vrako {

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

    // Places a new connection: returns its record 1..9, now present, or kFullRecord when nine
    // are present (the caller answers and drops that one). Once the host can reach the record,
    // welcome() tells it its number.
    int placeConnection();
    void welcome(int record);
    // The connection of record has closed; frees the record.
    void connectionClosed(int record);

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
};

} // namespace vrako
