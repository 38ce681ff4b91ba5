// SPDX-License-Identifier: MIT
#include "net/invitelink.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace vrako {

namespace {

const QString kScheme = QStringLiteral("vrako://");

bool isIPv4(const QString& text) {
    in_addr a{};
    return inet_pton(AF_INET, text.toLatin1().constData(), &a) == 1;
}

bool isIPv6(const QString& text) {
    in6_addr a{};
    return inet_pton(AF_INET6, text.toLatin1().constData(), &a) == 1;
}

bool isAsciiAlnum(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// A host name of labels of letters, digits and inner hyphens; one of only digits and dots must
// be an IPv4 address.
bool isHostName(const QString& host) {
    if (std::all_of(host.begin(), host.end(),
                    [](QChar c) { return c == QLatin1Char('.') || c.isDigit(); }))
        return isIPv4(host);
    if (host.size() > 253)
        return false;
    const QStringList labels = host.split(QLatin1Char('.'));
    return std::all_of(labels.begin(), labels.end(), [](const QString& label) {
        return !label.isEmpty() && label.size() <= 63 && label.front() != QLatin1Char('-') &&
               label.back() != QLatin1Char('-') &&
               std::all_of(label.begin(), label.end(),
                           [](QChar c) { return isAsciiAlnum(c) || c == QLatin1Char('-'); });
    });
}

ParsedInviteLink bad(const QString& message) {
    return {std::nullopt, message};
}

// 0: private LAN, 1: anything else, 2: link-local; -1 for text that is no IPv4 address.
int addressClass(const QString& text) {
    in_addr a{};
    if (inet_pton(AF_INET, text.toLatin1().constData(), &a) != 1)
        return -1;
    const quint32 ip = ntohl(a.s_addr);
    const auto in = [ip](quint32 net, int bits) {
        return (ip >> (32 - bits)) == (net >> (32 - bits));
    };
    if (in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16))
        return 0;
    return in(0xA9FE0000, 16) ? 2 : 1;
}

} // namespace

bool looksLikeInviteLink(const QString& argument) {
    return argument.trimmed().startsWith(QLatin1String("vrako:"), Qt::CaseInsensitive);
}

ParsedInviteLink parseInviteLink(const QString& link) {
    const QString text = link.trimmed();
    // The scheme, like every URL scheme, is not case-sensitive.
    if (!text.startsWith(kScheme, Qt::CaseInsensitive))
        return bad(QStringLiteral("This is not a Vrako invite link: it must start with vrako://"));
    QString rest = text.mid(kScheme.size());
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);

    QString host;
    QString after;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return bad(QStringLiteral("The address in brackets in the invite link is not closed "
                                      "with \"]\"."));
        host = rest.mid(1, close - 1);
        after = rest.mid(close + 1);
        if (host.isEmpty())
            return bad(QStringLiteral("The invite link names no computer to join."));
        if (!isIPv6(host))
            return bad(
                QStringLiteral("\"%1\" in the invite link is not an IPv6 address.").arg(host));
    } else {
        const auto end = std::find_if(rest.begin(), rest.end(), [](QChar c) {
            return c == QLatin1Char(':') || c == QLatin1Char('/') || c == QLatin1Char('?') ||
                   c == QLatin1Char('#');
        });
        if (rest.count(QLatin1Char(':')) > 1)
            return bad(QStringLiteral("An IPv6 address in an invite link goes in brackets: "
                                      "vrako://[fd00::2]:7772."));
        host = rest.left(end - rest.begin());
        after = rest.mid(host.size());
        if (host.isEmpty())
            return bad(QStringLiteral("The invite link names no computer to join."));
        if (!isHostName(host))
            return bad(QStringLiteral("\"%1\" in the invite link is not a computer name or "
                                      "address.")
                           .arg(host));
    }

    InviteTarget target{host, kDefaultGamePort};
    if (after.startsWith(QLatin1Char(':'))) {
        qsizetype end = 1;
        while (end < after.size() && after[end] >= QLatin1Char('0') &&
               after[end] <= QLatin1Char('9'))
            ++end;
        const QString number = after.mid(1, end - 1);
        bool ok = false;
        const qulonglong port = number.size() <= 10 ? number.toULongLong(&ok) : 0;
        if (!ok || port < 1 || port > 65535)
            return bad(QStringLiteral("The port in an invite link must be a number from 1 to "
                                      "65535."));
        target.port = quint16(port);
        after = after.mid(end);
        if (!after.isEmpty())
            return bad(QStringLiteral("The invite link goes on after the port: \"%1\". A link "
                                      "is vrako://computer or vrako://computer:port.")
                           .arg(after));
    } else if (!after.isEmpty()) {
        return bad(QStringLiteral("The invite link goes on after the computer's name: \"%1\". "
                                  "A link is vrako://computer or vrako://computer:port.")
                       .arg(after));
    }
    return {target, {}};
}

QString formatInviteLink(const QString& host, quint16 port) {
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return kScheme + shown + QLatin1Char(':') + QString::number(port);
}

QStringList inviteAddressOrder(const QStringList& addresses) {
    QStringList ordered;
    for (int wanted = 0; wanted <= 2; ++wanted) {
        for (const QString& a : addresses) {
            if (addressClass(a) == wanted && !ordered.contains(a))
                ordered.append(a);
        }
    }
    return ordered;
}

QStringList reachableAddresses() {
    QStringList found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return found;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        const unsigned flags = i->ifa_flags;
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(flags & IFF_UP) ||
            !(flags & IFF_RUNNING) || (flags & IFF_LOOPBACK))
            continue;
        sockaddr_in sin{};
        std::memcpy(&sin, i->ifa_addr, sizeof sin);
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &sin.sin_addr, text, sizeof text))
            found.append(QString::fromLatin1(text));
    }
    freeifaddrs(list);
    return inviteAddressOrder(found);
}

QStringList inviteLinks(quint16 port) {
    QStringList links;
    for (const QString& address : reachableAddresses())
        links.append(formatInviteLink(address, port));
    return links;
}

} // namespace vrako
