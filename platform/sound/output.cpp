// The one output every listener and emitter plays through: opened by the first hold (the
// listener's initialisation), closed by the last drop, in the mode registered when it
// opened. Also the output's clock, loopback rendering and the error text. The device
// itself is the back end's (backend.h).
#include "platform/sound/backend.h"
#include "platform/sound/engine.h"
#include "platform/sound/sound.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace soundengine {

namespace {

SoundMode registeredMode = kStartMode;
bool outputOpen = false;
bool outputIsLoopback = false; // the mode the open output was opened in
u32 holds = 0;                 // listener and emitters holding the output open
u32 outputRate = 0;            // frames per second of the open output
u64 renderedFrames = 0;        // loopback: frames pulled since the output opened
std::chrono::steady_clock::time_point openedAt;
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

static bool openOutput()
{
    if (registeredMode == SoundMode::off) {
        setSoundError("sound is off");
        return false;
    }
    const bool loopback = registeredMode == SoundMode::loopback;
    u32 rate = 0;
    if (!backendOpenOutput(loopback, rate)) return false;
    outputOpen = true;
    outputIsLoopback = loopback;
    outputRate = rate > 0 ? rate : kSoundRenderRate;
    renderedFrames = 0;
    openedAt = std::chrono::steady_clock::now();
    return true;
}

void closeSoundOutput()
{
    if (!outputOpen) return;
    forgetClips(); // clips belong to the device; no voice uses them any more
    backendCloseOutput();
    outputOpen = false;
    holds = 0;
    outputRate = 0;
}

bool holdSoundOutput()
{
    if (!outputOpen && !openOutput()) return false;
    ++holds;
    return true;
}

void dropSoundOutput()
{
    if (holds > 0 && --holds == 0) closeSoundOutput();
}

bool soundOutputOpen()
{
    return outputOpen;
}

u32 soundOutputRate()
{
    return outputRate;
}

f64 soundClockSeconds()
{
    if (!outputOpen) return 0.0;
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
    if (!outputOpen || !outputIsLoopback) {
        std::memset(samples, 0, sizeof(float) * kSoundRenderChannels * frameCount);
        return false;
    }
    startDueEmitters(); // a start time that has come plays from the start of this render
    backendRender(samples, frameCount);
    renderedFrames += frameCount;
    return true;
}
