// SPDX-License-Identifier: MIT
#include "widgets/richtextlayout.h"

#include <algorithm>
#include <cmath>

namespace vrako {

namespace {

// Collects runs for the line being filled and closes it into the paragraph.
class LineBuilder {
public:
    explicit LineBuilder(RichParagraph& p) : m_p(p) {}

    qreal x() const { return m_x; }
    bool isEmpty() const { return m_line.runs.isEmpty(); }

    void grow(int ascent, int descent) {
        m_ascent = std::max(m_ascent, ascent);
        m_descent = std::max(m_descent, descent);
    }

    void add(int item, int from, int length, qreal width) {
        if (!m_line.runs.isEmpty()) {
            RichRun& last = m_line.runs.last();
            if (last.item == item && last.from + last.length == from) {
                last.length += length;
                last.width += width;
                m_x += width;
                return;
            }
        }
        m_line.runs.append(RichRun{item, from, length, m_x, width});
        m_x += width;
    }

    void close() {
        m_line.top = m_top;
        m_line.baseline = m_ascent;
        m_line.height = std::max(1, m_ascent + m_descent);
        m_top += m_line.height;
        m_p.lines.append(std::move(m_line));
        m_line = RichLine{};
        m_x = 0;
        m_ascent = 0;
        m_descent = 0;
    }

    int top() const { return m_top; }

private:
    RichParagraph& m_p;
    RichLine m_line;
    qreal m_x = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_top = 0;
};

qreal trimmedWidth(const QFontMetricsF& fm, const QString& text, int from, int length, qreal full) {
    int end = from + length;
    while (end > from && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    if (end == from + length) {
        return full;
    }
    return fm.horizontalAdvance(text.mid(from, end - from));
}

// The longest prefix of text[from, from+length) no wider than room, at least one character,
// never ending between the halves of a surrogate pair.
int fittingPrefix(const QFontMetricsF& fm, const QString& text, int from, int length, qreal room) {
    int lo = 1, hi = length;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(text.mid(from, mid)) <= room) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    if (lo < length && text.at(from + lo).isLowSurrogate()) {
        lo = lo > 1 ? lo - 1 : lo + 1;
    }
    return lo;
}

} // namespace

RichLayouter::RichLayouter(const TextStyles* styles) : m_styles(styles) {}

bool RichLayouter::breaksAfter(QChar c) {
    switch (c.unicode()) {
    case ' ':
    case '.':
    case ';':
    case ',':
    case ':':
    case ')':
    case '}':
    case '"':
        return true;
    default:
        return false;
    }
}

bool RichLayouter::breaksBefore(QChar c) {
    return c == QLatin1Char('(') || c == QLatin1Char('{');
}

QSizeF RichLayouter::pictureSize(const RichItem& item) const {
    return item.picture.deviceIndependentSize() * m_styles->scale();
}

int RichLayouter::pictureDescent(QSizeF size) {
    return int(std::ceil(size.height())) / 5;
}

RichLayouter::FontCache& RichLayouter::cache(int style) {
    const int index = TextStyles::isValid(style) ? style : 0;
    auto& slot = m_fonts[size_t(index)];
    if (!slot) {
        FontCache c;
        c.font = m_styles->font(index);
        c.metrics = QFontMetricsF(c.font);
        slot = std::move(c);
    }
    return *slot;
}

const QFont& RichLayouter::font(int style) {
    return cache(style).font;
}

const QFontMetricsF& RichLayouter::metrics(int style) {
    return cache(style).metrics;
}

void RichLayouter::invalidateFont(int style) {
    if (TextStyles::isValid(style)) {
        m_fonts[size_t(style)].reset();
    }
}

void RichLayouter::layout(RichParagraph& p, qreal width) {
    p.lines.clear();
    LineBuilder line(p);
    for (int i = 0; i < p.items.size(); ++i) {
        const RichItem& item = p.items.at(i);
        if (item.isPicture()) {
            const QSizeF size = pictureSize(item);
            if (!line.isEmpty() && line.x() + size.width() > width) {
                line.close();
            }
            const int below = pictureDescent(size);
            line.grow(int(std::ceil(size.height())) - below, below);
            line.add(i, 0, 1, size.width());
            continue;
        }
        const QFontMetricsF& fm = metrics(item.style);
        const int ascent = int(std::ceil(fm.ascent()));
        const int descent = int(std::ceil(fm.descent()));
        line.grow(ascent, descent);
        const QString& text = item.text;
        const int n = int(text.size());
        int start = 0;
        while (start < n) {
            int end = start + 1;
            while (end < n && !breaksAfter(text.at(end - 1)) && !breaksBefore(text.at(end))) {
                ++end;
            }
            const int len = end - start;
            const qreal w = fm.horizontalAdvance(text.mid(start, len));
            const qreal visible = trimmedWidth(fm, text, start, len, w);
            if (!line.isEmpty() && line.x() + visible > width) {
                line.close();
                line.grow(ascent, descent);
            }
            if (line.isEmpty() && visible > width) {
                // A word longer than the whole line is cut where the line ends.
                int from = start;
                while (from < end) {
                    const int take = fittingPrefix(fm, text, from, end - from, width);
                    line.add(i, from, take, fm.horizontalAdvance(text.mid(from, take)));
                    from += take;
                    if (from < end) {
                        line.close();
                        line.grow(ascent, descent);
                    }
                }
            } else {
                line.add(i, start, len, w);
            }
            start = end;
        }
    }
    line.close();
    p.height = line.top();
    p.dirty = false;
}

} // namespace vrako
