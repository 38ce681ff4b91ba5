// SPDX-License-Identifier: MIT
#include "chat/chattersounds.h"
#include "widgets/soundplayer.h"

#include <QSignalSpy>
#include <QTest>

using namespace vrako;

class TestChatterSounds : public QObject {
    Q_OBJECT
private slots:
    void names();
    void playedOrToldInTheChat();
    void twentiethSoundWorks();
};

void TestChatterSounds::names() {
    QCOMPARE(ChatterSounds::caption(1), QStringLiteral("Doh"));
    QCOMPARE(ChatterSounds::caption(18), QStringLiteral("Woman Laughing"));
    QVERIFY(ChatterSounds::caption(0).isEmpty());
    QVERIFY(ChatterSounds::caption(21).isEmpty());
    QCOMPARE(ChatterSounds::numberOf(QStringLiteral("WAVE12")), 12);
    for (const char* other : {"wave0", "wave21", "wave05", "wave", "wave1x", "winner", ""})
        QCOMPARE(ChatterSounds::numberOf(QString::fromLatin1(other)), 0);
}

void TestChatterSounds::playedOrToldInTheChat() {
    SoundPlayer player;
    player.setEnabled(false); // "Play Sounds" off does not silence chatter
    ChatterSounds chatter(&player);
    chatter.setNameLookup([](int seat) { return seat == 3 ? QStringLiteral("Ann") : QString(); });
    int beeps = 0;
    chatter.setBeeper([&beeps] { ++beeps; });
    QSignalSpy played(&player, &SoundPlayer::played);
    QSignalSpy lines(&chatter, &ChatterSounds::systemLine);

    chatter.setEnabled(true);
    chatter.playasound(3, QStringLiteral("wave5"));
    QCOMPARE(played.count(), 1);
    QCOMPARE(played.at(0).at(0).toString(), QStringLiteral("wave5"));
    chatter.playasound(3, QStringLiteral("wave21")); // not carried: the desktop's alert
    chatter.playasound(3, QStringLiteral("bogus"));
    QCOMPARE(beeps, 2);
    QCOMPARE(played.count(), 1);
    QCOMPARE(lines.count(), 0);

    chatter.setEnabled(false);
    chatter.playasound(3, QStringLiteral("WAVE5"));
    chatter.playasound(2, QStringLiteral("wave1"));  // no name for the seat
    chatter.playasound(3, QStringLiteral("wave21")); // no menu entry
    chatter.playasound(1, QStringLiteral("wave1"));
    QCOMPARE(played.count(), 1);
    QCOMPARE(beeps, 2);
    QCOMPARE(lines.count(), 1);
    QCOMPARE(lines.at(0).at(0).toString(),
             QStringLiteral("Ann: <Chatter Sound> Where have you been?"));
    QCOMPARE(lines.at(0).at(1).value<quint32>(), 0xFF0000u);
    // Qt's sample loader leaks when its effect goes away while it still loads.
    QTest::qWait(50);
}

// The last sound of the range is played when chatter is on and named in the chat when off.
void TestChatterSounds::twentiethSoundWorks() {
    SoundPlayer player;
    ChatterSounds chatter(&player);
    chatter.setNameLookup([](int) { return QStringLiteral("Bo"); });
    int beeps = 0;
    chatter.setBeeper([&beeps] { ++beeps; });
    QSignalSpy played(&player, &SoundPlayer::played);
    QSignalSpy lines(&chatter, &ChatterSounds::systemLine);

    chatter.setEnabled(true);
    chatter.playasound(2, QStringLiteral("wave20"));
    QCOMPARE(beeps, 0);
    QCOMPARE(played.count(), 1);
    QCOMPARE(played.at(0).at(0).toString(), QStringLiteral("wave20"));

    chatter.setEnabled(false);
    chatter.playasound(2, QStringLiteral("wave20"));
    QCOMPARE(lines.count(), 1);
    QCOMPARE(lines.at(0).at(0).toString(), QStringLiteral("Bo: <Chatter Sound> Crying"));
    QTest::qWait(50);
}

QTEST_MAIN(TestChatterSounds)
#include "tst_chattersounds.moc"
