// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace vrako {

// The sixteen named colours, as 0x00BBGGRR values.
namespace colour {
constexpr quint32 Black = 0x000000;
constexpr quint32 Maroon = 0x000080;
constexpr quint32 Green = 0x008000;
constexpr quint32 Olive = 0x008080;
constexpr quint32 Navy = 0x800000;
constexpr quint32 Purple = 0x800080;
constexpr quint32 Teal = 0x808000;
constexpr quint32 Gray = 0x808080;
constexpr quint32 Silver = 0xC0C0C0;
constexpr quint32 Red = 0x0000FF;
constexpr quint32 Lime = 0x00FF00;
constexpr quint32 Yellow = 0x00FFFF;
constexpr quint32 Blue = 0xFF0000;
constexpr quint32 Fuchsia = 0xFF00FF;
constexpr quint32 Aqua = 0xFFFF00;
constexpr quint32 White = 0xFFFFFF;
} // namespace colour

// A colour as text: its name when it is one of the sixteen, otherwise "$" and eight upper-case
// hexadecimal digits.
QString colourToText(quint32 value);

// Reads a colour name (any letter case, system colour names included), "$" and up to eight
// hexadecimal digits, or a decimal number; anything else gives nothing.
std::optional<quint32> colourFromText(const QString& text);

} // namespace vrako
