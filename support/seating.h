// SPDX-License-Identifier: MIT
#pragma once

// Who sits at the table, in the words the server, the protocol and the client share.
//
// A connection holds one record: records 1 to 4 are the seats, record 1 the host's own window,
// 5 to 9 the spectators.

namespace vrako::seating {

inline constexpr int kSeats = 4;
inline constexpr int kRecords = 9;
inline constexpr int kHostRecord = 1;

constexpr bool isSeat(int n) {
    return n >= 1 && n <= kSeats;
}
constexpr bool isRecord(int n) {
    return n >= 1 && n <= kRecords;
}

} // namespace vrako::seating
