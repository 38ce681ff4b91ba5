// SPDX-License-Identifier: MIT
#pragma once

// The router conversation behind PortMapper: the blocking UPnP IGD calls, made on the mapper's
// own thread so that a slow or silent router never holds up the window.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

namespace vrako {

// What to ask the router for.
struct PortMapOrder {
    QString routerUrl; // the router's description address; empty searches the network
    quint16 port = 0;  // forwarded as the same external and internal TCP port
    QString description;
    int leaseSeconds = 3600;
};

// Lives on a worker thread; its slots block for as long as the router takes to answer (the
// library's own timeouts bound that to a few seconds per call).
class PortMapWorker : public QObject {
    Q_OBJECT
public:
    // Once stopping is set, a mapping not yet requested is no longer requested.
    explicit PortMapWorker(std::shared_ptr<std::atomic_bool> stopping);
    ~PortMapWorker() override;

    PortMapWorker(const PortMapWorker&) = delete;
    PortMapWorker& operator=(const PortMapWorker&) = delete;

    // Finds the router (unless already known) and adds or renews the mapping. Reports mapped
    // or failed, or nothing when stopping was set before the request.
    void map(const PortMapOrder& order);
    // Removes the mapping this worker added, if any.
    void unmap();

signals:
    // externalAddress is empty when the router does not say or gives an address that is not
    // reachable from the internet; leaseSeconds is 0 for a
    // permanent mapping, which needs no renewal.
    void mapped(const QString& externalAddress, int leaseSeconds);
    // detail says what went wrong, for the log.
    void failed(const QString& detail);

private:
    struct Router;

    bool findRouter(const QString& url, QString& detail);
    void forgetRouter();

    std::shared_ptr<std::atomic_bool> m_stopping;
    std::unique_ptr<Router> m_router;
    QByteArray m_mappedPort;      // the external port this worker has mapped; empty when none
    bool m_permanentOnly = false; // the router refused a lease and accepted a permanent mapping
};

} // namespace vrako
