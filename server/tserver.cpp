// SPDX-License-Identifier: MIT
#include "server/tserver.h"

#include "net/messages.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace vrako {
namespace {

// Counts nesting of logic steps, so that closes asked for inside one wait until it ends.
class Depth {
public:
    explicit Depth(int& depth) : m_depth(depth) { ++m_depth; }
    ~Depth() { --m_depth; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& m_depth;
};

// Runs one step of the logic; nothing a peer sends may take the server down.
template <typename F> void guarded(int& depth, F&& step) {
    Depth d(depth);
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

TServer::TServer(std::uint64_t seed, QObject* parent)
    : QObject(parent), m_random(seed), m_logic(*this, m_random), socktimer(this), Timer2(this),
      computertimer(this), logintimer(this) {
    m_clock.start();
    Sock1 = new TSock(this);
    connect(Sock1, &TSock::OnAccept, this, &TServer::Sock1Accept);
    // The dispatcher runs on the next pass of the event loop while messages wait, and rests
    // while the queue is empty.
    socktimer.setSingleShot(true);
    socktimer.setInterval(0);
    connect(&socktimer, &QTimer::timeout, this, &TServer::socktimerTimer);
    // The round pause and the computer's moves are measured times: a coarse timer could end
    // them early.
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setTimerType(Qt::PreciseTimer);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this,
            [this] { guarded(m_logicDepth, [this] { m_logic.roundTimerFired(); }); });
    computertimer.setObjectName(QStringLiteral("computertimer"));
    computertimer.setTimerType(Qt::PreciseTimer);
    computertimer.setSingleShot(true);
    connect(&computertimer, &QTimer::timeout, this, [this] {
        guarded(m_logicDepth, [this] { m_logic.computerTimerFired(); });
        emit tableMayHaveChanged();
    });
    logintimer.setSingleShot(true);
    connect(&logintimer, &QTimer::timeout, this, &TServer::checkLogins);
}

TServer::~TServer() {
    for (Connection& c : m_connections) {
        if (c.sock) {
            QObject::disconnect(c.sock, nullptr, this, nullptr);
            c.sock->Close();
        }
    }
}

void TServer::listen(quint16 port) {
    Sock1->setPortName(QString::number(port));
    Sock1->setListen(true);
}

void TServer::stopListening() {
    Sock1->setListen(false);
}

quint16 TServer::port() const {
    return Sock1->localPort();
}

int TServer::connectionCount() const {
    return static_cast<int>(std::count_if(m_connections.begin(), m_connections.end(),
                                          [](const Connection& c) { return c.id != 0; }));
}

std::size_t TServer::queuedBytes() const {
    std::size_t total = 0;
    for (const Connection& c : m_connections)
        total += c.queuedBytes;
    return total;
}

void TServer::Sock1Accept() {
    TSock* sock = nullptr;
    try {
        if (!Sock1->Accept(sock) || !sock)
            return;
    } catch (const ESockException&) {
        return;
    }
    const int record = m_logic.placeConnection();
    if (record == ServerLogic::kFullRecord) {
        try {
            sock->Send(QByteArray::fromStdString(msg::full()));
        } catch (const ESockException&) {
        }
        sock->Close();
        sock->deleteLater();
        emit connectionAccepted(record);
        return;
    }
    Connection& c = m_connections[record];
    c = Connection{};
    c.id = ++m_lastId;
    c.sock = sock;
    c.budget = SendBudget(m_sendLimits);
    c.loginDeadline = m_clock.elapsed() + m_loginTimeout;
    sock->Tag = record;
    connect(sock, &TSock::OnRead, this, [this, record, sock](int) { Sock1Read(record, sock); });
    connect(sock, &TSock::OnDisconnect, this,
            [this, record, sock] { connectionLost(record, sock); });
    connect(sock, &TSock::OnInfo, this,
            [this, record, sock](TSocketInfo info, const QString& text) {
                tempsockInfo(record, sock, info, text);
            });
    guarded(m_logicDepth, [this, record] { m_logic.welcome(record); });
    if (!logintimer.isActive())
        logintimer.start(m_loginTimeout);
    emit connectionAccepted(record);
}

void TServer::Sock1Read(int record, TSock* sock) {
    Connection& c = m_connections[record];
    if (c.sock != sock)
        return;
    QByteArray bytes;
    try {
        bytes = sock->Receive();
    } catch (const ESockException&) {
        return;
    }
    std::vector<std::string> messages;
    const bool withinLimit = c.framer.feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), messages);
    const bool withinBudget =
        c.budget.charge(messages.size(), static_cast<std::size_t>(bytes.size()), m_clock.elapsed());
    for (std::string& m : messages) {
        // An empty message (two 0xFF in a row, as after every login) names no command.
        if (m.empty())
            continue;
        c.queuedBytes += m.size();
        receivedlist.push_back({record, c.id, std::move(m), false});
        ++c.queued;
    }
    if (!withinLimit || !withinBudget || c.queued > kMaxQueuedPerConnection ||
        c.queuedBytes > kMaxQueuedBytesPerConnection) {
        disconnectsock(record);
        return;
    }
    scheduleDispatch();
}

void TServer::scheduleDispatch() {
    if (!receivedlist.empty() && !socktimer.isActive())
        socktimer.start();
}

void TServer::socktimerTimer() {
    if (receivedlist.empty())
        return;
    Received entry = std::move(receivedlist.front());
    receivedlist.pop_front();
    Connection& c = m_connections[entry.record];
    // Only the connection that sent it may act on the record.
    if (c.id == entry.connection) {
        if (entry.closed) {
            finishClose(entry.record);
        } else {
            --c.queued;
            c.queuedBytes -= entry.message.size();
            guarded(m_logicDepth, [&] { m_logic.handleMessage(entry.record, entry.message); });
            emit tableMayHaveChanged();
        }
    }
    scheduleDispatch();
}

void TServer::tempsockInfo(int record, TSock* sock, TSocketInfo info, const QString& text) {
    // A connection that failed (reset, unreachable, a send that cannot be delivered) has ended
    // too, or its record would stay taken for good.
    if (info == TSocketInfo::Error ||
        (info == TSocketInfo::Close && text == QLatin1String("Socket Closed")))
        connectionLost(record, sock);
}

void TServer::connectionLost(int record, TSock* sock) {
    Connection& c = m_connections[record];
    if (c.sock != sock)
        return;
    releaseSocket(c);
    receivedlist.push_back({record, c.id, {}, true});
    scheduleDispatch();
}

void TServer::releaseSocket(Connection& c) {
    TSock* sock = c.sock;
    c.sock = nullptr;
    c.framer.clear();
    // Nothing of the socket is heard any more; it may be inside one of its own signals, so it
    // is deleted from the event loop.
    QObject::disconnect(sock, nullptr, this, nullptr);
    sock->Close();
    sock->deleteLater();
}

void TServer::disconnectsock(int record) {
    Connection& c = m_connections[record];
    if (c.id == 0)
        return;
    const std::uint64_t id = c.id;
    std::erase_if(receivedlist, [id](const Received& entry) { return entry.connection == id; });
    if (c.sock)
        releaseSocket(c);
    finishClose(record);
}

void TServer::requestDisconnect(int record) {
    if (m_logicDepth == 0) {
        disconnectsock(record);
        return;
    }
    const std::uint64_t id = m_connections[record].id;
    QMetaObject::invokeMethod(
        this,
        [this, record, id] {
            if (m_connections[record].id == id)
                disconnectsock(record);
        },
        Qt::QueuedConnection);
}

void TServer::finishClose(int record) {
    m_connections[record] = Connection{};
    guarded(m_logicDepth, [this, record] { m_logic.connectionClosed(record); });
    emit connectionDropped(record);
    emit tableMayHaveChanged();
}

void TServer::checkLogins() {
    const std::int64_t now = m_clock.elapsed();
    std::int64_t next = -1;
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        const Connection& c = m_connections[r];
        if (!c.sock || m_logic.table().player(r).loggedIn)
            continue;
        if (c.loginDeadline <= now)
            disconnectsock(r);
        else if (next < 0 || c.loginDeadline < next)
            next = c.loginDeadline;
    }
    if (next >= 0)
        logintimer.start(static_cast<int>(next - now));
}

void TServer::send(int record, std::string_view bytes) {
    TSock* sock = m_connections[record].sock;
    if (!sock || !sock->Connected())
        return;
    try {
        sock->Send(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    } catch (const ESockException&) {
        requestDisconnect(record);
        return;
    }
    // The send may have found the peer gone and closed the socket.
    if (m_connections[record].sock == sock && sock->pendingOutput() > kMaxPendingOutput)
        requestDisconnect(record);
}

} // namespace vrako
