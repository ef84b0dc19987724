// The native windows of the "sdl2" backend: one resizable SDL window, with its own
// renderer and a streaming texture, per top-level window. The surface the window layer
// draws into stays on the heap (as headless has it): a texture can only be written
// through SDL, and the layer writes pixels whenever it likes.
#include "platform/sdl_backend.h"
#include "platform/surface.h"
#include "platform/window_state.h"

#include <SDL.h>

namespace {

Growable<SdlWindow> natives; // one row per top-level window, in creation order

} // namespace

// The surface's bytes are blue, green, red, unused: one 32-bit pixel 0x00RRGGBB read
// in the machine's order on little-endian machines.
constexpr Uint32 kSurfaceFormat =
    SDL_BYTEORDER == SDL_LIL_ENDIAN ? SDL_PIXELFORMAT_XRGB8888 : SDL_PIXELFORMAT_BGRX8888;

// SDL windows are at least 1 x 1; an empty surface sits in the smallest one.
static int nativeSide(i32 side)
{
    return side > 0 ? side : 1;
}

SdlWindow* findSdlWindow(HWND topLevel)
{
    for (u32 row = 0; row < natives.count; ++row)
        if (natives.items[row].topLevel == topLevel) return &natives.items[row];
    return nullptr;
}

SdlWindow* findSdlWindowById(u32 windowId)
{
    for (u32 row = 0; row < natives.count; ++row)
        if (natives.items[row].windowId == windowId) return &natives.items[row];
    return nullptr;
}

u32 sdlWindowCount()
{
    return natives.count;
}

// The window and its renderer; false when SDL refuses either.
static bool openNativeWindow(SdlWindow& native, i32 width, i32 height)
{
    native.window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                     nativeSide(width), nativeSide(height), SDL_WINDOW_RESIZABLE);
    if (!native.window) return false;
    native.windowId = SDL_GetWindowID(native.window);
    // Made without vertical sync, which applyPresentRate then switches: SDL 2.26's
    // software renderer, once made with it, keeps it whatever it is told later.
    native.renderer = SDL_CreateRenderer(native.window, -1, 0);
    return native.renderer != nullptr;
}

// A texture and an upload record of the size, both empty for an empty size; false
// (nothing kept) when SDL or the heap refuse.
static bool makePixels(SDL_Renderer* renderer, i32 width, i32 height, SDL_Texture** texture,
                       Surface* uploaded)
{
    *texture = nullptr;
    if (!allocateSurface(width, height, uploaded)) return false;
    if (width == 0 || height == 0) return true;
    *texture =
        SDL_CreateTexture(renderer, kSurfaceFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (*texture) return true;
    freeSurface(uploaded);
    return false;
}

static void closeNativeWindow(SdlWindow& native)
{
    if (native.texture) SDL_DestroyTexture(native.texture);
    if (native.renderer) SDL_DestroyRenderer(native.renderer);
    if (native.window) SDL_DestroyWindow(native.window);
    freeSurface(&native.uploaded);
    native = SdlWindow{};
}

static bool createSdlSurface(HWND topLevel, i32 width, i32 height, Surface* surface)
{
    if (!natives.reserveOne()) return false;
    SdlWindow native;
    native.topLevel = topLevel;
    Surface pixels;
    if (!allocateSurface(width, height, &pixels)) return false;
    if (!openNativeWindow(native, width, height) ||
        !makePixels(native.renderer, width, height, &native.texture, &native.uploaded)) {
        closeNativeWindow(native);
        freeSurface(&pixels);
        return false;
    }
    applyPresentRate(native);
    uploadAll(native, pixels);
    natives.push(native); // the room was reserved above
    *surface = pixels;
    return true;
}

// Asks SDL for the size only when the native window has another: a native window that
// already has it is where a user's resize came from, and asking again could fight a
// window manager that is still dragging.
static void matchNativeSize(const SdlWindow& native, i32 width, i32 height)
{
    int nativeWidth = 0, nativeHeight = 0;
    SDL_GetWindowSize(native.window, &nativeWidth, &nativeHeight);
    if (nativeWidth != nativeSide(width) || nativeHeight != nativeSide(height))
        SDL_SetWindowSize(native.window, nativeSide(width), nativeSide(height));
}

static bool resizeSdlSurface(HWND topLevel, i32 width, i32 height, Surface* surface)
{
    SdlWindow* native = findSdlWindow(topLevel);
    if (!native) return false;
    SDL_Texture* texture = nullptr;
    Surface uploaded;
    if (!makePixels(native->renderer, width, height, &texture, &uploaded)) return false;
    if (!reallocateSurface(width, height, surface)) {
        if (texture) SDL_DestroyTexture(texture);
        freeSurface(&uploaded);
        return false;
    }
    if (native->texture) SDL_DestroyTexture(native->texture);
    freeSurface(&native->uploaded);
    native->texture = texture;
    native->uploaded = uploaded;
    uploadAll(*native, *surface);
    matchNativeSize(*native, width, height);
    return true;
}

static void destroySdlSurface(HWND topLevel, Surface* surface)
{
    for (u32 row = 0; row < natives.count; ++row) {
        if (natives.items[row].topLevel != topLevel) continue;
        closeNativeWindow(natives.items[row]);
        natives.removeAt(row);
        break;
    }
    freeSurface(surface);
    if (natives.count == 0) natives.release();
}

static void setSdlTitle(HWND topLevel, const char* title)
{
    if (SdlWindow* native = findSdlWindow(topLevel)) SDL_SetWindowTitle(native->window, title);
}

void followNativeSize(SdlWindow& native)
{
    const HWND topLevel = native.topLevel; // `native` may move once MoveWindow runs
    const WindowRecord* record = lookupWindow(topLevel);
    if (!record) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(native.window, &width, &height);
    if (width == nativeSide(record->width) && height == nativeSide(record->height)) return;
    MoveWindow(topLevel, record->x, record->y, width, height, TRUE);
}

SDL_Window* sdlNativeWindow(HWND topLevel)
{
    const SdlWindow* native = findSdlWindow(topLevel);
    return native ? native->window : nullptr;
}

const Backend kSdlBackend = {
    "sdl2",        createSdlSurface, resizeSdlSurface,  destroySdlSurface,
    pumpSdlEvents, presentSdl,       showSdlMessageBox, setSdlTitle,
};
