// SPDX-License-Identifier: MIT
#include "board/boardgeometry.h"

#include "widgets/cardart.h"

#include <algorithm>
#include <cmath>

namespace vrako::board {

namespace {

// Indexed by SeatPosition: bottom, left, top, right.
const SeatGeometry kSeatGeometry[seating::kSeats] = {
    {{108, 233}, {119, 19}, {83, 233}, {120, 256}, {108, 257}},
    {{28, 36}, {117, 19}, {3, 36}, {28, 64}, {28, 56}},
    {{204, 6}, {120, 19}, {179, 6}, {208, 32}, {204, 26}},
    {{507, 58}, {117, 20}, {483, 58}, {510, 88}, {507, 80}},
};

} // namespace

const SeatGeometry& seatGeometry(SeatPosition position) {
    return kSeatGeometry[static_cast<int>(position)];
}

QRect handCardRect(int place, bool raised) {
    return QRect({108 + 24 * place, raised ? 247 : 254}, art::kCardSize);
}

QSize fanSize(int n, bool horizontal) {
    const int more = kFanStep * (std::max(1, n) - 1);
    return art::kCardSize + (horizontal ? QSize(more, 0) : QSize(0, more));
}

qreal TableScale::fitting(QSize room, QSize design, qreal minimum) {
    const qreal fit =
        std::min(qreal(room.width()) / design.width(), qreal(room.height()) / design.height());
    // The small allowance keeps exact fits (a 392-pixel-wide board at 0.6) from rounding down.
    const qreal stepped = std::floor(fit * kSteps + 1e-6) / kSteps;
    return std::max(minimum, stepped);
}

int TableScale::length(int design) const {
    return qRound(design * m_scale);
}

QPoint TableScale::point(QPoint design) const {
    return m_origin + QPoint(length(design.x()), length(design.y()));
}

QRect TableScale::rect(const QRect& design) const {
    const auto up = [this](int l) { return int(std::ceil(l * m_scale - 1e-6)); };
    return QRect(point(design.topLeft()), QSize(up(design.width()), up(design.height())));
}

} // namespace vrako::board
