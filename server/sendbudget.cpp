// SPDX-License-Identifier: MIT
#include "server/sendbudget.h"

#include <algorithm>

namespace vrako {

SendBudget::SendBudget(const Limits& limits)
    : m_limits(limits), m_messages(limits.messageBurst), m_bytes(limits.byteBurst) {}

bool SendBudget::charge(std::size_t messages, std::size_t bytes, std::int64_t nowMs) {
    if (m_lastMs >= 0 && nowMs > m_lastMs) {
        const double seconds = static_cast<double>(nowMs - m_lastMs) / 1000.0;
        m_messages =
            std::min(m_limits.messageBurst, m_messages + seconds * m_limits.messagesPerSecond);
        m_bytes = std::min(m_limits.byteBurst, m_bytes + seconds * m_limits.bytesPerSecond);
    }
    if (m_lastMs < 0 || nowMs > m_lastMs)
        m_lastMs = nowMs;
    m_messages -= static_cast<double>(messages);
    m_bytes -= static_cast<double>(bytes);
    return m_messages >= 0 && m_bytes >= 0;
}

} // namespace vrako
