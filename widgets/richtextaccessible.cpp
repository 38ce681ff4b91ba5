// SPDX-License-Identifier: MIT
#include "widgets/richtextaccessible.h"

#include "widgets/richtextview.h"

namespace vrako {

RichTextAccessible::RichTextAccessible(RichTextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

RichTextView* RichTextAccessible::view() const {
    return static_cast<RichTextView*>(widget());
}

QAccessible::State RichTextAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString RichTextAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return view()->plainText();
    return QAccessibleWidget::text(t);
}

void* RichTextAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void RichTextAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const auto [start, end] = view()->selectionOffsets();
    if (selectionIndex != 0 || start == end) {
        *startOffset = *endOffset = 0;
        return;
    }
    *startOffset = start;
    *endOffset = end;
}

int RichTextAccessible::selectionCount() const {
    const auto [start, end] = view()->selectionOffsets();
    return start == end ? 0 : 1;
}

void RichTextAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void RichTextAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        view()->deselect();
}

void RichTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        view()->selectOffsets(startOffset, endOffset);
}

int RichTextAccessible::cursorPosition() const {
    return view()->selectionOffsets().second;
}

void RichTextAccessible::setCursorPosition(int position) {
    view()->selectOffsets(position, position);
}

QString RichTextAccessible::text(int startOffset, int endOffset) const {
    if (startOffset < 0 || endOffset < startOffset)
        return {};
    return view()->plainText().mid(startOffset, endOffset - startOffset);
}

int RichTextAccessible::characterCount() const {
    return view()->plainTextLength();
}

QRect RichTextAccessible::characterRect(int offset) const {
    const QRect r = view()->characterRect(offset);
    if (r.isNull())
        return {};
    return r.translated(view()->viewport()->mapToGlobal(QPoint(0, 0)));
}

int RichTextAccessible::offsetAtPoint(const QPoint& point) const {
    return view()->offsetAt(view()->viewport()->mapFromGlobal(point));
}

void RichTextAccessible::scrollToSubstring(int startIndex, int) {
    view()->scrollToOffset(startIndex);
}

QString RichTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // The styles' colours and fonts are not offered: one run covering the whole text.
    *startOffset = offset < 0 ? -1 : 0;
    *endOffset = offset < 0 ? -1 : characterCount();
    return {};
}

namespace {

QAccessibleInterface* richTextFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("vrako::RichTextView") && object && object->isWidgetType())
        return new RichTextAccessible(static_cast<RichTextView*>(object));
    return nullptr;
}

} // namespace

void installRichTextAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(richTextFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vrako
