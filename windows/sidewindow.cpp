// SPDX-License-Identifier: MIT
#include "windows/sidewindow.h"

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

} // namespace vrako
