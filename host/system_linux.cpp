// The host's system on Linux: dlopen, and the window system stand-in's host services.
#include "host/system.h"

#include "host/output_file.h"

#include "platform/sound/sound.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

static std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    path[length] = '\0';
    const char* slash = std::strrchr(path, '/');
    return slash ? std::string(path, static_cast<std::size_t>(slash - path)) : ".";
}

std::string pluginLibraryPath()
{
    const char* fromEnvironment = std::getenv("TARNE_PLUGIN");
    return fromEnvironment && *fromEnvironment ? std::string(fromEnvironment)
                                               : programFolder() + "/libnptarne.so";
}

void* openLibrary(const std::string& path, std::string& error)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = "cannot load the plug-in " + path + ": " + (reason ? reason : "unknown error");
    }
    return library;
}

void* librarySymbol(void* library, const char* name)
{
    return dlsym(library, name);
}

void closeLibrary(void* library)
{
    dlclose(library);
}

bool useDisplay(bool interactive, std::string& error)
{
    if (platformUseBackend(interactive ? "sdl2" : "headless")) return true;
    error = interactive ? "no display available; use 'tarne render' for pictures"
                        : "no headless window backend";
    return false;
}

void setPresentRate(int framesPerSecond)
{
    platformSetPresentRate(framesPerSecond);
}

void holdNativeMouse(bool hold)
{
    platformHoldNativeMouse(hold);
}

HWND createFrameWindow(const char* className, const char* title, int width, int height)
{
    return CreateWindowEx(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                          height, nullptr, nullptr, nullptr, nullptr);
}

bool nextMessage(MSG& msg)
{
    return GetMessage(&msg, nullptr, 0, 0) > 0;
}

std::uint64_t presentCount(HWND viewer)
{
    return platformPresentCount(viewer);
}

HWND injectMouse(HWND topLevel, UINT message, int x, int y, WPARAM keys)
{
    return platformInjectMouse(topLevel, message, x, y, keys);
}

bool windowPictureSize(HWND topLevel, int& width, int& height)
{
    const SurfaceView surface = platformSurface(topLevel);
    width = surface.width;
    height = surface.height;
    return surface.pixels != nullptr;
}

bool writeWindowPng(HWND topLevel, const RECT& area, std::FILE* file)
{
    return platformWriteSurfacePng(topLevel, &area, file);
}

bool startSoundEngine(const char* mode)
{
    return platformRegisterSoundEngine(mode);
}

bool renderSound(float* samples, std::uint32_t frameCount)
{
    return platformRenderSound(samples, frameCount);
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a {};
    struct stat b {};
    if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool replaceFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string fileUrl(const char* path)
{
    if (path[0] == '/') return std::string("file://") + path;
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder)) return std::string("file://") + path;
    return std::string("file://") + folder + "/" + path;
}
