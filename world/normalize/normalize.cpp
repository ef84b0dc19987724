// The normalizing pass: read the world, parse it, write it in the canonical layout.
#include "world/normalize/normalize.h"

#include "memory/large_pages.h"
#include "memory/memory.h"
#include "world/normalize/limits.h"
#include "world/normalize/pass_context.h"
#include "world/normalize/world_writer.h"

#include <filesystem>
#include <new>

// Says whether the file is one the pass rewrites; false for VRML 1.0 and Inventor,
// which go to the reader as they are.
static bool acceptHeader(const SourceFile& source, const Header& header, Diagnostics& diagnostics,
                         NormalizeResult& result)
{
    switch (header.kind) {
    case HeaderKind::kVrml1:
        diagnostics.warning(source.path, header.line, 1,
                            "VRML 1.0 is not supported; the file is read as it is");
        result.vrml1 = true;
        return false;
    case HeaderKind::kInventor:
        diagnostics.warning(source.path, header.line, 1,
                            "an Open Inventor file is not VRML 2.0; it is read as it is");
        result.vrml1 = true;
        return false;
    case HeaderKind::kX3d:
        diagnostics.warning(source.path, header.line, 1, "an X3D file; read as VRML 2.0");
        return true;
    case HeaderKind::kNone: return true; // said by rewriteWorld once the file parses
    default: return true;
    }
}

// Parses and writes a world whose text is in the context's first source. False when it
// is no VRML file at all (refused: nothing to read).
static bool rewriteWorld(PassContext& context, SourceFile& source, NormalizeResult& result)
{
    const Header header = detectHeader(source.text);
    if (!acceptHeader(source, header, context.diagnostics, result)) return true;
    std::error_code error;
    const std::string key = std::filesystem::weakly_canonical(source.path, error).string();
    context.fileStack.push_back(error ? source.path : key);
    context.worldFolderKey = error ? std::string() : folderOf(key);
    LoadedFile& world = context.files.emplace_back();
    const Diagnostics::Mark beforeHeader = context.diagnostics.mark();
    if (header.kind == HeaderKind::kNone && source.text.size() > header.bodyOffset) {
        // Said only when the file turns out to be VRML after all.
        context.diagnostics.warning(source.path, 1, 1,
                                    "no \"#VRML V2.0 utf8\" header; read as VRML 2.0");
    }
    if (!parseVrmlFile(context, source, header, 0, world)) {
        const NormalizeDiagnostic notVrml = result.diagnostics.back();
        context.diagnostics.rollBack(beforeHeader);
        result.diagnostics.push_back(notVrml);
        result.refused = true;
        return false;
    }
    const u64 limit = context.limits.maxOutputBytes;
    // About the size of the world; a quarter more for what the layout adds.
    const u64 expected = source.text.size() + source.text.size() / 4 + 4096;
    // At most the output limit (256 MiB), which a 32-bit size_t holds.
    reserveLarge(result.text, static_cast<std::size_t>(expected < limit ? expected : limit));
    CanonicalText out(result.text, limit);
    writeWorld(context, world, out, result.geometry);
    out.finish();
    return true;
}

// Reports what loading said; false when there is nothing to go on.
static bool acceptLoad(LoadStatus status, const SourceFile& source, Diagnostics& diagnostics,
                       const NormalizeLimits& limits, NormalizeResult& result)
{
    switch (status) {
    case LoadStatus::kMissing: diagnostics.error(source.path, 0, 0, "cannot be read"); return false;
    case LoadStatus::kTooLarge:
        diagnostics.error(source.path, 0, 0,
                          "larger than " + std::to_string(limits.maxSourceBytes) +
                              " bytes; too large to rewrite");
        return false;
    case LoadStatus::kExpandsTooFar:
        diagnostics.error(source.path, 0, 0,
                          "expands beyond " + std::to_string(limits.maxSourceBytes) +
                              " bytes; not read");
        result.refused = true;
        return false;
    case LoadStatus::kBrokenGzip:
        diagnostics.warning(source.path, 0, 0,
                            "compressed data broken off; what came before is read");
        return !source.text.empty();
    default: return true;
    }
}

template <class Load>
static bool runPass(const char* fileName, const NormalizeLimits& limits, NormalizeResult& result,
                    Load load)
{
    try {
        Diagnostics diagnostics(result.diagnostics, limits.maxDiagnostics);
        PassContext context(limits, diagnostics);
        SourceFile& source = context.sources.emplace_back();
        source.path = fileName ? fileName : "";
        source.folder = folderOf(source.path);
        if (!acceptLoad(load(source), source, diagnostics, limits, result)) return false;
        return rewriteWorld(context, source, result);
    } catch (const std::bad_alloc&) {
        // The standard containers are the pass's only source of exceptions; running
        // out of memory stops the pass and nothing half-written is handed on.
        result.text.clear();
        result.text.shrink_to_fit();
        result.diagnostics.push_back(
            {fileName ? fileName : "", 0, 0, "out of memory while rewriting the world", false});
        return false;
    }
}

template <class Load>
static bool normalizeWith(const char* fileName, const NormalizeLimits& limits,
                          NormalizeResult& result, Load load)
{
    result = NormalizeResult{};
    const bool rewritten = runPass(fileName, limits, result, load);
    // The source text, the node tree and the meshes are gone; the heap gives their pages
    // back before the reader fills the tables beside the rewritten text.
    releaseFreeMemory();
    return rewritten;
}

bool normalizeWorldTextWith(const char* text, std::size_t size, const char* fileName,
                            const NormalizeLimits& limits, NormalizeResult& result)
{
    return normalizeWith(fileName, limits, result, [&](SourceFile& source) {
        return takeSourceBytes(text ? text : "", text ? size : 0, limits.maxSourceBytes, source);
    });
}

bool normalizeWorldText(const char* text, std::size_t size, const char* fileName,
                        NormalizeResult& result)
{
    return normalizeWorldTextWith(text, size, fileName, defaultNormalizeLimits(), result);
}

bool normalizeWorldFile(const char* path, NormalizeResult& result)
{
    return normalizeWorldFileWith(path, defaultNormalizeLimits(), result);
}

bool normalizeWorldFileWith(const char* path, const NormalizeLimits& limits,
                            NormalizeResult& result)
{
    if (!path) return false;
    return normalizeWith(path, limits, result, [&](SourceFile& source) {
        return loadSourceBytes(source.path, limits.maxSourceBytes, source);
    });
}
