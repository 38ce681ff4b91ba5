// SPDX-License-Identifier: MIT
#include "store/colourtext.h"
#include "store/inifile.h"
#include "store/preferences.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vrako;

Q_DECLARE_METATYPE(vrako::WindowBounds)

namespace {

// Loads preferences from a file holding these lines of section "Vrako".
Preferences loaded(const QByteArray& lines, Preferences prefs = {}) {
    QTemporaryDir dir;
    const QString path = Preferences::filePath(dir.path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("[Vrako]\n" + lines);
    f.close();
    prefs.loadFrom(path);
    return prefs;
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private slots:
    void missingFileGivesDefaults();
    void oddValues();
    void notANumberKeepsLoading();
    void textSizeRangeEnds();
    void storesInOrderAndReadsBack();
    void saveKeepsTheLobbysChanges();
    void closeWritesOnlyChangedBounds_data();
    void closeWritesOnlyChangedBounds();
};

void TestPreferences::missingFileGivesDefaults() {
    QTemporaryDir dir;
    Preferences p;
    // Before the file is read: chatter sounds off, One More/Less ticked, 10-point chat.
    QCOMPARE(p.chatterSounds, false);
    QCOMPARE(p.gameType, GameType::OneMoreOrLess);
    QCOMPARE(p.textSize, 10);
    QVERIFY(p.loadFrom(Preferences::filePath(dir.path())));
    QCOMPARE(p.bounds, (WindowBounds{3, 3, 653, 505}));
    QCOMPARE(p.savedBounds, std::optional(WindowBounds{3, 3, 653, 505}));
    QCOMPARE(p.textSize, 8);
    QCOMPARE(p.textColour, colour::Black);
    QCOMPARE(p.phrases, Preferences::builtInPhrases());
    QCOMPARE(p.phrases.at(8), QStringLiteral("Good Game Everyone!"));
    QCOMPARE(p.playSounds, true);
    QCOMPARE(p.sort, false);
    QCOMPARE(p.botSpeed, 1000);
    QCOMPARE(p.playToScore, QStringLiteral("20"));
    QCOMPARE(p.gameType, GameType::SameNumber);
    QCOMPARE(p.turnSound, 0);
    QCOMPARE(p.chatterSounds, true);
    QVERIFY(p.lastName.isEmpty());
}

void TestPreferences::oddValues() {
    Preferences start;
    start.botSpeed = 1500;
    const Preferences p = loaded("Playsounds=yes\nSort=TRUE\nBotspeed=750\nTextsize=9\n"
                                 "Textcolor=nonsense\nPhrase2=\nPhrase3=Sch\xf6n!\n"
                                 "Phrase4=/me cheers\nPlaytoscore=35\nGametype=S\n"
                                 "Turnsound=2\nChatterSounds=off\nUpnp=no\nTop=x\nLeft=-20\n",
                                 start);
    QCOMPARE(p.playSounds, true);
    QCOMPARE(p.sort, false);
    QCOMPARE(p.botSpeed, 1500); // another number keeps the current choice
    QCOMPARE(p.textSize, 9);
    QVERIFY(!Preferences::isMenuTextSize(9));
    QCOMPARE(p.textColour, colour::Black);
    QCOMPARE(p.phrases.at(1), QStringLiteral("Good One!"));
    QCOMPARE(p.phrases.at(2), QStringLiteral("Sch\u00f6n!"));
    QCOMPARE(p.phrases.at(3), QStringLiteral("/me cheers"));
    QCOMPARE(p.playToScore, QStringLiteral("35")); // shown and sent as stored
    QCOMPARE(p.gameType, GameType::OneMoreOrLess);
    QCOMPARE(p.turnSound, 0);
    QCOMPARE(p.chatterSounds, true);
    QCOMPARE(p.upnp, true);
    QCOMPARE(p.bounds.top, 3);
    QCOMPARE(p.bounds.left, -20);

    const Preferences q = loaded("Sort=true\nTurnsound=1\nPlaysounds=false\n"
                                 "ChatterSounds=false\nTextsize=0\nTextcolor=clNavy\n");
    QCOMPARE(q.sort, true);
    QCOMPARE(q.turnSound, 1);
    QCOMPARE(q.playSounds, false);
    QCOMPARE(q.chatterSounds, false);
    QCOMPARE(q.textSize, 8);
    QCOMPARE(q.textColour, colour::Navy);
}

void TestPreferences::notANumberKeepsLoading() {
    Preferences start;
    start.botSpeed = 500;
    const Preferences p = loaded(
        "Botspeed=fast\nPlaytoscore=lots\nGametype=s\nTurnsound=1\nChatterSounds=false\n", start);
    QCOMPARE(p.botSpeed, 1000);
    QCOMPARE(p.playToScore, QStringLiteral("20"));
    // The keys after the bad ones still load.
    QCOMPARE(p.gameType, GameType::SameNumber);
    QCOMPARE(p.turnSound, 1);
    QCOMPARE(p.chatterSounds, false);
}

// Both ends of the accepted chat text sizes load as stored; one past the top is refused.
void TestPreferences::textSizeRangeEnds() {
    QCOMPARE(loaded("Textsize=1\n").textSize, 1);
    QCOMPARE(loaded("Textsize=72\n").textSize, 72);
    QCOMPARE(loaded("Textsize=73\n").textSize, 8);
}

void TestPreferences::storesInOrderAndReadsBack() {
    Preferences p;
    p.bounds = {40, 50, 700, 600};
    p.textSize = 12;
    p.textColour = 0x123456;
    p.phrases[0] = QStringLiteral("Hi there");
    p.sort = true;
    p.botSpeed = 500;
    p.playToScore = QStringLiteral("25");
    p.gameType = GameType::SameNumber;
    p.turnSound = 1;
    p.chatterSounds = true;
    p.upnp = false;
    p.lastName = QStringLiteral("Ann");
    p.lastAddress = QStringLiteral("10.0.0.5");

    IniFile file;
    p.store(file);
    QCOMPARE(file.toBytes(), QByteArray("[Vrako]\nTop=40\nLeft=50\nWidth=700\nHeight=600\n"
                                        "Textsize=12\nTextcolor=$00123456\nBotspeed=500\n"
                                        "Playtoscore=25\nGametype=s\nPlaysounds=true\n"
                                        "Sort=true\nTurnsound=1\nChatterSounds=true\n"
                                        "Upnp=false\nLastname=Ann\nLastaddress=10.0.0.5\n"));
    p.storePhrases(file);
    Preferences back;
    back.load(file);
    QCOMPARE(back.bounds, p.bounds);
    QCOMPARE(back.textSize, 12);
    QCOMPARE(back.textColour, 0x123456u);
    QCOMPARE(back.phrases, p.phrases);
    QCOMPARE(back.sort, true);
    QCOMPARE(back.botSpeed, 500);
    QCOMPARE(back.playToScore, QStringLiteral("25"));
    QCOMPARE(back.turnSound, 1);
    QCOMPARE(back.upnp, false);
    QCOMPARE(back.lastName, QStringLiteral("Ann"));
    QCOMPARE(back.lastAddress, QStringLiteral("10.0.0.5"));
}

void TestPreferences::saveKeepsTheLobbysChanges() {
    QTemporaryDir dir;
    const QString path = Preferences::filePath(dir.path());
    Preferences p;
    QVERIFY(p.loadFrom(path));
    // The lobby writes its own section while the game runs.
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Lobby]\nName=Ann\n");
    f.close();
    p.sort = true;
    QVERIFY(p.saveTo(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("[Lobby]\nName=Ann\n[Vrako]\nTop=3\n"));
    f.close();
    p.phrases[8] = QStringLiteral("gg");
    QVERIFY(p.savePhrasesTo(path));
    Preferences back;
    QVERIFY(back.loadFrom(path));
    QCOMPARE(back.sort, true);
    QCOMPARE(back.phrases.at(8), QStringLiteral("gg"));
}

void TestPreferences::closeWritesOnlyChangedBounds_data() {
    QTest::addColumn<bool>("read");
    QTest::addColumn<WindowBounds>("window");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<WindowBounds>("written");
    const WindowBounds same{10, 20, 700, 550};
    QTest::newRow("unmoved") << true << same << false << WindowBounds{};
    QTest::newRow("moved") << true << WindowBounds{11, 20, 700, 550} << true
                           << WindowBounds{11, 20, 700, 550};
    QTest::newRow("resized") << true << WindowBounds{10, 20, 701, 550} << true
                             << WindowBounds{10, 20, 701, 550};
    QTest::newRow("wider than work area")
        << true << WindowBounds{0, 0, 1300, 550} << true << WindowBounds{0, 0, 1285, 550};
    QTest::newRow("taller than work area")
        << true << WindowBounds{0, 0, 700, 900} << true << WindowBounds{0, 0, 700, 885};
    QTest::newRow("exactly the work area")
        << true << WindowBounds{0, 0, 1280, 800} << true << WindowBounds{0, 0, 1280, 800};
    QTest::newRow("file never read")
        << false << WindowBounds{11, 20, 700, 550} << false << WindowBounds{};
}

void TestPreferences::closeWritesOnlyChangedBounds() {
    QFETCH(bool, read);
    QFETCH(WindowBounds, window);
    QFETCH(bool, writes);
    QFETCH(WindowBounds, written);
    const std::optional<WindowBounds> saved =
        read ? std::optional(WindowBounds{10, 20, 700, 550}) : std::nullopt;
    const auto result = boundsToSave(saved, window, QSize(1280, 800));
    QCOMPARE(result.has_value(), writes);
    if (writes)
        QCOMPARE(*result, written);
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
