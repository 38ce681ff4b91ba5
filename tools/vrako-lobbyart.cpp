// SPDX-License-Identifier: MIT
// vrako-lobbyart OUT.jpg: draws the download window's picture (a card table with four seats
// and cards in play) and writes it as a JPEG. Run by tools/gen_pictures.sh; the JPEG is kept in
// assets/pictures/ and the build never runs this.
#include "widgets/artpaint.h"
#include "widgets/cardart.h"
#include "widgets/jpegimage.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <cstdio>

using namespace vrako;

namespace {

QImage draw() {
    const QSize size(180, 120);
    QImage image(size * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawTiledPixmap(QRect(QPoint(0, 0), size), art::backgroundTile(2));

    // The table: green felt in a wooden rim.
    const QRectF table(24, 16, 132, 88);
    p.setPen(QPen(QColor(92, 58, 30), 6));
    QRadialGradient felt(table.center(), table.width() / 1.6);
    felt.setColorAt(0, QColor(46, 140, 76));
    felt.setColorAt(1, QColor(22, 88, 46));
    p.setBrush(felt);
    p.drawRoundedRect(table, 40, 40);

    // Four seats, one per colour symbol.
    const QPointF seats[4] = {{90, 7}, {168, 60}, {90, 113}, {12, 60}};
    for (int i = 0; i < 4; ++i) {
        const art::paint::Shades s = art::paint::shades(i);
        p.setPen(QPen(s.dark, 1.5));
        p.setBrush(s.base);
        p.drawEllipse(seats[i], 9, 9);
        art::paint::drawSymbol(p, i, QRectF(seats[i] - QPointF(5, 5), QSizeF(10, 10)), s.light,
                               s.dark, 0.8);
    }

    // Cards in play, slightly turned.
    const int codes[3] = {11, 28, 2};
    const qreal angles[3] = {-14, 4, 20};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(70 + i * 20, 60);
        p.rotate(angles[i]);
        p.drawPixmap(QRectF(-16, -23, 32, 46), art::cardFace(codes[i], 4),
                     QRectF(QPointF(0, 0), QSizeF(art::kCardSize) * 4));
        p.restore();
    }
    p.end();
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrako-lobbyart OUT.jpg\n");
        return 1;
    }
    const QByteArray jpeg = encodeJpeg(draw(), 88);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (jpeg.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(jpeg) != jpeg.size()) {
        std::fprintf(stderr, "vrako-lobbyart: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
