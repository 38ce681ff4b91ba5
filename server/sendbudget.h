// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrako {

// What one connection may send: messages and bytes per second, each a token bucket that
// starts full and refills at its rate up to its burst. Far above what a person playing and
// chatting sends, so only a flood or a long paste runs it dry; the server then reads that
// connection more slowly.
class SendBudget {
public:
    struct Limits {
        double messagesPerSecond = 100;
        double messageBurst = 1000;
        double bytesPerSecond = 16 * 1024;
        // Holds several of the longest chat lines (about 60 KB each).
        double byteBurst = 256 * 1024;
    };

    SendBudget() : SendBudget(Limits{}) {}
    explicit SendBudget(const Limits& limits);

    // Charges what arrived at nowMs (a steady clock in milliseconds). Returns false once either
    // bucket is overdrawn; spending a bucket exactly to zero is still within.
    bool charge(std::size_t messages, std::size_t bytes, std::int64_t nowMs);
    // Milliseconds from nowMs until neither bucket is overdrawn any more; 0 when neither is.
    std::int64_t msUntilWithin(std::int64_t nowMs) const;

private:
    Limits m_limits;
    double m_messages;
    double m_bytes;
    std::int64_t m_lastMs = -1;
};

} // namespace vrako
