// SPDX-License-Identifier: MIT
#include "board/boardlabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

namespace vrako {

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

BoardLabel::BoardLabel(QWidget* parent) : QLabel(parent) {}

BoardLabel::Shown BoardLabel::shown() const {
    return Shown{text(),
                 font(),
                 palette().color(foregroundRole()).rgba(),
                 size(),
                 contentsMargins(),
                 int(alignment()),
                 wordWrap(),
                 isEnabled(),
                 devicePixelRatioF()};
}

void BoardLabel::paintEvent(QPaintEvent* event) {
    // The labels on the table have no frame, no margin and no indent: what they show fills
    // their contents rectangle. A disabled picture is left to the style to grey out.
    const QPixmap picture = pixmap();
    if (!picture.isNull() && isEnabled()) {
        QPainter p(this);
        const QRect room = contentsRect();
        if (hasScaledContents()) {
            // Only for the moments of a resize: quick rather than smooth.
            p.drawPixmap(room, picture);
        } else {
            style()->drawItemPixmap(
                &p, room, QStyle::visualAlignment(layoutDirection(), alignment()), picture);
        }
        return;
    }
    // Small text is cheap to draw and keeps the screen's own antialiasing (which a picture
    // with a transparent background cannot have); rich text is the label's own business.
    const bool plain = textFormat() == Qt::PlainText ||
                       (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
    if (!picture.isNull() || !plain || font().pixelSize() < kKeptTextPixels) {
        QLabel::paintEvent(event);
        return;
    }
    if (text().isEmpty())
        return;
    Shown now = shown();
    if (m_text.isNull() || !(now == m_shown)) {
        m_shown = std::move(now);
        QPixmap drawn(size() * m_shown.ratio);
        drawn.setDevicePixelRatio(m_shown.ratio);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        p.setFont(font());
        p.setLayoutDirection(layoutDirection());
        // As a label draws plain text.
        const Qt::LayoutDirection direction =
            text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        int flags = int(QStyle::visualAlignment(direction, alignment()));
        flags |= direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft;
        if (wordWrap())
            flags |= Qt::TextWordWrap;
        QStyleOption option;
        option.initFrom(this);
        style()->drawItemText(&p, contentsRect(), flags, option.palette, isEnabled(), text(),
                              foregroundRole());
        p.end();
        m_text = std::move(drawn);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_text);
}

} // namespace vrako
