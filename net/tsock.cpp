// SPDX-License-Identifier: MIT
#include "net/tsock.h"

#include <QHash>
#include <QMetaMethod>
#include <QMetaType>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vrako {

namespace {

constexpr qsizetype kReadChunk = 32768;
// Most one readiness event takes, so that a connection with much waiting cannot hold up the
// others; the rest is read on the next pass of the event loop.
constexpr qsizetype kReadPerEvent = 2 * kReadChunk;
constexpr int kBacklog = 5;
// How long a listener rests when a waiting connection cannot be taken yet.
constexpr int kAcceptPauseMs = 200;

// Host names already resolved in this process, keyed by their lower-case form.
QHash<QString, quint32>& hostCache() {
    static QHash<QString, quint32> cache;
    return cache;
}

void registerMetaTypes() {
    static const int id = qRegisterMetaType<vrako::TSocketInfo>("vrako::TSocketInfo");
    Q_UNUSED(id);
}

int newStreamSocket() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
}

void setNoDelay(int fd) {
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// A peer that vanishes without a word (a dropped network, a sleeping laptop) is noticed within
// about 25 s: the kernel probes an idle connection after 10 s, every 5 s, and gives up after 3
// unanswered probes; data left unacknowledged that long ends it as well. Either way reading
// fails with ETIMEDOUT and the connection ends like any other that fails.
constexpr int kKeepIdleS = 10;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepProbes = 3;
constexpr unsigned kUnacknowledgedMs = 25000;

void setKeepAlive(int fd) {
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleS, sizeof kKeepIdleS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalS, sizeof kKeepIntervalS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepProbes, sizeof kKeepProbes);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUnacknowledgedMs, sizeof kUnacknowledgedMs);
}

bool isTransient(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

} // namespace

QString socketInfoName(TSocketInfo info) {
    switch (info) {
    case TSocketInfo::Lookup:
        return QStringLiteral("Lookup");
    case TSocketInfo::Connect:
        return QStringLiteral("Connect");
    case TSocketInfo::Close:
        return QStringLiteral("Close");
    case TSocketInfo::Listen:
        return QStringLiteral("Listen");
    case TSocketInfo::Receive:
        return QStringLiteral("Receive");
    case TSocketInfo::Send:
        return QStringLiteral("Send");
    case TSocketInfo::Accept:
        return QStringLiteral("Accept");
    case TSocketInfo::Error:
        return QStringLiteral("Error");
    }
    return QString();
}

TSock::TSock(QObject* parent) : QObject(parent) {
    registerMetaTypes();
    m_outputProgress.start();
}

TSock::~TSock() {
    if (m_listening || m_connected) {
        Close();
    } else if (m_fd >= 0) {
        // Still connecting (or a failed look-up left the handle): released without a report.
        ::close(m_fd);
        m_fd = -1;
    }
}

void TSock::setHostName(const QString& name) {
    if (m_connected)
        report(TSocketInfo::Lookup,
               QStringLiteral("Setting HostName While Connected Has No Effect"));
    m_hostName = name;
}

void TSock::setPortName(const QString& name) {
    if (m_connected)
        report(TSocketInfo::Lookup,
               QStringLiteral("Setting PortName While Connected Has No Effect"));
    m_portName = name;
}

quint16 TSock::localPort() const {
    if (m_fd < 0)
        return 0;
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return 0;
    return ntohs(addr.sin_port);
}

void TSock::report(TSocketInfo info, const QString& msg) {
    emit OnInfo(info, msg);
}

void TSock::reportError(int winsockCode) {
    report(TSocketInfo::Error,
           QStringLiteral("Error #%1 (%2)").arg(winsockCode).arg(winsockErrorName(winsockCode)));
}

quint16 TSock::resolvePort() {
    report(TSocketInfo::Lookup, QStringLiteral("Lookup Of Port ") + m_portName);
    if (!m_portName.isEmpty() && m_portName.at(0).isDigit()) {
        bool ok = false;
        const uint port = m_portName.toUInt(&ok, 10);
        if (!ok || port > 65535)
            throw ESockException("Port Lookup - Invalid Port Number " + m_portName.toStdString());
        return static_cast<quint16>(port);
    }
    const QByteArray name = m_portName.toUtf8();
    const servent* entry =
        m_portName.isEmpty() ? nullptr : ::getservbyname(name.constData(), "tcp");
    if (!entry)
        throw ESockException("Port Lookup - Could Not Find Service Entry");
    return ntohs(static_cast<quint16>(entry->s_port));
}

quint32 TSock::resolveHost() {
    report(TSocketInfo::Lookup, QStringLiteral("Lookup Of Host ") + m_hostName);
    if (m_hostName.isEmpty())
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    if (m_hostName.at(0).isDigit()) {
        in_addr addr{};
        // inet_aton also takes the short dotted forms ("127.1") that WinSock accepts.
        if (::inet_aton(m_hostName.toLatin1().constData(), &addr) == 0)
            throw ESockException("Host Lookup - Could Not Find Host Entry");
        return addr.s_addr;
    }
    const QString key = m_hostName.toLower();
    const auto cached = hostCache().constFind(key);
    if (cached != hostCache().constEnd())
        return *cached;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    // Blocks the event loop for the duration of the look-up, once per name and process.
    if (::getaddrinfo(m_hostName.toUtf8().constData(), nullptr, &hints, &result) != 0 || !result)
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    const quint32 addr = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(result);
    hostCache().insert(key, addr);
    return addr;
}

void TSock::createNotifiers(bool listener) {
    destroyNotifiers();
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TSock::onReadable);
    if (!listener) {
        m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, &TSock::onWritable);
    }
    updateNotifiers();
}

void TSock::destroyNotifiers() {
    // Close may run inside a notifier's own activation, so the notifiers are only switched off
    // here and deleted once control is back in the event loop.
    for (QSocketNotifier** n : {&m_readNotifier, &m_writeNotifier}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->disconnect(this);
            (*n)->deleteLater();
            *n = nullptr;
        }
    }
}

void TSock::updateNotifiers() {
    // Write readiness is level-triggered: watching it with nothing to write would wake the loop
    // continuously, so it is watched only while connecting or while output waits.
    const bool alive = m_fd >= 0 && !m_failed;
    if (m_readNotifier)
        m_readNotifier->setEnabled(alive && (m_listening || (m_connected && !m_readPaused)));
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(
            alive && !m_listening &&
            ((m_connecting && m_connectErrno == 0) || (m_connected && !m_out.isEmpty())));
}

void TSock::failConnection(int winsockCode) {
    m_failed = true;
    m_out.clear();
    updateNotifiers();
    reportError(winsockCode);
}

void TSock::failOutput(int winsockCode) {
    m_outputFailed = true;
    m_out.clear();
    updateNotifiers();
    reportError(winsockCode);
}

qint64 TSock::outputStalledMs() {
    int unacknowledged = 0;
    if (m_fd < 0 || !m_connected || ::ioctl(m_fd, SIOCOUTQ, &unacknowledged) != 0 ||
        unacknowledged < 0)
        unacknowledged = 0;
    const quint64 acknowledged = m_handedOver - static_cast<quint64>(unacknowledged);
    if (acknowledged != m_acknowledged) {
        m_acknowledged = acknowledged;
        m_outputProgress.start();
    }
    if (m_out.isEmpty() && unacknowledged == 0)
        return -1;
    return m_outputProgress.elapsed();
}

void TSock::setReadPaused(bool paused) {
    if (m_listening || m_readPaused == paused)
        return;
    m_readPaused = paused;
    updateNotifiers();
}

bool TSock::Open() {
    if (m_fd >= 0)
        return m_connected;
    m_fd = newStreamSocket();
    if (m_fd < 0)
        throw ESockException("Open - Could Not Create Socket");
    ++m_generation;
    m_failed = false;
    m_outputFailed = false;
    m_readPaused = false;
    m_connectErrno = 0;
    m_resetAfterInput = 0;
    const quint16 port = resolvePort();
    const quint32 host = resolveHost();
    m_peerAddr = host;
    m_peerPort = port;
    setNoDelay(m_fd);
    setKeepAlive(m_fd);

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = host;
    m_connecting = true;
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 &&
        errno != EINPROGRESS && errno != EINTR) {
        // The outcome is delivered from the event loop, as for a connection that fails later.
        m_connectErrno = errno;
        const quint32 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] {
            if (m_generation == generation && m_connecting)
                onWritable();
        });
    }
    createNotifiers(false);
    return m_connected;
}

void TSock::setListen(bool on) {
    if (!on) {
        Close();
        report(TSocketInfo::Listen, QStringLiteral("Listening Stopped"));
        return;
    }
    if (m_fd >= 0 && !m_listening)
        throw ESockException("Listen - Socket Already In Use");
    if (m_listening) {
        report(TSocketInfo::Listen, QStringLiteral("Listening Already Running"));
        return;
    }
    m_fd = newStreamSocket();
    if (m_fd < 0)
        throw ESockException("Listen - Error Binding Socket");
    const quint16 port = resolvePort();
    int one = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    // A failed listen gives its descriptor back, so the socket can listen again later.
    const auto fail = [this](const char* what) {
        ::close(m_fd);
        m_fd = -1;
        throw ESockException(what);
    };
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
        fail("Listen - Error Binding Socket");
    if (::listen(m_fd, kBacklog) != 0)
        fail("Listen - Error Starting Listen");
    m_listening = true;
    m_failed = false;
    createNotifiers(true);
    report(TSocketInfo::Listen, QStringLiteral("Listening Started"));
}

bool TSock::Accept(TSock*& newSock, const std::function<void(TSock*)>& setup) {
    if (!m_listening)
        throw ESockException("Accept - Socket Not In Listening Mode");
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int fd =
        ::accept4(m_fd, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // Out of descriptors or memory: the connection stays waiting, and the listener would be
        // reported readable again at once. Rest a moment instead of spinning.
        if (err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM)
            pauseAccepting();
        report(TSocketInfo::Accept, QStringLiteral("Could Not Accept Connection"));
        return false;
    }
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &peer.sin_addr, dotted, sizeof dotted);
    auto* sock = new TSock(this);
    sock->m_peerAddr = peer.sin_addr.s_addr;
    sock->m_peerPort = ntohs(peer.sin_port);
    if (setup)
        setup(sock);
    sock->adoptAccepted(fd, QString::fromLatin1(dotted), this);
    newSock = sock;
    report(TSocketInfo::Accept, QStringLiteral("Created New TSock Structure"));
    return true;
}

void TSock::adoptAccepted(int fd, const QString& peerAddress, TSock* listener) {
    m_fd = fd;
    m_connected = true;
    setNoDelay(m_fd);
    setKeepAlive(m_fd);
    createNotifiers(false);
    setPortName(listener->m_portName);
    setHostName(peerAddress);
}

bool TSock::Send(const QByteArray& bytes) {
    if (m_fd < 0)
        throw ESockException("Send - Socket Not Connected");
    if (m_listening)
        throw ESockException("Send - Cannot Send On A Listener Socket");
    if (m_failed || m_outputFailed)
        return true; // the connection is gone; nothing can be delivered any more
    m_out.append(bytes);
    flushOutput();
    return true;
}

void TSock::flushOutput() {
    if (m_out.isEmpty())
        return;
    report(TSocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    // A handler of the report may have closed the socket; until the connection is up the bytes
    // simply wait.
    if (m_fd < 0 || m_failed || !m_connected || m_out.isEmpty()) {
        updateNotifiers();
        return;
    }
    const ssize_t sent = ::send(m_fd, m_out.constData(), static_cast<size_t>(m_out.size()),
                                MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
        if (sent == m_out.size())
            m_out.clear();
        else
            m_out.remove(0, sent);
        m_handedOver += static_cast<quint64>(sent);
        m_outputProgress.start();
    } else if (sent < 0 && !isTransient(errno)) {
        failOutput(winsockCodeFromErrno(errno));
        return;
    }
    updateNotifiers();
}

QByteArray TSock::Receive() {
    if (m_fd < 0 && m_in.isEmpty())
        throw ESockException("Receive - Socket Not Connected");
    if (m_listening)
        throw ESockException("Receive - Cannot Receive On A Listener Socket");
    QByteArray taken;
    taken.swap(m_in);
    return taken;
}

bool TSock::Close() {
    destroyNotifiers();
    ++m_generation;
    const bool ok = m_fd >= 0 && ::close(m_fd) == 0;
    m_fd = -1;
    m_connected = false;
    m_connecting = false;
    m_failed = false;
    m_outputFailed = false;
    m_readPaused = false;
    m_connectErrno = 0;
    m_resetAfterInput = 0;
    m_out.clear();
    const bool wasListener = m_listening;
    m_listening = false;
    if (!wasListener) {
        QPointer<TSock> self(this);
        report(TSocketInfo::Close, QStringLiteral("Socket Closed"));
        if (self)
            emit OnClosed();
    }
    return ok;
}

void TSock::onReadable() {
    if (m_fd < 0 || m_failed)
        return;
    if (m_listening) {
        if (!isSignalConnected(QMetaMethod::fromSignal(&TSock::OnAccept))) {
            pauseAccepting(); // nobody takes the connection yet
            return;
        }
        emit OnAccept();
        return;
    }
    // Reads until the kernel has nothing more, the peer's close or an error, or the bound of
    // one event. Everything read is handed up before the close or error is reported: data that
    // arrived before a reset stays readable on Linux and must not be lost with it.
    qsizetype taken = 0;
    bool peerClosed = false;
    int error = 0;
    while (taken < kReadPerEvent) {
        const qsizetype had = m_in.size();
        const qsizetype want = std::min(kReadChunk, kReadPerEvent - taken);
        m_in.resize(had + want);
        const ssize_t got = ::recv(m_fd, m_in.data() + had, static_cast<size_t>(want), 0);
        const int err = errno;
        m_in.resize(had + (got > 0 ? got : 0));
        if (got > 0) {
            taken += got;
            continue;
        }
        if (got == 0)
            peerClosed = true;
        else if (err == EINTR)
            continue;
        else if (!isTransient(err))
            error = err;
        break;
    }
    QPointer<TSock> self(this);
    const quint32 generation = m_generation;
    if (taken > 0) {
        report(TSocketInfo::Receive, QStringLiteral("Non-Blocking Incoming Data"));
        if (self)
            emit OnRead(static_cast<int>(m_in.size()));
        // A handler may have closed the socket (or destroyed it, or opened a new connection);
        // then what followed the data belongs to a connection that is gone.
        if (!self || m_generation != generation || m_fd < 0 || m_failed)
            return;
    }
    if (peerClosed && m_resetAfterInput != 0) {
        // The connection was reset before its connect was handled; its data has now been read.
        failConnection(m_resetAfterInput);
    } else if (peerClosed) {
        // Orderly close by the peer.
        emit OnDisconnect();
        if (self)
            Close();
    } else if (error != 0) {
        failConnection(winsockCodeFromErrno(error));
    }
}

void TSock::pauseAccepting() {
    if (!m_readNotifier)
        return;
    m_readNotifier->setEnabled(false);
    const quint32 generation = m_generation;
    QTimer::singleShot(kAcceptPauseMs, this, [this, generation] {
        if (m_generation == generation && m_listening && m_readNotifier)
            m_readNotifier->setEnabled(true);
    });
}

void TSock::onWritable() {
    if (m_fd < 0 || m_failed)
        return;
    QPointer<TSock> self(this);
    if (m_connecting) {
        int err = m_connectErrno;
        if (err == 0) {
            socklen_t len = sizeof err;
            if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                err = errno;
        }
        if (err == ECONNRESET || err == EPIPE) {
            // The connection was made and reset before this notification was handled (a server
            // that answered at once and closed hard). What it sent is still waiting in the
            // kernel: the socket counts as connected, reads it, and reports the reset after it.
            m_resetAfterInput = winsockCodeFromErrno(err);
        } else if (err != 0) {
            // The attempt failed: the socket stays in the connecting state until it is closed,
            // but its readiness is no longer watched.
            m_connectErrno = err;
            updateNotifiers();
            reportError(winsockCodeFromErrno(err));
            return;
        }
        m_connecting = false;
        m_connected = true;
        updateNotifiers();
        report(TSocketInfo::Connect, QStringLiteral("Non-Blocking Socket Connected"));
        if (!self)
            return;
        emit OnConnect();
        if (!self || !m_connected)
            return;
    }
    flushOutput();
    if (!self || m_fd < 0 || m_failed)
        return;
    report(TSocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (self)
        emit OnWrite();
}

} // namespace vrako
