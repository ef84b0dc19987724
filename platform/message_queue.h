// platform/message_queue.h - the thread's one message queue, shared by the message
// calls, painting, mouse injection and window destruction.
// Owns: the posted messages in posting order, the pending quit, the last cursor place.
// Entry points: queueMessage, takePostedMessage, takeQuitMessage, dropMessagesFor,
// clearMessageQueue, messageClock, setCursorPosition; findPaintMessage (paint.cpp).
#pragma once

#include "platform/windows.h"

// True when the message passes a PeekMessage filter: `window` null takes every
// message, otherwise those of that window and of every window inside it, as Windows
// does; the range (0, 0) takes every message number.
bool messageMatches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax);

// Appends a posted message stamped with the time and cursor; false when no room.
bool queueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The oldest posted message passing the filter, removed when `remove`. Messages of
// windows that no longer exist are dropped on the way.
bool takePostedMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// The WM_QUIT that PostQuitMessage left pending, when the filter admits it.
bool takeQuitMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// A WM_PAINT for the first shown, invalid window passing the filter (paint.cpp).
bool findPaintMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
void dropMessagesFor(HWND window);
void clearMessageQueue();

// Milliseconds of a monotonic clock, for MSG::time.
DWORD messageClock();
// The last injected mouse point, top-level client coordinates, for MSG::pt.
void setCursorPosition(POINT point);
POINT cursorPosition();
