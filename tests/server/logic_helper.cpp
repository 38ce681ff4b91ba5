// SPDX-License-Identifier: MIT
#include "logic_helper.h"

#include "net/commands.h"
#include "net/framing.h"
#include "net/messages.h"

namespace vrako::test {

void FakeHost::send(int record, std::string_view bytes) {
    if (keep)
        sent.emplace_back(record, std::string(bytes));
    if (onSend)
        onSend(record, bytes);
}

void FakeHost::closeConnection(int record) {
    closed.push_back(record);
    if (logic)
        logic->connectionClosed(record);
}

std::vector<std::string> FakeHost::to(int record) const {
    std::vector<std::string> out;
    for (const auto& [r, bytes] : sent) {
        if (r == record)
            out.push_back(bytes);
    }
    return out;
}

int ScriptedRandom::uniform(int n) {
    ++calls;
    if (script.empty())
        return m_fallback.uniform(n);
    const int v = script.front();
    script.pop_front();
    if (v < 0 || v >= n)
        outOfRange = true;
    return v;
}

LogicRig::LogicRig(int present) {
    host.logic = &logic;
    for (int i = 0; i < present; ++i)
        join("P" + std::to_string(i + 1));
    host.clear();
}

int LogicRig::join(const std::string& name) {
    const int r = logic.placeConnection();
    logic.welcome(r);
    deliver(r, msg::logininfo(r, cmd::version, name));
    return r;
}

void LogicRig::deliver(int sender, std::string_view bytes) {
    MessageFramer framer;
    std::vector<std::string> messages;
    framer.feed(bytes, messages);
    for (const std::string& m : messages)
        logic.handleMessage(sender, m);
}

void LogicRig::setHand(int seat, std::initializer_list<int> cards) {
    PlayerRecord& p = table().setupPlayer(seat);
    p.cards = emptyHand();
    int slot = 1;
    for (int c : cards)
        p.cards[slot++] = c;
    p.cardcount = static_cast<int>(cards.size());
}

} // namespace vrako::test
