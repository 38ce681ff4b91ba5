// SPDX-License-Identifier: MIT
#pragma once

// The steps of the server-logic fuzz target, shared with the program that writes its seeds of
// whole games, so that a seed replays exactly the game it was written from.
//
// An input is a sequence of steps separated by 0xFF. A step whose first byte is below 0x10 is
// an event (0: a connection arrives, 1: record n closes, 2: the computer's timer fires, 3: the
// round timer fires); any other first byte b sends the rest as a message from record b % 11
// (0 and 10 are never a connection's). The random source is seeded with the input's size.

#include "net/framing.h"
#include "net/messages.h"
#include "server/serverlogic.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string_view>

namespace fuzzsteps {

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

// Checks what the logic sends, and remembers which of its timers are armed.
class Host : public vrako::ServerHost {
public:
    vrako::ServerLogic* logic = nullptr;
    bool computerArmed = false;
    bool roundArmed = false;
    // Sees every message sent, when set.
    std::function<void(int record, std::string_view bytes)> sent;

    void send(int record, std::string_view bytes) override {
        require(logic->table().isPresent(record));
        require(!bytes.empty() && bytes.size() <= vrako::msg::kMaxRelayed);
        require(bytes.find(vrako::kFrameEnd) == bytes.size() - 1);
        if (sent)
            sent(record, bytes);
    }
    void closeConnection(int record) override { logic->connectionClosed(record); }
    void startComputerTimer(int) override { computerArmed = true; }
    void stopComputerTimer() override { computerArmed = false; }
    void startRoundTimer(int) override { roundArmed = true; }
    void stopRoundTimer() override { roundArmed = false; }
};

inline void checkTable(const vrako::GameTable& table) {
    using vrako::GameTable;
    const vrako::GameState& st = table.state();
    require(st.currentseat >= 0 && st.currentseat <= GameTable::kSeats);
    for (int seat = 1; seat <= GameTable::kSeats; ++seat) {
        const vrako::PlayerRecord& p = table.player(seat);
        int held = 0;
        for (int slot = 1; slot <= vrako::kSlots; ++slot) {
            require(p.cards[slot] >= vrako::card::kEmpty && p.cards[slot] <= 56);
            held += p.cards[slot] != vrako::card::kEmpty;
        }
        require(held == p.cardcount && p.score >= 0);
    }
    for (int r = 1; r <= GameTable::kRecords; ++r)
        require(table.player(r).name.size() <= 4 * vrako::msg::kMaxNameLength);
}

// One logic with its host, as every input starts it.
struct Rig {
    explicit Rig(std::size_t inputSize) : random(inputSize), logic(host, random) {
        host.logic = &logic;
        logic.table().setBotSpeed(1);
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // Applies one step (its bytes without the closing 0xFF) and checks the table.
    void apply(std::string_view step) {
        if (step.empty())
            return;
        const auto first = static_cast<unsigned char>(step[0]);
        if (first < 0x10) {
            switch (first % 4) {
            case 0:
                if (const int r = logic.placeConnection(); r != vrako::ServerLogic::kFullRecord)
                    logic.welcome(r);
                break;
            case 1:
                logic.connectionClosed(step.size() > 1 ? static_cast<unsigned char>(step[1]) % 11
                                                       : 1);
                break;
            case 2:
                if (host.computerArmed)
                    logic.computerTimerFired();
                break;
            default:
                if (host.roundArmed) {
                    host.roundArmed = false;
                    logic.roundTimerFired();
                }
                break;
            }
        } else {
            logic.handleMessage(first % 11, step.substr(1));
        }
        checkTable(logic.table());
    }

    // Applies every step of a whole input.
    void run(std::string_view input) {
        while (!input.empty()) {
            const std::size_t end = std::min(input.find(vrako::kFrameEnd), input.size());
            apply(input.substr(0, end));
            input.remove_prefix(std::min(end + 1, input.size()));
        }
    }

    Host host;
    vrako::SeededRandom random;
    vrako::ServerLogic logic;
};

} // namespace fuzzsteps
