// SPDX-License-Identifier: MIT
#pragma once

// The card vocabulary shared by the server, the client and the card art.
//
// Card codes: 0 Vrako, 1 Reverse, 2 Wild, 3 Double, 4 Bomb, 5-16 blue 1-12, 17-28 green,
// 29-40 red, 41-52 yellow, 53-56 the colour named by a Wild, -1 an empty hand slot.
// A code 0 to 52 is also the index of the card's picture.

#include <string>
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
inline constexpr int kNumbersPerColour = 12;
// The colour values a Wild names, in colour index order.
inline constexpr int kBlue = 53;
inline constexpr int kGreen = 54;
inline constexpr int kRed = 55;
inline constexpr int kYellow = 56;
inline constexpr int kColours = 4;
// Codes 0 to kFaceCount - 1 have a picture.
inline constexpr int kFaceCount = 53;
// The current card at the start of every round: the blue 1.
inline constexpr int kRoundStart = 5;
// The slots 1 to 14 that name the cards of a hand.
inline constexpr int kHandSlots = 14;
} // namespace card

// What numbers may follow the top card besides its colour; the letter is the protocol's and the
// settings file's.
enum class GameType : char { SameNumber = 's', OneMoreOrLess = 'd' };

constexpr char letterOf(GameType type) {
    return static_cast<char>(type);
}

// The game type a letter names: "s" the Same Number game, any other text the One More or Less
// game.
constexpr GameType gameTypeOf(std::string_view letter) {
    return letter == "s" ? GameType::SameNumber : GameType::OneMoreOrLess;
}

bool isSpecial(int code);
bool isColoured(int code);
bool isColourCode(int code);

// 0 blue, 1 green, 2 red, 3 yellow for a coloured card or a Wild's colour value; -1 otherwise.
int colourIndexOf(int code);

// The colour value 53 to 56 that names the colour of a coloured card or colour value; 0 for
// anything without colour.
int colourCodeOf(int code);

// The colour value 53 to 56 of colour index 0 to 3.
constexpr int colourCodeAt(int colourIndex) {
    return card::kBlue + colourIndex;
}

// "blue", "green", "red", "yellow", or "" for a code without colour.
std::string_view colourWord(int code);

// "Blue", "Green", "Red", "Yellow", or "" for a code without colour.
std::string_view colourTitle(int code);

// The printed number 1 to 12 of a coloured card; 0 for anything else.
int numberOf(int code);

// The code of the coloured card of colour index 0 to 3 and printed number 1 to 12: the inverse
// of colourIndexOf() and numberOf().
constexpr int cardCode(int colourIndex, int number) {
    return card::kFirstColoured + colourIndex * card::kNumbersPerColour + number - 1;
}

// ((code - 4) mod 12) with 0 read as 12; the remainder keeps the sign of code - 4, so the
// special cards read as negative faces except the Bomb, which reads as 12.
int face(int code);

// Spoken names: "blue 7", "green 12", "Vrako", "Reverse", "Wild", "Double", "Bomb"; empty
// for codes without a picture.
std::string cardName(int code);

} // namespace vrako
