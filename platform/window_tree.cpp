// The window tree: handle lookup, links, geometry and the read-only tree queries.
#include "platform/handles.h"
#include "platform/window_state.h"

namespace {

WindowRecord* firstTop = nullptr; // top-level windows in creation order
WindowRecord* lastTop = nullptr;

} // namespace

WindowRecord* lookupWindow(HWND window)
{
    return lookupAs<WindowRecord>(window, HandleKind::Window);
}

void linkWindow(WindowRecord* window, WindowRecord* parent)
{
    WindowRecord*& first = parent ? parent->firstChild : firstTop;
    WindowRecord*& last = parent ? parent->lastChild : lastTop;
    window->parent = parent;
    window->previousSibling = last;
    window->nextSibling = nullptr;
    if (last)
        last->nextSibling = window;
    else
        first = window;
    last = window;
}

void unlinkWindow(WindowRecord* window)
{
    WindowRecord* parent = window->parent;
    WindowRecord*& first = parent ? parent->firstChild : firstTop;
    WindowRecord*& last = parent ? parent->lastChild : lastTop;
    if (window->previousSibling)
        window->previousSibling->nextSibling = window->nextSibling;
    else
        first = window->nextSibling;
    if (window->nextSibling)
        window->nextSibling->previousSibling = window->previousSibling;
    else
        last = window->previousSibling;
    window->parent = nullptr;
    window->previousSibling = nullptr;
    window->nextSibling = nullptr;
}

WindowRecord* topLevelOf(WindowRecord* window)
{
    while (window->parent) window = window->parent;
    return window;
}

WindowRecord* firstTopLevel()
{
    return firstTop;
}

WindowRecord* nextInTree(const WindowRecord* window)
{
    if (window->firstChild) return window->firstChild;
    while (window) {
        if (window->nextSibling) return window->nextSibling;
        window = window->parent;
    }
    return nullptr;
}

bool isWithin(const WindowRecord* window, const WindowRecord* ancestor)
{
    for (; window && ancestor; window = window->parent)
        if (window == ancestor) return true;
    return false;
}

bool isShown(const WindowRecord* window)
{
    for (; window; window = window->parent)
        if (!(window->style & WS_VISIBLE)) return false;
    return true;
}

void windowOrigin(const WindowRecord* window, i64* x, i64* y)
{
    i64 left = 0, top = 0;
    for (; window->parent; window = window->parent) {
        left += window->x;
        top += window->y;
    }
    *x = left;
    *y = top;
}

// The window's client rectangle in top-level client coordinates, pinned to LONG.
static RECT placedRect(const WindowRecord* window)
{
    i64 x = 0, y = 0;
    windowOrigin(window, &x, &y);
    return RECT{clampLong(x), clampLong(y), clampLong(x + window->width),
                clampLong(y + window->height)};
}

RECT windowClip(const WindowRecord* window)
{
    RECT clip = placedRect(window);
    for (const WindowRecord* ancestor = window->parent; ancestor; ancestor = ancestor->parent)
        clip = intersectRect(clip, placedRect(ancestor));
    const WindowRecord* top = window;
    while (top->parent) top = top->parent;
    return intersectRect(clip, RECT{0, 0, top->surface.width, top->surface.height});
}

BOOL IsWindow(HWND window)
{
    return lookupWindow(window) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window)
{
    const WindowRecord* record = lookupWindow(window);
    return record && isShown(record) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record || !rect) return FALSE;
    *rect = RECT{0, 0, record->width, record->height};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record || !rect) return FALSE;
    *rect = placedRect(record);
    return TRUE;
}

HWND GetParent(HWND window)
{
    const WindowRecord* record = lookupWindow(window);
    return record && record->parent ? record->parent->handle : nullptr;
}

HWND GetAncestor(HWND window, UINT flags)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return nullptr;
    if (flags == GA_PARENT) return record->parent ? record->parent->handle : nullptr;
    // Windows here have no owners, so the root owner is the root.
    if (flags == GA_ROOT || flags == GA_ROOTOWNER) return topLevelOf(record)->handle;
    return nullptr;
}

HWND GetTopWindow(HWND window)
{
    if (!window) return firstTop ? firstTop->handle : nullptr;
    const WindowRecord* record = lookupWindow(window);
    return record && record->firstChild ? record->firstChild->handle : nullptr;
}

HWND GetNextChild(HWND parent, HWND child)
{
    if (!child) return GetTopWindow(parent);
    const WindowRecord* record = lookupWindow(child);
    if (!record) return nullptr;
    const HWND actualParent = record->parent ? record->parent->handle : nullptr;
    if (actualParent != parent) return nullptr;
    return record->nextSibling ? record->nextSibling->handle : nullptr;
}

static bool containsPoint(const WindowRecord* window, i64 x, i64 y)
{
    return x >= 0 && y >= 0 && x < window->width && y < window->height;
}

HWND ChildWindowFromPointDeep(HWND parent, POINT point)
{
    const WindowRecord* record = lookupWindow(parent);
    if (!record) return nullptr;
    i64 x = point.x, y = point.y;
    if (!containsPoint(record, x, y)) return nullptr;
    for (;;) {
        const WindowRecord* hit = nullptr;
        for (const WindowRecord* child = record->firstChild; child; child = child->nextSibling) {
            if ((child->style & WS_VISIBLE) && containsPoint(child, x - child->x, y - child->y)) {
                hit = child; // the earliest sibling lies on top
                break;
            }
        }
        if (!hit) return record->handle;
        x -= hit->x;
        y -= hit->y;
        record = hit;
    }
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record || !point) return FALSE;
    i64 x = 0, y = 0;
    windowOrigin(record, &x, &y);
    *point = POINT{clampLong(point->x + x), clampLong(point->y + y)};
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record || !point) return FALSE;
    i64 x = 0, y = 0;
    windowOrigin(record, &x, &y);
    *point = POINT{clampLong(point->x - x), clampLong(point->y - y)};
    return TRUE;
}
