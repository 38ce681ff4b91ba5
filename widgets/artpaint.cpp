// SPDX-License-Identifier: MIT
#include "widgets/artpaint.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace vrako::art::paint {

Shades shades(int colourIndex) {
    switch (colourIndex) {
    case 0:
        return {QColor(96, 168, 245), QColor(28, 108, 214), QColor(12, 56, 138), Qt::white};
    case 1:
        return {QColor(110, 200, 110), QColor(36, 150, 66), QColor(14, 92, 38), Qt::white};
    case 2:
        return {QColor(245, 110, 96), QColor(212, 38, 42), QColor(128, 14, 22), Qt::white};
    default:
        return {QColor(255, 232, 120), QColor(246, 196, 28), QColor(176, 118, 0),
                QColor(74, 46, 0)};
    }
}

namespace {

// Maps a shape drawn in the unit square into the largest square centred in box.
QPainterPath fitted(const QPainterPath& unit, const QRectF& box) {
    const qreal side = qMin(box.width(), box.height());
    QTransform t;
    t.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    t.scale(side, side);
    return t.map(unit);
}

QPainterPath unitDrop() {
    QPainterPath p;
    p.moveTo(0.5, 0.0);
    p.cubicTo(0.60, 0.20, 0.88, 0.40, 0.88, 0.64);
    p.cubicTo(0.88, 0.86, 0.71, 1.0, 0.5, 1.0);
    p.cubicTo(0.29, 1.0, 0.12, 0.86, 0.12, 0.64);
    p.cubicTo(0.12, 0.40, 0.40, 0.20, 0.5, 0.0);
    p.closeSubpath();
    return p;
}

QPainterPath unitClover() {
    // Each piece is united on its own: overlapping pieces of one path would cancel out under
    // the default odd-even fill and leave holes.
    const auto disc = [](qreal x, qreal y, qreal r) {
        QPainterPath d;
        d.addEllipse(QPointF(x, y), r, r);
        return d;
    };
    QPainterPath stem;
    stem.moveTo(0.46, 0.55);
    stem.lineTo(0.54, 0.55);
    stem.quadTo(0.56, 0.85, 0.68, 1.0);
    stem.lineTo(0.50, 1.0);
    stem.quadTo(0.46, 0.80, 0.46, 0.55);
    stem.closeSubpath();
    const qreal r = 0.215;
    return disc(0.5, 0.25, r)
        .united(disc(0.255, 0.56, r))
        .united(disc(0.745, 0.56, r))
        .united(disc(0.5, 0.47, 0.16))
        .united(stem)
        .simplified();
}

QPainterPath unitHeart() {
    QPainterPath p;
    p.moveTo(0.5, 0.26);
    p.cubicTo(0.42, 0.04, 0.04, 0.02, 0.02, 0.34);
    p.cubicTo(0.0, 0.60, 0.36, 0.78, 0.5, 0.98);
    p.cubicTo(0.64, 0.78, 1.0, 0.60, 0.98, 0.34);
    p.cubicTo(0.96, 0.02, 0.58, 0.04, 0.5, 0.26);
    p.closeSubpath();
    return p;
}

} // namespace

QPainterPath starPath(const QPointF& c, qreal outer, qreal inner, int points, qreal turn) {
    QPainterPath p;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = (i % 2 == 0) ? outer : inner;
        const qreal a = -M_PI / 2 + turn + i * M_PI / points;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return p;
}

QPainterPath symbol(int colourIndex, const QRectF& box) {
    static const QPainterPath drop = unitDrop();
    static const QPainterPath clover = unitClover();
    static const QPainterPath heart = unitHeart();
    static const QPainterPath star = starPath(QPointF(0.5, 0.54), 0.52, 0.22, 5);
    switch (colourIndex) {
    case 0:
        return fitted(drop, box);
    case 1:
        return fitted(clover, box);
    case 2:
        return fitted(heart, box);
    default:
        return fitted(star, box);
    }
}

void drawSymbol(QPainter& p, int colourIndex, const QRectF& box, const QColor& fill,
                const QColor& outline, qreal outlineWidth) {
    p.save();
    p.setBrush(fill);
    if (outlineWidth > 0)
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        p.setPen(Qt::NoPen);
    p.drawPath(symbol(colourIndex, box));
    p.restore();
}

QFont font(qreal pixelSize, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QPainterPath textPath(const QString& text, const QFont& f, const QPointF& centre) {
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF b = path.boundingRect();
    path.translate(centre - b.center());
    return path;
}

void drawOutlinedText(QPainter& p, const QString& text, const QFont& f, const QPointF& centre,
                      const QBrush& fill, const QColor& outline, qreal outlineWidth) {
    const QPainterPath path = textPath(text, f, centre);
    p.save();
    if (outlineWidth > 0) {
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void drawBolt(QPainter& p, const QRectF& box) {
    const qreal x = box.x(), y = box.y(), w = box.width(), h = box.height();
    const QPointF pts[] = {
        {x + 0.62 * w, y},     {x + 0.14 * w, y + 0.58 * h}, {x + 0.44 * w, y + 0.58 * h},
        {x + 0.32 * w, y + h}, {x + 0.86 * w, y + 0.38 * h}, {x + 0.55 * w, y + 0.38 * h},
        {x + 0.78 * w, y}};
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, QColor(255, 250, 170));
    g.setColorAt(1, QColor(255, 190, 20));
    p.save();
    p.setPen(
        QPen(QColor(60, 30, 0), qMax(0.8, w / 22), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPolygon(pts, 7);
    p.restore();
}

void drawBurst(QPainter& p, const QRectF& box, const QColor& inner, const QColor& outer) {
    const qreal r = qMin(box.width(), box.height()) / 2;
    QRadialGradient g(box.center(), r);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(starPath(box.center(), r, r * 0.68, 12));
    p.restore();
}

QPainterPath arcArrowPath(const QPointF& c, qreal radius, qreal startDeg, qreal sweepDeg,
                          qreal thickness) {
    QPainterPath arc;
    const QRectF circle(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(circle, startDeg);
    arc.arcTo(circle, startDeg, sweepDeg);
    QPainterPathStroker stroker;
    stroker.setWidth(thickness);
    stroker.setCapStyle(Qt::FlatCap);
    const QPainterPath body = stroker.createStroke(arc);

    // The head: a triangle at the arc's end, pointing along the direction of travel.
    const qreal endRad = qDegreesToRadians(startDeg + sweepDeg);
    const QPointF end(c.x() + radius * std::cos(endRad), c.y() - radius * std::sin(endRad));
    const qreal dir = sweepDeg > 0 ? 1 : -1;
    const QPointF tangent(-std::sin(endRad) * dir, -std::cos(endRad) * dir);
    const QPointF normal(std::cos(endRad), -std::sin(endRad));
    const qreal half = thickness * 1.15;
    QPainterPath head;
    head.moveTo(end + normal * half);
    head.lineTo(end + tangent * thickness * 1.5);
    head.lineTo(end - normal * half);
    head.closeSubpath();
    return body.united(head).simplified();
}

namespace {

void arcArrow(QPainter& p, const QPointF& c, qreal radius, qreal startDeg, qreal sweepDeg,
              qreal thickness, const QColor& fill, const QColor& outline) {
    p.save();
    p.setPen(QPen(outline, qMax(0.8, thickness / 5), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(arcArrowPath(c, radius, startDeg, sweepDeg, thickness));
    p.restore();
}

} // namespace

void drawReverseArrows(QPainter& p, const QRectF& box) {
    const qreal side = qMin(box.width(), box.height());
    const QPointF c = box.center();
    const qreal r = side * 0.34;
    const qreal t = side * 0.15;
    arcArrow(p, c, r, 200, -150, t, QColor(255, 150, 40), QColor(60, 20, 0));
    arcArrow(p, c, r, 20, -150, t, QColor(80, 200, 255), QColor(0, 30, 60));
}

void drawColourWheel(QPainter& p, const QRectF& box, bool withSymbols) {
    const qreal side = qMin(box.width(), box.height());
    const QRectF disc(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    p.save();
    // Blue top-left, green top-right, red bottom-right, yellow bottom-left.
    const int startAngles[] = {90, 0, 270, 180};
    for (int i = 0; i < 4; ++i) {
        const Shades s = shades(i);
        QRadialGradient g(disc.center(), side / 2);
        g.setColorAt(0, s.light);
        g.setColorAt(1, s.base);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPie(disc, startAngles[i] * 16, 90 * 16);
    }
    p.setPen(QPen(Qt::white, qMax(0.8, side / 28)));
    p.drawLine(QPointF(disc.center().x(), disc.top()), QPointF(disc.center().x(), disc.bottom()));
    p.drawLine(QPointF(disc.left(), disc.center().y()), QPointF(disc.right(), disc.center().y()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 20, 24), qMax(0.8, side / 24)));
    p.drawEllipse(disc);
    if (withSymbols) {
        const qreal q = side * 0.27;
        const QPointF off[] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int i = 0; i < 4; ++i) {
            const QPointF at = disc.center() + off[i] * side * 0.2;
            const Shades s = shades(i);
            drawSymbol(p, i, QRectF(at.x() - q / 2, at.y() - q / 2, q, q), s.ink,
                       i == 3 ? s.ink : s.dark, qMax(0.5, side / 60));
        }
    }
    p.restore();
}

void drawTimesTwo(QPainter& p, const QRectF& box) {
    p.save();
    // Two fanned cards behind the sign.
    const QSizeF card(box.width() * 0.46, box.height() * 0.64);
    for (int i = 0; i < 2; ++i) {
        p.save();
        p.translate(box.center() +
                    QPointF((i ? 1 : -1) * box.width() * 0.12, -box.height() * 0.04));
        p.rotate(i ? 14 : -14);
        QRectF r(-card.width() / 2, -card.height() / 2, card.width(), card.height());
        p.setPen(QPen(QColor(30, 30, 30), 0.8));
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(shades(i ? 2 : 0).base);
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 1.5, 1.5);
        p.restore();
    }
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, QColor(255, 248, 180));
    g.setColorAt(1, QColor(255, 186, 30));
    drawOutlinedText(p, QStringLiteral("x2"), font(box.height() * 0.62),
                     box.center() + QPointF(0, box.height() * 0.12), g, QColor(50, 25, 0),
                     qMax(1.2, box.height() / 14));
    p.restore();
}

void drawBomb(QPainter& p, const QRectF& box) {
    const qreal s = qMin(box.width(), box.height());
    const QPointF c(box.center().x() - s * 0.08, box.center().y() + s * 0.1);
    const qreal r = s * 0.34;
    p.save();
    // The fuse, curling up to a spark.
    QPainterPath fuse;
    const QPointF capTop(c.x() + r * 0.62, c.y() - r * 0.95);
    fuse.moveTo(capTop);
    fuse.cubicTo(capTop + QPointF(s * 0.05, -s * 0.16), capTop + QPointF(s * 0.2, -s * 0.06),
                 capTop + QPointF(s * 0.22, -s * 0.2));
    p.setPen(QPen(QColor(190, 150, 90), qMax(1.0, s / 18), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(fuse);
    // The cap where the fuse enters.
    p.save();
    p.translate(c.x() + r * 0.55, c.y() - r * 0.82);
    p.rotate(40);
    p.setPen(QPen(QColor(10, 10, 10), qMax(0.6, s / 50)));
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(-r * 0.25, -r * 0.22, r * 0.5, r * 0.36));
    p.restore();
    // The body.
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.3);
    g.setColorAt(0, QColor(120, 124, 140));
    g.setColorAt(0.35, QColor(45, 46, 56));
    g.setColorAt(1, QColor(6, 6, 10));
    p.setPen(QPen(QColor(0, 0, 0), qMax(0.6, s / 45)));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    // The spark.
    const QPointF spark = capTop + QPointF(s * 0.22, -s * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 20));
    p.drawPath(starPath(spark, s * 0.17, s * 0.07, 8));
    p.setBrush(QColor(255, 240, 120));
    p.drawPath(starPath(spark, s * 0.09, s * 0.04, 8, M_PI / 8));
    p.restore();
}

void scaleToDevice(QPainter& p) {
    const qreal wanted = p.device()->devicePixelRatio();
    const qreal applied = p.deviceTransform().m11();
    if (applied > 0 && std::abs(wanted - applied) > 1e-9)
        p.scale(wanted / applied, wanted / applied);
}

qreal effectiveDpr(qreal dpr) {
    if (!(dpr > 0))
        return 1; // also catches NaN
    return std::clamp<qreal>(dpr, kMinimumDpr, kMaximumDpr);
}

namespace {

// The pictures of the few ratios last asked for, most recent last. A table that is resized
// asks for a new ratio at every step; only the newest few are kept, so memory stays bounded
// while the pictures on screen stay cached.
constexpr qsizetype kKeptRatios = 4;

struct Cache {
    QList<qreal> ratios;
    QHash<qreal, QHash<QString, QPixmap>> pictures;
};

Cache& cache() {
    static Cache c;
    return c;
}

} // namespace

QPixmap cached(const QString& key, qreal dpr, const std::function<QPixmap(qreal)>& make) {
    dpr = effectiveDpr(dpr);
    Cache& c = cache();
    const qsizetype at = c.ratios.indexOf(dpr);
    if (at < 0) {
        c.ratios.append(dpr);
        if (c.ratios.size() > kKeptRatios)
            c.pictures.remove(c.ratios.takeFirst());
    } else if (at != c.ratios.size() - 1) {
        c.ratios.move(at, c.ratios.size() - 1);
    }
    QHash<QString, QPixmap>& pictures = c.pictures[dpr];
    auto it = pictures.constFind(key);
    if (it != pictures.constEnd())
        return *it;
    const QPixmap made = make(dpr);
    pictures.insert(key, made);
    return made;
}

void clearCached() {
    cache() = Cache();
}

QPixmap render(QSize logical, qreal dpr, const std::function<void(QPainter&)>& draw) {
    dpr = effectiveDpr(dpr);
    const QSize device(qCeil(logical.width() * dpr), qCeil(logical.height() * dpr));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        scaleToDevice(p);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        draw(p);
    }
    return QPixmap::fromImage(std::move(image));
}

} // namespace vrako::art::paint
