// tests/support/counting_allocator.h - a memory service that counts blocks, can fail
// after N allocations, and catches blocks freed twice or never allocated.
#pragma once

#include "memory/memory.h"

#include <cstdlib>
#include <map>

namespace testing_support {

struct CountingAllocator {
    static inline long allocations = 0;
    static inline long frees = 0;
    static inline long failAfter = -1;  // allocations allowed before every call fails
    static inline long badFrees = 0;    // frees of blocks this allocator does not hold
    static std::map<void*, u32>& live() // block -> its size
    {
        static std::map<void*, u32> blocks;
        return blocks;
    }
    static void* alloc(u32 size)
    {
        if (failAfter >= 0 && allocations >= failAfter) return nullptr;
        ++allocations;
        void* block = std::malloc(size == 0 ? 1 : size);
        live().emplace(block, size);
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
    // The size asked for when `block` was allocated; 0 for a block it does not hold.
    static u32 sizeOf(void* block)
    {
        const auto found = live().find(block);
        return found == live().end() ? 0 : found->second;
    }
};

} // namespace testing_support
