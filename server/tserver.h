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
// logic one per event-loop pass, oldest first; carries the logic's messages and timers.
//
// Input: what a connection sends enters the queue only while the connection has fewer than its
// share waiting there and its send budget is not overdrawn. Until then its cut messages wait
// with the connection and it is not read any further: the rest waits in the kernel and TCP
// slows the sender down. So a flood or a long paste is delayed, never closed and never loses a
// line, and the others' messages wait behind at most one share of it. Only input that can never
// be valid (an unfinished message over MessageFramer::kMaxPending) closes a connection.
//
// Output: a reader is closed when it has taken nothing for the stall timeout while output waits
// for it, or when what waits passes kMaxPendingOutput; a slow reader that takes something stays.
//
// Closes: a connection the peer ends (a close or a reset) is read to its end first, so what it
// sent before is kept; its close waits behind its messages, and when they are handled the record
// is freed and the table told. A write that fails only stops the output; the close is noticed
// when the input has been read. A connection the server ends (a kick, no login in time, invalid
// input, a stalled or overfull reader) is freed at once and what it left waiting is dropped.
class TServer : public QObject, private ServerHost {
    Q_OBJECT
public:
    // Messages a connection may have waiting in the queue; what it sends beyond that waits to
    // be read. Small, so that others' messages never wait behind much of one sender's.
    static constexpr int kMaxQueuedPerConnection = 4;
    // Nor may the text of its waiting messages exceed this (a message may be nearly 64 KiB).
    static constexpr std::size_t kMaxQueuedBytesPerConnection = 256 * 1024;
    // A reader with more than this waiting for it is closed, however it reads: nine of them
    // bound the server's memory.
    static constexpr qsizetype kMaxPendingOutput = 16 << 20;
    // A reader that takes nothing this long while output waits for it is closed.
    static constexpr int kStallTimeoutMs = 60000;
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
    // 0 (or less): connections may take as long as they like to log in.
    void setLoginTimeout(int ms) { m_loginTimeout = ms; }
    void setStallTimeout(int ms) { m_stallTimeout = ms; }
    // What each connection accepted from now on may send.
    void setSendLimits(const SendBudget::Limits& limits) { m_sendLimits = limits; }
    void setSeed(std::uint64_t seed) { m_random.reseed(seed); }
    // How long the seat of a player who dropped out of a game waits for a newcomer from the
    // player's address before anyone may take it.
    void setSeatHold(int ms) { m_logic.setSeatHold(ms); }

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
        // Messages cut from what was read that have not entered the queue yet, oldest first.
        std::deque<std::string> held;
        // The peer closed; the close enters the queue once held is empty.
        bool closeHeld = false;
        int queued = 0;
        std::size_t queuedBytes = 0;
        SendBudget budget;
        // When the budget is within again (on m_clock, in ms); 0 while nothing waits for it.
        std::int64_t admitAt = 0;
        std::int64_t loginDeadline = 0; // on m_clock, in ms; 0 for none
        // The peer's IPv4 address, dotted; a seat dropped out of is held for it.
        std::string address;
        // The host removed this connection, so its seat is not held.
        bool removed = false;
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
    // Moves held messages of record into the queue as far as its share and budget allow, and
    // pauses or resumes reading it accordingly.
    void admit(int record);
    void admitDue();
    void scheduleAdmit();
    void checkOutput();
    void socktimerTimer();
    void tempsockInfo(int record, TSock* sock, TSocketInfo info);
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
    // Only a kick asks the host to close a connection.
    void closeConnection(int record) override;
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
    // Fires when the earliest overdrawn budget is within again.
    QTimer admittimer;
    // Looks for stalled readers while output waits for any connection.
    QTimer outputtimer;
    QElapsedTimer m_clock;
    int m_loginTimeout = kLoginTimeoutMs;
    int m_stallTimeout = kStallTimeoutMs;
    SendBudget::Limits m_sendLimits;
    std::uint64_t m_lastId = 0;
    int m_logicDepth = 0;
};

} // namespace vrako
