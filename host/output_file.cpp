// Safe writing of the user's output files.
#include "host/output_file.h"

#include "host/system.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string failed(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

std::string folderOf(const std::string& path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.rfind('/');
#endif
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

#ifndef _WIN32
// The permissions a file created with mode 0666 would get under the current umask.
mode_t newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}
#endif

} // namespace

OutputFile::~OutputFile()
{
    if (stream_) std::fclose(stream_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool OutputFile::open(std::string& error)
{
    std::string pattern = folderOf(path_) + "/.tarne-XXXXXX";
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) {
        error = failed(path_, errno);
        return false;
    }
    temporary_ = pattern;
#ifdef _WIN32
    _setmode(descriptor, _O_BINARY); // a picture's bytes pass unchanged
#else
    fchmod(descriptor, newFileMode());
#endif
    stream_ = fdopen(descriptor, "wb");
    if (!stream_) {
        error = failed(path_, errno);
        close(descriptor);
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string& error)
{
    if (!stream_) {
        error = path_ + ": not open";
        return false;
    }
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const int flushError = errno;
    const bool closed = std::fclose(stream_) == 0;
    const int closeError = errno;
    stream_ = nullptr;
    if (!flushed || !closed) {
        error = failed(path_, !flushed ? (flushError ? flushError : EIO) : closeError);
        return false;
    }
    if (!replaceFile(temporary_, path_)) {
        error = failed(path_, errno);
        return false;
    }
    temporary_.clear();
    return true;
}
