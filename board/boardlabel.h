// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPixmap>

namespace vrako {

namespace board {
// The colours of the table's text: yellow, and silver for the seats not playing this turn.
inline const QColor kLabelYellow{242, 250, 143};
inline const QColor kSilver{192, 192, 192};
} // namespace board

void setLabelColour(QLabel* label, const QColor& colour);

// A label on the card table: text or a picture. A table drawn at several times its design
// size repaints dozens of these at once, and a plain label both lays out and draws its text
// anew on every paint and stretches a picture through a smoothly scaled copy that it makes
// again for every new size. This one keeps its text drawn in a picture until what it shows
// changes, and stretches a picture (while the table waits for a resize to settle) as it paints.
// Text shown in a picture is drawn as the label draws plain text.
class BoardLabel : public QLabel {
    Q_OBJECT
public:
    explicit BoardLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything the drawn text depends on.
    struct Shown {
        QString text;
        QFont font;
        QRgb colour = 0;
        QSize size;
        QMargins margins;
        int alignment = 0;
        bool wordWrap = false;
        bool enabled = true;
        qreal ratio = 1;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const;

    // Text from this size on is kept as a picture.
    static constexpr int kKeptTextPixels = 20;

    Shown m_shown;
    QPixmap m_text;
};

} // namespace vrako
