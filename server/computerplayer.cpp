// SPDX-License-Identifier: MIT
#include "server/computerplayer.h"

#include "server/gametable.h"

namespace vrako {
namespace {

// A special card is held back on kHoldBackRolls of kChanceRolls rolls while the seat still has
// at least kHoldBackFrom cards.
constexpr int kChanceRolls = 10;
constexpr int kHoldBackRolls = 6;
constexpr int kHoldBackFrom = 3;

} // namespace

void ComputerPlayer::computerplay(int seat) {
    // The second tries of Vrako and Reverse roll their chance again.
    if (computervrako(seat) || computerbomb(seat) || computerreverse(seat) || computercolor(seat) ||
        computernumber(seat) || computerwild(seat) || computerdouble(seat) || computervrako(seat) ||
        computerreverse(seat))
        return;
    m_table.drawcard(seat);
    m_table.host().startComputerTimer(m_table.computerRetry());
}

int ComputerPlayer::findSlot(int seat, int code) const {
    const Hand& hand = m_table.player(seat).cards;
    for (int slot = 1; slot <= kMaxHand; ++slot) {
        if (hand[slot] == code)
            return slot;
    }
    return 0;
}

bool ComputerPlayer::trySpecial(int seat, int code) {
    const int slot = findSlot(seat, code);
    if (slot == 0)
        return false;
    const int roll = m_table.random().uniform(kChanceRolls);
    if (roll < kHoldBackRolls && m_table.player(seat).cardcount >= kHoldBackFrom)
        return false;
    m_table.playcard(seat, 0, slot);
    return true;
}

bool ComputerPlayer::computervrako(int seat) {
    return trySpecial(seat, card::kVrako);
}
bool ComputerPlayer::computerbomb(int seat) {
    return trySpecial(seat, card::kBomb);
}
bool ComputerPlayer::computerreverse(int seat) {
    return trySpecial(seat, card::kReverse);
}
bool ComputerPlayer::computerdouble(int seat) {
    return trySpecial(seat, card::kDouble);
}

bool ComputerPlayer::computercolor(int seat) {
    const std::string_view colour = colourWord(m_table.state().topcard);
    const Hand& hand = m_table.player(seat).cards;
    for (int slot = 1; slot <= kMaxHand; ++slot) {
        if (!colour.empty() && colourWord(hand[slot]) == colour) {
            // After a Double the seat is on turn again and the card waits for that decision.
            if (!computerdouble(seat))
                m_table.playcard(seat, 0, slot);
            return true;
        }
    }
    return false;
}

bool ComputerPlayer::computernumber(int seat) {
    const GameState& st = m_table.state();
    if (!isColoured(st.topcard))
        return false;
    const int current = face(st.topcard);
    const Hand& hand = m_table.player(seat).cards;
    for (int slot = 1; slot <= kMaxHand; ++slot) {
        const int code = hand[slot];
        // The face formula reads a Bomb as 12, so a Bomb may be chosen here.
        if (code == card::kEmpty || code == card::kWild ||
            !faceMatches(face(code), current, st.gametype))
            continue;
        if (!computerdouble(seat))
            m_table.playcard(seat, 0, slot);
        return true;
    }
    return false;
}

bool ComputerPlayer::computerwild(int seat) {
    const int slot = findSlot(seat, card::kWild);
    if (slot == 0)
        return false;
    int colour = card::kBlue;
    const Hand& hand = m_table.player(seat).cards;
    for (int s = 1; s <= kMaxHand; ++s) {
        if (isColoured(hand[s])) {
            colour = colourCodeOf(hand[s]);
            break;
        }
    }
    m_table.playcard(seat, colour, slot);
    return true;
}

} // namespace vrako
