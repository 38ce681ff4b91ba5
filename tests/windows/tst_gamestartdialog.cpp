// SPDX-License-Identifier: MIT
// The game start dialog: the spinner's range and step, the two tick boxes and the start request.
#include "widgets/cardart.h"
#include "windows/gamestartdialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace vrako;

namespace {

QToolButton* button(GameStartDialog& d, const char* name) {
    return d.findChild<QToolButton*>(QLatin1String(name));
}

void click(QToolButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

} // namespace

class TestGameStartDialog : public QObject {
    Q_OBJECT
private slots:
    void feltBackground();
    void startsAtTwentyOneMoreOrLess();
    void spinner_data();
    void spinner();
    void boxes();
    void startRequestsAndHides();
    void cancelAndEscapeCloseWithoutStarting();
};

void TestGameStartDialog::startsAtTwentyOneMoreOrLess() {
    GameStartDialog d;
    QCOMPARE(d.windowTitle(), QStringLiteral("Vrako - Game Start"));
    QCOMPARE(d.size(), QSize(255, 188));
    auto* field = d.findChild<QLineEdit*>(QStringLiteral("edit_playtoscore"));
    QVERIFY(field->isReadOnly());
    // The spinner is one control holding its two arrows.
    QWidget* spinner = d.findChild<QWidget*>(QStringLiteral("UpDown1"));
    QVERIFY(spinner);
    QCOMPARE(button(d, "UpDown1_up")->parentWidget(), spinner);
    QCOMPARE(button(d, "UpDown1_down")->parentWidget(), spinner);
    QCOMPARE(field->text(), QStringLiteral("20"));
    QCOMPARE(d.gameType(), GameType::OneMoreOrLess);
    QVERIFY(button(d, "box_different")->property("ticked").toBool());
    QVERIFY(!button(d, "box_same")->property("ticked").toBool());
}

void TestGameStartDialog::spinner_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("arrows"); // u up, d down
    QTest::addColumn<QString>("expected");
    QTest::newRow("up once") << "20"
                             << "u"
                             << "25";
    QTest::newRow("up to the top") << "20"
                                   << "uu"
                                   << "30";
    QTest::newRow("up at 30 stays") << "30"
                                    << "u"
                                    << "30";
    QTest::newRow("no wrap past the top") << "20"
                                          << "uuuu"
                                          << "30";
    QTest::newRow("down to the bottom") << "20"
                                        << "dd"
                                        << "10";
    QTest::newRow("down at 10 stays") << "10"
                                      << "d"
                                      << "10";
    QTest::newRow("down then up") << "10"
                                  << "dduu"
                                  << "20";
    QTest::newRow("top to bottom") << "30"
                                   << "dddd"
                                   << "10";
}

void TestGameStartDialog::spinner() {
    QFETCH(QString, from);
    QFETCH(QString, arrows);
    QFETCH(QString, expected);
    GameStartDialog d;
    d.show();
    d.setPlayToScore(from);
    for (QChar a : arrows)
        click(button(d, a == QLatin1Char('u') ? "UpDown1_up" : "UpDown1_down"));
    QCOMPARE(d.playToScore(), expected);
    QCOMPARE(d.findChild<QLineEdit*>(QStringLiteral("edit_playtoscore"))->text(), expected);
}

void TestGameStartDialog::boxes() {
    GameStartDialog d;
    d.show();
    QToolButton* same = button(d, "box_same");
    QToolButton* different = button(d, "box_different");
    auto ticks = [&] {
        return QPair<bool, bool>(same->property("ticked").toBool(),
                                 different->property("ticked").toBool());
    };
    const QImage unticked = different->icon().pixmap(38, 32).toImage();
    click(same);
    QCOMPARE(d.gameType(), GameType::SameNumber);
    QCOMPARE(ticks(), qMakePair(true, false));
    // The picture follows the tick.
    QCOMPARE(same->icon().pixmap(38, 32).toImage(), unticked);
    QVERIFY(different->icon().pixmap(38, 32).toImage() != unticked);
    click(same);
    QCOMPARE(d.gameType(), GameType::SameNumber);
    QCOMPARE(ticks(), qMakePair(true, false));
    click(different);
    QCOMPARE(d.gameType(), GameType::OneMoreOrLess);
    QCOMPARE(ticks(), qMakePair(false, true));
    click(different);
    QCOMPARE(ticks(), qMakePair(false, true));

    // Loading the settings ticks the stored type.
    d.changebox(GameType::SameNumber);
    QCOMPARE(ticks(), qMakePair(true, false));
    QCOMPARE(d.gameType(), GameType::SameNumber);
    d.changebox(GameType::OneMoreOrLess);
    QCOMPARE(ticks(), qMakePair(false, true));
    QCOMPARE(d.gameType(), GameType::OneMoreOrLess);
}

void TestGameStartDialog::startRequestsAndHides() {
    GameStartDialog d;
    QSignalSpy spy(&d, &GameStartDialog::startRequested);
    d.show();
    click(button(d, "UpDown1_up"));
    click(button(d, "box_same"));
    click(button(d, "button_start"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 25);
    QCOMPARE(spy.at(0).at(1).value<GameType>(), GameType::SameNumber);
    QVERIFY(!d.isVisible());

    // A stored score outside the spinner's range is sent as it is.
    d.setPlayToScore(QStringLiteral("45"));
    d.changebox(GameType::OneMoreOrLess);
    d.show();
    click(button(d, "button_start"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 45);
    QCOMPARE(spy.at(1).at(1).value<GameType>(), GameType::OneMoreOrLess);
    QVERIFY(!d.isVisible());
}

void TestGameStartDialog::cancelAndEscapeCloseWithoutStarting() {
    GameStartDialog d;
    QSignalSpy spy(&d, &GameStartDialog::startRequested);
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    d.show();
    auto* cancel = d.findChild<QPushButton*>(QStringLiteral("button_cancel"));
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    QVERIFY(!d.isVisible());
    QCOMPARE(spy.count(), 0);
}

void TestGameStartDialog::feltBackground() {
    // The main window's felt shows behind the controls.
    GameStartDialog d;
    const QImage shot = d.grab().toImage();
    const QImage tile = art::backgroundTile().toImage();
    const QPoint at(240, 120);
    QCOMPARE(shot.pixelColor(at), tile.pixelColor(at.x() % tile.width(), at.y() % tile.height()));
}

QTEST_MAIN(TestGameStartDialog)
#include "tst_gamestartdialog.moc"
