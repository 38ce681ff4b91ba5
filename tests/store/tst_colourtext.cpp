// SPDX-License-Identifier: MIT
#include "store/colourtext.h"

#include <QTest>

using namespace vrako;

class TestColourText : public QObject {
    Q_OBJECT

private slots:
    void writes_data() {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << 0x000000u << "clBlack";
        QTest::newRow("maroon") << 0x000080u << "clMaroon";
        QTest::newRow("red") << 0x0000FFu << "clRed";
        QTest::newRow("blue") << 0xFF0000u << "clBlue";
        QTest::newRow("silver") << 0xC0C0C0u << "clSilver";
        QTest::newRow("white") << 0xFFFFFFu << "clWhite";
        QTest::newRow("other") << 0x123456u << "$00123456";
        QTest::newRow("letters upper") << 0xABCDEFu << "$00ABCDEF";
        QTest::newRow("high byte") << 0xFF000008u << "$FF000008";
        QTest::newRow("system grey") << 0x78989Cu << "$0078989C";
    }

    void writes() {
        QFETCH(quint32, value);
        QFETCH(QString, text);
        QCOMPARE(colourToText(value), text);
        QCOMPARE(colourFromText(text), std::optional<quint32>(value));
    }

    void reads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint32>("value");
        QTest::newRow("lower name") << "clblack" << true << 0x000000u;
        QTest::newRow("upper name") << "CLRED" << true << 0x0000FFu;
        QTest::newRow("mixed name") << "ClNaVy" << true << 0x800000u;
        QTest::newRow("window text") << "clWindowText" << true << 0x000000u;
        QTest::newRow("highlight") << "clHighlight" << true << 0xFF9933u;
        QTest::newRow("button face") << "clbtnface" << true << 0xF0F0F0u;
        QTest::newRow("window") << "clWindow" << true << 0xFFFFFFu;
        QTest::newRow("hex") << "$00123456" << true << 0x123456u;
        QTest::newRow("hex lower") << "$00abcdef" << true << 0xABCDEFu;
        QTest::newRow("hex short") << "$ff" << true << 0xFFu;
        QTest::newRow("decimal") << "255" << true << 0xFFu;
        QTest::newRow("decimal max") << "4294967295" << true << 0xFFFFFFFFu;
        QTest::newRow("negative") << "-16777208" << true << 0xFF000008u;
        QTest::newRow("empty") << "" << false << 0u;
        QTest::newRow("unknown name") << "clPink" << false << 0u;
        QTest::newRow("prefix only") << "cl" << false << 0u;
        QTest::newRow("dollar only") << "$" << false << 0u;
        QTest::newRow("nine digits") << "$123456789" << false << 0u;
        QTest::newRow("bad hex") << "$12G4" << false << 0u;
        QTest::newRow("digits and letters") << "12a" << false << 0u;
        QTest::newRow("too big") << "4294967296" << false << 0u;
        QTest::newRow("space") << " 12" << false << 0u;
        QTest::newRow("c hex") << "0x12" << false << 0u;
        QTest::newRow("minus only") << "-" << false << 0u;
        QTest::newRow("trailing text") << "clRed|x" << false << 0u;
    }

    void reads() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(quint32, value);
        const auto read = colourFromText(text);
        QCOMPARE(read.has_value(), ok);
        if (ok) {
            QCOMPARE(*read, value);
        }
    }
};

QTEST_APPLESS_MAIN(TestColourText)
#include "tst_colourtext.moc"
