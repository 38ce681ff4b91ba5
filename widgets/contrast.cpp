// SPDX-License-Identifier: MIT
#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>

namespace vrako {
namespace {

qreal linear(int channel) {
    const qreal c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QColor darkened(const QColor& c, qreal factor) {
    return QColor(qRound(c.red() * factor), qRound(c.green() * factor), qRound(c.blue() * factor));
}

} // namespace

qreal relativeLuminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

qreal contrastRatio(const QColor& a, const QColor& b) {
    const qreal la = relativeLuminance(a);
    const qreal lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& text, const QColor& background, qreal minimum) {
    const QColor rgb = text.toRgb();
    if (contrastRatio(rgb, background) >= minimum)
        return rgb;
    // Scaling the three channels by one factor keeps hue and saturation; the largest factor
    // that reaches the contrast changes the colour least. The contrast grows as the factor
    // falls, so a bisection finds it.
    qreal readable = 0; // black
    qreal unreadable = 1;
    for (int step = 0; step < 16; ++step) {
        const qreal mid = (readable + unreadable) / 2;
        if (contrastRatio(darkened(rgb, mid), background) >= minimum)
            readable = mid;
        else
            unreadable = mid;
    }
    return darkened(rgb, readable);
}

} // namespace vrako
