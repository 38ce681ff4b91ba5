// SPDX-License-Identifier: MIT
// The framer fed a stream in pieces of random sizes: the messages and the unfinished tail
// are the same however the stream is cut, and they join back into the stream.
#include "net/framing.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte seeds the cuts; the rest is the stream.
    unsigned cut = data[0] | 1u;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    vrako::MessageFramer whole;
    std::vector<std::string> expected;
    const bool wholeOk = whole.feed(stream, expected);

    vrako::MessageFramer pieces;
    std::vector<std::string> got;
    bool piecesOk = true;
    for (std::size_t at = 0; at < stream.size();) {
        cut = cut * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>(stream.size() - at, 1 + (cut >> 16) % 97);
        piecesOk = pieces.feed(stream.substr(at, n), got) && piecesOk;
        at += n;
    }
    if (pieces.pending() > vrako::MessageFramer::kMaxPending)
        std::abort();
    for (const std::string& m : got) {
        if (m.find(vrako::kFrameEnd) != std::string::npos)
            std::abort();
    }
    if (wholeOk && piecesOk) {
        if (got != expected || pieces.pending() != whole.pending())
            std::abort();
        std::string joined;
        for (const std::string& m : got)
            joined += m + vrako::kFrameEnd;
        if (joined.size() + pieces.pending() != stream.size() ||
            stream.substr(0, joined.size()) != joined)
            std::abort();
    }
    return 0;
}
