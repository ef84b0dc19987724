// platform/sound/backend.h - the seam between the engine and what plays its sound. The
// engine (objects, slot tables, records, clip decoding and cache, attenuation, play state,
// start times, the output's holds and clock) is one; only what speaks to the system's
// audio library lies behind these calls:
//   backend_openal.cpp  Linux: OpenAL Soft, on the default device or its loopback device
//   backend_dsound.cpp  Windows: DirectSound 3-D on the default device; no loopback
// Owns (each back end): the output device, one clip per decoded file, one voice per
// initialised emitter, the listener's place on the device.
// Vectors are f32[3] in file units and the file's axis order (right-handed, y up); a back
// end with another handedness turns them itself. Gains are linear, 0 .. 1: distance
// attenuation is the engine's own, so a back end's own distance model must stay off.
// Failure: every call that can fail answers false or null and sets the error text.
#pragma once

#include "base/types.h"
#include "platform/sound/engine.h"

#include <cstdlib>

namespace soundengine {

// The mode the engine is in before anyone registers one: on Linux the host picks it (off
// until then); a Windows browser registers nothing, so there the DLL plays on the device.
extern const SoundMode kStartMode;

struct BackendClip;  // a decoded clip as the back end keeps it
struct BackendVoice; // one emitter's sound: a clip placed in space

// Opens the output (the loopback device when `loopback`), sets `rate` to its frames per
// second.
bool backendOpenOutput(bool loopback, u32& rate);
// Closes it; every clip and voice is gone already.
void backendCloseOutput();
// Loopback only: renders the next `frameCount` frames of kSoundRenderChannels floats.
void backendRender(float* samples, u32 frameCount);

// A clip of `frameCount` one-channel samples (full scale +-1) at `rate` frames a second.
BackendClip* backendMakeClip(const f32* samples, u32 frameCount, i32 rate, const char* fileName);
void backendFreeClip(BackendClip* clip);

// A silent voice of the clip: placed at `location`, or centred on the listener at full
// loudness when not `spatialized`.
BackendVoice* backendMakeVoice(BackendClip* clip, bool spatialized, const f32 location[3],
                               const char* fileName);
void backendFreeVoice(BackendVoice* voice);
void backendSetGain(BackendVoice* voice, f32 gain);
void backendSetPosition(BackendVoice* voice, const f32 location[3]); // spatialized voices
// Stops the voice and readies it to play its clip `times` times back to back (0: without
// end; at most kMaxRepeats). False when it cannot hold that many repeats.
bool backendArm(BackendVoice* voice, u32 times);
void backendStart(BackendVoice* voice); // plays what backendArm readied
// True from backendStart until the last repeat has played.
bool backendPlaying(BackendVoice* voice);

// The listener: where it stands and how it is turned (front and up, not parallel).
void backendPlaceListener(const f32 position[3], const f32 front[3], const f32 up[3]);

// A zero-filled clip or voice record for the file's sound (released with std::free), or
// null with "FILE: out of memory" said.
template <class Record> Record* newBackendRecord(const char* fileName)
{
    auto* record = static_cast<Record*>(std::calloc(1, sizeof(Record)));
    if (!record) setSoundError("%s: out of memory", fileName);
    return record;
}

} // namespace soundengine
