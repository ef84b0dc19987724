// platform/sound/engine.h - what the sound engine's own files share; the plug-in and the
// host see only platform/sound/sound.h.
//   output.cpp     the mode, the one output (held open by the listener and the
//                  emitters), its clock, loopback rendering, the error text
//   clips.cpp      decoding with libsndfile and the clip cache
//   backend_*.cpp  what plays the sound (backend.h): OpenAL Soft or DirectSound 3-D
//   attenuation.cpp  the ellipsoid gain
//   main_object.cpp, listener.cpp, emitter.cpp  the COM objects and their slot tables
//   registration.cpp the class identifiers, factories and teardown
// Everything runs on the UI thread; the audio library's mixer thread sees only its own state.
#pragma once

#include "base/types.h"

// The system's own on Windows, the platform's stand-in on Linux.
#include <windows.h>

// The engine's own names stay in a namespace: the platform library exports its symbols,
// and a plug-in or test defining the same name must not be bound to ours.
namespace soundengine {

enum class SoundMode { off, device, loopback };

extern const IID kEngineInterface; // the main object's second interface
extern const IID kListenerInterface;
extern const IID kEmitterInterface;

// ---- output.cpp ----
void setSoundMode(SoundMode mode);
SoundMode soundMode();
// Opens the output on the first hold (in the current mode), counts the others. False,
// with the error text set, when it cannot be opened; the caller then holds nothing.
bool holdSoundOutput();
// Gives one hold back; the last one closes the output (and empties the clip cache).
void dropSoundOutput();
bool soundOutputOpen();
u32 soundOutputRate(); // frames per second of the open output, 0 when closed
// Seconds of sound the output has played since it opened: wall time on a device, rendered
// frames on the loopback device. Emitters waiting for their start time count on it.
f64 soundClockSeconds();
void closeSoundOutput(); // at once, whatever the holds (teardown)
void setSoundError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- clips.cpp ----
struct BackendClip;
// The back end's clip of the named file, decoded on first use: one channel. Null, with
// the error text naming the file, when it cannot be opened or decoded.
BackendClip* clipFor(const char* fileName);
void forgetClips(); // frees every clip; the output is closing

// ---- attenuation.cpp ----
// The linear gain (0 .. 1, before intensity) heard at `offset` (listener minus emitter
// location) from an emitter facing `direction` with these ellipsoids.
f32 ellipsoidGain(const f32 offset[3], const f32 direction[3], f32 minBack, f32 minFront,
                  f32 maxBack, f32 maxFront);

// ---- main_object.cpp, listener.cpp, emitter.cpp ----
HRESULT createMainObject(REFIID interfaceId, void** object);
HRESULT createListener(REFIID interfaceId, void** object);
HRESULT createEmitter(REFIID interfaceId, void** object);
bool isMainObject(const void* object); // one of ours, so initialisations can trust it
// Where the initialised listener stands (the origin when there is none).
void listenerPosition(f32 position[3]);
void updateEmitterGains();
void startDueEmitters();
// Teardown: frees every object whatever its count (the plug-in's pointers die with them).
void freeMainObjects();
void freeListeners();
void freeEmitters();

// ---- objects.cpp: what the three objects share ----
// Every object opens with this header, so the interface pointer the plug-in holds points
// at the table it calls through.
struct ObjectHeader {
    const void* slots; // the object's slot table
    ULONG references;  // the object is freed when Release brings this to 0
};
using QueryInterfaceSlot = HRESULT(STDMETHODCALLTYPE*)(void* self, REFIID interfaceId,
                                                       void** object);
using CountSlot = ULONG(STDMETHODCALLTYPE*)(void* self);
using UnusedSlot = HRESULT(STDMETHODCALLTYPE*)(void* self);
HRESULT STDMETHODCALLTYPE unusedSlot(void* self); // E_NOTIMPL
ULONG STDMETHODCALLTYPE addReference(void* self);
// Takes one reference away and answers how many are left; at 0 the caller frees.
ULONG dropReference(void* self);
// QueryInterface for an object answering IUnknown and `own` with the same pointer.
HRESULT answerInterface(void* self, REFIID asked, REFIID own, void** object);

} // namespace soundengine
