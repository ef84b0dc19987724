// SDL's input as messages: the mouse at the window under it (or the capture holder),
// keys at the top-level window, the close button as WM_CLOSE.
#include "tests/platform/sdl/sdl_fixture.h"

class SdlInput : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        if (IsSkipped()) return;
        top = makeTopLevel(400, 300);
        viewer = makeChild(top, 0, 0, 400, 210);
        dashboard = makeChild(top, 0, 210, 400, 90);
        drainAll();
    }
    HWND top = nullptr;
    HWND viewer = nullptr;
    HWND dashboard = nullptr;
};

// The mouse goes to the window under the point, or to the capture holder wherever it is.
TEST_F(SdlInput, MouseEventsBecomeMessagesAtTheWindowUnderThePointOrTheCaptureHolder)
{
    const Uint32 id = idOf(top);
    const struct {
        const char* what;
        SDL_Event event;
        SDL_Keymod modifiers;
        HWND capture;
        HWND target;
        UINT message;
        WPARAM keys;
        int x, y; // in the target's client area
    } cases[] = {
        {"move", mouseMotionEvent(id, 0, 50, 60), KMOD_NONE, nullptr, viewer, WM_MOUSEMOVE, 0, 50,
         60},
        {"left press with Shift and Ctrl", mouseButtonEvent(id, true, SDL_BUTTON_LEFT, 87, 250),
         static_cast<SDL_Keymod>(KMOD_LSHIFT | KMOD_RCTRL), nullptr, dashboard, WM_LBUTTONDOWN,
         MK_LBUTTON | MK_SHIFT | MK_CONTROL, 87, 40},
        {"drag", mouseMotionEvent(id, SDL_BUTTON_LMASK, 90, 251), KMOD_NONE, nullptr, dashboard,
         WM_MOUSEMOVE, MK_LBUTTON, 90, 41},
        {"right press while left held", mouseButtonEvent(id, true, SDL_BUTTON_RIGHT, 90, 20),
         KMOD_RSHIFT, nullptr, viewer, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT, 90, 20},
        {"left release: no MK_LBUTTON", mouseButtonEvent(id, false, SDL_BUTTON_LEFT, 90, 20),
         KMOD_NONE, nullptr, viewer, WM_LBUTTONUP, MK_RBUTTON, 90, 20},
        {"right release", mouseButtonEvent(id, false, SDL_BUTTON_RIGHT, 399, 299), KMOD_LCTRL,
         nullptr, dashboard, WM_RBUTTONUP, MK_CONTROL, 399, 89},
        {"captured, over the Dashboard", mouseMotionEvent(id, SDL_BUTTON_LMASK, 20, 280), KMOD_NONE,
         viewer, viewer, WM_MOUSEMOVE, MK_LBUTTON, 20, 280},
        {"captured, outside it all", mouseButtonEvent(id, false, SDL_BUTTON_LEFT, -15, 320),
         KMOD_NONE, viewer, viewer, WM_LBUTTONUP, 0, -15, 320},
    };
    for (const auto& c : cases) {
        SDL_SetModState(c.modifiers);
        if (c.capture) SetCapture(c.capture);
        pushEvent(c.event);
        const MSG msg = take();
        EXPECT_EQ(msg.hwnd, c.target) << c.what;
        EXPECT_EQ(msg.message, c.message) << c.what;
        EXPECT_EQ(msg.wParam, c.keys) << c.what;
        EXPECT_EQ(GET_X_LPARAM(msg.lParam), c.x) << c.what;
        EXPECT_EQ(GET_Y_LPARAM(msg.lParam), c.y) << c.what;
        EXPECT_TRUE(queueEmpty()) << c.what;
    }
}

TEST_F(SdlInput, ButtonsThePlugInDoesNotUseAndUnknownWindowsGiveNoMessage)
{
    pushEvent(mouseButtonEvent(idOf(top), true, SDL_BUTTON_MIDDLE, 10, 10));
    pushEvent(mouseButtonEvent(idOf(top) + 1000, true, SDL_BUTTON_LEFT, 10, 10));
    pushEvent(mouseMotionEvent(idOf(top), 0, 500, 10)); // beyond the window, no capture
    EXPECT_TRUE(queueEmpty());
}

TEST_F(SdlInput, KeysBecomeVirtualKeyMessagesForTheTopLevelWindow)
{
    const struct {
        SDL_Event event;
        UINT message; // WM_NULL: no message at all
        WPARAM key;
        LPARAM flags;
    } cases[] = {
        {keyEvent(idOf(top), true, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1},
        {keyEvent(idOf(top), true, SDLK_q), WM_KEYDOWN, 'Q', 1},
        {keyEvent(idOf(top), true, SDLK_q, true), WM_KEYDOWN, 'Q', 1 | (1 << 30)}, // repeat
        {keyEvent(idOf(top), false, SDLK_q), WM_KEYUP, 'Q', static_cast<LPARAM>(0xC0000001u)},
        {keyEvent(idOf(top), true, SDLK_7), WM_KEYDOWN, '7', 1},
        {keyEvent(idOf(top), true, SDLK_LEFT), WM_KEYDOWN, VK_LEFT, 1},
        {keyEvent(idOf(top), true, SDLK_RETURN), WM_KEYDOWN, VK_RETURN, 1},
        {keyEvent(idOf(top), true, SDLK_F5), WM_NULL, 0, 0}, // no code here: dropped
    };
    for (const auto& c : cases) {
        pushEvent(c.event);
        const MSG msg = take();
        EXPECT_EQ(msg.message, c.message) << c.event.key.keysym.sym;
        if (c.message == WM_NULL) continue;
        EXPECT_EQ(msg.hwnd, top);
        EXPECT_EQ(msg.wParam, c.key) << c.event.key.keysym.sym;
        EXPECT_EQ(msg.lParam, c.flags) << c.event.key.keysym.sym;
    }
}

TEST_F(SdlInput, CloseButtonPostsWmCloseToItsTopLevelWindowAndQuitToEveryOne)
{
    const HWND other = makeTopLevel(100, 100);
    drainAll();
    pushEvent(windowEvent(idOf(top), SDL_WINDOWEVENT_CLOSE));
    MSG msg = take();
    EXPECT_EQ(msg.hwnd, top);
    EXPECT_EQ(msg.message, WM_CLOSE);
    EXPECT_TRUE(IsWindow(top)); // posted, not handled: the host decides when to go
    EXPECT_TRUE(queueEmpty());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    pushEvent(quit);
    const MSG first = take();
    const MSG second = take();
    EXPECT_EQ(first.message, WM_CLOSE);
    EXPECT_EQ(second.message, WM_CLOSE);
    EXPECT_EQ(first.hwnd, top);
    EXPECT_EQ(second.hwnd, other);
}
