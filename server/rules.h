// SPDX-License-Identifier: MIT
#pragma once

// Card codes: 0 Vrako, 1 Reverse, 2 Wild, 3 Double, 4 Bomb, 5-16 blue 1-12, 17-28 green,
// 29-40 red, 41-52 yellow, 53-56 the colour named by a Wild, -1 an empty hand slot.

#include <array>
#include <cstdint>
#include <random>
#include <string_view>

namespace vrako {

namespace card {
inline constexpr int kEmpty = -1;
inline constexpr int kVrako = 0;
inline constexpr int kReverse = 1;
inline constexpr int kWild = 2;
inline constexpr int kDouble = 3;
inline constexpr int kBomb = 4;
inline constexpr int kFirstColoured = 5;
inline constexpr int kLastColoured = 52;
inline constexpr int kBlue = 53;
inline constexpr int kYellow = 56;
// The current card at the start of every round: the blue 1.
inline constexpr int kRoundStart = 5;
} // namespace card

// Slots 1 to 14 name the cards of a hand; only 1 to 13 ever receive a card.
inline constexpr int kSlots = 14;
inline constexpr int kMaxHand = 13;
using Hand = std::array<int, kSlots + 1>; // index 0 unused

// Number of values makeCard() expects its random argument to range over.
inline constexpr int kCardDraws = 67;

bool isSpecial(int code);
bool isColoured(int code);
bool isColourCode(int code);

// "blue", "green", "red", "yellow", or "" for a code without colour.
std::string_view colourWord(int code);

// ((code - 4) mod 12) with 0 read as 12; the remainder keeps the sign of code - 4, so the
// special cards read as negative faces except the Bomb, which reads as 12.
int face(int code);

// Whether the non-special card may follow current under game type 's' or 'd'.
bool mayFollow(int code, int current, char gameType);

// Whether face d relates to current face c by the game type (no wrap in 'd').
bool faceMatches(int d, int c, char gameType);

// The card for a uniform draw r in 0..66: 0-51 are themselves, and 52-66 add three more
// Vrakos, three Reverses, four Wilds, four Doubles and one Bomb; the yellow 12 is never made.
int makeCard(int r);

// The colour code (53-56) a Wild names for a coloured card.
int colourCodeOf(int code);

// Lowest slot among 1 to 13 holding -1, or 0 when the hand is full.
int lowestFreeSlot(const Hand& hand);

Hand emptyHand();

// Uniform integers for card making, Vrako counts, first seats and the computer's chances.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniform integer 0 .. n-1.
    virtual int uniform(int n) = 0;
};

// RandomSource on a seeded Mersenne twister.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : m_engine(seed) {}
    void reseed(std::uint64_t seed) { m_engine.seed(seed); }
    int uniform(int n) override;

private:
    std::mt19937_64 m_engine;
};

} // namespace vrako
