// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPixmap>

namespace vrako {

constexpr int kSmileyCount = 18;
constexpr int kSmileyWidth = 17;
constexpr int kSmileyHeight = 16;

// One smiley picture (0 to 17) of 17 x 16 logical pixels, drawn for the given pixel ratio.
QPixmap smileyPicture(int number, qreal devicePixelRatio = 1.0);
// The whole image list, numbered 0 to 17.
QList<QPixmap> smileyPictures(qreal devicePixelRatio = 1.0);

} // namespace vrako
