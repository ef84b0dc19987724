// Where picture files are looked for: the name as given, the world's own folder, and
// the folders of an environment variable ("PATH").
#include "image/image.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

// Longest url taken out of a list; longer ones cannot be a file name here anyway.
constexpr std::size_t kUrlSize = 4096;

// Windows separates folders by '\\' as well as '/', starts an absolute path with a
// drive ("C:") too, and separates the folders of PATH by ';' (a ':' follows each drive).
#ifdef _WIN32
constexpr char kListSeparator = ';';
static bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}
static bool hasDrive(const char* path)
{
    return ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           (path[1] == ':' || path[1] == '|');
}
static bool isAbsolute(const char* path)
{
    return isSeparator(path[0]) || hasDrive(path);
}
#else
constexpr char kListSeparator = ':';
static bool isSeparator(char c)
{
    return c == '/';
}
static bool isAbsolute(const char* path)
{
    return path[0] == '/';
}
#endif

// The first separator in `path`, or null.
static const char* findSeparator(const char* path)
{
    for (; *path; ++path)
        if (isSeparator(*path)) return path;
    return nullptr;
}

// Only regular files count: a folder or a pipe of the same name would be opened and
// then fail, or block the viewer waiting for data.
static bool isRegularFile(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

// Writes folder + '/' + name (no second slash when the folder ends in one). False,
// with an empty result, when it does not fit.
static bool joinPath(const char* folder, std::size_t folderLength, const char* name, char* result,
                     std::size_t resultSize)
{
    const bool slash = folderLength > 0 && !isSeparator(folder[folderLength - 1]);
    const std::size_t nameLength = std::strlen(name);
    const std::size_t total = folderLength + (slash ? 1 : 0) + nameLength;
    result[0] = '\0';
    if (total + 1 > resultSize) return false;
    std::memcpy(result, folder, folderLength);
    if (slash) result[folderLength] = '/';
    std::memcpy(result + folderLength + (slash ? 1 : 0), name, nameLength + 1);
    return true;
}

static bool copyText(const char* text, char* result, std::size_t resultSize)
{
    const std::size_t length = std::strlen(text);
    if (length + 1 > resultSize) return false;
    std::memcpy(result, text, length + 1);
    return true;
}

// A name found as given: the full path is the current folder joined with it, unless
// it is already absolute (or the current folder cannot be told).
static bool storeFoundName(const char* name, char* result, std::size_t resultSize)
{
    char folder[kUrlSize];
    if (!isAbsolute(name) && getcwd(folder, sizeof folder) &&
        joinPath(folder, std::strlen(folder), name, result, resultSize))
        return true;
    return copyText(name, result, resultSize);
}

bool findOnPath(const char* name, const char* variable, char* result, std::size_t resultSize)
{
    if (!result || resultSize == 0) return false;
    result[0] = '\0';
    if (!name || name[0] == '\0') return false;
    if (isRegularFile(name)) return storeFoundName(name, result, resultSize);
    if (isAbsolute(name)) return false; // an absolute name means one place only

    const char* list = variable ? std::getenv(variable) : nullptr;
    while (list && *list) {
        const char* end = std::strchr(list, kListSeparator);
        const std::size_t length = end ? static_cast<std::size_t>(end - list) : std::strlen(list);
        // An empty entry means the current folder, which was tried first.
        if (length > 0 && joinPath(list, length, name, result, resultSize) && isRegularFile(result))
            return true;
        list = end ? end + 1 : nullptr;
    }
    result[0] = '\0';
    return false;
}

static const char* withoutFileScheme(const char* url)
{
    if (strncasecmp(url, "file://", 7) != 0) return url; // a scheme has no case
    url += 7;
#ifdef _WIN32
    // file:///C:/x names C:/x: the slash before the drive belongs to the url.
    if (url[0] == '/' && hasDrive(url + 1)) ++url;
#endif
    return url;
}

// True when a path has a ".." part ("..", "../x", "x/../y", "x/..", on Windows "..\\x").
static bool climbsUp(const char* path)
{
    for (const char* part = path; part;) {
        const char* slash = findSeparator(part);
        const std::size_t length =
            slash ? static_cast<std::size_t>(slash - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.') return true;
        part = slash ? slash + 1 : nullptr;
    }
    return false;
}

static bool staysInFolder(const char* url)
{
    url = withoutFileScheme(url);
    return !isAbsolute(url) && !climbsUp(url);
}

// True when the real path of `path` (links followed) lies inside the real folder.
static bool reallyInside(const char* path, const char* folder)
{
#ifdef _WIN32
    // Windows has no realpath; the full path resolves "." and ".." (links are rare there
    // and a page's folder holds none of its own making).
    char realFile[_MAX_PATH];
    char realFolder[_MAX_PATH];
    if (!_fullpath(realFile, path, sizeof realFile) ||
        !_fullpath(realFolder, folder, sizeof realFolder))
        return false;
    const std::size_t length = std::strlen(realFolder);
    return strncasecmp(realFile, realFolder, length) == 0 &&
           (isSeparator(realFolder[length - 1]) || isSeparator(realFile[length]));
#else
    char realFile[PATH_MAX];
    char realFolder[PATH_MAX];
    if (!realpath(path, realFile) || !realpath(folder, realFolder)) return false;
    const std::size_t length = std::strlen(realFolder);
    return std::strncmp(realFile, realFolder, length) == 0 &&
           (realFolder[length - 1] == '/' || realFile[length] == '/');
#endif
}

// One url: "file://" dropped, then the world's folder (a world's pictures normally
// sit beside it), then the name as given and the "PATH" folders.
static bool findOneUrl(const char* worldFolder, const char* url, PictureReach reach, char* result,
                       std::size_t resultSize)
{
    const bool confined = reach == PictureReach::WorldFolderOnly;
    if (confined && !staysInFolder(url)) return false;
    url = withoutFileScheme(url);
    if (url[0] == '\0') return false;
    if (!isAbsolute(url) && worldFolder[0] != '\0') {
        if (joinPath(worldFolder, std::strlen(worldFolder), url, result, resultSize) &&
            isRegularFile(result) && (!confined || reallyInside(result, worldFolder)))
            return true;
    }
    result[0] = '\0';
    if (confined) return false;
    return findOnPath(url, "PATH", result, resultSize);
}

// Characters that separate the urls of a list ("a.jpg" "b.png", [ "a", "b" ]) and
// never end one.
static bool separatesUrls(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '[' || c == ']';
}

// Calls `visit` with each url of a url field's text (a.jpg" "b.jpg); stops when it
// answers true, and answers whether one did.
template <class Visit> static bool forEachUrl(const char* name, Visit visit)
{
    // The text between the first and last quote of a url field may hold a list:
    // a.jpg" "b.jpg. Each piece between quotes that is more than separators is a
    // url, tried in turn; the first found wins. A url given in brackets without
    // quotes ([ a.jpg ]) comes with its blanks, which are no part of the name.
    const char* piece = name;
    while (true) {
        const char* quote = std::strchr(piece, '"');
        const char* end = quote ? quote : piece + std::strlen(piece);
        while (piece < end && separatesUrls(*piece)) ++piece;
        const char* last = end;
        while (last > piece && separatesUrls(last[-1])) --last;
        const std::size_t length = static_cast<std::size_t>(last - piece);
        if (length > 0 && length < kUrlSize) {
            char url[kUrlSize];
            std::memcpy(url, piece, length);
            url[length] = '\0';
            if (visit(url)) return true;
        }
        if (!quote) break;
        piece = quote + 1;
    }
    return false;
}

bool findPicture(const char* worldFolder, const char* name, PictureReach reach, char* result,
                 std::size_t resultSize)
{
    if (!result || resultSize == 0) return false;
    result[0] = '\0';
    if (!name) return false;
    const char* folder = worldFolder ? worldFolder : "";
    if (forEachUrl(name, [&](const char* url) {
            return findOneUrl(folder, url, reach, result, resultSize);
        }))
        return true;
    result[0] = '\0';
    return false;
}

bool urlStaysInFolder(const char* name)
{
    if (!name) return true;
    return !forEachUrl(name, [](const char* url) { return !staysInFolder(url); });
}
