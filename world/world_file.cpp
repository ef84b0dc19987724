// Opening a world file as plain text: compressed worlds are expanded first.
#include "world/reader.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

constexpr std::size_t kExpandBlock = 4096;

// The file name part of a path (after its last '/').
static const char* fileNameOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// The exact, case-sensitive ".wrz" extension: a plain-text x.WRZ is read as it is.
static bool hasWrzExtension(const char* path)
{
    const char* dot = std::strrchr(fileNameOf(path), '.');
    return dot && std::strcmp(dot + 1, "wrz") == 0;
}

// Paths longer than this are not given a copy beside the world; it is expanded into a
// temporary file instead.
constexpr std::size_t kCopyNameSize = 4096;

// The copy of a ".wrz" world: beside it, named from its file name up to the first "."
// (x.tar.wrz gives x.wrl). Taking the first "." of the whole path instead would write
// outside the world's folder whenever a folder name holds a dot. False when the name
// does not fit.
static bool expandedCopyName(const char* path, char* copyName, std::size_t copyNameSize)
{
    const char* name = fileNameOf(path);
    const std::size_t stemLength = static_cast<std::size_t>(name - path) + std::strcspn(name, ".");
    const char extension[] = ".wrl";
    if (stemLength + sizeof extension > copyNameSize) return false;
    std::memcpy(copyName, path, stemLength);
    std::memcpy(copyName + stemLength, extension, sizeof extension);
    return true;
}

// Copies the expanded stream into out (plain content passes through gzread unchanged),
// at most kMaxWorldBytes. A broken stream keeps what arrived before the break; gzread
// answers below 1 at the end and on every error, so this never waits on a stream that
// yields nothing. False when the stream expands beyond the limit (or the copy cannot
// be written): nothing of it is read then.
static bool expandInto(gzFile stream, std::FILE* out)
{
    char block[kExpandBlock];
    u64 written = 0;
    for (;;) {
        const int count = gzread(stream, block, static_cast<unsigned>(sizeof block));
        if (count < 1) break;
        written += static_cast<u64>(count);
        if (written > kMaxWorldBytes) return false;
        if (std::fwrite(block, 1, static_cast<std::size_t>(count), out) !=
            static_cast<std::size_t>(count))
            return false;
    }
    std::fflush(out);
    std::rewind(out);
    return true;
}

// Windows opens a file as text unless told (which would turn each LF into CR LF), and
// has no O_NOFOLLOW: O_EXCL refuses an existing link there as it does any file.
#ifdef _WIN32
constexpr int kCopyFlags = O_RDWR | O_CREAT | O_EXCL | O_BINARY;
#else
constexpr int kCopyFlags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
#endif

// The copy beside the world, created only when no file of that name exists (nor a
// link: a link to the world itself would otherwise be written through, emptying it).
// Null with `reason` when it cannot be had.
static std::FILE* createCopy(const char* copyName, std::string& reason)
{
    const int descriptor = open(copyName, kCopyFlags, 0666);
    if (descriptor < 0) {
        reason = errno == EEXIST ? std::string(copyName) + " already exists"
                                 : std::string(copyName) + ": " + std::strerror(errno);
        return nullptr;
    }
    std::FILE* out = fdopen(descriptor, "wb+");
    if (!out) {
        reason = std::string(copyName) + ": " + std::strerror(errno);
        close(descriptor);
        unlink(copyName);
    }
    return out;
}

// Expands the world at path into a new file copyName beside it, or into a private
// temporary file when copyName is null or cannot be created (said in one message); the
// expanded text, positioned at its start, or null when the world cannot be opened or
// expands too far.
static std::FILE* expandWorld(const char* path, const char* copyName, ReadReport* report)
{
    gzFile stream = gzopen(path, "rb");
    if (!stream) return nullptr;
    std::string reason;
    std::FILE* out = copyName ? createCopy(copyName, reason) : nullptr;
    const bool beside = out != nullptr;
    if (!out) out = std::tmpfile();
    if (copyName && !beside && out)
        reportMessage(report, "expanded into a temporary file: " + reason);
    const bool expanded = out && expandInto(stream, out);
    gzclose(stream);
    if (!expanded && out) {
        std::fclose(out);
        if (beside) unlink(copyName); // our own copy, cut short: not left behind
        reportMessage(report,
                      "expands beyond " + std::to_string(kMaxWorldBytes) + " bytes; not read");
        return nullptr;
    }
    return out;
}

static bool startsWithGzipSignature(std::FILE* file)
{
    unsigned char signature[2] = {0, 0};
    const std::size_t count = std::fread(signature, 1, sizeof signature, file);
    std::rewind(file);
    return count == 2 && signature[0] == 0x1F && signature[1] == 0x8B;
}

// A folder opens like a file on this platform and then reads as nothing.
static bool isFolder(std::FILE* file)
{
    struct stat status;
    return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

std::FILE* openWorldText(const char* path, ReadReport* report)
{
    if (!path || !*path) return nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    if (isFolder(file)) {
        std::fclose(file);
        return nullptr;
    }
    if (hasWrzExtension(path)) {
        std::fclose(file);
        char copyName[kCopyNameSize];
        const bool named = expandedCopyName(path, copyName, sizeof copyName);
        return expandWorld(path, named ? copyName : nullptr, report);
    }
    // Many tools write gzip-compressed worlds under a plain ".wrl" name.
    if (!startsWithGzipSignature(file)) return file;
    std::fclose(file);
    return expandWorld(path, nullptr, report);
}
