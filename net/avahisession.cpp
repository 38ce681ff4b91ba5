// SPDX-License-Identifier: MIT
#include "net/avahisession.h"

#include <avahi-client/client.h>
#include <avahi-common/error.h>

namespace vrako {

struct AvahiSessionCallbacks {
    static void client(AvahiClient* c, AvahiClientState state, void* userdata) {
        static_cast<AvahiSession*>(userdata)->clientStateChanged(c, int(state));
    }
};

AvahiSession::AvahiSession(QObject* parent) : QObject(parent) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &AvahiSession::connectClient);
}

AvahiSession::~AvahiSession() {
    freeClient();
}

void AvahiSession::start() {
    if (!m_client && !m_retry.isActive())
        connectClient();
}

QString AvahiSession::errorText() const {
    return QString::fromUtf8(avahi_strerror(m_error));
}

void AvahiSession::connectClient() {
    freeClient();
    int error = 0;
    // NO_FAIL: on a bus without the daemon the client waits for it instead of failing.
    AvahiClient* c = avahi_client_new(m_poll.api(), AVAHI_CLIENT_NO_FAIL,
                                      AvahiSessionCallbacks::client, this, &error);
    m_client = c;
    if (!c) {
        m_error = error;
        setState(State::Unavailable);
        m_retry.start();
    }
}

void AvahiSession::freeClient() {
    if (m_client)
        avahi_client_free(m_client); // frees every group, browser and resolver it made
    m_client = nullptr;
}

void AvahiSession::clientStateChanged(AvahiClient* c, int clientState) {
    // The first call comes from inside avahi_client_new, before it returns the client.
    m_client = c;
    switch (AvahiClientState(clientState)) {
    case AVAHI_CLIENT_S_RUNNING:
        m_error = 0;
        setState(State::Running);
        break;
    case AVAHI_CLIENT_S_REGISTERING:
    case AVAHI_CLIENT_S_COLLISION:
        setState(State::Registering);
        break;
    case AVAHI_CLIENT_CONNECTING:
        m_error = AVAHI_ERR_NO_DAEMON;
        setState(State::Unavailable);
        break;
    case AVAHI_CLIENT_FAILURE:
        // The daemon or the bus went away. The client cannot be freed from inside its own
        // callback, so a new one is made from the event loop; it waits for the daemon to
        // come back.
        m_error = avahi_client_errno(c);
        setState(State::Unavailable);
        QTimer::singleShot(0, this, [this, c] {
            if (m_client == c && !m_retry.isActive())
                connectClient();
        });
        break;
    }
}

void AvahiSession::setState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace vrako
