// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace vrako {

// A label that reports mouse presses, for pictures the player clicks on the board.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override {
        emit pressed(event->button());
        event->accept();
    }
};

} // namespace vrako
