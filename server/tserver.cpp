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
      computertimer(this) {
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
    connect(&computertimer, &QTimer::timeout, this,
            [this] { guarded(m_logicDepth, [this] { m_logic.computerTimerFired(); }); });
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

quint16 TServer::port() const {
    return Sock1->localPort();
}

int TServer::connectionCount() const {
    return int(std::count_if(m_connections.begin(), m_connections.end(),
                             [](const Connection& c) { return c.sock != nullptr; }));
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
    c.sock = sock;
    sock->Tag = record;
    connect(sock, &TSock::OnRead, this, [this, record, sock](int) { Sock1Read(record, sock); });
    connect(sock, &TSock::OnDisconnect, this, [this, record, sock] { requestClose(record, sock); });
    connect(sock, &TSock::OnInfo, this,
            [this, record, sock](TSocketInfo info, const QString& text) {
                tempsockInfo(record, sock, info, text);
            });
    guarded(m_logicDepth, [this, record] { m_logic.welcome(record); });
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
    const bool withinLimit =
        c.framer.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())), messages);
    for (std::string& m : messages) {
        // An empty message (two 0xFF in a row, as after every login) names no command.
        if (m.empty())
            continue;
        c.queuedBytes += m.size();
        receivedlist.emplace_back(record, std::move(m));
        ++c.queued;
    }
    if (!withinLimit || c.queued > kMaxQueuedPerConnection ||
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
    auto [record, message] = std::move(receivedlist.front());
    receivedlist.pop_front();
    --m_connections[record].queued;
    m_connections[record].queuedBytes -= message.size();
    guarded(m_logicDepth, [&] { m_logic.handleMessage(record, message); });
    scheduleDispatch();
}

void TServer::tempsockInfo(int record, TSock* sock, TSocketInfo info, const QString& text) {
    // A connection that failed (reset, unreachable) is closed too, or its record would stay
    // taken for good.
    if (info == TSocketInfo::Error ||
        (info == TSocketInfo::Close && text == QLatin1String("Socket Closed")))
        requestClose(record, sock);
}

void TServer::requestClose(int record, TSock* sock) {
    if (m_connections[record].sock != sock)
        return;
    if (m_logicDepth == 0) {
        disconnectsock(record);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, record, sock] {
            if (m_connections[record].sock == sock)
                disconnectsock(record);
        },
        Qt::QueuedConnection);
}

void TServer::disconnectsock(int record) {
    Connection& c = m_connections[record];
    TSock* sock = c.sock;
    if (!sock)
        return;
    c.sock = nullptr;
    c.framer.clear();
    c.queued = 0;
    c.queuedBytes = 0;
    // Messages still waiting from this connection must not be taken for a later newcomer's.
    std::erase_if(receivedlist, [record](const auto& entry) { return entry.first == record; });
    QObject::disconnect(sock, nullptr, this, nullptr);
    sock->Close();
    sock->deleteLater();
    guarded(m_logicDepth, [this, record] { m_logic.connectionClosed(record); });
    emit connectionDropped(record);
}

void TServer::send(int record, std::string_view bytes) {
    TSock* sock = m_connections[record].sock;
    if (!sock || !sock->Connected())
        return;
    try {
        sock->Send(QByteArray(bytes.data(), qsizetype(bytes.size())));
    } catch (const ESockException&) {
        requestClose(record, sock);
        return;
    }
    if (sock->pendingOutput() > kMaxPendingOutput)
        requestClose(record, sock);
}

} // namespace vrako
