// SPDX-License-Identifier: MIT
// Playing at the card table with the keyboard: choosing a card, playing it, drawing, picking
// the wild card's colour, and handing the keyboard back to the chat entry.
#include "board/boardview.h"
#include "board/keyboardmark.h"

#include <QApplication>
#include <QKeyEvent>

namespace vrako {

void BoardView::chooseWithKeyboard(int step) {
    const int n = int(m_game->handIds().size());
    if (n == 0) {
        m_selected = -1;
    } else if (m_selected < 0) {
        m_selected = step > 0 ? 0 : n - 1;
    } else {
        m_selected = std::clamp(m_selected + step, 0, n - 1);
    }
    syncHand();
}

bool BoardView::isGameKey(const QKeyEvent& event) const {
    // With Ctrl, Alt or Shift the key is typing or a shortcut, never a move.
    if (event.modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_D:
        return true;
    case Qt::Key_B:
    case Qt::Key_G:
    case Qt::Key_R:
    case Qt::Key_Y:
    case Qt::Key_Escape:
        return m_game->colourChooserShown();
    default:
        return false;
    }
}

void BoardView::keyPressEvent(QKeyEvent* event) {
    // A key that the chat entry (one of the table's children) left unused reaches the table
    // too; it is no move.
    if (const QWidget* focus = QApplication::focusWidget();
        focus && focus != this && isAncestorOf(focus)) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        // Not a key of its own yet: the key it modifies decides.
        QWidget::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (!isGameKey(*event)) {
        // Escape only leaves; any other key is the start of a chat line and goes on with it.
        handBackKeyboard(event->key() == Qt::Key_Escape ? nullptr : event);
        return;
    }
    const QList<int> ids = m_game->handIds();
    if (m_game->colourChooserShown()) {
        static const int keys[4] = {Qt::Key_B, Qt::Key_G, Qt::Key_R, Qt::Key_Y};
        for (int i = 0; i < 4; ++i)
            if (event->key() == keys[i]) {
                m_game->Image3Click(colourCodeAt(i));
                return;
            }
    }
    switch (event->key()) {
    case Qt::Key_Left:
        chooseWithKeyboard(-1);
        return;
    case Qt::Key_Right:
        chooseWithKeyboard(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_selected >= 0 && m_selected < ids.size())
            m_game->movingimagesMouseDown(ids[m_selected], false);
        return;
    case Qt::Key_D:
        m_game->image_drawClick();
        return;
    case Qt::Key_Escape:
        m_game->hideColourChooser();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool BoardView::focusNextPrevChild(bool next) {
    // Tab at the table goes back to the chat entry, not on round the window's widgets.
    if (hasFocus() && m_keyboardHome) {
        handBackKeyboard(nullptr);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void BoardView::handBackKeyboard(QKeyEvent* passOn) {
    if (!m_keyboardHome) {
        if (passOn)
            passOn->ignore();
        return;
    }
    m_keyboardHome->setFocus(Qt::TabFocusReason);
    if (passOn)
        QCoreApplication::sendEvent(m_keyboardHome, passOn);
}

void BoardView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    syncHand(); // shows the frame: round the chosen card, or round the table
}

void BoardView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    syncHand();
}

} // namespace vrako
