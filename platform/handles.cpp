// The handle table: slots reused through a free list, each with a generation that
// changes on every release.
#include "platform/handles.h"

#include "platform/growable.h"

#include <cstdint>

namespace {

struct HandleSlot {
    void* object;    // the record, null while the slot is free
    u64 generation;  // bumped on release; part of every handle of this slot
    u32 nextFree;    // next free slot + 1 (0: end of the free list)
    HandleKind kind; // meaningful while object is set
};

constexpr u32 kSlotBits = 20;
constexpr u32 kKindBits = 4;
constexpr u32 kMaxSlots = (1u << kSlotBits) - 1; // slot + 1 must fit its field
constexpr unsigned kGenerationShift = kSlotBits + kKindBits;
constexpr std::uintptr_t kGenerationMask = (~std::uintptr_t{0}) >> kGenerationShift;

Growable<HandleSlot> slots;
u32 firstFree = 0; // free slot + 1, 0 when none

} // namespace

static std::uintptr_t encodeHandle(u32 slot, HandleKind kind, u64 generation)
{
    const std::uintptr_t generationBits = static_cast<std::uintptr_t>(generation) & kGenerationMask;
    return (generationBits << kGenerationShift) | (static_cast<std::uintptr_t>(kind) << kSlotBits) |
           (slot + 1);
}

// The slot of a handle value whose generation and kind still match; -1 otherwise.
static i64 findSlot(const void* handle)
{
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(handle);
    const std::uintptr_t slotField = value & kMaxSlots;
    if (slotField == 0 || slotField > slots.count) return -1;
    const u32 slot = static_cast<u32>(slotField - 1);
    const HandleSlot& entry = slots.items[slot];
    if (!entry.object || encodeHandle(slot, entry.kind, entry.generation) != value) return -1;
    return slot;
}

void* handleCreate(HandleKind kind, void* object)
{
    if (!object) return nullptr;
    u32 slot = 0;
    if (firstFree != 0) {
        slot = firstFree - 1;
        firstFree = slots.items[slot].nextFree;
    } else {
        if (slots.count >= kMaxSlots) return nullptr;
        if (!slots.push(HandleSlot{nullptr, 1, 0, kind})) return nullptr;
        slot = slots.count - 1;
    }
    HandleSlot& entry = slots.items[slot];
    entry.object = object;
    entry.kind = kind;
    entry.nextFree = 0;
    return reinterpret_cast<void*>(encodeHandle(slot, kind, entry.generation));
}

void* handleLookup(const void* handle, HandleKind kind)
{
    const i64 slot = findSlot(handle);
    if (slot < 0 || slots.items[slot].kind != kind) return nullptr;
    return slots.items[slot].object;
}

void handleRelease(const void* handle)
{
    const i64 slot = findSlot(handle);
    if (slot < 0) return;
    HandleSlot& entry = slots.items[slot];
    entry.object = nullptr;
    ++entry.generation;
    entry.nextFree = firstFree;
    firstFree = static_cast<u32>(slot) + 1;
}

u32 handleSlotCount()
{
    return slots.count;
}

void* handleInSlot(u32 slot, HandleKind kind)
{
    if (slot >= slots.count) return nullptr;
    const HandleSlot& entry = slots.items[slot];
    if (!entry.object || entry.kind != kind) return nullptr;
    return reinterpret_cast<void*>(encodeHandle(slot, kind, entry.generation));
}
