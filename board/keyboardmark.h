// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace vrako {

// The frame round the card the keyboard has chosen: gold with a dark outer line, so it stands
// out on the felt and on light card faces alike. Clicks pass through it to the card.
class KeyboardMark : public QWidget {
    Q_OBJECT
public:
    explicit KeyboardMark(QWidget* parent);
    // The frame's lines keep their design widths at the table's scale.
    void setScale(qreal scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_scale = 1;
};

} // namespace vrako
