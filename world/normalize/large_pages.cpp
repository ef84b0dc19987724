// Large-page advice for big buffers (Linux madvise; nothing elsewhere).
#include "world/normalize/large_pages.h"

#include "base/types.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

void adviseLargePages(std::string& buffer)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = 2u << 20;
    // Smaller buffers gain nothing worth a system call.
    if (buffer.capacity() < 4 * kLargePage) return;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t end = start + buffer.capacity();
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = end & ~(kLargePage - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), static_cast<std::size_t>(last - first),
                MADV_HUGEPAGE); // a refusal only leaves the small pages
#else
    (void)buffer;
#endif
}
