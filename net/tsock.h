// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

class QSocketNotifier;

namespace vrako {

// Kinds of information reports a socket raises through OnInfo.
enum class TSocketInfo { Lookup = 0, Connect, Close, Listen, Receive, Send, Accept, Error };

// Fixed English name of each report kind ("Lookup", "Connect", ...).
QString socketInfoName(TSocketInfo info);

// WinSock-style name of an error code ("WSAECONNREFUSED"), or "UNKNOWN ERROR".
QString winsockErrorName(int code);

// Maps a POSIX errno value to the WinSock code the reports use (ECONNREFUSED -> 10061).
int winsockCodeFromErrno(int err);

// Errors the socket raises synchronously; the message is one of the fixed texts.
class ESockException : public std::runtime_error {
public:
    explicit ESockException(const std::string& msg) : std::runtime_error(msg) {}
};

// One non-blocking IPv4 TCP socket whose readiness becomes events on the GUI thread.
//
// Events (signals) are raised from the event loop in the order the kernel reports readiness:
// OnRead after each read, OnDisconnect then Close on an orderly close by the peer, OnAccept on a
// listener with a waiting connection, OnConnect once a connection is established, OnWrite after
// write readiness. Asynchronous errors arrive only as an OnInfo report of kind Error.
//
// A read takes what the kernel holds (up to a bound per event) and hands all of it up in one
// OnRead before it reports a close or an error that followed it, so that nothing the peer sent
// before a close or a reset is lost. A failed write drops the output but leaves reading on: the
// input that arrived before the failure is still read, and the close is noticed after it.
//
// Handlers may call Send and Close (and delete the socket with deleteLater) from inside any
// signal; the socket never touches itself after a signal whose handler destroyed it.
class TSock : public QObject {
    Q_OBJECT
public:
    explicit TSock(QObject* parent = nullptr);
    ~TSock() override;

    TSock(const TSock&) = delete;
    TSock& operator=(const TSock&) = delete;

    QString HostName() const { return m_hostName; }
    void setHostName(const QString& name);
    QString PortName() const { return m_portName; }
    void setPortName(const QString& name);

    bool Listen() const { return m_listening; }
    void setListen(bool on);

    bool Connected() const { return m_connected; }
    bool hasHandle() const { return m_fd >= 0; }
    // The descriptor (-1 without one), for looking at its options; the socket keeps it.
    int handle() const { return m_fd; }

    // The port a listener is bound to (useful after listening on port "0").
    quint16 localPort() const;

    int Tag = 0;

    // Starts a non-blocking connection to HostName:PortName and returns Connected (false while
    // it is under way). A socket that already has a handle returns Connected and does nothing;
    // a failed look-up throws and leaves the created handle in place until Close.
    bool Open();
    bool Send(const QByteArray& bytes);
    QByteArray Receive();

    // Takes one waiting connection into a new connected TSock owned by this listener. A Qt
    // connection cannot be copied, so the new socket starts with no receivers: the caller
    // connects its signals either after Accept returns or, to also hear the two "Setting ...
    // While Connected Has No Effect" reports that Accept raises on the new socket, inside
    // setup, which runs before those reports.
    bool Accept(TSock*& newSock, const std::function<void(TSock*)>& setup = {});
    bool Close();

    // Bytes handed to Send and not yet accepted by the kernel.
    qsizetype pendingOutput() const { return m_out.size(); }
    // How long output has waited without the peer taking any of it, in ms; -1 while none
    // waits. Output waits here (pendingOutput) or in the kernel, sent and not yet acknowledged;
    // the peer takes some whenever the kernel accepts or the peer acknowledges bytes. Looks at
    // the kernel's queue, so the owner calls it now and then while output waits.
    qint64 outputStalledMs();
    // True once reading failed (the connection is over) or writing failed (reading goes on).
    bool readFailed() const { return m_failed; }
    bool writeFailed() const { return m_outputFailed; }

    // Stops and resumes reading a connection. While paused its input waits in the kernel (and
    // TCP slows the peer down once that is full); nothing is lost, and a close or reset by the
    // peer is noticed after what came before it has been read on resuming.
    void setReadPaused(bool paused);
    bool readPaused() const { return m_readPaused; }

signals:
    void OnRead(int count);
    void OnDisconnect();
    void OnInfo(vrako::TSocketInfo info, const QString& msg);
    void OnAccept();
    void OnConnect();
    // The connection ended: raised by every Close of a socket that is not a listener, right
    // after its "Socket Closed" report, so that users need not compare the report's text.
    void OnClosed();
    void OnWrite();

private:
    void report(TSocketInfo info, const QString& msg);
    void reportError(int winsockCode);
    quint16 resolvePort();
    quint32 resolveHost();
    void createNotifiers(bool listener);
    void destroyNotifiers();
    void onReadable();
    void pauseAccepting();
    void onWritable();
    void flushOutput();
    void adoptAccepted(int fd, const QString& peerAddress, TSock* listener);
    void updateNotifiers();
    void failConnection(int winsockCode);
    void failOutput(int winsockCode);

    int m_fd = -1;
    bool m_connected = false;
    bool m_connecting = false;
    bool m_listening = false;
    // A hard error on reading: the connection's readiness is no longer watched.
    bool m_failed = false;
    // A hard error on writing: output is dropped, but reading goes on so that the peer's close
    // is still noticed.
    bool m_outputFailed = false;
    bool m_readPaused = false;
    // errno of a connect() that failed at once; reported from the event loop like any other.
    int m_connectErrno = 0;
    // WinSock code of a reset found when the connection was noticed; reported once what came
    // before it has been read.
    int m_resetAfterInput = 0;
    // Counts handles this object has held, so that a deferred call meant for an earlier
    // handle is not applied to a later one that happens to get the same descriptor number.
    quint32 m_generation = 0;
    QString m_hostName;
    QString m_portName;
    QByteArray m_in;
    QByteArray m_out;
    // Restarts whenever the peer is seen taking output.
    QElapsedTimer m_outputProgress;
    // Bytes the kernel accepted, and how many of them the peer had acknowledged when last seen.
    quint64 m_handedOver = 0;
    quint64 m_acknowledged = 0;
    quint32 m_peerAddr = 0; // network byte order
    quint16 m_peerPort = 0; // host byte order
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace vrako

Q_DECLARE_METATYPE(vrako::TSocketInfo)
