// SPDX-License-Identifier: MIT
#include "widgets/textstyles.h"

#include "support/colours.h"

namespace vrako {

QColor colourFromValue(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 valueFromColour(const QColor& colour) {
    const QColor c = colour.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

TextStyles::TextStyles(QObject* parent) : QObject(parent) {
    using namespace colour;
    constexpr quint32 windowText = Black;
    const quint32 colours[kCount] = {Blue,       Blue,       Navy,       Maroon,     Green,
                                     Green,      Silver,     Silver,     windowText, windowText,
                                     windowText, windowText, windowText, windowText, windowText};
    for (int i = 0; i < kCount; ++i) {
        m_styles[size_t(i)].colour = colours[i];
    }
    m_styles[1].bold = true;
    m_styles[2].bold = true;
    m_styles[3].italic = true;
    m_styles[4].underline = true;
    m_styles[5].underline = true;
}

const TextStyle& TextStyles::style(int index) const {
    return m_styles[size_t(isValid(index) ? index : 0)];
}

QFont TextStyles::font(int index) const {
    const TextStyle& s = style(index);
    QFont f(s.fontName);
    f.setPointSizeF((s.size > 0 ? s.size : 1) * m_scale);
    f.setBold(s.bold);
    f.setItalic(s.italic);
    f.setUnderline(s.underline);
    return f;
}

QColor TextStyles::colour(int index) const {
    return colourFromValue(style(index).colour);
}

void TextStyles::setColour(int index, quint32 colour) {
    if (!isValid(index) || m_styles[size_t(index)].colour == colour) {
        return;
    }
    m_styles[size_t(index)].colour = colour;
    emit colourChanged(index);
}

void TextStyles::setAttributes(int index, bool bold, bool italic, bool underline) {
    if (!isValid(index)) {
        return;
    }
    TextStyle& s = m_styles[size_t(index)];
    if (s.bold == bold && s.italic == italic && s.underline == underline) {
        return;
    }
    s.bold = bold;
    s.italic = italic;
    s.underline = underline;
    emit fontChanged(index);
}

void TextStyles::setFontName(int index, const QString& name) {
    if (!isValid(index) || m_styles[size_t(index)].fontName == name) {
        return;
    }
    m_styles[size_t(index)].fontName = name;
    emit fontChanged(index);
}

void TextStyles::setSize(int index, int points) {
    if (!isValid(index) || points <= 0 || m_styles[size_t(index)].size == points) {
        return;
    }
    m_styles[size_t(index)].size = points;
    emit fontChanged(index);
}

void TextStyles::setAllSizes(int points) {
    for (int i = 0; i < kCount; ++i) {
        setSize(i, points);
    }
}

void TextStyles::setScale(qreal scale) {
    if (!(scale > 0) || scale == m_scale) {
        return;
    }
    m_scale = scale;
    for (int i = 0; i < kCount; ++i) {
        emit fontChanged(i);
    }
    emit scaleChanged(scale);
}

} // namespace vrako
