// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QByteArray>
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

    // The port a listener is bound to (useful after listening on port "0").
    quint16 localPort() const;

    int Tag = 0;

    bool Open();
    bool Send(const QByteArray& bytes);
    QByteArray Receive();
    bool Accept(TSock*& newSock);
    bool Close();

    // Bytes handed to Send and not yet accepted by the kernel.
    qsizetype pendingOutput() const { return m_out.size(); }

signals:
    void OnRead(int count);
    void OnDisconnect();
    void OnInfo(vrako::TSocketInfo info, const QString& msg);
    void OnAccept();
    void OnConnect();
    void OnWrite();

private:
    void report(TSocketInfo info, const QString& msg);
    void reportError(int winsockCode);
    quint16 resolvePort();
    quint32 resolveHost();
    void createNotifiers(bool listener);
    void destroyNotifiers();
    void onReadable();
    void onWritable();
    void flushOutput();
    void adoptAccepted(int fd, const QString& peerAddress, TSock* listener);

    int m_fd = -1;
    bool m_connected = false;
    bool m_connecting = false;
    bool m_listening = false;
    QString m_hostName;
    QString m_portName;
    QByteArray m_in;
    QByteArray m_out;
    quint32 m_peerAddr = 0; // network byte order
    quint16 m_peerPort = 0; // host byte order
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace vrako

Q_DECLARE_METATYPE(vrako::TSocketInfo)
