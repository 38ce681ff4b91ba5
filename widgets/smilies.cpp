// SPDX-License-Identifier: MIT
#include "widgets/smilies.h"

#include <QPainter>
#include <QPainterPath>

namespace vrako {

namespace {

enum class Eyes { Dots, Wink, Closed, Wide, Shades, Hearts, Angry, Rolled, Tears };
enum class Mouth { Smile, Grin, Sad, Flat, Open, Tongue, Kiss, Wavy, Smirk, Laugh };

struct Face {
    QColor skin;
    Eyes eyes;
    Mouth mouth;
    bool blush = false;
    bool horns = false;
};

const Face kFaces[kSmileyCount] = {
    {QColor(255, 214, 48), Eyes::Dots, Mouth::Smile},
    {QColor(255, 214, 48), Eyes::Dots, Mouth::Grin},
    {QColor(255, 214, 48), Eyes::Wink, Mouth::Smile},
    {QColor(255, 214, 48), Eyes::Dots, Mouth::Sad},
    {QColor(255, 214, 48), Eyes::Dots, Mouth::Tongue},
    {QColor(255, 214, 48), Eyes::Wide, Mouth::Open},
    {QColor(255, 214, 48), Eyes::Shades, Mouth::Smirk},
    {QColor(236, 84, 52), Eyes::Angry, Mouth::Sad},
    {QColor(255, 214, 48), Eyes::Closed, Mouth::Laugh},
    {QColor(255, 214, 48), Eyes::Dots, Mouth::Flat},
    {QColor(255, 214, 48), Eyes::Rolled, Mouth::Wavy},
    {QColor(255, 214, 48), Eyes::Closed, Mouth::Smile, true},
    {QColor(255, 214, 48), Eyes::Closed, Mouth::Kiss, true},
    {QColor(255, 214, 48), Eyes::Closed, Mouth::Flat},
    {QColor(170, 90, 210), Eyes::Angry, Mouth::Grin, false, true},
    {QColor(255, 214, 48), Eyes::Hearts, Mouth::Smile},
    {QColor(255, 214, 48), Eyes::Tears, Mouth::Sad},
    {QColor(255, 214, 48), Eyes::Rolled, Mouth::Smirk},
};

void drawHeart(QPainter& p, QPointF c, qreal s) {
    QPainterPath path;
    path.moveTo(c.x(), c.y() + s);
    path.cubicTo(c.x() - 2 * s, c.y() - 0.2 * s, c.x() - s, c.y() - 1.6 * s, c.x(),
                 c.y() - 0.5 * s);
    path.cubicTo(c.x() + s, c.y() - 1.6 * s, c.x() + 2 * s, c.y() - 0.2 * s, c.x(), c.y() + s);
    p.fillPath(path, QColor(220, 20, 60));
}

void drawEyes(QPainter& p, Eyes eyes) {
    const QColor ink(40, 30, 20);
    const QPointF left(5.9, 6.3), right(11.1, 6.3);
    p.setBrush(ink);
    p.setPen(Qt::NoPen);
    QPen line(ink, 1.1, Qt::SolidLine, Qt::RoundCap);
    switch (eyes) {
    case Eyes::Dots:
    case Eyes::Tears:
        p.drawEllipse(left, 1.0, 1.5);
        p.drawEllipse(right, 1.0, 1.5);
        if (eyes == Eyes::Tears) {
            p.setBrush(QColor(70, 150, 240));
            p.drawEllipse(QPointF(4.9, 9.4), 0.9, 1.3);
            p.drawEllipse(QPointF(12.1, 9.4), 0.9, 1.3);
        }
        break;
    case Eyes::Wink:
        p.drawEllipse(left, 1.0, 1.5);
        p.setPen(line);
        p.drawLine(QPointF(9.8, 6.6), QPointF(12.4, 6.6));
        break;
    case Eyes::Closed:
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.6, 5.4, 2.6, 2.2), 0, 180 * 16);
        p.drawArc(QRectF(9.8, 5.4, 2.6, 2.2), 0, 180 * 16);
        break;
    case Eyes::Wide:
        p.setBrush(Qt::white);
        p.setPen(QPen(ink, 0.8));
        p.drawEllipse(left, 1.7, 2.0);
        p.drawEllipse(right, 1.7, 2.0);
        p.setBrush(ink);
        p.drawEllipse(left, 0.8, 0.8);
        p.drawEllipse(right, 0.8, 0.8);
        break;
    case Eyes::Shades:
        p.setBrush(QColor(20, 20, 20));
        p.drawRoundedRect(QRectF(3.4, 4.8, 4.8, 3.0), 1.0, 1.0);
        p.drawRoundedRect(QRectF(8.8, 4.8, 4.8, 3.0), 1.0, 1.0);
        p.setPen(QPen(QColor(20, 20, 20), 0.9));
        p.drawLine(QPointF(2.2, 5.4), QPointF(14.8, 5.4));
        break;
    case Eyes::Hearts:
        drawHeart(p, QPointF(5.7, 6.3), 1.6);
        drawHeart(p, QPointF(11.3, 6.3), 1.6);
        break;
    case Eyes::Angry:
        p.drawEllipse(QPointF(5.9, 7.0), 1.0, 1.1);
        p.drawEllipse(QPointF(11.1, 7.0), 1.0, 1.1);
        p.setPen(line);
        p.drawLine(QPointF(4.2, 4.4), QPointF(7.4, 5.6));
        p.drawLine(QPointF(12.8, 4.4), QPointF(9.6, 5.6));
        break;
    case Eyes::Rolled:
        p.setBrush(Qt::white);
        p.setPen(QPen(ink, 0.8));
        p.drawEllipse(left, 1.6, 1.8);
        p.drawEllipse(right, 1.6, 1.8);
        p.setBrush(ink);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(6.4, 5.2), 0.8, 0.8);
        p.drawEllipse(QPointF(11.6, 5.2), 0.8, 0.8);
        break;
    }
}

void drawMouth(QPainter& p, Mouth mouth) {
    const QColor ink(40, 30, 20);
    p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    switch (mouth) {
    case Mouth::Smile:
        p.drawArc(QRectF(4.8, 6.6, 7.4, 5.2), 200 * 16, 140 * 16);
        break;
    case Mouth::Grin:
    case Mouth::Laugh: {
        QPainterPath path;
        path.moveTo(4.4, 9.4);
        path.lineTo(12.6, 9.4);
        path.cubicTo(12.2, 13.4, 4.8, 13.4, 4.4, 9.4);
        p.setBrush(mouth == Mouth::Laugh ? QColor(140, 30, 30) : Qt::white);
        p.drawPath(path);
        break;
    }
    case Mouth::Sad:
        p.drawArc(QRectF(5.0, 10.4, 7.0, 4.4), 30 * 16, 120 * 16);
        break;
    case Mouth::Flat:
        p.drawLine(QPointF(5.6, 11.2), QPointF(11.4, 11.2));
        break;
    case Mouth::Open:
        p.setBrush(QColor(140, 30, 30));
        p.drawEllipse(QPointF(8.5, 11.2), 1.8, 2.0);
        break;
    case Mouth::Tongue:
        p.drawArc(QRectF(4.8, 6.6, 7.4, 5.2), 200 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 70, 90));
        p.drawEllipse(QPointF(9.4, 12.2), 1.7, 1.6);
        break;
    case Mouth::Kiss:
        p.setBrush(QColor(220, 40, 70));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(8.5, 11.2), 1.6, 1.2);
        break;
    case Mouth::Wavy: {
        QPainterPath path;
        path.moveTo(5.0, 11.4);
        path.cubicTo(6.2, 10.0, 7.2, 12.8, 8.5, 11.4);
        path.cubicTo(9.8, 10.0, 10.8, 12.8, 12.0, 11.4);
        p.drawPath(path);
        break;
    }
    case Mouth::Smirk:
        p.drawArc(QRectF(7.0, 7.4, 5.6, 4.4), 230 * 16, 110 * 16);
        break;
    }
}

} // namespace

QPixmap smileyPicture(int number, qreal devicePixelRatio) {
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QPixmap pix(qRound(kSmileyWidth * dpr), qRound(kSmileyHeight * dpr));
    pix.setDevicePixelRatio(dpr);
    pix.fill(Qt::transparent);
    if (number < 0 || number >= kSmileyCount) {
        return pix;
    }
    const Face& face = kFaces[number];
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    if (face.horns) {
        p.setPen(Qt::NoPen);
        p.setBrush(face.skin.darker(130));
        p.drawPolygon(QPolygonF({QPointF(2.2, 0.2), QPointF(5.6, 2.6), QPointF(3.0, 4.4)}));
        p.drawPolygon(QPolygonF({QPointF(14.8, 0.2), QPointF(11.4, 2.6), QPointF(14.0, 4.4)}));
    }
    QRadialGradient shade(QPointF(6.5, 5.0), 9.0);
    shade.setColorAt(0, face.skin.lighter(125));
    shade.setColorAt(1, face.skin);
    p.setBrush(shade);
    p.setPen(QPen(face.skin.darker(170), 0.9));
    p.drawEllipse(QRectF(1.0, 0.9, 15.0, 14.2));
    if (face.blush) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 110, 110, 150));
        p.drawEllipse(QPointF(4.0, 9.6), 1.5, 1.0);
        p.drawEllipse(QPointF(13.0, 9.6), 1.5, 1.0);
    }
    drawEyes(p, face.eyes);
    drawMouth(p, face.mouth);
    return pix;
}

QList<QPixmap> smileyPictures(qreal devicePixelRatio) {
    QList<QPixmap> list;
    list.reserve(kSmileyCount);
    for (int i = 0; i < kSmileyCount; ++i) {
        list.append(smileyPicture(i, devicePixelRatio));
    }
    return list;
}

} // namespace vrako
