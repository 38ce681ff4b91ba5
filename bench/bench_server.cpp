// SPDX-License-Identifier: MIT
// Latency of a move through a running vrako-server: four seats and five spectators on
// loopback; the time from a seat sending its move until all nine connections have its result,
// the same while one spectator floods the server with chat as fast as it can (until the other
// eight have it), and the server's CPU use while it sits idle with nine connections.
#include "net/commands.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "server/rules.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vrako;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kClients = 9;
constexpr int kMoves = 3000;
constexpr int kIdleSeconds = 10;

struct Peer {
    int fd = -1;
    int record = 0;
    std::string tail;
    // Seats only: the hand as the server dealt it.
    Hand hand = emptyHand();
};

struct Bench {
    std::array<Peer, kClients> peers;
    int top = card::kRoundStart;
    GameType type = GameType::SameNumber;
    int turn = 0;      // seat whose move is due, 0 while none
    int mover = 0;     // seat of the move being measured
    int moverSlot = 0; // slot it played, 0 for a draw
    bool measuring = false;
    // The first this many connections must have a move's result; the rest are not waited for.
    int waitedFor = kClients;
    std::array<bool, kClients> gotResult{};
    Clock::time_point sentAt;
    std::vector<double> latenciesMs;
    // Chat lines the first connection was sent.
    long chats = 0;
    int games = 0;

    void sendTo(int i, const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(peers[i].fd, bytes.data() + done, bytes.size() - done, 0);
            if (n <= 0) {
                std::perror("send");
                std::exit(1);
            }
            done += std::size_t(n);
        }
    }

    void onMessage(int i, std::string_view text);
    void move();
    void pump(int timeoutMs);
};

void Bench::onMessage(int i, std::string_view text) {
    const ParsedMessage m = splitCommand(text);
    FieldReader f(m.args);
    Peer& p = peers[i];
    if (m.command == cmd::chat && i == 0)
        ++chats;
    if (m.command == cmd::sendlogininfo) {
        p.record = f.number().value_or(0);
        return;
    }
    if (measuring && !gotResult[i]) {
        FieldReader g(m.args);
        const bool own = g.number() == mover;
        const bool result =
            own && (moverSlot ? m.command == cmd::playcard
                              : (m.command == cmd::cardcount || m.command == cmd::nomorecards));
        if (result) {
            gotResult[i] = true;
            if (std::all_of(gotResult.begin(), gotResult.begin() + waitedFor,
                            [](bool b) { return b; })) {
                latenciesMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - sentAt).count());
                measuring = false;
            }
        }
    }
    if (m.command == cmd::startgame) {
        f.field();
        f.field();
        type = gameTypeOf(f.field());
        p.hand = emptyHand();
        top = card::kRoundStart;
    } else if (m.command == cmd::startround) {
        p.hand = emptyHand();
        top = card::kRoundStart;
    } else if (m.command == cmd::acard) {
        f.field();
        const int slot = f.number().value_or(0);
        if (slot >= 1 && slot <= kMaxHand)
            p.hand[slot] = f.number().value_or(-1);
    } else if (m.command == cmd::playcard && i == 0) {
        const int seat = f.number().value_or(0), code = f.number().value_or(-1);
        if (isColoured(code))
            top = code;
        if (seat == mover && moverSlot)
            peers[seat - 1].hand[moverSlot] = card::kEmpty;
    } else if (m.command == cmd::playwild && i == 0) {
        top = f.number().value_or(card::kBlue);
    } else if (m.command == cmd::goplay && i < 4) {
        turn = i + 1;
    } else if (m.command == cmd::nextplayer && i < 4 && f.number() == i + 1) {
        turn = i + 1;
    } else if (m.command == cmd::wingame && i == 0) {
        ++games;
        sendTo(0, msg::startgame("Bench", 200,
                                 games % 2 ? GameType::OneMoreOrLess : GameType::SameNumber));
    } else if (m.command == cmd::nomatch) {
        std::fprintf(stderr, "a legal move was refused\n");
        std::exit(1);
    }
}

void Bench::move() {
    const int seat = turn;
    turn = 0;
    Peer& p = peers[seat - 1];
    mover = seat;
    moverSlot = 0;
    std::string bytes = msg::drawcard(seat);
    for (int slot = 1; slot <= kMaxHand; ++slot) {
        const int code = p.hand[slot];
        if (isSpecial(code) || mayFollow(code, top, type)) {
            moverSlot = slot;
            const int named = colourCodeOf(top) != 0 ? colourCodeOf(top) : card::kBlue;
            bytes = msg::playcard(seat, code == card::kWild ? named : 0, slot);
            break;
        }
    }
    gotResult.fill(false);
    measuring = true;
    sentAt = Clock::now();
    sendTo(seat - 1, bytes);
}

void Bench::pump(int timeoutMs) {
    std::array<pollfd, kClients> fds{};
    for (int i = 0; i < kClients; ++i)
        fds[i] = {peers[i].fd, POLLIN, 0};
    if (::poll(fds.data(), kClients, timeoutMs) <= 0)
        return;
    char buf[65536];
    for (int i = 0; i < kClients; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::recv(peers[i].fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n <= 0) {
            std::fprintf(stderr, "connection %d closed by the server\n", i + 1);
            std::exit(1);
        }
        std::string& tail = peers[i].tail;
        tail.append(buf, std::size_t(n));
        std::size_t start = 0, end;
        while ((end = tail.find('\xFF', start)) != std::string::npos) {
            onMessage(i, std::string_view(tail).substr(start, end - start));
            start = end + 1;
        }
        tail.erase(0, start);
    }
}

long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int k = 3; k <= 15 && rest >> field; ++k) {
        if (k == 14)
            utime = std::stol(field);
        if (k == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(q * double(v.size())))];
}

} // namespace

int main(int argc, char* argv[]) {
    std::string bin = std::getenv("VRAKO_BIN_DIR") ? std::getenv("VRAKO_BIN_DIR") : "";
    if (bin.empty()) {
        const std::string self = argv[0];
        bin = self.substr(0, self.rfind('/') + 1) + "../bin";
    }
    const std::string server = bin + "/vrako-server";
    (void)argc;

    int out[2];
    if (::pipe(out) != 0)
        return 1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execl(server.c_str(), server.c_str(), "--port", "0", "--round-pause", "0", "--seed", "99",
                static_cast<char*>(nullptr));
        std::perror("exec vrako-server");
        std::_Exit(127);
    }
    ::close(out[1]);
    char line[128] = {};
    const ssize_t got = ::read(out[0], line, sizeof line - 1);
    unsigned port = 0;
    if (got <= 0 || std::sscanf(line, "Listening on port %u", &port) != 1) {
        std::fprintf(stderr, "vrako-server did not start (%s)\n", server.c_str());
        return 1;
    }

    Bench b;
    for (int i = 0; i < kClients; ++i) {
        Peer& p = b.peers[i];
        p.fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(std::uint16_t(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(p.fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            std::perror("connect");
            return 1;
        }
        int one = 1;
        ::setsockopt(p.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        while (p.record == 0)
            b.pump(1000);
        b.sendTo(i, msg::logininfo(p.record, cmd::version, "Bench" + std::to_string(i + 1)));
    }
    for (int k = 0; k < 50; ++k)
        b.pump(20);

    b.sendTo(0, msg::startgame("Bench", 200, GameType::SameNumber));
    const auto playStart = Clock::now();
    while (int(b.latenciesMs.size()) < kMoves) {
        if (b.turn != 0 && !b.measuring)
            b.move();
        b.pump(1000);
    }
    const double playSeconds = std::chrono::duration<double>(Clock::now() - playStart).count();
    const std::vector<double> quiet = b.latenciesMs;

    // Idle: nine connections, nothing sent. It also lets the seats' send budgets refill, as the
    // seats here move far faster than people do.
    const long hz = ::sysconf(_SC_CLK_TCK);
    const long idleBefore = cpuTicks(pid);
    const auto idleStart = Clock::now();
    ::sleep(kIdleSeconds);
    const double idleSeconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    const double idlePercent =
        100.0 * double(cpuTicks(pid) - idleBefore) / double(hz) / idleSeconds;

    // The ninth connection floods short chat lines from a thread as fast as the server takes
    // them, from before the first move measured to after the last; the moves wait for the
    // other eight.
    std::atomic<bool> stopFlood{false};
    std::atomic<long> floodBytes{0};
    const int flooder = kClients - 1;
    std::thread flood([&] {
        std::string spam;
        for (int k = 0; k < 64; ++k)
            spam += msg::chat(b.peers[flooder].record, "spam spam spam", "clRed");
        std::size_t done = 0;
        while (!stopFlood) {
            const ssize_t n = ::send(b.peers[flooder].fd, spam.data() + done, spam.size() - done,
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n > 0) {
                done = (done + std::size_t(n)) % spam.size();
                floodBytes += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd p{b.peers[flooder].fd, POLLOUT, 0};
                ::poll(&p, 1, 10);
            } else {
                return;
            }
        }
    });
    b.waitedFor = kClients - 1;
    b.latenciesMs.clear();
    b.chats = 0;
    const auto floodStart = Clock::now();
    while (int(b.latenciesMs.size()) < kMoves) {
        if (b.turn != 0 && !b.measuring)
            b.move();
        b.pump(1000);
    }
    const double floodSeconds = std::chrono::duration<double>(Clock::now() - floodStart).count();
    stopFlood = true;
    flood.join();
    const std::vector<double> flooded = b.latenciesMs;

    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);

    std::printf("moves measured:            %d (nine connections, four seats)\n", kMoves);
    std::printf("move to all nine, p50:     %.3f ms (target < 1 ms)\n", percentile(quiet, 0.50));
    std::printf("move to all nine, p99:     %.3f ms (target < 5 ms)\n", percentile(quiet, 0.99));
    std::printf("moves per second:          %.0f\n", kMoves / playSeconds);
    std::printf(
        "one connection flooding:   %.1f s, %.0f KB taken by the kernel, %ld lines relayed\n",
        floodSeconds, double(floodBytes) / 1000.0, b.chats);
    std::printf("  move to other eight, p50: %.3f ms\n", percentile(flooded, 0.50));
    std::printf("  move to other eight, p99: %.3f ms (target < 1 ms)\n", percentile(flooded, 0.99));
    std::printf("  moves per second:        %.0f\n", kMoves / floodSeconds);
    std::printf("idle CPU, %d s, 9 conns:   %.3f %% of a core (target < 0.5 %%)\n", kIdleSeconds,
                idlePercent);
    std::printf("server exit status:        %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
