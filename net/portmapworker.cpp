// SPDX-License-Identifier: MIT
#include "net/portmapworker.h"

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

namespace vrako {
namespace {

// How long the network search waits for routers to answer.
constexpr int kDiscoverMs = 2000;
// The router's answer when it only keeps mappings without an end (OnlyPermanentLeasesSupported).
constexpr int kOnlyPermanentLeases = 725;
constexpr const char* kProtocol = "TCP";

QString describe(const char* action, int code) {
    const char* name = strupnperror(code);
    return QStringLiteral("%1: %2 (%3)")
        .arg(QLatin1String(action), name ? QString::fromLatin1(name) : QStringLiteral("error"),
             QString::number(code));
}

// Whether friends on the internet can reach address. A router behind another one (a provider's
// shared address, 100.64.0.0/10, or a private network) reports its address on that other
// network, which is no use to them.
bool isPublicIPv4(const char* address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, address, &parsed) != 1)
        return false;
    const quint32 a = ntohl(parsed.s_addr);
    const auto in = [a](quint32 net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return !(in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) ||
             in(0xA9FE0000, 16) || in(0xAC100000, 12) || in(0xC0A80000, 16) || a >= 0xE0000000);
}

} // namespace

// The router found, as the library describes it.
struct PortMapWorker::Router {
    UPNPUrls urls{};
    IGDdatas data{};
    char lanAddress[64] = {}; // this computer's address on the router's side
    ~Router() { FreeUPNPUrls(&urls); }
    Router() = default;
    Router(const Router&) = delete;
    Router& operator=(const Router&) = delete;
};

PortMapWorker::PortMapWorker(std::shared_ptr<std::atomic_bool> stopping)
    : m_stopping(std::move(stopping)) {}

PortMapWorker::~PortMapWorker() = default;

bool PortMapWorker::findRouter(const QString& url, QString& detail) {
    auto router = std::make_unique<Router>();
    const int lanSize = int(sizeof router->lanAddress);
    if (!url.isEmpty()) {
        // The address is given: read its description and skip the search.
        if (UPNP_GetIGDFromUrl(url.toUtf8().constData(), &router->urls, &router->data,
                               router->lanAddress, lanSize) != 1) {
            detail = QStringLiteral("no router description at ") + url;
            return false;
        }
    } else {
        int error = 0;
        UPNPDev* devices =
            upnpDiscover(kDiscoverMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        const bool anyAnswer = devices != nullptr;
#if MINIUPNPC_API_VERSION >= 18
        char wanAddress[64] = {};
        const int found =
            UPNP_GetValidIGD(devices, &router->urls, &router->data, router->lanAddress, lanSize,
                             wanAddress, int(sizeof wanAddress));
#else
        const int found =
            UPNP_GetValidIGD(devices, &router->urls, &router->data, router->lanAddress, lanSize);
#endif
        freeUPNPDevlist(devices);
        // 1 is a connected gateway; anything else is no use for reaching this computer.
        if (found != 1) {
            detail = anyAnswer ? QStringLiteral("no connected router answered the search")
                               : QStringLiteral("no router answered the search");
            return false;
        }
    }
    if (!router->urls.controlURL || !*router->urls.controlURL || !*router->lanAddress) {
        detail = QStringLiteral("the router offers no connection service");
        return false;
    }
    m_router = std::move(router);
    return true;
}

void PortMapWorker::forgetRouter() {
    m_router.reset();
}

void PortMapWorker::map(const PortMapOrder& order) {
    if (m_stopping->load())
        return;
    QString detail;
    if (!m_router && !findRouter(order.routerUrl, detail)) {
        emit failed(detail);
        return;
    }
    // The search takes seconds; the host may have ended meanwhile.
    if (m_stopping->load())
        return;

    const QByteArray port = QByteArray::number(order.port);
    const QByteArray description = order.description.toUtf8();
    const auto add = [&](int lease) {
        const QByteArray leaseText = QByteArray::number(lease);
        return UPNP_AddPortMapping(m_router->urls.controlURL, m_router->data.first.servicetype,
                                   port.constData(), port.constData(), m_router->lanAddress,
                                   description.constData(), kProtocol, nullptr,
                                   leaseText.constData());
    };
    int lease = m_permanentOnly ? 0 : order.leaseSeconds;
    int result = add(lease);
    if (result == kOnlyPermanentLeases && lease != 0) {
        m_permanentOnly = true;
        lease = 0;
        result = add(lease);
    }
    if (result != UPNPCOMMAND_SUCCESS) {
        // A refusal comes from a router that answers; a failed exchange may mean the router
        // moved, so the next attempt looks for it again.
        if (result < 0)
            forgetRouter();
        emit failed(describe("AddPortMapping", result));
        return;
    }
    m_mappedPort = port;

    char external[64] = {};
    QString externalAddress;
    if (UPNP_GetExternalIPAddress(m_router->urls.controlURL, m_router->data.first.servicetype,
                                  external) == UPNPCOMMAND_SUCCESS &&
        isPublicIPv4(external))
        externalAddress = QString::fromLatin1(external);
    emit mapped(externalAddress, lease);
}

void PortMapWorker::unmap() {
    if (m_router && !m_mappedPort.isEmpty())
        UPNP_DeletePortMapping(m_router->urls.controlURL, m_router->data.first.servicetype,
                               m_mappedPort.constData(), kProtocol, nullptr);
    m_mappedPort.clear();
}

} // namespace vrako
