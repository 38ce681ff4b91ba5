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
    explicit ClientConnection(QObject* parent = nullptr);
    ~ClientConnection() override;

    void open(const QString& host, quint16 port);
    TSock& sock() { return m_sock; }
    std::size_t queued() const { return m_receivedlist.size(); }

public slots:
    void send(const QByteArray& bytes);

signals:
    void messageReceived(const std::string& message);
    // The connection is gone and every message that came before the close has been handed out.
    void socketClosed();
    // A connection that could not be made or broke: the socket's report, e.g. a refusal.
    void errorReported(const QString& message);

private:
    void sockRead();
    void sockInfo(TSocketInfo info, const QString& msg);
    void processsocktimer();

    TSock m_sock;
    MessageFramer m_framer;
    std::deque<std::string> m_receivedlist;
    QTimer m_timer;
    bool m_closed = false;
};

} // namespace vrako
