// SPDX-License-Identifier: MIT
#include "support/cards.h"

#include <array>

namespace vrako {
namespace {

constexpr std::array<std::string_view, card::kColours> kColourWords{"blue", "green", "red",
                                                                    "yellow"};
constexpr std::array<std::string_view, card::kColours> kColourTitles{"Blue", "Green", "Red",
                                                                     "Yellow"};
constexpr std::array<std::string_view, card::kBomb + 1> kSpecialNames{"Vrako", "Reverse", "Wild",
                                                                      "Double", "Bomb"};

} // namespace

bool isSpecial(int code) {
    return code >= card::kVrako && code <= card::kBomb;
}
bool isColoured(int code) {
    return code >= card::kFirstColoured && code <= card::kLastColoured;
}
bool isColourCode(int code) {
    return code >= card::kBlue && code <= card::kYellow;
}

int colourIndexOf(int code) {
    if (isColoured(code))
        return (code - card::kFirstColoured) / card::kNumbersPerColour;
    if (isColourCode(code))
        return code - card::kBlue;
    return -1;
}

int colourCodeOf(int code) {
    const int i = colourIndexOf(code);
    return i < 0 ? 0 : colourCodeAt(i);
}

std::string_view colourWord(int code) {
    const int i = colourIndexOf(code);
    return i < 0 ? std::string_view() : kColourWords[static_cast<std::size_t>(i)];
}

std::string_view colourTitle(int code) {
    const int i = colourIndexOf(code);
    return i < 0 ? std::string_view() : kColourTitles[static_cast<std::size_t>(i)];
}

int numberOf(int code) {
    return isColoured(code) ? (code - card::kFirstColoured) % card::kNumbersPerColour + 1 : 0;
}

int face(int code) {
    const int f = (code - 4) % card::kNumbersPerColour;
    return f == 0 ? card::kNumbersPerColour : f;
}

std::string cardName(int code) {
    if (isSpecial(code))
        return std::string(kSpecialNames[static_cast<std::size_t>(code)]);
    if (!isColoured(code))
        return {};
    return std::string(colourWord(code)) + ' ' + std::to_string(numberOf(code));
}

} // namespace vrako
