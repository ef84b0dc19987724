// The host's system on Windows: LoadLibrary, real windows on the desktop, GDI for the
// pictures. Rendering needs shown windows too (a hidden window is never painted), so
// `render` places a borderless frame at the desktop's top-left corner and takes its
// pixels back from the window itself.
#include "host/system.h"

#include "host/output_file.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <png.h>
#include <thread>
#include <vector>

namespace {

bool interactiveDisplay = false;
int presentRate = 0; // frames a second shown at most; 0 unpaced
std::chrono::steady_clock::time_point nextFrameDue{};
HHOOK frameCounter = nullptr;
std::map<HWND, std::uint64_t> framesOf; // the Viewer's WM_TIMERs taken from the queue

// Each frame the Viewer paints ends with the WM_TIMER it posts itself for the next one,
// so the timers taken from the queue count the frames presented.
LRESULT CALLBACK countFrames(int code, WPARAM removal, LPARAM message)
{
    if (code >= 0 && removal == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(message);
        if (msg->message == WM_TIMER && msg->hwnd) ++framesOf[msg->hwnd];
    }
    return CallNextHookEx(frameCounter, code, removal, message);
}

std::string lastErrorText(const std::string& what)
{
    char* text = nullptr;
    const DWORD code = GetLastError();
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string reason = text ? text : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return what + ": " + reason;
}

std::string programFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    const char* slash = std::strrchr(path, '\\');
    return slash ? std::string(path, static_cast<std::size_t>(slash - path)) : ".";
}

// The file's identity: its volume and index (st_ino is always 0 on Windows).
bool identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& information)
{
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known;
}

} // namespace

std::string pluginLibraryPath()
{
    const char* fromEnvironment = std::getenv("TARNE_PLUGIN");
    return fromEnvironment && *fromEnvironment ? std::string(fromEnvironment)
                                               : programFolder() + "\\NPTARNE.DLL";
}

void* openLibrary(const std::string& path, std::string& error)
{
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) error = lastErrorText("cannot load the plug-in " + path);
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name)
{
    const FARPROC procedure = GetProcAddress(static_cast<HMODULE>(library), name);
    void* address = nullptr;
    static_assert(sizeof address == sizeof procedure);
    std::memcpy(&address, &procedure, sizeof address); // a function's address as data
    return address;
}

void closeLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

bool useDisplay(bool interactive, std::string&)
{
    interactiveDisplay = interactive;
    if (!frameCounter)
        frameCounter = SetWindowsHookExA(WH_GETMESSAGE, countFrames, nullptr, GetCurrentThreadId());
    return true;
}

void setPresentRate(int framesPerSecond)
{
    presentRate = framesPerSecond;
}

// The desktop's own mouse cannot be held off; a script's window lies where a user
// running tarne render --script does not point.
void holdNativeMouse(bool) {}

HWND createFrameWindow(const char* className, const char* title, int width, int height)
{
    const DWORD style =
        interactiveDisplay ? WS_OVERLAPPEDWINDOW | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    const DWORD exStyle = interactiveDisplay ? 0 : WS_EX_TOOLWINDOW;
    RECT outer{0, 0, width, height}; // the client area asked for, the frame around it
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int x = interactiveDisplay ? CW_USEDEFAULT : 0;
    const int y = interactiveDisplay ? CW_USEDEFAULT : 0;
    return CreateWindowExA(exStyle, className, title, style, x, y, outer.right - outer.left,
                           outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

bool nextMessage(MSG& msg)
{
    if (interactiveDisplay) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
        // The Viewer's WM_TIMER asks for the next frame: held back to the present rate,
        // so motion has a steady speed and an idle window leaves the processor alone.
        if (msg.message == WM_TIMER && presentRate > 0) {
            const auto now = std::chrono::steady_clock::now();
            if (now < nextFrameDue) std::this_thread::sleep_until(nextFrameDue);
            nextFrameDue =
                std::max(now, nextFrameDue) + std::chrono::microseconds(1000000 / presentRate);
        }
        return true;
    }
    // Without a user nothing arrives that the queue does not hold already.
    return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT;
}

std::uint64_t presentCount(HWND viewer)
{
    const auto found = framesOf.find(viewer);
    return found == framesOf.end() ? 0 : found->second;
}

HWND injectMouse(HWND topLevel, UINT message, int x, int y, WPARAM keys)
{
    POINT point{x, y};
    HWND target = GetCapture();
    if (target) {
        MapWindowPoints(topLevel, target, &point, 1);
    } else {
        target = topLevel;
        for (;;) {
            HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE);
            if (!child || child == target) break;
            MapWindowPoints(target, child, &point, 1);
            target = child;
        }
    }
    if (!PostMessageA(target, message, keys, MAKELPARAM(point.x, point.y))) return nullptr;
    return target;
}

bool windowPictureSize(HWND topLevel, int& width, int& height)
{
    RECT client{};
    if (!GetClientRect(topLevel, &client)) return false;
    width = client.right;
    height = client.bottom;
    return true;
}

bool writeWindowPng(HWND topLevel, const RECT& area, std::FILE* file)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // rows top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window = GetDC(topLevel);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP copy = CreateDIBSection(window, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory && copy && bits) {
        HGDIOBJ previous = SelectObject(memory, copy);
        copied = BitBlt(memory, 0, 0, width, height, window, area.left, area.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, previous);
    }
    std::vector<png_byte> rgb;
    if (copied) {
        // Blue, green, red, unused in the DIB; red, green, blue in the picture.
        const auto* pixel = static_cast<const std::uint8_t*>(bits);
        rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        for (std::size_t i = 0; i < rgb.size(); i += 3, pixel += 4) {
            rgb[i] = pixel[2];
            rgb[i + 1] = pixel[1];
            rgb[i + 2] = pixel[0];
        }
    }
    if (copy) DeleteObject(copy);
    if (memory) DeleteDC(memory);
    ReleaseDC(topLevel, window);
    if (!copied) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return written != 0;
}

// The sound engine lives inside NPTARNE.DLL, which plays on the default device unless the
// instance is told "silence" (--no-sound); there is nothing for the host to register, and
// DirectSound has no output to render into memory.
bool startSoundEngine(const char* mode)
{
    return std::strcmp(mode, "loopback") != 0;
}

bool renderSound(float*, std::uint32_t)
{
    return false;
}

bool sameFile(const std::string& first, const std::string& second)
{
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    if (!identify(first, a) || !identify(second, b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool replaceFile(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string fileUrl(const char* path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    std::string url = length > 0 && length < MAX_PATH ? full : path;
    for (char& c : url)
        if (c == '\\') c = '/';
    return "file:///" + url;
}
