// SPDX-License-Identifier: MIT
#pragma once

// The game's rules: which card may follow which, how cards are made, and hands of slots.

#include "support/cards.h"

#include <array>
#include <cstdint>
#include <random>

namespace vrako {

// Slots 1 to 14 name the cards of a hand; only 1 to 13 ever receive a card.
inline constexpr int kSlots = card::kHandSlots;
inline constexpr int kMaxHand = kSlots - 1;
using Hand = std::array<int, kSlots + 1>; // index 0 unused

// Every seat is dealt this many cards at the start of a round.
inline constexpr int kDealtCards = 5;
// A Vrako gives the next seat kVrakoLeast to kVrakoLeast + kVrakoSpread - 1 cards, uniformly.
inline constexpr int kVrakoLeast = 4;
inline constexpr int kVrakoSpread = 6;
// A Bomb gives every other seat this many cards.
inline constexpr int kBombCards = 2;
// The round's winner takes this many points off its score (not below zero).
inline constexpr int kRoundWinBonus = 5;

// Number of values makeCard() expects its random argument to range over.
inline constexpr int kCardDraws = 67;

// Whether the non-special card may follow current under the game type.
bool mayFollow(int code, int current, GameType gameType);

// Whether face d relates to current face c by the game type (no wrap in One More or Less).
bool faceMatches(int d, int c, GameType gameType);

// The card for a uniform draw r in 0..66: 0-51 are themselves, and 52-66 add three more
// Vrakos, three Reverses, four Wilds, four Doubles and one Bomb; the yellow 12 is never made.
int makeCard(int r);

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
