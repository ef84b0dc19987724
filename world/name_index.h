// world/name_index.h - finds the last row of a table whose name equals a USE name
// without scanning the whole table each time, so a world that USEs names many times
// (or names that do not exist) still reads in linear time.
//
// Owns: the hash slots of one read's indexes (from the memory service).
// Reads: the names of the rows of materials (name, materialNames), objects
// (coordName) and audioClips (name).
// Entry points: findLastNamed, freeNameIndexes.
// Failure: when memory for the slots runs out, the lookup scans the table instead.
//
// Rows below the last are indexed lazily: their names no longer change once a later
// row exists (only the row being filled, the last one, gets its name late), so the last
// row is always compared directly.
#pragma once

#include "base/types.h"
#include "world/tables.h"

// One table's index: open addressing, each slot a row (-1 empty), keyed by that row's
// name; a later row of the same name replaces the earlier one.
struct NameIndex {
    i16* slots = nullptr;
    u32 capacity = 0;    // a power of two, or 0
    u32 used = 0;        // slots holding a row
    i32 indexedRows = 0; // rows 0 .. indexedRows - 1 are in the slots
};

// The tables USE names are looked up in.
enum class NamedTable { appearanceNames, materialNames, coordNames, clipNames };

// The indexes of one read.
struct NameIndexes {
    NameIndex tables[4];
};

// The last row among the table's counted rows whose name equals name, or -1. An empty
// name names nothing. indexes may be null: the table is then scanned.
i16 findLastNamed(NameIndexes* indexes, const World& world, NamedTable table, const char* name);

void freeNameIndexes(NameIndexes& indexes);
