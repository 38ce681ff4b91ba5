// SPDX-License-Identifier: MIT
#pragma once

// Message framing: every message is its text followed by one byte 0xFF. There is no escape and no
// length prefix; valid UTF-8 never contains 0xFF, so text cannot break a frame.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrako {

inline constexpr char kFrameEnd = '\xFF';

// Cuts a byte stream into messages at 0xFF. Bytes after the last 0xFF are kept and joined with
// the next feed, because TCP may split a message anywhere.
class MessageFramer {
public:
    // An unfinished message may not grow past this; the owner closes such a connection.
    static constexpr std::size_t kMaxPending = 64 * 1024;

    // Appends every complete message of bytes (joined with what was pending) to out, in order.
    // Returns false when the unfinished tail exceeds kMaxPending; the tail is then dropped.
    bool feed(std::string_view bytes, std::vector<std::string>& out);

    std::size_t pending() const { return m_tail.size(); }
    void clear() { m_tail.clear(); }

private:
    std::string m_tail;
};

} // namespace vrako
