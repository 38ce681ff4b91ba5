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
//
// Messages can be cut all at once (feed) or taken one at a time when the owner is ready for
// them (append, then next), so that what was read but not yet taken stays as compact bytes.
class MessageFramer {
public:
    // An unfinished message may not grow past this; the owner closes such a connection.
    static constexpr std::size_t kMaxPending = 64 * 1024;

    // Appends every complete message of bytes (joined with what was pending) to out, in order.
    // Returns false when the unfinished tail exceeds kMaxPending; the tail is then dropped.
    bool feed(std::string_view bytes, std::vector<std::string>& out);

    // Keeps bytes for next(). Returns false when the unfinished tail exceeds kMaxPending; the
    // tail is then dropped and the complete messages before it stay.
    bool append(std::string_view bytes);
    // Takes the oldest complete message into out; false when no complete message waits.
    bool next(std::string& out);
    bool hasMessage() const { return m_pos < m_tailStart; }

    // Bytes kept and not yet taken as messages: complete ones and the unfinished tail.
    std::size_t pending() const { return m_buf.size() - m_pos; }
    void clear();

private:
    std::string m_buf;
    // Start of what has not been taken yet.
    std::size_t m_pos = 0;
    // Start of the unfinished tail: just after the last 0xFF in m_buf.
    std::size_t m_tailStart = 0;
};

} // namespace vrako
