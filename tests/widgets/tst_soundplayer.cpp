// SPDX-License-Identifier: MIT
#include "widgets/soundplayer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using vrako::SoundPlayer;

class TestSoundPlayer : public QObject {
    Q_OBJECT
private slots:
    void resourcesArePresent_data();
    void resourcesArePresent();
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void unknownNamesAreIgnored();
    void disabledPlaysNothing();
    void chatterPlaysWhileGameSoundsAreOff();
    void newSoundCutsOffTheOldOne();
};

void TestSoundPlayer::resourcesArePresent_data() {
    QTest::addColumn<QString>("name");
    for (const QString& n : SoundPlayer::soundNames())
        QTest::newRow(qPrintable(n)) << n;
}

void TestSoundPlayer::resourcesArePresent() {
    QFETCH(QString, name);
    SoundPlayer player; // registers the resources
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(name));
    QVERIFY(file.exists());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(44);
    QCOMPARE(head.left(4), QByteArray("RIFF"));
    QCOMPARE(head.mid(8, 4), QByteArray("WAVE"));
    // Header fields of a plain 16-bit PCM mono 22050 Hz file.
    const auto u16 = [&](int at) {
        return quint16(quint8(head[at]) | (quint8(head[at + 1]) << 8));
    };
    const auto u32 = [&](int at) { return quint32(u16(at) | (quint32(u16(at + 2)) << 16)); };
    QCOMPARE(u16(20), quint16(1));
    QCOMPARE(u16(22), quint16(1));
    QCOMPARE(u32(24), quint32(22050));
    QCOMPARE(u16(34), quint16(16));
    // Sounds stay short and small: under 2 seconds of samples and 100 KB.
    QVERIFY(file.size() < 100 * 1000);
    QVERIFY(file.size() > 4 * 1024);
    QCOMPARE(head.mid(36, 4), QByteArray("data"));
    QVERIFY(u32(40) < 2 * 22050 * 2);
}

void TestSoundPlayer::namesIgnoreCase_data() {
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("expected");
    QTest::newRow("upper") << "ROUNDWINNER"
                           << "roundwinner";
    QTest::newRow("lower") << "placecard"
                           << "placecard";
    QTest::newRow("mixed") << "VrakoD"
                           << "vrakod";
    QTest::newRow("turnnew") << "TURNNEW"
                             << "turnnew";
}

void TestSoundPlayer::namesIgnoreCase() {
    QFETCH(QString, requested);
    QFETCH(QString, expected);
    SoundPlayer player;
    QSignalSpy spy(&player, &SoundPlayer::played);
    player.play(requested);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), expected);
    QCOMPARE(player.current(), expected);
    QCOMPARE(SoundPlayer::resourcePath(requested), QStringLiteral(":/sounds/%1.wav").arg(expected));
}

void TestSoundPlayer::unknownNamesAreIgnored() {
    SoundPlayer player;
    QSignalSpy spy(&player, &SoundPlayer::played);
    player.play(QStringLiteral("TURN"));
    for (const char* bad : {"", "bogus", "turn2", ":/sounds/turn.wav", "../turn"})
        player.play(QString::fromLatin1(bad));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(player.current(), QStringLiteral("turn")); // an unknown name leaves it playing
    QVERIFY(SoundPlayer::resourcePath(QStringLiteral("bogus")).isEmpty());
}

void TestSoundPlayer::disabledPlaysNothing() {
    SoundPlayer player;
    QSignalSpy spy(&player, &SoundPlayer::played);
    QVERIFY(player.isEnabled());
    player.play(QStringLiteral("WINNER"));
    player.setEnabled(false);
    QVERIFY(player.current().isEmpty()); // switching off stops the sound
    player.play(QStringLiteral("DRAW"));
    QCOMPARE(spy.count(), 1);
    player.setEnabled(true);
    player.play(QStringLiteral("DRAW"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("draw"));
}

void TestSoundPlayer::chatterPlaysWhileGameSoundsAreOff() {
    SoundPlayer player;
    QCOMPARE(SoundPlayer::soundNames().size(), 29);
    player.setEnabled(false);
    QSignalSpy spy(&player, &SoundPlayer::played);
    player.play(QStringLiteral("wave3"));
    QVERIFY(player.playAlways(QStringLiteral("WAVE20")));
    QVERIFY(!player.playAlways(QStringLiteral("wave21")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(player.current(), QStringLiteral("wave20"));
}

void TestSoundPlayer::newSoundCutsOffTheOldOne() {
    SoundPlayer player;
    QSignalSpy spy(&player, &SoundPlayer::played);
    player.play(QStringLiteral("WINNER"));
    player.play(QStringLiteral("INVALID"));
    player.play(QStringLiteral("invalid"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(player.current(), QStringLiteral("invalid"));
    // Let the effects load and try to play; with or without an audio device this returns.
    QTest::qWait(50);
    player.stop();
    QVERIFY(player.current().isEmpty());
}

QTEST_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
