// SPDX-License-Identifier: MIT
#include "net/avahipoll.h"

#include <QSocketNotifier>
#include <QTimer>
#include <avahi-common/timeval.h>
#include <avahi-common/watch.h>
#include <climits>

// The library names these types and leaves their contents to the event loop that provides them.
//
// The library may free a watch or a timeout from inside its own callback; the notifier or timer
// that is signalling then must outlive the call, so freed ones are switched off and deleted
// later. They are children of the AvahiQtPoll, which deletes whatever is left with it.
struct AvahiWatch {
    vrako::AvahiQtPoll* owner = nullptr;
    int fd = -1;
    AvahiWatchCallback callback = nullptr;
    void* userdata = nullptr;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    // What woke the watch; the library asks for it only from inside the callback.
    AvahiWatchEvent happened{};
};

struct AvahiTimeout {
    AvahiTimeoutCallback callback = nullptr;
    void* userdata = nullptr;
    QTimer* timer = nullptr;
};

namespace {

using vrako::AvahiQtPoll;

AvahiQtPoll* ownerOf(const AvahiPoll* api) {
    return static_cast<AvahiQtPoll*>(api->userdata);
}

void retire(QObject* object) {
    if (!object)
        return;
    object->disconnect();
    object->deleteLater();
}

// Makes the notifier of one direction exist and be on exactly when wanted says so.
void setNotifier(AvahiWatch* w, QSocketNotifier*& notifier, QSocketNotifier::Type type,
                 AvahiWatchEvent event, bool wanted) {
    if (!wanted) {
        if (notifier)
            notifier->setEnabled(false);
        return;
    }
    if (!notifier) {
        notifier = new QSocketNotifier(w->fd, type, w->owner);
        // The callback may free w; nothing here touches it afterwards. Qt reports a hang-up or
        // an error on the fd as readiness, and the library's read or write then sees it.
        QObject::connect(notifier, &QSocketNotifier::activated, w->owner, [w, event] {
            w->happened = event;
            w->callback(w, w->fd, event, w->userdata);
        });
    }
    notifier->setEnabled(true);
}

void updateWatch(AvahiWatch* w, AvahiWatchEvent events) {
    setNotifier(w, w->read, QSocketNotifier::Read, AVAHI_WATCH_IN, (events & AVAHI_WATCH_IN) != 0);
    setNotifier(w, w->write, QSocketNotifier::Write, AVAHI_WATCH_OUT,
                (events & AVAHI_WATCH_OUT) != 0);
}

AvahiWatch* newWatch(const AvahiPoll* api, int fd, AvahiWatchEvent events,
                     AvahiWatchCallback callback, void* userdata) {
    auto* w = new AvahiWatch;
    w->owner = ownerOf(api);
    w->fd = fd;
    w->callback = callback;
    w->userdata = userdata;
    updateWatch(w, events);
    return w;
}

AvahiWatchEvent watchEvents(AvahiWatch* w) {
    return w->happened;
}

void freeWatch(AvahiWatch* w) {
    // Off at once: the fd may be closed and reused before the notifiers are deleted.
    for (QSocketNotifier* n : {w->read, w->write}) {
        if (n)
            n->setEnabled(false);
        retire(n);
    }
    delete w;
}

// Arms the timer for the absolute time tv (the library's clock is gettimeofday), or stops it
// when tv is null.
void updateTimeout(AvahiTimeout* t, const struct timeval* tv) {
    if (!tv) {
        t->timer->stop();
        return;
    }
    // avahi_age is how long ago tv was, in microseconds: negative while it lies ahead.
    const AvahiUsec ahead = -avahi_age(tv);
    const AvahiUsec ms = ahead <= 0 ? 0 : (ahead + 999) / 1000;
    t->timer->start(ms > INT_MAX ? INT_MAX : int(ms));
}

AvahiTimeout* newTimeout(const AvahiPoll* api, const struct timeval* tv,
                         AvahiTimeoutCallback callback, void* userdata) {
    auto* t = new AvahiTimeout;
    t->callback = callback;
    t->userdata = userdata;
    t->timer = new QTimer(ownerOf(api));
    t->timer->setSingleShot(true);
    t->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(t->timer, &QTimer::timeout, t->timer,
                     [t] { t->callback(t, t->userdata); }); // may free t
    updateTimeout(t, tv);
    return t;
}

void freeTimeout(AvahiTimeout* t) {
    t->timer->stop();
    retire(t->timer);
    delete t;
}

} // namespace

namespace vrako {

AvahiQtPoll::AvahiQtPoll(QObject* parent) : QObject(parent), m_api(std::make_unique<AvahiPoll>()) {
    m_api->userdata = this;
    m_api->watch_new = newWatch;
    m_api->watch_update = updateWatch;
    m_api->watch_get_events = watchEvents;
    m_api->watch_free = freeWatch;
    m_api->timeout_new = newTimeout;
    m_api->timeout_update = updateTimeout;
    m_api->timeout_free = freeTimeout;
}

AvahiQtPoll::~AvahiQtPoll() = default;

} // namespace vrako
