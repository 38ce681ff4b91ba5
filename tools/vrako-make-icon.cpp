// SPDX-License-Identifier: MIT
// vrako-make-icon OUTDIR ID: paints the desktop icon, a fan of three cards in the game's own
// card style, into a hicolor tree: OUTDIR/scalable/apps/ID.svg and OUTDIR/NxN/apps/ID.png for
// N = 48, 64, 128 and 256. Every size is painted from the same paths, not scaled from a bitmap.
#include "widgets/artpaint.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <QTransform>
#include <cstdio>

namespace {

using namespace vrako::art::paint;

// One card in the table's card units (53 by 77), as the game paints its faces.
const QRectF kCard(0.5, 0.5, 52, 76);
const QRectF kField(3, 3, 47, 71);
constexpr qreal kCanvas = 256;

void drawBlank(QPainter& p) {
    // A heavier border than on the table keeps the card edge visible at 48 pixels.
    p.setPen(QPen(QColor(26, 26, 32), 1.6));
    p.setBrush(QColor(252, 252, 250));
    p.drawRoundedRect(kCard, 5, 5);
}

// A number card reduced to its colour field and its colour's symbol.
void drawColourCard(QPainter& p, int colour) {
    drawBlank(p);
    const Shades s = shades(colour);
    QLinearGradient field(kField.topLeft(), kField.bottomRight());
    field.setColorAt(0, s.light);
    field.setColorAt(0.45, s.base);
    field.setColorAt(1, s.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(kField, 3.5, 3.5);
    const QPointF c = kField.center();
    drawSymbol(p, colour, QRectF(c.x() - 21, c.y() - 27, 26, 26), QColor(255, 255, 255, 235),
               s.dark, 1.2);
}

// The Vrako card: the dark action field with its glow, burst and bolt.
void drawVrakoCard(QPainter& p) {
    drawBlank(p);
    QLinearGradient field(kField.topLeft(), kField.bottomLeft());
    field.setColorAt(0, QColor(52, 56, 70));
    field.setColorAt(1, QColor(16, 17, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(kField, 3.5, 3.5);
    QRadialGradient light(kField.center(), 30);
    light.setColorAt(0, QColor(190, 80, 255, 170));
    light.setColorAt(1, QColor(190, 80, 255, 0));
    p.setBrush(light);
    p.drawRoundedRect(kField, 3.5, 3.5);
    const QRectF box(kField.center().x() - 21, kField.center().y() - 21, 42, 42);
    drawBurst(p, box, QColor(255, 120, 200), QColor(120, 40, 200));
    drawBolt(p, box.adjusted(9, 5, -9, -5));
}

// The whole icon on a kCanvas square: two colour cards fanned out behind the Vrako card, the
// fan scaled to fill the square but for a small margin.
void paintIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    struct Placement {
        qreal angle;
        int colour; // -1: the Vrako card
    };
    const Placement fan[] = {{-22, 0}, {-4, 2}, {14, -1}};
    // Each card turns about a point below it, like a card in a hand.
    auto placed = [](qreal angle) {
        QTransform t;
        t.translate(0, 110);
        t.rotate(angle);
        t.translate(-kCard.width() / 2, -110);
        return t;
    };
    QRectF bounds;
    for (const Placement& card : fan)
        bounds |= placed(card.angle).mapRect(kCard.adjusted(-1, -1, 1, 1));
    const qreal margin = 6;
    const qreal scale = (kCanvas - 2 * margin) / qMax(bounds.width(), bounds.height());
    p.translate(kCanvas / 2, kCanvas / 2);
    p.scale(scale, scale);
    p.translate(-bounds.center());
    for (const Placement& card : fan) {
        p.save();
        p.setTransform(placed(card.angle), true);
        if (card.colour < 0)
            drawVrakoCard(p);
        else
            drawColourCard(p, card.colour);
        p.restore();
    }
}

bool writePng(const QString& dir, const QString& id, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / kCanvas, size / kCanvas);
    paintIcon(p);
    p.end();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(size);
    return QDir().mkpath(folder) &&
           image.save(folder + QLatin1Char('/') + id + QStringLiteral(".png"));
}

bool writeSvg(const QString& dir, const QString& id) {
    const QString folder = dir + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(folder))
        return false;
    QSvgGenerator svg;
    svg.setFileName(folder + QLatin1Char('/') + id + QStringLiteral(".svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRectF(0, 0, kCanvas, kCanvas));
    svg.setTitle(QStringLiteral("Vrako"));
    svg.setDescription(QStringLiteral("Three cards of the Vrako card game"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    paintIcon(p);
    return p.end();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vrako-make-icon OUTDIR ID\n");
        return 1;
    }
    const QString& dir = args.at(1);
    const QString& id = args.at(2);
    bool ok = writeSvg(dir, id);
    for (int size : {48, 64, 128, 256})
        ok = writePng(dir, id, size) && ok;
    if (!ok) {
        std::fprintf(stderr, "vrako-make-icon: cannot write the icon into %s\n", qPrintable(dir));
        return 1;
    }
    return 0;
}
