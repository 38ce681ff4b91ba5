// SPDX-License-Identifier: MIT
#pragma once

#include "net/fieldreader.h"
#include "server/gametable.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace vrako::test {

// What the clients can know, rebuilt from the messages they receive.
struct Model {
    std::array<Hand, 5> hands{};
    std::array<int, 5> scores{};
    std::array<int, 5> counts{};
    int topcard = card::kRoundStart;
    GameType type = GameType::SameNumber;
    bool direction = false;
    int current = 0;
    int lastPlayer = 0;
    bool doubleJustPlayed = false;
    bool wildPending = false;
    int playTo = 0;
    int wins = 0;
};

// Checks every message of games against the rules. Messages to the spectator record are the
// broadcasts; messages to records 1-4 are each seat's own. With a table, every broadcast is also
// compared with the server's state (only possible when the messages come straight from it);
// without, each seat's hand is known from its own messages only when trackHands is set.
class Checker {
public:
    Checker(const GameTable* table, int playTo, int spectator, bool trackHands)
        : m_table(table), m_spectator(spectator), m_trackHands(trackHands) {
        m_model.playTo = playTo;
    }

    void onSend(int record, std::string_view bytes);
    const std::string& failure() const { return m_failure; }
    Model& model() { return m_model; }
    long messages = 0;

private:
    void check(bool ok, const char* what, std::string_view bytes) {
        if (!ok && m_failure.empty())
            m_failure = std::string(what) + " at " + std::string(bytes.substr(0, bytes.size() - 1));
    }
    void seatMessage(int record, std::string_view word, FieldReader& f, std::string_view bytes);
    void broadcast(std::string_view word, FieldReader& f, std::string_view bytes);
    void checkTable(std::string_view bytes);
    int modelCount(int seat) const {
        if (!m_trackHands)
            return m_model.counts[seat];
        return int(std::count_if(m_model.hands[seat].begin() + 1, m_model.hands[seat].end(),
                                 [](int c) { return c != card::kEmpty; }));
    }

    const GameTable* m_table;
    int m_spectator;
    bool m_trackHands;
    Model m_model;
    std::string m_failure;
};

} // namespace vrako::test
