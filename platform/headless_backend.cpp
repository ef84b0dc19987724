// The headless backend: surfaces live in memory only, no native input ever arrives
// (tests and the host inject it), and message boxes go to the standard error stream.
#include "platform/backend.h"
#include "platform/surface.h"

static bool createHeadlessSurface(HWND, i32 width, i32 height, Surface* surface)
{
    return allocateSurface(width, height, surface);
}

static bool resizeHeadlessSurface(HWND, i32 width, i32 height, Surface* surface)
{
    return reallocateSurface(width, height, surface);
}

static void destroyHeadlessSurface(HWND, Surface* surface)
{
    freeSurface(surface);
}

// Nothing native exists, so nothing can ever arrive; waiting would never end.
static bool pumpHeadlessEvents(bool)
{
    return false;
}

static void presentHeadless(HWND, const Surface&) {}

static void showHeadlessMessageBox(HWND, const char* text, const char* caption, UINT)
{
    writeMessageBoxText(text, caption);
}

// Nobody sees a title without a display.
static void setHeadlessTitle(HWND, const char*) {}

const Backend kHeadlessBackend = {
    "headless",         createHeadlessSurface, resizeHeadlessSurface,  destroyHeadlessSurface,
    pumpHeadlessEvents, presentHeadless,       showHeadlessMessageBox, setHeadlessTitle,
};
