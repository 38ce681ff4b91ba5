// SPDX-License-Identifier: MIT
#include "windows/sidewindow.h"

#include "widgets/cardart.h"

#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace vrako {

SideWindow::SideWindow(const char* className, const QString& caption, QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QLatin1String(className));
    setWindowTitle(caption);
    setFixedSize(size);
}

void SideWindow::centreOn(const QWidget* other) {
    if (!other)
        return;
    QRect place(QPoint(), frameGeometry().size());
    place.moveCenter(other->frameGeometry().center());
    // Over a main window partly off the desktop the window still opens whole on it.
    if (const QScreen* s = other->screen()) {
        const QRect area = s->availableGeometry();
        place.moveLeft(std::clamp(place.left(), area.left(),
                                  std::max(area.left(), area.right() - place.width() + 1)));
        place.moveTop(std::clamp(place.top(), area.top(),
                                 std::max(area.top(), area.bottom() - place.height() + 1)));
    }
    move(place.topLeft());
}

void SideWindow::showEvent(QShowEvent* event) {
    // Opened from the main window, it opens over it rather than where the desktop puts new
    // windows; shown again by the desktop (after being minimised) it stays where it was.
    if (!event->spontaneous() && parentWidget())
        centreOn(parentWidget()->window());
    QWidget::showEvent(event);
}

void SideWindow::setTiledBackground(bool on) {
    m_tiled = on;
    update();
}

void SideWindow::paintEvent(QPaintEvent* event) {
    if (!m_tiled) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.fillRect(rect(), QColor(36, 43, 55));
    p.drawTiledPixmap(rect(), art::backgroundTile(devicePixelRatioF()));
}

} // namespace vrako
