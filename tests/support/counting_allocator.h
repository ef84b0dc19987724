// tests/support/counting_allocator.h - a memory service that counts blocks, can fail
// after N allocations, and catches blocks freed twice or never allocated.
#pragma once

#include "plugin/memory.h"

#include <cstdlib>
#include <set>

namespace testing_support {

struct CountingAllocator {
    static inline long allocations = 0;
    static inline long frees = 0;
    static inline long failAfter = -1; // allocations allowed before every call fails
    static inline long badFrees = 0;   // frees of blocks this allocator does not hold
    static std::set<void*>& live()
    {
        static std::set<void*> blocks;
        return blocks;
    }
    static void* alloc(u32 size)
    {
        if (failAfter >= 0 && allocations >= failAfter) return nullptr;
        ++allocations;
        void* block = std::malloc(size == 0 ? 1 : size);
        live().insert(block);
        return block;
    }
    static void release(void* block)
    {
        if (live().erase(block) == 0) {
            ++badFrees;
            return; // never hand a stranger's pointer to free()
        }
        ++frees;
        std::free(block);
    }
    // Fresh counts; allocations fail once failAfterCount succeeded (-1: never).
    static void reset(long failAfterCount = -1)
    {
        allocations = frees = badFrees = 0;
        failAfter = failAfterCount;
    }
    // Installs the counter as this program's memory service, with fresh counts;
    // uninstall() puts the C heap back.
    static void install(long failAfterCount = -1)
    {
        reset(failAfterCount);
        setMemoryFunctions(alloc, release);
    }
    static void uninstall() { setMemoryFunctions(nullptr, nullptr); }
    static long outstanding() { return static_cast<long>(live().size()); }
};

} // namespace testing_support
