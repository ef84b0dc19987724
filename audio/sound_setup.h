// audio/sound_setup.h - the world's Sounds played through the 3-D audio library, which
// the plug-in reaches only through COM: the set-up after a world load, the listener
// following the camera every frame, the release at the Viewer's teardown.
//
// Owns: SoundObjects, one set per Viewer: the library's main object and its second
// interface, the direct listener, one cached emitter per Sound row.
// Reads: the World's sounds, audio clips, camera and worldFolder; the view matrix of the
// last frame (RenderState's forward and up rows).
// Calls go by slot number through the objects' tables of functions, with the records
// laid out as the library defines them (audio/records.h), so that any library honouring
// those calls and records can stand in. Each object is asked of COM first; when its class
// is not registered, the built-in sound engine (platform/sound/sound.h) makes it.
// Entry points: setUpSounds, moveListener, releaseSounds, clipFileName.
// Failure: each failure of the library's creation or initialisation is shown in a
// message box (its text as the library's users know it) and ends the set-up; a Sound
// whose clip cannot be found or played is skipped with a message naming the file. The
// world always shows, with or without sound.
#pragma once

#include "render/render.h"
#include "world/tables.h"

#include <windows.h>

#include <objbase.h> // after <windows.h>, whose types it uses
#include <string>
#include <vector>

struct SoundObjects {
    void* mainObject = nullptr;      // the library's main object (IUnknown)
    void* secondInterface = nullptr; // its second interface
    void* listener = nullptr;        // the direct listener
    std::vector<void*> emitters;     // one per Sound row, null where none was made
    u32 listenerValue = 0;           // filled by the listener, handed back to each emitter
};

// The set-up of message 2024: nothing at all for a world without Sounds. Objects of an
// earlier world are released first, so old emitters neither leak nor keep playing.
// `owner` owns the message boxes.
void setUpSounds(SoundObjects& sounds, const World& world, const RenderState& render, HWND owner);

// Puts the listener at the eye, facing the target, upright as the view: every frame.
void moveListener(SoundObjects& sounds, const World& world, const RenderState& render);

// Releases the listener, each emitter, the second interface and the main object, in
// that order; only objects that exist are touched.
void releaseSounds(SoundObjects& sounds);

// The file a clip's url names, as the library is given it: a local file url of the
// browser with a drive letter ("/E|/snd/a.wav") becomes "E:\snd\a.wav"; anything else
// is used unchanged.
std::string clipFileName(const char* url);
