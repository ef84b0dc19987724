// The memory service: a forwarding pair, replaceable by the plug-in's entry points.
#include "memory/memory.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

void* heapAlloc(u32 size)
{
    // malloc(0) may return null; a one-byte block keeps "null means failure" true.
    return std::malloc(size == 0 ? 1 : size);
}

void heapFree(void* block)
{
    std::free(block);
}

MemAllocFunction gAlloc = heapAlloc;
MemFreeFunction gFree = heapFree;

} // namespace

void* PluginAlloc(u32 size)
{
    return gAlloc(size);
}

void PluginFree(void* block)
{
    if (block) gFree(block);
}

void* PluginAllocArray(u64 count, u64 elementSize)
{
    if (elementSize != 0 && count > UINT32_MAX / elementSize) return nullptr;
    return PluginAlloc(static_cast<u32>(count * elementSize));
}

void setMemoryFunctions(MemAllocFunction alloc, MemFreeFunction release)
{
    gAlloc = alloc ? alloc : heapAlloc;
    gFree = release ? release : heapFree;
}

void releaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
