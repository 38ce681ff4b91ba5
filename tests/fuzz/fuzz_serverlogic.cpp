// SPDX-License-Identifier: MIT
// The server's logic through its host interface: connections come and go, timers fire and
// random messages arrive from random records. Whatever they say, nothing sent is longer than a
// reader accepts or goes to an absent record, and the hands stay consistent.
#include "net/framing.h"
#include "net/messages.h"
#include "server/serverlogic.h"

#include <cstdlib>
#include <string_view>

namespace {

using vrako::GameTable;

void require(bool condition) {
    if (!condition)
        std::abort();
}

class Host : public vrako::ServerHost {
public:
    vrako::ServerLogic* logic = nullptr;
    bool computerArmed = false;
    bool roundArmed = false;

    void send(int record, std::string_view bytes) override {
        require(logic->table().isPresent(record));
        require(!bytes.empty() && bytes.size() <= vrako::msg::kMaxRelayed);
        require(bytes.find(vrako::kFrameEnd) == bytes.size() - 1);
    }
    void closeConnection(int record) override { logic->connectionClosed(record); }
    void startComputerTimer(int) override { computerArmed = true; }
    void stopComputerTimer() override { computerArmed = false; }
    void startRoundTimer(int) override { roundArmed = true; }
    void stopRoundTimer() override { roundArmed = false; }
};

void checkTable(const GameTable& table) {
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

} // namespace

// The input is a sequence of steps separated by 0xFF. A step whose first byte is below 0x10
// is an event (0: a connection arrives, 1: record n closes, 2: the computer's timer fires,
// 3: the round timer fires); any other first byte b sends the rest as a message from record
// b % 11 (0 and 10 are never a connection's).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Host host;
    vrako::SeededRandom random(size);
    vrako::ServerLogic logic(host, random);
    host.logic = &logic;
    logic.table().setBotSpeed(1);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = std::min(input.find(vrako::kFrameEnd), input.size());
        const std::string_view step = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (step.empty())
            continue;
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
    return 0;
}
