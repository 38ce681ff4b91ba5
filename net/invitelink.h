// SPDX-License-Identifier: MIT
#pragma once

// Invite links: vrako://HOST[:PORT] names a table to join. HOST is a host name ("ann-pc.local"),
// an IPv4 address, or an IPv6 address in brackets ("[fd00::2]"; no zone index); PORT is 1 to
// 65535 and defaults to the game port. Nothing may follow the port but one "/", which some
// programs add to every link they pass on.

#include <QString>
#include <QStringList>
#include <optional>

namespace vrako {

inline constexpr quint16 kDefaultGamePort = 7772;

struct InviteTarget {
    QString host; // without brackets
    quint16 port = kDefaultGamePort;
    bool operator==(const InviteTarget&) const = default;
};

// The table a link names, or for a bad link no target and a message saying what is wrong.
struct ParsedInviteLink {
    std::optional<InviteTarget> target;
    QString error;
};

ParsedInviteLink parseInviteLink(const QString& link);
// Whether a command-line argument is meant as an invite link (a bad one included), rather than
// a player's name.
bool looksLikeInviteLink(const QString& argument);
QString formatInviteLink(const QString& host, quint16 port);

// The IPv4 addresses of this computer's interfaces that are up and running, loopback left out,
// in the order of inviteAddressOrder().
QStringList reachableAddresses();
// Orders addresses for an invitation: private LAN ranges first (10/8, 172.16/12, 192.168/16),
// then the rest, link-local (169.254/16) last; otherwise as given, without repeats.
QStringList inviteAddressOrder(const QStringList& addresses);
// One link per reachable address of this computer.
QStringList inviteLinks(quint16 port);

} // namespace vrako
