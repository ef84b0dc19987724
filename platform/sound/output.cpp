// The one OpenAL output every listener and emitter plays through: opened by the first
// hold (the listener's initialisation), closed by the last drop, in the mode registered
// when it opened. Also the output's clock, loopback rendering and the error text.
#include "platform/sound/engine.h"
#include "platform/sound/sound.h"

#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace soundengine {

namespace {

// OpenAL Soft's name for the device it falls back on when no backend has a real one: it
// mixes in time and plays nowhere, which a listener must not take for an output.
constexpr const char* kNullDeviceName = "No Output";
// alcRenderSamplesSOFT counts frames in an int; long renders go in pieces of this many.
constexpr u32 kRenderPieceFrames = 1u << 16;

SoundMode registeredMode = SoundMode::off;
ALCdevice* device = nullptr;
ALCcontext* context = nullptr;
bool outputIsLoopback = false; // the mode the open output was opened in
u32 holds = 0;                 // listener and emitters holding the output open
u32 outputRate = 0;            // frames per second of the open output
u64 renderedFrames = 0;        // loopback: frames pulled since the output opened
std::chrono::steady_clock::time_point openedAt;
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
char errorText[512] = "";

} // namespace

void setSoundError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(errorText, sizeof errorText, format, arguments);
    va_end(arguments);
}

void setSoundMode(SoundMode mode)
{
    registeredMode = mode;
}

SoundMode soundMode()
{
    return registeredMode;
}

// alcGetProcAddress answers untyped pointers; the extension's typedefs say what they are.
template <class Function> static Function extensionFunction(ALCdevice* on, const char* name)
{
    return reinterpret_cast<Function>(alcGetProcAddress(on, name));
}

static ALCdevice* openDefaultDevice()
{
    ALCdevice* opened = alcOpenDevice(nullptr);
    if (!opened) {
        setSoundError("no audio output device can be opened");
        return nullptr;
    }
    const ALCchar* name = alcGetString(opened, ALC_DEVICE_SPECIFIER);
    if (name && std::strcmp(name, kNullDeviceName) == 0) {
        alcCloseDevice(opened);
        setSoundError("no audio output device: OpenAL found only its null device");
        return nullptr;
    }
    return opened;
}

static ALCdevice* openLoopbackDevice()
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
        setSoundError("the OpenAL library has no loopback device (ALC_SOFT_loopback)");
        return nullptr;
    }
    const auto openLoopback =
        extensionFunction<LPALCLOOPBACKOPENDEVICESOFT>(nullptr, "alcLoopbackOpenDeviceSOFT");
    const auto formatSupported = extensionFunction<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        nullptr, "alcIsRenderFormatSupportedSOFT");
    renderSamples = extensionFunction<LPALCRENDERSAMPLESSOFT>(nullptr, "alcRenderSamplesSOFT");
    ALCdevice* opened = openLoopback ? openLoopback(nullptr) : nullptr;
    if (!opened || !formatSupported || !renderSamples) {
        if (opened) alcCloseDevice(opened);
        setSoundError("the OpenAL loopback device cannot be opened");
        return nullptr;
    }
    if (!formatSupported(opened, static_cast<ALCsizei>(kSoundRenderRate), ALC_STEREO_SOFT,
                         ALC_FLOAT_SOFT)) {
        alcCloseDevice(opened);
        setSoundError("the OpenAL loopback device cannot render %u Hz stereo floats",
                      kSoundRenderRate);
        return nullptr;
    }
    return opened;
}

// A context on the opened device, made current. The loopback output is pinned to the
// render format and kept off HRTF, so what it renders does not depend on a user's OpenAL
// settings. Distance attenuation is the engine's own (each source's gain), so OpenAL's
// distance model is off; it still pans each source by its direction.
static bool startContext(ALCdevice* opened, bool loopback)
{
    const ALCint loopbackAttributes[] = {ALC_FREQUENCY,
                                         static_cast<ALCint>(kSoundRenderRate),
                                         ALC_FORMAT_CHANNELS_SOFT,
                                         ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT,
                                         ALC_FLOAT_SOFT,
                                         ALC_HRTF_SOFT,
                                         ALC_FALSE,
                                         0};
    context = alcCreateContext(opened, loopback ? loopbackAttributes : nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        context = nullptr;
        setSoundError("OpenAL cannot mix on the output device");
        return false;
    }
    alDistanceModel(AL_NONE);
    ALCint rate = 0;
    alcGetIntegerv(opened, ALC_FREQUENCY, 1, &rate);
    outputRate = rate > 0 ? static_cast<u32>(rate) : kSoundRenderRate;
    return true;
}

static bool openOutput()
{
    if (registeredMode == SoundMode::off) {
        setSoundError("sound is off");
        return false;
    }
    const bool loopback = registeredMode == SoundMode::loopback;
    ALCdevice* opened = loopback ? openLoopbackDevice() : openDefaultDevice();
    if (!opened) return false;
    if (!startContext(opened, loopback)) {
        alcCloseDevice(opened);
        return false;
    }
    device = opened;
    outputIsLoopback = loopback;
    renderedFrames = 0;
    openedAt = std::chrono::steady_clock::now();
    return true;
}

void closeSoundOutput()
{
    if (!device) return;
    forgetClips(); // buffers belong to the device; no source uses them any more
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    holds = 0;
    outputRate = 0;
}

bool holdSoundOutput()
{
    if (!device && !openOutput()) return false;
    ++holds;
    return true;
}

void dropSoundOutput()
{
    if (holds > 0 && --holds == 0) closeSoundOutput();
}

bool soundOutputOpen()
{
    return device != nullptr;
}

u32 soundOutputRate()
{
    return outputRate;
}

f64 soundClockSeconds()
{
    if (!device) return 0.0;
    if (outputIsLoopback) return static_cast<f64>(renderedFrames) / outputRate;
    const std::chrono::duration<f64> played = std::chrono::steady_clock::now() - openedAt;
    return played.count();
}

} // namespace soundengine

using namespace soundengine;

const char* platformSoundError()
{
    return errorText;
}

bool platformRenderSound(float* samples, std::uint32_t frameCount)
{
    if (!samples) return false;
    if (!device || !outputIsLoopback) {
        std::memset(samples, 0, sizeof(float) * kSoundRenderChannels * frameCount);
        return false;
    }
    startDueEmitters(); // a start time that has come plays from the start of this render
    for (u32 done = 0; done < frameCount;) {
        const u32 piece =
            frameCount - done < kRenderPieceFrames ? frameCount - done : kRenderPieceFrames;
        renderSamples(device, samples + static_cast<std::size_t>(done) * kSoundRenderChannels,
                      static_cast<ALCsizei>(piece));
        done += piece;
    }
    renderedFrames += frameCount;
    return true;
}
