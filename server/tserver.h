// SPDX-License-Identifier: MIT
#pragma once

#include "net/framing.h"
#include "net/tsock.h"
#include "server/rules.h"
#include "server/sendbudget.h"
#include "server/serverhost.h"
#include "server/serverlogic.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace vrako {

// The game server on the network: listens, accepts connections into records, cuts what they
// send into messages, queues them with the connection they came from and hands them to the game
// logic one per event-loop pass; carries the logic's messages and timers.
//
// A connection the peer ends (a close, a reset, a failed send) stops being read at once, and
// its close waits in the queue behind the messages it sent before: they are handled, then the
// record is freed and the table told. A connection the server ends (a kick, a flood, a reader
// that stops reading, no login in time) is freed at once and what it left waiting is dropped.
class TServer : public QObject, private ServerHost {
    Q_OBJECT
public:
    // A connection with more messages than this waiting in the queue is flooding: it is closed.
    static constexpr int kMaxQueuedPerConnection = 2000;
    // Nor may the text of its waiting messages exceed this: a few large messages (each may be
    // nearly 64 KiB) would otherwise hold far more memory than a count of them suggests.
    static constexpr std::size_t kMaxQueuedBytesPerConnection = 256 * 1024;
    // A connection that does not read what it is sent is closed once this much is waiting.
    static constexpr qsizetype kMaxPendingOutput = 1 << 20;
    // A connection that has not logged in this long after it was told its record is closed.
    static constexpr int kLoginTimeoutMs = 30000;

    explicit TServer(std::uint64_t seed, QObject* parent = nullptr);
    ~TServer() override;

    // Starts listening on port (0: a free port the system picks). Throws ESockException
    // ("Listen - Error Binding Socket") when the port cannot be had.
    void listen(quint16 port);
    // Closes the listening socket; the connections already made play on.
    void stopListening();
    quint16 port() const;

    void setBotSpeed(int ms) { m_logic.table().setBotSpeed(ms); }
    void setRoundPause(int ms) { m_logic.table().setRoundPause(ms); }
    void setComputerRetry(int ms) { m_logic.table().setComputerRetry(ms); }
    void setLoginTimeout(int ms) { m_loginTimeout = ms; }
    // What each connection accepted from now on may send.
    void setSendLimits(const SendBudget::Limits& limits) { m_sendLimits = limits; }
    void setSeed(std::uint64_t seed) { m_random.reseed(seed); }

    ServerLogic& logic() { return m_logic; }
    // Records held by a connection now (one whose close still waits in the queue included).
    int connectionCount() const;
    std::size_t queuedMessages() const { return receivedlist.size(); }
    // Bytes of message text waiting in the queue, over all connections.
    std::size_t queuedBytes() const;

signals:
    // A connection was placed in record (1..9) or refused (10).
    void connectionAccepted(int record);
    // The connection of record was closed and the record freed.
    void connectionDropped(int record);
    // Who is at the table or whether a game runs may have changed: sent after every step of
    // the logic (a login, a close, a move that starts or ends a game); see
    // tableStatus().
    void tableMayHaveChanged();

private:
    struct Connection {
        // Counts connections over the server's life; 0 while the record has none.
        std::uint64_t id = 0;
        // Null once the connection is closed.
        TSock* sock = nullptr;
        MessageFramer framer;
        int queued = 0;
        std::size_t queuedBytes = 0;
        SendBudget budget;
        std::int64_t loginDeadline = 0; // on m_clock, in ms
    };
    // One received message, or the close of its connection.
    struct Received {
        int record = 0;
        std::uint64_t connection = 0;
        std::string message;
        bool closed = false;
    };

    void Sock1Accept();
    void Sock1Read(int record, TSock* sock);
    void socktimerTimer();
    void tempsockInfo(int record, TSock* sock, TSocketInfo info, const QString& msg);
    // The peer ended the connection: stop reading it and queue its close.
    void connectionLost(int record, TSock* sock);
    // Closes the connection of record at once, drops what it left waiting and frees the record.
    void disconnectsock(int record);
    // Does the same once the logic is not in the middle of a step.
    void requestDisconnect(int record);
    void finishClose(int record);
    void releaseSocket(Connection& c);
    void checkLogins();
    void scheduleDispatch();

    // ServerHost
    void send(int record, std::string_view bytes) override;
    void closeConnection(int record) override { disconnectsock(record); }
    void startComputerTimer(int ms) override { computertimer.start(ms); }
    void stopComputerTimer() override { computertimer.stop(); }
    void startRoundTimer(int ms) override { Timer2.start(ms); }
    void stopRoundTimer() override { Timer2.stop(); }

    SeededRandom m_random;
    ServerLogic m_logic;
    TSock* Sock1 = nullptr;
    std::array<Connection, GameTable::kRecords + 1> m_connections{}; // index 0 unused
    // Received messages and closes of all connections in order of arrival.
    std::deque<Received> receivedlist;
    QTimer socktimer;
    // The pause between a round's end and the next round (the game's first version named it
    // Timer2, and tests find it by that name).
    QTimer Timer2;
    QTimer computertimer;
    // Fires at the earliest login deadline.
    QTimer logintimer;
    QElapsedTimer m_clock;
    int m_loginTimeout = kLoginTimeoutMs;
    SendBudget::Limits m_sendLimits;
    std::uint64_t m_lastId = 0;
    int m_logicDepth = 0;
};

} // namespace vrako
