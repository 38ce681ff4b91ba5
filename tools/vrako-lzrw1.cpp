// SPDX-License-Identifier: MIT
// vrako-lzrw1 compress IN OUT | decompress IN OUT: converts between a plain file and the
// compressed container the game keeps its tally in.
#include "support/lzrw1.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    const std::string usage = "usage: vrako-lzrw1 compress|decompress IN OUT";
    if (argc != 4) {
        std::fprintf(stderr, "%s\n", usage.c_str());
        return 1;
    }
    const std::string command = argv[1];
    if (command != "compress" && command != "decompress") {
        std::fprintf(stderr, "vrako-lzrw1: unknown command \"%s\"\n%s\n", argv[1], usage.c_str());
        return 1;
    }
    try {
        vrako::Tlzrw1 doit;
        doit.setCompressMode(vrako::TCompressMode::Fast);
        doit.setInputFile(argv[2]);
        doit.setOutputFile(argv[3]);
        if (command == "compress")
            doit.Compress();
        else
            doit.Decompress();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
