// Mouse capture and the routing of injected mouse events: to the capture holder, or
// to the deepest shown child under the point, in that window's client coordinates.
#include "platform/message_queue.h"
#include "platform/window_state.h"

namespace {

HWND captureHolder = nullptr; // may have been destroyed: always checked before use

} // namespace

HWND SetCapture(HWND window)
{
    const HWND previous = GetCapture();
    if (lookupWindow(window)) captureHolder = window;
    return previous;
}

BOOL ReleaseCapture()
{
    captureHolder = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return lookupWindow(captureHolder) ? captureHolder : nullptr;
}

// Mouse coordinates travel as two signed 16-bit halves of lParam.
static int pinToShort(i64 value)
{
    return static_cast<int>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
}

HWND platformInjectMouse(HWND topLevel, UINT message, int x, int y, WPARAM keys)
{
    WindowRecord* root = lookupWindow(topLevel);
    if (!root) return nullptr;
    WindowRecord* target = lookupWindow(GetCapture());
    if (target && topLevelOf(target) != topLevelOf(root)) target = nullptr; // another tree's
    if (!target) target = lookupWindow(ChildWindowFromPointDeep(topLevel, POINT{x, y}));
    if (!target) return nullptr;
    i64 rootX = 0, rootY = 0, targetX = 0, targetY = 0;
    windowOrigin(root, &rootX, &rootY);
    windowOrigin(target, &targetX, &targetY);
    const i64 screenX = rootX + x;
    const i64 screenY = rootY + y;
    setCursorPosition(POINT{clampLong(screenX), clampLong(screenY)});
    const LPARAM where = MAKELPARAM(pinToShort(screenX - targetX), pinToShort(screenY - targetY));
    if (!queueMessage(target->handle, message, keys, where)) return nullptr;
    return target->handle;
}
