// SPDX-License-Identifier: MIT
// Painting the rich text view: the visible part of the document is drawn into a picture of
// the viewport, which every later paint copies until something on it changes. A log grown
// with the board is large, and a window uncovered or repainted as a whole would otherwise
// lay out and draw every glyph of it again.
#include "widgets/contrast.h"
#include "widgets/richtextview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace vrako {

namespace {

// The log's paper, which every text colour is made readable against.
const QColor kPaper(Qt::white);

} // namespace

void RichTextView::paintEvent(QPaintEvent* event) {
    layOutSeen(false);
    const qreal ratio = viewport()->devicePixelRatioF();
    const Drawn now{verticalScrollBar()->value(), viewport()->size(), ratio, palette().cacheKey()};
    if (!(now == m_drawn) || m_page.isNull()) {
        if (m_page.size() != now.size * ratio) {
            m_page = QPixmap(now.size * ratio);
            m_page.setDevicePixelRatio(ratio);
        }
        QPainter page(&m_page);
        drawPage(page, now.scroll);
        m_drawn = now;
    }
    const QRect r = event->rect();
    QPainter painter(viewport());
    painter.drawPixmap(QRectF(r), m_page,
                       QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

QPixmap RichTextView::scaledPicture(const RichItem& item) {
    if (!m_makePicture || m_styles->scale() == 1) {
        return item.picture; // shown as it is, or stretched
    }
    // Drawn afresh at the screen's ratio times the text's scale, once per picture and scale.
    QPixmap& kept = m_scaledPictures[item.pictureNo];
    if (kept.isNull()) {
        const qreal ratio = viewport()->devicePixelRatioF();
        kept = m_makePicture(item.pictureNo, ratio * m_styles->scale());
        kept.setDevicePixelRatio(ratio);
    }
    return kept;
}

void RichTextView::drawPage(QPainter& painter, int scroll) {
    painter.fillRect(QRect(QPoint(), viewport()->size()), kPaper);
    if (m_doc.isEmpty()) {
        return;
    }
    const int viewTop = scroll;
    const int viewBottom = viewport()->height() + scroll;
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightedText = palette().color(QPalette::HighlightedText);
    const bool selection = hasSelection();
    // Pale colours chosen by players or the program are darkened on the white paper until
    // they can be read; the colours themselves stay as sent. Worked out once per style.
    std::array<std::optional<QColor>, TextStyles::kCount> ink;

    for (int pi = m_doc.paragraphAt(viewTop); pi < m_doc.paragraphCount(); ++pi) {
        const int paraTop = m_doc.top(pi);
        if (paraTop >= viewBottom) {
            break;
        }
        const RichParagraph& p = m_doc.paragraph(pi);
        for (const RichLine& line : p.lines) {
            const int top = paraTop + line.top;
            if (top + line.height <= viewTop) {
                continue;
            }
            if (top >= viewBottom) {
                break;
            }
            const qreal baseline = top - scroll + line.baseline;
            for (const RichRun& run : line.runs) {
                const RichItem& item = p.items.at(run.item);
                const qreal x = kMargin + run.x;
                QRectF selected;
                if (selection) {
                    auto [a, b] = selectedRange(pi, run.item, item.length());
                    a = std::max(a, run.from);
                    b = std::min(b, run.from + run.length);
                    if (a < b) {
                        const qreal x1 = x + advance(item, run.from, a - run.from);
                        const qreal x2 = x + advance(item, run.from, b - run.from);
                        selected = QRectF(x1, top - scroll, x2 - x1, line.height);
                    }
                }
                if (item.isPicture()) {
                    const QSizeF size = m_doc.layouter().pictureSize(item);
                    const int below = RichLayouter::pictureDescent(size);
                    const QPixmap picture = scaledPicture(item);
                    painter.drawPixmap(QRectF(QPointF(x, baseline + below - size.height()), size),
                                       picture, QRectF(picture.rect()));
                    if (!selected.isEmpty()) {
                        QColor veil = highlight;
                        veil.setAlpha(110);
                        painter.fillRect(selected, veil);
                    }
                    continue;
                }
                // Trailing spaces draw nothing but would carry a link's underline.
                QString text = item.text.mid(run.from, run.length);
                while (text.endsWith(QLatin1Char(' '))) {
                    text.chop(1);
                }
                painter.setFont(m_doc.layouter().font(item.style));
                // Colours come from the style table at paint time, so a style's new colour
                // reaches all of its earlier items without a new layout.
                std::optional<QColor>& pen = ink.at(size_t(item.style));
                if (!pen) {
                    pen = readableOn(m_styles->colour(item.style), kPaper);
                }
                painter.setPen(*pen);
                if (selected.isEmpty()) {
                    painter.drawText(QPointF(x, baseline), text);
                    continue;
                }
                painter.drawText(QPointF(x, baseline), text);
                painter.fillRect(selected, highlight);
                painter.save();
                painter.setClipRect(selected);
                painter.setPen(highlightedText);
                painter.drawText(QPointF(x, baseline), text);
                painter.restore();
            }
        }
    }
}

} // namespace vrako
