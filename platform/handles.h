// platform/handles.h - the table that turns every handle the platform gives out (windows,
// device contexts, GDI objects, modules, DrawDib instances) into its record.
// A handle is a slot number, a kind and a generation packed into a pointer-sized value,
// never the record's address: looking a handle up never touches freed memory, a handle
// of the wrong kind is refused, and a slot reused after a release carries a new
// generation, so a stale handle stays stale.
// Owns: the slot table. Entry points: handleCreate, handleLookup, handleRelease,
// handleSlotCount, handleInSlot.
#pragma once

#include "base/types.h"

enum class HandleKind : u8 {
    Window = 1,
    DeviceContext = 2,
    GdiObject = 3,
    Module = 4,
    DrawDib = 5
};

// A new handle for `object`; null when the table cannot grow.
void* handleCreate(HandleKind kind, void* object);
// The record behind a live handle of that kind; null for null, stale or bogus values.
void* handleLookup(const void* handle, HandleKind kind);
// Forgets the handle; later lookups of it answer null. Unknown values are ignored.
void handleRelease(const void* handle);

// For sweeps over every live handle of a kind (platformReset): the slot count, and the
// handle living in a slot, or null when the slot is free or holds another kind.
u32 handleSlotCount();
void* handleInSlot(u32 slot, HandleKind kind);

template <class T> T* lookupAs(const void* handle, HandleKind kind)
{
    return static_cast<T*>(handleLookup(handle, kind));
}
