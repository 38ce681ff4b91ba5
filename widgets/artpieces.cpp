// SPDX-License-Identifier: MIT
// The table's pictures other than the cards: colour bars, arrows, the start button, the felt,
// the watching eyes and the winner banner.
#include "widgets/artpaint.h"
#include "widgets/cardart.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cstdint>

namespace vrako::art {

using namespace paint;

namespace {

void drawBar(QPainter& p, int colour, QSize size) {
    const Shades s = shades(colour);
    const QRectF r(0.5, 0.5, size.width() - 1, size.height() - 1);
    const qreal radius = qMin<qreal>(r.height() / 2.5, 4);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, s.light);
    g.setColorAt(0.5, s.base);
    g.setColorAt(1, s.dark);
    p.setPen(QPen(QColor(20, 20, 26), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);

    const qreal sym = qMax<qreal>(4, r.height() - 3);
    const qreal y = r.center().y() - sym / 2;
    const QRectF left(r.left() + 2.5, y, sym, sym);
    const QRectF right(r.right() - 2.5 - sym, y, sym, sym);
    drawSymbol(p, colour, left, s.ink, s.dark, 0.6);
    drawSymbol(p, colour, right, s.ink, s.dark, 0.6);

    // The colour's name between the symbols when it fits; otherwise a third symbol.
    const QString name = QString::fromLatin1(colourTitle(colourCodeAt(colour))).toUpper();
    const QRectF between(left.right() + 2, r.top(), right.left() - left.right() - 4, r.height());
    QFont f = font(qMin<qreal>(r.height() * 0.72, 14));
    if (f.pixelSize() >= 7 && QFontMetricsF(f).horizontalAdvance(name) <= between.width()) {
        p.setPen(s.ink);
        p.setFont(f);
        p.drawText(between, Qt::AlignCenter, name);
    } else if (between.width() >= sym) {
        drawSymbol(p, colour, QRectF(r.center().x() - sym / 2, y, sym, sym), s.ink, s.dark, 0.6);
    }
}

void drawArrow(QPainter& p, bool right) {
    // Drawn as the left-hand arrow: rising along the left of the table towards the seat there.
    QPainterPath path = arcArrowPath(QPointF(0, 0), 30, 212, -84, 10);
    const QRectF bounds = path.boundingRect();
    const QRectF box(3, 2, kArrowSize.width() - 6, kArrowSize.height() - 5);
    const qreal scale = qMin(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(right ? -scale : scale, scale);
    t.translate(-bounds.center().x(), -bounds.center().y());
    path = t.map(path);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(path.translated(1.5, 2));
    QLinearGradient g(0, 0, 0, kArrowSize.height());
    g.setColorAt(0, QColor(255, 252, 196));
    g.setColorAt(0.5, QColor(242, 250, 143));
    g.setColorAt(1, QColor(214, 168, 40));
    p.setPen(QPen(QColor(58, 44, 6), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

void drawStartButton(QPainter& p) {
    const QRectF r(0.5, 0.5, kStartButtonSize.width() - 1, kStartButtonSize.height() - 1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(120, 214, 104));
    g.setColorAt(0.5, QColor(46, 160, 62));
    g.setColorAt(1, QColor(22, 104, 40));
    p.setPen(QPen(QColor(10, 50, 20), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 8, 8);
    // Gloss on the upper half.
    QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(r.left() + 2, r.top() + 1.5, r.width() - 4, r.height() / 2 - 1), 6, 6);

    // A play sign before the words.
    const qreal cy = r.center().y();
    const QPointF tri[] = {{15, cy - 7}, {15, cy + 7}, {27, cy}};
    p.setPen(QPen(QColor(10, 50, 20), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 250, 190));
    p.drawPolygon(tri, 3);
    drawOutlinedText(p, QStringLiteral("Start Game"), font(17), QPointF(r.center().x() + 9, cy),
                     QColor(255, 255, 240), QColor(8, 48, 16), 2.2);
}

// A small, fixed pseudo-random sequence, so the felt looks the same on every run.
struct Noise {
    std::uint32_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    qreal unit() { return (next() % 10000) / 10000.0; }
};

void drawFelt(QPainter& p) {
    const int w = kBackgroundTileSize.width(), h = kBackgroundTileSize.height();
    p.fillRect(QRect(0, 0, w, h), QColor(kBoardColour));
    Noise n{0x9e3779b9u};
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int v = int(n.next() % 9) - 4;
            if (v == 0)
                continue;
            p.fillRect(QRect(x, y, 1, 1),
                       v > 0 ? QColor(255, 255, 255, v * 3) : QColor(0, 0, 0, -v * 5));
        }
    }
    // Short fibres, drawn again one tile away where they cross an edge so the tile repeats.
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < 70; ++i) {
        const QPointF a(n.unit() * w, n.unit() * h);
        const qreal len = 3 + n.unit() * 6;
        const qreal ang = n.unit() * 2 * M_PI;
        const QPointF b = a + QPointF(std::cos(ang), std::sin(ang)) * len;
        const bool light = n.next() % 2;
        p.setPen(QPen(light ? QColor(170, 190, 220, 16) : QColor(0, 0, 0, 30), 0.7));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                p.drawLine(a + QPointF(dx * w, dy * h), b + QPointF(dx * w, dy * h));
    }
}

void drawEyes(QPainter& p) {
    for (int i = 0; i < 2; ++i) {
        const QRectF eye(0.7 + i * 11, 0.7, 9.6, 8.6);
        QRadialGradient white(eye.center() + QPointF(-1.5, -1.5), 6);
        white.setColorAt(0, Qt::white);
        white.setColorAt(1, QColor(214, 218, 226));
        p.setPen(QPen(QColor(16, 16, 20), 1));
        p.setBrush(white);
        p.drawEllipse(eye);
        // Looking sideways, towards the table.
        const QPointF pupil = eye.center() + QPointF(1.6, 0.6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 160));
        p.drawEllipse(pupil, 2.7, 2.7);
        p.setBrush(QColor(8, 8, 12));
        p.drawEllipse(pupil, 1.5, 1.5);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(pupil + QPointF(-0.8, -0.9), 0.6, 0.6);
    }
}

void drawWinner(QPainter& p, int frame) {
    const QRectF r(1.5, 2.5, kWinnerSize.width() - 3, kWinnerSize.height() - 5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(232, 58, 70));
    g.setColorAt(1, QColor(130, 12, 30));
    p.setPen(QPen(QColor(250, 206, 80), 1.6));
    p.setBrush(g);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);

    QLinearGradient gold(0, r.top(), 0, r.bottom());
    gold.setColorAt(0, frame ? QColor(255, 255, 230) : QColor(255, 244, 170));
    gold.setColorAt(1, frame ? QColor(255, 214, 90) : QColor(236, 170, 30));
    drawOutlinedText(p, QStringLiteral("WINNER!"), font(18), r.center() + QPointF(0, 0.5), gold,
                     QColor(60, 10, 10), 2);

    // Stars at the ends and sparkles that trade places from frame to frame.
    const qreal cy = r.center().y();
    for (qreal x : {r.left() + 12, r.right() - 12}) {
        p.setPen(QPen(QColor(80, 30, 0), 0.8));
        p.setBrush(frame ? QColor(255, 250, 200) : QColor(250, 200, 50));
        p.drawPath(starPath(QPointF(x, cy + 0.5), frame ? 7.5 : 6.5, frame ? 3 : 2.7, 5));
    }
    // On the rim, clear of the word.
    static const QPointF setA[] = {{24, 3}, {50, 25.5}, {78, 3}, {110, 25}, {96, 3}};
    static const QPointF setB[] = {{30, 25.5}, {56, 3}, {86, 25.5}, {106, 3}, {38, 3}};
    p.setPen(Qt::NoPen);
    for (const QPointF& at : frame ? setB : setA) {
        p.setBrush(QColor(255, 255, 255, 235));
        p.drawPath(starPath(at, 4.4, 1.0, 4));
        p.setBrush(QColor(255, 240, 150));
        p.drawEllipse(at, 0.9, 0.9);
    }
}

} // namespace

QPixmap colourBar(int colourIndex, QSize size, qreal dpr) {
    if (colourIndex < 0 || colourIndex > 3 || size.width() < 8 || size.height() < 6 ||
        size.width() > 1000 || size.height() > 200)
        return {};
    const QString key =
        QStringLiteral("bar%1_%2x%3").arg(colourIndex).arg(size.width()).arg(size.height());
    return cached(key, dpr, [=](qreal d) {
        return render(size, d, [=](QPainter& p) { drawBar(p, colourIndex, size); });
    });
}

QPixmap arrow(bool right, qreal dpr) {
    return cached(right ? QStringLiteral("arrow_right") : QStringLiteral("arrow_left"), dpr,
                  [right](qreal d) {
                      return render(kArrowSize, d, [right](QPainter& p) { drawArrow(p, right); });
                  });
}

QPixmap startButton(qreal dpr) {
    return cached(QStringLiteral("start"), dpr,
                  [](qreal d) { return render(kStartButtonSize, d, drawStartButton); });
}

QPixmap backgroundTile(qreal dpr) {
    return cached(QStringLiteral("felt"), dpr,
                  [](qreal d) { return render(kBackgroundTileSize, d, drawFelt); });
}

QPixmap eyes(qreal dpr) {
    return cached(QStringLiteral("eyes"), dpr,
                  [](qreal d) { return render(kEyesSize, d, drawEyes); });
}

QPixmap winnerFrame(int frame, qreal dpr) {
    const int f = ((frame % kWinnerFrames) + kWinnerFrames) % kWinnerFrames;
    return cached(QStringLiteral("winner%1").arg(f), dpr, [f](qreal d) {
        return render(kWinnerSize, d, [f](QPainter& p) { drawWinner(p, f); });
    });
}

} // namespace vrako::art
