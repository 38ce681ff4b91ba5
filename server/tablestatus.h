// SPDX-License-Identifier: MIT
#pragma once

#include "net/tableservice.h"
#include "server/gametable.h"

namespace vrako {

// Who is at the table, as its announcement on the local network tells it: the people who have
// logged in, in the seats and watching, and whether a game is on.
TableStatus tableStatus(const GameTable& table);

} // namespace vrako
