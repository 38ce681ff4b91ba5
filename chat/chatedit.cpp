// SPDX-License-Identifier: MIT
#include "chat/chatedit.h"

#include "widgets/cachedpanelstyle.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace vrako {

ChatEdit::ChatEdit(QWidget* parent) : QLineEdit(parent), m_menu(new QMenu(this)) {
    setText(hintText());
    m_menu->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* paste = m_menu->addAction(tr("Paste"), this, &ChatEdit::pasteAtEnd);
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    setAcceptDrops(false); // dropped text would land inside the line, not at its end
    // The entry grows with the board: its frame is drawn once per size, not at every paint.
    setStyle(new CachedPanelStyle(this));
}

void ChatEdit::appendText(const QString& more) {
    setText(text() + more);
    deselect();
    setCursorPosition(int(text().size()));
}

void ChatEdit::pasteAtEnd() {
    QString clip = QApplication::clipboard()->text();
    if (clip.isEmpty()) {
        return;
    }
    // The field holds one line.
    clip.replace(QLatin1StringView("\r\n"), QLatin1StringView(" "));
    clip.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clip.replace(QLatin1Char('\n'), QLatin1Char(' '));
    appendText(clip);
}

void ChatEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteAtEnd();
        event->accept();
        return;
    }
    // A modifier on its own is not typing yet; Ctrl+V must find the hint still there.
    const bool modifierOnly = event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control ||
                              event->key() == Qt::Key_Alt || event->key() == Qt::Key_Meta ||
                              event->key() == Qt::Key_AltGr;
    if (holdsHint() && !modifierOnly) {
        clear();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChatEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed by an input method is typing too.
    if (holdsHint() && (!event->commitString().isEmpty() || !event->preeditString().isEmpty()))
        clear();
    QLineEdit::inputMethodEvent(event);
}

void ChatEdit::mousePressEvent(QMouseEvent* event) {
    // The middle button pastes the selection, and like every paste it goes to the end.
    if (event->button() == Qt::MiddleButton) {
        const QString selection = QApplication::clipboard()->text(QClipboard::Selection);
        if (!selection.isEmpty())
            appendText(QString(selection).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void ChatEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void ChatEdit::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
    event->accept();
}

} // namespace vrako
