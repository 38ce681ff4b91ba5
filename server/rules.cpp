// SPDX-License-Identifier: MIT
#include "server/rules.h"

namespace vrako {

bool isSpecial(int code) {
    return code >= card::kVrako && code <= card::kBomb;
}
bool isColoured(int code) {
    return code >= card::kFirstColoured && code <= card::kLastColoured;
}
bool isColourCode(int code) {
    return code >= card::kBlue && code <= card::kYellow;
}

std::string_view colourWord(int code) {
    if (code >= 5 && code <= 16)
        return "blue";
    if (code >= 17 && code <= 28)
        return "green";
    if (code >= 29 && code <= 40)
        return "red";
    if (code >= 41 && code <= 52)
        return "yellow";
    switch (code) {
    case 53:
        return "blue";
    case 54:
        return "green";
    case 55:
        return "red";
    case 56:
        return "yellow";
    default:
        return "";
    }
}

int face(int code) {
    const int f = (code - 4) % 12;
    return f == 0 ? 12 : f;
}

bool faceMatches(int d, int c, char gameType) {
    if (gameType == 's')
        return d == c;
    return (d == c + 1 && c + 1 <= 12) || (d == c - 1 && c - 1 >= 1);
}

bool mayFollow(int code, int current, char gameType) {
    if (!isColoured(code))
        return false;
    if (colourWord(code) == colourWord(current))
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

int colourCodeOf(int code) {
    const std::string_view w = colourWord(code);
    if (w == "blue")
        return 53;
    if (w == "green")
        return 54;
    if (w == "red")
        return 55;
    if (w == "yellow")
        return 56;
    return 0;
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
