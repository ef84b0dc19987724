// platform/growable.h - the one container of the platform layer: a growable array of
// plain records on the C heap. Growing answers false instead of throwing, so every
// caller can refuse the operation that needed the room and leave its state as it was.
// Owns: nothing but its own block. Entry points: Growable<T>::push, removeAt, release.
#pragma once

#include "base/types.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

template <class T> struct Growable {
    static_assert(std::is_trivially_copyable_v<T>, "rows are moved with memcpy");

    T* items = nullptr; // rows 0 .. count - 1 in insertion order
    u32 count = 0;
    u32 capacity = 0;

    // Makes room for one more row; false (nothing changed) when the heap refuses.
    bool reserveOne()
    {
        if (count < capacity) return true;
        const u32 grown = capacity < 8 ? 8 : capacity * 2;
        if (grown <= capacity || grown > (1u << 26)) return false; // far beyond any real use
        void* block = std::realloc(static_cast<void*>(items), sizeof(T) * grown);
        if (!block) return false;
        items = static_cast<T*>(block);
        capacity = grown;
        return true;
    }

    bool push(const T& item)
    {
        if (!reserveOne()) return false;
        items[count++] = item;
        return true;
    }

    // Removes row `index`, keeping the order of the others.
    void removeAt(u32 index)
    {
        if (index >= count) return;
        std::memmove(static_cast<void*>(items + index), static_cast<const void*>(items + index + 1),
                     sizeof(T) * (count - index - 1));
        --count;
    }

    void release()
    {
        std::free(static_cast<void*>(items));
        items = nullptr;
        count = 0;
        capacity = 0;
    }
};
