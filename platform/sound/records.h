// platform/sound/records.h - the records the plug-in hands to the sound engine, laid out
// as the 3-D audio library defines them: little-endian, 4-byte fields, each opening with
// its own size in bytes; a record shorter than the engine reads is refused.
// Owns nothing; read by the engine's object files. Vectors are three f32 (x, y, z) in file
// units and the file's axis order, which is also OpenAL's: right-handed, y up.
#pragma once

#include "base/types.h"

#include <cstddef>

namespace soundengine {

// Given to the main object's second interface (slot 6). This engine has no room model, so
// the values are kept as given and change nothing that is heard.
struct EnvironmentRecord {
    u32 size;   // 16
    u32 flags;  // 0 from the plug-in
    f32 first;  // 1.5 from the plug-in
    f32 second; // 0.1 from the plug-in
};
static_assert(sizeof(EnvironmentRecord) == 16);

// Given to the listener's initialisation (slot 10). Offset 8 names the owner window on the
// 32-bit builds; OpenAL needs no window, so only the size is read.
struct ListenerDescriptionRecord {
    u32 size; // 16
    u32 reserved;
    u32 window;
    u32 reservedAfter;
};
static_assert(sizeof(ListenerDescriptionRecord) == 16);

constexpr u32 kEmitterFileNameSize = 260;
// flags bit 0: play the clip centred, with no panning and no attenuation by distance
// (the Sound's spatialize FALSE). With flags 0 the record is the library's own.
constexpr u32 kEmitterNotSpatialized = 0x1;

// Given to an emitter's initialisation (slot 22).
struct EmitterDescriptionRecord {
    u32 size;  // 280
    u32 flags; // kEmitterNotSpatialized or 0; other bits are ignored
    u32 reserved;
    char fileName[kEmitterFileNameSize]; // the clip, NUL-terminated, relative to the cwd
    u32 reservedAfter;
    u32 lastWord; // 50 from the plug-in; the engine decodes whole clips and has no use for it
};
static_assert(sizeof(EmitterDescriptionRecord) == 280);
static_assert(offsetof(EmitterDescriptionRecord, fileName) == 12);
static_assert(offsetof(EmitterDescriptionRecord, lastWord) == 276);

// Given to an emitter's slot 12 and filled by its slot 4: the Sound's two ellipsoids, each
// a back and a front distance from the emitter's location along its direction (the
// location is a focus of both), and its intensity.
struct EmitterModelRecord {
    u32 size;    // 24
    f32 minBack; // inner ellipsoid: full intensity inside
    f32 minFront;
    f32 maxBack; // outer ellipsoid: -20 dB on it, silent beyond
    f32 maxFront;
    f32 intensity; // linear gain in [0, 1]
};
static_assert(sizeof(EmitterModelRecord) == 24);

} // namespace soundengine
