// SPDX-License-Identifier: MIT
#pragma once

#include "net/avahisession.h"
#include "net/tableservice.h"

#include <QObject>
#include <QString>

struct AvahiEntryGroup;

namespace vrako {

// Announces a hosted table on the local network through the Avahi daemon (see tableservice.h
// for the record) for as long as it exists; destroying it withdraws the announcement.
//
// Where no daemon answers, it announces nothing and says so through isAvailable(); it announces
// as soon as a daemon appears, and again after the daemon restarts. When another service on the
// network already has the name, it takes the daemon's alternative ("Ann's table #2").
class TableAnnouncer : public QObject {
    Q_OBJECT
public:
    // Announces the table of owner (an empty owner: this computer's host name) on port.
    TableAnnouncer(const QString& owner, quint16 port, const TableStatus& status = {},
                   QObject* parent = nullptr);
    ~TableAnnouncer() override;

    // Changes the record while the table stays announced.
    void update(const TableStatus& status);
    TableStatus status() const { return m_status; }

    // A daemon answers (the announcement may still be under way).
    bool isAvailable() const { return m_session.state() != AvahiSession::State::Unavailable; }
    // The network has accepted the announcement under instanceName().
    bool isAnnounced() const { return m_announced; }
    // The name announced, or tried: after a collision, the alternative.
    QString instanceName() const { return m_name; }
    // Why the daemon cannot be reached, for logs.
    QString unavailableReason() const { return m_session.errorText(); }

signals:
    void availabilityChanged(bool available);
    // The announcement under name is on the network (again, after a restart of the daemon).
    void announced(const QString& name);

private:
    friend struct TableAnnouncerCallbacks;
    void sessionStateChanged(AvahiSession::State state);
    void groupStateChanged(AvahiEntryGroup* group, int groupState);
    void addService(AvahiEntryGroup* group);
    void takeAlternativeName();

    AvahiSession m_session;
    AvahiEntryGroup* m_group = nullptr;
    QString m_name;
    quint16 m_port;
    TableStatus m_status;
    bool m_announced = false;
    bool m_wasAvailable = false;
};

} // namespace vrako
