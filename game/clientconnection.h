// SPDX-License-Identifier: MIT
#pragma once

#include "net/framing.h"
#include "net/tsock.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <string>

namespace vrako {

// The client's one connection to the game server: it queues received messages and hands them
// out one at a time, oldest first, on later passes of the event loop (never inside the socket
// event), and resting while the queue is empty.
class ClientConnection : public QObject {
    Q_OBJECT
public:
    // Why a connection could not be made, as far as the player can do something about it.
    enum class Failure { Refused, Unreachable, UnknownHost, Other };
    Q_ENUM(Failure)
    // How a connection that was made ended: the server closed it in order, or it broke (a
    // reset, a failed write, a server that is not a game server).
    enum class Ending { Closed, Lost };
    Q_ENUM(Ending)

    // An attempt that has not connected in this long has failed as unreachable: the system
    // would keep trying for about two minutes.
    static constexpr int kConnectTimeoutMs = 20000;

    explicit ClientConnection(QObject* parent = nullptr);
    ~ClientConnection() override;

    // Connects to host:port; an earlier attempt that failed is given up first.
    void open(const QString& host, quint16 port);
    TSock& sock() { return m_sock; }
    std::size_t queued() const { return m_receivedlist.size(); }
    void setConnectTimeout(int ms) { m_connectTimer.setInterval(ms); }

public slots:
    void send(const QByteArray& bytes);

signals:
    void messageReceived(const std::string& message);
    // The connection is gone and every message that came before the close has been handed out.
    void socketClosed(vrako::ClientConnection::Ending ending);
    // A connection that could not be made or broke: the socket's report, e.g. a refusal.
    void errorReported(const QString& message);
    // The attempt begun by open() failed; report is what the socket said.
    void connectFailed(vrako::ClientConnection::Failure failure, const QString& report);

private:
    void sockRead();
    void sockInfo(TSocketInfo info, const QString& msg);
    void sockClosed();
    void processsocktimer();
    void failAttempt(Failure failure, const QString& report);

    TSock m_sock;
    MessageFramer m_framer;
    std::deque<std::string> m_receivedlist;
    QTimer m_timer;
    QTimer m_connectTimer;
    bool m_attempting = false;
    bool m_wasConnected = false;
    bool m_closed = false;
    Ending m_ending = Ending::Lost;
};

} // namespace vrako
