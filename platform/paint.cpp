// Invalid areas and painting. Each window keeps one bounding rectangle of what needs
// drawing; WM_PAINT is generated from it (never queued) and stays due until the window
// validates itself.
#include "platform/gdi_state.h"
#include "platform/message_queue.h"
#include "platform/window_state.h"

#include <vector>

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    const RECT client{0, 0, record->width, record->height};
    const RECT area = rect ? intersectRect(*rect, client) : client;
    if (rectEmpty(area)) return TRUE;
    record->invalidRect = record->invalid ? unionRect(record->invalidRect, area) : area;
    record->invalid = true;
    if (erase) record->eraseNeeded = true;
    return TRUE;
}

// What stays of `invalid` once `cut` is valid, as a bounding rectangle: a cut that
// spans the whole width (or height) trims that side; any other cut leaves the box as
// it is, since the rest still needs drawing.
static RECT subtractRect(RECT invalid, const RECT& cut)
{
    const RECT overlap = intersectRect(invalid, cut);
    if (rectEmpty(overlap)) return invalid;
    const bool fullWidth = overlap.left == invalid.left && overlap.right == invalid.right;
    const bool fullHeight = overlap.top == invalid.top && overlap.bottom == invalid.bottom;
    if (fullWidth && fullHeight) return RECT{0, 0, 0, 0};
    if (fullWidth && overlap.top == invalid.top)
        invalid.top = overlap.bottom;
    else if (fullWidth && overlap.bottom == invalid.bottom)
        invalid.bottom = overlap.top;
    else if (fullHeight && overlap.left == invalid.left)
        invalid.left = overlap.right;
    else if (fullHeight && overlap.right == invalid.right)
        invalid.right = overlap.left;
    return invalid;
}

static void validateAll(WindowRecord* record)
{
    record->invalid = false;
    record->eraseNeeded = false;
    record->invalidRect = RECT{0, 0, 0, 0};
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    if (!rect) {
        validateAll(record);
        return TRUE;
    }
    if (!record->invalid) return TRUE;
    record->invalidRect = subtractRect(record->invalidRect, *rect);
    if (rectEmpty(record->invalidRect)) validateAll(record);
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    if (rect) *rect = record->invalid ? record->invalidRect : RECT{0, 0, 0, 0};
    return record->invalid ? TRUE : FALSE;
}

// The window's own paint, then each shown child's, down the tree, as Windows updates
// a window (its UpdateWindow takes the children along). The children are listed before
// any paint runs, and each is checked again: a paint may destroy windows.
static void updateTree(HWND window)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record) return;
    if (record->invalid) SendMessage(window, WM_PAINT, 0, 0);
    std::vector<HWND> children;
    for (HWND child = GetTopWindow(window); child; child = GetNextChild(window, child))
        children.push_back(child);
    for (const HWND child : children)
        if (IsWindow(child) && IsWindowVisible(child)) updateTree(child);
}

BOOL UpdateWindow(HWND window)
{
    if (!lookupWindow(window)) return FALSE;
    updateTree(window);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    WindowRecord* record = lookupWindow(window);
    if (!record || !paint) return nullptr;
    const RECT area = record->invalid ? record->invalidRect : RECT{0, 0, 0, 0};
    const bool erase = record->eraseNeeded;
    // Validated first, whatever happens next, so a failed paint cannot come back forever.
    validateAll(record);
    const HDC dc = makeWindowContext(window, true, area);
    *paint = PAINTSTRUCT{dc, FALSE, area};
    if (!dc) return nullptr;
    if (erase) {
        const LRESULT erased = SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        paint->fErase = erased ? FALSE : TRUE; // not erased: left to the painter
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (!paint) return FALSE;
    DeviceContextRecord* context = lookupContext(paint->hdc);
    if (!context || !context->fromPaint || context->window != window) return FALSE;
    presentContext(context);
    freeContext(context);
    return TRUE;
}

bool findPaintMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    const MSG probe{window, WM_PAINT, 0, 0, 0, {0, 0}};
    if (!messageMatches(probe, window, filterMin, filterMax)) return false;
    // The filter's window and the windows inside it, or every window.
    const WindowRecord* root = window ? lookupWindow(window) : nullptr;
    if (window && !root) return false;
    const WindowRecord* found = nullptr;
    for (const WindowRecord* record = root ? root : firstTopLevel();
         record && !found && (!root || isWithin(record, root)); record = nextInTree(record))
        if (record->invalid && isShown(record)) found = record;
    if (!found) return false;
    *msg = MSG{found->handle, WM_PAINT, 0, 0, messageClock(), cursorPosition()};
    return true;
}
