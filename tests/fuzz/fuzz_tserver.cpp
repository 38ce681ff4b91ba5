// SPDX-License-Identifier: MIT
// The whole server over real loopback connections: clients connect, send random pieces and
// well-formed requests, stop reading, reset, close and get removed by the host, in any order,
// while the event loop runs in short slices. After every step the server holds no more than
// nine records and exactly those it announced; at the end every record of a closed client is
// freed and a fresh honest client is still served.
//
// The first bytes set the server up (seed, login deadline, send limits); then each step is
// one operation byte and the bytes it takes (see step()). Timers are a few milliseconds, so
// one input runs in a fraction of a second.
#include "net/commands.h"
#include "net/framing.h"
#include "net/messages.h"
#include "server/tserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Reads the input; past its end every byte is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    unsigned byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string bytes(std::size_t n) {
        n = std::min(n, m_size - std::min(m_pos, m_size));
        std::string out(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A peer on a plain non-blocking socket; it reads only when pumped and not stalled.
class Client {
public:
    Client(quint16 port, bool smallBuffer) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        require(m_fd >= 0);
        if (smallBuffer) {
            const int size = 2048;
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        }
        const int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // On loopback the kernel completes the handshake from the backlog at once.
        const int rc = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
        require(rc == 0 || errno == EINPROGRESS);
    }
    ~Client() { reset(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Sends what the socket takes now; the rest is dropped, as a peer that gives up would.
    void send(std::string_view bytes) {
        if (m_fd < 0 || m_writeClosed)
            return;
        while (!bytes.empty()) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    void pump() {
        if (m_fd < 0 || stalled || m_peerClosed)
            return;
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n == 0)
                m_peerClosed = true;
            if (n <= 0)
                return;
            std::vector<std::string> messages;
            if (!m_framer.feed(std::string_view(buffer, static_cast<std::size_t>(n)), messages))
                m_peerClosed = true;
            for (const std::string& m : messages)
                take(m);
        }
    }
    void closeWrite() {
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_WR);
        m_writeClosed = true;
    }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Closes with a reset instead of an orderly close.
    void reset() {
        if (m_fd < 0)
            return;
        const linger lg{1, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
        close();
    }

    bool stalled = false;
    // The record the server named in CMD_sendlogininfo, 0 before.
    int record = 0;
    bool full = false;
    std::vector<std::string> seen;

private:
    void take(const std::string& m) {
        const std::string login = std::string(vrako::cmd::sendlogininfo) + '+';
        if (m.starts_with(login))
            record = std::atoi(m.c_str() + login.size());
        else if (m.starts_with(vrako::cmd::full))
            full = true;
        // Only what the honest client waits for is kept.
        if (m.starts_with(vrako::cmd::newplayerinfo) && seen.size() < 64)
            seen.push_back(m);
    }

    int m_fd = -1;
    bool m_writeClosed = false;
    bool m_peerClosed = false;
    vrako::MessageFramer m_framer;
};

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "fuzz_tserver";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

class Run {
public:
    explicit Run(Input& in) : m_in(in) {
        const unsigned low = in.byte();
        m_server = std::make_unique<vrako::TServer>(low | in.byte() << 8);
        const unsigned setup = in.byte();
        m_server->setLoginTimeout(5 + static_cast<int>(setup % 8) * 10);
        m_server->setBotSpeed(1);
        m_server->setRoundPause(2);
        m_server->setComputerRetry(1);
        // Budgets that run dry within an input and refill within milliseconds.
        vrako::SendBudget::Limits limits;
        limits.messagesPerSecond = 20000;
        limits.messageBurst = setup & 0x08 ? 40 : 2000;
        limits.bytesPerSecond = 4 << 20;
        limits.byteBurst = setup & 0x10 ? 16 * 1024 : 256 * 1024;
        m_server->setSendLimits(limits);
        QObject::connect(m_server.get(), &vrako::TServer::connectionAccepted, [this](int r) {
            require(r >= 1 && r <= 10);
            if (r <= 9)
                require(m_live.insert(r).second);
        });
        QObject::connect(m_server.get(), &vrako::TServer::connectionDropped,
                         [this](int r) { require(m_live.erase(r) == 1); });
        m_server->listen(0);
        require(m_server->port() != 0);
    }

    ~Run() {
        m_clients.clear();
        m_server.reset();
        settle();
    }

    void steps() {
        while (!m_in.atEnd()) {
            step();
            slice(0);
            check();
        }
    }

    // Every client goes; every record is freed; then a newcomer is welcomed and logs in. The
    // waits are generous for a loaded machine: each ends as soon as its condition holds.
    void finish() {
        for (auto& c : m_clients)
            c->reset();
        require(runUntil([this] { return m_server->connectionCount() == 0; }, 10000));
        require(m_live.empty() && m_server->queuedMessages() == 0);
        m_server->setLoginTimeout(10000);
        Client honest(m_server->port(), false);
        require(runUntil([&] { return honest.pump(), honest.record != 0; }, 10000, &honest));
        // The first free record, or a seat held during a game for a player from this address
        // (every client here comes from the loopback address).
        const int r = honest.record;
        require(r >= 1 && r <= 4);
        honest.send(vrako::msg::logininfo(r, vrako::cmd::version, "Honest"));
        const std::string welcome = vrako::msg::newplayerinfo(r, "Honest");
        const std::string expected = welcome.substr(0, welcome.size() - 1);
        require(runUntil(
            [&] {
                honest.pump();
                return std::find(honest.seen.begin(), honest.seen.end(), expected) !=
                       honest.seen.end();
            },
            10000, &honest));
        check();
    }

private:
    // A well-formed request of one of the kinds a client sends, with numbers from the input.
    std::string request(const Client& c) {
        // The byte is read either way, so that an input reads the same however fast the
        // server answered.
        const unsigned given = m_in.byte();
        const int record = c.record ? c.record : static_cast<int>(given % 11);
        const int n = static_cast<int>(m_in.byte());
        // Text of up to 15 bytes from the input.
        const auto text = [this, n] { return m_in.bytes(static_cast<std::size_t>(n % 16)); };
        namespace msg = vrako::msg;
        switch (m_in.byte() % 10) {
        case 0:
            return msg::logininfo(record, n & 1 ? vrako::cmd::version : "0.9", text());
        case 1:
            return msg::chat(record, text(), "$00FF0000");
        case 2:
            return msg::startgame("Host", 1 + n % 12,
                                  n & 1 ? vrako::GameType::SameNumber
                                        : vrako::GameType::OneMoreOrLess);
        case 3:
            return msg::playcard(record, n & 0x80 ? 53 + n % 4 : 0, 1 + n % 14);
        case 4:
            return msg::drawcard(record);
        case 5:
            return msg::justwatch(1 + n % 4, 1 + n % 2);
        case 6:
            return msg::kickhim(1, n % 11);
        case 7:
            return msg::playasound(record, n % 22);
        case 8:
            return msg::action(record, text(), "$00000000");
        default:
            // Every request but the login in a row, as a busy player sends them.
            return msg::drawcard(record) + msg::playcard(record, 0, 1 + n % 14) +
                   msg::chat(record, "gg", "$00000000");
        }
    }

    void step() {
        const unsigned op = m_in.byte() % 12;
        if (op <= 1) {
            // Up to twelve at a time: the tenth and later are told the game is full.
            if (m_clients.size() < 12)
                m_clients.push_back(std::make_unique<Client>(m_server->port(), op == 1));
            return;
        }
        if (op == 8) {
            // The event loop runs for a moment: timers fire, the queue drains. An input waits
            // no more than 100 ms in all, so that the fuzzer keeps its pace.
            const int ms = 1 + static_cast<int>(m_in.byte() % 4);
            if (m_waited + ms <= 100) {
                m_waited += ms;
                slice(ms);
            }
            return;
        }
        if (op == 11) {
            // The host removes someone: sent by whoever holds record 1.
            const int target = static_cast<int>(m_in.byte() % 11);
            for (auto& c : m_clients)
                if (c->record == 1)
                    c->send(vrako::msg::kickhim(1, target));
            return;
        }
        if (m_clients.empty())
            return;
        const std::size_t index = m_in.byte() % m_clients.size();
        Client* c = m_clients[index].get();
        switch (op) {
        case 2:
            c->send(m_in.bytes(m_in.byte()));
            break;
        case 3:
        case 4:
            c->send(request(*c));
            break;
        case 5:
            c->stalled = !c->stalled;
            break;
        case 6:
            // Last words, then a reset.
            c->send(vrako::msg::chat(c->record, "bye", "$00000000"));
            c->reset();
            m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(index));
            break;
        case 7:
            c->close();
            m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(index));
            break;
        case 9:
            flood(*c, m_in.byte());
            break;
        default:
            c->closeWrite();
            break;
        }
    }

    // Sends more than a budget or the framer allows.
    void flood(Client& c, unsigned how) {
        switch (how % 3) {
        case 0: {
            // Many short lines at once.
            std::string lines;
            for (unsigned i = 0; i < 50 + how; ++i)
                lines += vrako::msg::chat(c.record, "flood", "$00000000");
            c.send(lines);
            break;
        }
        case 1:
            // A message that never ends: more than a reader keeps unfinished.
            c.send(std::string(vrako::MessageFramer::kMaxPending + 16, 'x'));
            break;
        default: {
            // Pasted lines as long as the chat entry takes, in three-byte characters, which
            // every reader receives.
            std::string text;
            for (int i = 0; i < vrako::msg::kMaxChatText; ++i)
                text += "\xE6\xBC\xA2";
            std::string lines;
            for (unsigned i = 0; i < 1 + how % 4; ++i)
                lines += vrako::msg::chat(c.record, text, "$00000000");
            c.send(lines);
            break;
        }
        }
    }

    void check() {
        const int count = m_server->connectionCount();
        require(count >= 0 && count <= vrako::GameTable::kRecords);
        require(count == static_cast<int>(m_live.size()));
        int present = 0;
        for (int r = 1; r <= vrako::GameTable::kRecords; ++r)
            present += m_server->logic().table().isPresent(r);
        require(present == count);
        require(m_server->queuedMessages() > 0 || m_server->queuedBytes() == 0);
    }

    void pumpAll() {
        for (auto& c : m_clients)
            c->pump();
    }

    // Runs the event loop and reads the clients for ms milliseconds (0: one pass).
    void slice(int ms) {
        QElapsedTimer clock;
        clock.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            pumpAll();
        } while (clock.elapsed() < ms);
    }

    template <typename F> bool runUntil(F done, int ms, Client* extra = nullptr) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms)
                return false;
            slice(0);
            if (extra)
                extra->pump();
            // The queue drains one message per pass; otherwise the sockets need a moment.
            if (m_server->queuedMessages() == 0)
                QThread::usleep(100);
        }
        return true;
    }

    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    Input& m_in;
    std::unique_ptr<vrako::TServer> m_server;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::set<int> m_live;
    int m_waited = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    app();
    Input in(data, size);
    Run run(in);
    run.steps();
    run.finish();
    return 0;
}
