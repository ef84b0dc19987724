// world/node_readers.h - the node readers behind the dispatch of readWorld, one per
// node type. Each takes the open file and its own copy of the line that named the node
// (the Shape reader starts on the line after), reads on until its node ends or the text
// ends, and leaves its effects in the tables; the caller's line is never changed.
//
// Owns: nothing between calls.
// Reads: lines of the LineReader.
// Writes: grouping.cpp: objects (newObject), transformGroups, groupObjects, vertices
//   (the Transform's closing step), object materials; face_set.cpp: vertices, faces,
//   corners, object rows and bounds; appearance.cpp: materials, materialNames,
//   textures (and, through loadTexture, their pixels); lights.cpp: lights and the
//   per-kind rows; viewpoint.cpp: the camera, viewpointFieldOfView and orientationBasis;
//   navigation_info.cpp: headlightOn; background.cpp: the background settings;
//   sound.cpp: audioClips, sounds, timeSensors.
// Entry points: readTransform, the shared dispatch rows, readShape, readIndexedFaceSet,
//   readAppearance, readDirectionalLight, readPointLight, readSpotLight, readViewpoint,
//   readNavigationInfo, readBackground, readAudioClip, readSound, readTimeSensor.
// Failure: a row that cannot be added (a 16-bit count at its limit, or memory) is
// refused and its node is still read past, line for line as if it had been stored.
#pragma once

#include "base/types.h"
#include "world/line_rules.h"
#include "world/tables.h"

// Transforms nest by calling their reader again; beyond this depth a nested Transform
// starts no reader of its own (its lines belong to the enclosing one), so a hostile file
// of endless "Transform {" lines cannot exhaust the stack.
constexpr i32 kMaxTransformDepth = 64;

void readTransform(World& world, LineReader& in, Line line, i32 depth);

// The rows the top-level loop and a Transform's lines share, each block in its order:
// Shape, IndexedFaceSet, Appearance and the three lights; then Sound, AudioClip and
// TimeSensor. `comment` says whether the line holds a '#'.
void dispatchShapeAndLightRows(World& world, LineReader& in, const Line& line, bool comment);
void dispatchSoundRows(World& world, LineReader& in, const Line& line);
void readShape(World& world, LineReader& in);

// Fills `object` (a row of objects, or -1: read the node past and store nothing).
void readIndexedFaceSet(World& world, LineReader& in, Line line, i16 object);

void readAppearance(World& world, LineReader& in, Line line);

void readDirectionalLight(World& world, LineReader& in, Line line);
void readPointLight(World& world, LineReader& in, Line line);
void readSpotLight(World& world, LineReader& in, Line line);
void readViewpoint(World& world, LineReader& in, Line line);
void readNavigationInfo(World& world, LineReader& in, Line line);
void readBackground(World& world, LineReader& in, Line line);

// Returns the 1-based row of the clip it appended, 0 when the row was refused.
i32 readAudioClip(World& world, LineReader& in, Line line);
void readSound(World& world, LineReader& in, Line line);
void readTimeSensor(World& world, LineReader& in, Line line);
