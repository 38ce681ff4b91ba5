// SPDX-License-Identifier: MIT
#pragma once

#include "net/avahisession.h"

#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <vector>

struct AvahiServiceBrowser;
struct AvahiServiceResolver;

namespace vrako {

// A table announced on the local network, as the browser last resolved it.
struct FoundTable {
    QString name;     // the instance name, "Ann's table"
    QString hostName; // "ann-pc.local"
    QString address;  // numeric, IPv4 where the host has one
    quint16 port = 0;
    // From the TXT record; -1 where it is missing or not a number in range.
    int seats = -1;
    int spectators = -1;
    bool running = false;
    QString version;
    bool operator==(const FoundTable&) const = default;
};

// Keeps a live list of the tables announced on the local network (_vrako._tcp), each resolved
// to an address and with its TXT record followed as it changes.
//
// Where no Avahi daemon answers, the list is empty and isAvailable() false; browsing starts by
// itself once a daemon appears.
class TableBrowser : public QObject {
    Q_OBJECT
public:
    explicit TableBrowser(QObject* parent = nullptr);
    ~TableBrowser() override;

    bool isAvailable() const { return m_session.state() != AvahiSession::State::Unavailable; }
    // The resolved tables, by name.
    QList<FoundTable> tables() const;

signals:
    void availabilityChanged(bool available);
    void tableFound(const vrako::FoundTable& table);
    void tableChanged(const vrako::FoundTable& table);
    void tableRemoved(const QString& name);

private:
    friend struct TableBrowserCallbacks;
    // One appearance of a service: the same table is seen once per interface and protocol.
    struct Instance {
        int interface = 0;
        int protocol = 0;
        AvahiServiceResolver* resolver = nullptr;
        bool resolved = false;
        FoundTable table;
    };
    struct Service {
        std::vector<Instance> instances;
        bool shown = false; // tableFound was signalled
        FoundTable table;   // as last signalled
    };

    void sessionStateChanged(AvahiSession::State state);
    void serviceAppeared(int interface, int protocol, const char* name, const char* type,
                         const char* domain);
    void serviceVanished(int interface, int protocol, const QString& name);
    void resolverFailed(AvahiServiceResolver* resolver);
    Instance* instanceOf(AvahiServiceResolver* resolver, QString* name);
    // Signals what changed in the service called name after its instances changed.
    void refresh(const QString& name);
    void clear();

    AvahiSession m_session;
    AvahiServiceBrowser* m_browser = nullptr;
    std::map<QString, Service> m_services;
    bool m_wasAvailable = false;
};

} // namespace vrako
