// tests/platform/sdl/sdl_fixture.h - what the SDL2 backend's tests share: the backend
// started once for the program (every test is skipped when no display can be opened),
// the recording windows of the platform tests, and SDL events made up and pushed into
// SDL's queue as the display would deliver them.
#pragma once

#include "platform/sdl_backend.h"
#include "tests/platform/platform_fixture.h"

#include <SDL.h>

#include <functional>

class SdlTest : public PlatformTest {
protected:
    static void SetUpTestSuite(); // starts the backend, or finds it started
    static void TearDownTestSuite();
    void SetUp() override;    // skips without a display; presents unpaced
    void TearDown() override; // every window gone, the rate back to its default

    // SDL's number for the top-level window's native window (0 for none).
    static Uint32 idOf(HWND topLevel);
    // Takes (and dispatches) messages, SDL's events with them, until `done` or the time
    // is up, for what must come back from the X server; answers `done()`.
    static bool pumpUntil(const std::function<bool()>& done, int milliseconds = 2000);

    static bool started; // the backend came up for this program
};

void pushEvent(SDL_Event event);
SDL_Event mouseButtonEvent(Uint32 windowId, bool down, Uint8 button, int x, int y);
SDL_Event mouseMotionEvent(Uint32 windowId, Uint32 buttonState, int x, int y);
SDL_Event keyEvent(Uint32 windowId, bool down, SDL_Keycode key, bool repeat = false);
SDL_Event windowEvent(Uint32 windowId, Uint8 what);
