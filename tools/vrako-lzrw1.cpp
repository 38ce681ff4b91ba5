// SPDX-License-Identifier: MIT
// vrako-lzrw1 compress IN OUT | decompress IN OUT: converts between a plain file and the
// compressed container the game keeps its tally in.
#include "support/lzrw1.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    const std::string usage = "usage: vrako-lzrw1 compress|decompress IN OUT";
    if (argc == 2) {
        const std::string option = argv[1];
        if (option == "--version" || option == "-v") {
            std::printf("vrako-lzrw1 %s\n", VRAKO_VERSION);
            return 0;
        }
        if (option == "--help" || option == "-h") {
            std::printf(
                "%s\n"
                "Converts between a plain file and the compressed container the game keeps\n"
                "its tally in. OUT is written whole or not at all.\n\n"
                "  compress IN OUT     pack the plain file IN into the container OUT\n"
                "  decompress IN OUT   unpack the container IN into the plain file OUT\n"
                "  -h, --help          show this help and exit\n"
                "  -v, --version       show the version and exit\n",
                usage.c_str());
            return 0;
        }
    }
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
