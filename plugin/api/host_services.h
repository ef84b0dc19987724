// plugin/api/host_services.h - what the plug-in offers its own host program beyond the
// browser interface: the load options a page cannot express (--strict), the option
// switches the Dashboard's buttons also use, and views of what was loaded. Exported
// as NP_GetTarneServices; a browser never calls it.
//
// Text results are NUL-terminated blocks from malloc; the host gives them back with
// freeText. Every function taking an NPP answers a failure for a null or unknown
// instance and changes nothing.
#pragma once

#include "plugin/api/npapi.h"

#include <cstddef>
#include <cstdint>

extern "C" {

struct TarneWorldCounts {
    std::int32_t objectCount;
    std::uint32_t vertexCount;
    std::uint32_t faceCount;
    std::int32_t materialCount;
    std::int32_t lightCount;
};

struct TarneServices {
    std::uint32_t size; // sizeof(TarneServices)

    // 1 reads the next world of the instance with the line reader alone; 0 (the
    // default) normalizes it first. Answers 0, or -1 for a bad instance.
    int (*setStrict)(NPP instance, int strict);
    // Runs an option switch of the instance: "stereo", "shadows", "lamp",
    // "reflection", "scale" (display scale 1.0 <-> 2.0), "home", or chooses the
    // navigation mode as the Dashboard's buttons do: "mode 0" to "mode 7"; "silence"
    // keeps the instance's worlds silent (their Sounds are not set up); "threads N" (1 to
    // 64) has N threads draw each frame, each a band of rows (1: the calling thread alone;
    // by default one for each processor). Answers 0, -1 for a bad instance or an unknown
    // name, -2 when memory ran out, -3 when the lamp cannot be added because the world's
    // light table is full.
    int (*command)(NPP instance, const char* name);
    // The world dump: JSON (json = 1) or the summary for a person (0).
    char* (*describeWorld)(NPP instance, int json);
    int (*worldCounts)(NPP instance, TarneWorldCounts* counts);
    // The messages of the last load ("FILE: message" and "FILE:LINE:COLUMN: message"
    // lines), or null; `length` gets their length (a file's bytes quoted in a message
    // may hold a NUL, so the text is printed by its length).
    char* (*takeLoadMessages)(NPP instance, std::size_t* length);
    // The instance's Viewer window (its frames) and its render size.
    void* (*viewerWindow)(NPP instance);
    int (*renderSize)(NPP instance, int* width, int* height);
    // The canonical text of a world file, and its messages. Answers 0, 1 when the file
    // cannot be read (then *text is null and *messages says why), or 2 when it was
    // rewritten but the pass reported errors (syntax errors, refused limits).
    int (*normalizeFile)(const char* path, char** text, char** messages);
    // Entries of the version table ("ProductName", "FileVersion", ...), or null.
    const char* (*versionEntry)(const char* key);
    void (*freeText)(char* text);
    // 0 when the last world given to the instance was read, 1 when it was refused or
    // could not be read (its messages say why); -1 for a bad instance.
    int (*loadResult)(NPP instance);
    // The content types as NP_GetMIMEDescription gives them ("type:extensions:
    // description;..."), for hosts of a library that does not export that call (the
    // Windows DLL says the same in its version resource).
    const char* (*contentTypes)();
};

using NP_GetTarneServicesFunction = const TarneServices* (*)();

} // extern "C"
