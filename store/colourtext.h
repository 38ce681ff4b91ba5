// SPDX-License-Identifier: MIT
#pragma once

#include "support/colours.h"

#include <QString>
#include <optional>

namespace vrako {

// A colour as text: its name when it is one of the sixteen, otherwise "$" and eight upper-case
// hexadecimal digits.
QString colourToText(quint32 value);

// Reads a colour name (any letter case, system colour names included), "$" and up to eight
// hexadecimal digits, or a decimal number; anything else gives nothing.
std::optional<quint32> colourFromText(const QString& text);

} // namespace vrako
