// SPDX-License-Identifier: MIT
#pragma once

// The sixteen named colours, as 0x00BBGGRR values (red in the low byte), in which the chat and
// the text styles store colours.

#include <cstdint>

namespace vrako::colour {

inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t Maroon = 0x000080;
inline constexpr std::uint32_t Green = 0x008000;
inline constexpr std::uint32_t Olive = 0x008080;
inline constexpr std::uint32_t Navy = 0x800000;
inline constexpr std::uint32_t Purple = 0x800080;
inline constexpr std::uint32_t Teal = 0x808000;
inline constexpr std::uint32_t Gray = 0x808080;
inline constexpr std::uint32_t Silver = 0xC0C0C0;
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Lime = 0x00FF00;
inline constexpr std::uint32_t Yellow = 0x00FFFF;
inline constexpr std::uint32_t Blue = 0xFF0000;
inline constexpr std::uint32_t Fuchsia = 0xFF00FF;
inline constexpr std::uint32_t Aqua = 0xFFFF00;
inline constexpr std::uint32_t White = 0xFFFFFF;

} // namespace vrako::colour
