// The browser side: plug-in loading, the function table, windows, streams, the loop.
#include "host/browser.h"

#include "host/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

void* browserMemAlloc(std::uint32_t size)
{
    return std::malloc(size == 0 ? 1 : size);
}

void browserMemFree(void* block)
{
    std::free(block);
}

std::uint32_t browserMemFlush(std::uint32_t)
{
    return 0;
}

// The host has no Java virtual machine to offer.
void* browserGetJavaEnv()
{
    return nullptr;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(window, message, wParam, lParam);
}

// The host's own keys (the plug-in has no keyboard handling): Escape and q close.
bool closesTheWindow(WPARAM key)
{
    return key == VK_ESCAPE || key == 'Q';
}

template <class Function> Function lookUp(void* library, const char* name)
{
    return reinterpret_cast<Function>(librarySymbol(library, name));
}

} // namespace

Browser::~Browser()
{
    destroyInstance();
    shutdown();
    if (library_) closeLibrary(library_);
}

bool Browser::loadPlugin(std::string& error)
{
    library_ = openLibrary(pluginLibraryPath(), error);
    return library_ != nullptr;
}

bool Browser::initialize(std::string& error)
{
    auto getEntryPoints = lookUp<NP_GetEntryPointsFunction>(library_, "NP_GetEntryPoints");
    auto initialise = lookUp<NP_InitializeFunction>(library_, "NP_Initialize");
    shutdown_ = lookUp<NP_ShutdownFunction>(library_, "NP_Shutdown");
    mimeDescription_ = lookUp<NP_GetMIMEDescriptionFunction>(library_, "NP_GetMIMEDescription");
    getValue_ = lookUp<NP_GetValueFunction>(library_, "NP_GetValue");
    auto getServices = lookUp<NP_GetTarneServicesFunction>(library_, "NP_GetTarneServices");
    if (!getEntryPoints || !initialise || !shutdown_) {
        error = "the plug-in does not export NP_GetEntryPoints, NP_Initialize and NP_Shutdown";
        return false;
    }
    services_ = getServices ? getServices() : nullptr;

    pluginFuncs_ = NPPluginFuncs{};
    pluginFuncs_.size = sizeof pluginFuncs_;
    NPError result = getEntryPoints(&pluginFuncs_);
    if (result != NPERR_NO_ERROR) {
        error = "NP_GetEntryPoints failed with " + std::to_string(result);
        return false;
    }
    browserFuncs_ = NPNetscapeFuncs{};
    browserFuncs_.size = sizeof browserFuncs_;
    browserFuncs_.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    browserFuncs_.memalloc = browserMemAlloc;
    browserFuncs_.memfree = browserMemFree;
    browserFuncs_.memflush = browserMemFlush;
    browserFuncs_.getJavaEnv = browserGetJavaEnv;
    result = initialise(&browserFuncs_);
    if (result != NPERR_NO_ERROR) {
        error = "NP_Initialize failed with " + std::to_string(result);
        return false;
    }
    initialised_ = true;
    return true;
}

LRESULT CALLBACK Browser::frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* browser = reinterpret_cast<Browser*>(GetWindowLongPtr(window, GWLP_USERDATA));
    if (!browser) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: browser->followFrameSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    // Closing ends the loop; the instance and the library go after it, outside any
    // dispatch (the plug-in's windows are still inside one now).
    case WM_CLOSE: browser->closeRequested_ = true; return 0;
    case WM_KEYDOWN:
        if (closesTheWindow(wParam)) browser->closeRequested_ = true;
        return 0;
    default: return DefWindowProc(window, message, wParam, lParam);
    }
}

void Browser::followFrameSize(int width, int height)
{
    if (!area_ || !instanceLive_) return;
    MoveWindow(area_, 0, 0, width, height, TRUE);
    NPWindow window{};
    window.window = area_;
    window.width = static_cast<std::uint32_t>(width);
    window.height = static_cast<std::uint32_t>(height);
    window.clipRect =
        NPRect{0, 0, static_cast<std::uint16_t>(height), static_cast<std::uint16_t>(width)};
    window.type = NPWindowTypeWindow;
    pluginFuncs_.setwindow(&instance_, &window);
}

void Browser::runUntilClosed()
{
    MSG msg{};
    while (!closeRequested_ && nextMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

bool Browser::createInstance(int width, int height, const std::string& title, std::string& error)
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = frameProcedure;
    windowClass.lpszClassName = "TarneBrowserFrame";
    RegisterClass(&windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.lpszClassName = "TarnePluginArea";
    RegisterClass(&windowClass);
    frame_ = createFrameWindow("TarneBrowserFrame", title.c_str(), width, height);
    if (frame_) SetWindowLongPtr(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    area_ = frame_ ? CreateWindowEx(0, "TarnePluginArea", nullptr, WS_CHILD | WS_VISIBLE, 0, 0,
                                    width, height, frame_, nullptr, nullptr, nullptr)
                   : nullptr;
    if (!area_) {
        error = "cannot create a window of " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels";
        return false;
    }
    static char mimeType[] = "x-world/x-vrml";
    instance_ = NPP_t{};
    NPError result =
        pluginFuncs_.newp(mimeType, &instance_, NP_EMBED, 0, nullptr, nullptr, nullptr);
    if (result != NPERR_NO_ERROR) {
        error = "NPP_New failed with " + std::to_string(result);
        return false;
    }
    instanceLive_ = true;
    NPWindow window{};
    window.window = area_;
    window.width = static_cast<std::uint32_t>(width);
    window.height = static_cast<std::uint32_t>(height);
    window.clipRect =
        NPRect{0, 0, static_cast<std::uint16_t>(height), static_cast<std::uint16_t>(width)};
    window.type = NPWindowTypeWindow;
    result = pluginFuncs_.setwindow(&instance_, &window);
    if (result != NPERR_NO_ERROR) {
        error = "NPP_SetWindow failed with " + std::to_string(result);
        return false;
    }
    return true;
}

bool Browser::streamFile(const char* path, std::string& error)
{
    struct stat info {};
    if (stat(path, &info) != 0) {
        error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = std::string(path) + ": not a regular file";
        return false;
    }
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    // A local world arrives by a file: url, as a browser gives a file the user opened;
    // the plug-in lets such a world reach its neighbours (a world from the network
    // only its own folder).
    const std::string url = fileUrl(path);
    NPStream stream{};
    stream.url = url.c_str();
    stream.end = static_cast<std::uint32_t>(info.st_size);
    std::uint16_t streamType = NP_NORMAL;
    static char mimeType[] = "x-world/x-vrml";
    if (pluginFuncs_.newstream(&instance_, mimeType, &stream, 0, &streamType) != NPERR_NO_ERROR) {
        std::fclose(file);
        error = "the plug-in refused the stream";
        return false;
    }
    // The bytes go through NPP_WriteReady/NPP_Write as a browser sends them, in
    // pieces no larger than the plug-in says it can take.
    std::vector<char> buffer(64 * 1024);
    std::int32_t offset = 0;
    bool readFailed = false;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        if (got == 0) {
            readFailed = std::ferror(file) != 0;
            break;
        }
        std::size_t sent = 0;
        while (sent < got) {
            const std::int32_t ready = pluginFuncs_.writeready(&instance_, &stream);
            const std::size_t piece =
                ready > 0 ? std::min<std::size_t>(got - sent, static_cast<std::size_t>(ready))
                          : got - sent;
            const std::int32_t taken =
                pluginFuncs_.write(&instance_, &stream, offset, static_cast<std::int32_t>(piece),
                                   buffer.data() + sent);
            if (taken <= 0) break;
            sent += static_cast<std::size_t>(taken);
            offset += taken;
        }
    }
    std::fclose(file);
    if (readFailed) {
        pluginFuncs_.destroystream(&instance_, &stream, NPRES_NETWORK_ERR);
        error = std::string(path) + ": read error";
        return false;
    }
    pluginFuncs_.asfile(&instance_, &stream, path);
    pluginFuncs_.destroystream(&instance_, &stream, NPRES_DONE);
    return true;
}

HWND Browser::viewerWindow()
{
    if (!services_ || !instanceLive_) return nullptr;
    return static_cast<HWND>(services_->viewerWindow(&instance_));
}

int Browser::runFrames(int frames, void (*onFrame)(int frame, void* context), void* context)
{
    const HWND viewer = viewerWindow();
    if (!viewer) return 0;
    const std::uint64_t start = presentCount(viewer);
    int presented = 0;
    // The loop asks for the next frame even when one could not be drawn (memory ran
    // out), so a run of messages without a new frame ends the wait.
    constexpr int kMostMessagesWithoutAFrame = 1000;
    int withoutFrame = 0;
    while (presented < frames && withoutFrame < kMostMessagesWithoutAFrame) {
        MSG msg{};
        if (!nextMessage(msg)) break; // quit, or nothing can arrive
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        const int now = static_cast<int>(presentCount(viewer) - start);
        withoutFrame = now > presented ? 0 : withoutFrame + 1;
        while (presented < now && presented < frames) {
            ++presented;
            if (onFrame) onFrame(presented, context);
        }
    }
    return presented;
}

void Browser::destroyInstance()
{
    if (!instanceLive_) return;
    pluginFuncs_.destroy(&instance_, nullptr);
    instanceLive_ = false;
    if (frame_ && IsWindow(frame_)) DestroyWindow(frame_);
    frame_ = area_ = nullptr;
}

void Browser::shutdown()
{
    if (!initialised_) return;
    if (shutdown_) shutdown_();
    initialised_ = false;
}

const char* Browser::mimeDescription() const
{
    return mimeDescription_ ? mimeDescription_() : "";
}

const char* Browser::pluginValue(NPPVariable variable) const
{
    const char* value = nullptr;
    if (!getValue_ || getValue_(nullptr, variable, &value) != NPERR_NO_ERROR) return nullptr;
    return value;
}
