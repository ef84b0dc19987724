// world/normalize/limits.h - the limits that keep a hostile world from taking the
// normalizing pass (or the reader after it) down.
//
// Owns: the default limits. Reads and writes nothing.
// Entry points: defaultNormalizeLimits (normalizeWorldTextWith, in normalize.h, takes
// them). Every limit, when reached, is refused with a diagnostic and what was read
// before it is kept.
#pragma once

#include "base/types.h"
#include "world/reader.h"

struct NormalizeLimits {
    // Nodes inside nodes, counted through PROTO bodies and Inline files too. The parser,
    // the expansion and the writer recurse once per level, and the line reader's
    // Transform reader calls itself for each nested Transform.
    u32 maxNestingDepth = 200;
    // Nodes created by PROTO expansion in one world, and nodes written inside PROTO
    // instances (bodies are shared, not copied, where no IS reaches). A PROTO whose body
    // holds two instances of the previous one doubles with every level.
    u32 maxProtoNodes = 200000;
    // Inline (and EXTERNPROTO) files inside files; the world itself is depth 0.
    u32 maxInlineDepth = 8;
    // Distinct Inline and EXTERNPROTO files read for one world.
    u32 maxInlineFiles = 4096;
    // Bytes of one source file after decompression, and of all of them together.
    u64 maxSourceBytes = kMaxWorldBytes;
    u64 maxTotalSourceBytes = 512u << 20;
    // Bytes of canonical text. A node used many times is written out as many copies.
    u64 maxOutputBytes = 256u << 20;
    // Nodes the writer may visit: copies of nodes that write nothing still cost time.
    u64 maxWriterVisits = 50000000;
    // Messages kept; one more says that the rest were left out.
    u32 maxDiagnostics = 100;
    // A world from the network reads Inline and EXTERNPROTO files only from its own
    // folder and below: no "..", no absolute path, no link leading out.
    bool worldFolderOnly = false;
};

inline NormalizeLimits defaultNormalizeLimits()
{
    return NormalizeLimits{};
}
