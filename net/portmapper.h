// SPDX-License-Identifier: MIT
#pragma once

#include "net/portmapworker.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <memory>

class QThread;

namespace vrako {

// Asks the home router to forward the game port to this computer (UPnP IGD), keeps the
// forwarding alive while hosting and removes it when hosting ends, so that friends outside the
// network can join. The router is asked from a thread of the mapper's own; the results arrive
// as signals on the thread that owns the mapper.
class PortMapper : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultLeaseSeconds = 3600;
    // How long stop() (and so the destructor) waits for the router to remove the forwarding.
    static constexpr int kStopWaitMs = 2000;

    // The router is searched for on the network unless VRAKO_UPNP_URL names its description
    // address.
    explicit PortMapper(QObject* parent = nullptr);
    // Removes the forwarding, as stop() does.
    ~PortMapper() override;

    PortMapper(const PortMapper&) = delete;
    PortMapper& operator=(const PortMapper&) = delete;

    // The router's description address; empty searches the network. Used by the next start().
    void setRouterUrl(const QString& url) { m_routerUrl = url; }
    QString routerUrl() const { return m_routerUrl; }
    // How long the router keeps the forwarding unless renewed; it is renewed at half of it.
    // 0 asks for a mapping without an end; routers accept a week at most.
    void setLeaseSeconds(int seconds) { m_leaseSeconds = std::clamp(seconds, 0, 7 * 24 * 3600); }

    // Starts asking for TCP port to be forwarded (the same port outside and inside) and returns
    // at once; mapped() or failed() follows. A mapping already running is stopped first.
    void start(quint16 port, const QString& description);
    // Removes the forwarding, waiting at most kStopWaitMs for the router; without an answer by
    // then the router drops it when its lease runs out. Nothing is reported afterwards.
    void stop();

    bool isMapped() const { return m_state == State::Mapped; }
    // The router's address on the internet; empty until mapped, and when the router does not
    // say or is itself behind another router (its address then reaches no friend outside).
    QString externalAddress() const { return m_externalAddress; }

    // The player's message when the port could not be opened.
    static QString failureText(quint16 port);

signals:
    // The port is open; reported again only when the external address changes or after a
    // failure.
    void mapped(const QString& externalAddress, quint16 port);
    // The port is not open (no router, or the router refused); message is failureText(port),
    // detail the technical cause. Reported once until the port is mapped again.
    void failed(const QString& message, const QString& detail);

private:
    enum class State { Idle, Asking, Mapped, Failed };

    void requestMapping();
    void onMapped(const QString& externalAddress, int leaseSeconds);
    void onFailed(const QString& detail);

    QString m_routerUrl;
    int m_leaseSeconds = kDefaultLeaseSeconds;
    PortMapOrder m_order;
    State m_state = State::Idle;
    QString m_externalAddress;
    int m_renewMs = 0; // 0 while nothing needs renewing
    QTimer m_renew;
    quint64 m_session = 0; // reports of an earlier start() are ignored
    std::unique_ptr<QThread> m_thread;
    PortMapWorker* m_worker = nullptr; // lives on m_thread, deleted when it finishes
    std::shared_ptr<std::atomic_bool> m_stopping;
};

} // namespace vrako
