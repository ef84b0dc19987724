// Hash indexes from USE names to the last row of that name.
#include "world/name_index.h"

#include "memory/memory.h"

#include <cstring>

static const char* nameOf(const World& world, NamedTable table, i16 row)
{
    switch (table) {
    case NamedTable::appearanceNames: return world.materials[row].name;
    case NamedTable::materialNames: return world.materialNames[row];
    case NamedTable::coordNames: return world.objects[row].coordName;
    case NamedTable::clipNames: return world.audioClips[row].name;
    }
    return "";
}

static i16 rowCount(const World& world, NamedTable table)
{
    switch (table) {
    case NamedTable::appearanceNames:
    case NamedTable::materialNames: return world.materialCount;
    case NamedTable::coordNames: return world.objectCount;
    case NamedTable::clipNames: return world.audioClipCount;
    }
    return 0;
}

// FNV-1a over the name's bytes.
static u32 hashName(const char* name)
{
    u32 hash = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        hash = (hash ^ *p) * 16777619u;
    return hash;
}

// The slot holding a row of this name, or the empty slot where it belongs.
static u32 probe(const NameIndex& index, const World& world, NamedTable table, const char* name)
{
    const u32 mask = index.capacity - 1;
    u32 slot = hashName(name) & mask;
    while (index.slots[slot] >= 0 &&
           std::strcmp(nameOf(world, table, index.slots[slot]), name) != 0)
        slot = (slot + 1) & mask;
    return slot;
}

static void insertRow(NameIndex& index, const World& world, NamedTable table, i16 row)
{
    const u32 slot = probe(index, world, table, nameOf(world, table, row));
    if (index.slots[slot] < 0) ++index.used;
    index.slots[slot] = row;
}

// Keeps the slots at most half full. False when memory runs out (the index is then
// dropped and the caller scans).
static bool makeRoom(NameIndex& index, const World& world, NamedTable table, u32 rows)
{
    if (index.capacity >= 2 * rows && index.capacity > 0) return true;
    u32 capacity = 64;
    while (capacity < 2 * rows) capacity *= 2;
    auto* slots = static_cast<i16*>(PluginAllocArray(capacity, sizeof(i16)));
    if (!slots) return false;
    NameIndex grown{slots, capacity, 0, 0};
    std::memset(slots, 0xFF, capacity * sizeof(i16)); // every slot -1
    for (i32 row = 0; row < index.indexedRows; ++row)
        insertRow(grown, world, table, static_cast<i16>(row));
    grown.indexedRows = index.indexedRows;
    PluginFree(index.slots);
    index = grown;
    return true;
}

static i16 scanFromLast(const World& world, NamedTable table, const char* name, i16 count)
{
    for (i16 row = static_cast<i16>(count - 1); row >= 0; --row) {
        if (std::strcmp(nameOf(world, table, row), name) == 0) return row;
    }
    return -1;
}

i16 findLastNamed(NameIndexes* indexes, const World& world, NamedTable table, const char* name)
{
    const i16 count = rowCount(world, table);
    if (!name[0] || count <= 0) return -1;
    // The last row may still be getting its name: always compared directly.
    if (std::strcmp(nameOf(world, table, static_cast<i16>(count - 1)), name) == 0)
        return static_cast<i16>(count - 1);
    if (!indexes) return scanFromLast(world, table, name, count);
    NameIndex& index = indexes->tables[static_cast<int>(table)];
    const i32 stableRows = count - 1;
    if (stableRows == 0) return -1;
    if (index.indexedRows > stableRows) index.indexedRows = stableRows; // rows were dropped
    if (!makeRoom(index, world, table, static_cast<u32>(stableRows))) {
        freeNameIndexes(*indexes);
        return scanFromLast(world, table, name, count);
    }
    while (index.indexedRows < stableRows)
        insertRow(index, world, table, static_cast<i16>(index.indexedRows++));
    const i16 row = index.slots[probe(index, world, table, name)];
    // A row at or past the last one would be a row dropped since it was indexed.
    return row < stableRows ? row : scanFromLast(world, table, name, count);
}

void freeNameIndexes(NameIndexes& indexes)
{
    for (NameIndex& index : indexes.tables) {
        PluginFree(index.slots);
        index = NameIndex{};
    }
}
