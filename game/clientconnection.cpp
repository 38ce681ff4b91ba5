// SPDX-License-Identifier: MIT
#include "game/clientconnection.h"

#include <QPointer>

namespace vrako {
namespace {

// The WinSock code in an error report ("Error #10061 (WSAECONNREFUSED)"), or 0.
int reportedCode(const QString& report) {
    static const QString prefix = QStringLiteral("Error #");
    if (!report.startsWith(prefix))
        return 0;
    return report.mid(prefix.size()).section(QLatin1Char(' '), 0, 0).toInt();
}

ClientConnection::Failure failureOf(const QString& report) {
    switch (reportedCode(report)) {
    case 10061: // WSAECONNREFUSED
        return ClientConnection::Failure::Refused;
    case 10050: // WSAENETDOWN
    case 10051: // WSAENETUNREACH
    case 10060: // WSAETIMEDOUT
    case 10064: // WSAEHOSTDOWN
    case 10065: // WSAEHOSTUNREACH
        return ClientConnection::Failure::Unreachable;
    default:
        return ClientConnection::Failure::Other;
    }
}

} // namespace

ClientConnection::ClientConnection(QObject* parent) : QObject(parent), m_sock(this) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ClientConnection::processsocktimer);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (!m_attempting || m_sock.Connected())
            return;
        m_sock.Close(); // a late answer must not connect after the player was told
        failAttempt(Failure::Unreachable,
                    QStringLiteral("No answer in %1 s").arg(m_connectTimer.interval() / 1000.0));
    });
    connect(&m_sock, &TSock::OnRead, this, &ClientConnection::sockRead);
    connect(&m_sock, &TSock::OnInfo, this, &ClientConnection::sockInfo);
    connect(&m_sock, &TSock::OnClosed, this, &ClientConnection::sockClosed);
    // Only the server's orderly close comes this way; a reset arrives as an error report.
    connect(&m_sock, &TSock::OnDisconnect, this, [this] { m_ending = Ending::Closed; });
}

ClientConnection::~ClientConnection() {
    // The socket reports its own close while it is destroyed; nobody here listens any more.
    m_sock.disconnect(this);
}

void ClientConnection::open(const QString& host, quint16 port) {
    if (m_sock.Connected())
        return;
    // An attempt that failed keeps its handle; its close is not the end of a game.
    m_attempting = false;
    m_wasConnected = false;
    if (m_sock.hasHandle())
        m_sock.Close();
    m_closed = false;
    m_ending = Ending::Lost;
    m_framer.clear();
    m_receivedlist.clear(); // what an earlier connection left is not this one's
    m_attempting = true;
    m_connectTimer.start();
    try {
        m_sock.setPortName(QString::number(port));
        m_sock.setHostName(host);
        m_sock.Open();
    } catch (const ESockException& e) {
        const QString report = QString::fromUtf8(e.what());
        emit errorReported(report);
        failAttempt(report.startsWith(QLatin1String("Host Lookup")) ? Failure::UnknownHost
                                                                    : Failure::Other,
                    report);
    }
}

void ClientConnection::failAttempt(Failure failure, const QString& report) {
    if (!m_attempting)
        return;
    m_attempting = false;
    m_connectTimer.stop();
    emit connectFailed(failure, report);
}

void ClientConnection::send(const QByteArray& bytes) {
    try {
        m_sock.Send(bytes);
    } catch (const ESockException&) {
        // Not connected (any more): nothing can be sent.
    }
}

void ClientConnection::sockRead() {
    QByteArray bytes;
    try {
        bytes = m_sock.Receive();
    } catch (const ESockException&) {
        return;
    }
    std::vector<std::string> messages;
    if (!m_framer.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())), messages)) {
        m_sock.Close(); // a peer that never ends its message is not a game server
        return;
    }
    for (std::string& m : messages)
        m_receivedlist.push_back(std::move(m));
    if (!m_receivedlist.empty() && !m_timer.isActive())
        m_timer.start();
}

void ClientConnection::sockInfo(TSocketInfo info, const QString& msg) {
    if (info == TSocketInfo::Connect) {
        m_wasConnected = true;
        m_attempting = false;
        m_connectTimer.stop();
        return;
    }
    if (info == TSocketInfo::Error) {
        emit errorReported(msg);
        // A reset or a failed write on an established connection: it is gone, as if closed.
        if (m_sock.Connected()) {
            m_ending = Ending::Lost;
            m_sock.Close();
        } else {
            failAttempt(failureOf(msg), msg);
        }
    }
}

void ClientConnection::sockClosed() {
    // Closing an attempt that never connected ends no game.
    if (!m_wasConnected || m_closed)
        return;
    // What the server said before it closed (a full game, a removal) is still shown first.
    m_closed = true;
    if (m_receivedlist.empty())
        emit socketClosed(m_ending);
}

void ClientConnection::processsocktimer() {
    if (m_receivedlist.empty())
        return;
    const std::string message = std::move(m_receivedlist.front());
    m_receivedlist.pop_front();
    if (!m_receivedlist.empty())
        m_timer.start();
    QPointer<ClientConnection> self(this);
    emit messageReceived(message);
    if (self && m_closed && m_receivedlist.empty())
        emit socketClosed(m_ending);
}

} // namespace vrako
