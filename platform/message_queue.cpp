// The posted-message queue and the pending quit.
#include "platform/message_queue.h"

#include "platform/growable.h"
#include "platform/window_state.h"

#include <ctime>

namespace {

Growable<MSG> posted; // oldest first
bool quitPending = false;
int quitCode = 0;
POINT cursor{0, 0};

} // namespace

bool messageMatches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && msg.hwnd != window && !isWithin(lookupWindow(msg.hwnd), lookupWindow(window)))
        return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

DWORD messageClock()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const u64 milliseconds =
        static_cast<u64>(now.tv_sec) * 1000u + static_cast<u64>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds); // wraps after 49 days, as GetTickCount does
}

void setCursorPosition(POINT point)
{
    cursor = point;
}
POINT cursorPosition()
{
    return cursor;
}

bool queueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return posted.push(MSG{window, message, wParam, lParam, messageClock(), cursor});
}

bool takePostedMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    u32 row = 0;
    while (row < posted.count) {
        const MSG& waiting = posted.items[row];
        if (waiting.hwnd && !lookupWindow(waiting.hwnd)) {
            posted.removeAt(row); // its window is gone
            continue;
        }
        if (messageMatches(waiting, window, filterMin, filterMax)) {
            *msg = waiting;
            if (remove) posted.removeAt(row);
            return true;
        }
        ++row;
    }
    return false;
}

bool takeQuitMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    if (!quitPending) return false;
    // WM_QUIT belongs to the thread, not to a window: a window filter never sees it.
    const MSG quit{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, messageClock(), cursor};
    if (!messageMatches(quit, window, filterMin, filterMax)) return false;
    *msg = quit;
    if (remove) quitPending = false;
    return true;
}

void dropMessagesFor(HWND window)
{
    u32 row = 0;
    while (row < posted.count) {
        if (posted.items[row].hwnd == window)
            posted.removeAt(row);
        else
            ++row;
    }
}

void clearMessageQueue()
{
    posted.release();
    quitPending = false;
    quitCode = 0;
    cursor = POINT{0, 0};
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !lookupWindow(window)) return FALSE;
    return queueMessage(window, message, wParam, lParam) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode)
{
    quitPending = true;
    quitCode = exitCode;
}
