// The fuzz targets without libFuzzer: feeds a target every file of its seeds folder, so
// each build replays the corpus as a test (the sanitizer build catches what a seed does
// to memory, the others what the target checks itself). Each seed is one input that
// once broke something, or stands for a family of inputs that did.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEEDS-FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> seeds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error))
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    std::sort(seeds.begin(), seeds.end());
    // A folder that is missing or empty would pass without replaying anything.
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 1;
    }
    for (const auto& seed : seeds) {
        const std::size_t size = std::filesystem::file_size(seed);
        // Exactly as large as the seed, as libFuzzer hands it over, so that a read one
        // byte past the input is a read past the block.
        const std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
        std::ifstream in(seed, std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(bytes.get()), static_cast<std::streamsize>(size))) {
            std::fprintf(stderr, "cannot read %s\n", seed.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", seed.filename().c_str(), size);
        std::fflush(stdout); // the last name shown is the seed that crashed
        LLVMFuzzerTestOneInput(bytes.get(), size);
    }
    std::printf("%zu seeds\n", seeds.size());
    return 0;
}
