// SPDX-License-Identifier: MIT
#include "client_helper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vrako::test {
namespace {
std::vector<TestClient*>& liveClients() {
    static std::vector<TestClient*> clients;
    return clients;
}
} // namespace

TestClient::TestClient(quint16 port, int receiveBuffer, bool spun, const std::string& from) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0)
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    if (!from.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
        if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
            peerClosed = true;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // The kernel completes the handshake from the listen backlog; the server accepts later.
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
        peerClosed = true;
    int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    if (spun)
        liveClients().push_back(this);
}

TestClient::~TestClient() {
    std::erase(liveClients(), this);
    close();
}

void TestClient::close() {
    m_stopFlood = true;
    if (m_flood.joinable())
        m_flood.join();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TestClient::reset() {
    linger lg{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
    close();
}

void TestClient::finishSending() {
    ::shutdown(m_fd, SHUT_WR);
}

void TestClient::send(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && m_fd >= 0) {
        const ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            QCoreApplication::processEvents();
            pump();
        } else {
            return;
        }
    }
}

void TestClient::flood(std::string message) {
    m_flood = std::thread([this, message = std::move(message)] {
        std::size_t done = 0;
        while (!m_stopFlood) {
            const ssize_t n =
                ::send(m_fd, message.data() + done, message.size() - done, MSG_NOSIGNAL);
            if (n > 0) {
                done = (done + std::size_t(n)) % message.size();
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 10);
            } else {
                return;
            }
        }
    });
}

void TestClient::limitReading(std::size_t bytesPerSecond) {
    m_readRate = bytesPerSecond;
    m_readTotal = 0;
    m_readClock.start();
}

void TestClient::pump() {
    if (m_fd < 0 || peerClosed || m_stopped)
        return;
    char buf[65536];
    for (;;) {
        std::size_t most = sizeof buf;
        if (m_readRate > 0) {
            const auto allowed =
                m_readRate * static_cast<std::size_t>(m_readClock.elapsed()) / 1000;
            most = std::min(most, allowed > m_readTotal ? allowed - m_readTotal : 0);
            if (most == 0)
                return;
        }
        const ssize_t n = ::recv(m_fd, buf, most, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            peerClosed = true;
            return;
        }
        if (n < 0)
            return;
        m_readTotal += std::size_t(n);
        m_tail.append(buf, std::size_t(n));
        std::size_t end;
        while ((end = m_tail.find('\xFF')) != std::string::npos) {
            messages.push_back(m_tail.substr(0, end + 1));
            m_tail.erase(0, end + 1);
            if (onMessage)
                onMessage(messages.back());
        }
    }
}

int TestClient::record() const {
    const std::string prefix = "CMD_sendlogininfo+";
    for (const std::string& m : messages) {
        if (m.starts_with(prefix))
            return std::atoi(m.c_str() + prefix.size());
    }
    return 0;
}

bool TestClient::has(std::string_view bytes) const {
    return count(bytes) > 0;
}

std::size_t TestClient::count(std::string_view bytes) const {
    return std::size_t(std::count(messages.begin(), messages.end(), bytes));
}

bool spinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (TestClient* c : std::vector<TestClient*>(liveClients()))
            c->pump();
        if (done())
            return true;
        if (clock.elapsed() > ms)
            return false;
        QThread::usleep(200);
    }
}

void spinFor(int ms) {
    spinUntil([] { return false; }, ms);
}

} // namespace vrako::test
