// world/normalize/normalize.h - the normalizing pass in front of the line reader.
//
// The line reader reads worlds written one statement per line, the way the authoring
// tools it was made for wrote them. Real files are written every other way, so a world
// is first parsed as VRML 2.0 (classic encoding) and rewritten into that canonical
// layout, and the line reader then reads the rewritten text.
//
// Owns: nothing beyond one call; every node tree, source buffer and name table lives
// and dies inside normalizeWorldFile / normalizeWorldText.
// Reads: the world file, and the local files its Inline and EXTERNPROTO urls name
// (relative to the file that names them; plain text or gzip, whatever the extension).
// Writes: only the NormalizeResult; no world table is touched.
// Entry points: normalizeWorldFile, normalizeWorldText.
// Failure: nothing throws out of these calls. Syntax errors, missing Inline files and
// refused limits (nesting depth, PROTO expansion size, Inline depth, output size) add a
// diagnostic and keep what was read before them; running out of memory stops the pass
// with a diagnostic and an empty text.
#pragma once

#include "world/normalize/diagnostics.h"
#include "world/normalize/limits.h"
#include "world/tables.h"

#include <cstddef>
#include <string>
#include <vector>

struct NormalizeResult {
    std::string text; // the world in the canonical layout, "#VRML V2.0 utf8" first
    std::vector<NormalizeDiagnostic> diagnostics; // in the order they were found
    bool vrml1 = false;   // a VRML 1.0 (or Open Inventor) file: text stays empty, read the raw file
    bool refused = false; // refused for good (it expands too far, or is no VRML at all): not
                          // to be read another way
    GeometryRows geometry; // the face sets of the text, counted as written: room the
                           // reader's tables can take at once
};

// Reads the world at `path` (plain text or gzip, whatever the extension) and rewrites it.
// Returns false when the file cannot be read at all; a syntax error keeps what was parsed
// before it (resynchronising at the next node where it can) and adds a diagnostic. A VRML
// 1.0 file is not rewritten: vrml1 = true, a warning, and the caller reads the raw file.
bool normalizeWorldFile(const char* path, NormalizeResult& result);
// The same with limits of the caller's choosing (worldFolderOnly for a world from the
// network).
bool normalizeWorldFileWith(const char* path, const NormalizeLimits& limits,
                            NormalizeResult& result);

// The same for a world already in memory (plain text or gzip bytes). `fileName` names the
// world in messages and is where Inline and EXTERNPROTO urls are resolved from; it need
// not exist. Returns false only when the text cannot be taken at all (memory, or a
// compressed stream that yields nothing).
bool normalizeWorldText(const char* text, std::size_t size, const char* fileName,
                        NormalizeResult& result);

// normalizeWorldText with limits of the caller's choosing (tests reach each refusal
// with small inputs).
bool normalizeWorldTextWith(const char* text, std::size_t size, const char* fileName,
                            const NormalizeLimits& limits, NormalizeResult& result);
