// SPDX-License-Identifier: MIT
#include "windows/tphrases.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vrako;

class TestTphrases : public QObject {
    Q_OBJECT
private slots:
    void editsAndHandsOverThePhrases();
};

void TestTphrases::editsAndHandsOverThePhrases() {
    Tphrases editor;
    QCOMPARE(editor.objectName(), QStringLiteral("Tphrases"));
    QCOMPARE(editor.windowTitle(), QStringLiteral("Phrase Buttons - Wordline"));
    bool noticeShown = false;
    for (QLabel* label : editor.findChildren<QLabel*>())
        noticeShown |=
            label->text() == QStringLiteral("Buttons can only be used once every 2 seconds");
    QVERIFY(noticeShown);

    QStringList phrases;
    for (int n = 1; n <= 9; ++n)
        phrases << QStringLiteral("p%1").arg(n);
    editor.setPhrases(phrases);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));

    QLineEdit* third = editor.findChild<QLineEdit*>(QStringLiteral("phrase3"));
    QVERIFY(third);
    third->clear();
    QTest::keyClicks(third, QString(60, QLatin1Char('a')));
    QCOMPARE(third->text(), QString(50, QLatin1Char('a')));
    editor.findChild<QLineEdit*>(QStringLiteral("phrase9"))->clear();

    QSignalSpy done(&editor, &Tphrases::phrasesChanged);
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("button_done")),
                      Qt::LeftButton);
    QCOMPARE(done.count(), 1);
    phrases[2] = QString(50, QLatin1Char('a'));
    phrases[8].clear();
    QCOMPARE(done.at(0).at(0).toStringList(), phrases);
    QVERIFY(!editor.isVisible());
}

QTEST_MAIN(TestTphrases)
#include "tst_tphrases.moc"
