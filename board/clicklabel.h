// SPDX-License-Identifier: MIT
#pragma once

#include "board/boardlabel.h"

#include <QMouseEvent>

namespace vrako {

// A label that reports mouse presses, for pictures the player clicks on the board. Screen
// readers see it as a button whose press action is a left click.
class ClickLabel : public BoardLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

    // What a press of the left button does, for assistive technology.
    void click();

signals:
    void pressed(Qt::MouseButton button);
    // A press of the left button, the one that acts on a picture.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        emit pressed(event->button());
        if (event->button() == Qt::LeftButton)
            emit clicked();
    }
};

} // namespace vrako
