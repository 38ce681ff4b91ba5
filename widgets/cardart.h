// SPDX-License-Identifier: MIT
#pragma once

#include "support/cards.h"

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

// The game's pictures, drawn in code. Every function returns a pixmap of the stated logical
// size rendered for a device pixel ratio `dpr` (0.25 to 8; the pixmap's devicePixelRatio is
// set, so its device size is the logical size times dpr). A table drawn at a scale asks for the
// screen's ratio times its scale and sets the screen's ratio back, which gives a crisp picture
// of the scaled size. Results are cached per ratio: repeated calls are
// cheap and return shared pixmaps. Call from the GUI thread, after the QGuiApplication exists.
namespace vrako::art {

// Logical sizes of the pictures.
inline constexpr QSize kCardSize{53, 77};
inline constexpr QSize kTableBarSize{53, 11};   // colour bars under the top card
inline constexpr QSize kChooserBarSize{74, 14}; // colour bars of the colour chooser panel
inline constexpr QSize kArrowSize{55, 56};
inline constexpr QSize kStartButtonSize{138, 31};
inline constexpr QSize kBackgroundTileSize{64, 64};
inline constexpr QSize kEyesSize{22, 10};
inline constexpr QSize kWinnerSize{134, 28};
inline constexpr int kCardCount = card::kFaceCount;
// The colour of the card table behind its felt tile.
inline constexpr QRgb kBoardColour = qRgb(36, 43, 55);
inline constexpr int kWinnerFrames = 2;
inline constexpr int kWinnerFrameMs = 250;

// The face of card `code`: 0 Vrako, 1 Reverse, 2 Wild, 3 Double, 4 Bomb, 5-16 blue 1-12,
// 17-28 green 1-12, 29-40 red 1-12, 41-52 yellow 1-12. Every colour also carries its own
// symbol (blue a drop, green a clover leaf, red a heart, yellow a star), so no face depends on
// telling colours apart. A code outside 0 to 52 gives a null pixmap.
QPixmap cardFace(int code, qreal dpr = 1);

// The card back, used for the draw pile and the other seats' hidden cards.
QPixmap cardBack(qreal dpr = 1);

// A bar in colour 0 blue, 1 green, 2 red or 3 yellow showing that colour's symbol (and its
// name when it fits). Any size from 8 x 6 up to 1000 x 200; other sizes or colours give a null
// pixmap. kTableBarSize suits the table, kChooserBarSize the colour chooser.
QPixmap colourBar(int colourIndex, QSize size = kTableBarSize, qreal dpr = 1);

// The curved arrow showing the direction of play: `right` false for the arrow on the table's
// left (play passes on to the left-hand seat), true for its mirror on the right.
QPixmap arrow(bool right, qreal dpr = 1);

// The "Start Game" button picture.
QPixmap startButton(qreal dpr = 1);

// A dark felt tile in kBoardColour that repeats without seams.
QPixmap backgroundTile(qreal dpr = 1);

// A small pair of eyes marking a player who is only watching.
QPixmap eyes(qreal dpr = 1);

// Frame 0 or 1 of the winner banner, shown alternately every kWinnerFrameMs; other frame
// numbers wrap round.
QPixmap winnerFrame(int frame, qreal dpr = 1);

// Drops every cached picture (for example after the screen's pixel ratio changed).
void clearCache();

} // namespace vrako::art
