// SPDX-License-Identifier: MIT
#pragma once

#include "server/rules.h"
#include "server/serverhost.h"
#include "server/serverlogic.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vrako::test {

// A message as the wire carries it: the text and its closing 0xFF.
inline std::string frame(std::string_view text) {
    std::string s(text);
    s += '\xFF';
    return s;
}

// A ServerHost that records what the logic sends and which timers it arms, for tests that run
// the game without sockets.
class FakeHost : public ServerHost {
public:
    void send(int record, std::string_view bytes) override;
    void closeConnection(int record) override;
    void startComputerTimer(int ms) override {
        computerArmed = true;
        computerMs = ms;
    }
    void stopComputerTimer() override { computerArmed = false; }
    void startRoundTimer(int ms) override {
        roundArmed = true;
        roundMs = ms;
    }
    void stopRoundTimer() override { roundArmed = false; }

    // Messages (with their 0xFF) sent to record, in order.
    std::vector<std::string> to(int record) const;
    void clear() { sent.clear(); }

    std::vector<std::pair<int, std::string>> sent;
    std::vector<int> closed;
    bool computerArmed = false;
    int computerMs = 0;
    bool roundArmed = false;
    int roundMs = 0;
    ServerLogic* logic = nullptr; // told about closes when set
    std::function<void(int, std::string_view)> onSend;
    bool keep = true; // whether sent messages are stored in sent
};

// Plays back given values first, then falls back to a seeded generator; notes any value that
// is out of the range asked for.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::uint64_t seed = 1) : m_fallback(seed) {}
    int uniform(int n) override;
    void push(std::initializer_list<int> values) { script.insert(script.end(), values); }

    std::deque<int> script;
    bool outOfRange = false;
    int calls = 0;

private:
    SeededRandom m_fallback;
};

// A logic with a fake host and scripted random, records 1..present connected and logged in.
struct LogicRig {
    explicit LogicRig(int present = 0);
    // Connects and logs in the next record under name.
    int join(const std::string& name);
    // Hands every framed message in bytes to the logic as coming from sender.
    void deliver(int sender, std::string_view bytes);
    // Puts seat's hand to the given cards in slots 1.. and its count.
    void setHand(int seat, std::initializer_list<int> cards);
    GameTable& table() { return logic.table(); }

    FakeHost host;
    ScriptedRandom random;
    ServerLogic logic{host, random};
};

} // namespace vrako::test
