// SPDX-License-Identifier: MIT
// The main window with a data folder: the settings file read at connection and written by the
// options and the start dialog, phrase buttons and chatter sounds between two players, and the
// tally kept across runs.
#include "chat/phrasebar.h"
#include "store/tallybook.h"
#include "table_helper.h"
#include "widgets/soundplayer.h"
#include "windows/gamestartdialog.h"
#include "windows/tphrases.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

using namespace vrako;
using namespace vrako::tabletest;

namespace {

std::unique_ptr<Tchat> windowIn(const QString& home, quint16 port, quint16 lobbyPort) {
    ProgramSettings s;
    s.port = port;
    s.lobbyPort = lobbyPort;
    s.home = home;
    auto w = std::make_unique<Tchat>(s);
    w->createSideWindows();
    return w;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kLobbyPart = "; the lobby's own notes\r\n[Lobby]\r\nServer=example\r\n\r\n";

} // namespace

class TestTablePreferences : public QObject {
    Q_OBJECT
private slots:
    void settingsReadAtConnectionAndWrittenByOptions();
    void closingWritesOnlyMovedBounds();
    void phrasesAndChatterSoundsReachTheOtherPlayer();
    void tallyKeptAcrossRunsAndDamageReported();
    void changesBeforeTheConnectionKeepTheStoredSettings();
};

void TestTablePreferences::settingsReadAtConnectionAndWrittenByOptions() {
    QTemporaryDir home;
    const QString ini = home.filePath(QStringLiteral("dovilobby.ini"));
    writeFile(ini, kLobbyPart +
                       "[vrako]\r\nTextsize=9\r\nbotspeed=1500\r\nPlaytoscore=25\r\n"
                       "Gametype=s\r\nPlaysounds=yes\r\nSort=TRUE\r\nChatterSounds=false\r\n"
                       "Phrase3=Hello all\r\nTurnsound=1\r\nUpnp=false\r\n");
    Lobby lobby;
    auto w = windowIn(home.path(), 0, lobby.port());
    // Before the connection the built-in defaults are in force.
    QCOMPARE(w->chat().textSize(), 10);
    start(*w, {"Ann", "x", "false"});
    QTRY_COMPARE(w->chat().textSize(), 9);
    for (const char* size : {"TextSize8", "TextSize10", "TextSize12", "TextSize14"})
        QVERIFY(!w->action(size)->isChecked());
    QVERIFY(w->action("Slow1")->isChecked());
    QCOMPARE(table(*w).botSpeed(), 1500);
    QVERIFY(w->action("PlaySounds1")->isChecked());
    QVERIFY(!w->action("AutomaticallySortCards1")->isChecked());
    QVERIFY(!w->action("PlayChatterSounds1")->isChecked());
    QVERIFY(!w->action("OpenGamePort1")->isChecked());
    QVERIFY(w->action("New1")->isChecked());
    QCOMPARE(w->phraseBar().phrases().at(2), QStringLiteral("Hello all"));
    QCOMPARE(w->gameStart()->playToScore(), QStringLiteral("25"));
    QCOMPARE(w->gameStart()->gameType(), GameType::SameNumber);

    // An option applies at once and saves; the lobby's part of the file stays as it was.
    w->action("UltraFast1")->trigger();
    QCOMPARE(table(*w).botSpeed(), 500);
    QByteArray saved = readFile(ini);
    QVERIFY(saved.startsWith(kLobbyPart));
    QVERIFY(saved.contains("botspeed=500")); // the key keeps its spelling
    QVERIFY(saved.contains("Phrase3=Hello all"));
    w->action("TextSize12")->trigger();
    QVERIFY(w->action("TextSize12")->isChecked());
    QVERIFY(readFile(ini).contains("Textsize=12"));
    w->action("OpenGamePort1")->trigger();
    QVERIFY(readFile(ini).contains("Upnp=true"));

    // Starting a game through the dialog keeps its choices.
    w->gameStart()->setPlayToScore(QStringLiteral("15"));
    w->gameStart()->changebox(GameType::OneMoreOrLess);
    w->gameStart()->button_startClick();
    saved = readFile(ini);
    QVERIFY(saved.contains("Playtoscore=15"));
    QVERIFY(saved.contains("Gametype=d"));
    QTRY_COMPARE(table(*w).state().playtoscore, 15);

    // The phrase editor writes its phrases; the next run's buttons take them from the file.
    w->action("PhraseList1")->trigger();
    w->phraseEditor()->field(4)->setText(QStringLiteral("/me grins"));
    w->phraseEditor()->button_doneClick();
    QVERIFY(readFile(ini).contains("Phrase4=/me grins"));
    w->close();
    auto next = windowIn(home.path(), 0, lobby.port());
    start(*next, {"Ann", "x", "false"});
    QTRY_COMPARE(next->phraseBar().phrases().at(3), QStringLiteral("/me grins"));
}

void TestTablePreferences::closingWritesOnlyMovedBounds() {
    QTemporaryDir home;
    const QString ini = home.filePath(QStringLiteral("dovilobby.ini"));
    writeFile(ini, kLobbyPart + "[Vrako]\r\nTop=40\r\nLeft=50\r\nWidth=700\r\nHeight=600\r\n");
    Lobby lobby;
    {
        auto w = windowIn(home.path(), 0, lobby.port());
        start(*w, {"Ann", "x", "false"});
        QTRY_COMPARE(w->x(), 50);
        const QByteArray before = readFile(ini);
        w->close();
        QCOMPARE(readFile(ini), before);
    }
    auto w = windowIn(home.path(), 0, lobby.port());
    start(*w, {"Ann", "x", "false"});
    QTRY_COMPARE(w->x(), 50);
    w->move(120, 40);
    w->close();
    const QByteArray after = readFile(ini);
    QVERIFY(after.startsWith(kLobbyPart));
    QVERIFY2(after.contains("Left=120"), after.constData());
}

void TestTablePreferences::phrasesAndChatterSoundsReachTheOtherPlayer() {
    Lobby lobby;
    auto host = fastHost(lobby, 5);
    auto bo = window(host->server()->port(), lobby.port());
    start(*bo, {"Bo", "127.0.0.1", "true"});
    QTRY_VERIFY(bo->game().loggedin());
    QTRY_COMPARE(host->game().seat(2).name, QStringLiteral("Bo"));

    // Two quick clicks say the phrase once.
    PhraseBar& bar = host->phraseBar();
    bar.button(1)->click();
    bar.button(1)->click();
    QTRY_VERIFY(chatText(*bo).contains(QStringLiteral("Ann says: Way To Go!")));
    host->game().sendChat(QStringLiteral("marker"), 0);
    QTRY_VERIFY(chatText(*bo).contains(QStringLiteral("marker")));
    QCOMPARE(chatText(*bo).count(QStringLiteral("Way To Go!")), 1);

    // A phrase edited to "/me cheers" is an action of its own.
    Tphrases* editor = host->phraseEditor();
    host->action("PhraseList1")->trigger();
    editor->field(2)->setText(QStringLiteral("/me cheers"));
    editor->button_doneClick();
    QCOMPARE(bar.phrases().at(1), QStringLiteral("/me cheers"));
    bar.setLockInterval(0);
    QTRY_VERIFY(bar.phraseready());
    bar.button(2)->click();
    QTRY_VERIFY(chatText(*bo).contains(QStringLiteral("Ann cheers")));

    // A chatter sound plays where the switch is on and is a line where it is off.
    host->action("PlayChatterSounds1")->setChecked(true);
    QVERIFY(!bo->action("PlayChatterSounds1")->isChecked());
    QSignalSpy hostPlayed(&host->sounds(), &SoundPlayer::played);
    bar.popupSounds()->actions().at(1)->trigger();
    QTRY_VERIFY(chatText(*bo).contains(QStringLiteral("Ann: <Chatter Sound> Doh")));
    QTRY_VERIFY(hostPlayed.contains(QVariantList{QStringLiteral("wave1")}));
    QVERIFY(!chatText(*host).contains(QStringLiteral("<Chatter Sound>")));
}

void TestTablePreferences::tallyKeptAcrossRunsAndDamageReported() {
    QTemporaryDir home;
    Lobby lobby;
    const QString file = home.filePath(TallyBook::fileName());
    {
        auto w = windowIn(home.path(), 0, lobby.port());
        start(*w, {"Ann", "x", "false"});
        QTRY_VERIFY(w->game().loggedin());
        w->session().tally().addPlayer(QStringLiteral("Klot"));
        // The server announcing that our seat won the game.
        w->game().dispatch("CMD_wingame+1");
        TallyBook& book = w->session().tally();
        const int row = book.rowOf(QStringLiteral("Klot"));
        QCOMPARE(book.count(row, 1), 1);
        QCOMPARE(book.count(row, 3), 1);
        QCOMPARE(book.count(row, 5), 1);
        w->close();
    }
    QVERIFY(QFile::exists(file));
    {
        auto w = windowIn(home.path(), 0, lobby.port());
        TallyBook& book = w->session().tally();
        const int row = book.rowOf(QStringLiteral("Klot"));
        QVERIFY(row > 0);
        QCOMPARE(book.count(row, 1), 1); // totals kept
        QCOMPARE(book.count(row, 5), 0); // a new run
    }
    writeFile(file, "garbage, not a tally");
    auto w = windowIn(home.path(), 0, lobby.port());
    QCOMPARE(w->session().tally().rowCount(), 1);
    QVERIFY(QFile::exists(file + QStringLiteral(".damaged")));
    QVERIFY(chatText(*w).contains(QStringLiteral("damaged")));
}

// A copy that never connected has not read the file: what the player changes is written, the
// stored values of everything else stay, what the player chose wins when the file is read (also
// a choice of the built-in value), and absurd bounds are brought onto the desktop.
void TestTablePreferences::changesBeforeTheConnectionKeepTheStoredSettings() {
    QTemporaryDir home;
    const QString ini = home.filePath(QStringLiteral("dovilobby.ini"));
    writeFile(ini, "[Vrako]\r\nTextsize=14\r\nBotspeed=500\r\nTextcolor=clRed\r\n"
                   "Phrase2=Hi all\r\nWidth=2000000000\r\nHeight=2000000000\r\n"
                   "Turnsound=1\r\n");
    Lobby lobby;
    {
        auto w = windowIn(home.path(), 0, lobby.port());
        w->action("AutomaticallySortCards1")->trigger();
        w->action("PhraseList1")->trigger();
        w->phraseEditor()->field(5)->setText(QStringLiteral("Nice!"));
        w->phraseEditor()->button_doneClick();
        const QByteArray saved = readFile(ini);
        for (const char* kept : {"Textsize=14", "Botspeed=500", "Textcolor=clRed", "Phrase2=Hi all",
                                 "Sort=true", "Phrase5=Nice!"})
            QVERIFY2(saved.contains(kept), kept);
    }
    auto w = windowIn(home.path(), 0, lobby.port());
    w->action("TextSize10")->trigger();
    w->action("Classic1")->trigger();
    start(*w, {"Ann", "x", "false"});
    QTRY_VERIFY(w->action("UltraFast1")->isChecked()); // the file has been read
    QCOMPARE(w->chat().textSize(), 10);
    QVERIFY(w->action("Classic1")->isChecked());
    const QByteArray saved = readFile(ini);
    QVERIFY(saved.contains("Textsize=10") && saved.contains("Turnsound=0"));
    const QRect area = w->screen()->availableGeometry();
    QVERIFY(w->width() <= area.width() && w->height() <= area.height());
}

QTEST_MAIN(TestTablePreferences)
#include "tst_tablepreferences.moc"
