// SPDX-License-Identifier: MIT
#pragma once

// Shared pieces of the whole-table tests: windows on loopback, a stand-in lobby, reading the
// board's widgets, comparing a window with the server's table, recording what each window showed
// and clicking through turns.

#include "board/boardview.h"
#include "board/clicklabel.h"
#include "chat/chatpanel.h"
#include "server/rules.h"
#include "server/tserver.h"
#include "shell/tchat.h"
#include "widgets/cardart.h"
#include "widgets/richtextview.h"

#include <QLabel>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <vector>

namespace vrako::tabletest {

// A TCP relay on loopback between windows and a game server, which the test can cut with a
// reset on both sides or stop altogether. An orderly close on one side is passed on in order.
class Relay {
public:
    explicit Relay(quint16 target) : m_target(target) {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* down = m_server.nextPendingConnection())
                join(down);
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    // Resets every connection it carries, as a broken link does, and keeps accepting.
    void cut() {
        for (QTcpSocket* s : m_server.findChildren<QTcpSocket*>()) {
            const linger hard{1, 0};
            ::setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            s->disconnect();
            s->abort();
            s->deleteLater();
        }
    }
    // No more connections: an attempt is refused.
    void stop() { m_server.close(); }

private:
    void join(QTcpSocket* down) {
        down->setParent(&m_server);
        auto* up = new QTcpSocket(&m_server);
        up->connectToHost(QHostAddress::LocalHost, m_target);
        const auto pass = [](QTcpSocket* from, QTcpSocket* to) {
            QObject::connect(from, &QTcpSocket::readyRead, to,
                             [from, to] { to->write(from->readAll()); });
            QObject::connect(from, &QTcpSocket::disconnected, to,
                             [to] { to->disconnectFromHost(); });
        };
        pass(down, up);
        pass(up, down);
    }

    QTcpServer m_server;
    quint16 m_target;
};

// A stand-in lobby that accepts, keeps and counts its connections.
struct Lobby {
    QTcpServer server;
    int connections = 0;
    Lobby() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++connections;
                s->setParent(&server);
            }
        });
    }
    quint16 port() const { return server.serverPort(); }
};

// A main window that uses the given game port (0: host on a free port) and the stand-in lobby.
inline std::unique_ptr<Tchat> window(quint16 port, quint16 lobbyPort) {
    ProgramSettings s;
    s.port = port;
    s.lobbyPort = lobbyPort;
    auto w = std::make_unique<Tchat>(s);
    w->createSideWindows();
    return w;
}

// A shown host window named Ann whose server runs without delays and with a fixed seed.
inline std::unique_ptr<Tchat> fastHost(const Lobby& lobby, std::uint64_t seed) {
    auto host = window(0, lobby.port());
    host->processparams({"Ann", "x", "false"});
    host->show();
    TServer& server = *host->server();
    server.setBotSpeed(1);
    server.setRoundPause(20);
    server.setComputerRetry(1);
    server.setSeed(seed);
    return host;
}

// Takes the role the arguments name and shows the window, as the program does at start-up.
inline void start(Tchat& w, const QStringList& args) {
    w.processparams(args);
    w.show();
}

// Waits for the message box a window shows, accepts it and returns its text (empty when none
// came).
inline QString acceptMessage(Tchat& w) {
    QMessageBox* box = nullptr;
    if (!QTest::qWaitFor([&] { return (box = w.findChild<QMessageBox*>()) != nullptr; }))
        return {};
    const QString text = box->text();
    box->accept();
    return text;
}

inline QString chatText(Tchat& w) {
    auto* view = w.chat().findChild<RichTextView*>(QStringLiteral("mainchat"));
    view->selectAll();
    const QString text = view->selectedText().replace(QLatin1Char('\r'), QLatin1Char('\n'));
    view->deselect();
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.simplified();
    return lines.join(QLatin1Char('\n')).trimmed();
}

template <typename T = QWidget> T* widget(Tchat& w, const QString& name) {
    return w.board().findChild<T*>(name);
}

inline QString text(Tchat& w, const char* name) {
    return widget<QLabel>(w, QLatin1String(name))->text();
}

inline bool shown(Tchat& w, const char* name) {
    return !widget(w, QLatin1String(name))->isHidden();
}

inline GameTable& table(Tchat& host) {
    return host.server()->logic().table();
}

// Board positions in order bottom, left, top, right.
inline const QPoint kFanAt[4] = {{108, 257}, {28, 56}, {204, 26}, {507, 80}};
inline const QPoint kWinnerAt[4] = {{120, 256}, {28, 64}, {208, 32}, {510, 88}};
inline const QColor kYellow(242, 250, 143);
inline const QColor kSilver(192, 192, 192);

// 0 bottom, 1 left, 2 top, 3 right: the local seat (seat 1 for a spectator) sits at the bottom.
inline int positionIndex(Tchat& w, int seat) {
    const int me = w.game().myseat();
    const int base = me >= 1 && me <= 4 ? me : 1;
    return (seat - base + 4) % 4;
}

// The colour bar that lies in front of the other three: 0 blue, 1 green, 2 red, 3 yellow.
inline int barInFront(Tchat& w) {
    static const char* const names[4] = {"image_blue", "image_green", "image_red", "image_yellow"};
    const QObjectList kids = w.board().children();
    int best = -1;
    int bestIndex = -1;
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = kids.indexOf(widget(w, QLatin1String(names[i])));
        if (at > bestIndex) {
            bestIndex = int(at);
            best = i;
        }
    }
    return best;
}

// The card codes of the local hand by place, read from the card pictures (-1 when a picture is
// missing); mismatch reports the first place whose picture is not where the place puts it.
inline QList<int> handCodes(Tchat& w, QString* mismatch = nullptr) {
    QList<int> codes;
    const QList<int> ids = w.game().handIds();
    const QObjectList kids = w.board().children();
    qsizetype lastZ = -1;
    for (int place = 0; place < ids.size(); ++place) {
        ClickLabel* pic = w.board().cardPicture(ids[place]);
        if (!pic) {
            codes.append(-1);
            continue;
        }
        codes.append(pic->property("code").toInt());
        const QRect want(108 + 24 * place, 254, 53, 77);
        const qsizetype z = kids.indexOf(pic);
        if (mismatch && mismatch->isEmpty() &&
            (pic->geometry() != want ||
             pic->objectName() != QStringLiteral("card%1").arg(ids[place]) || z < lastZ))
            *mismatch = QStringLiteral("place %1: card%2 at %3,%4")
                            .arg(place)
                            .arg(ids[place])
                            .arg(pic->x())
                            .arg(pic->y());
        lastZ = z;
    }
    return codes;
}

// Whether the window's hand holds exactly the server's cards of its seat, each picture in its
// place at the bottom row.
inline bool handMatches(Tchat& w, const GameTable& t, QString* why = nullptr) {
    const int seat = w.game().myseat();
    if (seat < 1 || seat > 4)
        return true;
    QString misplaced;
    const QList<int> codes = handCodes(w, &misplaced);
    const QList<int> ids = w.game().handIds();
    QList<int> serverIds;
    for (int slot = 1; slot <= kSlots; ++slot)
        if (t.player(seat).cards[slot] != card::kEmpty)
            serverIds.append(slot);
    QList<int> sortedIds = ids;
    std::sort(sortedIds.begin(), sortedIds.end());
    bool ok = sortedIds == serverIds && misplaced.isEmpty();
    for (int place = 0; ok && place < ids.size(); ++place)
        ok = codes[place] == t.player(seat).cards[ids[place]];
    if (!ok && why)
        *why = QStringLiteral("seat %1 hand ids %2 server %3 %4")
                   .arg(seat)
                   .arg(QString::number(ids.size()))
                   .arg(QString::number(serverIds.size()))
                   .arg(misplaced);
    return ok;
}

// Whether every other seat's fan has the server's card count, lies at its seat's position and
// runs across the table for the opposite seat and down the side for the others.
inline bool fansMatch(Tchat& w, const GameTable& t, QString* why = nullptr) {
    const int me = w.game().myseat();
    for (int s = 1; s <= 4; ++s) {
        if (s == me)
            continue;
        const int n = t.player(s).cardcount;
        const QLabel* fan = w.board().fan(s);
        const int pos = positionIndex(w, s);
        const bool across = pos == 0 || pos == 2;
        bool ok;
        if (n == 0)
            ok = fan->isHidden();
        else
            ok = !fan->isHidden() && fan->pos() == kFanAt[pos] &&
                 fan->size() == (across ? QSize(43 + 10 * n, 77) : QSize(53, 67 + 10 * n));
        if (!ok) {
            if (why)
                *why = QStringLiteral("seat %1 of %2: n %3, fan %4,%5 %6x%7")
                           .arg(s)
                           .arg(me)
                           .arg(n)
                           .arg(fan->x())
                           .arg(fan->y())
                           .arg(fan->width())
                           .arg(fan->height());
            return false;
        }
    }
    return true;
}

// Whether the top card picture and the colour bar in front show the server's current card.
inline bool centreMatches(Tchat& w, const GameTable& t) {
    const int top = t.state().topcard;
    const int shownCode = isColourCode(top) ? card::kWild : top;
    const int colour = isColourCode(top) ? top - card::kBlue : (top - card::kFirstColoured) / 12;
    return widget(w, QStringLiteral("image_topcard"))->accessibleName() ==
               QStringLiteral("Top card: ") + QString::fromStdString(cardName(shownCode)) &&
           barInFront(w) == colour;
}

// Whether only the seat on turn is bold yellow and the others regular silver.
inline bool highlightMatches(Tchat& w, int onTurn) {
    for (int s = 1; s <= 4; ++s) {
        for (QLabel* l : {w.board().nameLabel(s), w.board().scoreLabel(s)}) {
            const bool on = s == onTurn;
            if (l->font().bold() != on ||
                l->palette().color(QPalette::WindowText) != (on ? kYellow : kSilver))
                return false;
        }
    }
    return true;
}

// What one window showed when its status line changed.
struct Snapshot {
    QString status;
    QString turn;
    bool waiting = false;
    bool startButton = false;
    bool arrows = false;
    int bar = -1;
    std::array<bool, 5> winner{};
    std::array<QString, 5> scores;
    std::array<int, 5> serverScores{}; // the server's scores at that moment
};

// Records a snapshot of one window each time its status line changes.
class Recorder {
public:
    Recorder(Tchat& w, const GameTable* t) : m_w(w), m_t(t) {
        QObject::connect(&w.game(), &ClientGame::changed, &m_context, [this] { take(); });
    }
    const std::vector<Snapshot>& log() const { return m_log; }
    // The snapshots whose status ends with the suffix.
    std::vector<Snapshot> ending(const QString& suffix) const {
        std::vector<Snapshot> out;
        for (const Snapshot& s : m_log)
            if (s.status.endsWith(suffix))
                out.push_back(s);
        return out;
    }
    bool saw(const QString& status) const {
        return std::any_of(m_log.begin(), m_log.end(),
                           [&](const Snapshot& s) { return s.status == status; });
    }
    void clear() { m_log.clear(); }

private:
    void take() {
        const QString status = text(m_w, "label_status");
        if (!m_log.empty() && m_log.back().status == status)
            return;
        Snapshot s;
        s.status = status;
        s.turn = text(m_w, "label_turn");
        s.waiting = shown(m_w, "label_waiting");
        s.startButton = shown(m_w, "button_start");
        s.arrows = shown(m_w, "arrow_left") || shown(m_w, "arrow_right");
        s.bar = barInFront(m_w);
        for (int seat = 1; seat <= 4; ++seat) {
            s.winner[seat] =
                shown(m_w, QByteArray("image_winner" + QByteArray::number(seat)).constData());
            s.scores[seat] = m_w.board().scoreLabel(seat)->text();
            if (m_t)
                s.serverScores[seat] = m_t->player(seat).score;
        }
        m_log.push_back(s);
    }

    Tchat& m_w;
    const GameTable* m_t;
    QObject m_context;
    std::vector<Snapshot> m_log;
};

// Whether the window may act now: its seat is on turn at the server and on the board, and the
// board holds the server's hand.
inline bool readyToPlay(Tchat& w, const GameTable& t) {
    const int seat = w.game().myseat();
    return w.game().loggedin() && t.state().gamerunning && t.state().currentseat == seat &&
           w.game().whoseturn() == seat && !w.game().colourChooserShown() && handMatches(w, t);
}

inline bool mayPlay(int code, const GameTable& t) {
    return isSpecial(code) || mayFollow(code, t.state().topcard, t.state().gametype);
}

// The card id of the first card in the hand for which pick(code) holds, or 0.
inline int findCard(Tchat& w, const std::function<bool(int)>& pick) {
    for (int id : w.game().handIds())
        if (const HandCard* c = w.game().card(id); c && pick(c->code))
            return id;
    return 0;
}

inline void click(QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(target, button, Qt::NoModifier, QPoint(5, 5));
}

inline void clickCard(Tchat& w, int id, Qt::MouseButton button = Qt::LeftButton) {
    click(w.board().cardPicture(id), button);
}

inline QWidget* chooserBar(Tchat& w, int colourValue) {
    static const char* const names[4] = {"choose_blue", "choose_green", "choose_red",
                                         "choose_yellow"};
    return widget(w, QLatin1String(names[colourValue - card::kBlue]));
}

// A seed after which the server's next card is the given code.
inline std::uint64_t seedForCard(int code) {
    for (std::uint64_t seed = 1;; ++seed) {
        SeededRandom r(seed);
        if (makeCard(r.uniform(kCardDraws)) == code)
            return seed;
    }
}

// Clicks the draw pile and waits for the card (or, with a full hand, for the turn to pass):
// the turn stays with the player while the server answers, so a second click would draw again.
inline bool drawAndWait(Tchat& w, const GameTable& t) {
    const int seat = w.game().myseat();
    const qsizetype before = w.game().handIds().size();
    click(widget(w, QStringLiteral("image_draw")));
    return QTest::qWaitFor(
        [&] { return w.game().handIds().size() != before || t.state().currentseat != seat; }, 5000);
}

// Plays one turn of a ready window the plain way: a coloured card that follows, else a Wild
// (naming the colour of the first coloured card held), else another special card, else a draw.
// Returns what it did: the code played, or -1 for a draw.
inline int playPlainTurn(Tchat& w, const GameTable& t) {
    const int coloured = findCard(w, [&](int c) {
        return isColoured(c) && mayFollow(c, t.state().topcard, t.state().gametype);
    });
    if (coloured) {
        const int code = w.game().card(coloured)->code;
        clickCard(w, coloured);
        return code;
    }
    if (const int wild = findCard(w, [](int c) { return c == card::kWild; })) {
        const int firstColoured = findCard(w, isColoured);
        const int colour =
            firstColoured ? colourCodeOf(w.game().card(firstColoured)->code) : card::kBlue;
        clickCard(w, wild);
        click(chooserBar(w, colour));
        return card::kWild;
    }
    if (const int special = findCard(w, isSpecial)) {
        const int code = w.game().card(special)->code;
        clickCard(w, special);
        return code;
    }
    drawAndWait(w, t);
    return -1;
}

inline constexpr int kTurnTimeout = 30000; // a computer that draws waits half a second per card

// Waits until one of the windows may play, or the game is over at the server and on every
// window. Returns the window on turn, or nullptr when the game is over.
inline Tchat* nextTurn(const std::vector<Tchat*>& players, const std::vector<Tchat*>& all,
                       const GameTable& t) {
    Tchat* ready = nullptr;
    const bool ok = QTest::qWaitFor(
        [&] {
            for (Tchat* w : players)
                if (readyToPlay(*w, t)) {
                    ready = w;
                    return true;
                }
            if (t.state().gamerunning)
                return false;
            return std::all_of(all.begin(), all.end(), [](Tchat* w) {
                return text(*w, "label_status").endsWith(QStringLiteral(" Wins!"));
            });
        },
        kTurnTimeout);
    if (!ok)
        qWarning("no turn came: server seat %d", t.state().currentseat);
    return ready;
}

} // namespace vrako::tabletest
