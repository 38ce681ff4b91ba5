// SPDX-License-Identifier: MIT
// The log as one plain text: offsets into it, the selection and the screen place of a character
// in those terms, and the announcement of new lines. The accessible text interface reads the
// log through these.
#include "widgets/richtextview.h"

#include <QAccessible>
#include <QScrollBar>
#include <algorithm>

namespace vrako {

namespace {

const QChar kObjectMark(0xFFFC);

int paragraphLength(const RichParagraph& p) {
    int n = 0;
    for (const RichItem& item : p.items) {
        n += item.length();
    }
    return n;
}

void appendPlain(QString& out, const RichParagraph& p) {
    for (const RichItem& item : p.items) {
        if (item.isPicture()) {
            out += kObjectMark;
        } else {
            out += item.text;
        }
    }
}

} // namespace

void RichTextView::announceNewText() {
    if (m_textLength <= m_announced) {
        return;
    }
    const int at = m_announced;
    m_announced = m_textLength;
    const QString added = plainTextFrom(at);
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, at, added);
        QAccessible::updateAccessibility(&inserted);
    }
    emit textAdded(at, added);
}

// ---- plain text ----

QString RichTextView::plainText() const {
    return plainTextFrom(0);
}

QString RichTextView::plainTextFrom(int offset) const {
    // New lines are read from the end of a long log: walk back only as far as needed.
    int first = m_doc.paragraphCount();
    int start = m_textLength;
    while (first > 0 && start > offset) {
        --first;
        start -= paragraphLength(m_doc.paragraph(first)) + (first > 0 ? 1 : 0);
    }
    QString out;
    for (int p = first; p < m_doc.paragraphCount(); ++p) {
        if (p > 0) {
            out += QLatin1Char('\n');
        }
        appendPlain(out, m_doc.paragraph(p));
    }
    return out.mid(std::max(0, offset - start));
}

RichTextView::Pos RichTextView::positionOf(int offset) const {
    offset = std::clamp(offset, 0, m_textLength);
    for (int p = 0; p < m_doc.paragraphCount(); ++p) {
        const RichParagraph& para = m_doc.paragraph(p);
        const int length = paragraphLength(para);
        if (offset > length) {
            offset -= length + 1;
            continue;
        }
        for (int i = 0; i < para.items.size(); ++i) {
            const int n = para.items.at(i).length();
            if (offset < n || i + 1 == para.items.size()) {
                return Pos{p, i, std::min(offset, n)};
            }
            offset -= n;
        }
        return Pos{p, 0, 0};
    }
    return Pos{};
}

int RichTextView::offsetOf(const Pos& pos) const {
    int offset = 0;
    const int last = std::min(pos.para, m_doc.paragraphCount() - 1);
    for (int p = 0; p < last; ++p) {
        offset += paragraphLength(m_doc.paragraph(p)) + 1;
    }
    if (last < 0) {
        return 0;
    }
    const RichParagraph& para = m_doc.paragraph(last);
    for (int i = 0; i < pos.item && i < para.items.size(); ++i) {
        offset += para.items.at(i).length();
    }
    return offset + pos.offset;
}

std::pair<int, int> RichTextView::selectionOffsets() const {
    if (!hasSelection()) {
        const int at = m_doc.isEmpty() ? 0 : offsetOf(m_cursor);
        return {at, at};
    }
    return {offsetOf(std::min(m_anchor, m_cursor)), offsetOf(std::max(m_anchor, m_cursor))};
}

void RichTextView::selectOffsets(int start, int end) {
    m_anchor = positionOf(start);
    m_cursor = positionOf(end);
    repaintText();
}

QRect RichTextView::characterRect(int offset) {
    ensureLayout();
    if (m_doc.isEmpty() || offset < 0 || offset >= m_textLength) {
        return {};
    }
    const Pos pos = positionOf(offset);
    const RichParagraph& p = m_doc.paragraph(pos.para);
    const RichItem& item = p.items.at(pos.item);
    const int y0 = m_doc.top(pos.para) - verticalScrollBar()->value();
    for (const RichLine& line : p.lines) {
        for (const RichRun& run : line.runs) {
            if (run.item != pos.item || pos.offset < run.from ||
                pos.offset >= run.from + run.length) {
                continue;
            }
            const qreal x = kMargin + run.x + advance(item, run.from, pos.offset - run.from);
            const qreal w = advance(item, pos.offset, 1);
            return QRectF(x, y0 + line.top, w, line.height).toAlignedRect();
        }
    }
    return {};
}

int RichTextView::offsetAt(const QPoint& viewportPos) {
    if (m_doc.isEmpty()) {
        return -1;
    }
    return offsetOf(positionAt(viewportPos));
}

void RichTextView::scrollToOffset(int offset) {
    if (m_doc.isEmpty()) {
        return;
    }
    ensureLayout();
    const int para = positionOf(offset).para;
    const int top = m_doc.top(para);
    const int bottom = top + m_doc.paragraph(para).height;
    QScrollBar* bar = verticalScrollBar();
    if (top < bar->value()) {
        scrollTo(top);
    } else if (bottom > bar->value() + viewport()->height()) {
        scrollTo(bottom - viewport()->height());
    }
}

} // namespace vrako
