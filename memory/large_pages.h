// memory/large_pages.h - large blocks on the system's large pages.
//
// A fresh block is zero-filled by the system one 4 KiB page at a time, on its first
// write. A million-triangle load writes some 250 MB of such pages (the world's text,
// the rewritten text, the smoothing's lists, the tables), and on a virtual machine those
// faults cost as much as parsing the text written there. Asked before the first write,
// Linux backs each whole 2 MiB stretch of a block with one large page instead. It is
// only advice: the block, what it holds and its release do not change; a refusal leaves
// the small pages, and where the system has no such advice (Windows) nothing happens.
#pragma once

#include "base/types.h"

#include <cstddef>

// Blocks from this size on are worth the system call.
constexpr u64 kLargePageBlock = u64{4} << 20;

// Advises the whole 2 MiB stretches inside [block, block + bytes); a smaller block or
// null is left alone.
void adviseLargePages(void* block, u64 bytes);

// list.reserve(count) for a std::vector or std::string, with a new block advised before
// anything is written into it.
template <class List> void reserveLarge(List& list, std::size_t count)
{
    if (count <= list.capacity()) return;
    list.reserve(count);
    adviseLargePages(list.data(), u64{list.capacity()} * sizeof(typename List::value_type));
}
