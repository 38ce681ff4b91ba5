// SPDX-License-Identifier: MIT
#include "support/cards.h"
#include "widgets/artpaint.h"
#include "widgets/cardart.h"

#include <QPainter>
#include <QSet>
#include <QTest>
#include <cmath>
#include <limits>

namespace art = vrako::art;

namespace {

QImage imageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QByteArray bytesOf(const QImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

// The symbol's shape alone, as a black-on-white mask.
QImage symbolMask(int colour) {
    QImage mask(48, 48, QImage::Format_Grayscale8);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(art::paint::symbol(colour, QRectF(4, 4, 40, 40)), Qt::black);
    return mask;
}

// Mean absolute difference of two equally sized greyscale images, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

} // namespace

class TestCardArt : public QObject {
    Q_OBJECT
private slots:
    void facesHaveCardSize_data();
    void facesHaveCardSize();
    void facesAreAllDifferent();
    void coloursDifferWithoutColour();
    void cardShapeIsRounded();
    void invalidRequests();
    void picturesHaveTheirSizes_data();
    void picturesHaveTheirSizes();
    void arrowsAreMirrorImages();
    void winnerFramesAlternate();
    void backgroundTileRepeatsSeamlessly();
    void picturesAreCached();
};

void TestCardArt::facesHaveCardSize_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<QSize>("device");
    QTest::newRow("1x") << 1.0 << QSize(53, 77);
    QTest::newRow("1.5x") << 1.5 << QSize(80, 116);
    QTest::newRow("2x") << 2.0 << QSize(106, 154);
}

void TestCardArt::facesHaveCardSize() {
    QFETCH(qreal, dpr);
    QFETCH(QSize, device);
    for (int code = 0; code < art::kCardCount; ++code) {
        const QPixmap face = art::cardFace(code, dpr);
        QVERIFY2(!face.isNull(), qPrintable(QString::number(code)));
        QCOMPARE(face.size(), device);
        QCOMPARE(face.devicePixelRatio(), dpr);
    }
    QCOMPARE(art::cardBack(dpr).size(), device);
}

void TestCardArt::facesAreAllDifferent() {
    QSet<QByteArray> seen;
    for (int code = 0; code < art::kCardCount; ++code)
        seen.insert(bytesOf(imageOf(art::cardFace(code))));
    seen.insert(bytesOf(imageOf(art::cardBack())));
    QCOMPARE(seen.size(), art::kCardCount + 1);
}

void TestCardArt::coloursDifferWithoutColour() {
    // Each colour's symbol must be a shape of its own: compare the shapes pairwise.
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            const QImage ma = symbolMask(a), mb = symbolMask(b);
            int differing = 0, covered = 0;
            for (int y = 0; y < ma.height(); ++y) {
                for (int x = 0; x < ma.width(); ++x) {
                    const bool ia = qGray(ma.pixel(x, y)) < 128, ib = qGray(mb.pixel(x, y)) < 128;
                    differing += ia != ib;
                    covered += ia || ib;
                }
            }
            QVERIFY2(differing > covered / 5,
                     qPrintable(QStringLiteral("symbols %1 and %2 too alike").arg(a).arg(b)));
        }
    }
    // And the same number in two colours still looks different in greyscale.
    for (int number = 1; number <= vrako::card::kNumbersPerColour; ++number) {
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                const QImage ga = imageOf(art::cardFace(vrako::cardCode(a, number)))
                                      .convertToFormat(QImage::Format_Grayscale8);
                const QImage gb = imageOf(art::cardFace(vrako::cardCode(b, number)))
                                      .convertToFormat(QImage::Format_Grayscale8);
                QVERIFY(meanDifference(ga, gb) > 2.0);
            }
        }
    }
}

void TestCardArt::cardShapeIsRounded() {
    for (const QPixmap& picture : {art::cardFace(0), art::cardFace(29), art::cardBack()}) {
        const QImage image = imageOf(picture);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(52, 76)), 0);
        QCOMPARE(qAlpha(image.pixel(26, 38)), 255);
        QCOMPARE(qAlpha(image.pixel(26, 1)), 255);
    }
    // Below ratio 1 (a table smaller than its design) the whole card is drawn smaller, not
    // cut off at the picture's edge: its far corner is rounded too.
    for (const QPixmap& picture : {art::cardFace(29, 0.6), art::cardBack(0.6)}) {
        const QImage image = imageOf(picture);
        QCOMPARE(image.size(), QSize(32, 47));
        QCOMPARE(qAlpha(image.pixel(31, 46)), 0);
        QCOMPARE(qAlpha(image.pixel(16, 23)), 255);
    }
}

void TestCardArt::invalidRequests() {
    QVERIFY(art::cardFace(-1).isNull());
    QVERIFY(art::cardFace(53).isNull());
    QVERIFY(art::cardFace(std::numeric_limits<int>::min()).isNull());
    QVERIFY(art::colourBar(-1, art::kTableBarSize).isNull());
    QVERIFY(art::colourBar(4, art::kTableBarSize).isNull());
    QVERIFY(art::colourBar(0, QSize(0, 0)).isNull());
    QVERIFY(art::colourBar(0, QSize(-5, 11)).isNull());
    QVERIFY(art::colourBar(0, QSize(100000, 11)).isNull());
    // Unusable pixel ratios fall back to 1; huge ones are capped.
    QCOMPARE(art::cardFace(7, 0).size(), art::kCardSize);
    QCOMPARE(art::cardFace(7, -2).size(), art::kCardSize);
    QCOMPARE(art::cardFace(7, std::nan("")).size(), art::kCardSize);
    QCOMPARE(art::eyes(1e9).size(), art::kEyesSize * 8);
}

void TestCardArt::picturesHaveTheirSizes_data() {
    QTest::addColumn<QPixmap>("picture");
    QTest::addColumn<QSize>("logical");
    for (int c = 0; c < 4; ++c) {
        QTest::addRow("table bar %d", c) << art::colourBar(c, art::kTableBarSize) << QSize(53, 11);
        QTest::addRow("chooser bar %d", c)
            << art::colourBar(c, art::kChooserBarSize, 2) << QSize(74, 14);
    }
    QTest::newRow("arrow left") << art::arrow(false) << QSize(55, 56);
    QTest::newRow("arrow right 2x") << art::arrow(true, 2) << QSize(55, 56);
    QTest::newRow("start") << art::startButton() << QSize(138, 31);
    QTest::newRow("start 2x") << art::startButton(2) << QSize(138, 31);
    QTest::newRow("tile") << art::backgroundTile() << QSize(64, 64);
    QTest::newRow("eyes") << art::eyes() << QSize(22, 10);
    QTest::newRow("winner 0") << art::winnerFrame(0) << QSize(134, 28);
    QTest::newRow("winner 1 2x") << art::winnerFrame(1, 2) << QSize(134, 28);
}

void TestCardArt::picturesHaveTheirSizes() {
    QFETCH(QPixmap, picture);
    QFETCH(QSize, logical);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.deviceIndependentSize().toSize(), logical);
    QCOMPARE(picture.size(), logical * picture.devicePixelRatio());
    // Something is drawn: not a blank or single-coloured picture.
    const QImage image = imageOf(picture);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 8; y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    QVERIFY(colours.size() >= 8);
}

void TestCardArt::arrowsAreMirrorImages() {
    const QImage left = imageOf(art::arrow(false));
    const QImage right = imageOf(art::arrow(true));
    QVERIFY(left != right);
    QVERIFY(meanDifference(left.mirrored(true, false), right) < 3.0);
}

void TestCardArt::winnerFramesAlternate() {
    const QImage f0 = imageOf(art::winnerFrame(0));
    const QImage f1 = imageOf(art::winnerFrame(1));
    QVERIFY(f0 != f1);
    QCOMPARE(imageOf(art::winnerFrame(2)), f0);
    QCOMPARE(imageOf(art::winnerFrame(-1)), f1);
}

void TestCardArt::backgroundTileRepeatsSeamlessly() {
    const QImage tile = imageOf(art::backgroundTile()).convertToFormat(QImage::Format_RGB32);
    long r = 0, g = 0, b = 0;
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            r += qRed(tile.pixel(x, y));
            g += qGreen(tile.pixel(x, y));
            b += qBlue(tile.pixel(x, y));
        }
    }
    const long n = tile.width() * tile.height();
    QVERIFY(std::abs(r / n - 36) <= 4 && std::abs(g / n - 43) <= 4 && std::abs(b / n - 55) <= 4);

    // Across the seam neighbouring pixels differ no more than inside the tile.
    const auto columnStep = [&](int x0, int x1) {
        double sum = 0;
        for (int y = 0; y < tile.height(); ++y)
            sum += std::abs(qGray(tile.pixel(x0, y)) - qGray(tile.pixel(x1, y)));
        return sum / tile.height();
    };
    double inside = 0;
    for (int x = 0; x + 1 < tile.width(); ++x)
        inside += columnStep(x, x + 1);
    inside /= tile.width() - 1;
    QVERIFY(columnStep(tile.width() - 1, 0) < inside * 2 + 1);
    QVERIFY(inside < 6); // subtle, not a loud pattern
}

void TestCardArt::picturesAreCached() {
    const QPixmap first = art::cardFace(12, 2);
    QCOMPARE(art::cardFace(12, 2).cacheKey(), first.cacheKey());
    QVERIFY(art::cardFace(12, 1).cacheKey() != first.cacheKey());
    art::clearCache();
    const QPixmap again = art::cardFace(12, 2);
    QVERIFY(again.cacheKey() != first.cacheKey());
    QCOMPARE(imageOf(again), imageOf(first)); // drawn the same way every time
}

QTEST_MAIN(TestCardArt)
#include "tst_cardart.moc"
