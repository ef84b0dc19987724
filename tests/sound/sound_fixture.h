// tests/sound/sound_fixture.h - what the sound engine's tests share: the engine registered
// for loopback on a clean platform, its objects made and called as the plug-in does (by
// slot number, records built byte by byte at their offsets), tone clips written into the
// temporary folder, and the loudness of what the loopback output renders.
#pragma once

#include "base/types.h"
#include "platform/sound/sound.h"
#include "platform/windows.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

// The library's identifiers, in their registry text.
inline const char* const kUnknownInterface = "{00000000-0000-0000-C000-000000000046}";
inline const char* const kMainClass = "{E78F7620-96CB-11CF-A00B-444553540000}";
inline const char* const kSecondInterface = "{B5B40681-1AC8-11D0-985D-00AA003B43AF}";
inline const char* const kListenerClass = "{4B2CE922-1C45-11D0-985D-00AA003B43AF}";
inline const char* const kListenerInterface = "{E78F7634-96CB-11CF-A00B-444553540000}";
inline const char* const kEmitterClass = "{4B2CE920-1C45-11D0-985D-00AA003B43AF}";
inline const char* const kEmitterInterface = "{E78F762D-96CB-11CF-A00B-444553540000}";

inline GUID guidOf(const char* text)
{
    GUID guid{};
    EXPECT_TRUE(GuidFromString(text, &guid)) << text;
    return guid;
}

// Calls slot `slot` of the object's table with the object first, as the plug-in does.
// The argument types must be the slot's own (u32, f32, pointers).
template <class Result, class... Arguments>
Result callSlot(void* object, int slot, Arguments... arguments)
{
    using Function = Result(STDMETHODCALLTYPE*)(void*, Arguments...);
    const char* table = nullptr;
    std::memcpy(&table, object, sizeof table);
    Function function = nullptr;
    std::memcpy(&function, table + static_cast<std::size_t>(slot) * sizeof(void*), sizeof function);
    return function(object, arguments...);
}
inline ULONG addRef(void* object)
{
    return callSlot<ULONG>(object, 1);
}
inline ULONG release(void* object)
{
    return callSlot<ULONG>(object, 2);
}

// The records, byte for byte: each field a 4-byte word or float, in order.
using ModelBytes = std::array<u8, 24>;
using DescriptionBytes = std::array<u8, 280>;
template <std::size_t Size, class... Fields> std::array<u8, Size> recordOf(Fields... fields)
{
    std::array<u8, Size> record{};
    std::size_t offset = 0;
    ((std::memcpy(record.data() + offset, &fields, 4), offset += 4), ...);
    return record;
}
inline ModelBytes modelRecord(f32 minBack, f32 minFront, f32 maxBack, f32 maxFront, f32 intensity)
{
    return recordOf<24>(u32{24}, minBack, minFront, maxBack, maxFront, intensity);
}
// The emitter's description: its size, flags, a reserved word, the file name at 12 and
// the word 50 at 276.
inline DescriptionBytes emitterDescription(const std::string& fileName, u32 flags)
{
    DescriptionBytes record = recordOf<280>(u32{280}, flags);
    std::memcpy(record.data() + 12, fileName.c_str(), std::min<std::size_t>(fileName.size(), 259));
    const u32 last = 50;
    std::memcpy(record.data() + 276, &last, 4);
    return record;
}

// A sine tone of `seconds` written with libsndfile as `format` (SF_FORMAT_* major | minor)
// into the temporary folder; its full path, or "" when libsndfile cannot write it.
struct ToneClip {
    int format;
    int rate = 44100;
    int channels = 1;
    f64 seconds = 0.5;
    f64 hertz = 441.0; // a whole number of periods in every 0.1 s
    f64 amplitude = 0.5;
};
inline std::string writeTone(const std::string& name, const ToneClip& tone)
{
    const std::string path = testing_support::tempDir() + name;
    SF_INFO info{};
    info.samplerate = tone.rate;
    info.channels = tone.channels;
    info.format = tone.format;
    if (!sf_format_check(&info)) return "";
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return "";
    const sf_count_t frames = static_cast<sf_count_t>(tone.seconds * tone.rate);
    std::vector<float> samples(static_cast<std::size_t>(frames * tone.channels));
    for (sf_count_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < tone.channels; ++channel)
            samples[static_cast<std::size_t>(frame * tone.channels + channel)] =
                static_cast<float>(tone.amplitude * std::sin(2.0 * std::numbers::pi * tone.hertz *
                                                             static_cast<f64>(frame) / tone.rate));
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return written ? path : "";
}

inline std::string writeWavTone(const std::string& name, f64 seconds)
{
    ToneClip tone{SF_FORMAT_WAV | SF_FORMAT_PCM_16};
    tone.seconds = seconds;
    const std::string path = writeTone(name, tone);
    EXPECT_FALSE(path.empty()) << name;
    return path;
}

// Root-mean-square level of each channel of rendered sound, full scale 1.
struct ChannelLevels {
    f64 left;
    f64 right;
};
inline f64 decibels(f64 level, f64 reference)
{
    return 20.0 * std::log10(level / reference);
}

struct Vector {
    f32 x, y, z;
    const f32* data() const { return &x; }
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformReset();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(platformRegisterSoundEngine("loopback"));
    }
    void TearDown() override
    {
        CoUninitialize();
        platformReset();
    }
    // CoCreateInstance of the class for the interface, both given as registry text.
    static HRESULT create(const char* classId, const char* interfaceId, void** object)
    {
        return CoCreateInstance(guidOf(classId), nullptr, CLSCTX_INPROC_SERVER, guidOf(interfaceId),
                                object);
    }
    // The main object, asked for IUnknown.
    void* makeMain()
    {
        void* object = nullptr;
        EXPECT_EQ(create(kMainClass, kUnknownInterface, &object), S_OK);
        return object;
    }
    // A listener initialised with the main object (made on first need), at the origin,
    // looking down -z with y up. Null (after a failed expectation) when it fails.
    void* makeListener()
    {
        if (!main) main = makeMain();
        void* object = nullptr;
        EXPECT_EQ(create(kListenerClass, kListenerInterface, &object), S_OK);
        if (!object) return nullptr;
        const HRESULT result = callSlot<HRESULT>(object, 10, recordOf<16>(u32{16}).data(), main);
        EXPECT_EQ(result, S_OK) << platformSoundError();
        return SUCCEEDED(result) ? object : nullptr;
    }
    // An emitter initialised on `fileName` with these flags; its status in `result`.
    void* makeEmitter(const std::string& fileName, u32 flags, HRESULT* result)
    {
        if (!main) main = makeMain();
        void* object = nullptr;
        EXPECT_EQ(create(kEmitterClass, kEmitterInterface, &object), S_OK);
        if (!object) return nullptr;
        *result = callSlot<HRESULT>(object, 22, emitterDescription(fileName, flags).data(), main);
        return object;
    }
    // makeEmitter, expected to succeed, then placed, modelled and started at once.
    void* playingEmitter(const std::string& fileName, Vector location, Vector direction,
                         const ModelBytes& model, u32 repeatCount = 0, u32 flags = 0)
    {
        HRESULT result = E_FAIL;
        void* emitter = makeEmitter(fileName, flags, &result);
        EXPECT_EQ(result, S_OK) << platformSoundError();
        if (!emitter || FAILED(result)) return nullptr;
        EXPECT_EQ(callSlot<HRESULT>(emitter, 12, model.data()), S_OK);
        EXPECT_EQ(callSlot<HRESULT>(emitter, 16, location.data()), S_OK);
        EXPECT_EQ(callSlot<HRESULT>(emitter, 14, direction.data()), S_OK);
        EXPECT_EQ(callSlot<HRESULT>(emitter, 17, u32{16}, repeatCount, 0.0f), S_OK);
        return emitter;
    }
    // Renders `seconds` of sound and measures them.
    ChannelLevels listen(f64 seconds)
    {
        const std::vector<float> samples = render(seconds);
        f64 left = 0.0, right = 0.0;
        for (std::size_t at = 0; at + 1 < samples.size(); at += kSoundRenderChannels) {
            left += static_cast<f64>(samples[at]) * samples[at];
            right += static_cast<f64>(samples[at + 1]) * samples[at + 1];
        }
        const f64 frames = static_cast<f64>(samples.size() / kSoundRenderChannels);
        return ChannelLevels{std::sqrt(left / frames), std::sqrt(right / frames)};
    }
    // Renders `seconds` of sound and throws it away (gain ramps, time passing).
    static std::vector<float> render(f64 seconds)
    {
        const u32 frames = static_cast<u32>(seconds * kSoundRenderRate);
        std::vector<float> samples(static_cast<std::size_t>(frames) * kSoundRenderChannels);
        EXPECT_TRUE(platformRenderSound(samples.data(), frames));
        return samples;
    }
    void skip(f64 seconds) { render(seconds); }
    void moveListener(Vector position)
    {
        ASSERT_NE(listener, nullptr);
        EXPECT_EQ(callSlot<HRESULT>(listener, 7, position.data()), S_OK);
    }

    // Every object still alive at TearDown is freed by platformReset.
    void* main = nullptr;
    void* listener = nullptr;
};
