// SPDX-License-Identifier: MIT
#include "net/framing.h"

namespace vrako {

bool MessageFramer::feed(std::string_view bytes, std::vector<std::string>& out) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find(kFrameEnd, start);
        if (end == std::string_view::npos)
            break;
        if (m_tail.empty()) {
            out.emplace_back(bytes.substr(start, end - start));
        } else {
            m_tail.append(bytes.substr(start, end - start));
            out.push_back(std::move(m_tail));
            m_tail.clear();
        }
        start = end + 1;
    }
    m_tail.append(bytes.substr(start));
    if (m_tail.size() > kMaxPending) {
        m_tail.clear();
        m_tail.shrink_to_fit();
        return false;
    }
    return true;
}

} // namespace vrako
