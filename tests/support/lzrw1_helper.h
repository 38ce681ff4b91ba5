// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Deterministic test data for the compressor: each kind stresses a different item.
namespace lzrw1test {

using Bytes = std::vector<std::uint8_t>;

enum class Kind { Random, Text, Runs, Repeats, Mixed };

inline Bytes randomBytes(std::size_t n, std::mt19937& rng) {
    Bytes out(n);
    for (auto& b : out)
        b = std::uint8_t(rng());
    return out;
}

inline Bytes textBytes(std::size_t n, std::mt19937& rng) {
    static const char* const words[] = {"the",   "card", "vrako", "wild",   "reverse", "double",
                                        "bomb",  "blue", "green", "red",    "yellow",  "player",
                                        "score", "game", "round", "winner", "12",      "7"};
    Bytes out;
    out.reserve(n + 16);
    while (out.size() < n) {
        const std::string w = words[rng() % std::size(words)];
        out.insert(out.end(), w.begin(), w.end());
        out.push_back(rng() % 9 == 0 ? '\n' : ' ');
    }
    out.resize(n);
    return out;
}

inline Bytes runBytes(std::size_t n, std::mt19937& rng) {
    Bytes out;
    out.reserve(n);
    while (out.size() < n) {
        const std::size_t len = rng() % 3 == 0 ? rng() % 6000 : rng() % 40;
        out.insert(out.end(), std::min(len + 1, n - out.size()), std::uint8_t(rng() % 4));
    }
    return out;
}

inline Bytes repeatBytes(std::size_t n, std::mt19937& rng) {
    Bytes out;
    out.reserve(n);
    while (out.size() < n) {
        if (out.size() > 32 && rng() % 4 != 0) {
            // Repeat an earlier stretch, sometimes overlapping itself.
            const std::size_t back = 1 + rng() % std::min<std::size_t>(out.size(), 5000);
            const std::size_t len = 1 + rng() % 40;
            for (std::size_t i = 0; i < len && out.size() < n; ++i)
                out.push_back(out[out.size() - back]);
        } else {
            out.push_back(std::uint8_t(rng()));
        }
    }
    return out;
}

inline Bytes makeData(Kind kind, std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    switch (kind) {
    case Kind::Random:
        return randomBytes(n, rng);
    case Kind::Text:
        return textBytes(n, rng);
    case Kind::Runs:
        return runBytes(n, rng);
    case Kind::Repeats:
        return repeatBytes(n, rng);
    case Kind::Mixed:
        break;
    }
    Bytes out;
    while (out.size() < n) {
        const std::size_t part = std::min<std::size_t>(n - out.size(), 1 + rng() % 20000);
        const Bytes piece = makeData(Kind(rng() % 4), part, unsigned(rng()));
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

} // namespace lzrw1test
