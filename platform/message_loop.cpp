// Taking and delivering messages: PeekMessage, GetMessage, SendMessage, dispatch.
// Priority as under Win32: posted messages in order, then a pending quit, then a
// WM_PAINT for an invalid window, so a paint never overtakes queued input.
#include "platform/backend.h"
#include "platform/message_queue.h"
#include "platform/window_state.h"

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg || (window && !lookupWindow(window))) return FALSE;
    currentBackend().pumpEvents(false);
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (takePostedMessage(msg, window, filterMin, filterMax, remove)) return TRUE;
    if (takeQuitMessage(msg, window, filterMin, filterMax, remove)) return TRUE;
    // A paint stays pending until the window validates itself, removed or not.
    return findPaintMessage(msg, window, filterMin, filterMax) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    for (;;) {
        if (!msg || (window && !lookupWindow(window))) return -1;
        if (PeekMessage(msg, window, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? 0 : TRUE;
        // Nothing queued and nothing to paint: only native input could still come.
        if (!currentBackend().pumpEvents(true)) return -1;
    }
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record) return 0;
    const WNDPROC procedure = record->procedure; // the record may be gone after the call
    return procedure(window, message, wParam, lParam);
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !msg->hwnd) return 0; // thread messages have nobody to go to
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// The character of a key whose meaning needs no shift state: digits, letters (always
// lower case: the layer keeps no keyboard state), space, tab, return, backspace, escape.
static WPARAM characterOfKey(WPARAM key)
{
    if (key >= '0' && key <= '9') return key;
    if (key >= 'A' && key <= 'Z') return key - 'A' + 'a';
    if (key == 0x20 || key == 0x09 || key == 0x0D || key == 0x08 || key == 0x1B) return key;
    return 0;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        const WPARAM character = characterOfKey(msg->wParam);
        if (character) queueMessage(msg->hwnd, WM_CHAR, character, msg->lParam);
        return TRUE;
    }
    return msg->message == WM_KEYUP ? TRUE : FALSE;
}
