// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

class QMenu;

namespace vrako {

// The one-line chat entry: shows its hint as real text until the first key press, reports
// Enter without beeping, and pastes clipboard text at the end of what is typed.
class ChatEdit : public QLineEdit {
    Q_OBJECT
public:
    static QString hintText() { return QStringLiteral("<Enter Chat Here>"); }

    explicit ChatEdit(QWidget* parent = nullptr);

    bool holdsHint() const { return text() == hintText(); }
    // Appends text at the end with the caret after it and nothing selected.
    void appendText(const QString& more);
    // Appends the clipboard's text, if it holds any; the hint, if shown, stays.
    void pasteAtEnd();
    QMenu* popupMenu() const { return m_menu; }

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QMenu* m_menu;
};

} // namespace vrako
