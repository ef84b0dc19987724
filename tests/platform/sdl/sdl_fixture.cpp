#include "tests/platform/sdl/sdl_fixture.h"

#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <string>

bool SdlTest::started = false;

namespace {

std::string startFailure; // why the backend did not come up, for the skip message

} // namespace

void SdlTest::SetUpTestSuite()
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
    if (SDL_GetCurrentDisplayMode(0, &screen) == 0) SDL_WarpMouseGlobal(screen.w - 1, screen.h - 1);
}

// SDL stays up for the next suite: stopping and starting it costs a display connection
// each time and proves nothing new.
void SdlTest::TearDownTestSuite()
{
    platformReset();
}

void SdlTest::SetUp()
{
    if (!started) GTEST_SKIP() << "no display for SDL (" << startFailure << ")";
    PlatformTest::SetUp();
    platformSetPresentRate(0);
    SDL_SetModState(KMOD_NONE);
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

void SdlTest::TearDown()
{
    keepLoadedLibraries();
    PlatformTest::TearDown();
    platformSetPresentRate(60);
}

Uint32 SdlTest::idOf(HWND topLevel)
{
    SDL_Window* window = sdlNativeWindow(topLevel);
    return window ? SDL_GetWindowID(window) : 0;
}

bool SdlTest::pumpUntil(const std::function<bool()>& done, int milliseconds)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && std::chrono::steady_clock::now() < giveUp) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
        SDL_Delay(5);
    }
    return done();
}

void pushEvent(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

SDL_Event mouseButtonEvent(Uint32 windowId, bool down, Uint8 button, int x, int y)
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

SDL_Event mouseMotionEvent(Uint32 windowId, Uint32 buttonState, int x, int y)
{
    SDL_Event event{};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId;
    event.motion.state = buttonState;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event keyEvent(Uint32 windowId, bool down, SDL_Keycode key, bool repeat)
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

SDL_Event windowEvent(Uint32 windowId, Uint8 what)
{
    SDL_Event event{};
    event.window.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = what;
    return event;
}
