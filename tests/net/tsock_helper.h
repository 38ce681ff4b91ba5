// SPDX-License-Identifier: MIT
#pragma once

// Loopback fixtures for the socket tests: report recorders, a connected socket pair, a framed
// inbox and an event-loop wait.

#include "net/framing.h"
#include "net/tsock.h"

#include <QEventLoop>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace vrako::testing {

using Report = std::pair<TSocketInfo, QString>;

// Runs the event loop (unlike QTest::qWaitFor, which sleeps between passes) until pred holds.
inline bool waitFor(const std::function<bool()>& pred, int ms = 5000) {
    if (pred())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return pred();
}

// Collects everything one socket reports, in order, with its other events interleaved.
struct Recorder {
    QList<Report> reports;
    QStringList events; // "info:<text>", "disconnect", "read", "connect"

    void attach(TSock* s) {
        QObject::connect(s, &TSock::OnInfo, s, [this](TSocketInfo i, const QString& m) {
            reports.append({i, m});
            events.append(QStringLiteral("info:") + m);
        });
        QObject::connect(s, &TSock::OnDisconnect, s,
                         [this] { events.append(QStringLiteral("disconnect")); });
        QObject::connect(s, &TSock::OnConnect, s,
                         [this] { events.append(QStringLiteral("connect")); });
    }
    int count(const QString& text) const {
        int n = 0;
        for (const auto& r : reports)
            n += r.second == text ? 1 : 0;
        return n;
    }
    QStringList texts(TSocketInfo kind) const {
        QStringList out;
        for (const auto& r : reports)
            if (r.first == kind)
                out.append(r.second);
        return out;
    }
};

// A listener on an ephemeral port, a client connected to it and the server-side socket.
struct Pair {
    // Declared first so that they outlive the sockets, which report while being destroyed.
    Recorder listenerRec, clientRec, servedRec;
    TSock listener;
    TSock client;
    TSock* served = nullptr;

    // Listens and starts the client's connection without waiting for it.
    void start(const QString& host = QStringLiteral("127.0.0.1")) {
        listenerRec.attach(&listener);
        clientRec.attach(&client);
        listener.setPortName(QStringLiteral("0"));
        listener.setListen(true);
        QObject::connect(&listener, &TSock::OnAccept, &listener, [this] {
            TSock* s = nullptr;
            if (listener.Accept(s, [this](TSock* n) { servedRec.attach(n); }))
                served = s;
        });
        client.setHostName(host);
        client.setPortName(QString::number(listener.localPort()));
        client.Open();
    }
    bool connect(const QString& host = QStringLiteral("127.0.0.1")) {
        start(host);
        return waitFor([this] { return served && client.Connected(); }, 5000);
    }
};

// Collects framed messages arriving on a socket.
struct Inbox {
    MessageFramer framer;
    std::vector<std::string> messages;
    QByteArray raw;
    int reads = 0;

    void attach(TSock* s) {
        QObject::connect(s, &TSock::OnRead, s, [this, s](int count) {
            const QByteArray bytes = s->Receive();
            if (bytes.size() != count)
                reads = -1000000; // OnRead must announce exactly what Receive hands out
            ++reads;
            raw.append(bytes);
            framer.feed(std::string_view(bytes.constData(), size_t(bytes.size())), messages);
        });
    }
};

inline QByteArray frame(const char* text) {
    return QByteArray(text) + kFrameEnd;
}

// The message of the ESockException that f throws, or an empty string.
inline QString thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (const ESockException& e) {
        return QString::fromStdString(e.what());
    }
    return QString();
}

// A port that was free a moment ago and on which nothing listens now.
inline quint16 freePort() {
    TSock probe;
    probe.setPortName(QStringLiteral("0"));
    probe.setListen(true);
    const quint16 port = probe.localPort();
    probe.setListen(false);
    return port;
}

// Makes sure nothing further happens while the loop spins for a while.
inline void settle(int ms = 60) {
    QTest::qWait(ms);
}

} // namespace vrako::testing
