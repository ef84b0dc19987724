// platform/window_state.h - the records behind HWND and the tree they form; shared by
// the window, message, painting, mouse and drawing files of the platform layer.
// Owns: every WindowRecord (created by CreateWindowEx, freed by DestroyWindow) and the
// list of top-level windows in creation order. Children hang off their parent in
// creation order, which is also the stacking order: an earlier sibling lies on top,
// as the first child is the top of the z-order under Win32.
// Entry points: lookupWindow, linkWindow, unlinkWindow, topLevelOf, isShown,
// windowOrigin, windowClip, firstTopLevel, nextInTree, findClass, freeWindowRecord.
#pragma once

#include "base/types.h"
#include "platform/growable.h"
#include "platform/rect.h"
#include "platform/surface.h"
#include "platform/windows.h"

struct PropertyRecord {
    char* name;          // heap copy of a string name, null for an atom name
    std::uintptr_t atom; // the integer name when `name` is null
    HANDLE data;
};

struct WindowRecord {
    HWND handle = nullptr;
    WNDPROC procedure = nullptr; // current procedure (GWLP_WNDPROC replaces it)
    ATOM classAtom = 0;          // 0 for the default class
    HBRUSH background = nullptr; // class brush for WM_ERASEBKGND; may have been deleted
    DWORD style = 0;             // WS_VISIBLE is kept up to date by ShowWindow
    DWORD exStyle = 0;
    WindowRecord* parent = nullptr; // null for a top-level window
    WindowRecord* firstChild = nullptr;
    WindowRecord* lastChild = nullptr;
    WindowRecord* previousSibling = nullptr; // siblings (or top-level windows) in creation order
    WindowRecord* nextSibling = nullptr;
    // Client rectangle in the parent's client coordinates; a top-level window sits at
    // (x, y) of a "screen" nobody draws, and its own client area is its surface.
    // Windows have no frame, so the window and client rectangles are the same.
    i32 x = 0;
    i32 y = 0;
    i32 width = 0;
    i32 height = 0;
    LONG_PTR userData = 0;    // GWLP_USERDATA
    LONG_PTR id = 0;          // GWLP_ID
    bool invalid = false;     // the window waits for WM_PAINT
    bool eraseNeeded = false; // the next BeginPaint sends WM_ERASEBKGND
    RECT invalidRect{};       // bounding box of the invalid area, client coordinates
    bool destroying = false;  // DestroyWindow is sending its messages
    Surface surface;          // top-level windows only, from the backend
    u64 presentCount = 0;     // DrawDibDraw calls that drew into this window
    Growable<PropertyRecord> properties;
};

// The record of a live window; null for null, destroyed or bogus handles.
WindowRecord* lookupWindow(HWND window);

// Appends to the parent's children (or the top-level list when parent is null).
void linkWindow(WindowRecord* window, WindowRecord* parent);
void unlinkWindow(WindowRecord* window);

WindowRecord* topLevelOf(WindowRecord* window);
WindowRecord* firstTopLevel();
// The window after `window` in a depth-first walk of the whole tree, parents before
// children, each level in creation order; null at the end.
WindowRecord* nextInTree(const WindowRecord* window);

// True when `window` is `ancestor` or lies inside it, at any depth.
bool isWithin(const WindowRecord* window, const WindowRecord* ancestor);
// True when the window and all its ancestors carry WS_VISIBLE.
bool isShown(const WindowRecord* window);
// The client origin of the window in its top-level window's client coordinates.
void windowOrigin(const WindowRecord* window, i64* x, i64* y);
// The part of the top-level surface the window may draw on: its client area cut by
// every ancestor's client area and by the surface; may be empty.
RECT windowClip(const WindowRecord* window);

// Class lookup for CreateWindowEx: the procedure and background brush of a class name
// or atom; false for an unknown class. A null name is the default class (DefWindowProc).
bool findClass(LPCSTR className, WNDPROC* procedure, HBRUSH* background, ATOM* atom);

// Frees what a window owns besides its surface (properties) and the record itself.
void freeWindowRecord(WindowRecord* window);
