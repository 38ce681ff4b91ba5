// SPDX-License-Identifier: MIT
// Whole windows: roles from the command line, a host with joining players and spectators over
// real loopback connections, and the ways the program ends.
#include "board/boardview.h"
#include "board/clicklabel.h"
#include "chat/chatedit.h"
#include "chat/chatpanel.h"
#include "chat/phrasebar.h"
#include "game/clientconnection.h"
#include "game/clientgame.h"
#include "net/invitelink.h"
#include "server/tserver.h"
#include "shell/tchat.h"
#include "table_helper.h"
#include "upnprouter_helper.h"
#include "widgets/richtextview.h"
#include "widgets/soundplayer.h"
#include "windows/hostjoindialog.h"
#include "windows/invitefriends.h"
#include "windows/spylist.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <algorithm>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vrako;
using namespace vrako::tabletest;
using vrako::testing::UpnpRouter;

class TestTchat : public QObject {
    Q_OBJECT
private slots:
    void soloGame();
    void roles_data();
    void roles();
    void hostJoinersAndSpectator();
    void tenthConnectionIsTurnedAway();
    void hostLeavingClosesJoiners();
    void lostConnectionComesBack();
    void windowsAndMenus();
    void tableScalesWithTheWindow_data();
    void tableScalesWithTheWindow();
    void failuresAreShown();
    void inviteLinks();
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
    // Nobody is invited to a solo game, nor is it announced.
    QVERIFY(!w->action("InviteFriends1")->isEnabled());
    QCOMPARE(w->session().announcer(), nullptr);
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

    // The host removes Bo: Bo is told so, and the window closes once Bo has read it.
    bo.show();
    host->game().kicking(2);
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = bo.findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->text(), QStringLiteral("The host removed you from the game."));
    QTRY_COMPARE(host->board().nameLabel(2)->text(), QStringLiteral("Klot"));
    QTest::qWait(50); // the close that follows adds nothing
    QCOMPARE(bo.findChildren<QMessageBox*>().size(), 1);
    QVERIFY(bo.isVisible());
    box->accept();
    QTRY_VERIFY(!bo.isVisible());
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

    // A busy host may answer and reset the connection before the copy has handled its own
    // connect: what the host said still waits in the kernel and is shown.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    auto* a = reinterpret_cast<sockaddr*>(&addr);
    QVERIFY(::bind(listener, a, len) == 0 && ::listen(listener, 1) == 0 &&
            ::getsockname(listener, a, &len) == 0);
    auto late = window(ntohs(addr.sin_port), lobby.port());
    start(*late, {"Zed", "127.0.0.1", "true"});
    const int peer = ::accept(listener, nullptr, nullptr);
    QVERIFY(peer >= 0);
    QCOMPARE(::send(peer, "CMD_full+\xFF", 10, 0), 10);
    const linger hard{1, 0};
    ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(peer);
    ::close(listener);
    QTRY_VERIFY((box = late->findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->text(), QStringLiteral("Game is full"));
    QTest::qWait(50); // the reset that follows adds nothing
    QCOMPARE(late->findChildren<QMessageBox*>().size(), 1);
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
    // The window says why before the program ends.
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = joiner->findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->text(), QStringLiteral("The host has ended the game."));
    QVERIFY(joiner->isVisible());
    box->accept();
    QTRY_VERIFY(!joiner->isVisible());
}

void TestTchat::lostConnectionComesBack() {
    Lobby lobby;
    auto host = fastHost(lobby, 7);
    QTRY_COMPARE(host->game().myseat(), 1);
    Relay relay(host->server()->port());
    auto joiner = window(relay.port(), lobby.port());
    joiner->session().setReconnectTiming(200, 3000);
    start(*joiner, {"Bo", "127.0.0.1", "true"});
    QTRY_COMPARE(joiner->game().myseat(), 2);
    // Cy will not try again within the test, and gives up.
    auto quitter = window(relay.port(), lobby.port());
    quitter->session().setReconnectTiming(60000, 120000);
    start(*quitter, {"Cy", "127.0.0.1", "true"});
    QTRY_COMPARE(quitter->game().myseat(), 3);
    host->game().startGame(20, GameType::OneMoreOrLess);
    const GameTable& t = table(*host);
    QTRY_VERIFY(!joiner->game().handIds().isEmpty() && handMatches(*joiner, t));
    joiner->chat().findChild<QLineEdit*>(QStringLiteral("mychat"))->setText(QStringLiteral("hi"));
    joiner->chat().sendit();
    QTRY_VERIFY(chatText(*joiner).contains(QStringLiteral("Bo chats: hi")));

    // A reset: the countdown shows, and the joiner is back in its seat with its hand.
    relay.cut();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = joiner->findChild<QMessageBox*>(QStringLiteral("reconnectbox"))));
    QVERIFY2(
        QRegularExpression(
            QStringLiteral(R"(^Connection to the host lost\. Reconnecting\.\.\. \([1-3] s\)$)"))
            .match(box->text())
            .hasMatch(),
        qPrintable(box->text()));
    QTRY_VERIFY_WITH_TIMEOUT(joiner->game().loggedin() && handMatches(*joiner, t) &&
                                 !joiner->game().handIds().isEmpty() &&
                                 joiner->board().nameLabel(1)->text() == QStringLiteral("Ann") &&
                                 joiner->game().whoseturn() == t.state().currentseat,
                             5000);
    QCOMPARE(joiner->game().myseat(), 2);
    QVERIFY(!joiner->findChild<QMessageBox*>(QStringLiteral("reconnectbox")));
    const QString chat = chatText(*joiner);
    QVERIFY(chat.contains(QStringLiteral("Bo chats: hi")));
    QCOMPARE(chat.count(QStringLiteral("Reconnected.")), 1);
    QVERIFY(joiner->isVisible());
    QTRY_VERIFY((box = quitter->findChild<QMessageBox*>(QStringLiteral("reconnectbox"))));
    QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
    QCOMPARE(acceptMessage(*quitter), QStringLiteral("The connection to the host was lost."));
    QTRY_VERIFY(!quitter->isVisible());

    // A host that refuses every attempt has ended its game: the run ends as before.
    relay.stop();
    relay.cut();
    QTRY_VERIFY((box = joiner->findChild<QMessageBox*>(QStringLiteral("messagebox"))));
    QCOMPARE(box->text(), QStringLiteral("The connection to the host was lost."));
    QVERIFY(!joiner->findChild<QMessageBox*>(QStringLiteral("reconnectbox")));
    box->accept();
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
    const quint16 port = first->server()->port();
    const auto clickIn = [](QMessageBox* box, const char* button) {
        QTest::mouseClick(box->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    };

    // Nobody joins a solo game: with its port taken it plays on another.
    auto solo = window(port, lobby.port());
    solo->processparams({});
    QTRY_COMPARE(solo->game().myseat(), 1);
    QVERIFY(solo->server()->port() != port);
    QVERIFY(chatText(*solo).contains(QStringLiteral("Port %1 is already in use; this solo game "
                                                    "uses port %2.")
                                         .arg(port)
                                         .arg(solo->server()->port())));
    QVERIFY(!solo->findChild<QMessageBox*>());

    // A second host says so in words, the socket's report underneath, and offers ways on.
    const auto busyHost = [&](const QString& name) {
        auto w = window(port, lobby.port());
        start(*w, {name, "x", "false"});
        return w;
    };
    auto joining = busyHost(QStringLiteral("Bo+Co"));
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = joining->findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(
        box->text(),
        QStringLiteral("Port %1 is already in use, probably by another Vrako on this computer.")
            .arg(port));
    QCOMPARE(box->detailedText(), QStringLiteral("Listen - Error Binding Socket"));
    QVERIFY(!joining->game().hosting());
    QVERIFY(!joining->action("StartGame1")->isEnabled());
    QVERIFY(!joining->connection().sock().hasHandle());
    // Join: the game on that port, under the name the server keeps.
    clickIn(box, "joingame");
    QTRY_COMPARE(joining->game().myseat(), 2);
    QTRY_COMPARE(first->board().nameLabel(2)->text(), QStringLiteral("Bo_Co"));
    QVERIFY(!joining->game().hosting());
    // Play solo: a solo game on a free port.
    auto soloAfter = busyHost(QStringLiteral("Cy"));
    QTRY_VERIFY((box = soloAfter->findChild<QMessageBox*>()) != nullptr);
    clickIn(box, "playsolo");
    QTRY_COMPARE(soloAfter->game().myseat(), 1);
    QCOMPARE(soloAfter->game().playername(), QStringLiteral("You"));
    QVERIFY(soloAfter->game().hosting());
    QVERIFY(soloAfter->server()->port() != port);
    // Quit.
    auto quitting = busyHost(QStringLiteral("Di"));
    QTRY_VERIFY((box = quitting->findChild<QMessageBox*>()) != nullptr);
    clickIn(box, "quit");
    QTRY_VERIFY(!quitting->isVisible());

    // A refused join says what it means; trying again once a game is there joins it.
    first.reset();
    auto joiner = window(port, lobby.port());
    start(*joiner, {"Eve", "127.0.0.1", "true"});
    QTRY_VERIFY((box = joiner->findChild<QMessageBox*>()) != nullptr);
    const QString refused =
        QStringLiteral(
            "Nobody is hosting a game at 127.0.0.1, port %1. Is the host's game running?")
            .arg(port);
    QCOMPARE(box->text(), refused);
    QCOMPARE(box->detailedText(), QStringLiteral("Error #10061 (WSAECONNREFUSED)"));
    QVERIFY(chatText(*joiner).contains(refused));
    QVERIFY(joiner->isVisible());
    TServer later(1);
    later.listen(port);
    clickIn(box, "tryagain");
    QTRY_VERIFY(joiner->game().loggedin());

    // Host or Join... opens that dialog.
    later.stopListening();
    auto other = window(port, lobby.port());
    start(*other, {"Flo", "127.0.0.1", "true"});
    QTRY_VERIFY((box = other->findChild<QMessageBox*>()) != nullptr);
    clickIn(box, "hostorjoin");
    HostJoinDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = other->findChild<HostJoinDialog*>()) != nullptr);
    QVERIFY(dialog->isVisible());
}

void TestTchat::inviteLinks() {
    Lobby lobby;
    QTemporaryDir home;
    ProgramSettings settings;
    settings.port = kDefaultGamePort;
    settings.lobbyPort = lobby.port();
    settings.home = home.path();
    // A good link: the dialog to join that table, with the name used last; nothing connects
    // until the player says so.
    {
        Tchat w(settings);
        w.session().preferences().lastName = QStringLiteral("Cy");
        QVERIFY(w.session().saveinifile(Preferences::LastName));
        start(w, {"vrako://192.168.1.20:7773"});
        HostJoinDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = w.findChild<HostJoinDialog*>()) != nullptr);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->arguments(), (QStringList{"Cy", "192.168.1.20", "true", "7773"}));
        QVERIFY(!w.connection().sock().hasHandle());
        QVERIFY(!w.server());
    }
    // Bad links say what is wrong, connect nowhere and offer the other ways in.
    for (const QString& link : {QStringLiteral("vrako:192.168.1.20"), QStringLiteral("vrako://"),
                                QStringLiteral("vrako://192.168.1.20:65536"),
                                QStringLiteral("vrako://192.168.1.20:7772/join")}) {
        Tchat w(settings);
        start(w, {link});
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = w.findChild<QMessageBox*>()) != nullptr);
        const QString error = parseInviteLink(link).error;
        QVERIFY(!error.isEmpty());
        QCOMPARE(box->text(), error);
        QVERIFY(!w.findChild<HostJoinDialog*>());
        QTest::qWait(20);
        QVERIFY(!w.connection().sock().hasHandle());
        QVERIFY(!w.server());
        QCOMPARE(lobby.connections, 0);
        if (link.endsWith(QLatin1String("/join"))) {
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("hostorjoin")),
                              Qt::LeftButton);
            QTRY_VERIFY(w.findChild<HostJoinDialog*>());
        }
    }

    // The host's invitation: a link per reachable address, the first ready to copy, and the
    // router's address on the internet once the router forwards the port.
    settings.port = 0;
    settings.home.clear();
    UpnpRouter router;
    settings.upnpUrl = router.descriptionUrl();
    Tchat host(settings);
    start(host, {"Ann", "x", "false"});
    QTRY_VERIFY(host.game().loggedin());
    QVERIFY(host.action("InviteFriends1")->isEnabled());
    host.action("InviteFriends1")->trigger();
    auto* invite = host.findChild<InviteFriendsWindow*>();
    QVERIFY(invite && invite->isVisible());
    const QStringList links = vrako::inviteLinks(host.server()->port());
    QTRY_COMPARE(invite->links(), links + QStringList{formatInviteLink(UpnpRouter::kExternalAddress,
                                                                       host.server()->port())});
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(invite->findChild<QPushButton*>(QStringLiteral("button_copy")),
                      Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), links.value(0, QStringLiteral("before")));
    // A player who joins has no table to invite to.
    settings.port = host.server()->port();
    Tchat joiner(settings);
    start(joiner, {"Bo", "127.0.0.1", "true"});
    QTRY_VERIFY(joiner.game().loggedin());
    QVERIFY(!joiner.action("InviteFriends1")->isEnabled());
}

QTEST_MAIN(TestTchat)
#include "tst_tchat.moc"
