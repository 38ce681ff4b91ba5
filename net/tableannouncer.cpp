// SPDX-License-Identifier: MIT
#include "net/tableannouncer.h"

#include "net/commands.h"

#include <QtDebug>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <memory>
#include <string>

namespace vrako {

namespace {

// The TXT record of status; freed with avahi_string_list_free.
struct StringListFree {
    void operator()(AvahiStringList* list) const { avahi_string_list_free(list); }
};
using StringList = std::unique_ptr<AvahiStringList, StringListFree>;

StringList txtRecord(const TableStatus& status) {
    const std::string version(cmd::version);
    AvahiStringList* list = avahi_string_list_new(("version=" + version).c_str(), nullptr);
    list = avahi_string_list_add_printf(list, "seats=%d", status.seats);
    list = avahi_string_list_add_printf(list, "spectators=%d", status.spectators);
    list = avahi_string_list_add_printf(list, "running=%d", status.running ? 1 : 0);
    return StringList(list);
}

QString errorText(AvahiEntryGroup* group) {
    return QString::fromUtf8(
        avahi_strerror(avahi_client_errno(avahi_entry_group_get_client(group))));
}

} // namespace

struct TableAnnouncerCallbacks {
    static void group(AvahiEntryGroup* g, AvahiEntryGroupState state, void* userdata) {
        static_cast<TableAnnouncer*>(userdata)->groupStateChanged(g, int(state));
    }
};

TableAnnouncer::TableAnnouncer(const QString& owner, quint16 port, const TableStatus& status,
                               QObject* parent)
    : QObject(parent), m_name(tableInstanceName(owner)), m_port(port), m_status(status) {
    connect(&m_session, &AvahiSession::stateChanged, this, &TableAnnouncer::sessionStateChanged);
    m_session.start();
}

TableAnnouncer::~TableAnnouncer() {
    // Freeing the group withdraws the service: the daemon says goodbye on the network.
    if (m_group)
        avahi_entry_group_free(m_group);
}

void TableAnnouncer::update(const TableStatus& status) {
    if (status == m_status)
        return;
    m_status = status;
    if (!m_group || avahi_entry_group_is_empty(m_group))
        return; // the next addService carries it
    const StringList txt = txtRecord(m_status);
    if (avahi_entry_group_update_service_txt_strlst(
            m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
            m_name.toUtf8().constData(), kTableServiceType, nullptr, txt.get()) < 0)
        qWarning("Cannot update the announcement of the table: %s", qPrintable(errorText(m_group)));
}

void TableAnnouncer::sessionStateChanged(AvahiSession::State state) {
    switch (state) {
    case AvahiSession::State::Unavailable:
        m_group = nullptr; // freed with the client that made it
        m_announced = false;
        break;
    case AvahiSession::State::Registering:
        // The host name changes (a collision): the service follows once it is settled.
        if (m_group)
            avahi_entry_group_reset(m_group);
        m_announced = false;
        break;
    case AvahiSession::State::Running:
        if (!m_group) {
            m_group =
                avahi_entry_group_new(m_session.client(), TableAnnouncerCallbacks::group, this);
            if (!m_group) {
                qWarning("Cannot announce the table: %s", qPrintable(m_session.errorText()));
                break;
            }
        }
        if (avahi_entry_group_is_empty(m_group))
            addService(m_group);
        break;
    }
    const bool available = isAvailable();
    if (available != m_wasAvailable) {
        m_wasAvailable = available;
        emit availabilityChanged(available);
    }
}

void TableAnnouncer::addService(AvahiEntryGroup* group) {
    const StringList txt = txtRecord(m_status);
    // A name taken by this daemon's own services collides at once; others collide later,
    // through the group's state.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int r = avahi_entry_group_add_service_strlst(
            group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
            m_name.toUtf8().constData(), kTableServiceType, nullptr, nullptr, m_port, txt.get());
        if (r == AVAHI_ERR_COLLISION) {
            takeAlternativeName();
            continue;
        }
        if (r < 0 || avahi_entry_group_commit(group) < 0) {
            qWarning("Cannot announce the table: %s", qPrintable(errorText(group)));
            avahi_entry_group_reset(group);
        }
        return;
    }
}

void TableAnnouncer::takeAlternativeName() {
    char* alternative = avahi_alternative_service_name(m_name.toUtf8().constData());
    m_name = QString::fromUtf8(alternative);
    avahi_free(alternative);
}

void TableAnnouncer::groupStateChanged(AvahiEntryGroup* group, int groupState) {
    switch (AvahiEntryGroupState(groupState)) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        m_announced = true;
        emit announced(m_name);
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        // Another computer announces a service of this name.
        m_announced = false;
        takeAlternativeName();
        avahi_entry_group_reset(group);
        addService(group);
        break;
    case AVAHI_ENTRY_GROUP_FAILURE:
        m_announced = false;
        qWarning("Cannot announce the table: %s", qPrintable(errorText(group)));
        break;
    case AVAHI_ENTRY_GROUP_UNCOMMITED:
    case AVAHI_ENTRY_GROUP_REGISTERING:
        break;
    }
}

} // namespace vrako
