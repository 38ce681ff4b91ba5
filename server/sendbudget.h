// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrako {

// What one connection may send: messages and bytes per second, each a token bucket that
// starts full and refills at its rate up to its burst. Far above what a person playing and
// chatting sends, so only a flood runs it dry.
class SendBudget {
public:
    struct Limits {
        double messagesPerSecond = 100;
        double messageBurst = 1000;
        double bytesPerSecond = 16 * 1024;
        double byteBurst = 256 * 1024;
    };

    SendBudget() : SendBudget(Limits{}) {}
    explicit SendBudget(const Limits& limits);

    // Charges what arrived at nowMs (a steady clock in milliseconds). Returns false once either
    // bucket is overdrawn.
    bool charge(std::size_t messages, std::size_t bytes, std::int64_t nowMs);

private:
    Limits m_limits;
    double m_messages;
    double m_bytes;
    std::int64_t m_lastMs = -1;
};

} // namespace vrako
