// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <functional>

class QPainter;

// Drawing helpers shared by the game's pictures: the card colours, the colour symbols, the
// action-card icons and a renderer that makes crisp pixmaps for any device pixel ratio.
namespace vrako::art::paint {

// The shades of one card colour (0 blue, 1 green, 2 red, 3 yellow).
struct Shades {
    QColor light;
    QColor base;
    QColor dark;
    QColor ink; // marks printed directly on the colour field
};
Shades shades(int colourIndex);

// The symbol that marks a colour without relying on colour vision, fitted into a square
// centred in box: 0 a drop, 1 a clover leaf, 2 a heart, 3 a star.
QPainterPath symbol(int colourIndex, const QRectF& box);

// Fills a symbol with the given colour and a thin outline.
void drawSymbol(QPainter& p, int colourIndex, const QRectF& box, const QColor& fill,
                const QColor& outline, qreal outlineWidth);

QFont font(qreal pixelSize, bool bold = true);

// The outline of text centred on a point, for filled and outlined lettering.
QPainterPath textPath(const QString& text, const QFont& font, const QPointF& centre);
void drawOutlinedText(QPainter& p, const QString& text, const QFont& font, const QPointF& centre,
                      const QBrush& fill, const QColor& outline, qreal outlineWidth);

// A thick arrow along an arc of a circle (angles in degrees, counter-clockwise from three
// o'clock as QPainter::drawArc counts them), with its head at the end of the sweep.
QPainterPath arcArrowPath(const QPointF& centre, qreal radius, qreal startDeg, qreal sweepDeg,
                          qreal thickness);

// Icons of the action cards, fitted into box.
void drawBolt(QPainter& p, const QRectF& box);
void drawBurst(QPainter& p, const QRectF& box, const QColor& inner, const QColor& outer);
void drawReverseArrows(QPainter& p, const QRectF& box);
void drawColourWheel(QPainter& p, const QRectF& box, bool withSymbols);
void drawTimesTwo(QPainter& p, const QRectF& box);
void drawBomb(QPainter& p, const QRectF& box);

// A 5-pointed star or a 4-pointed sparkle centred on c.
QPainterPath starPath(const QPointF& c, qreal outer, qreal inner, int points, qreal turn = 0);

// The range of device pixel ratios pictures are rendered at. A scaled-down table asks for
// ratios below 1 (the screen's ratio times the table's scale).
inline constexpr qreal kMinimumDpr = 0.25;
inline constexpr qreal kMaximumDpr = 8;

// Renders a picture of the given logical size at a device pixel ratio (kept within the range
// above; unusable ratios give 1), antialiased, on a transparent background.
QPixmap render(QSize logical, qreal dpr, const std::function<void(QPainter&)>& draw);

// The device pixel ratio render() will use for a requested one.
qreal effectiveDpr(qreal dpr);

// Scales a new painter to its device's pixel ratio where the painter did not: a painter
// applies a device's ratio only from 1 up, and the pictures of a table drawn smaller than its
// design have ratios below 1. Call before anything else changes the painter's transform.
void scaleToDevice(QPainter& p);

// Returns the picture cached under key and dpr, making it with make() the first time. Only the
// pictures of the last few ratios asked for are kept.
QPixmap cached(const QString& key, qreal dpr, const std::function<QPixmap(qreal)>& make);
void clearCached();

} // namespace vrako::art::paint
