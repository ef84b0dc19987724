// host/wav_file.h - what the listener heard, as a WAV file: 16-bit PCM, two channels.
// Entry points: writeWav.
// Failure: false with "FILE: reason"; the file is written whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `samples` interleaved left, right, full scale at +-1 (values beyond are clipped).
bool writeWav(const std::string& path, const std::vector<float>& samples, std::uint32_t rate,
              std::string& error);
