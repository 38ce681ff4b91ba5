// SPDX-License-Identifier: MIT
// Runs a fuzz target once on every file named, or found in a folder named, on the command line,
// so that the seed corpus and past crashes replay as an ordinary test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // A copy of exactly the file's size, so that a read past its end is caught.
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    return LLVMFuzzerTestOneInput(data.data(), data.size());
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
        } else if (std::filesystem::exists(path)) {
            files.push_back(path);
        }
        for (const auto& f : files) {
            replay(f);
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    // A folder of seeds that went missing would make this test pass without testing anything.
    return count > 0 ? 0 : 1;
}
