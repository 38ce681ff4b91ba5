// SPDX-License-Identifier: MIT
// The card vocabulary: faces, colours and spoken names of every kind of code.
#include "support/cards.h"

#include <QTest>

using namespace vrako;

class TestCards : public QObject {
    Q_OBJECT
private slots:
    void vocabulary_data();
    void vocabulary();
    void cardCodeInvertsColourAndNumber();
    void gameTypeLetters();
};

void TestCards::vocabulary_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("face");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("colourCode");
    const auto row = [](const char* tag, int code, int f, const char* word, const char* title,
                        const char* name, int colourCode) {
        QTest::newRow(tag) << code << f << QString::fromLatin1(word) << QString::fromLatin1(title)
                           << QString::fromLatin1(name) << colourCode;
    };
    row("vrako negative", 0, -4, "", "", "Vrako", 0);
    row("reverse", 1, -3, "", "", "Reverse", 0);
    row("wild", 2, -2, "", "", "Wild", 0);
    row("double", 3, -1, "", "", "Double", 0);
    row("bomb reads 12", 4, 12, "", "", "Bomb", 0);
    row("blue 1", 5, 1, "blue", "Blue", "blue 1", 53);
    row("blue 12", 16, 12, "blue", "Blue", "blue 12", 53);
    row("green 1", 17, 1, "green", "Green", "green 1", 54);
    row("red 7", 35, 7, "red", "Red", "red 7", 55);
    row("red 12", 40, 12, "red", "Red", "red 12", 55);
    row("yellow 1", 41, 1, "yellow", "Yellow", "yellow 1", 56);
    row("yellow 12", 52, 12, "yellow", "Yellow", "yellow 12", 56);
    row("wild blue", 53, 1, "blue", "Blue", "", 53);
    row("wild yellow", 56, 4, "yellow", "Yellow", "", 56);
    row("past colours", 57, 5, "", "", "", 0);
    row("empty", -1, -5, "", "", "", 0);
}

void TestCards::vocabulary() {
    QFETCH(int, code);
    QFETCH(int, face);
    QFETCH(QString, word);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(int, colourCode);
    const auto text = [](std::string_view v) {
        return QString::fromUtf8(v.data(), qsizetype(v.size()));
    };
    QCOMPARE(vrako::face(code), face);
    QCOMPARE(text(colourWord(code)), word);
    QCOMPARE(text(colourTitle(code)), title);
    QCOMPARE(QString::fromStdString(cardName(code)), name);
    QCOMPARE(colourCodeOf(code), colourCode);
    QCOMPARE(colourIndexOf(code), colourCode ? colourCode - card::kBlue : -1);
}

void TestCards::cardCodeInvertsColourAndNumber() {
    for (int code = card::kFirstColoured; code <= card::kLastColoured; ++code)
        QCOMPARE(cardCode(colourIndexOf(code), numberOf(code)), code);
    QCOMPARE(cardCode(0, 1), card::kRoundStart);
}

void TestCards::gameTypeLetters() {
    QCOMPARE(gameTypeOf("s"), GameType::SameNumber);
    QCOMPARE(letterOf(GameType::SameNumber), 's');
    QCOMPARE(letterOf(GameType::OneMoreOrLess), 'd');
    // Only "s" names the Same Number game: the settings file and the wire share the rule.
    for (const char* other : {"d", "S", "x", "", "ss"})
        QCOMPARE(gameTypeOf(other), GameType::OneMoreOrLess);
}

QTEST_APPLESS_MAIN(TestCards)
#include "tst_cards.moc"
