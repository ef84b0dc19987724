// platform/sdl_backend.h - the SDL2 backend's state, shared by its four files:
// sdl_video.cpp (starting and stopping SDL's video, message boxes), sdl_windows.cpp (a
// native window per top-level window: made, resized, titled, destroyed), sdl_present.cpp
// (uploads, shows and their pacing) and sdl_events.cpp (SDL's events into messages).
// Owns: SDL's video subsystem while "sdl2" is the chosen backend, and one SdlWindow per
// top-level window, made with the window's surface and destroyed with it.
// Entry points: startSdlVideo, stopSdlVideo, sdlStartFailure, showSdlMessageBox,
// pumpSdlEvents, findSdlWindow, findSdlWindowById, sdlWindowCount, followNativeSize,
// presentSdl, uploadAll, reshowSdlWindow, applyPresentRate; for tests and
// measurements: sdlNativeWindow, sdlShowCount, sdlReadShownPixel.
// Failure: nothing throws. A window whose SDL window, renderer or texture cannot be had
// is refused (CreateWindowEx answers null); a resize that cannot be had leaves the
// window as it was (MoveWindow answers FALSE); a present that cannot upload shows the
// previous frame.
#pragma once

#include "base/types.h"
#include "platform/backend.h"
#include "platform/present_pacing.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

// The native side of one top-level window.
struct SdlWindow {
    HWND topLevel = nullptr;          // the window whose surface this shows
    SDL_Window* window = nullptr;     // resizable, shown from creation
    u32 windowId = 0;                 // SDL's number for it, which its events carry
    SDL_Renderer* renderer = nullptr; // one per window: a renderer draws into one window
    SDL_Texture* texture = nullptr;   // streaming, the surface's size; null while 0 x 0
    Surface uploaded;                 // the pixels the texture holds, to find what changed
    bool uploadedValid = false;       // false: the next present uploads every row
    PresentPacer pacer;               // when the next show may start
    u64 showCount = 0;                // frames shown (tests and measurements count them)
};

// Starts SDL's video for the backend: false (SDL left stopped) when there is no
// display to open, as platformUseBackend("sdl2") explains in windows.h.
bool startSdlVideo();
void stopSdlVideo();
// Why the last startSdlVideo failed, for the host's error message; "" after a success.
const char* sdlStartFailure();

// The backend's message box: the text on stderr, then a modal SDL box over the owner's
// top-level window unless dialogs are suppressed (see MessageBox in windows.h).
void showSdlMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// The backend's pumpEvents: SDL's waiting events become messages; with `wait`, first
// sleeps in SDL's wait until one comes (or a while has passed). Answers whether any SDL
// window exists, since only those give input.
bool pumpSdlEvents(bool wait);

// The native side of a top-level window, or of the window with SDL's number; null for
// other windows. The pointer lasts until the next window is made or destroyed.
SdlWindow* findSdlWindow(HWND topLevel);
SdlWindow* findSdlWindowById(u32 windowId);
u32 sdlWindowCount();
// The native window has a new size (the user, or the window manager, changed it): the
// top-level window follows through MoveWindow, so its surface takes the size and it
// gets WM_SIZE. Nothing happens when the sizes already agree, which is how the echo of
// the layer's own MoveWindow ends.
void followNativeSize(SdlWindow& native);
// The backend's present: uploads the rows of `surface` that changed since the last
// upload, waits for the window's slot, then shows the frame. A surface with no changed
// row shows nothing and does not wait.
void presentSdl(HWND topLevel, const Surface& surface);
// Uploads every row of `surface` (the native window was just given a new texture), so
// that the texture never holds undefined pixels; shows nothing.
void uploadAll(SdlWindow& native, const Surface& surface);
// Shows the last uploaded frame again (the window was uncovered), unpaced.
void reshowSdlWindow(SdlWindow& native);
// Puts the present rate (platformSetPresentRate) into the window's renderer (vertical
// sync on unless unpaced) and pacer.
void applyPresentRate(SdlWindow& native);

// For tests and measurements: the SDL window of a top-level window (null for others),
// how many frames it has shown, and the colour the renderer draws at (x, y) from what
// was last uploaded (CLR_INVALID outside it or when it cannot be read).
SDL_Window* sdlNativeWindow(HWND topLevel);
u64 sdlShowCount(HWND topLevel);
COLORREF sdlReadShownPixel(HWND topLevel, int x, int y);
