// SPDX-License-Identifier: MIT
#include "server/sendbudget.h"

#include <algorithm>
#include <cmath>

namespace vrako {
namespace {

// The longest wait reported, also for a bucket that does not refill at all.
constexpr double kLongestWaitMs = 3600.0 * 1000.0;

double secondsBetween(std::int64_t fromMs, std::int64_t toMs) {
    return fromMs >= 0 && toMs > fromMs ? static_cast<double>(toMs - fromMs) / 1000.0 : 0.0;
}

// Milliseconds until a bucket at level refills to zero.
double waitMs(double level, double perSecond) {
    if (level >= 0)
        return 0;
    return perSecond > 0 ? std::min(kLongestWaitMs, -level / perSecond * 1000.0) : kLongestWaitMs;
}

} // namespace

SendBudget::SendBudget(const Limits& limits)
    : m_limits(limits), m_messages(limits.messageBurst), m_bytes(limits.byteBurst) {}

bool SendBudget::charge(std::size_t messages, std::size_t bytes, std::int64_t nowMs) {
    const double seconds = secondsBetween(m_lastMs, nowMs);
    m_messages = std::min(m_limits.messageBurst, m_messages + seconds * m_limits.messagesPerSecond);
    m_bytes = std::min(m_limits.byteBurst, m_bytes + seconds * m_limits.bytesPerSecond);
    if (m_lastMs < 0 || nowMs > m_lastMs)
        m_lastMs = nowMs;
    m_messages -= static_cast<double>(messages);
    m_bytes -= static_cast<double>(bytes);
    return m_messages >= 0 && m_bytes >= 0;
}

std::int64_t SendBudget::msUntilWithin(std::int64_t nowMs) const {
    const double seconds = secondsBetween(m_lastMs, nowMs);
    const double ms = std::max(
        waitMs(m_messages + seconds * m_limits.messagesPerSecond, m_limits.messagesPerSecond),
        waitMs(m_bytes + seconds * m_limits.bytesPerSecond, m_limits.bytesPerSecond));
    return static_cast<std::int64_t>(std::ceil(ms));
}

} // namespace vrako
