// tests/platform/sdl/sdl_fixture.h - what the SDL2 backend's tests share: the backend
// started once for the program (every test is skipped when no display can be opened),
// the recording windows of the platform tests, and SDL events made up and pushed into
// SDL's queue as the display would deliver them.
#pragma once

#include "platform/sdl_backend.h"
#include "tests/platform/platform_fixture.h"

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <link.h>
#include <string>

class SdlTest : public PlatformTest {
protected:
    // Starts the backend, or finds it started.
    static void SetUpTestSuite()
    {
        // A modal box would wait for a click that never comes.
        setenv("TARNE_NO_DIALOGS", "1", 1);
        started = platformUseBackend("sdl2");
        if (!started) {
            startFailure = platformBackendFailure();
            return;
        }
        // The X pointer starts in the middle of the screen, where new windows appear; its
        // crossing events would add mouse messages of their own. The far corner is clear.
        SDL_DisplayMode screen{};
        if (SDL_GetCurrentDisplayMode(0, &screen) == 0)
            SDL_WarpMouseGlobal(screen.w - 1, screen.h - 1);
    }
    // SDL stays up for the next suite: stopping and starting it costs a display connection
    // each time and proves nothing new.
    static void TearDownTestSuite() { platformReset(); }
    // Skips without a display; presents unpaced.
    void SetUp() override
    {
        if (!started) GTEST_SKIP() << "no display for SDL (" << startFailure << ")";
        PlatformTest::SetUp();
        platformSetPresentRate(0);
        SDL_SetModState(KMOD_NONE);
    }
    // Every window gone, the rate back to its default.
    void TearDown() override
    {
        keepLoadedLibraries();
        PlatformTest::TearDown();
        platformSetPresentRate(60);
    }

    // SDL loads its display, GL and D-Bus libraries itself and unloads them when its video
    // stops. What they left on the heap then hangs from code that is gone, and the leak
    // checker of the sanitizer build can neither follow it nor name it. Kept loaded (as
    // they would be until exit anyway), their memory stays reachable or at least named, so
    // a suppression can name third-party libraries alone (sdl/lsan.supp).
    static void keepLoadedLibraries()
    {
        dl_iterate_phdr(
            [](dl_phdr_info* library, std::size_t, void*) {
                if (library->dlpi_name && library->dlpi_name[0] != '\0')
                    dlopen(library->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                return 0;
            },
            nullptr);
    }

    // SDL's number for the top-level window's native window (0 for none).
    static Uint32 idOf(HWND topLevel)
    {
        SDL_Window* window = sdlNativeWindow(topLevel);
        return window ? SDL_GetWindowID(window) : 0;
    }
    // Takes (and dispatches) messages, SDL's events with them, until `done` or the time
    // is up, for what must come back from the X server; answers `done()`.
    static bool pumpUntil(const std::function<bool()>& done, int milliseconds = 2000)
    {
        const auto giveUp =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!done() && std::chrono::steady_clock::now() < giveUp) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
            SDL_Delay(5);
        }
        return done();
    }

    static inline bool started = false;     // the backend came up for this program
    static inline std::string startFailure; // why it did not, for the skip message
};

inline void pushEvent(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

inline SDL_Event mouseButtonEvent(Uint32 windowId, bool down, Uint8 button, int x, int y)
{
    SDL_Event event{};
    event.button.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = windowId;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return event;
}

inline SDL_Event mouseMotionEvent(Uint32 windowId, Uint32 buttonState, int x, int y)
{
    SDL_Event event{};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId;
    event.motion.state = buttonState;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

inline SDL_Event keyEvent(Uint32 windowId, bool down, SDL_Keycode key, bool repeat = false)
{
    SDL_Event event{};
    event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return event;
}

inline SDL_Event windowEvent(Uint32 windowId, Uint8 what)
{
    SDL_Event event{};
    event.window.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = what;
    return event;
}
