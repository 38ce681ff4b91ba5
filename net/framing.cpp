// SPDX-License-Identifier: MIT
#include "net/framing.h"

namespace vrako {

bool MessageFramer::feed(std::string_view bytes, std::vector<std::string>& out) {
    const bool ok = append(bytes);
    std::string message;
    while (next(message))
        out.push_back(std::move(message));
    // Only the unfinished tail is left: move it to the front for the next feed.
    m_buf.erase(0, m_pos);
    m_tailStart -= m_pos;
    m_pos = 0;
    return ok;
}

bool MessageFramer::append(std::string_view bytes) {
    const std::size_t last = bytes.rfind(kFrameEnd);
    if (last != std::string_view::npos)
        m_tailStart = m_buf.size() + last + 1;
    m_buf.append(bytes);
    if (m_buf.size() - m_tailStart > kMaxPending) {
        m_buf.resize(m_tailStart);
        m_buf.shrink_to_fit();
        if (m_pos == m_buf.size())
            clear();
        return false;
    }
    return true;
}

bool MessageFramer::next(std::string& out) {
    if (!hasMessage())
        return false;
    // A 0xFF lies before m_tailStart, so the search ends within what is complete.
    const std::size_t end = m_buf.find(kFrameEnd, m_pos);
    out.assign(m_buf, m_pos, end - m_pos);
    m_pos = end + 1;
    if (m_pos == m_buf.size()) {
        clear();
    } else if (m_pos >= kMaxPending && m_pos >= m_buf.size() / 2) {
        // Drop what was taken once it is most of the buffer, so the buffer stays bounded.
        m_buf.erase(0, m_pos);
        m_tailStart -= m_pos;
        m_pos = 0;
    }
    return true;
}

void MessageFramer::clear() {
    m_buf.clear();
    m_pos = 0;
    m_tailStart = 0;
}

} // namespace vrako
