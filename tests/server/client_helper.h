// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vrako::test {

// A scripted peer on a plain non-blocking loopback socket. It reads whenever the test waits,
// so the server in the same process keeps running meanwhile.
class TestClient {
public:
    // receiveBuffer: the socket's receive buffer in bytes, 0 for the system's default.
    // spun: read by spinUntil; a client used from another thread calls pump itself.
    // from: the loopback address to connect from ("127.0.0.2"), empty for the system's choice.
    explicit TestClient(quint16 port, int receiveBuffer = 0, bool spun = true,
                        const std::string& from = {});
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    void send(std::string_view bytes);
    // Sends message over and over from a thread of its own, as fast as the socket takes it,
    // until the connection fails or the client is closed.
    void flood(std::string message);
    // Closes at once with a reset instead of an orderly close.
    void reset();
    // Ends the output with an orderly close once all of it has gone out, and reads on.
    void finishSending();
    void close();
    // From now on reads no more than bytesPerSecond on average.
    void limitReading(std::size_t bytesPerSecond);
    // From now on reads nothing: what the server sends piles up in the socket.
    void stopReading() { m_stopped = true; }

    // Messages received so far, each with its closing 0xFF.
    std::vector<std::string> messages;
    bool peerClosed = false;
    // Called for every message as it arrives.
    std::function<void(const std::string&)> onMessage;

    // The record number the server gave (from CMD_sendlogininfo), 0 before it arrives.
    int record() const;
    bool has(std::string_view bytes) const;
    std::size_t count(std::string_view bytes) const;
    void pump();

private:
    int m_fd = -1;
    std::string m_tail;
    std::size_t m_readRate = 0;
    std::size_t m_readTotal = 0;
    bool m_stopped = false;
    QElapsedTimer m_readClock;
    std::thread m_flood;
    std::atomic<bool> m_stopFlood{false};
};

// Runs the event loop and reads every live client until done() holds or ms pass.
bool spinUntil(const std::function<bool()>& done, int ms = 5000);
// Runs the event loop and reads for ms.
void spinFor(int ms);

} // namespace vrako::test
