// Fuzz target: the normalizing pass on arbitrary bytes, then the line reader on what it
// wrote. Neither may crash, hang or touch memory outside its buffers, and a rewritten
// world must always be a finished text (only a VRML 1.0 file gives none), ending with a
// newline. Bytes without a VRML header that yield no node are refused as no VRML.
#include "world/normalize/limits.h"
#include "world/normalize/normalize.h"
#include "world/reader.h"
#include "world/tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Smaller limits than a real load, so that one input cannot take seconds; the name
    // places Inline urls in a folder that does not exist.
    NormalizeLimits limits;
    limits.maxOutputBytes = 4u << 20;
    limits.maxProtoNodes = 20000;
    limits.maxWriterVisits = 200000;
    limits.maxSourceBytes = 1u << 20;
    limits.maxTotalSourceBytes = 4u << 20;
    limits.maxInlineFiles = 16;
    NormalizeResult result;
    const bool rewritten =
        normalizeWorldTextWith(reinterpret_cast<const char*>(data), size,
                               "/nonexistent-fuzz-folder/world.wrl", limits, result);
    // Text in memory is refused only when it is too large, gzip data that held nothing
    // or too much, or no VRML at all.
    const bool gzip = size >= 2 && data[0] == 0x1f && data[1] == 0x8b;
    if (!rewritten && !gzip && !result.refused && size <= limits.maxSourceBytes) std::abort();
    if (rewritten && !result.vrml1 && result.text.empty()) std::abort();
    if (!result.text.empty() && result.text.back() != '\n') std::abort();
    static World world;
    static bool ready = initWorldTables(world);
    if (ready && !result.text.empty()) readWorldText(world, result.text.data(), result.text.size());
    return 0;
}
