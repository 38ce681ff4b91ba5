// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

namespace vrako {

// Relative luminance of an sRGB colour, from 0 (black) to 1 (white), as the web's
// accessibility guidelines define it.
qreal relativeLuminance(const QColor& colour);

// Contrast ratio of two colours, from 1 (the same) to 21 (black on white).
qreal contrastRatio(const QColor& a, const QColor& b);

// The contrast that text must reach against its background to be read comfortably.
inline constexpr qreal kReadableContrast = 4.5;

// The text colour itself when it reaches `minimum` against the background; otherwise the same
// hue darkened (every channel scaled by one factor) just enough to reach it. Meant for light
// backgrounds; when even black falls short, black.
QColor readableOn(const QColor& text, const QColor& background, qreal minimum = kReadableContrast);

} // namespace vrako
