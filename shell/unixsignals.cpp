// SPDX-License-Identifier: MIT
#include "shell/unixsignals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace vrako {
namespace {

// The write end of the pipe; the handler may touch nothing else.
volatile sig_atomic_t g_writeFd = -1;

} // namespace

UnixSignals::UnixSignals(const QList<int>& signalNumbers, QObject* parent) : QObject(parent) {
    if (g_writeFd != -1)
        return;
    int fds[2];
    // Non-blocking, so that a burst of signals can never stall the handler on a full pipe.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    m_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readPipe);

    for (int number : signalNumbers) {
        struct sigaction action = {};
        action.sa_handler = &UnixSignals::handle;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous = {};
        if (::sigaction(number, &action, &previous) == 0)
            m_previous.append({number, previous});
    }

    // The session manager asks for the data to be saved before the session ends (or only to
    // checkpoint it); the owner saves here and leaves ending the program to the manager.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { emit sessionEnding(); });
}

UnixSignals::~UnixSignals() {
    if (!m_notifier)
        return;
    for (const auto& [number, previous] : m_previous)
        ::sigaction(number, &previous, nullptr);
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(m_readFd);
}

void UnixSignals::handle(int signalNumber) {
    // Only async-signal-safe calls here: one write, errno left as the interrupted code had it.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

void UnixSignals::readPipe() {
    unsigned char bytes[64];
    ssize_t n = 0;
    while ((n = ::read(m_readFd, bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            emit terminationRequested(bytes[i]);
}

} // namespace vrako
