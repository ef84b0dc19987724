// Module resource tables and LoadBitmap.
#include "platform/dib.h"
#include "platform/gdi_state.h"
#include "platform/handles.h"
#include "platform/text.h"

#include <cstdlib>
#include <new>

namespace {

struct ModuleRecord {
    char* name;                   // heap copy, for diagnostics
    const ResourceEntry* entries; // the caller's table, never copied
    std::size_t count;
};

} // namespace

static ModuleRecord* lookupModule(HINSTANCE instance)
{
    return lookupAs<ModuleRecord>(instance, HandleKind::Module);
}

HINSTANCE RegisterModuleResources(const char* moduleName, const ResourceEntry* entries,
                                  std::size_t count)
{
    if (!entries && count > 0) return nullptr;
    for (u32 slot = 0; slot < handleSlotCount(); ++slot) {
        const HINSTANCE known = static_cast<HINSTANCE>(handleInSlot(slot, HandleKind::Module));
        const ModuleRecord* record = lookupModule(known);
        if (record && record->entries == entries && record->count == count) return known;
    }
    ModuleRecord* record = new (std::nothrow) ModuleRecord{nullptr, entries, count};
    if (!record) return nullptr;
    record->name = copyText(moduleName ? moduleName : "");
    const HINSTANCE instance = static_cast<HINSTANCE>(handleCreate(HandleKind::Module, record));
    if (!record->name || !instance) {
        handleRelease(instance);
        std::free(record->name);
        delete record;
        return nullptr;
    }
    return instance;
}

// The numeric identifier a name stands for: MAKEINTRESOURCE(n), or the text "#n" as
// Win32 also accepts; 0 for a real name.
static std::uintptr_t numericName(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) return reinterpret_cast<std::uintptr_t>(name);
    if (name[0] != '#' || name[1] == '\0') return 0;
    std::uintptr_t value = 0;
    for (const char* digit = name + 1; *digit; ++digit) {
        if (*digit < '0' || *digit > '9' || value > 0xFFFF) return 0;
        value = value * 10 + static_cast<std::uintptr_t>(*digit - '0');
    }
    return value <= 0xFFFF ? value : 0;
}

static const ResourceEntry* findResource(const ModuleRecord& module, LPCSTR name)
{
    const std::uintptr_t id = numericName(name);
    for (std::size_t row = 0; row < module.count; ++row) {
        const ResourceEntry& entry = module.entries[row];
        if (id != 0 ? entry.id == id : entry.name && sameText(entry.name, name)) return &entry;
    }
    return nullptr;
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name)
{
    const ModuleRecord* module = lookupModule(instance);
    if (!module || !name) return nullptr;
    const ResourceEntry* entry = findResource(*module, name);
    Surface pixels;
    if (!entry || !decodeDib(entry->data, entry->size, &pixels)) return nullptr;
    return makeBitmapObject(pixels);
}

void freeAllModules()
{
    for (u32 slot = 0; slot < handleSlotCount(); ++slot) {
        const HINSTANCE instance = static_cast<HINSTANCE>(handleInSlot(slot, HandleKind::Module));
        ModuleRecord* record = lookupModule(instance);
        if (!record) continue;
        handleRelease(instance);
        std::free(record->name);
        delete record;
    }
}
