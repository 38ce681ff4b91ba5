// SPDX-License-Identifier: MIT
// The JPEG decoder: the built-in picture, a round trip, and damaged data giving no picture.
#include "widgets/jpegimage.h"
#include "widgets/soundplayer.h"

#include <QFile>
#include <QTest>

using namespace vrako;

class TestJpegImage : public QObject {
    Q_OBJECT
private slots:
    void builtInPictureAndRoundTrip();
    void damaged_data();
    void damaged();
};

void TestJpegImage::builtInPictureAndRoundTrip() {
    initResources();
    QFile file(QStringLiteral(":/pictures/lobby.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    QVERIFY(jpeg.size() < 60 * 1024);
    const QImage picture = decodeJpeg(jpeg);
    QCOMPARE(picture.size(), QSize(360, 240));

    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 30));
    for (int y = 24; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixelColor(x, y, QColor(20, 60, 220));
    const QImage back = decodeJpeg(encodeJpeg(image, 95));
    QCOMPARE(back.size(), image.size());
    for (const QPoint at : {QPoint(10, 5), QPoint(50, 40)}) {
        const QColor want = image.pixelColor(at);
        const QColor got = back.pixelColor(at);
        QVERIFY2(qAbs(got.red() - want.red()) + qAbs(got.green() - want.green()) +
                         qAbs(got.blue() - want.blue()) <
                     24,
                 qPrintable(got.name()));
    }
}

void TestJpegImage::damaged_data() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QByteArray good = encodeJpeg(image);
    QVERIFY(!decodeJpeg(good).isNull());
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\xff\xd8 not really a picture", 24);
    QTest::newRow("truncated") << good.left(good.size() / 2);
    // The frame header claiming 65535 x 65535 pixels.
    QByteArray huge = good;
    const qsizetype sof = huge.indexOf("\xff\xc0");
    QVERIFY(sof > 0);
    huge.replace(sof + 5, 4, "\xff\xff\xff\xff", 4);
    QTest::newRow("impossible size") << huge;
    QByteArray scrambled = good;
    for (qsizetype i = scrambled.size() / 2; i < scrambled.size() - 2; i += 3)
        scrambled[i] = char(0xff);
    QTest::newRow("scrambled data") << scrambled;
}

void TestJpegImage::damaged() {
    QFETCH(QByteArray, data);
    QVERIFY(decodeJpeg(data).isNull());
}

QTEST_MAIN(TestJpegImage)
#include "tst_jpegimage.moc"
