// sound_probe: what the DirectSound 3-D back end needs from the machine it runs on,
// checked where the tests run (Wine, whose ALSA default is a null device): an output
// device, a primary buffer with the 3-D listener, and a 3-D secondary buffer that
// plays, its play cursor moving as the device takes the sound.
//
// Usage: sound_probe   (prints each failed check; exits 0 only when all passed)
#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

bool check(bool passed, const char* what, HRESULT result = S_OK)
{
    if (!passed) {
        ++failures;
        std::printf("FAILED: %s (0x%08lx)\n", what, static_cast<unsigned long>(result));
    }
    return passed;
}

template <class Interface> void release(Interface*& object)
{
    if (object) object->Release();
    object = nullptr;
}

constexpr DWORD kRate = 22050;
constexpr DWORD kBytes = kRate / 2 * sizeof(std::int16_t); // half a second, mono

bool fillTone(IDirectSoundBuffer* buffer)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    const HRESULT locked = buffer->Lock(0, kBytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (!check(locked == DS_OK, "the 3-D buffer locks", locked)) return false;
    auto* samples = static_cast<std::int16_t*>(first);
    for (DWORD i = 0; i < firstBytes / sizeof(std::int16_t); ++i)
        samples[i] =
            static_cast<std::int16_t>(8000.0 * std::sin(i * 2.0 * 3.14159265 * 440.0 / kRate));
    buffer->Unlock(first, firstBytes, second, secondBytes);
    return true;
}

void playIn3d(IDirectSound8* sound)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kRate * 2;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = kBytes;
    description.lpwfxFormat = &format;
    description.guid3DAlgorithm = DS3DALG_DEFAULT;
    IDirectSoundBuffer* buffer = nullptr;
    HRESULT result = sound->CreateSoundBuffer(&description, &buffer, nullptr);
    if (!check(result == DS_OK, "a 3-D secondary buffer is created", result)) return;
    IDirectSound3DBuffer* placed = nullptr;
    result = buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&placed));
    if (check(result == S_OK, "the buffer answers as a 3-D buffer", result)) {
        result = placed->SetPosition(2.0f, 0.0f, 1.0f, DS3D_IMMEDIATE);
        check(result == DS_OK, "the 3-D buffer takes a position", result);
    }
    if (fillTone(buffer)) {
        result = buffer->Play(0, 0, DSBPLAY_LOOPING);
        if (check(result == DS_OK, "the 3-D buffer plays", result)) {
            DWORD start = 0;
            DWORD later = 0;
            buffer->GetCurrentPosition(&start, nullptr);
            Sleep(200);
            buffer->GetCurrentPosition(&later, nullptr);
            check(later != start, "the play cursor moves: the device takes the sound");
            buffer->Stop();
        }
    }
    release(placed);
    release(buffer);
}

} // namespace

int main()
{
    check(waveOutGetNumDevs() > 0, "there is a wave output device");
    IDirectSound8* sound = nullptr;
    HRESULT result = DirectSoundCreate8(nullptr, &sound, nullptr);
    if (!check(result == DS_OK, "DirectSound opens the default device", result)) return 1;
    result = sound->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);
    check(result == DS_OK, "the priority level is granted", result);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    IDirectSoundBuffer* primary = nullptr;
    result = sound->CreateSoundBuffer(&description, &primary, nullptr);
    if (check(result == DS_OK, "the primary buffer is had with 3-D control", result)) {
        IDirectSound3DListener* listener = nullptr;
        result = primary->QueryInterface(IID_IDirectSound3DListener,
                                         reinterpret_cast<void**>(&listener));
        if (check(result == S_OK, "the primary buffer answers as the 3-D listener", result)) {
            result = listener->SetPosition(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);
            check(result == DS_OK, "the listener takes a position", result);
        }
        release(listener);
    }
    playIn3d(sound);
    release(primary);
    release(sound);
    std::printf("sound_probe: %d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
