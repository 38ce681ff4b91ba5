// SPDX-License-Identifier: MIT
#include "board/keyboardmark.h"

#include <QPainter>

namespace vrako {

KeyboardMark::KeyboardMark(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KeyboardMark::setScale(qreal scale) {
    m_scale = scale;
    update();
}

void KeyboardMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    const qreal s = m_scale;
    p.setPen(QPen(QColor(20, 20, 20), s));
    p.drawRoundedRect(QRectF(rect()).adjusted(s / 2, s / 2, -s / 2, -s / 2), 5 * s, 5 * s);
    p.setPen(QPen(QColor(255, 215, 0), 2 * s));
    p.drawRoundedRect(QRectF(rect()).adjusted(2 * s, 2 * s, -2 * s, -2 * s), 4 * s, 4 * s);
}

} // namespace vrako
