// Presents of the "sdl2" backend: the rows that changed go up to the window's texture,
// the frame is shown when the window's slot comes, and the rate is the host's to set.
// Each present compares the surface with the copy of what was last uploaded, row by
// row from both ends. At 640 x 480 the comparison of an unchanged frame costs about a
// twentieth of an upload and show (platform_sdl_bench), and it pays twice: a present
// that changed nothing (EndPaint after DrawDibDraw already showed the frame) shows
// nothing and waits for no slot, and a frame that changed only the world view leaves
// the Dashboard's rows where they are.
#include "platform/sdl_backend.h"
#include "platform/surface.h"

#include <SDL.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

constexpr int kDefaultPresentRate = 60;
constexpr int kMostPresentRate = 1000;
// The refresh rate taken for a display that does not tell its own (Xvfb, some drivers).
constexpr int kAssumedRefreshRate = 60;

int presentRate = kDefaultPresentRate;

} // namespace

static i64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<i64>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

// An absolute deadline, so a wake-up by a signal resumes the same wait, not a new one.
static void sleepUntil(i64 deadlineNs)
{
    const timespec until{static_cast<time_t>(deadlineNs / kNanosecondsPerSecond),
                         static_cast<long>(deadlineNs % kNanosecondsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
}

static i64 refreshPeriodNs(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    const bool known = SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0;
    return kNanosecondsPerSecond / (known ? mode.refresh_rate : kAssumedRefreshRate);
}

static bool vsyncClaimed(SDL_Renderer* renderer)
{
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
}

void applyPresentRate(SdlWindow& native)
{
    // Unpaced means as fast as the machine goes: the sync would hold it to the display.
    SDL_RenderSetVSync(native.renderer, presentRate > 0 ? 1 : 0);
    setPacerRate(native.pacer, presentRate, refreshPeriodNs(native.window),
                 presentRate > 0 && vsyncClaimed(native.renderer));
}

bool platformSetPresentRate(int framesPerSecond)
{
    if (framesPerSecond < 0 || framesPerSecond > kMostPresentRate) return false;
    presentRate = framesPerSecond;
    for (HWND top = GetTopWindow(nullptr); top; top = GetNextChild(nullptr, top))
        if (SdlWindow* native = findSdlWindow(top)) applyPresentRate(*native);
    return true;
}

int platformPresentRate()
{
    return presentRate;
}

// The first and last row where the surface differs from what was uploaded (every row
// when the upload record is not valid); false when no row differs.
static bool findChangedRows(const Surface& surface, const SdlWindow& native, i32* first, i32* last)
{
    if (!native.uploadedValid) {
        *first = 0;
        *last = surface.height - 1;
        return surface.height > 0;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(surface.width) * 4;
    auto differs = [&](i32 y) {
        return std::memcmp(surfacePixel(surface, 0, y), surfacePixel(native.uploaded, 0, y),
                           rowBytes) != 0;
    };
    i32 top = 0;
    while (top < surface.height && !differs(top)) ++top;
    if (top == surface.height) return false;
    i32 bottom = surface.height - 1;
    while (bottom > top && !differs(bottom)) --bottom;
    *first = top;
    *last = bottom;
    return true;
}

// Rows first .. last of the surface into the texture and the upload record; false
// (the record marked invalid, so the next present tries every row) when SDL refuses.
static bool uploadRows(SdlWindow& native, const Surface& surface, i32 first, i32 last)
{
    const SDL_Rect rows{0, first, surface.width, last - first + 1};
    if (SDL_UpdateTexture(native.texture, &rows, surfacePixel(surface, 0, first), surface.stride) !=
        0) {
        native.uploadedValid = false;
        return false;
    }
    std::memcpy(surfacePixel(native.uploaded, 0, first), surfacePixel(surface, 0, first),
                static_cast<std::size_t>(rows.h) * static_cast<std::size_t>(surface.stride));
    native.uploadedValid = true;
    return true;
}

void uploadAll(SdlWindow& native, const Surface& surface)
{
    native.uploadedValid = false;
    if (native.texture && surface.height > 0) uploadRows(native, surface, 0, surface.height - 1);
}

// Draws the texture at the top left, unscaled: while the native window is bigger (its
// new size not yet taken by the surface), the rest is black, not stretched.
static void drawFrame(const SdlWindow& native)
{
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(native.renderer, &outputWidth, &outputHeight);
    if (!native.texture || outputWidth != native.uploaded.width ||
        outputHeight != native.uploaded.height) {
        SDL_SetRenderDrawColor(native.renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
        SDL_RenderClear(native.renderer);
    }
    if (!native.texture) return;
    const SDL_Rect whole{0, 0, native.uploaded.width, native.uploaded.height};
    SDL_RenderCopy(native.renderer, native.texture, nullptr, &whole);
}

static void showFrame(SdlWindow& native)
{
    drawFrame(native);
    SDL_RenderPresent(native.renderer);
    ++native.showCount;
}

void presentSdl(HWND topLevel, const Surface& surface)
{
    SdlWindow* native = findSdlWindow(topLevel);
    i32 first = 0, last = 0;
    if (!native || !native->texture || !findChangedRows(surface, *native, &first, &last)) return;
    const i64 nowNs = monotonicNs();
    const i64 waitNs = pacerWaitNs(native->pacer, nowNs);
    if (waitNs > 0) sleepUntil(nowNs + waitNs);
    const i64 startNs = monotonicNs();
    if (!uploadRows(*native, surface, first, last)) return;
    showFrame(*native);
    pacerShown(native->pacer, startNs, monotonicNs());
}

void reshowSdlWindow(SdlWindow& native)
{
    showFrame(native);
}

u64 sdlShowCount(HWND topLevel)
{
    const SdlWindow* native = findSdlWindow(topLevel);
    return native ? native->showCount : 0;
}

COLORREF sdlReadShownPixel(HWND topLevel, int x, int y)
{
    const SdlWindow* native = findSdlWindow(topLevel);
    if (!native || x < 0 || y < 0 || x >= native->uploaded.width || y >= native->uploaded.height)
        return CLR_INVALID;
    drawFrame(*native);
    const SDL_Rect one{x, y, 1, 1};
    Uint32 pixel = 0;
    if (SDL_RenderReadPixels(native->renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4) != 0)
        return CLR_INVALID;
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}
