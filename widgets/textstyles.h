// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <array>

namespace vrako {

// Colour values are 0x00BBGGRR: red in the low byte.
QColor colourFromValue(quint32 value);
quint32 valueFromColour(const QColor& colour);

struct TextStyle {
    QString fontName = QStringLiteral("Arial");
    int size = 10; // points
    quint32 colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int charset = 1; // the default character set; kept for completeness, Qt picks glyphs itself
};

// The table of fifteen text styles that a rich text view draws its items in.
class TextStyles : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 15;

    explicit TextStyles(QObject* parent = nullptr);

    static bool isValid(int style) { return style >= 0 && style < kCount; }
    // Items in styles 4 and 5 are links.
    static bool isLinkStyle(int style) { return style == 4 || style == 5; }

    const TextStyle& style(int index) const;
    QFont font(int index) const;
    QColor colour(int index) const;

    void setColour(int index, quint32 colour);
    void setAttributes(int index, bool bold, bool italic, bool underline);
    void setFontName(int index, const QString& name);
    void setSize(int index, int points);
    void setAllSizes(int points);
    // Fonts are drawn this many times their sizes (the table's scale); the sizes themselves,
    // which the settings store, stay as set.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }

signals:
    // Only the colour changed: the text keeps its layout.
    void colourChanged(int index);
    // The font changed: text in this style needs a new layout.
    void fontChanged(int index);
    // The scale changed (after every style's fontChanged): pictures shown beside the text
    // follow it too.
    void scaleChanged(qreal scale);

private:
    std::array<TextStyle, kCount> m_styles;
    qreal m_scale = 1;
};

} // namespace vrako
