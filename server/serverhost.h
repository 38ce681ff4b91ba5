// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace vrako {

// What the game logic needs from whoever carries it: delivering bytes to a record's connection,
// closing a connection, and the two one-shot timers.
class ServerHost {
public:
    virtual ~ServerHost() = default;

    // Sends a whole message to the connection of record (1-9); the record is known present.
    virtual void send(int record, std::string_view bytes) = 0;
    // Closes the connection of record; the host then reports the close back to the logic.
    virtual void closeConnection(int record) = 0;

    // (Re)starts the one-shot computer-player timer; its expiry calls computerTimerFired().
    virtual void startComputerTimer(int ms) = 0;
    virtual void stopComputerTimer() = 0;
    // (Re)starts the one-shot pause before the next round; its expiry calls roundTimerFired().
    virtual void startRoundTimer(int ms) = 0;
    virtual void stopRoundTimer() = 0;
};

} // namespace vrako
