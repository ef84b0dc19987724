// SetWindowText. The layer keeps no window text of its own: only a top-level window's
// text is ever seen (as the title of its native window), so it goes to the backend.
#include "platform/backend.h"
#include "platform/window_state.h"

BOOL SetWindowText(HWND window, LPCSTR text)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record) return FALSE;
    if (!record->parent) currentBackend().setTitle(window, text ? text : "");
    return TRUE;
}
