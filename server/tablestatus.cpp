// SPDX-License-Identifier: MIT
#include "server/tablestatus.h"

namespace vrako {

TableStatus tableStatus(const GameTable& table) {
    TableStatus status;
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        const PlayerRecord& p = table.player(r);
        if (p.connected && p.loggedIn)
            ++(GameTable::isSeat(r) ? status.seats : status.spectators);
    }
    status.running = table.state().gamerunning;
    return status;
}

} // namespace vrako
