// world/reader.h - the VRML 2.0 line reader: a world file, read one text line at a
// time, becomes rows of the world tables.
//
// The reader is a keyword scanner, not a grammar: node names are looked for anywhere in
// a line, and each node reader reads on from the same file until it decides its node
// has ended. It reads worlds written one statement per line, as the authoring tools it
// was made for wrote them (the normalizing pass rewrites other files into that layout).
//
// Owns: nothing between reads; the lines come from a LineReader (world/line_reader.h).
// Reads: the world file, or text in memory; a ".wrz" file or gzip content is expanded
// first (a ".wrz" into a copy beside it, anything else into a temporary file).
// Writes: every world table, the camera, the background settings, viewpointCount and
// worldFolder (readWorld only). A read starts from empty tables: the previous world's
// rows are freed first.
// Entry points: readWorld, readWorldText, openWorldText, setWorldFolder.
// Failure: nothing is reported for a bad world; unknown text is passed over and the
// world is read as far as it goes. Hostile input never crashes, hangs or writes outside
// a table. readWorld answers false only when the file cannot be opened (the tables then
// stay as they were) or the empty tables cannot be allocated.
#pragma once

#include "base/types.h"
#include "world/line_reader.h"
#include "world/tables.h"

#include <cstddef>
#include <cstdio>

// The most bytes a compressed world (or Inline) may expand to, in either reading: a
// few kilobytes of gzip can otherwise expand to fill the disk or the memory.
constexpr u64 kMaxWorldBytes = u64{256} << 20;

// Opens the world at path as plain text, positioned at its start: a ".wrz" file (exact,
// case-sensitive extension) is expanded into a new copy beside it, named from its file
// name up to the first "." followed by ".wrl", created only when no file (or link) of
// that name exists, and otherwise into a private temporary file, which `report` is
// told; any other file that starts with the gzip signature is expanded into a temporary
// file. Null when the file cannot be opened, or when it expands beyond kMaxWorldBytes
// ("expands beyond N bytes; not read"). The caller closes the result.
std::FILE* openWorldText(const char* path, ReadReport* report = nullptr);

// Reads the world file at path into the tables, after emptying them, and sets
// worldFolder to the path's folder (with its '/', "" for a bare name). False when the
// file cannot be opened or expands too far, or the empty tables cannot be allocated.
// Messages for the person who opened the world go to `report` when given.
bool readWorld(World& world, const char* path, ReadReport* report = nullptr);

// Sets worldFolder to the folder of path, with its '/' ("" for a bare file name, or for a
// folder too long for the field, which a cut would turn into a wrong folder).
void setWorldFolder(World& world, const char* path);

// The same reader over a world already in memory (no expansion); worldFolder is left as
// the caller set it. `expected`, when given, is the geometry the text holds: the tables
// get room for it before reading. False only when the empty tables cannot be allocated.
bool readWorldText(World& world, const char* text, std::size_t size, ReadReport* report = nullptr,
                   const GeometryRows* expected = nullptr);
