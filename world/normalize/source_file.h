// world/normalize/source_file.h - the text of one world file as the normalizing pass
// holds it, where its numbers are, and what kind of file its header says it is.
//
// Owns: SourceFile (the decompressed bytes of one file and the number texts the pass
// writes in place of malformed ones). Reads: the file system (loadSourceBytes) and zlib.
// Entry points: loadSourceBytes, takeSourceBytes, detectHeader, numberText, folderOf.
// Failure: a missing or unreadable file or an oversized one is reported by status; a
// broken gzip stream keeps what it yielded before the break.
#pragma once

#include "base/types.h"

#include <cstddef>
#include <string>
#include <string_view>

// One number of a list: where its text is. The text is the source's own (numbers keep
// the text they were written with) unless kInExtra is set, when it is the text the pass
// wrote for a number it could not keep (hexadecimal, overlong or malformed).
struct NumberRef {
    u32 offset; // byte offset in SourceFile::text, or in SourceFile::extra with kInExtra
    u32 length; // bytes, with kInExtra as its top bit
};
constexpr u32 kInExtra = 0x80000000u;

struct SourceFile {
    std::string path;   // the name used in messages
    std::string folder; // where its urls are resolved from, with a trailing '/'; "" = here
    std::string text;   // the whole file, decompressed; a byte-order mark is left in place
    std::string extra;  // replacement number texts, appended while parsing
};

// Refs are made by the parser and the mesh builders from positions inside the buffers,
// so they are in range by construction.
inline std::string_view numberText(const SourceFile& file, NumberRef ref)
{
    if (ref.length & kInExtra)
        return std::string_view(file.extra.data() + ref.offset, ref.length & ~kInExtra);
    return std::string_view(file.text.data() + ref.offset, ref.length);
}

enum class LoadStatus : u8 {
    kOk,
    kMissing,   // cannot be opened or read
    kTooLarge,  // more than the byte limit, before or after decompression
    kBrokenGzip // compressed data that stopped early: what came before it is kept
};

// Reads a whole file, expanding it when it starts with the gzip signature (whatever its
// extension), into `text`. At most maxBytes are kept.
LoadStatus loadSourceBytes(const std::string& path, u64 maxBytes, std::string& text);

// The same for bytes already in memory.
LoadStatus takeSourceBytes(const char* bytes, std::size_t size, u64 maxBytes, std::string& text);

enum class HeaderKind : u8 {
    kVrml2,     // "#VRML V2.0" on the first line, whatever follows it there
    kVrml2Late, // "#VRML V2.0" after leading comment or blank lines
    kVrml1,     // "#VRML V1.0": not rewritten
    kInventor,  // "#Inventor": the format VRML 1.0 came from, not rewritten either
    kX3d,       // "#X3D": the classic encoding, read as VRML 2.0
    kNone       // no header at all: read as VRML 2.0
};

struct Header {
    HeaderKind kind;
    u32 bodyOffset; // bytes of a leading UTF-8 byte-order mark (0 or 3)
    i32 line;       // 1-based line of the header, 0 when there is none
};

Header detectHeader(std::string_view text);

// The folder part of a path, with its trailing '/' ("" when the path names no folder).
std::string folderOf(const std::string& path);
