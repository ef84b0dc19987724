// Safe writing of the user's output files.
#include "host/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string failed(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The permissions a file created with mode 0666 would get under the current umask.
mode_t newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a {};
    struct stat b {};
    if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

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
    fchmod(descriptor, newFileMode());
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
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = failed(path_, errno);
        return false;
    }
    temporary_.clear();
    return true;
}
