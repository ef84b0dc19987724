// SDL's video for the "sdl2" backend: whether there is a display to open, starting and
// stopping SDL, and message boxes as SDL dialogs.
#include "platform/sdl_backend.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Why the last start failed; a copy, since SDL reuses its error buffer.
char startFailure[256] = "";

} // namespace

static void noteFailure(const char* reason, const char* detail = "")
{
    std::snprintf(startFailure, sizeof startFailure, "%s%s", reason, detail);
}

static bool environmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] != '\0';
}

// SDL's stand-ins for a display: they open "windows" nobody can see or click.
static bool isStandInDriver(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Hints that must be in place before SDL's video starts. Each is only a default: the
// same name in the environment still wins.
static void setStartHints()
{
    // A Ctrl-C in the terminal ends the program as it ends any other; SDL would turn it
    // into a quit event that only a running message loop could act on.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the last window must reach the host as that window's WM_CLOSE alone.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL asks compositors to stop compositing for its windows (meant for full-screen
    // games); a viewer in a window must not make the rest of the desktop flicker.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
}

bool startSdlVideo()
{
    // A driver named in SDL_VIDEODRIVER is the user's choice (offscreen included);
    // otherwise SDL would quietly fall back to its offscreen driver without a display.
    const bool driverChosen = environmentSet("SDL_VIDEODRIVER");
    if (!driverChosen && !environmentSet("DISPLAY") && !environmentSet("WAYLAND_DISPLAY")) {
        noteFailure("no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    setStartHints();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        noteFailure("no display: SDL could not start its video: ", SDL_GetError());
        return false;
    }
    if (!driverChosen && isStandInDriver(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        noteFailure("no display: SDL could not open the one named by DISPLAY or WAYLAND_DISPLAY");
        return false;
    }
    // The plug-in reads keys, never composed text: an input method left running could
    // swallow the very letters the host listens for.
    SDL_StopTextInput();
    noteFailure("");
    return true;
}

void stopSdlVideo()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

const char* sdlStartFailure()
{
    return startFailure;
}

// A modal box would wait for a click that never comes: in tests and unattended runs
// (TARNE_NO_DIALOGS), and on SDL's stand-in drivers, where nobody sees the screen.
static bool dialogsSuppressed()
{
    const char* setting = std::getenv("TARNE_NO_DIALOGS");
    if (setting && setting[0] != '\0' && std::strcmp(setting, "0") != 0) return true;
    return isStandInDriver(SDL_GetCurrentVideoDriver());
}

// The Win32 icon bits of a message box type (MB_ICONMASK).
constexpr UINT kIconBits = 0xF0;

void showSdlMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    writeMessageBoxText(text, caption);
    if (dialogsSuppressed()) return;
    const Uint32 kind =
        (type & kIconBits) == MB_ICONERROR ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    // Over the owner's window when it still has one; the text is on stderr either way,
    // so a box SDL cannot show loses nothing.
    SDL_ShowSimpleMessageBox(kind, caption, text, sdlNativeWindow(GetAncestor(owner, GA_ROOT)));
}
