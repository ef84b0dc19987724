// audio/records.h - the records the plug-in hands to the 3-D audio library, laid out as
// the library defines them: little-endian, 4-byte fields, each opening with its size.
// Vectors are three f32 (x, y, z) in file units and the file's own axis order.
#pragma once

#include "base/types.h"

#include <cstddef>

// The library's environment (its second interface, slot 6).
struct EnvironmentRecord {
    u32 size = 16;
    u32 flags = 0;
    f32 first = 1.5f;
    f32 second = 0.1f;
};
static_assert(sizeof(EnvironmentRecord) == 16);

// The listener's initialisation (slot 10): the framework's main window of the thread at
// offset 8, 0 when there is none (a window handle is 32 bits on the library's platform).
struct ListenerDescriptionRecord {
    u32 size = 16;
    u32 reserved = 0;
    u32 window = 0;
    u32 reservedAfter = 0;
};
static_assert(sizeof(ListenerDescriptionRecord) == 16);

constexpr std::size_t kClipFileNameSize = 260;
// Flags of the emitter description: the Sound's spatialize FALSE (play it centred). With
// flags 0 the record is byte for byte the library's own.
constexpr u32 kNotSpatialized = 0x1;

// An emitter's initialisation (slot 22): the clip's file name, NUL-terminated.
struct EmitterDescriptionRecord {
    u32 size = 280;
    u32 flags = 0;
    u32 reserved = 0;
    char fileName[kClipFileNameSize] = {};
    u32 reservedAfter = 0;
    u32 lastWord = 50;
};
static_assert(sizeof(EmitterDescriptionRecord) == 280);
static_assert(offsetof(EmitterDescriptionRecord, fileName) == 12);
static_assert(offsetof(EmitterDescriptionRecord, lastWord) == 276);

// An emitter's model (slot 12): the Sound's inner ellipsoid (minBack, minFront), its outer
// one (maxBack, maxFront) and its intensity.
struct EmitterModelRecord {
    u32 size = 24;
    f32 minBack = 0.0f;
    f32 minFront = 0.0f;
    f32 maxBack = 0.0f;
    f32 maxFront = 0.0f;
    f32 intensity = 0.0f;
};
static_assert(sizeof(EmitterModelRecord) == 24);
