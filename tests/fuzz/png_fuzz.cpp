// Feeds the PNG decoder: the input becomes a picture file beside a world, loaded as two
// texture rows naming it (the second copies the first) and as a background picture.
// Chunk checksums are set right before the file is written, so mutations reach the
// decoding instead of stopping at libpng's checksum test.
#include "tests/fuzz/picture_fuzzing.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

static uint32_t crc32Of(const uint8_t* bytes, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t k = 0; k < length; ++k) {
        crc ^= bytes[k];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// Walks the chunks after the 8-byte signature: length, type, data, checksum.
static void fixChecksums(std::string& bytes)
{
    size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const auto* chunk = reinterpret_cast<const uint8_t*>(bytes.data() + at);
        const uint64_t length =
            (uint64_t{chunk[0]} << 24) | (chunk[1] << 16) | (chunk[2] << 8) | chunk[3];
        if (length > bytes.size() - at - 12) return;
        const uint32_t crc = crc32Of(chunk + 4, static_cast<size_t>(length) + 4);
        const size_t crcAt = at + 8 + static_cast<size_t>(length);
        for (int k = 0; k < 4; ++k) bytes[crcAt + k] = static_cast<char>(crc >> (24 - 8 * k));
        at = crcAt + 4;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    fixChecksums(bytes);
    loadPictureEveryWay(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "png");
    return 0;
}
