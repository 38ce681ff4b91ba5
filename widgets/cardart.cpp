// SPDX-License-Identifier: MIT
#include "widgets/cardart.h"

#include "widgets/artpaint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace vrako::art {

using namespace paint;

namespace {

const QRectF kCardRect(0.5, 0.5, 52, 76);
const QRectF kField(3, 3, 47, 71);

// The white card with its thin dark border, on which every face and the back are printed.
void drawBlank(QPainter& p) {
    p.setPen(QPen(QColor(26, 26, 32), 1));
    p.setBrush(QColor(252, 252, 250));
    p.drawRoundedRect(kCardRect, 5, 5);
}

// Runs draw once for the top-left corner and once turned round for the bottom-right one.
template <typename Fn> void bothCorners(QPainter& p, Fn draw) {
    draw();
    p.save();
    p.translate(kCardSize.width(), kCardSize.height());
    p.rotate(180);
    draw();
    p.restore();
}

void drawNumberFace(QPainter& p, int colour, int number) {
    const Shades s = shades(colour);
    QLinearGradient field(kField.topLeft(), kField.bottomRight());
    field.setColorAt(0, s.light);
    field.setColorAt(0.45, s.base);
    field.setColorAt(1, s.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(kField, 3.5, 3.5);

    // A white oval leaning to the right leaves the corner marks free.
    p.save();
    p.translate(kField.center());
    p.rotate(28);
    QRadialGradient oval(QPointF(-4, -8), 34);
    oval.setColorAt(0, Qt::white);
    oval.setColorAt(1, QColor(232, 234, 238));
    p.setBrush(oval);
    p.setPen(QPen(s.dark, 0.8));
    p.drawEllipse(QRectF(-18.5, -31, 37, 62));
    p.restore();

    // The colour's symbol, large and pale, behind the number.
    QColor watermark = s.base;
    watermark.setAlpha(70);
    drawSymbol(p, colour, QRectF(kField.center().x() - 17, kField.center().y() - 17, 34, 34),
               watermark, Qt::transparent, 0);

    const QString text = QString::number(number);
    const QFont big = font(text.size() > 1 ? 27 : 32);
    const QPointF centre = kField.center() + QPointF(0, 0.5);
    QPainterPath digits = textPath(text, big, centre);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(digits.translated(1.2, 1.4));
    QLinearGradient ink(0, centre.y() - 14, 0, centre.y() + 14);
    ink.setColorAt(0, colour == 3 ? s.base : s.light);
    ink.setColorAt(0.5, s.base);
    ink.setColorAt(1, colour == 3 ? s.dark : s.dark.lighter(120));
    p.setPen(QPen(colour == 3 ? QColor(60, 36, 0) : s.dark.darker(150), 1.6, Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawPath(digits);

    // Corner index: the number and the symbol, readable when only the left strip shows.
    const QFont small = font(text.size() > 1 ? 11 : 12);
    bothCorners(p, [&] {
        p.setPen(s.ink);
        p.setFont(small);
        p.drawText(QRectF(3.5, 3.5, 14, 13), Qt::AlignCenter, text);
        drawSymbol(p, colour, QRectF(5.5, 17, 10, 10), s.ink, s.dark, 0.7);
    });
}

// A dark field lit from behind the icon, shared by the five action cards.
void drawSpecialField(QPainter& p, const QColor& glow) {
    QLinearGradient field(kField.topLeft(), kField.bottomLeft());
    field.setColorAt(0, QColor(52, 56, 70));
    field.setColorAt(1, QColor(16, 17, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(kField, 3.5, 3.5);
    QRadialGradient light(QPointF(kField.center().x(), 30), 27);
    QColor inner = glow;
    inner.setAlpha(150);
    QColor outer = glow;
    outer.setAlpha(0);
    light.setColorAt(0, inner);
    light.setColorAt(1, outer);
    p.setBrush(light);
    p.drawRoundedRect(kField, 3.5, 3.5);
}

// The card's word along the bottom of the field, shrunk until it fits.
void drawWord(QPainter& p, const QString& word) {
    qreal size = 10;
    QFont f = font(size);
    while (QFontMetricsF(f).horizontalAdvance(word) > kField.width() - 5 && size > 6)
        f = font(--size);
    drawOutlinedText(p, word, f, QPointF(kField.center().x(), 55.5), QColor(255, 255, 255),
                     QColor(0, 0, 0), 1.6);
}

void drawSpecialIcon(QPainter& p, int code, const QRectF& box, bool small) {
    switch (code) {
    case card::kVrako:
        if (!small)
            drawBurst(p, box.adjusted(-3, -3, 3, 3), QColor(255, 120, 200), QColor(120, 40, 200));
        drawBolt(p, small ? box : box.adjusted(6, 3, -6, -3));
        break;
    case card::kReverse:
        drawReverseArrows(p, box);
        break;
    case card::kWild:
        drawColourWheel(p, small ? box : box.adjusted(1, 1, -1, -1), !small);
        break;
    case card::kDouble:
        if (small) {
            drawOutlinedText(p, QStringLiteral("x2"), font(10), box.center(), QColor(255, 214, 60),
                             QColor(40, 20, 0), 1.4);
        } else {
            drawTimesTwo(p, box);
        }
        break;
    default:
        drawBomb(p, box);
        break;
    }
}

void drawSpecialFace(QPainter& p, int code) {
    static const QColor glows[] = {QColor(190, 80, 255), QColor(40, 190, 200),
                                   QColor(255, 255, 255), QColor(255, 200, 40),
                                   QColor(255, 80, 30)};
    static const char* const words[] = {"VRAKO", "REVERSE", "WILD", "DOUBLE", "BOMB"};
    drawSpecialField(p, glows[code]);
    drawSpecialIcon(p, code, QRectF(9, 12, 35, 35), false);
    drawWord(p, QString::fromLatin1(words[code]));
    bothCorners(p, [&] { drawSpecialIcon(p, code, QRectF(4.5, 4.5, 12, 12), true); });
}

void drawBack(QPainter& p) {
    drawBlank(p);
    QLinearGradient field(kField.topLeft(), kField.bottomRight());
    field.setColorAt(0, QColor(58, 52, 150));
    field.setColorAt(1, QColor(22, 18, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(kField, 3.5, 3.5);

    // A fine diamond lattice, clipped to the field.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(kField, 3.5, 3.5);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(255, 255, 255, 38), 0.8));
    for (qreal d = -80; d < 130; d += 6) {
        p.drawLine(QPointF(d, 0), QPointF(d + 77, 77));
        p.drawLine(QPointF(d, 77), QPointF(d + 77, 0));
    }
    p.restore();

    // Gold rule inside the field.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(232, 196, 90), 1));
    p.drawRoundedRect(kField.adjusted(2.5, 2.5, -2.5, -2.5), 2.5, 2.5);

    // The emblem: a ring of the four colours round a gold V.
    const QPointF c = kField.center();
    const qreal r = 17;
    QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(14, 12, 40));
    p.drawEllipse(ring.adjusted(-2, -2, 2, 2));
    const int starts[] = {90, 0, 270, 180};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(shades(i).base, 3.2, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, (starts[i] + 6) * 16, 78 * 16);
    }
    QRadialGradient disc(c + QPointF(-4, -5), r);
    disc.setColorAt(0, QColor(70, 62, 170));
    disc.setColorAt(1, QColor(28, 22, 84));
    p.setPen(QPen(QColor(232, 196, 90), 0.8));
    p.setBrush(disc);
    p.drawEllipse(ring.adjusted(3.5, 3.5, -3.5, -3.5));

    QLinearGradient gold(0, c.y() - 11, 0, c.y() + 11);
    gold.setColorAt(0, QColor(255, 244, 180));
    gold.setColorAt(0.5, QColor(245, 200, 70));
    gold.setColorAt(1, QColor(190, 130, 20));
    drawOutlinedText(p, QStringLiteral("V"), font(25), c + QPointF(0, 0.5), gold, QColor(40, 24, 0),
                     1.4);
}

} // namespace

QPixmap cardFace(int code, qreal dpr) {
    if (code < 0 || code >= kCardCount)
        return {};
    return cached(QStringLiteral("face%1").arg(code), dpr, [code](qreal d) {
        return render(kCardSize, d, [code](QPainter& p) {
            drawBlank(p);
            if (isSpecial(code))
                drawSpecialFace(p, code);
            else
                drawNumberFace(p, colourIndexOf(code), numberOf(code));
        });
    });
}

QPixmap cardBack(qreal dpr) {
    return cached(QStringLiteral("back"), dpr,
                  [](qreal d) { return render(kCardSize, d, drawBack); });
}

void clearCache() {
    clearCached();
}

} // namespace vrako::art
