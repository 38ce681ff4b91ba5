// SPDX-License-Identifier: MIT
#pragma once

#include "game/clientgame.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vrako::board {

// Where the things of each seat lie on the table, in design coordinates (the table at
// scale 1).
struct SeatGeometry {
    QPoint name;
    QSize nameSize;
    QPoint score;
    QPoint winner;
    QPoint fan;
};
const SeatGeometry& seatGeometry(SeatPosition position);

inline constexpr QSize kScoreSize{18, 19};
// How far each card back of a seat's fan is shifted from the one before.
inline constexpr int kFanStep = 10;
// Room kept at the left of a name label for the watching eyes.
inline constexpr int kEyesIndent = 26;

// The design rectangle of the card in a place (0-based) of the hand.
QRect handCardRect(int place, bool raised);
// The design size of a fan of n card backs (at least one), side by side or one below another.
QSize fanSize(int n, bool horizontal);

// Maps design coordinates into a widget: scaled by one factor about an origin, the point where
// the design's (0, 0) lies. Scales are whole steps (hundredths), so a window a pixel larger
// than the design still shows the design and a resized table asks for a bounded number of
// picture sizes.
class TableScale {
public:
    static constexpr int kSteps = 100;

    // The largest scale in whole steps at which a design fits into a room, never below
    // `minimum`.
    static qreal fitting(QSize room, QSize design, qreal minimum);

    TableScale() = default;
    TableScale(qreal scale, QPoint origin) : m_scale(scale), m_origin(origin) {}

    qreal scale() const { return m_scale; }
    QPoint origin() const { return m_origin; }
    int length(int design) const;
    QPoint point(QPoint design) const;
    // Sizes are rounded up, as the pictures' sizes are: a picture never loses its last column.
    QRect rect(const QRect& design) const;

private:
    qreal m_scale = 1;
    QPoint m_origin;
};

} // namespace vrako::board
