// SPDX-License-Identifier: MIT
#include "server/rules.h"

namespace vrako {

bool faceMatches(int d, int c, GameType gameType) {
    if (gameType == GameType::SameNumber)
        return d == c;
    return (d == c + 1 && c + 1 <= card::kNumbersPerColour) || (d == c - 1 && c - 1 >= 1);
}

bool mayFollow(int code, int current, GameType gameType) {
    if (!isColoured(code))
        return false;
    if (colourIndexOf(code) == colourIndexOf(current))
        return true;
    // After a Wild only the named colour may follow.
    if (isColourCode(current))
        return false;
    return faceMatches(face(code), face(current), gameType);
}

int makeCard(int r) {
    if (r <= 51)
        return r;
    if (r <= 54)
        return card::kVrako;
    if (r <= 57)
        return card::kReverse;
    if (r <= 61)
        return card::kWild;
    if (r <= 65)
        return card::kDouble;
    return card::kBomb;
}

int lowestFreeSlot(const Hand& hand) {
    for (int slot = 1; slot <= kMaxHand; ++slot) {
        if (hand[slot] == card::kEmpty)
            return slot;
    }
    return 0;
}

Hand emptyHand() {
    Hand h;
    h.fill(card::kEmpty);
    return h;
}

int SeededRandom::uniform(int n) {
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(m_engine);
}

} // namespace vrako
