// SPDX-License-Identifier: MIT
#include "server/tserver.h"

#include "net/messages.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace vrako {
namespace {

// The longest chat line fits a full budget, so pasting one never holds a sender back: its relay,
// longer still, is at most kMaxRelayed.
static_assert(SendBudget::Limits{}.byteBurst >= static_cast<double>(msg::kMaxRelayed));

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

// Runs one step of the logic; nothing a peer sends may take the server down. A step that throws
// is a fault of ours, so it is logged for whoever runs the server.
template <typename F> void guarded(int& depth, F&& step) {
    Depth d(depth);
    try {
        step();
    } catch (const std::exception& e) {
        qWarning("vrako: a server step failed: %s", e.what());
    }
}

} // namespace

TServer::TServer(std::uint64_t seed, QObject* parent)
    : QObject(parent), m_random(seed), m_logic(*this, m_random), socktimer(this), Timer2(this),
      computertimer(this), logintimer(this), admittimer(this), outputtimer(this) {
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
    admittimer.setSingleShot(true);
    connect(&admittimer, &QTimer::timeout, this, &TServer::admitDue);
    connect(&outputtimer, &QTimer::timeout, this, &TServer::checkOutput);
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
    const std::string address = sock->HostName().toStdString();
    const int record = m_logic.placeConnection(address, m_clock.elapsed());
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
    c.address = address;
    c.budget = SendBudget(m_sendLimits);
    if (m_loginTimeout > 0)
        c.loginDeadline = m_clock.elapsed() + m_loginTimeout;
    sock->Tag = record;
    connect(sock, &TSock::OnRead, this, [this, record, sock](int) { Sock1Read(record, sock); });
    connect(sock, &TSock::OnDisconnect, this,
            [this, record, sock] { connectionLost(record, sock); });
    connect(sock, &TSock::OnInfo, this,
            [this, record, sock](TSocketInfo info) { tempsockInfo(record, sock, info); });
    connect(sock, &TSock::OnClosed, this, [this, record, sock] { connectionLost(record, sock); });
    guarded(m_logicDepth, [this, record] { m_logic.welcome(record); });
    if (m_loginTimeout > 0 && !logintimer.isActive())
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
    if (!c.framer.append(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        // An unfinished message this long can never become a valid one.
        disconnectsock(record);
        return;
    }
    admit(record);
}

void TServer::admit(int record) {
    Connection& c = m_connections[record];
    const std::int64_t now = m_clock.elapsed();
    c.admitAt = 0;
    std::string message;
    while (c.framer.hasMessage() && c.queued < kMaxQueuedPerConnection &&
           c.queuedBytes < kMaxQueuedBytesPerConnection) {
        const std::int64_t wait = c.budget.msUntilWithin(now);
        if (wait > 0) {
            c.admitAt = now + wait;
            break;
        }
        c.framer.next(message);
        // The message that overdraws the budget still goes in: it has arrived whole, and the
        // ones after it wait until the budget has refilled.
        c.budget.charge(1, message.size() + 1, now);
        // An empty message (two 0xFF in a row, as after every login) names no command.
        if (message.empty())
            continue;
        c.queuedBytes += message.size();
        ++c.queued;
        receivedlist.push_back({record, c.id, std::move(message), false});
    }
    if (!c.framer.hasMessage() && c.closeHeld) {
        c.closeHeld = false;
        receivedlist.push_back({record, c.id, {}, true});
    }
    // Reading on would only pile up what cannot enter the queue yet.
    if (c.sock)
        c.sock->setReadPaused(c.framer.hasMessage());
    scheduleAdmit();
    scheduleDispatch();
}

void TServer::admitDue() {
    const std::int64_t now = m_clock.elapsed();
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        if (m_connections[r].admitAt != 0 && m_connections[r].admitAt <= now)
            admit(r);
    }
    scheduleAdmit();
}

void TServer::scheduleAdmit() {
    std::int64_t next = 0;
    for (const Connection& c : m_connections) {
        if (c.admitAt != 0 && (next == 0 || c.admitAt < next))
            next = c.admitAt;
    }
    if (next == 0) {
        admittimer.stop();
        return;
    }
    const auto wait = static_cast<int>(std::max<std::int64_t>(0, next - m_clock.elapsed()));
    if (!admittimer.isActive() || admittimer.remainingTime() > wait)
        admittimer.start(wait);
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
            // Its share has room again (unless the message ended the connection).
            if (c.id == entry.connection)
                admit(entry.record);
            emit tableMayHaveChanged();
        }
    }
    scheduleDispatch();
}

void TServer::tempsockInfo(int record, TSock* sock, TSocketInfo info) {
    // A connection whose reading failed (a reset, an unreachable peer) has ended too, or its
    // record would stay taken for good. A failed write only stops the output: what the peer
    // sent before is still read, and its close is found after it.
    if (info == TSocketInfo::Error && sock->readFailed())
        connectionLost(record, sock);
}

void TServer::connectionLost(int record, TSock* sock) {
    Connection& c = m_connections[record];
    if (c.sock != sock)
        return;
    // Everything the peer sent was read before its close was reported; the close waits
    // behind the messages not yet in the queue.
    releaseSocket(c);
    c.closeHeld = true;
    admit(record);
}

void TServer::releaseSocket(Connection& c) {
    TSock* sock = c.sock;
    c.sock = nullptr;
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

void TServer::closeConnection(int record) {
    m_connections[record].removed = true;
    disconnectsock(record);
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
    const Departure how{std::move(m_connections[record].address), m_clock.elapsed(),
                        m_connections[record].removed};
    m_connections[record] = Connection{};
    scheduleAdmit();
    guarded(m_logicDepth, [this, record, &how] { m_logic.connectionClosed(record, how); });
    emit connectionDropped(record);
    emit tableMayHaveChanged();
}

void TServer::checkLogins() {
    const std::int64_t now = m_clock.elapsed();
    std::int64_t next = -1;
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        const Connection& c = m_connections[r];
        if (!c.sock || c.loginDeadline == 0 || m_logic.table().player(r).loggedIn)
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
    if (m_connections[record].sock != sock)
        return;
    if (sock->pendingOutput() > kMaxPendingOutput) {
        requestDisconnect(record);
    } else if (!outputtimer.isActive()) {
        // Watches whether the readers take what was sent, often enough to close a stalled one
        // soon after its time is up; it stops once nothing waits.
        outputtimer.start(std::clamp(m_stallTimeout / 4, 10, 1000));
    }
}

void TServer::checkOutput() {
    bool waiting = false;
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        TSock* sock = m_connections[r].sock;
        const qint64 stalled = sock ? sock->outputStalledMs() : -1;
        if (stalled >= m_stallTimeout)
            disconnectsock(r);
        else if (stalled >= 0)
            waiting = true;
    }
    if (!waiting)
        outputtimer.stop();
}

} // namespace vrako
