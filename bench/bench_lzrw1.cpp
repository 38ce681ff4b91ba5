// SPDX-License-Identifier: MIT
// Compression and decompression speed of the tally container's coder next to LZ4 and zlib
// level 1, all on the same in-memory corpus of mixed text and binary data.
#include "support/lzrw1.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <lz4.h>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void appendText(Bytes& out, std::size_t n, std::mt19937& rng) {
    static const char* const words[] = {
        "the",   "of",    "and",    "to",    "card",      "player", "in",       "is",
        "vrako", "round", "score",  "wild",  "reverse",   "double", "bomb",     "blue",
        "green", "red",   "yellow", "turn",  "hand",      "table",  "winner",   "game",
        "draws", "plays", "chat",   "lobby", "spectator", "seat",   "computer", "number"};
    std::geometric_distribution<int> pick(0.15);
    const std::size_t end = out.size() + n;
    while (out.size() < end) {
        const std::string w = words[std::min<int>(pick(rng), int(std::size(words)) - 1)];
        out.insert(out.end(), w.begin(), w.end());
        const unsigned r = rng() % 16;
        out.push_back(r == 0 ? '.' : r == 1 ? ',' : ' ');
        if (r == 0)
            out.push_back('\n');
    }
    out.resize(end);
}

void appendLog(Bytes& out, std::size_t n, std::mt19937& rng) {
    const std::size_t end = out.size() + n;
    unsigned t = 100000;
    char line[128];
    while (out.size() < end) {
        t += static_cast<unsigned>(rng() % 50);
        const int len = std::snprintf(line, sizeof line, "%u;seat=%u;card=%u;score=%u;%s\n", t,
                                      unsigned(1 + rng() % 4), unsigned(rng() % 57),
                                      unsigned(rng() % 500), rng() % 3 ? "play" : "draw");
        out.insert(out.end(), line, line + len);
    }
    out.resize(end);
}

void appendRecords(Bytes& out, std::size_t n, std::mt19937& rng) {
    // Fixed-size records with slowly changing integers and zero padding.
    const std::size_t end = out.size() + n;
    std::uint32_t id = 1, value = 5000;
    while (out.size() < end) {
        std::uint8_t rec[24] = {};
        value += std::uint32_t(int(rng() % 21) - 10);
        std::memcpy(rec, &id, 4);
        std::memcpy(rec + 4, &value, 4);
        rec[8] = std::uint8_t(rng() % 4);
        rec[12] = std::uint8_t(rng());
        out.insert(out.end(), rec, rec + sizeof rec);
        ++id;
    }
    out.resize(end);
}

void appendNoise(Bytes& out, std::size_t n, std::mt19937& rng) {
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(std::uint8_t(rng()));
}

// About 4 MiB: mostly text and logs, a quarter binary records, a little incompressible data.
Bytes makeCorpus() {
    std::mt19937 rng(20260), sizes(7);
    Bytes out;
    out.reserve(4u << 20);
    while (out.size() < (4u << 20)) {
        const std::size_t n = 4096 + sizes() % 60000;
        switch (sizes() % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
            appendText(out, n, rng);
            break;
        case 4:
        case 5:
        case 6:
            appendLog(out, n, rng);
            break;
        case 7:
        case 8:
            appendRecords(out, n, rng);
            break;
        default:
            appendNoise(out, n / 4, rng);
        }
    }
    out.resize(4u << 20);
    return out;
}

// Best time of several runs, in seconds.
double bestOf(int runs, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct Result {
    const char* name;
    std::size_t packed;
    double compressMBs;
    double decompressMBs;
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const Bytes corpus = makeCorpus();
    const double mb = double(corpus.size()) / 1e6;
    std::vector<Result> results;

    {
        vrako::Tlzrw1 coder;
        Bytes packed(vrako::Tlzrw1::compressBound(corpus.size()));
        Bytes back(vrako::Tlzrw1::decompressCapacity(corpus.size()));
        std::size_t packedSize = 0, backSize = 0;
        const double c =
            bestOf(runs, [&] { packedSize = coder.compressBuffer(corpus, packed.data()); });
        const std::span<const std::uint8_t> in(packed.data(), packedSize);
        const double d = bestOf(runs, [&] {
            backSize = vrako::Tlzrw1::decompressBuffer(in, back.data(), back.size());
        });
        if (backSize != corpus.size() || !std::equal(corpus.begin(), corpus.end(), back.begin())) {
            std::fprintf(stderr, "LZRW1-KH round trip failed\n");
            return 1;
        }
        results.push_back({"LZRW1-KH (Tlzrw1)", packedSize, mb / c, mb / d});
    }
    {
        const int bound = LZ4_compressBound(int(corpus.size()));
        Bytes packed(static_cast<std::size_t>(bound));
        Bytes back(corpus.size());
        int packedSize = 0, backSize = 0;
        const auto* src = reinterpret_cast<const char*>(corpus.data());
        auto* dst = reinterpret_cast<char*>(packed.data());
        const double c = bestOf(
            runs, [&] { packedSize = LZ4_compress_default(src, dst, int(corpus.size()), bound); });
        const double d = bestOf(runs, [&] {
            backSize = LZ4_decompress_safe(dst, reinterpret_cast<char*>(back.data()), packedSize,
                                           int(back.size()));
        });
        if (backSize != int(corpus.size()) || back != corpus) {
            std::fprintf(stderr, "LZ4 round trip failed\n");
            return 1;
        }
        results.push_back({"LZ4 (default)", std::size_t(packedSize), mb / c, mb / d});
    }
    {
        uLongf bound = compressBound(uLong(corpus.size()));
        Bytes packed(bound), back(corpus.size());
        uLongf packedSize = 0, backSize = 0;
        const double c = bestOf(runs, [&] {
            packedSize = bound;
            compress2(packed.data(), &packedSize, corpus.data(), uLong(corpus.size()), 1);
        });
        const double d = bestOf(runs, [&] {
            backSize = uLongf(back.size());
            uncompress(back.data(), &backSize, packed.data(), packedSize);
        });
        if (backSize != corpus.size() || back != corpus) {
            std::fprintf(stderr, "zlib round trip failed\n");
            return 1;
        }
        results.push_back({"zlib level 1", std::size_t(packedSize), mb / c, mb / d});
    }

    std::printf("corpus: %zu bytes (text, logs, binary records, some noise); best of %d runs\n\n",
                corpus.size(), runs);
    std::printf("%-20s %12s %8s %16s %16s\n", "codec", "packed", "ratio", "compress MB/s",
                "decompress MB/s");
    for (const Result& r : results)
        std::printf("%-20s %12zu %7.1f%% %16.1f %16.1f\n", r.name, r.packed,
                    100.0 * double(r.packed) / double(corpus.size()), r.compressMBs,
                    r.decompressMBs);

    const Result& ours = results[0];
    const Result& lz4 = results[1];
    const Result& zlib = results[2];
    const auto line = [](const char* what, double ratio, double target) {
        std::printf("  %-28s %6.2fx  (target >= %.1fx: %s)\n", what, ratio, target,
                    ratio >= target ? "met" : "MISSED");
    };
    std::printf("\nspeed of LZRW1-KH relative to the others\n");
    line("compress vs LZ4", ours.compressMBs / lz4.compressMBs, 0.5);
    line("compress vs zlib level 1", ours.compressMBs / zlib.compressMBs, 2.0);
    line("decompress vs LZ4", ours.decompressMBs / lz4.decompressMBs, 0.2);
    line("decompress vs zlib level 1", ours.decompressMBs / zlib.decompressMBs, 2.0);
    return 0;
}
