// world/normalize/source_file.h - the text of one world file as the normalizing pass
// holds it, where its numbers are, and what kind of file its header says it is.
//
// Owns: SourceFile (the decompressed bytes of one file and the number texts the pass
// writes in place of malformed ones). Reads: the file system (loadSourceBytes) and zlib.
// Entry points: loadSourceBytes, takeSourceBytes, detectHeader, runText, NumberCursor,
//               folderOf.
// Failure: a missing or unreadable file or an oversized one is reported by status; a
// broken gzip stream keeps what it yielded before the break.
#pragma once

#include "base/types.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "world/normalize/tokenizer.h"

// Numbers of a list where the file wrote them: `count` numbers between offset and
// offset + length, apart by blanks, commas, line ends and comments as the file had
// them; or one number (count 1) whose text is the whole span. Numbers keep the text
// they were written with; a number the pass had to rewrite (hexadecimal, overlong or
// malformed) is a run of its own in SourceFile::extra, flagged by kInExtra.
struct NumberRun {
    u32 offset; // byte offset in SourceFile::text, or in SourceFile::extra with kInExtra
    u32 length; // bytes, with kInExtra as its top bit
    u32 count;  // numbers in the span
};
constexpr u32 kInExtra = 0x80000000u;

struct SourceFile {
    std::string path;           // the name used in messages
    std::string folder;         // where its urls are resolved from, with a trailing '/'; "" = here
    std::string storage;        // the bytes when the pass had to read or expand them
    std::string_view text;      // the whole file: `storage`, or the caller's own buffer
    std::string extra;          // replacement number texts, appended while parsing
    bool numberRefused = false; // a number beyond a float was refused (said once a file)
};

// The bytes of a run. Runs are made by the parser and the mesh builders from positions
// inside the buffers, so they are in range by construction.
inline std::string_view runText(const SourceFile& file, const NumberRun& run)
{
    if (run.length & kInExtra)
        return std::string_view(file.extra.data() + run.offset, run.length & ~kInExtra);
    return std::string_view(file.text.data() + run.offset, run.length);
}

// The numbers of a list of runs, one at a time, in order.
class NumberCursor {
public:
    NumberCursor(const SourceFile& file, const std::vector<NumberRun>& runs)
        : file_(file), runs_(runs)
    {
    }
    // The next number's text, and the number as a run of its own; false after the last.
    bool next(std::string_view& text, NumberRun& single);
    bool next(std::string_view& text)
    {
        NumberRun single;
        return next(text, single);
    }
    // The next `count` numbers as one span of text from the first to the last, when they
    // stand in one run with nothing but blanks and commas between them (so the span can
    // be copied as it is); false, consuming nothing, otherwise.
    bool nextPlainGroup(u32 count, std::string_view& span);

private:
    const SourceFile& file_;
    const std::vector<NumberRun>& runs_;
    std::size_t run_ = 0;
    u32 taken_ = 0;    // numbers of the current run already given out
    u32 position_ = 0; // scan position inside the current run's span
};

// Calls visit(text) for every number of the runs in order; for the long lists, where a
// call per number through NumberCursor would cost more than the number itself.
template <class Visit>
void forEachNumber(const SourceFile& file, const std::vector<NumberRun>& runs, Visit visit);

enum class LoadStatus : u8 {
    kOk,
    kMissing,       // cannot be opened or read
    kTooLarge,      // a plain file of more than the byte limit
    kExpandsTooFar, // compressed data that expands beyond the byte limit
    kBrokenGzip     // compressed data that stopped early: what came before it is kept
};

// Reads a whole file into file.storage and file.text, expanding it when it starts with
// the gzip signature (whatever its extension). At most maxBytes are kept.
LoadStatus loadSourceBytes(const std::string& path, u64 maxBytes, SourceFile& file);

// The same for bytes already in memory; plain text is not copied (file.text points into
// `bytes`, which must outlive the file).
LoadStatus takeSourceBytes(const char* bytes, std::size_t size, u64 maxBytes, SourceFile& file);

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

template <class Visit>
void forEachNumber(const SourceFile& file, const std::vector<NumberRun>& runs, Visit visit)
{
    for (const NumberRun& run : runs) {
        const std::string_view span = runText(file, run);
        if (run.count == 1) {
            visit(span);
            continue;
        }
        const char* at = span.data();
        const char* const end = at + span.size();
        while (at < end) {
            const CharClass kind = classOf(*at);
            if (kind == kNumberStart) {
                const char* const start = at;
                while (at < end && continuesWord(*at)) ++at;
                visit(std::string_view(start, static_cast<std::size_t>(at - start)));
            } else if (kind == kComment) {
                while (at < end && classOf(*at) != kNewLine) ++at;
            } else {
                ++at;
            }
        }
    }
}
