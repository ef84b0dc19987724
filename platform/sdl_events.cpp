// SDL's events into messages for the "sdl2" backend: the mouse routed as
// platformInjectMouse routes it, keys to the top-level window, and what happens to the
// native window itself (a new size, closing, being uncovered).
#include "platform/sdl_backend.h"

#include <SDL.h>

namespace {

// MK_LBUTTON and MK_RBUTTON as the last mouse event left them. Kept here rather than
// asked of SDL, whose own state has already moved on to the newest event when an older
// one is taken from its queue.
WPARAM heldButtons = 0;

// GetMessage's wait in SDL is cut into slices of this length. SDL wakes at once for
// every event; the slice only bounds how long a missed wake-up could stall the loop,
// and two wake-ups a second cost an idle window nothing.
constexpr Uint32 kWaitSliceMs = 500;

// Win32's lParam bits of a key message: bit 30, the key was already down (an
// auto-repeat, or any release); bit 31, the key is being released. The low word, the
// repeat count, is always one: SDL reports each repeat as an event of its own.
constexpr std::uint32_t kKeyRepeatCount = 1;
constexpr std::uint32_t kKeyWasDown = 1u << 30;
constexpr std::uint32_t kKeyReleased = 1u << 31;

} // namespace

// While the host plays scripted input, the real mouse is held off: a pointer resting over
// the window would otherwise move the camera in the middle of a scripted drag.
static bool nativeMouseHeld = false;

void platformHoldNativeMouse(bool hold)
{
    nativeMouseHeld = hold;
}

static WPARAM buttonFlag(Uint8 button)
{
    if (button == SDL_BUTTON_LEFT) return MK_LBUTTON;
    if (button == SDL_BUTTON_RIGHT) return MK_RBUTTON;
    return 0;
}

// Shift and Ctrl as SDL's keyboard state has them when the event is taken.
static WPARAM modifierFlags()
{
    const SDL_Keymod modifiers = SDL_GetModState();
    WPARAM keys = 0;
    if (modifiers & KMOD_SHIFT) keys |= MK_SHIFT;
    if (modifiers & KMOD_CTRL) keys |= MK_CONTROL;
    return keys;
}

static UINT buttonMessage(WPARAM flag, bool down)
{
    if (flag == MK_LBUTTON) return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
}

// As under Win32, the key state of a button message is the state after it: a press
// carries its own button, a release no longer does.
static void onMouseButton(const SDL_MouseButtonEvent& event)
{
    const WPARAM flag = buttonFlag(event.button);
    if (!flag) return; // the plug-in uses the left and right buttons only
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    heldButtons = down ? heldButtons | flag : heldButtons & ~flag;
    const SdlWindow* native = findSdlWindowById(event.windowID);
    if (!native) return;
    platformInjectMouse(native->topLevel, buttonMessage(flag, down), event.x, event.y,
                        heldButtons | modifierFlags());
}

static void onMouseMotion(const SDL_MouseMotionEvent& event)
{
    heldButtons = ((event.state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0) |
                  ((event.state & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0);
    const SdlWindow* native = findSdlWindowById(event.windowID);
    if (!native) return;
    platformInjectMouse(native->topLevel, WM_MOUSEMOVE, event.x, event.y,
                        heldButtons | modifierFlags());
}

// The Win32 virtual-key code of an SDL key (letters by what the layout puts on the key,
// as Win32 maps them too); 0 for keys nobody here needs.
static WPARAM virtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>('0' + (key - SDLK_0));
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    default: return 0;
    }
}

static void onKey(const SDL_KeyboardEvent& event)
{
    const WPARAM key = virtualKeyOf(event.keysym.sym);
    const SdlWindow* native = findSdlWindowById(event.windowID);
    if (!key || !native) return;
    const bool down = event.type == SDL_KEYDOWN;
    const std::uint32_t bits =
        kKeyRepeatCount | (down && !event.repeat ? 0 : kKeyWasDown) | (down ? 0 : kKeyReleased);
    PostMessage(native->topLevel, down ? WM_KEYDOWN : WM_KEYUP, key, static_cast<LPARAM>(bits));
}

static void onWindowEvent(const SDL_WindowEvent& event)
{
    SdlWindow* native = findSdlWindowById(event.windowID);
    if (!native) return;
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: followNativeSize(*native); break;
    case SDL_WINDOWEVENT_EXPOSED: reshowSdlWindow(*native); break;
    case SDL_WINDOWEVENT_CLOSE: PostMessage(native->topLevel, WM_CLOSE, 0, 0); break;
    default: break;
    }
}

// SDL's quit request (the session is ending, or someone asked SDL itself) closes every
// window as its close button would.
static void onQuit()
{
    for (HWND top = GetTopWindow(nullptr); top; top = GetNextChild(nullptr, top))
        PostMessage(top, WM_CLOSE, 0, 0);
}

static void handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (!nativeMouseHeld) onMouseButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        if (!nativeMouseHeld) onMouseMotion(event.motion);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: onKey(event.key); break;
    case SDL_WINDOWEVENT: onWindowEvent(event.window); break;
    case SDL_QUIT: onQuit(); break;
    default: break;
    }
}

bool pumpSdlEvents(bool wait)
{
    if (sdlWindowCount() == 0) return false;
    SDL_Event event;
    if (wait && SDL_WaitEventTimeout(&event, static_cast<int>(kWaitSliceMs))) handleEvent(event);
    while (SDL_PollEvent(&event)) handleEvent(event);
    return true;
}
