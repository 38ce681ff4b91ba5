// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/textstyles.h"

#include <QFontMetricsF>
#include <QList>
#include <QPixmap>
#include <QString>
#include <array>
#include <optional>

namespace vrako {

// One piece of content: a run of text in one style, or one picture of an image list.
struct RichItem {
    enum class Kind { Text, Picture };
    Kind kind = Kind::Text;
    int style = 0;
    QString text;
    QPixmap picture;
    int pictureNo = -1;
    // Free text carried with the item; links keep their address here.
    QString tag;

    bool isPicture() const { return kind == Kind::Picture; }
    // Pictures count as one position for selection.
    int length() const { return isPicture() ? 1 : int(text.size()); }
};

// A stretch of one item placed on one line; x is relative to the left margin.
struct RichRun {
    int item = 0;
    int from = 0;
    int length = 0;
    qreal x = 0;
    qreal width = 0;
};

struct RichLine {
    int top = 0; // relative to the paragraph
    int height = 0;
    int baseline = 0; // relative to the line's top
    QList<RichRun> runs;
};

// A paragraph's items and the layout cached for them at the last width.
struct RichParagraph {
    QList<RichItem> items;
    quint32 styleMask = 0; // bit n set when an item uses style n
    int linkCount = 0;
    bool dirty = true;
    QList<RichLine> lines;
    int height = 0;
};

// Breaks paragraphs into lines, wrapping at the view's delimiter characters.
class RichLayouter {
public:
    explicit RichLayouter(const TextStyles* styles);

    static bool breaksAfter(QChar c);
    static bool breaksBefore(QChar c);
    // A picture's size on the page: its own size times the text's scale, so pictures among
    // the text grow and shrink with it.
    QSizeF pictureSize(const RichItem& item) const;
    // How far a picture of this size reaches below the baseline, as the text's descenders do.
    static int pictureDescent(QSizeF size);

    const QFont& font(int style);
    const QFontMetricsF& metrics(int style);
    void invalidateFont(int style);

    void layout(RichParagraph& paragraph, qreal width);

private:
    struct FontCache {
        QFont font;
        QFontMetricsF metrics{QFont()};
    };
    FontCache& cache(int style);

    const TextStyles* m_styles;
    std::array<std::optional<FontCache>, TextStyles::kCount> m_fonts;
};

} // namespace vrako
