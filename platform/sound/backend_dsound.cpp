// The DirectSound 3-D back end (Windows): the default device at priority level, its primary
// buffer's 3-D listener, and one 3-D secondary buffer per voice holding the clip as 16-bit
// one-channel samples. DirectSound's axes are left-handed (z into the screen) where the
// file's are right-handed, so every vector has its z turned.
//
// DirectSound's distance model is kept off by the listener's rolloff factor 0: one setting
// for every buffer, whatever the world's scale, where a huge minimum distance would have
// to outgrow each world's sizes. The buffers still pan by the direction to the listener;
// the engine's gain (the ellipsoids) is each buffer's volume. No loopback device exists:
// a render into memory needs the OpenAL back end.
#include "platform/sound/backend.h"
#include "platform/sound/sound.h"

#include <mmsystem.h>

#include <dsound.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace soundengine {

const SoundMode kStartMode = SoundMode::device;

struct BackendClip {
    i16* samples; // std::malloc'd
    u32 frameCount;
    u32 rate;
};

struct BackendVoice {
    BackendClip* clip;            // owned by the cache
    IDirectSoundBuffer* buffer;   // the clip, `copies` times over
    IDirectSound3DBuffer* placed; // the buffer's 3-D interface
    u32 copies;                   // 1 unless armed for that many repeats
    bool looping;                 // armed to play without end
    bool spatialized;             // false: 3-D processing off, centred
    LONG volume;                  // hundredths of a decibel, as last set
    f32 location[3];              // file axes
};

namespace {

// The primary buffer mixes at CD rate, as the Linux output does; a device that refuses
// keeps its own, which GetMixRate then reports.
constexpr DWORD kMixRate = 44100;

IDirectSound8* device = nullptr;
IDirectSoundBuffer* primary = nullptr;
IDirectSound3DListener* listener = nullptr;

template <class Interface> void release(Interface*& object)
{
    if (object) object->Release();
    object = nullptr;
}

// DirectSound is left-handed: the file's z is its -z.
void toDevice(const f32 file[3], D3DVALUE device3[3])
{
    device3[0] = file[0];
    device3[1] = file[1];
    device3[2] = -file[2];
}

WAVEFORMATEX pcmFormat(u32 rate, WORD channels)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * sizeof(i16));
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

} // namespace

bool backendOpenOutput(bool loopback, u32& rate)
{
    if (loopback) {
        setSoundError("loopback rendering is not available: this build plays sound through "
                      "DirectSound, on the output device only");
        return false;
    }
    HRESULT result = DirectSoundCreate8(nullptr, &device, nullptr);
    if (FAILED(result)) {
        device = nullptr;
        setSoundError("no audio output device can be opened (DirectSound: 0x%08lx)",
                      static_cast<unsigned long>(result));
        return false;
    }
    // Priority level, so the primary buffer's format can be set; the desktop owns it, as
    // the plug-in's windows come and go with the browser's pages.
    result = device->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    if (SUCCEEDED(result)) result = device->CreateSoundBuffer(&description, &primary, nullptr);
    if (SUCCEEDED(result))
        result = primary->QueryInterface(IID_IDirectSound3DListener,
                                         reinterpret_cast<void**>(&listener));
    if (FAILED(result)) {
        release(listener);
        release(primary);
        release(device);
        setSoundError("the audio device has no 3-D listener (DirectSound: 0x%08lx)",
                      static_cast<unsigned long>(result));
        return false;
    }
    WAVEFORMATEX format = pcmFormat(kMixRate, 2);
    primary->SetFormat(&format); // a refusal keeps the device's own rate
    WAVEFORMATEX actual{};
    rate = SUCCEEDED(primary->GetFormat(&actual, sizeof actual, nullptr)) ? actual.nSamplesPerSec
                                                                          : kMixRate;
    listener->SetRolloffFactor(DS3D_MINROLLOFFFACTOR, DS3D_IMMEDIATE);
    listener->SetDopplerFactor(DS3D_MINDOPPLERFACTOR, DS3D_IMMEDIATE);
    return true;
}

void backendCloseOutput()
{
    release(listener);
    release(primary);
    release(device);
}

void backendRender(float* samples, u32 frameCount)
{
    // Never reached: the loopback output cannot be opened here.
    std::memset(samples, 0, sizeof(float) * kSoundRenderChannels * frameCount);
}

BackendClip* backendMakeClip(const f32* samples, u32 frameCount, i32 rate, const char* fileName)
{
    const u32 hertz = static_cast<u32>(rate);
    if (hertz < DSBFREQUENCY_MIN || hertz > DSBFREQUENCY_MAX) {
        setSoundError("%s: DirectSound cannot play %u frames a second", fileName, hertz);
        return nullptr;
    }
    auto* clip = static_cast<BackendClip*>(std::calloc(1, sizeof(BackendClip)));
    i16* converted = static_cast<i16*>(std::malloc(sizeof(i16) * frameCount));
    if (!clip || !converted) {
        std::free(clip);
        std::free(converted);
        setSoundError("%s: out of memory", fileName);
        return nullptr;
    }
    for (u32 frame = 0; frame < frameCount; ++frame) {
        const f32 sample = std::fmin(std::fmax(samples[frame], -1.0f), 1.0f);
        converted[frame] = static_cast<i16>(std::lround(sample * 32767.0f));
    }
    *clip = BackendClip{converted, frameCount, hertz};
    return clip;
}

void backendFreeClip(BackendClip* clip)
{
    std::free(clip->samples);
    std::free(clip);
}

static u32 clipBytes(const BackendClip* clip)
{
    return clip->frameCount * static_cast<u32>(sizeof(i16));
}

// A 3-D secondary buffer holding the clip `copies` times (the caller has checked that they
// fit), with the voice's placement, mode and volume.
static bool fillBuffer(BackendVoice* voice, u32 copies)
{
    const BackendClip* clip = voice->clip;
    WAVEFORMATEX format = pcmFormat(clip->rate, 1);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    // Global focus: the sound goes on whichever window has the keyboard.
    description.dwFlags =
        DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = clipBytes(clip) * copies;
    description.lpwfxFormat = &format;
    description.guid3DAlgorithm = DS3DALG_DEFAULT;
    IDirectSoundBuffer* buffer = nullptr;
    IDirectSound3DBuffer* placed = nullptr;
    HRESULT result = device->CreateSoundBuffer(&description, &buffer, nullptr);
    if (SUCCEEDED(result))
        result =
            buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&placed));
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    if (SUCCEEDED(result))
        result =
            buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER);
    if (FAILED(result)) {
        release(placed);
        release(buffer);
        return false;
    }
    auto* bytes = static_cast<unsigned char*>(first);
    for (u32 copy = 0; copy < copies && (copy + 1) * clipBytes(clip) <= firstBytes; ++copy)
        std::memcpy(bytes + copy * clipBytes(clip), clip->samples, clipBytes(clip));
    buffer->Unlock(first, firstBytes, second, secondBytes);
    release(voice->placed);
    release(voice->buffer);
    voice->buffer = buffer;
    voice->placed = placed;
    voice->copies = copies;
    buffer->SetVolume(voice->volume);
    if (voice->spatialized) {
        D3DVALUE at[3];
        toDevice(voice->location, at);
        placed->SetPosition(at[0], at[1], at[2], DS3D_IMMEDIATE);
    } else {
        placed->SetMode(DS3DMODE_DISABLE, DS3D_IMMEDIATE);
    }
    return true;
}

BackendVoice* backendMakeVoice(BackendClip* clip, bool spatialized, const f32 location[3],
                               const char* fileName)
{
    auto* voice = newBackendRecord<BackendVoice>(fileName);
    if (!voice) return nullptr;
    voice->clip = clip;
    voice->spatialized = spatialized;
    voice->volume = DSBVOLUME_MIN; // silent until the engine sets its gain
    std::memcpy(voice->location, location, sizeof voice->location);
    if (!fillBuffer(voice, 1)) {
        std::free(voice);
        setSoundError("%s: DirectSound has no 3-D buffer for it", fileName);
        return nullptr;
    }
    return voice;
}

void backendFreeVoice(BackendVoice* voice)
{
    voice->buffer->Stop();
    release(voice->placed);
    release(voice->buffer);
    std::free(voice);
}

// A linear gain as DirectSound's attenuation in hundredths of a decibel; DSBVOLUME_MIN
// (-100 dB) is its silence.
void backendSetGain(BackendVoice* voice, f32 gain)
{
    LONG volume = DSBVOLUME_MIN;
    if (gain >= 1.0f)
        volume = DSBVOLUME_MAX;
    else if (gain > 0.0f)
        volume = std::lround(std::fmax(2000.0f * std::log10(gain), f32{DSBVOLUME_MIN}));
    voice->volume = volume;
    voice->buffer->SetVolume(volume);
}

void backendSetPosition(BackendVoice* voice, const f32 location[3])
{
    std::memcpy(voice->location, location, sizeof voice->location);
    D3DVALUE at[3];
    toDevice(location, at);
    voice->placed->SetPosition(at[0], at[1], at[2], DS3D_IMMEDIATE);
}

// Without end and once: the clip alone, looping or not. N times: a buffer holding the
// clip N times, as DirectSound has no queue; it is made again only when N changes.
bool backendArm(BackendVoice* voice, u32 times)
{
    const u32 copies = times <= 1 ? 1 : times;
    if (copies != voice->copies) {
        if (clipBytes(voice->clip) > kMaxRepeatBytes / copies) {
            setSoundError("%u repeats of the clip do not fit in one DirectSound buffer", times);
            return false;
        }
        voice->buffer->Stop();
        if (!fillBuffer(voice, copies)) {
            setSoundError("DirectSound has no buffer for %u repeats of the clip", times);
            return false;
        }
    }
    voice->buffer->Stop();
    voice->buffer->SetCurrentPosition(0);
    voice->looping = times == 0;
    return true;
}

void backendStart(BackendVoice* voice)
{
    voice->buffer->Play(0, 0, voice->looping ? DSBPLAY_LOOPING : 0);
}

bool backendPlaying(BackendVoice* voice)
{
    DWORD status = 0;
    return SUCCEEDED(voice->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0;
}

void backendPlaceListener(const f32 position[3], const f32 front[3], const f32 up[3])
{
    if (!listener) return;
    D3DVALUE at[3], ahead[3], top[3];
    toDevice(position, at);
    toDevice(front, ahead);
    toDevice(up, top);
    listener->SetPosition(at[0], at[1], at[2], DS3D_IMMEDIATE);
    listener->SetOrientation(ahead[0], ahead[1], ahead[2], top[0], top[1], top[2], DS3D_IMMEDIATE);
}

} // namespace soundengine
