// SPDX-License-Identifier: MIT
#pragma once

namespace vrako {

class GameTable;

// Decides and makes one move for a seat that the computer plays: tries its special cards, a
// matching card and a Wild in a fixed order with random chances, and otherwise draws.
class ComputerPlayer {
public:
    explicit ComputerPlayer(GameTable& table) : m_table(table) {}

    // One decision for seat, which must be on turn.
    void computerplay(int seat);

    bool computervrako(int seat);
    bool computerbomb(int seat);
    bool computerreverse(int seat);
    bool computerdouble(int seat);
    bool computercolor(int seat);
    bool computernumber(int seat);
    bool computerwild(int seat);

private:
    bool trySpecial(int seat, int code);
    int findSlot(int seat, int code) const;

    GameTable& m_table;
};

} // namespace vrako
