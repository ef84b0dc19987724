// Loading a world's bytes (plain or gzip) and reading its header line.
#include "world/normalize/source_file.h"

#include "memory/large_pages.h"
#include "world/normalize/tokenizer.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

constexpr std::size_t kReadChunk = 1u << 16;

static bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

static bool isGzip(const char* bytes, std::size_t size)
{
    return size >= 2 && static_cast<u8>(bytes[0]) == 0x1F && static_cast<u8>(bytes[1]) == 0x8B;
}

// Expands one or more gzip members. Stops at maxBytes (kExpandsTooFar) or at the first broken
// member (kBrokenGzip), keeping what was expanded before it; never loops on bad data
// because every round either consumes input, produces output or ends.
static LoadStatus inflateAll(const char* bytes, std::size_t size, u64 maxBytes, std::string& text)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return LoadStatus::kMissing;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
    std::size_t inputLeft = size;
    char chunk[kReadChunk];
    LoadStatus status = LoadStatus::kOk;
    while (true) {
        if (stream.avail_in == 0 && inputLeft > 0) {
            const std::size_t take = inputLeft < (1u << 30) ? inputLeft : (1u << 30);
            stream.avail_in = static_cast<uInt>(take);
            inputLeft -= take;
        }
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        const int code = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - stream.avail_out;
        if (text.size() + produced > maxBytes) {
            status = LoadStatus::kExpandsTooFar;
            break;
        }
        text.append(chunk, produced);
        if (code == Z_STREAM_END) {
            // Another member may follow (files concatenated by cat); padding zeros end it.
            if (stream.avail_in == 0 && inputLeft == 0) break;
            if (stream.avail_in < 2 || stream.next_in[0] != 0x1F || stream.next_in[1] != 0x8B)
                break;
            inflateReset(&stream);
            continue;
        }
        if (code == Z_OK) continue; // progress was made
        // Z_BUF_ERROR: no progress with all input given, a stream cut short; anything
        // else is corrupt data. Either way the text so far is kept.
        status = LoadStatus::kBrokenGzip;
        break;
    }
    inflateEnd(&stream);
    return status;
}

static std::string_view lineAt(std::string_view text, std::size_t start)
{
    const std::size_t end = text.find_first_of("\r\n", start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

static HeaderKind kindOfHeaderLine(std::string_view line)
{
    if (startsWith(line, "#VRML V2.0")) return HeaderKind::kVrml2;
    if (startsWith(line, "#VRML V1.0")) return HeaderKind::kVrml1;
    if (startsWith(line, "#Inventor")) return HeaderKind::kInventor;
    if (startsWith(line, "#X3D")) return HeaderKind::kX3d;
    return HeaderKind::kNone;
}

LoadStatus takeSourceBytes(const char* bytes, std::size_t size, u64 maxBytes, SourceFile& file)
{
    file.storage.clear();
    file.text = {};
    if (isGzip(bytes, size)) {
        const LoadStatus status = inflateAll(bytes, size, maxBytes, file.storage);
        file.text = file.storage;
        return status;
    }
    if (size > maxBytes) return LoadStatus::kTooLarge;
    file.text = std::string_view(bytes, size);
    return LoadStatus::kOk;
}

LoadStatus loadSourceBytes(const std::string& path, u64 maxBytes, SourceFile& file)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return LoadStatus::kMissing;
    std::string raw;
    std::error_code unknown;
    const std::uintmax_t expected = std::filesystem::file_size(path, unknown);
    if (!unknown && expected <= maxBytes) reserveLarge(raw, static_cast<std::size_t>(expected));
    char chunk[kReadChunk];
    LoadStatus status = LoadStatus::kOk;
    // A compressed file may expand far beyond its own size, so the raw bytes get the
    // same limit as the text and the expansion checks its own.
    while (true) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream);
        if (got == 0) break;
        if (raw.size() + got > maxBytes) {
            status = LoadStatus::kTooLarge;
            break;
        }
        raw.append(chunk, got);
    }
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    if (status != LoadStatus::kOk) return status;
    if (failed) return LoadStatus::kMissing;
    if (isGzip(raw.data(), raw.size()))
        return takeSourceBytes(raw.data(), raw.size(), maxBytes, file);
    file.storage = std::move(raw);
    file.text = file.storage;
    return LoadStatus::kOk;
}

bool NumberCursor::nextPlainGroup(u32 count, std::string_view& span)
{
    if (run_ >= runs_.size()) return false;
    const NumberRun& run = runs_[run_];
    if (run.count < 2 || run.count - taken_ < count) return false;
    const std::string_view text = runText(file_, run);
    const u32 size = static_cast<u32>(text.size());
    u32 at = position_;
    // Blanks and commas before the group may be anything the run allows; between its
    // numbers they must be plain.
    while (at < size && classOf(text[at]) != kNumberStart) {
        if (classOf(text[at]) == kComment) return false;
        ++at;
    }
    const u32 start = at;
    for (u32 number = 0; number < count; ++number) {
        if (number > 0) {
            while (at < size && (text[at] == ' ' || text[at] == ',')) ++at;
            if (at >= size || classOf(text[at]) != kNumberStart) return false;
        }
        while (at < size && continuesWord(text[at])) ++at;
    }
    span = text.substr(start, at - start);
    position_ = at;
    taken_ += count;
    return true;
}

bool NumberCursor::next(std::string_view& text, NumberRun& single)
{
    while (run_ < runs_.size() && taken_ >= runs_[run_].count) {
        ++run_;
        taken_ = 0;
        position_ = 0;
    }
    if (run_ >= runs_.size()) return false;
    const NumberRun& run = runs_[run_];
    const std::string_view span = runText(file_, run);
    ++taken_;
    if (run.count == 1) {
        text = span;
        single = run;
        return true;
    }
    // A run holds only numbers and what stands between them: blanks, commas, line ends
    // and comments.
    u32 at = position_;
    const u32 size = static_cast<u32>(span.size());
    while (at < size && classOf(span[at]) != kNumberStart) {
        if (classOf(span[at]) == kComment)
            while (at < size && classOf(span[at]) != kNewLine) ++at;
        else
            ++at;
    }
    u32 end = at;
    while (end < size && continuesWord(span[end])) ++end;
    position_ = end;
    text = span.substr(at, end - at);
    single = {run.offset + at, (end - at) | (run.length & kInExtra), 1};
    return true;
}

Header detectHeader(std::string_view text)
{
    Header header{HeaderKind::kNone, 0, 0};
    if (startsWith(text, "\xEF\xBB\xBF")) header.bodyOffset = 3;
    std::size_t start = header.bodyOffset;
    // Only comment and blank lines may stand before a header, and not many of them: a
    // header far down is no header.
    for (i32 line = 1; line <= 64 && start < text.size(); ++line) {
        const std::string_view current = lineAt(text, start);
        std::size_t first = 0;
        while (first < current.size() && (current[first] == ' ' || current[first] == '\t')) ++first;
        const std::string_view trimmed = current.substr(first);
        const HeaderKind kind = kindOfHeaderLine(trimmed);
        if (kind != HeaderKind::kNone) {
            header.kind = (kind == HeaderKind::kVrml2 && line > 1) ? HeaderKind::kVrml2Late : kind;
            header.line = line;
            return header;
        }
        if (!trimmed.empty() && trimmed[0] != '#') break;
        start += current.size();
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return header;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
