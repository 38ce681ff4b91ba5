// SPDX-License-Identifier: MIT
#pragma once

// How a hosted table is described on the local network (DNS-SD): one service of type
// _vrako._tcp on the game port, named "<name>'s table", whose TXT record says
//
//   version=1.0.17   the game version of the host (players of another version are warned)
//   seats=N          seats taken by people, 0 to 4
//   spectators=N     people watching
//   running=0|1      whether a game is being played
//
// Copies that do not know these records still join by address as before.

#include <QString>

namespace vrako {

inline constexpr char kTableServiceType[] = "_vrako._tcp";

// What the TXT record says about the people at a table.
struct TableStatus {
    int seats = 0;
    int spectators = 0;
    bool running = false;
    bool operator==(const TableStatus&) const = default;
};

// "<name>'s table", cut to the 63 bytes of UTF-8 a DNS-SD instance name may have (the name
// is shortened, never split inside a character). An empty name stands for this computer's
// host name.
QString tableInstanceName(const QString& name);

} // namespace vrako
