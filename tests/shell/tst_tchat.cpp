// SPDX-License-Identifier: MIT
// Whole windows: roles from the command line, a host with joining players and spectators over
// real loopback connections, and the ways the program ends.
#include "chat/chatedit.h"
#include "chat/chatpanel.h"
#include "chat/phrasebar.h"
#include "client/boardview.h"
#include "client/clicklabel.h"
#include "client/clientconnection.h"
#include "client/clientgame.h"
#include "server/tserver.h"
#include "shell/tchat.h"
#include "table_helper.h"
#include "widgets/richtextview.h"
#include "widgets/soundplayer.h"
#include "windows/spylist.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QtMath>
#include <algorithm>
#include <memory>

using namespace vrako;
using namespace vrako::tabletest;

class TestTchat : public QObject {
    Q_OBJECT
private slots:
    void soloGame();
    void roles_data();
    void roles();
    void hostJoinersAndSpectator();
    void tenthConnectionIsTurnedAway();
    void hostLeavingClosesJoiners();
    void windowsAndMenus();
    void tableScalesWithTheWindow_data();
    void tableScalesWithTheWindow();
    void failuresAreShown();
};

void TestTchat::soloGame() {
    Lobby lobby;
    auto w = window(0, lobby.port());
    w->processparams({});
    QCOMPARE(w->game().playername(), QStringLiteral("You"));
    QCOMPARE(w->hostaddress(), QStringLiteral("127.0.0.1"));
    QVERIFY(w->server());
    QTRY_COMPARE(w->game().myseat(), 1);
    QWidget* download = w->findChild<QWidget*>(QStringLiteral("Tdownload"));
    QVERIFY(download->isVisible());
    QTest::mouseClick(download->findChild<QWidget*>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!download->isVisible());
    QVERIFY(w->action("StartGame1")->isEnabled());
    QVERIFY(w->game().startButtonShown());
    QVERIFY(chatText(*w).startsWith(QStringLiteral("Loading Solo Game..Please wait.")));
    QTRY_VERIFY(chatText(*w).contains(QStringLiteral("You are Connected.")));
    QCOMPARE(w->lobbySocket(), nullptr);
    QTest::qWait(50);
    QCOMPARE(lobby.connections, 0);
}

void TestTchat::roles_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("hosts");
    QTest::addColumn<bool>("joins");
    QTest::newRow("host") << QStringList{"Ann", "10.0.0.5", "false"} << true << false;
    QTest::newRow("True is not true") << QStringList{"Ann", "10.0.0.5", "True"} << true << false;
    QTest::newRow("fourth ignored")
        << QStringList{"Ann", "10.0.0.5", "false", "x"} << true << false;
    QTest::newRow("join") << QStringList{"Ann", "127.0.0.1", "true"} << false << true;
    QTest::newRow("two arguments") << QStringList{"Ann", "10.0.0.5"} << false << false;
    QTest::newRow("one argument") << QStringList{"Ann"} << false << false;
}

void TestTchat::roles() {
    QFETCH(QStringList, args);
    QFETCH(bool, hosts);
    QFETCH(bool, joins);
    Lobby lobby;
    // Something to join: a bare server on a free port.
    TServer target(1);
    target.listen(0);
    auto w = window(hosts ? 0 : target.port(), lobby.port());
    w->processparams(args);
    QVERIFY(chatText(*w).startsWith(QStringLiteral("Loading Multi-player Game.. Please Wait.")));
    QCOMPARE(w->server() != nullptr, hosts);
    QCOMPARE(w->game().hosting(), hosts);
    QCOMPARE(w->action("StartGame1")->isEnabled(), hosts);
    QCOMPARE(w->game().startButtonShown(), hosts);
    if (hosts || joins) {
        QCOMPARE(w->game().playername(), QStringLiteral("Ann"));
        QTRY_VERIFY(w->game().loggedin());
        // A host always plays at its own server, whatever the second argument says.
        QCOMPARE(w->connection().sock().HostName(), hosts ? QStringLiteral("127.0.0.1") : args[1]);
        QTRY_COMPARE(lobby.connections, 1);
        // What the lobby sends is dropped, not kept.
        auto* peer = lobby.server.findChild<QTcpSocket*>();
        peer->write(QByteArray(100 * 1024, 'x'));
        QTRY_COMPARE(peer->bytesToWrite(), 0);
        QTest::qWait(50);
        QVERIFY(w->lobbySocket()->Receive().isEmpty());
    } else {
        QVERIFY(!w->connection().sock().hasHandle());
        QTest::qWait(50);
        QCOMPARE(lobby.connections, 0);
        QCOMPARE(w->game().playername(), QString());
    }
}

void TestTchat::hostJoinersAndSpectator() {
    Lobby lobby;
    auto host = window(0, lobby.port());
    QSignalSpy hostSounds(&host->sounds(), &SoundPlayer::played);
    host->processparams({"Ann", "10.0.0.5", "false"});
    QTRY_COMPARE(host->game().myseat(), 1);
    const quint16 port = host->server()->port();

    std::vector<std::unique_ptr<Tchat>> joiners;
    const QStringList names = {"Bo", "Cy", "Di", "Eve"};
    for (const QString& name : names) {
        joiners.push_back(window(port, lobby.port()));
        joiners.back()->processparams({name, "127.0.0.1", "true"});
        QTRY_VERIFY(joiners.back()->game().loggedin());
    }
    Tchat& bo = *joiners[0];
    Tchat& cy = *joiners[1];
    Tchat& eve = *joiners[3];
    QCOMPARE(bo.game().myseat(), 2);
    QCOMPARE(cy.game().myseat(), 3);
    QCOMPARE(eve.game().myseat(), 5);

    // Cy in seat 3 sees itself at the bottom, seat 4 left, seat 1 top, seat 2 right.
    QTRY_COMPARE(cy.board().nameLabel(3)->text(), QStringLiteral("Cy"));
    QCOMPARE(cy.board().nameLabel(3)->geometry(), QRect(108, 233, 119, 19));
    QCOMPARE(cy.board().nameLabel(4)->geometry(), QRect(28, 36, 117, 19));
    QCOMPARE(cy.board().nameLabel(1)->geometry(), QRect(204, 6, 120, 19));
    QCOMPARE(cy.board().nameLabel(2)->geometry(), QRect(507, 58, 117, 20));
    QTRY_COMPARE(cy.board().nameLabel(1)->text(), QStringLiteral("Ann"));
    QCOMPARE(cy.board().scoreLabel(2)->geometry().topLeft(), QPoint(483, 58));

    // The spectator sees the table unrotated and is in everybody's spy list.
    QCOMPARE(eve.board().nameLabel(1)->geometry().topLeft(), QPoint(108, 233));
    QTRY_VERIFY(chatText(eve).contains(QStringLiteral("You are spying.")));
    QCOMPARE(eve.spyList()->entries(), QStringList{"5: Eve"});
    QTRY_COMPARE(host->spyList()->entries(), QStringList{"5: Eve"});
    QTRY_VERIFY(chatText(*host).contains(QStringLiteral("Eve is spying.")));
    QVERIFY(chatText(*host).contains(QStringLiteral("Bo is Connected.")));
    QVERIFY(hostSounds.count() >= 5);
    QCOMPARE(hostSounds.last().at(0).toString().toLower(), QStringLiteral("entered"));

    // Chat travels through the host to everyone, in the sender's name.
    bo.chat().findChild<QLineEdit*>(QStringLiteral("mychat"))->setText(QStringLiteral("hi + all"));
    bo.chat().sendit();
    QTRY_VERIFY(chatText(eve).contains(QStringLiteral("Bo chats: hi + all")));

    // Departures: a seat frees its label, a spectator leaves the spy list.
    joiners[1].reset();
    QTRY_VERIFY(chatText(*host).contains(QStringLiteral("Cy disconnected.")));
    QCOMPARE(host->board().nameLabel(3)->text(), QStringLiteral("Klitz"));
    joiners[3].reset();
    QTRY_VERIFY(chatText(*host).contains(QStringLiteral("Eve has left.")));
    QVERIFY(host->spyList()->entries().isEmpty());

    // The host removes Bo: Bo's window closes.
    bo.show();
    host->game().kicking(2);
    QTRY_VERIFY(!bo.isVisible());
    QTRY_COMPARE(host->board().nameLabel(2)->text(), QStringLiteral("Klot"));
}

void TestTchat::tenthConnectionIsTurnedAway() {
    Lobby lobby;
    auto host = window(0, lobby.port());
    host->processparams({"Ann", "x", "false"});
    QTRY_COMPARE(host->game().myseat(), 1);
    std::vector<std::unique_ptr<TSock>> others;
    for (int i = 0; i < 8; ++i) {
        others.push_back(std::make_unique<TSock>());
        others.back()->setPortName(QString::number(host->server()->port()));
        others.back()->setHostName(QStringLiteral("127.0.0.1"));
        others.back()->Open();
    }
    QTRY_COMPARE(host->server()->connectionCount(), 9);
    auto tenth = window(host->server()->port(), lobby.port());
    start(*tenth, {"Zed", "127.0.0.1", "true"});
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = tenth->findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->text(), QStringLiteral("Game is full"));
    QVERIFY(tenth->isVisible());
    box->accept();
    QTRY_VERIFY(!tenth->isVisible());
}

void TestTchat::hostLeavingClosesJoiners() {
    Lobby lobby;
    auto host = window(0, lobby.port());
    host->processparams({"Ann", "x", "false"});
    QTRY_COMPARE(host->game().myseat(), 1);
    auto joiner = window(host->server()->port(), lobby.port());
    start(*joiner, {"Bo", "127.0.0.1", "true"});
    QTRY_COMPARE(joiner->game().myseat(), 2);
    host.reset();
    QTRY_VERIFY(!joiner->isVisible());
}

void TestTchat::windowsAndMenus() {
    auto window0 = window(0, 1);
    Tchat& w = *window0;
    const char* const order[] = {"Tabout",   "Thelp",      "TServer",    "Tspylist",
                                 "Tphrases", "Ttallylist", "Tgamestart", "Tdownload"};
    QStringList created;
    for (QObject* child : w.children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && widget->isWindow())
            created.append(widget->objectName());
    QStringList expected;
    for (const char* name : order)
        expected.append(QLatin1String(name));
    QCOMPARE(created, expected);
    QCOMPARE(w.windowTitle(), QStringLiteral("Vrako - Dovi42 Software"));
    QCOMPARE(w.findChild<QWidget*>("Tspylist")->size(), QSize(170, 195));
    QCOMPARE(w.findChild<QWidget*>("Tgamestart")->windowTitle(),
             QStringLiteral("Vrako - Game Start"));

    QVERIFY(!w.action("StartGame1")->isEnabled());
    QVERIFY(w.action("PlaySounds1")->isChecked());
    QVERIFY(!w.action("PlayChatterSounds1")->isChecked());
    QVERIFY(w.action("Classic1")->isChecked());
    QVERIFY(w.action("Fast1")->isChecked());
    QCOMPARE(w.action("Slow1")->data().toInt(), 1500);
    QCOMPARE(w.action("UltraFast1")->data().toInt(), 500);
    QCOMPARE(w.action("ScrollChatOff1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QVERIFY(!w.action("JustWatch1")->isChecked());

    // The board keeps its place and size; the client area never shrinks below it.
    QCOMPARE(w.board().geometry(), QRect(3, 4, 653, 505));
    start(w, {"Ann", "x"}); // two arguments: no role

    // Escape in the chat entry hands the keyboard to the table.
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget* entry = w.chat().findChild<QWidget*>(QStringLiteral("mychat"));
    entry->setFocus();
    QTRY_VERIFY(entry->hasFocus());
    QTest::keyClick(entry, Qt::Key_Escape);
    QTRY_VERIFY(w.board().hasFocus());

    w.ResetLocation1Click();
    QTRY_VERIFY(w.centralWidget()->width() >= 661 && w.centralWidget()->height() >= 513);
}

void TestTchat::tableScalesWithTheWindow_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("smallest") << 0.6;
    QTest::newRow("design") << 1.0;
    QTest::newRow("double") << 2.0;
}

// The window is sized so that its board has room for the table at the given scale: every
// place of the design lands at that scale, clicks there reach what is drawn there, and the
// chat takes the room below the table.
void TestTchat::tableScalesWithTheWindow() {
    QFETCH(qreal, scale);
    auto window0 = window(0, 1);
    Tchat& w = *window0;
    ClientGame& g = w.game();
    QList<QByteArray> sent;
    connect(&g, &ClientGame::sendRequested, this, [&sent](const QByteArray& b) { sent.append(b); });
    g.dispatch("CMD_sendlogininfo+1");
    const int codes[] = {9, 21, 2, 45, 7}; // the third is a Wild
    for (int id = 1; id <= 5; ++id)
        g.dispatch("CMD_acard+1+" + std::to_string(id) + "+" + std::to_string(codes[id - 1]));
    g.dispatch("CMD_cardcount+3+6"); // the seat opposite: a fan across the top
    g.dispatch("CMD_nextplayer+1+l");
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    BoardView& b = w.board();
    const QSize room(qCeil(BoardView::kSize.width() * scale),
                     qCeil(BoardView::kSize.height() * scale));
    w.resize(w.size() - b.size() + room);
    QTRY_COMPARE(b.scale(), scale);
    // The pictures are drawn for the new scale once the size has settled.
    QTRY_VERIFY(qAbs(b.cardPicture(1)->pixmap().deviceIndependentSize().width() - 53 * scale) <= 1);

    // Design points at the scale; the table is centred across the board.
    const int left = (b.width() - qRound(BoardView::kSize.width() * scale)) / 2;
    const auto at = [&](qreal x, qreal y) {
        return QPoint(left + qRound(x * scale), qRound(y * scale));
    };
    const auto near = [](QPoint got, QPoint want) { return (got - want).manhattanLength() <= 2; };
    const auto scaledLength = [scale](int design) { return qRound(design * scale); };
    for (int id = 1; id <= 5; ++id) {
        ClickLabel* card = b.cardPicture(id);
        QVERIFY2(near(card->pos(), at(108 + 24 * (id - 1), 254)), qPrintable(QString::number(id)));
        QVERIFY(qAbs(card->width() - scaledLength(53)) <= 1);
        // The face is drawn at the scale, not stretched: one picture pixel per screen pixel.
        QVERIFY(qAbs(card->pixmap().deviceIndependentSize().width() - 53 * scale) <= 1);
    }
    QVERIFY(near(b.nameLabel(1)->pos(), at(108, 233)));
    QCOMPARE(b.nameLabel(1)->font().pixelSize(), scaledLength(16));
    QVERIFY(near(b.findChild<QLabel*>("label_status")->pos(), at(269, 344)));
    QVERIFY(near(b.findChild<QLabel*>("image_topcard")->pos(), at(274, 122)));
    QVERIFY(near(b.fan(3)->pos(), at(204, 26)));
    QVERIFY(qAbs(b.fan(3)->width() - scaledLength(43 + 60)) <= 1);

    // Clicks at design points hit what is drawn there.
    const auto clickAt = [&](qreal x, qreal y) {
        const QPoint p = at(x, y);
        QWidget* hit = b.childAt(p);
        if (hit)
            QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&b, p));
        return hit;
    };
    QCOMPARE(clickAt(140, 300), b.cardPicture(2)); // the strip of place 1 that shows
    QCOMPARE(sent.last(), QByteArray("CMD_playcard+1+0+2\xFF"));
    g.dispatch("CMD_nomatch+");
    QCOMPARE(clickAt(164, 300), b.cardPicture(3)); // the Wild opens the colour chooser
    auto* chooser = b.findChild<QWidget*>(QStringLiteral("panel_choosecolor"));
    QVERIFY(chooser->isVisible());
    QVERIFY(near(chooser->pos(), at(187, 121)));
    QCOMPARE(clickAt(187 + 42, 121 + 48 + 7), chooser->findChild<QWidget*>("choose_green"));
    QCOMPARE(sent.last(), QByteArray("CMD_playcard+1+54+3\xFF"));
    g.dispatch("CMD_nomatch+");
    QCOMPARE(clickAt(371, 160), b.findChild<QWidget*>("image_draw"));
    QCOMPARE(sent.last(), QByteArray("CMD_drawcard+1\xFF"));

    // Below the table the phrase buttons and the chat take the board's width and the rest of
    // its height; the chat's text grows with the table but never shrinks below its size.
    ChatPanel& chat = w.chat();
    QVERIFY(chat.y() >= at(0, 361).y());
    QCOMPARE(chat.x(), scaledLength(5));
    QCOMPARE(chat.width(), b.width() - 2 * scaledLength(5));
    QCOMPARE(chat.geometry().bottom(), b.height() - scaledLength(3) - 1);
    QVERIFY(chat.height() >= chat.heightForLines(3));
    QVERIFY(near(w.phraseBar().pos(), QPoint(scaledLength(5), chat.y() - scaledLength(23))));
    QCOMPARE(w.phraseBar().height(), scaledLength(20));
    QCOMPARE(chat.mainchat()->styles()->font(0).pointSizeF(),
             chat.textSize() * std::max<qreal>(1, scale));
    QVERIFY(w.rect().contains(QRect(chat.mychat()->mapTo(&w, QPoint()), chat.mychat()->size())));
}

void TestTchat::failuresAreShown() {
    Lobby lobby;
    auto first = window(0, lobby.port());
    start(*first, {"Ann", "x", "false"});
    QTRY_COMPARE(first->game().myseat(), 1);

    // A second host on the same port takes no role and says why.
    auto second = window(first->server()->port(), lobby.port());
    start(*second, {"Bo+Co", "x", "false"});
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = second->findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->text(), QStringLiteral("Listen - Error Binding Socket"));
    QVERIFY(!second->game().hosting());
    QVERIFY(!second->action("StartGame1")->isEnabled());
    QVERIFY(!second->connection().sock().hasHandle());
    QTest::qWait(50);
    QCOMPARE(first->server()->connectionCount(), 1);
    // The name we would send is the one the server keeps.
    QCOMPARE(second->game().playername(), QStringLiteral("Bo_Co"));

    // A refused join is reported in the chat instead of waiting for ever.
    auto joiner = window(first->server()->port(), lobby.port());
    first.reset();
    start(*joiner, {"Cy", "127.0.0.1", "true"});
    QTRY_VERIFY(chatText(*joiner).contains(
        QStringLiteral("Cannot connect to the game: Error #10061 (WSAECONNREFUSED)")));
    QVERIFY(joiner->isVisible());
}

QTEST_MAIN(TestTchat)
#include "tst_tchat.moc"
