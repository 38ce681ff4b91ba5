// SPDX-License-Identifier: MIT
#include "chat/phrasebar.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace vrako;

class TestPhraseBar : public QObject {
    Q_OBJECT
private slots:
    void buttons();
    void sayingAPhrase_data();
    void sayingAPhrase();
    void lockLetsOnePhraseThrough();
    void soundMenuHandsOnTheChosenSound();
    void keptButtonsLookAsDrawnAfresh();
};

namespace {

// Equal but for the rounding of translucent layers composed among themselves first.
bool nearlySame(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 2 || qAbs(qGreen(p) - qGreen(q)) > 2 ||
                qAbs(qBlue(p) - qBlue(q)) > 2 || qAbs(qAlpha(p) - qAlpha(q)) > 2)
                return false;
        }
    return true;
}

} // namespace

// The buttons keep themselves drawn as pictures: they must look as buttons drawn afresh under
// the same style sheet, through changes of scale, text and state.
void TestPhraseBar::keptButtonsLookAsDrawnAfresh() {
    PhraseBar bar;
    QToolButton* kept = bar.button(3);
    auto* plain = new QToolButton(&bar);
    const auto same = [&] {
        plain->setText(kept->text());
        plain->setFont(kept->font());
        plain->setEnabled(kept->isEnabled());
        plain->setDown(kept->isDown());
        plain->resize(kept->size());
        kept->grab(); // painted as usual after the change, twice, then the picture taken
        kept->grab();
        QCoreApplication::processEvents();
        return nearlySame(kept->grab().toImage(), plain->grab().toImage());
    };
    QVERIFY(same());
    bar.setScale(3);
    QVERIFY(same());
    kept->setText(QStringLiteral("7"));
    QVERIFY(same());
    kept->setDown(true);
    QVERIFY(same());
    kept->setDown(false);
    kept->setEnabled(false);
    QVERIFY(same());
}

void TestPhraseBar::buttons() {
    PhraseBar bar;
    QCOMPARE(bar.phrases().size(), 9);
    QCOMPARE(bar.findChild<QToolButton*>(QStringLiteral("b_phrase1"))->toolTip(),
             QStringLiteral("Way To Go!"));
    QCOMPARE(bar.findChild<QToolButton*>(QStringLiteral("b_phrase10"))->toolTip(),
             QStringLiteral("Chatter Sounds"));
    bar.setPhrases({QStringLiteral("Hi"), QString(60, QLatin1Char('x'))});
    QCOMPARE(bar.button(1)->toolTip(), QStringLiteral("Hi"));
    QCOMPARE(bar.button(2)->toolTip().size(), 50);
    QCOMPARE(bar.button(3)->toolTip(), QStringLiteral("Nice Try!"));
    // A screen reader names each button by what it says, not by its digit.
    QCOMPARE(bar.button(1)->accessibleName(), QStringLiteral("Hi"));
    QCOMPARE(bar.button(3)->accessibleName(), QStringLiteral("Nice Try!"));
    QCOMPARE(bar.button(10)->accessibleName(), QStringLiteral("Chatter Sounds"));

    QMenu* menu = bar.findChild<QMenu*>(QStringLiteral("popup_sounds"));
    QVERIFY(menu);
    const QList<QAction*> entries = menu->actions();
    QCOMPARE(entries.size(), 21);
    QCOMPARE(entries.first()->text(), QStringLiteral("<Cancel>"));
    QCOMPARE(entries.at(5)->objectName(), QStringLiteral("wave5"));
    QCOMPARE(entries.at(5)->text(), QStringLiteral("Where have you been?"));
    QCOMPARE(entries.at(5)->toolTip(), entries.at(5)->text());
    QCOMPARE(entries.at(20)->text(), QStringLiteral("Crying"));

    // The menu opens with its corner at the button's bottom-right corner.
    bar.move(30, 40);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QToolButton* ten = bar.button(10);
    QTest::mouseClick(ten, Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), ten->mapToGlobal(QPoint(ten->width(), ten->height())));
    menu->hide();
}

void TestPhraseBar::sayingAPhrase_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("action");
    QTest::newRow("plain") << QStringLiteral("Hi") << QStringLiteral("says: Hi");
    QTest::newRow("me") << QStringLiteral("/me cheers") << QStringLiteral("cheers");
    QTest::newRow("me without space") << QStringLiteral("/mewaves") << QStringLiteral("aves");
    QTest::newRow("letter case counts")
        << QStringLiteral("/ME waves") << QStringLiteral("says: /ME waves");
}

void TestPhraseBar::sayingAPhrase() {
    QFETCH(QString, phrase);
    QFETCH(QString, action);
    PhraseBar bar;
    bar.setPhrases({QString(), QString(), phrase});
    QSignalSpy said(&bar, &PhraseBar::actionWanted);
    QTest::mouseClick(bar.button(3), Qt::LeftButton);
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.at(0).at(0).toString(), action);
}

void TestPhraseBar::lockLetsOnePhraseThrough() {
    PhraseBar bar;
    QSignalSpy said(&bar, &PhraseBar::actionWanted);
    QVERIFY(bar.phraseready());
    QTest::mouseClick(bar.button(1), Qt::LeftButton);
    QTest::mouseClick(bar.button(2), Qt::LeftButton);
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.at(0).at(0).toString(), QStringLiteral("says: Way To Go!"));
    QTest::qWait(300);
    QVERIFY(!bar.phraseready()); // still within the two seconds

    // The lock opens by itself once its time has passed.
    PhraseBar quick;
    QSignalSpy quickSaid(&quick, &PhraseBar::actionWanted);
    quick.setLockInterval(100);
    quick.phraseClick(2);
    quick.phraseClick(3);
    QCOMPARE(quickSaid.count(), 1);
    QTRY_VERIFY(quick.phraseready());
    quick.phraseClick(3);
    QCOMPARE(quickSaid.count(), 2);
    QCOMPARE(quickSaid.at(1).at(0).toString(), QStringLiteral("says: Nice Try!"));
}

// Who may send is the client's rule (spectators never do); the bar hands on every real entry.
void TestPhraseBar::soundMenuHandsOnTheChosenSound() {
    PhraseBar bar;
    QSignalSpy sent(&bar, &PhraseBar::soundWanted);
    QMenu* menu = bar.popupSounds();
    auto choose = [menu](int n) { menu->actions().at(n)->trigger(); };
    choose(0); // "<Cancel>"
    choose(5);
    choose(5); // no lock between sounds
    choose(20);
    QCOMPARE(sent.count(), 3);
    QCOMPARE(sent.at(0).at(0).toInt(), 5);
    QCOMPARE(sent.at(2).at(0).toInt(), 20);
}

QTEST_MAIN(TestPhraseBar)
#include "tst_phrasebar.moc"
