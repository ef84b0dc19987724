// The OpenAL Soft back end (Linux): one device and context, a buffer per clip, a source per
// voice. OpenAL's axes are the file's (right-handed, y up), so vectors pass unchanged. Its
// distance model is off: the engine sets each source's gain; OpenAL only pans.
#include "platform/sound/backend.h"
#include "platform/sound/sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdlib>
#include <cstring>

namespace soundengine {

const SoundMode kStartMode = SoundMode::off;

struct BackendClip {
    ALuint buffer;
};

struct BackendVoice {
    ALuint source;
    ALuint buffer; // the clip's, owned by the cache
};

namespace {

// OpenAL Soft's name for the device it falls back on when no backend has a real one: it
// mixes in time and plays nowhere, which a listener must not take for an output.
constexpr const char* kNullDeviceName = "No Output";
// alcRenderSamplesSOFT counts frames in an int; long renders go in pieces of this many.
constexpr u32 kRenderPieceFrames = 1u << 16;

ALCdevice* device = nullptr;
ALCcontext* context = nullptr;
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

} // namespace

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
static bool startContext(ALCdevice* opened, bool loopback, u32& rate)
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
    ALCint frequency = 0;
    alcGetIntegerv(opened, ALC_FREQUENCY, 1, &frequency);
    rate = frequency > 0 ? static_cast<u32>(frequency) : 0;
    return true;
}

bool backendOpenOutput(bool loopback, u32& rate)
{
    ALCdevice* opened = loopback ? openLoopbackDevice() : openDefaultDevice();
    if (!opened) return false;
    if (!startContext(opened, loopback, rate)) {
        alcCloseDevice(opened);
        return false;
    }
    device = opened;
    return true;
}

void backendCloseOutput()
{
    if (!device) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

void backendRender(float* samples, u32 frameCount)
{
    for (u32 done = 0; done < frameCount;) {
        const u32 piece =
            frameCount - done < kRenderPieceFrames ? frameCount - done : kRenderPieceFrames;
        renderSamples(device, samples + static_cast<std::size_t>(done) * kSoundRenderChannels,
                      static_cast<ALCsizei>(piece));
        done += piece;
    }
}

BackendClip* backendMakeClip(const f32* samples, u32 frameCount, i32 rate, const char* fileName)
{
    auto* clip = newBackendRecord<BackendClip>(fileName);
    if (!clip) return nullptr;
    alGetError(); // a stale error must not be taken for this upload's
    alGenBuffers(1, &clip->buffer);
    // At most 2^26 frames * 4 bytes = 2^28, well inside ALsizei.
    alBufferData(clip->buffer, AL_FORMAT_MONO_FLOAT32, samples,
                 static_cast<ALsizei>(sizeof(f32) * frameCount), rate);
    if (alGetError() != AL_NO_ERROR) {
        if (alIsBuffer(clip->buffer)) alDeleteBuffers(1, &clip->buffer);
        std::free(clip);
        setSoundError("%s: the mixer refuses the clip", fileName);
        return nullptr;
    }
    return clip;
}

void backendFreeClip(BackendClip* clip)
{
    alDeleteBuffers(1, &clip->buffer);
    std::free(clip);
}

// A new source at the voice's place: relative to the listener at its centre when it is
// not spatialized, so OpenAL plays it straight ahead in both ears.
BackendVoice* backendMakeVoice(BackendClip* clip, bool spatialized, const f32 location[3],
                               const char* fileName)
{
    auto* voice = newBackendRecord<BackendVoice>(fileName);
    if (!voice) return nullptr;
    alGetError(); // a stale error must not be taken for this one's
    alGenSources(1, &voice->source);
    if (alGetError() != AL_NO_ERROR) {
        std::free(voice);
        setSoundError("%s: the mixer has no source left for it", fileName);
        return nullptr;
    }
    voice->buffer = clip->buffer;
    const f32 centre[3] = {0, 0, 0};
    alSourcei(voice->source, AL_SOURCE_RELATIVE, spatialized ? AL_FALSE : AL_TRUE);
    alSourcefv(voice->source, AL_POSITION, spatialized ? location : centre);
    return voice;
}

void backendFreeVoice(BackendVoice* voice)
{
    alSourceStop(voice->source);
    alDeleteSources(1, &voice->source);
    std::free(voice);
}

void backendSetGain(BackendVoice* voice, f32 gain)
{
    alSourcef(voice->source, AL_GAIN, gain);
}

void backendSetPosition(BackendVoice* voice, const f32 location[3])
{
    alSourcefv(voice->source, AL_POSITION, location);
}

// Stops the source and takes its clip off, so that nothing queued before is played. Then,
// without end: the clip loops. Once: the clip alone. N times: the clip queued N times,
// which OpenAL plays back to back without a gap.
bool backendArm(BackendVoice* voice, u32 times)
{
    alSourceStop(voice->source);
    alSourcei(voice->source, AL_LOOPING, AL_FALSE);
    alSourcei(voice->source, AL_BUFFER, 0);
    if (times <= 1) {
        alSourcei(voice->source, AL_BUFFER, static_cast<ALint>(voice->buffer));
        alSourcei(voice->source, AL_LOOPING, times == 0 ? AL_TRUE : AL_FALSE);
    } else {
        for (u32 time = 0; time < times; ++time)
            alSourceQueueBuffers(voice->source, 1, &voice->buffer);
    }
    return true;
}

void backendStart(BackendVoice* voice)
{
    alSourcePlay(voice->source);
}

bool backendPlaying(BackendVoice* voice)
{
    ALint state = AL_STOPPED;
    alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
    return state != AL_STOPPED;
}

void backendPlaceListener(const f32 position[3], const f32 front[3], const f32 up[3])
{
    alListenerfv(AL_POSITION, position);
    const f32 orientation[6] = {front[0], front[1], front[2], up[0], up[1], up[2]};
    alListenerfv(AL_ORIENTATION, orientation);
}

} // namespace soundengine
