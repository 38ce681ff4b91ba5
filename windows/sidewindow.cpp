// SPDX-License-Identifier: MIT
#include "windows/sidewindow.h"

#include "widgets/cardart.h"

#include <QPainter>

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
    const QRect r = other->frameGeometry();
    move(r.center() - QPoint(width() / 2, height() / 2));
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
