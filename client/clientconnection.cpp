// SPDX-License-Identifier: MIT
#include "client/clientconnection.h"

#include <QPointer>

namespace vrako {

ClientConnection::ClientConnection(QObject* parent) : QObject(parent), m_sock(this) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ClientConnection::processsocktimer);
    connect(&m_sock, &TSock::OnRead, this, &ClientConnection::sockRead);
    connect(&m_sock, &TSock::OnInfo, this, &ClientConnection::sockInfo);
}

ClientConnection::~ClientConnection() {
    // The socket reports its own close while it is destroyed; nobody here listens any more.
    m_sock.disconnect(this);
}

void ClientConnection::open(const QString& host, quint16 port) {
    try {
        m_sock.setPortName(QString::number(port));
        m_sock.setHostName(host);
        m_sock.Open();
    } catch (const ESockException& e) {
        emit errorReported(QString::fromUtf8(e.what()));
    }
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
    if (info == TSocketInfo::Error) {
        emit errorReported(msg);
        // A reset or a failed write on an established connection: it is gone, as if closed.
        if (m_sock.Connected()) {
            m_sock.Close();
            return;
        }
    }
    if (msg != QLatin1String("Socket Closed") || m_closed)
        return;
    // What the server said before it closed (a full game, a removal) is still shown first.
    m_closed = true;
    if (m_receivedlist.empty())
        emit socketClosed();
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
        emit socketClosed();
}

} // namespace vrako
