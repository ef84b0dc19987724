// Placement and visibility: MoveWindow and ShowWindow, with the messages Win32 sends
// for them. As under Win32, WM_MOVE comes only when the position changed and WM_SIZE
// only when the size changed: a WM_SIZE handler that moves its own window to where it
// already is (the Dashboard does) must not start an endless chain.
#include "platform/backend.h"
#include "platform/window_state.h"

// The window's rectangle in its parent's client coordinates.
static RECT rectInParent(const WindowRecord* record)
{
    return RECT{record->x, record->y, clampLong(i64{record->x} + record->width),
                clampLong(i64{record->y} + record->height)};
}

// Where a child stops covering its parent, the parent is drawn again.
static void invalidateParentArea(const WindowRecord* record, const RECT& area)
{
    if (record->parent && !record->parent->destroying)
        InvalidateRect(record->parent->handle, &area, TRUE);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    width = width > 0 ? width : 0;
    height = height > 0 ? height : 0;
    const bool moved = x != record->x || y != record->y;
    const bool sized = width != record->width || height != record->height;
    if (sized && !record->parent &&
        !currentBackend().resizeSurface(window, width, height, &record->surface))
        return FALSE;
    const RECT before = rectInParent(record);
    record->x = x;
    record->y = y;
    record->width = width;
    record->height = height;
    record->invalidRect = intersectRect(record->invalidRect, RECT{0, 0, width, height});
    record->invalid = !rectEmpty(record->invalidRect);
    if (repaint && (moved || sized)) {
        invalidateParentArea(record, before);
        InvalidateRect(window, nullptr, TRUE);
    }
    if (moved) SendMessage(window, WM_MOVE, 0, MAKELPARAM(x, y));
    if (sized) SendMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    return TRUE;
}

BOOL ShowWindow(HWND window, int command)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    const bool wasVisible = (record->style & WS_VISIBLE) != 0;
    const bool show = command != SW_HIDE;
    if (show == wasVisible) return wasVisible ? TRUE : FALSE;
    if (show)
        record->style |= WS_VISIBLE;
    else
        record->style &= ~WS_VISIBLE;
    SendMessage(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!lookupWindow(window)) return wasVisible ? TRUE : FALSE;
    if (show)
        InvalidateRect(window, nullptr, TRUE);
    else
        invalidateParentArea(record, rectInParent(record));
    return wasVisible ? TRUE : FALSE;
}
