// SPDX-License-Identifier: MIT
#include "net/tablebrowser.h"

#include "net/tableservice.h"

#include <QtDebug>
#include <algorithm>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <net/if.h>

namespace vrako {

namespace {

QString txtText(AvahiStringList* txt, const char* key) {
    AvahiStringList* item = avahi_string_list_find(txt, key);
    char* value = nullptr;
    if (!item || avahi_string_list_get_pair(item, nullptr, &value, nullptr) < 0 || !value)
        return {};
    QString s = QString::fromUtf8(value);
    avahi_free(value);
    return s;
}

// The value of key in the TXT record as a number from 0 to max, or -1.
int txtNumber(AvahiStringList* txt, const char* key, int max) {
    const QString text = txtText(txt, key);
    const bool digits =
        !text.isEmpty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    const int n = digits ? text.toInt() : -1;
    return n <= max ? n : -1;
}

QString addressText(const AvahiAddress* a, int interface) {
    char buf[AVAHI_ADDRESS_STR_MAX];
    avahi_address_snprint(buf, sizeof buf, a);
    QString text = QString::fromLatin1(buf);
    // A link-local IPv6 address is only usable with its interface.
    if (a->proto == AVAHI_PROTO_INET6 &&
        text.startsWith(QLatin1String("fe80:"), Qt::CaseInsensitive)) {
        char name[IF_NAMESIZE];
        if (if_indextoname(unsigned(interface), name))
            text += QLatin1Char('%') + QString::fromLocal8Bit(name);
    }
    return text;
}

// Lower is better to connect to: IPv4 before IPv6, loopback and link-local last of each.
int addressRank(const QString& address) {
    if (!address.contains(QLatin1Char(':')))
        return address.startsWith(QLatin1String("127.")) ? 1 : 0;
    return address.startsWith(QLatin1String("fe80:"), Qt::CaseInsensitive) ? 3 : 2;
}

} // namespace

struct TableBrowserCallbacks {
    static void browser(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol,
                        AvahiBrowserEvent event, const char* name, const char* type,
                        const char* domain, AvahiLookupResultFlags, void* userdata) {
        auto* self = static_cast<TableBrowser*>(userdata);
        switch (event) {
        case AVAHI_BROWSER_NEW:
            self->serviceAppeared(interface, protocol, name, type, domain);
            break;
        case AVAHI_BROWSER_REMOVE:
            self->serviceVanished(interface, protocol, QString::fromUtf8(name));
            break;
        case AVAHI_BROWSER_FAILURE:
            qWarning("Looking for tables failed: %s",
                     qPrintable(QString::fromUtf8(
                         avahi_strerror(avahi_client_errno(self->m_session.client())))));
            break;
        case AVAHI_BROWSER_CACHE_EXHAUSTED:
        case AVAHI_BROWSER_ALL_FOR_NOW:
            break;
        }
    }

    static void resolver(AvahiServiceResolver* r, AvahiIfIndex interface, AvahiProtocol,
                         AvahiResolverEvent event, const char*, const char*, const char*,
                         const char* hostName, const AvahiAddress* address, uint16_t port,
                         AvahiStringList* txt, AvahiLookupResultFlags, void* userdata) {
        auto* self = static_cast<TableBrowser*>(userdata);
        if (event != AVAHI_RESOLVER_FOUND) {
            self->resolverFailed(r);
            return;
        }
        QString name;
        TableBrowser::Instance* instance = self->instanceOf(r, &name);
        if (!instance)
            return;
        FoundTable& t = instance->table;
        t.name = name;
        t.hostName = QString::fromUtf8(hostName);
        t.address = addressText(address, interface);
        t.port = port;
        t.seats = txtNumber(txt, "seats", 4);
        t.spectators = txtNumber(txt, "spectators", 999);
        t.running = txtText(txt, "running") == QLatin1String("1");
        t.version = txtText(txt, "version");
        instance->resolved = true;
        self->refresh(name);
    }
};

TableBrowser::TableBrowser(QObject* parent) : QObject(parent) {
    connect(&m_session, &AvahiSession::stateChanged, this, &TableBrowser::sessionStateChanged);
    m_session.start();
}

// The session, destroyed last, frees the client and with it the browser and every resolver.
TableBrowser::~TableBrowser() = default;

QList<FoundTable> TableBrowser::tables() const {
    QList<FoundTable> list;
    for (const auto& [name, service] : m_services) {
        if (service.shown)
            list.append(service.table);
    }
    return list;
}

void TableBrowser::sessionStateChanged(AvahiSession::State state) {
    if (state == AvahiSession::State::Unavailable) {
        m_browser = nullptr; // freed with the client that made it
        clear();
    } else if (!m_browser) {
        m_browser = avahi_service_browser_new(
            m_session.client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, kTableServiceType, nullptr,
            AvahiLookupFlags(0), TableBrowserCallbacks::browser, this);
        if (!m_browser)
            qWarning("Cannot look for tables: %s", qPrintable(m_session.errorText()));
    }
    const bool available = isAvailable();
    if (available != m_wasAvailable) {
        m_wasAvailable = available;
        emit availabilityChanged(available);
    }
}

void TableBrowser::serviceAppeared(int interface, int protocol, const char* name, const char* type,
                                   const char* domain) {
    Service& service = m_services[QString::fromUtf8(name)];
    for (const Instance& i : service.instances) {
        if (i.interface == interface && i.protocol == protocol)
            return;
    }
    Instance instance;
    instance.interface = interface;
    instance.protocol = protocol;
    // Each transport resolves its own address family, so an IPv4 address is found wherever
    // the table is seen over IPv4. The resolver is kept: it reports the TXT record again
    // whenever it changes.
    instance.resolver = avahi_service_resolver_new(m_session.client(), interface, protocol, name,
                                                   type, domain, protocol, AvahiLookupFlags(0),
                                                   TableBrowserCallbacks::resolver, this);
    if (instance.resolver)
        service.instances.push_back(instance);
}

void TableBrowser::serviceVanished(int interface, int protocol, const QString& name) {
    const auto it = m_services.find(name);
    if (it == m_services.end())
        return;
    auto& instances = it->second.instances;
    for (auto i = instances.begin(); i != instances.end(); ++i) {
        if (i->interface == interface && i->protocol == protocol) {
            avahi_service_resolver_free(i->resolver);
            instances.erase(i);
            break;
        }
    }
    refresh(name);
}

void TableBrowser::resolverFailed(AvahiServiceResolver* resolver) {
    // The table could not be resolved through this instance (it went away while being looked
    // up); the browser reports its removal if it is gone for good.
    QString name;
    if (Instance* instance = instanceOf(resolver, &name)) {
        instance->resolved = false;
        refresh(name);
    }
}

TableBrowser::Instance* TableBrowser::instanceOf(AvahiServiceResolver* resolver, QString* name) {
    for (auto& [key, service] : m_services) {
        for (Instance& i : service.instances) {
            if (i.resolver == resolver) {
                *name = key;
                return &i;
            }
        }
    }
    return nullptr;
}

void TableBrowser::refresh(const QString& name) {
    const auto it = m_services.find(name);
    if (it == m_services.end())
        return;
    Service& service = it->second;
    const Instance* best = nullptr;
    for (const Instance& i : service.instances) {
        if (i.resolved &&
            (!best || addressRank(i.table.address) < addressRank(best->table.address)))
            best = &i;
    }
    if (!best) {
        const bool wasShown = service.shown;
        if (service.instances.empty())
            m_services.erase(it);
        else
            service.shown = false;
        if (wasShown)
            emit tableRemoved(name);
        return;
    }
    if (service.shown && service.table == best->table)
        return;
    const bool wasShown = service.shown;
    service.shown = true;
    service.table = best->table;
    const FoundTable table = service.table; // the slots may change the list
    if (wasShown)
        emit tableChanged(table);
    else
        emit tableFound(table);
}

void TableBrowser::clear() {
    std::vector<QString> shown;
    for (const auto& [name, service] : m_services) {
        if (service.shown)
            shown.push_back(name);
    }
    m_services.clear();
    for (const QString& name : shown)
        emit tableRemoved(name);
}

} // namespace vrako
