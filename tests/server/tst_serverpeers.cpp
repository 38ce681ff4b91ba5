// SPDX-License-Identifier: MIT
// The server over real loopback connections against peers that leave right after speaking,
// send more than others can take, or never log in.
#include "client_helper.h"
#include "net/commands.h"
#include "net/messages.h"
#include "server/tserver.h"

#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace vrako;
using namespace vrako::test;

namespace {

struct Table {
    Table() { server.listen(0); }
    TestClient& connect(int receiveBuffer = 0) {
        clients.push_back(std::make_unique<TestClient>(server.port(), receiveBuffer));
        TestClient& c = *clients.back();
        spinUntil([&] { return c.record() != 0 || c.peerClosed; });
        return c;
    }
    // Logs in under name; the server announces shown (the name as it keeps it).
    TestClient& join(const std::string& name, const std::string& shown = {},
                     int receiveBuffer = 0) {
        TestClient& c = connect(receiveBuffer);
        c.send(msg::logininfo(c.record(), cmd::version, name));
        spinUntil(
            [&] { return c.has(msg::newplayerinfo(c.record(), shown.empty() ? name : shown)); });
        return c;
    }
    std::size_t longestMessage() const {
        std::size_t most = 0;
        for (const auto& c : clients) {
            for (const std::string& m : c->messages)
                most = std::max(most, m.size());
        }
        return most;
    }

    TServer server{11};
    std::vector<std::unique_ptr<TestClient>> clients;
};

std::size_t indexOf(const TestClient& c, const std::string& m) {
    return std::size_t(std::find(c.messages.begin(), c.messages.end(), m) - c.messages.begin());
}

// A chat line of the most characters the chat entry takes, nearly all of three bytes in UTF-8,
// told from the others by the number in front.
std::string longestLine(int n) {
    std::string text = std::to_string(n);
    for (std::size_t i = text.size(); i < std::size_t(msg::kMaxChatText); ++i)
        text += "\u6F22";
    return text;
}

// True when every line is in c's messages, in this order, and before the message last.
bool inOrderBefore(const TestClient& c, const std::vector<std::string>& lines,
                   const std::string& last = {}) {
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t i = indexOf(c, line);
        if (i == c.messages.size() || (at > 0 && i < at))
            return false;
        at = i;
    }
    return last.empty() || at < indexOf(c, last);
}

} // namespace

class TestServerPeers : public QObject {
    Q_OBJECT
private slots:
    void leaversAreHeardThenFreed();
    void hostPastingLongLinesIsSlowedNotClosed();
    void longNamesAndLinesStayReadable();
    void slowReaderStaysStalledReaderGoes();
    void silentConnectionsAreClosed();
};

void TestServerPeers::leaversAreHeardThenFreed() {
    Table t;
    t.server.setSendLimits({1e6, 1e6, 1e9, 1e9});
    TestClient& host = t.join("Host");
    TestClient& talker = t.join("Talker");
    // Thirty leavers, one after the other from a thread of their own, each say goodbye and
    // leave at once with a reset, or with an orderly close while what the server sent them is
    // unread, which the kernel turns into a reset as well. Meanwhile the talker keeps the
    // server writing to everyone, also to a leaver whose goodbye has arrived but is not read.
    const quint16 port = t.server.port();
    std::array<std::atomic<int>, 30> records{};
    std::atomic<bool> stop{false};
    std::thread leavers([port, &records, &stop] {
        const auto waitFor = [&stop](TestClient& c, const std::function<bool()>& done) {
            while (!done() && !c.peerClosed && !stop) {
                c.pump();
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        };
        for (int i = 0; i < 30 && !stop; ++i) {
            TestClient c(port, 0, false);
            waitFor(c, [&] { return c.record() != 0; });
            const std::string name = "Leaver" + std::to_string(i);
            c.send(msg::logininfo(c.record(), cmd::version, name));
            waitFor(c, [&] { return c.has(msg::newplayerinfo(c.record(), name)); });
            c.send(msg::chat(c.record(), "bye " + std::to_string(i), "clRed"));
            records[std::size_t(i)] = c.record();
            if (i % 2 == 0)
                c.reset();
            else
                c.close();
        }
    });
    const auto name = [](int i) { return "Leaver" + std::to_string(i); };
    const auto left = [&](int i) {
        return msg::playerdisconnected(records[std::size_t(i)], name(i));
    };
    std::string ticks;
    for (int i = 0; i < 20; ++i)
        ticks += msg::chat(2, "tick", "clRed");
    const bool allLeft = spinUntil(
        [&] {
            talker.send(ticks);
            return host.has(left(29));
        },
        30000);
    stop = true;
    leavers.join();
    QVERIFY(allLeft);
    QVERIFY(spinUntil([&] {
        for (int i = 0; i < 30; ++i) {
            if (!host.has(left(i)))
                return false;
        }
        return true;
    }));
    for (int i = 0; i < 30; ++i) {
        const std::string line =
            msg::chatRelay(records[std::size_t(i)], name(i), "bye " + std::to_string(i) + "|clRed");
        QVERIFY2(indexOf(host, line) < indexOf(host, left(i)), name(i).c_str());
    }
    QVERIFY(spinUntil([&] { return t.server.connectionCount() == 2; }));
}

void TestServerPeers::hostPastingLongLinesIsSlowedNotClosed() {
    Table t;
    // The budget holds one of the longest lines and refills far slower than they come.
    t.server.setSendLimits({100, 1000, 256 * 1024, 64 * 1024});
    TestClient& host = t.join("Host");
    TestClient& reader = t.join("Reader");
    TestClient& guest = t.join("Guest");
    std::vector<std::string> hostLines, guestLines;
    for (int n = 1; n <= 10; ++n) {
        const std::string text = longestLine(n);
        host.send(msg::chat(1, text, "clRed"));
        hostLines.push_back(msg::chatRelay(1, "Host", text + "|clRed"));
    }
    // The guest pastes too and leaves while it is held back: its lines still come first.
    for (int n = 1; n <= 3; ++n) {
        const std::string text = longestLine(n);
        guest.send(msg::chat(3, text, "clRed"));
        guestLines.push_back(msg::chatRelay(3, "Guest", text + "|clRed"));
    }
    guest.finishSending();
    const std::string guestLeft = msg::playerdisconnected(3, "Guest");
    QVERIFY(
        spinUntil([&] { return reader.has(hostLines.back()) && reader.has(guestLeft); }, 20000));
    QVERIFY(inOrderBefore(reader, hostLines));
    QVERIFY(inOrderBefore(reader, guestLines, guestLeft));
    QVERIFY(!host.peerClosed);
    QVERIFY(t.server.logic().table().isPresent(1));
    QCOMPARE(t.server.connectionCount(), 2);
}

void TestServerPeers::longNamesAndLinesStayReadable() {
    Table t;
    TestClient& host = t.join("Host");
    const std::string cut(msg::kMaxNameLength, 'n');
    TestClient& longOne = t.join(std::string(60000, 'n'), cut);
    TestClient& longTwo = t.join(std::string(60000, 'm') + "+x", std::string(64, 'm'));
    TestClient& late = t.join("Late");
    QVERIFY(late.has(msg::existingplayers(
        {{1, "Host", false}, {2, cut, false}, {3, std::string(64, 'm'), false}})));

    longOne.send(msg::chat(2, std::string(60000, 'x'), "clRed"));
    longOne.send(msg::action(2, std::string(60000, 'y'), "clRed"));
    longOne.send(msg::chat(2, "short", "clRed"));
    QVERIFY(spinUntil([&] { return late.has(msg::chatRelay(2, cut, "short|clRed")); }));
    // A line just inside what the chat entry allows, in three-byte characters, still goes out.
    std::string wide;
    for (int i = 0; i < msg::kMaxChatText; ++i)
        wide += "\u20AC";
    longTwo.send(msg::chat(3, wide, "$00FF00FF"));
    QVERIFY(spinUntil(
        [&] { return host.has(msg::chatRelay(3, std::string(64, 'm'), wide + "|$00FF00FF")); }));

    host.send(msg::chat(1, "still here", "clRed"));
    QVERIFY(spinUntil([&] { return late.has(msg::chatRelay(1, "Host", "still here|clRed")); }));
    QVERIFY(t.longestMessage() <= msg::kMaxRelayed);
    QVERIFY(!host.peerClosed && !late.peerClosed && !longOne.peerClosed);
}

void TestServerPeers::slowReaderStaysStalledReaderGoes() {
    Table t;
    // The minute a reader may take nothing, scaled down with the time the test runs.
    t.server.setStallTimeout(2000);
    TestClient& host = t.join("Host");
    TestClient& reader = t.join("Reader", {}, 4096);
    reader.limitReading(32 * 1000);
    TestClient& stalled = t.join("Stalled", {}, 16 * 1024);
    stalled.stopReading();
    // Seven paste the longest lines as fast as the server takes them: far more than the reader
    // takes, which falls behind by megabytes.
    std::vector<TestClient*> pasters{&host};
    for (int i = 4; i <= 9; ++i)
        pasters.push_back(&t.join("Paster" + std::to_string(i)));
    for (TestClient* p : pasters)
        p->flood(msg::chat(p->record(), longestLine(p->record()), "clRed"));
    // The stalled one is closed once it has taken nothing for the stall timeout; the reader
    // stays, however far behind, because it keeps taking some.
    QVERIFY(spinUntil([&] { return host.has(msg::playerdisconnected(3, "Stalled")); }, 10000));
    spinFor(2000);
    QVERIFY(!reader.peerClosed);
    QVERIFY(std::none_of(pasters.begin(), pasters.end(),
                         [](const TestClient* p) { return p->peerClosed; }));
    QCOMPARE(t.server.connectionCount(), 8);
    for (TestClient* p : pasters)
        p->close();
}

void TestServerPeers::silentConnectionsAreClosed() {
    Table t;
    t.server.setLoginTimeout(300);
    TestClient& host = t.join("Host");
    for (int i = 2; i <= 9; ++i)
        QCOMPARE(t.connect().record(), i);
    // One stalls half way through its login.
    t.clients[2]->send("CMD_logininfo+3+1.0");
    QVERIFY(spinUntil(
        [&] {
            return std::all_of(t.clients.begin() + 1, t.clients.end(),
                               [](const auto& c) { return c->peerClosed; });
        },
        3000));
    for (int r = 2; r <= 9; ++r)
        QVERIFY(host.has(msg::playerdisconnected(r, "")));
    TestClient& newcomer = t.join("Newcomer");
    QCOMPARE(newcomer.record(), 2);
    spinFor(500);
    QVERIFY(!host.peerClosed && !newcomer.peerClosed);
}

QTEST_GUILESS_MAIN(TestServerPeers)
#include "tst_serverpeers.moc"
