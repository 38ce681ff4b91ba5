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
#include <memory>

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

} // namespace

class TestServerPeers : public QObject {
    Q_OBJECT
private slots:
    void leaversAreHeardThenFreed();
    void longNamesAndLinesStayReadable();
    void flooderCannotPushOutAReader();
    void silentConnectionsAreClosed();
};

void TestServerPeers::leaversAreHeardThenFreed() {
    Table t;
    TestClient& host = t.join("Host");
    for (int i = 0; i < 30; ++i) {
        const std::string name = "Leaver" + std::to_string(i);
        TestClient& c = t.join(name);
        QCOMPARE(c.record(), 2); // the record was freed and is given again
        c.send(msg::chat(2, "bye " + std::to_string(i), "clRed"));
        if (i % 3 == 2)
            c.reset();
        else
            c.close();
        const std::string left = msg::playerdisconnected(2, name);
        QVERIFY2(spinUntil([&] { return host.has(left); }), name.c_str());
        const std::string line = msg::chatRelay(2, name, "bye " + std::to_string(i) + "|clRed");
        QVERIFY2(indexOf(host, line) < indexOf(host, left), name.c_str());
    }
    QCOMPARE(t.server.connectionCount(), 1);
    QCOMPARE(t.server.queuedMessages(), std::size_t(0));
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

void TestServerPeers::flooderCannotPushOutAReader() {
    Table t;
    TestClient& host = t.join("Host");
    TestClient& reader = t.join("Reader", {}, 16 * 1024);
    reader.limitReading(100 * 1000);
    TestClient& flooder = t.join("Flooder");
    // Lines of 8 KB at 4 MB/s: no faster than the server handles them, so only what the
    // reader is sent piles up.
    const std::string line = msg::chat(3, std::string(8 * 1024, 'f'), "clRed");
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        if (!flooder.peerClosed)
            flooder.send(line);
    });
    pace.start(2);
    spinFor(2500);
    pace.stop();
    QVERIFY(t.server.logic().table().isPresent(2));
    QVERIFY(flooder.peerClosed || t.server.connectionCount() == 2);
    flooder.close();
    host.send(msg::chat(1, "after the flood", "clRed"));
    const std::string after = msg::chatRelay(1, "Host", "after the flood|clRed");
    QVERIFY(spinUntil([&] { return reader.has(after); }, 10000));
    QVERIFY(!reader.peerClosed);
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
