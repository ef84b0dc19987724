// What the listener hears, written by tarne render --audio: the demo world's chime on the
// left and hum on the right come out of the left and the right channel.
#include "tests/host/tarne_run.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(b)]);
    return value;
}

// The strength of one frequency in a channel (Goertzel's filter).
double strength(const std::vector<double>& samples, double frequency, double rate)
{
    const double k = 2 * std::cos(2 * M_PI * frequency / rate);
    double s1 = 0, s2 = 0;
    for (double sample : samples) {
        const double s0 = sample + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - k * s1 * s2);
}

} // namespace

TEST(TarneAudio, TheDemoWorldsSoundsComeFromTheirSides)
{
    const std::string wav = tempDir() + "audio/demo.wav";
    std::filesystem::create_directories(tempDir() + "audio");
    const auto run =
        tarne("render " + quote(demoWorld()) + " -o " + quote(tempDir() + "audio/demo.png") +
              " --frames 60 --audio " + quote(wav));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = readFile(wav);
    ASSERT_GT(bytes.size(), 44u);
    ASSERT_EQ(bytes.substr(0, 4), "RIFF");
    ASSERT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(u32At(bytes, 24), 44100u);
    EXPECT_EQ(u32At(bytes, 40), 60u * 735 * 4); // 1/60 s of stereo 16-bit sound a frame
    std::vector<double> left, right;
    for (std::size_t at = 44; at + 4 <= bytes.size(); at += 4) {
        left.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) |
                                                 static_cast<unsigned char>(bytes[at + 1]) << 8));
        right.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at + 2]) |
                                                  static_cast<unsigned char>(bytes[at + 3]) << 8));
    }
    EXPECT_GT(strength(left, 660, 44100), 1.5 * strength(right, 660, 44100)); // the chime, left
    EXPECT_GT(strength(right, 110, 44100), 1.5 * strength(left, 110, 44100)); // the hum, right
    const auto silent =
        tarne("render " + quote(demoWorld()) + " -o " + quote(tempDir() + "audio/quiet.png") +
              " --frames 10 --no-sound --audio " + quote(wav));
    ASSERT_EQ(silent.status, 0) << silent.err;
    const std::string quiet = readFile(wav);
    for (std::size_t at = 44; at < quiet.size(); ++at) ASSERT_EQ(quiet[at], 0) << at;
}
