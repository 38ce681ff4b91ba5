// SPDX-License-Identifier: MIT
#pragma once

// A home router's port-forwarding service (UPnP IGD over HTTP) on loopback, on a thread of its
// own so that it answers while the test's thread waits. It records every request.

#include <QList>
#include <QMap>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThread>

namespace vrako::testing {

struct RouterRequest {
    QString action;              // "GetDescription" or the SOAP action's name
    QMap<QString, QString> args; // the action's arguments by name
};

class UpnpRouter final : public QThread {
public:
    // The address the router says it has on the internet, unless told otherwise.
    static inline const QString kExternalAddress = QStringLiteral("203.0.113.7");

    // Listens on 127.0.0.1 at a free port before returning.
    UpnpRouter();
    ~UpnpRouter() override;

    // The address of the device description, for VRAKO_UPNP_URL.
    QString descriptionUrl() const;

    // Answers action with the UPnP error code (a SOAP fault) from now on; with
    // onlyWithLease, only requests asking for a lease (NewLeaseDuration other than 0).
    void refuse(const QString& action, int code, bool onlyWithLease = false);
    void setExternalAddress(const QString& address);
    // Holds the description's answer until release(), as a slow router does.
    void hold();
    void release();

    QList<RouterRequest> requests() const;
    QList<RouterRequest> requests(const QString& action) const;

protected:
    void run() override;

private:
    QByteArray answer(const QByteArray& head, const QByteArray& body);

    mutable QMutex m_mutex;
    QList<RouterRequest> m_requests;
    QMap<QString, QPair<int, bool>> m_refusals;
    QString m_externalAddress = kExternalAddress;
    bool m_hold = false;
    QSemaphore m_released;
    QSemaphore m_listening;
    quint16 m_port = 0;
};

} // namespace vrako::testing
