// Writing a WAV file.
#include "host/wav_file.h"

#include "host/output_file.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBitsPerSample = 16;

void putU32(std::FILE* out, std::uint32_t value)
{
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, out);
}

void putU16(std::FILE* out, std::uint16_t value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                    static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, out);
}

// A sample as a 16-bit value, rounded; beyond full scale (or not a number) it is clipped.
std::int16_t toPcm(float sample)
{
    if (!(sample > -1.0f)) return -32767;
    if (sample >= 1.0f) return 32767;
    return static_cast<std::int16_t>(std::lround(sample * 32767.0f));
}

} // namespace

bool writeWav(const std::string& path, const std::vector<float>& samples, std::uint32_t rate,
              std::string& error)
{
    if (samples.size() > (0xFFFFFFFFu - 36) / sizeof(std::int16_t)) {
        error = path + ": more sound than a WAV file holds";
        return false;
    }
    OutputFile file(path);
    if (!file.open(error)) return false;
    std::FILE* out = file.stream();
    const std::uint32_t dataBytes =
        static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    std::fwrite("RIFF", 1, 4, out);
    putU32(out, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, out);
    putU32(out, 16);
    putU16(out, 1); // PCM
    putU16(out, kChannels);
    putU32(out, rate);
    putU32(out, rate * kChannels * kBitsPerSample / 8);
    putU16(out, kChannels * kBitsPerSample / 8);
    putU16(out, kBitsPerSample);
    std::fwrite("data", 1, 4, out);
    putU32(out, dataBytes);
    for (float sample : samples) putU16(out, static_cast<std::uint16_t>(toPcm(sample)));
    return file.commit(error);
}
