// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

namespace vrako {

class RichTextView;

// What a screen reader sees of a rich text view: a read-only text of one line per paragraph
// that it can read by character, word or line, select in, and be told about as lines arrive.
class RichTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RichTextAccessible(RichTextView* view);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    RichTextView* view() const;
};

// Lets Qt's accessibility find RichTextAccessible for every RichTextView; safe to call often.
void installRichTextAccessible();

} // namespace vrako
