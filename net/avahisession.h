// SPDX-License-Identifier: MIT
#pragma once

#include "net/avahipoll.h"

#include <QObject>
#include <QString>
#include <QTimer>

struct AvahiClient;

namespace vrako {

// One connection to the Avahi daemon over the system D-Bus, run on the Qt event loop.
//
// Where no daemon answers, the session is Unavailable and keeps waiting for one: the client
// library notices a daemon that starts on a running bus, and a missing bus is tried again every
// few seconds. A daemon that stops or restarts takes every entry group, browser and resolver of
// the client with it: owners drop their pointers when the state becomes Unavailable (the
// client frees the objects) and make them anew once it leaves Unavailable.
class AvahiSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Unavailable, // no bus or no daemon
        Registering, // the daemon is still settling its host name: browse, but do not publish
        Running,
    };
    static constexpr int kRetryMs = 5000;

    explicit AvahiSession(QObject* parent = nullptr);
    ~AvahiSession() override;

    // Connects; the first state change may be signalled from inside this call.
    void start();
    State state() const { return m_state; }
    // The client, while the state is not Unavailable.
    AvahiClient* client() const { return m_state == State::Unavailable ? nullptr : m_client; }
    // Why the daemon could not be reached, for logs.
    QString errorText() const;

signals:
    void stateChanged(vrako::AvahiSession::State state);

private:
    friend struct AvahiSessionCallbacks;
    void connectClient();
    void freeClient();
    void clientStateChanged(AvahiClient* client, int clientState);
    void setState(State state);

    AvahiQtPoll m_poll; // declared first: it must outlive the client
    AvahiClient* m_client = nullptr;
    State m_state = State::Unavailable;
    int m_error = 0;
    QTimer m_retry;
};

} // namespace vrako
