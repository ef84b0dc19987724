// platform/sound/sound.h - the 3-D sound engine: the stand-in for the 3-D audio library the
// plug-in reaches only through COM. On Linux it is registered in the platform's class
// registry under that library's class identifiers and plays through OpenAL Soft (mixing,
// panning, output); on Windows it is built into the plug-in's DLL, reached through its own
// class factory (platformCreateSoundObject), and plays through DirectSound 3-D. Both decode
// with libsndfile: WAV, AIFF and, where the libsndfile linked reads them, FLAC, Ogg Vorbis
// and MP3 (the Windows build's reads the built-in formats only). The back ends differ only
// behind platform/sound/backend.h.
//
// Owns: the output device, the decoded clips (one per file name, kept while the output is
// open), the engine's objects, and the last error text.
// Entry points for the host and the plug-in: platformRegisterSoundEngine,
// platformCreateSoundObject, platformRenderSound, platformSoundError; on Linux
// platformReset tears everything down.
//
// Objects (CoCreateInstance with CLSCTX_INPROC_SERVER, no outer object). Each is a struct
// whose first member points at a table of functions called by slot number, the interface
// pointer first; slots 0, 1, 2 are QueryInterface, AddRef, Release; a slot not listed
// answers E_NOTIMPL. Status results are HRESULTs; vectors are f32[3] in file units and the
// file's axis order (x, y, z; right-handed, y up), records as platform/sound/records.h.
//   main object {E78F7620-96CB-11CF-A00B-444553540000}: answers IUnknown and the second
//     interface {B5B40681-1AC8-11D0-985D-00AA003B43AF} with the same pointer.
//     6 SetEnvironment(const EnvironmentRecord*): kept; no audible effect.
//   listener {4B2CE922-1C45-11D0-985D-00AA003B43AF}, interface
//     {E78F7634-96CB-11CF-A00B-444553540000}:
//     3 GetOrientation(f32 front[3], f32 up[3])    4 GetPosition(f32 position[3])
//     5 GetMixRate(u32* hertz): the output's frames per second, 0 before initialisation
//     6 SetOrientation(const f32 front[3], const f32 up[3]): E_INVALIDARG (nothing
//       changed) for a zero, non-finite or parallel pair
//     7 SetPosition(const f32 position[3]): also recomputes every emitter's gain and
//       starts the emitters whose start time has come
//     10 Initialize(const ListenerDescriptionRecord*, IUnknown* mainObject): opens the
//       output (see the modes); S_FALSE when this listener already is initialised;
//       E_FAIL with the error text when the output cannot be opened or another listener
//       is initialised; E_INVALIDARG for a short record or a main object not the engine's.
//   cached emitter {4B2CE920-1C45-11D0-985D-00AA003B43AF}, interface
//     {E78F762D-96CB-11CF-A00B-444553540000}:
//     4 GetModel(EmitterModelRecord*)   6 GetOrientation(f32 direction[3])
//     8 GetPlayState(u32*): 0 not started, 1 waiting for its start time, 2 playing,
//       3 finished      9 GetPosition(f32 location[3])
//     12 SetModel(const EmitterModelRecord*): E_INVALIDARG for a negative or non-finite
//       distance; a max below its min ends the sound at the min; intensity pinned to [0, 1]
//     14 SetOrientation(const f32 direction[3])   16 SetPosition(const f32 location[3])
//     17 Play(u32 mode, u32 repeatCount, f32 startTime): mode is not read (the plug-in
//       passes 16); repeatCount 0 loops without end, N plays the clip N times (at most
//       kMaxRepeats); startTime is absolute, in seconds since 1970-01-01 UTC as VRML's
//       clock counts: 0, a time in the past or a non-finite one starts the clip at once,
//       from its beginning; a later one starts it that many seconds of the output's clock
//       from now (checked at each listener SetPosition and each loopback render). An f32
//       holds today's times only to the nearest 128 s, so such a start comes up to a
//       minute early or late. Playing again restarts the clip; E_FAIL before the emitter
//       is initialised; E_OUTOFMEMORY when the repeats cannot be held (DirectSound plays
//       N repeats from one buffer holding the clip N times, at most kMaxRepeatBytes).
//     22 Initialize(const EmitterDescriptionRecord*, IUnknown* mainObject): decodes the
//       file (cached by name), mixed down to one channel so the back end can place it; E_FAIL
//       with the error text when it cannot be opened or decoded, when no listener has
//       opened the output yet, or when the emitter already is initialised; E_INVALIDARG
//       for a short record, an empty or unterminated name or a main object not the
//       engine's.
//   A listener and each initialised emitter hold the output open; it closes, and the clip
//   cache is emptied, when the last of them is released.
//
// Loudness: the back end's distance model is off; the engine sets each emitter's gain at every
// listener SetPosition and whenever the emitter's model, location or direction changes:
// full intensity inside the inner ellipsoid, falling linearly in decibels to -20 dB on the
// outer one, silent beyond it (measured along the ray from the emitter's location, where
// both ellipsoids have a focus). The back end pans by the direction to the emitter. An
// emitter whose description has flags bit 0 (not spatialized) plays centred at its
// intensity wherever the listener stands.
//
// Failure: nothing throws; every failing call answers a negative HRESULT and leaves the
// object as it was; initialisation failures also set the error text.
#pragma once

#include <cstdint>

// The system's own on Windows, the platform's stand-in on Linux.
#include <windows.h>

// What the loopback output renders: interleaved f32 samples, left then right, full scale
// at +-1, at this rate.
constexpr std::uint32_t kSoundRenderRate = 44100;
constexpr std::uint32_t kSoundRenderChannels = 2;
// Repeat counts above this play this many times (the clip is queued once per repeat).
constexpr std::uint32_t kMaxRepeats = 1000;
// DirectSound: the most bytes of 16-bit samples one emitter's repeats may fill (64 MiB,
// some 12 minutes at 44.1 kHz).
constexpr std::uint32_t kMaxRepeatBytes = 1u << 26;

// Registers the engine's three classes for a mode, or removes them (Windows: sets the
// mode only, starting in "device"; "loopback" fails there, with the error text set):
//   "device"   the listener's initialisation opens the default output device (on Linux
//              never OpenAL's null device), and fails when there is none;
//   "loopback" it opens OpenAL Soft's loopback device (ALC_SOFT_loopback), which plays
//              nothing by itself: platformRenderSound pulls its sound into memory;
//   "off", "none" or null: the classes are unregistered, so CoCreateInstance answers
//              REGDB_E_CLASSNOTREG.
// False for any other text (nothing changed), or when the registry cannot hold the classes
// (then none of them is registered). A new mode applies the next time the output opens;
// an output already open stays as it is.
bool platformRegisterSoundEngine(const char* mode);

// The engine's own class factory, as a library's DLL offers one: creates an object of one
// of the three classes above, registered or not, answering `interfaceId`.
// CLASS_E_CLASSNOTAVAILABLE for another class or while the mode is "off" (so a plug-in
// falling back on it stays silent as when nothing is registered); otherwise as
// CoCreateInstance. `*object` is null on failure.
HRESULT platformCreateSoundObject(REFCLSID classId, REFIID interfaceId, void** object);

// Renders the next `frameCount` sample frames of the loopback output into `samples`
// (frameCount * kSoundRenderChannels floats) and advances the output's clock by them.
// False, with the buffer filled with silence, when the engine is not in loopback mode or
// its output is not open (no listener initialised, or everything released).
bool platformRenderSound(float* samples, std::uint32_t frameCount);

// The reason of the last failed initialisation, naming the file when a clip was at fault
// ("bird.wav: cannot open: No such file or directory"); "" when nothing has failed since
// the engine was loaded or reset.
const char* platformSoundError();
