// The memory service: a forwarding pair, replaceable by the plug-in's entry points.
#include "memory/memory.h"
#include "memory/large_pages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
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
    void* block = gAlloc(size);
    adviseLargePages(block, size);
    return block;
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

void adviseLargePages(void* block, u64 bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (!block || bytes < kLargePageBlock) return;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (start + static_cast<std::uintptr_t>(bytes)) & ~(kLargePage - 1);
    // Advice that is refused (memory that is not the process's own anonymous pages)
    // leaves the block on small pages: nothing to report.
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}
