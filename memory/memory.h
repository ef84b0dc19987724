// memory/memory.h - the memory service. Every world table, frame buffer and working
// buffer comes from the browser's allocator and goes back to it; this is the one
// header every layer may include.
//
// NP_Initialize installs the browser's NPN_MemAlloc/NPN_MemFree here; until then (and
// after NP_Shutdown) the C heap stands in, so the world and renderer libraries can be
// used on their own, as the tests do. A null result is passed on unchanged: callers
// check it and stop the operation that needed the memory.
#pragma once

#include "base/types.h"

#include <cstddef>

using MemAllocFunction = void* (*)(u32 size);
using MemFreeFunction = void (*)(void* block);

// Forwards to the installed allocator with the 32-bit byte count; a large block is
// advised onto large pages before it is returned (memory/large_pages.h).
void* PluginAlloc(u32 size);
// Forwards to the installed release function; a null block is ignored.
void PluginFree(void* block);

// count x elementSize bytes, or null when the product does not fit the 32-bit byte
// count the browser's allocator takes (sizes from files are checked here, once).
void* PluginAllocArray(u64 count, u64 elementSize);

// Installs the allocator pair; null for either puts the C heap back.
void setMemoryFunctions(MemAllocFunction alloc, MemFreeFunction release);

// Hands the free pages of the C heap back to the system. The standard containers of
// a large load (the normalizing pass, the tables grown row by row) free tens of
// megabytes that the heap otherwise keeps resident beside what comes next; called
// between those stages. Does nothing where the C library offers no such call.
void releaseFreeMemory();
