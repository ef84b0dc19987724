// The files an Inline or an EXTERNPROTO names: found locally, read once each, refused
// when they form a cycle or lie too deep.
#include "world/normalize/pass_context.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

static int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static std::string percentDecoded(const std::string& url)
{
    std::string decoded;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && hexValue(url[i + 1]) >= 0 &&
            hexValue(url[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(url[i + 1]) * 16 + hexValue(url[i + 2]));
            i += 2;
        } else {
            decoded += url[i];
        }
    }
    return decoded;
}

// True when the canonical path lies in the canonical folder or below it.
static bool insideFolder(const std::string& path, const std::string& folder)
{
    if (folder.empty()) return false;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

static void warn(PassContext& context, const SourceFile& from, i32 line, i32 column,
                 const std::string& message)
{
    context.diagnostics.warning(from.path, line, column, message);
}

bool isLocalUrl(std::string_view url)
{
    // A scheme is two or more letters (and digits, '+', '-', '.') before a ':' that comes
    // before any '/': "http:", "urn:"; a Windows drive "C:" is a path.
    std::size_t i = 0;
    while (i < url.size() && (std::isalnum(static_cast<unsigned char>(url[i])) || url[i] == '+' ||
                              url[i] == '-' || url[i] == '.'))
        ++i;
    const bool scheme = i >= 2 && i < url.size() && url[i] == ':' &&
                        std::isalpha(static_cast<unsigned char>(url[0]));
    return !scheme || url.substr(0, 5) == "file:";
}

std::string resolveUrl(const std::string& url, const std::string& folder, std::string& fragment)
{
    std::string trimmed = url;
    trimmed.erase(0, trimmed.find_first_not_of(" \t\r\n"));
    trimmed.erase(trimmed.find_last_not_of(" \t\r\n") + 1);
    fragment.clear();
    if (const std::size_t hash = trimmed.find('#'); hash != std::string::npos) {
        fragment = trimmed.substr(hash + 1);
        trimmed.erase(hash);
    }
    if (trimmed.rfind("file://", 0) == 0)
        trimmed.erase(0, 7);
    else if (trimmed.rfind("file:", 0) == 0)
        trimmed.erase(0, 5);
    else if (!isLocalUrl(trimmed))
        return {};
    trimmed = percentDecoded(trimmed);
    // A NUL would cut the name short of what the url says: no file is named.
    if (trimmed.find('\0') != std::string::npos) return {};
    // Worlds written on Windows name their files with backslashes.
    std::replace(trimmed.begin(), trimmed.end(), '\\', '/');
    if (trimmed.empty()) return {};
    if (trimmed[0] == '/') return trimmed;
    return folder + trimmed;
}

const LoadedFile* loadReferencedFile(PassContext& context, const std::string& path,
                                     const SourceFile& from, i32 line, i32 column, u32 nestingDepth)
{
    std::error_code error;
    std::string key = std::filesystem::weakly_canonical(path, error).string();
    if (error) key = path;
    const NormalizeLimits& limits = context.limits;
    if (std::find(context.fileStack.begin(), context.fileStack.end(), key) !=
        context.fileStack.end()) {
        warn(context, from, line, column,
             "'" + path + "' includes itself through Inline or EXTERNPROTO; not read again");
        return nullptr;
    }
    // The world itself is the first entry of the stack, at depth 0.
    if (context.fileStack.size() > limits.maxInlineDepth) {
        warn(context, from, line, column,
             "Inline and EXTERNPROTO files nested more than " +
                 std::to_string(limits.maxInlineDepth) + " deep; '" + path + "' is not read");
        return nullptr;
    }
    if (limits.worldFolderOnly && !insideFolder(key, context.worldFolderKey)) {
        warn(context, from, line, column,
             "'" + path + "' lies outside the world's folder; a world from the network reads " +
                 "only its own folder and below");
        return nullptr;
    }
    if (const auto cached = context.fileCache.find(key); cached != context.fileCache.end())
        return cached->second;
    // Only regular files: a device or a pipe named by a hostile world could be endless
    // or never answer.
    if (!std::filesystem::is_regular_file(path, error)) {
        warn(context, from, line, column, "'" + path + "' not found; left out");
        return nullptr;
    }
    if (context.filesRead >= limits.maxInlineFiles) {
        warn(context, from, line, column,
             "more than " + std::to_string(limits.maxInlineFiles) +
                 " Inline and EXTERNPROTO files; '" + path + "' is not read");
        return nullptr;
    }
    ++context.filesRead;
    const u64 allowance = limits.maxTotalSourceBytes > context.sourceBytesRead
                              ? limits.maxTotalSourceBytes - context.sourceBytesRead
                              : 0;
    SourceFile& source = context.sources.emplace_back();
    source.path = path;
    source.folder = folderOf(path);
    const LoadStatus status =
        loadSourceBytes(path, std::min(allowance, limits.maxSourceBytes), source);
    context.sourceBytesRead += source.text.size();
    if (status == LoadStatus::kMissing) {
        warn(context, from, line, column, "'" + path + "' cannot be read; left out");
        return nullptr;
    }
    if (status == LoadStatus::kTooLarge || status == LoadStatus::kExpandsTooFar) {
        context.diagnostics.error(from.path, line, column,
                                  "'" + path + "' is larger than the size limit; not read");
        return nullptr;
    }
    if (status == LoadStatus::kBrokenGzip)
        warn(context, from, line, column,
             "'" + path + "': compressed data broken off; what came before is read");
    const Header header = detectHeader(source.text);
    if (header.kind == HeaderKind::kVrml1 || header.kind == HeaderKind::kInventor) {
        warn(context, from, line, column,
             "'" + path + "' is not a VRML 2.0 file (VRML 1.0 or Inventor); left out");
        return nullptr;
    }
    LoadedFile& file = context.files.emplace_back();
    context.fileStack.push_back(key);
    const bool vrml = parseVrmlFile(context, source, header, nestingDepth, file);
    context.fileStack.pop_back();
    if (!vrml) file.nodes.clear();
    context.fileCache[key] = &file;
    return &file;
}
