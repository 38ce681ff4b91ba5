// SPDX-License-Identifier: MIT
#include "widgets/keptbutton.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QTimer>

namespace vrako {

KeptButton::KeptButton(QWidget* parent) : QToolButton(parent) {}

QString KeptButton::shown() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return QStringLiteral("%1x%2|%3|%4|%5|%6|%7|%8|%9|")
               .arg(width())
               .arg(height())
               .arg(int(option.state))
               .arg(int(option.activeSubControls))
               .arg(int(option.features))
               .arg(option.palette.cacheKey())
               .arg(option.icon.cacheKey())
               .arg(devicePixelRatioF())
               .arg(font().key()) +
           option.text;
}

void KeptButton::paintEvent(QPaintEvent* event) {
    if (m_taking) {
        QToolButton::paintEvent(event);
        return;
    }
    const QString now = shown();
    if (!m_picture.isNull() && now == m_shown) {
        QPainter p(this);
        p.drawPixmap(0, 0, m_picture);
        return;
    }
    QToolButton::paintEvent(event);
    // Painted twice alike, the button is worth keeping; not while it changes at every paint
    // (a window edge being dragged). Not from inside this paint either: drawing the button
    // into a picture paints it again.
    if (now == m_painted && !m_pending) {
        m_pending = true;
        QTimer::singleShot(0, this, &KeptButton::takePicture);
    }
    m_painted = now;
}

void KeptButton::takePicture() {
    m_pending = false;
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    m_taking = true;
    render(&picture, QPoint(), QRegion(rect()), {});
    m_taking = false;
    m_picture = std::move(picture);
    m_shown = shown();
}

} // namespace vrako
